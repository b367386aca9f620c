// The dialogs before a transfer: slave dialog, search window, older-panel warning.

#include "RecordingPort.h"
#include "ShellFixture.h"

#include "link/Detection.h"
#include "shell/QtUi.h"
#include "shell/wAskSlave.h"
#include "shell/wSearchSlave.h"
#include "shell/wWarning.h"
#include "util/ErrorHandling.h"

#include <QComboBox>
#include <QSignalSpy>
#include <QTimer>

namespace {
QString Text(QWidget* w, const char* name)
{
    return child<QLabel>(w, name)->text();
}

void Click(QWidget* w, const char* name)
{
    QTest::mouseClick(child<QPushButton>(w, name), Qt::LeftButton);
}

// Closes a shown dialog by one of its buttons, a key or the window frame.
void Close(QWidget* dialog, const QString& how)
{
    if (how == "Escape" || how == "Return")
        QTest::keyClick(dialog, how == "Escape" ? Qt::Key_Escape : Qt::Key_Return);
    else if (how == "frame")
        dialog->close();
    else
        Click(dialog, qPrintable(how));
}
} // namespace

class tst_TransferDialogs : public QObject
{
    Q_OBJECT

    QTemporaryDir m_dir;
    QString m_ini;
    std::unique_ptr<RecordingPort> m_port;

private Q_SLOTS:
    void initTestCase()
    {
        QVERIFY(Shell::UseShippedData());
        SetTextLookup([](int tag) { return GetText(tag); });
    }

    void init()
    {
        m_ini = m_dir.filePath(QStringLiteral("orvel.ini"));
        QFile::remove(m_ini);
        SetIniFileNameOverride(m_ini);
        m_port = std::make_unique<RecordingPort>();
        m_port->settings = QStringLiteral("9600,E,8,2");
    }

    // The last slave number and search choice stored, else 1 with a search;
    // the port the line is on.
    void proposesTheStoredChoices()
    {
        m_port->port = QStringLiteral("4");
        for (const QByteArray stored : {"", "[Communication]\nLastSlave=17\nAutoSearch=0\n"}) {
            TestFiles::WriteBytes(m_ini, stored);
            wAskSlave dialog(*m_port);
            QCOMPARE(dialog.SlaveText() + QString::number(dialog.AutoSearch()),
                     stored.isEmpty() ? "11" : "170");
            QCOMPARE(child<QComboBox>(&dialog, "cboPort")->currentText(), QStringLiteral("4"));
        }
        QVERIFY(m_port->events.isEmpty());
    }

