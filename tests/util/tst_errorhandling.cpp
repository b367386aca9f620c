#include "ErrorReport.h"
#include "RecordingUi.h"
#include "util/ErrorHandling.h"

#include <QTest>

class TestErrorHandling : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void reportLines_data()
    {
        QTest::addColumn<QString>("source");
        QTest::addColumn<int>("number");
        QTest::addColumn<QString>("expected");
        const QString head13 = QStringLiteral("Error Nr 13 : Type mismatch\r\n\r\n");
        QTest::newRow("module only")
            << "ZEBfonctions" << 13 << head13 + QStringLiteral("Module : ZEBfonctions");
        QTest::newRow("function") << "ConfigClass.Load" << 13
                                  << head13 +
                                         QStringLiteral("Module : ConfigClass\r\nFunction : Load");
        QTest::newRow("event") << "wMain.mnuFileRead_Click" << 5
                               << QStringLiteral(
                                      "Error Nr 5 : Invalid procedure call or argument\r\n\r\n"
                                      "Module : wMain\r\nObject : mnuFileRead\r\nEvent : Click");
        QTest::newRow("several underscores")
            << "wPanneau.grdInputs_Fill_List" << 13
            << head13 +
                   QStringLiteral("Module : wPanneau\r\nObject : grdInputs\r\nEvent : Fill_List");
        QTest::newRow("underscore before dot")
            << "my_form.DoIt" << 13
            << head13 + QStringLiteral("Module : my_form\r\nFunction : DoIt");
        QTest::newRow("unknown number")
            << "X.Y" << 31999
            << QStringLiteral("Error Nr 31999 : Application-defined or object-defined error\r\n\r\n"
                              "Module : X\r\nFunction : Y");
    }

    void reportLines()
    {
        QFETCH(QString, source);
        QFETCH(int, number);
        QFETCH(QString, expected);
        RecordingUi ui;
        ui.setBusy(true);
        ReportError(source, number);
        QCOMPARE(ui.messages.size(), 1);
        QCOMPARE(ui.messages[0].text, expected);
        QCOMPARE(ui.messages[0].icon, MsgIcon::Critical);
        QCOMPARE(ui.messages[0].buttons, MsgButtons::Ok);
        QCOMPARE(ui.messages[0].title, QStringLiteral("Orvel"));
        QVERIFY(!ui.busy);
    }

    void invalidPortShowsItsTextOnly()
    {
        RecordingUi ui;
        ui.setBusy(true);
        ReportError(QStringLiteral("wMain.Form_Load"), 8002);
        SetTextLookup([](int tag) { return QStringLiteral("text %1").arg(tag); });
        ReportError(QStringLiteral("wMain.Form_Load"), 8002);
        SetTextLookup({});
        QCOMPARE(ui.messages.size(), 2);
        QCOMPARE(ui.messages[0].text, QStringLiteral("#10101#")); // no texts yet
        QCOMPARE(ui.messages[1].text, QStringLiteral("text 10101"));
        QCOMPARE(ui.messages[1].icon, MsgIcon::Exclamation);
        QCOMPARE(ui.messages[1].buttons, MsgButtons::Ok);
        QVERIFY(!ui.busy); // pointer reset even for the port message
    }

    void trapReportsAndReturnsDefault()
    {
        RecordingUi ui;
        QCOMPARE(Trap("A.B", [] { return 42; }), 42);
        QVERIFY(ui.messages.isEmpty());
        QCOMPARE(Trap("CommFunctions.CRC16", []() -> int { Raise(ErrNo::Overflow); }), 0);
        QCOMPARE(Trap("DataFunctions.GetText", []() -> QString { Raise(ErrNo::NoCurrentRecord); }),
                 QString());
        QVERIFY(!Trap("ConfigClass.Save", []() -> bool { throw std::runtime_error("x"); }));
        QCOMPARE(ui.messages.size(), 3);
        QCOMPARE(ui.messages[0].text, ErrorReport(6, "Overflow", "CommFunctions.CRC16"));
        QCOMPARE(ui.messages[1].text,
                 ErrorReport(3021, "No current record", "DataFunctions.GetText"));
        QCOMPARE(ui.messages[2].text,
                 ErrorReport(5, "Invalid procedure call or argument", "ConfigClass.Save"));
    }

    void everyRaisedNumberHasItsDescription()
    {
        const int numbers[] = {
            ErrNo::InvalidCall,      ErrNo::Overflow,       ErrNo::SubscriptOutOfRange,
            ErrNo::TypeMismatch,     ErrNo::FileNotFound,   ErrNo::DeviceIO,
            ErrNo::DiskFull,         ErrNo::InputPastEnd,   ErrNo::PermissionDenied,
            ErrNo::PathFileAccess,   ErrNo::PathNotFound,   ErrNo::PortInvalid,
            ErrNo::PortAlreadyOpen,  ErrNo::PortNotOpen,    ErrNo::PortSettings,
            ErrNo::PortRead,         ErrNo::PortWrite,      ErrNo::DataFileNotFound,
            ErrNo::DataFilePassword, ErrNo::DataFileFormat, ErrNo::NoCurrentRecord};
        const QString generic = ErrorDescription(-12345);
        for (int n : numbers)
            QVERIFY2(ErrorDescription(n) != generic, qPrintable(QString::number(n)));
    }
};

QTEST_GUILESS_MAIN(TestErrorHandling)
#include "tst_errorhandling.moc"
