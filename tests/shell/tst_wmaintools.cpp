// The Tools commands against simulated panels: the event buffer read and
// cleared, the line scan and the line monitor.

#include "ShellFixture.h"

#include "editor/wPanneau.h"
#include "eventlog/wBuffer.h"
#include "link/FrameText.h"
#include "shell/wLineMonitor.h"

#include <QLabel>
#include <QProgressBar>
#include <QPushButton>
#include <QSpinBox>
#include <QToolButton>
#include <QTreeWidget>

using namespace Shell;

namespace {
QList<SimulatedPanel::Event> Events(int count)
{
    QList<SimulatedPanel::Event> list;
    for (int k = 1; k <= count; ++k)
        list << SimulatedPanel::Event{std::uint16_t(0x1200 | k), std::uint16_t(1000 * k)};
    return list;
}

const QByteArray Count = ReadRequestFrame(1, 144, 1);

QByteArray Write(std::uint16_t address, std::int16_t word)
{
    return WriteRequestFrame(1, address, {word});
}

QStringList Rows(QTreeWidget* list)
{
    QStringList texts;
    for (int i = 0; i < list->topLevelItemCount(); ++i) {
        QStringList cells;
        for (int column = 0; column < list->columnCount(); ++column)
            cells << list->topLevelItem(i)->text(column);
        texts << cells.join(' ');
    }
    return texts;
}

// The console online with panel 1, the last slave used being 1.
struct Bench : Console
{
    Bench() : Console("[Communication]\r\nLastSlave=1\r\n") { online(true); }
};

QString Message(const char* kind, int tag)
{
    return QString::fromLatin1(kind) + ": " + GetText(tag);
}
} // namespace

