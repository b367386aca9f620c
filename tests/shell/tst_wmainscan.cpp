// Tools > Scan the Line and Tools > Line Monitor of the main window, against
// panels on the in-process simulated line.

#include "RecordingUi.h"
#include "ShellTestSupport.h"
#include "WidgetLookup.h"

#include "link/CommFunctions.h"
#include "link/FrameText.h"
#include "shell/wLineMonitor.h"
#include "shell/wMain.h"
#include "shell/wScanLine.h"
#include "texts/DataFunctions.h"

#include <QAction>
#include <QLabel>
#include <QProgressBar>
#include <QPushButton>
#include <QSpinBox>
#include <QToolButton>
#include <QTreeWidget>

using namespace ShellTest;

namespace {
QStringList rows(QTreeWidget* list)
{
    QStringList texts;
    for (int i = 0; i < list->topLevelItemCount(); ++i) {
        QStringList cells;
        for (int column = 0; column < list->columnCount(); ++column)
            cells << list->topLevelItem(i)->text(column);
        texts << cells.join(QLatin1Char(' '));
    }
    return texts;
}
} // namespace

class tst_wMainScan : public QObject
{
    Q_OBJECT

    std::unique_ptr<RecordingUi> m_ui;
    std::unique_ptr<IniSandbox> m_ini;
    std::unique_ptr<wMain> m_window;
    SimulatedLine* m_line = nullptr;

    void command(const char* name) { m_window->MenuItem(QString::fromLatin1(name))->trigger(); }

private Q_SLOTS:
    void initTestCase()
    {
        QStandardPaths::setTestModeEnabled(true);
        QVERIFY(OpenDataFile(ShippedDataFile()));
        SetCurrentLanguage(QStringLiteral("English"));
    }

    void init()
    {
        m_ui = std::make_unique<RecordingUi>();
        m_ini = std::make_unique<IniSandbox>();
        m_ini->write("[Communication]\r\nFrameDelay=0\r\n");
        m_window = std::make_unique<wMain>(SimulatedPort(&m_line)());
        m_window->Nationality();
        m_line->SetPortOpen(true);
        m_line->removePanel(1);
        m_window->Link().options().replyTimeoutMs = 100;
    }

    void cleanup()
    {
        m_window.reset();
        m_ini.reset();
        m_ui.reset();
    }

    void scanWindow_data()
    {
        QTest::addColumn<QStringList>("panels");  // slave:version
        QTest::addColumn<int>("cancelAtRequest"); // 0: never
        QTest::addColumn<QStringList>("listed");
        QTest::addColumn<QString>("status");
        QTest::newRow("three panels")
            << QStringList{"3:260", "17:261", "64:262"} << 0
            << QStringList{"3 1.04 9600 1", "17 1.05 9600 1", "64 1.06 9600 1"}
            << "Scan finished: 3 panel(s) found.";
        QTest::newRow("no panel") << QStringList{} << 0 << QStringList{}
                                  << "No panel answered on this line.";
        // Requests 1 and 2 are probes, 3 to 5 find slave 3; the probe in
        // progress ends first.
        QTest::newRow("cancelled")
            << QStringList{"3:262", "5:262"} << 4 << QStringList{"3 1.06 9600 1"}
            << "Scan cancelled: 1 panel(s) found.";
    }

    void scanWindow()
    {
        QFETCH(QStringList, panels);
        QFETCH(int, cancelAtRequest);
        QFETCH(QStringList, listed);
        QFETCH(QString, status);
        for (const QString& p : panels)
            m_line->addPanel(std::uint8_t(p.section(':', 0, 0).toInt()), p.section(':', 1).toInt());
        QList<ScannedPanel> asked;
        m_ui->onNextDialog([&](QObject* dialog) {
            auto* window = qobject_cast<wScanLine*>(dialog);
            connect(window, &wScanLine::ReadRequested, this,
                    [&asked](const ScannedPanel& p) { asked << p; });
            child<QSpinBox>(dialog, "txtMargin")->setValue(5);
            auto* cancel = child<QPushButton>(dialog, "cmdCancel");
            int requests = 0;
            connect(m_line, &SimulatedLine::RequestSent, cancel,
                    [&requests, cancel, cancelAtRequest] {
                        if (++requests == cancelAtRequest)
                            cancel->click();
                    });
            child<QPushButton>(dialog, "cmdScan")->click();
            auto* list = child<QTreeWidget>(dialog, "lvwPanels");
            [&] {
                QCOMPARE(rows(list), listed);
                QCOMPARE(child<QLabel>(dialog, "lblStatus")->text(), status);
                auto* progress = child<QProgressBar>(dialog, "prgScan");
                QCOMPARE(progress->value(), progress->maximum());
                QVERIFY(!cancel->isEnabled());
                QVERIFY(child<QPushButton>(dialog, "cmdScan")->isEnabled());
            }();
            if (list->topLevelItemCount() > 0)
                Q_EMIT list->itemActivated(list->topLevelItem(list->topLevelItemCount() - 1), 0);
            return false;
        });
        command("mnuToolsScan");
        QCOMPARE(m_ui->dialogsShown, QStringList{"wScanLine"});
        QCOMPARE(asked.size(), listed.isEmpty() ? 0 : 1);
        if (!asked.isEmpty())
            QCOMPARE(QString::number(asked[0].slave), listed.last().section(' ', 0, 0));
        QCOMPARE(m_line->Settings(), QStringLiteral("9600,N,8,1"));
    }

