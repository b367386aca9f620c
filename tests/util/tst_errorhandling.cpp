#include "ErrorReport.h"
#include "RecordingUi.h"
#include "util/ErrorHandling.h"

#include <QTest>

class TestErrorHandling : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    // The report's lines for each shape of source; 8002 (invalid port) shows
    // its text alone, "#10101#" until texts are there. Every report resets
    // the busy pointer.
    void report_data()
    {
        QTest::addColumn<QString>("source");
        QTest::addColumn<int>("number");
        QTest::addColumn<QString>("expected");
        const QString head = QStringLiteral("Error Nr 13 : Type mismatch\r\n\r\nModule : ");
        const auto row = [&](const char* source, const QString& lines, int number = 13) {
            QTest::newRow(source) << QString(source) << number
                                  << (number == 13 ? head + lines : lines);
        };
        row("ZEBfonctions", "ZEBfonctions");
        row("ConfigClass.Load", "ConfigClass\r\nFunction : Load");
        row("wMain.mnuFileRead_Click",
            "Error Nr 5 : Invalid procedure call or argument\r\n\r\nModule : wMain\r\n"
            "Object : mnuFileRead\r\nEvent : Click",
            5);
        row("wPanneau.grdInputs_Fill_List", "wPanneau\r\nObject : grdInputs\r\nEvent : Fill_List");
        row("my_form.DoIt", "my_form\r\nFunction : DoIt");
        row("X.Y",
            "Error Nr 31999 : Application-defined or object-defined error\r\n\r\n"
            "Module : X\r\nFunction : Y",
            31999);
        row("wMain.Form_Load", "#10101#", 8002);
    }
    void report()
    {
        QFETCH(QString, source);
        QFETCH(int, number);
        QFETCH(QString, expected);
        RecordingUi ui;
        ui.setBusy(true);
        ReportError(source, number);
        QCOMPARE(ui.messages.size(), 1);
        QCOMPARE(ui.messages[0].text, expected);
        QCOMPARE(ui.messages[0].icon, number == 8002 ? MsgIcon::Exclamation : MsgIcon::Critical);
        QCOMPARE(ui.messages[0].buttons, MsgButtons::Ok);
        QCOMPARE(ui.messages[0].title, QStringLiteral("Orvel"));
        QVERIFY(!ui.busy);
        if (number == 8002) {
            SetTextLookup([](int tag) { return QStringLiteral("text %1").arg(tag); });
            ReportError(source, number);
            SetTextLookup({});
            QCOMPARE(ui.lastText(), QStringLiteral("text 10101"));
        }
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
};

QTEST_GUILESS_MAIN(TestErrorHandling)
#include "tst_errorhandling.moc"