    // 0 to 64 are taken and stored; anything else beeps; Cancel stores nothing.
    void slaveNumbers_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<bool>("search");
        QTest::addColumn<QString>("how");
        QTest::addColumn<int>("beeps");
        QTest::newRow("0 asks for a search") << "0" << true << "cmdButtons1" << 0;
        QTest::newRow("64, Enter") << "64" << false << "Return" << 0;
        for (const char* refused : {"65", "-1", "5x", ""})
            QTest::addRow("'%s'", refused) << refused << true << "cmdButtons1" << 1;
        QTest::newRow("-1, Enter") << "-1" << true << "Return" << 1;
        QTest::newRow("Cancel") << "9" << true << "cmdButtons0" << 0;
        QTest::newRow("Escape") << "9" << true << "Escape" << 0;
    }
    void slaveNumbers()
    {
        QFETCH(QString, text);
        QFETCH(QString, how);
        QFETCH(bool, search);
        QFETCH(int, beeps);
        RecordingUi ui;
        m_port->port = QStringLiteral("2");
        wAskSlave dialog(*m_port);
        dialog.show();
        dialog.SetSlaveText(text);
        child<QCheckBox>(&dialog, "chkAutoSearch")->setChecked(search);
        Close(how == "Return" ? static_cast<QWidget*>(child<QLineEdit>(&dialog, "txtSlave"))
                              : &dialog,
              how);
        const bool ok = beeps == 0 && (how == "cmdButtons1" || how == "Return");
        QCOMPARE(ui.beeps, beeps);
        QVERIFY(ui.messages.isEmpty());
        QCOMPARE(dialog.Ok(), ok);
        QCOMPARE(dialog.isVisible(), beeps > 0);
        const QString stored =
            QStringLiteral("[Communication]\nLastSlave=%1\nAutoSearch=%2\nPort=2\n")
                .arg(text, search ? "1" : "0");
        QCOMPARE(TestFiles::ReadBytes(m_ini), ok ? stored.toUtf8() : QByteArray());
        QVERIFY(m_port->events.isEmpty());
    }

    // A port picked is reopened at once, one typed on OK; a failure is
    // reported; only OK stores the port.
    void ports_data()
    {
        QTest::addColumn<bool>("open");
        QTest::addColumn<bool>("typed");
        QTest::addColumn<bool>("fails");
        QTest::addColumn<QString>("port");
        QTest::addColumn<QStringList>("events");
        QTest::newRow("picked") << true << false << false << "3"
                                << QStringList{"close", "port=3", "open"};
        QTest::newRow("picked, port closed")
            << false << false << false << "7" << QStringList{"port=7", "open"};
        QTest::newRow("picked, cannot open")
            << true << false << true << "4" << QStringList{"close", "port=4"};
        QTest::newRow("typed") << true << true << false << "ttyUSB1"
                               << QStringList{"close", "port=ttyUSB1", "open"};
        QTest::newRow("typed, cannot open")
            << true << true << true << "12" << QStringList{"close", "port=12"};
    }
    void ports()
    {
        QFETCH(bool, open);
        QFETCH(bool, typed);
        QFETCH(bool, fails);
        QFETCH(QString, port);
        RecordingUi ui;
        m_port->open = open;
        if (fails)
            m_port->failingPorts << port;
        wAskSlave dialog(*m_port);
        dialog.show();
        if (typed) {
            child<QComboBox>(&dialog, "cboPort")->setEditText(port);
            Click(&dialog, "cmdButtons1");
        } else {
            auto* combo = child<QComboBox>(&dialog, "cboPort");
            for (int i = 0; i < 2; ++i) {
                combo->setCurrentIndex(combo->findText(port));
                Q_EMIT combo->activated(combo->currentIndex());
            }
        }
        QTEST(m_port->events, "events");
        QCOMPARE(m_port->open, !fails);
        Shell::CompareMessages(ui, fails ? QStringList{"Exclamation Ok: " + GetText(10101)}
                                         : QStringList{});
        QCOMPARE(dialog.isVisible(), !typed || fails);
        QCOMPARE(dialog.Ok(), typed && !fails);
        QCOMPARE(GetIniParam("Communication", "Port"), typed && !fails ? port : QString());
    }

    void helpAsksForTheTopic()
    {
        wAskSlave dialog(*m_port);
        QSignalSpy spy(&dialog, &wAskSlave::HelpRequested);
        dialog.show();
        Click(&dialog, "cmdButtons2");
        QTest::keyClick(&dialog, Qt::Key_F1);
        QCOMPARE(spy, (QList<QList<QVariant>>{{20200}, {20200}}));
        QVERIFY(dialog.isVisible());
    }

    void parityLabel_data()
    {
        QTest::addColumn<QString>("parity"); // the row's name: the line's settings
        QTest::newRow("9600,N,8,1") << GetCaption(1117);
        QTest::newRow("9600,O,8,1") << GetCaption(1119);
        QTest::newRow("9600,o,8,1") << GetCaption(1119);
        QTest::newRow("9600,M,8,1") << QString();
    }
    void parityLabel()
    {
        m_port->settings = QString::fromLatin1(QTest::currentDataTag());
        wSearchSlave window(*m_port);
        QTEST(Text(&window, "lblParity"), "parity");
        QCOMPARE(Text(&window, "lblDataBits"), QStringLiteral("8"));
    }

    // During the search only Cancel is usable; Cancel, Escape or the frame
    // stop it; a new search starts uncancelled.
    void search_data()
    {
        QTest::addColumn<QString>("how");
        QTest::newRow("Cancel") << "cmdButtons0";
        QTest::newRow("Escape") << "Escape";
        QTest::newRow("frame") << "frame";
    }
    void search()
    {
        QFETCH(QString, how);
        wSearchSlave window(*m_port);
        window.ShowSearching();
        QVERIFY(window.isVisible() && child<QPushButton>(&window, "cmdButtons0")->isEnabled());
        QVERIFY(!child<QPushButton>(&window, "cmdButtons1")->isEnabled());
        QCOMPARE(Text(&window, "lblMessage"), GetCaption(35022));
        window.ShowAttempt(QStringLiteral("?"), 19200, 2);
        QCOMPARE(Text(&window, "lblSlave") + Text(&window, "lblBauds") + Text(&window, "lblStops"),
                 QStringLiteral("?192002"));
        QVERIFY(!window.Cancelled());
        Close(&window, how);
        QVERIFY(window.Cancelled() && !window.isVisible() && !window.Ok());
        window.ShowSearching();
        QVERIFY(!window.Cancelled());
        window.Close();
        QVERIFY(!window.isVisible());
    }

    // Through the dialog's own modal loop: the window was shown modeless
    // during the search and must come back modal with OK usable.
    void confirmationModalForReal()
    {
        wSearchSlave window(*m_port);
        window.ShowSearching();
        QTimer::singleShot(20, &window, [&] {
            QVERIFY(window.isModal() || QApplication::activeModalWidget() == &window);
            Click(&window, "cmdButtons1");
        });
        QtUi seam;
        UiSeam* previous = InstallUi(&seam);
        const bool confirmed = window.Confirm(3, 35021);
        InstallUi(previous);
        QVERIFY(confirmed);
    }

    // Cancel pressed while the first attempt waits for its answer stops the
    // detection.
    void detectionCancelledDuringTheSearch()
    {
        SimulatedLine line; // no panel answers
        PanelLink link(line, LinkOptions{false, 0, 0, 60});
        wSearchSlave window(line);
        QTimer::singleShot(20, &window, [&] { Click(&window, "cmdButtons0"); });
        std::int32_t version = -1;
        QCOMPARE(DetectOrvel(link, window, 5, true, version, false), DetectCancelled);
        QVERIFY(!window.isVisible());
        QVERIFY2(line.exchanges().size() >= 1 && line.exchanges().size() < 10,
                 qPrintable(QString::number(line.exchanges().size())));
    }

    // The warning's message with its line marks as line breaks, in bold;
    // Yes (the default, so Enter) confirms; No, Escape and the frame refuse.
    void warning_data()
    {
        QTest::addColumn<QString>("how");
        QTest::addColumn<bool>("ok");
        QTest::newRow("Yes") << "cmdYes" << true;
        QTest::newRow("Enter") << "Return" << true;
        QTest::newRow("No") << "cmdNo" << false;
        QTest::newRow("Escape") << "Escape" << false;
        QTest::newRow("frame") << "frame" << false;
    }
    void warning()
    {
        QFETCH(QString, how);
        wWarning dialog;
        QCOMPARE(
            Text(&dialog, "lblMessage"),
            "The firmware of this panel is older than this console.\nSettings that it does not "
            "support will be adjusted in this document before writing.");
        QVERIFY(child<QLabel>(&dialog, "lblMessage")->font().bold());
        QVERIFY(child<QPushButton>(&dialog, "cmdYes")->isDefault());
        dialog.show();
        Close(&dialog, how);
        QVERIFY(!dialog.isVisible());
        QTEST(dialog.Ok(), "ok");
    }
};

QTEST_MAIN(tst_TransferDialogs)
#include "tst_transferdialogs.moc"
