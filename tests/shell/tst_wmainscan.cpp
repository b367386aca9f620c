// Tools > Scan the Line and Tools > Line Monitor of the main window, against
// panels on the in-process simulated line.

#include "RecordingUi.h"
#include "ShellTestSupport.h"
#include "WidgetLookup.h"

#include "editor/wPanneau.h"
#include "link/CommFunctions.h"
#include "link/FrameText.h"
#include "shell/wLineMonitor.h"
#include "shell/wMain.h"
#include "shell/wScanLine.h"
#include "texts/DataFunctions.h"

#include <QAction>
#include <QCheckBox>
#include <QLabel>
#include <QMdiArea>
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
        QTest::addColumn<QStringList>("panels"); // slave:version[:settings]
        QTest::addColumn<bool>("search");
        QTest::addColumn<int>("cancelAtRequest"); // 0: never
        QTest::addColumn<QStringList>("listed");
        QTest::addColumn<QString>("status");
        QTest::addColumn<QString>("settingsAfter"); // once the last panel listed is read
        QTest::newRow("three panels")
            << QStringList{"3:260", "17:261", "64:262"} << false << 0
            << QStringList{"3 1.04 9600 1", "17 1.05 9600 1", "64 1.06 9600 1"}
            << "Scan finished: 3 panel(s) found."
            << "9600,N,8,1";
        QTest::newRow("no panel") << QStringList{} << false << 0 << QStringList{}
                                  << "No panel answered on this line."
                                  << "9600,N,8,1";
        // Requests 1 and 2 are probes, 3 to 5 find slave 3; the probe in
        // progress ends first.
        QTest::newRow("cancelled")
            << QStringList{"3:262", "5:262"} << false << 4 << QStringList{"3 1.06 9600 1"}
            << "Scan cancelled: 1 panel(s) found."
            << "9600,N,8,1";
        // Read at the speed it was found at, which the line then keeps.
        QTest::newRow("search finds another speed")
            << QStringList{"2:262:4800,N,8,2"} << true << 0 << QStringList{"2 1.06 4800 2"}
            << "Scan finished: 1 panel(s) found."
            << "4800,N,8,2";
    }

    // The scan lists the panels; a double-click on the last one reads it into
    // a new panel window after the search window's confirmation.
    void scanWindow()
    {
        QFETCH(QStringList, panels);
        QFETCH(bool, search);
        QFETCH(int, cancelAtRequest);
        QFETCH(QStringList, listed);
        QFETCH(QString, status);
        QFETCH(QString, settingsAfter);
        for (const QString& p : panels)
            m_line->addPanel(
                std::uint8_t(p.section(':', 0, 0).toInt()), p.section(':', 1, 1).toInt(),
                p.section(':', 2).isEmpty() ? QStringLiteral("9600,N,8,1") : p.section(':', 2));
        QStringList statuses;
        m_ui->onNextDialog([&](QObject* dialog) {
            child<QSpinBox>(dialog, "txtMargin")->setValue(5);
            child<QSpinBox>(dialog, "txtTo")->setValue(search ? 3 : 64);
            child<QCheckBox>(dialog, "chkSearch")->setChecked(search);
            auto* cancel = child<QPushButton>(dialog, "cmdCancel");
            int requests = 0;
            const auto connection = connect(m_line, &SimulatedLine::RequestSent, cancel,
                                            [&requests, cancel, cancelAtRequest] {
                                                if (++requests == cancelAtRequest)
                                                    cancel->click();
                                            });
            child<QPushButton>(dialog, "cmdScan")->click();
            disconnect(connection);
            auto* list = child<QTreeWidget>(dialog, "lvwPanels");
            auto* progress = child<QProgressBar>(dialog, "prgScan");
            [&] {
                QCOMPARE(rows(list), listed);
                QCOMPARE(progress->value(), progress->maximum());
                QVERIFY(!cancel->isEnabled());
                QVERIFY(child<QPushButton>(dialog, "cmdScan")->isEnabled());
                QCOMPARE(m_line->Settings(), QStringLiteral("9600,N,8,1"));
            }();
            auto* label = child<QLabel>(dialog, "lblStatus");
            statuses << label->text();
            if (list->topLevelItemCount() > 0) {
                m_ui->onNextDialog([](QObject* found) {
                    child<QPushButton>(found, "cmdButtons1")->click();
                    return true;
                });
                Q_EMIT list->itemActivated(list->topLevelItem(list->topLevelItemCount() - 1), 0);
                statuses << label->text();
            }
            return false;
        });
        command("mnuToolsScan");

        QStringList expected{status};
        if (!listed.isEmpty())
            expected << QStringLiteral("Panel %1 read into a new window.")
                            .arg(listed.last().section(' ', 0, 0));
        QCOMPARE(statuses, expected);
        const QStringList dialogs =
            listed.isEmpty() ? QStringList{"wScanLine"} : QStringList{"wScanLine", "wSearchSlave"};
        QCOMPARE(m_ui->dialogsShown, dialogs);
        QCOMPARE(m_window->MdiArea()->subWindowList().size(), listed.isEmpty() ? 0 : 1);
        if (!listed.isEmpty())
            QCOMPARE(QString::number(m_window->ActivePanel()->Config().GenParam(23)),
                     listed.last().section(' ', 0, 0));
        QCOMPARE(m_line->Settings(), settingsAfter);
        QVERIFY(m_ui->messages.isEmpty());
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