class tst_wMainTools : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void initTestCase() { QVERIFY(UseShippedData()); }

    void readBuffer_data()
    {
        QTest::addColumn<QString>("slave");
        QTest::addColumn<int>("events");
        QTest::addColumn<QStringList>("messages");
        QTest::newRow("5 events: the window") << "1" << 5 << QStringList{};
        QTest::newRow("slave 0 reads the slave found") << "0" << 5 << QStringList{};
        QTest::newRow("0 events: no window")
            << "1" << 0 << QStringList{Message("Exclamation Ok", 102003)};
        QTest::newRow("the slave does not answer")
            << "7" << 5 << QStringList{Message("Critical Ok", 10100)};
    }
    void readBuffer()
    {
        QFETCH(QString, slave);
        QFETCH(int, events);
        QFETCH(QStringList, messages);
        Bench b;
        b.line->panel(1)->setEvents(Events(events));
        QStringList rows;
        QString panelNumber;
        b.detect(slave);
        b.ui.onNextDialog([&](QObject* dialog) {
            auto* buffer = qobject_cast<wBuffer*>(dialog);
            for (const EventRow& row : buffer->Rows())
                rows << row[0];
            panelNumber = buffer->PanelNumber();
            return false;
        });
        b.window->ToolButton(QStringLiteral("mnuToolsReadBuffer"))->trigger();

        CompareMessages(b.ui, messages);
        const bool window = messages.isEmpty();
        QCOMPARE(b.ui.dialogsShown.contains("wBuffer"), window);
        QCOMPARE(rows.join(' ') + '/' + panelNumber, window ? "01 02 03 04 05/1" : "/");
        if (slave != "7") {
            QCOMPARE(b.confirmation, GetCaption(35021));
            QCOMPARE(GetIniParam("Communication", "LastSlave"), QStringLiteral("1"));
        }
        QVERIFY(!b.ui.busy);
    }

    // The question first (Cancel by default); the discard loop and its
    // outcomes are the event buffer's own test.
    void clearBuffer_data()
    {
        QTest::addColumn<MsgAnswer>("answer");
        QTest::addColumn<QList<QByteArray>>("requests"); // after the detection
        QTest::addColumn<QStringList>("outcome");
        QTest::newRow("five events")
            << MsgAnswer::Ok << QList<QByteArray>{Count, Write(288, 5), Count, Write(289, 0)}
            << QStringList{Message("Information Ok", 102005)};
        QTest::newRow("question cancelled")
            << MsgAnswer::Cancel << QList<QByteArray>{} << QStringList{};
    }
    void clearBuffer()
    {
        QFETCH(MsgAnswer, answer);
        QFETCH(QList<QByteArray>, requests);
        QFETCH(QStringList, outcome);
        Bench b;
        b.line->panel(1)->setEvents(Events(5));
        b.ui.answerNext(answer);
        b.detect(QStringLiteral("1"));
        b.item("mnuToolsClearBuffer")->trigger();

        CompareMessages(b.ui,
                        QStringList{Message("Exclamation OkCancel Cancel", 102000)} + outcome);
        const bool cancelled = answer == MsgAnswer::Cancel;
        QCOMPARE(b.ui.dialogsShown.isEmpty(), cancelled);
        QCOMPARE(b.confirmation, cancelled ? QString() : GetCaption(102011));
        QCOMPARE(b.line->requests().mid(2), requests);
        QVERIFY(!b.ui.busy);
    }

    void scan_data()
    {
        QTest::addColumn<QStringList>("panels"); // slave:version[:settings]
        QTest::addColumn<bool>("search");
        QTest::addColumn<int>("cancelAtRequest");   // 0: never
        QTest::addColumn<QString>("settingsAfter"); // once the last panel listed is read
        QTest::addColumn<QStringList>("listed");
        QTest::addColumn<QString>("status");
        QTest::newRow("three panels")
            << QStringList{"3:260", "17:261", "64:262"} << false << 0 << "9600,N,8,1"
            << QStringList{"3 1.04 9600 1", "17 1.05 9600 1", "64 1.06 9600 1"}
            << "Scan finished: 3 panel(s) found.";
        QTest::newRow("no panel") << QStringList{} << false << 0 << "9600,N,8,1" << QStringList{}
                                  << "No panel answered on this line.";
        // Requests 1 and 2 are probes, 3 to 5 find slave 3; the probe in
        // progress ends first.
        QTest::newRow("cancelled")
            << QStringList{"3:262", "5:262"} << false << 4 << "9600,N,8,1"
            << QStringList{"3 1.06 9600 1"} << "Scan cancelled: 1 panel(s) found.";
        // Read at the speed it was found at, which the line then keeps.
        QTest::newRow("search finds another speed")
            << QStringList{"2:262:4800,N,8,2"} << true << 0 << "4800,N,8,2"
            << QStringList{"2 1.06 4800 2"} << "Scan finished: 1 panel(s) found.";
    }
    // The scan lists the panels; a double-click on the last one reads it into
    // a new panel window after the search window's confirmation.
    void scan()
    {
        QFETCH(QStringList, panels);
        QFETCH(bool, search);
        QFETCH(int, cancelAtRequest);
        QFETCH(QStringList, listed);
        QFETCH(QString, status);
        Bench b;
        b.line->removePanel(1);
        for (const QString& p : panels)
            b.line->addPanel(
                std::uint8_t(p.section(':', 0, 0).toInt()), p.section(':', 1, 1).toInt(),
                p.section(':', 2).isEmpty() ? QStringLiteral("9600,N,8,1") : p.section(':', 2));
        QStringList statuses;
        b.ui.onNextDialog([&](QObject* dialog) {
            child<QSpinBox>(dialog, "txtMargin")->setValue(5);
            child<QSpinBox>(dialog, "txtTo")->setValue(search ? 3 : 64);
            child<QCheckBox>(dialog, "chkSearch")->setChecked(search);
            auto* cancel = child<QPushButton>(dialog, "cmdCancel");
            int requests = 0;
            const auto connection = connect(b.line, &SimulatedLine::RequestSent, cancel, [&] {
                if (++requests == cancelAtRequest)
                    cancel->click();
            });
            child<QPushButton>(dialog, "cmdScan")->click();
            disconnect(connection);
            auto* list = child<QTreeWidget>(dialog, "lvwPanels");
            auto* progress = child<QProgressBar>(dialog, "prgScan");
            auto* label = child<QLabel>(dialog, "lblStatus");
            statuses << Rows(list).join('|') << label->text();
            [&] {
                QVERIFY(progress->value() == progress->maximum() && !cancel->isEnabled());
                QCOMPARE(b.line->Settings(), QStringLiteral("9600,N,8,1"));
            }();
            if (list->topLevelItemCount() > 0) {
                b.ui.onNextDialog([](QObject* found) {
                    child<QPushButton>(found, "cmdButtons1")->click();
                    return true;
                });
                Q_EMIT list->itemActivated(list->topLevelItem(list->topLevelItemCount() - 1), 0);
                statuses << label->text();
            }
            return false;
        });
        b.item("mnuToolsScan")->trigger();

        const QString read = listed.value(listed.size() - 1).section(' ', 0, 0);
        QStringList expected{listed.join('|'), status};
        if (!listed.isEmpty())
            expected << QStringLiteral("Panel %1 read into a new window.").arg(read);
        QCOMPARE(statuses, expected);
        QCOMPARE(b.ui.dialogsShown.join(' '),
                 listed.isEmpty() ? "wScanLine" : "wScanLine wSearchSlave");
        if (!listed.isEmpty())
            QCOMPARE(QString::number(b.window->ActivePanel()->Config().GenParam(23)), read);
        QTEST(b.line->Settings(), "settingsAfter");
        QVERIFY(b.ui.messages.isEmpty());
    }

    // The monitor shows, pauses, saves (as orvelctl --trace), keeps 10000,
    // clears; closed, it leaves the link.
    void lineMonitor()
    {
        Bench b;
        QAction* item = b.item(QStringLiteral("mnuToolsMonitor"));
        item->trigger();
        wLineMonitor* dock = b.window->LineMonitorWindow();
        QVERIFY(dock && item->isChecked() && b.window->Link().Monitor() == &dock->Monitor());

        QList<std::int16_t> word(1, 0);
        QVERIFY(LitMots(b.window->Link(), 1, 1138, word));
        dock->Refresh();
        QCOMPARE(dock->RowCount(), 2);
        QCOMPARE(dock->Row(0).mid(1), (QStringList{"Sent", "01 03 04 72 00 01 25 21",
                                                   "slave 1, read 1 word(s) at 1138, CRC good"}));
        QCOMPARE(dock->Row(1).mid(1), (QStringList{"Received", "01 03 02 00 01 79 84",
                                                   "slave 1, reply with 1 word(s), CRC good"}));
        QCOMPARE(dock->StatusText(), QStringLiteral("2 frame(s), the last 10000 are kept"));

        child<QToolButton>(dock, "cmdPause")->click();
        QVERIFY(LitMots(b.window->Link(), 1, 1138, word));
        dock->Refresh();
        QCOMPARE(dock->StatusText(), QStringLiteral("Paused: frames are not recorded - 2 frame(s), "
                                                    "the last 10000 are kept"));

        const QString path = b.ini.folder() + QStringLiteral("/frames.txt");
        b.ui.answerNextFileDialog({path});
        child<QToolButton>(dock, "cmdSave")->click();
        QCOMPARE(b.ui.fileRequests.value(0).filter, QStringLiteral("Text files (*.txt)|*.txt"));
        const QStringList lines = QString::fromUtf8(TestFiles::ReadBytes(path)).split('\n');
        QCOMPARE(lines.size(), 3);
        QCOMPARE(lines[0], FrameLine(dock->Monitor().Frames()[0]));
        QVERIFY(lines[1].endsWith("ms  Received  01 03 02 00 01 79 84  slave 1, "
                                  "reply with 1 word(s), CRC good"));

        child<QToolButton>(dock, "cmdPause")->click(); // the recording resumes
        for (int i = 0; i < 10000; ++i)
            dock->Monitor().Received(QByteArray::number(i), {}, false);
        dock->Refresh();
        QCOMPARE(dock->RowCount(), 10000);
        QCOMPARE(dock->Row(0)[2], QStringLiteral("30"));
        child<QToolButton>(dock, "cmdClear")->click();
        QCOMPARE(dock->RowCount(), 0);

        item->trigger();
        QTRY_VERIFY(!b.window->LineMonitorWindow());
        QVERIFY(!item->isChecked() && !b.window->Link().Monitor());
    }
};

QTEST_MAIN(tst_wMainTools)
#include "tst_wmaintools.moc"