    void lineMonitor()
    {
        m_line->addPanel(1);
        QAction* item = m_window->MenuItem(QStringLiteral("mnuToolsMonitor"));
        command("mnuToolsMonitor");
        wLineMonitor* dock = m_window->LineMonitorWindow();
        QVERIFY(dock && item->isChecked());
        QCOMPARE(m_window->Link().Monitor(), &dock->Monitor());

        QList<std::int16_t> word(1, 0);
        QVERIFY(LitMots(m_window->Link(), 1, 1138, word));
        dock->Refresh();
        QCOMPARE(dock->RowCount(), 2);
        QCOMPARE(dock->Row(0).mid(1), (QStringList{"Sent", "01 03 04 72 00 01 25 21",
                                                   "slave 1, read 1 word(s) at 1138, CRC good"}));
        QCOMPARE(dock->Row(1).mid(1), (QStringList{"Received", "01 03 02 00 01 79 84",
                                                   "slave 1, reply with 1 word(s), CRC good"}));
        QCOMPARE(dock->StatusText(), QStringLiteral("2 frame(s), the last 10000 are kept"));

        // Paused: nothing more is recorded.
        child<QToolButton>(dock, "cmdPause")->click();
        QVERIFY(LitMots(m_window->Link(), 1, 1138, word));
        dock->Refresh();
        QCOMPARE(dock->RowCount(), 2);
        QCOMPARE(dock->StatusText(), QStringLiteral("Paused: frames are not recorded - 2 frame(s), "
                                                    "the last 10000 are kept"));

        // Saved as the lines orvelctl --trace writes.
        const QString path = m_ini->folder() + QStringLiteral("/frames.txt");
        m_ui->answerNextFileDialog({path});
        child<QToolButton>(dock, "cmdSave")->click();
        QCOMPARE(m_ui->fileRequests.size(), 1);
        QCOMPARE(m_ui->fileRequests[0].filter, QStringLiteral("Text files (*.txt)|*.txt"));
        QFile saved(path);
        QVERIFY(saved.open(QIODevice::ReadOnly));
        const QStringList lines = QString::fromUtf8(saved.readAll()).split('\n');
        QCOMPARE(lines.size(), 3);
        QCOMPARE(lines[0], FrameLine(dock->Monitor().Frames()[0]));
        QVERIFY(lines[1].endsWith(QStringLiteral("ms  Received  01 03 02 00 01 79 84  slave 1, "
                                                 "reply with 1 word(s), CRC good")));
        QCOMPARE(lines[2], QString());

        // The oldest rows go once the monitor no longer keeps them.
        child<QToolButton>(dock, "cmdPause")->click(); // the recording resumes
        for (int i = 0; i < 10000; ++i)
            dock->Monitor().Received(QByteArray::number(i), {}, false);
        dock->Refresh();
        QCOMPARE(dock->RowCount(), 10000);
        QCOMPARE(dock->Row(0)[2], QStringLiteral("30"));

        child<QToolButton>(dock, "cmdClear")->click();
        QCOMPARE(dock->RowCount(), 0);

        // Closed again from the menu: the link is no longer watched.
        command("mnuToolsMonitor");
        QTRY_VERIFY(!m_window->LineMonitorWindow());
        QVERIFY(!item->isChecked());
        QCOMPARE(m_window->Link().Monitor(), nullptr);
    }
};

QTEST_MAIN(tst_wMainScan)
#include "tst_wmainscan.moc"
