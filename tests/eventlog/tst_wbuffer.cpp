// The event list window against the in-process simulated panel: sorting,
// Refresh, Copy, Ctrl+C and Save.
#include "ErrorReport.h"
#include "eventlog/EventExport.h"
#include "eventlog/wBuffer.h"
#include "FileSizeLimit.h"
#include "link/CommFunctions.h"
#include "RecordingUi.h"
#include "settings/IniStore.h"
#include "SimulatedLine.h"
#include "SmallDataFile.h"
#include "TestFiles.h"
#include "util/Cp1252.h"
#include "WidgetLookup.h"

#include <QAction>
#include <QClipboard>
#include <QGuiApplication>
#include <QHeaderView>
#include <QLineEdit>
#include <QTemporaryDir>
#include <QTreeWidget>

namespace {

constexpr std::uint8_t Slave = 3;
using Event = SimulatedPanel::Event;
using Order = QList<int>;

Event record(int channel, int ticks)
{
    return {std::uint16_t((channel << 12) | (2 << 8) | (ticks >> 16)), std::uint16_t(ticks)};
}

// V03, ACK, V01, V12, V02 at ticks 500, 100, 400, 200, 300: each column sorts them apart.
const QList<Event> Five{record(3, 500), record(15, 100), record(1, 400), record(12, 200),
                        record(2, 300)};
const QStringList Headings{"en102115", "en102110", "Heure \u00e9",
                           "en102112", "en102113", "en102114"};

// The rows of events at the given read positions (1-based), in that order.
QList<EventRow> decoded(const QList<Event>& events, const Order& order)
{
    QList<EventRow> rows;
    for (int position : order) {
        const Event& e = events[position - 1];
        rows << DecodeEvent(position, std::int16_t(e.w0), std::int16_t(e.w1));
    }
    return rows;
}

using Sort = std::tuple<Order, Order, QString>;
// Clicks, the events, the requests answered (-1: all), the rows' order, the message.
using Refresh = std::tuple<Order, QList<Event>, int, Order, QString>;

} // namespace

class TestWBuffer : public QObject
{
    Q_OBJECT

    QTemporaryDir m_dir;
    std::unique_ptr<RecordingUi> m_ui;
    std::unique_ptr<SimulatedLine> m_line;
    std::unique_ptr<PanelLink> m_link;
    std::unique_ptr<wBuffer> m_window;
    SimulatedPanel* m_panel = nullptr;

    QTreeWidget* list() { return child<QTreeWidget>(m_window.get(), "lvwBuffer"); }
    void trigger(const QString& action)
    {
        child<QAction>(m_window.get(), action.toLatin1().constData())->trigger();
    }
    void click(int column)
    {
        QHeaderView* header = list()->header();
        const QPoint at(header->sectionViewportPosition(column) + header->sectionSize(column) / 2,
                        header->height() / 2);
        QTest::mouseClick(header->viewport(), Qt::LeftButton, {}, at);
    }
    // One letter per heading: U (SortUp), D (SortDown) or - (no image).
    QString icons()
    {
        const QImage up = QIcon(":/eventlog/icons/SortUp.svg").pixmap(16).toImage();
        QString letters;
        for (int k = 0; k < EventColumns; ++k) {
            const QIcon icon = list()->headerItem()->icon(k);
            letters += icon.isNull() ? '-' : icon.pixmap(16).toImage() == up ? 'U' : 'D';
        }
        return letters;
    }

private Q_SLOTS:
    void initTestCase()
    {
        QList<int> tags{102001, 102003, 102006, 102008, 102009, 102010, 102101, 102102};
        for (int tag = 102105; tag <= 102230; ++tag)
            if (tag != 102111 && (tag <= 102115 || tag >= 102201))
                tags << tag;
        QVERIFY(SmallDataFile::Create(
            m_dir.filePath("texts.dat"), tags,
            {{"102007", {"Files (*.#)|*.#", "f", "e"}}, {"102111", {"Heure \u00e9", "f", "e"}}}));
        SetIniFileNameOverride(m_dir.filePath("orvel.ini"));
    }
    void init()
    {
        m_ui = std::make_unique<RecordingUi>();
        m_line = std::make_unique<SimulatedLine>();
        m_panel = &m_line->addPanel(Slave);
        m_panel->setEvents(Five);
        m_link = std::make_unique<PanelLink>(*m_line, LinkOptions{false, 0, 0, 100});
        m_window = std::make_unique<wBuffer>(*m_link);
        m_window->SetPanelNumber(Slave);
        m_window->show();
        m_window->activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(m_window.get()));
        QVERIFY(m_window->ReadBuffer(Slave));
        QCOMPARE(m_ui->busyChanges, (QList<bool>{true, false}));
        QCOMPARE(m_window->Rows(), decoded(Five, {1, 2, 3, 4, 5}));
        QCOMPARE(icons(), "------");
        m_ui->clear();
        m_line->clearLog();
    }
    void cleanup()
    {
        m_window.reset();
        m_link.reset();
        m_line.reset();
        m_ui.reset();
    }

    // Clicks on headings, the rows' order (read positions) and the headings' images.
    void sorting_data()
    {
        QTest::addColumn<Sort>("c");
        QTest::newRow("first click on No. sorts descending")
            << Sort{{0}, {5, 4, 3, 2, 1}, "D-----"};
        QTest::newRow("another heading sorts ascending") << Sort{{3}, {2, 3, 5, 1, 4}, "---U--"};
        QTest::newRow("the same heading again descending")
            << Sort{{3, 3}, {4, 1, 5, 3, 2}, "---D--"};
        QTest::newRow("a third heading resets the images")
            << Sort{{3, 3, 1}, {2, 4, 5, 3, 1}, "-U----"};
        QTest::newRow("back to No.: ascending") << Sort{{2, 0}, {1, 2, 3, 4, 5}, "U-----"};
    }
    void sorting()
    {
        QFETCH(Sort, c);
        const auto& [clicks, order, images] = c;
        for (int column : clicks)
            click(column);
        QCOMPARE(m_window->Rows(), decoded(Five, order));
        QCOMPARE(icons(), images);
    }

    // F5 reads again in the same sort; a failure keeps the rows read before it.
    void refresh_data()
    {
        QTest::addColumn<Refresh>("c");
        QTest::newRow("keeps the sort")
            << Refresh{{3, 3}, {record(7, 1), record(15, 2), record(9, 3)}, -1, {3, 1, 2}, ""};
        QList<Event> full;
        Order first62;
        for (int k = 0; k < 64; ++k)
            full << Five[k % 5];
        for (int k = 1; k <= 62; ++k)
            first62 << k;
        QTest::newRow("last records fail") << Refresh{{}, full, 2, first62, "en102001"};
    }
    void refresh()
    {
        QFETCH(Refresh, c);
        const auto& [clicks, events, answered, order, message] = c;
        for (int column : clicks)
            click(column);
        m_panel->setEvents(events);
        const int replies = answered;
        if (replies >= 0)
            m_line->setResponder([this, replies](const QByteArray& request) {
                return m_line->requests().size() < replies ? m_panel->handle(request).bytes
                                                           : QByteArray();
            });
        QTest::keyClick(m_window.get(), Qt::Key_F5);
        QCOMPARE(m_window->Rows(), decoded(events, order));
        QCOMPARE(m_ui->lastText(), message);
        QCOMPARE(icons(), clicks.isEmpty() ? "------" : "---D--");
    }

    // Enter in the box and the Refresh button: a beep each, nothing on the line.
    void refreshRefusesABadPanelNumber_data()
    {
        QTest::addColumn<QString>("typed");
        for (const char* typed : {"0", "65", "x"})
            QTest::newRow(typed) << typed;
    }
    void refreshRefusesABadPanelNumber()
    {
        QFETCH(QString, typed);
        auto* box = child<QLineEdit>(m_window.get(), "txtPnlNum");
        box->clear();
        QTest::keyClicks(box, typed);
        QTest::keyClick(box, Qt::Key_Return);
        m_window->tbrTools_ButtonClick("mnuEditRefresh");
        QCOMPARE(m_ui->beeps, 2);
        QVERIFY(m_line->requests().isEmpty());
        QVERIFY(m_ui->messages.isEmpty());
    }

    // Copy: the preamble and the list in its order; Ctrl+C: the selected rows, silently.
    void copy()
    {
        QCOMPARE(m_window->windowTitle(), "en1021013");
        QVERIFY(m_window->StatusText().startsWith("en102009 "));
        click(1);
        trigger("mnuEditCopyBuffer");
        QCOMPARE(QGuiApplication::clipboard()->text(),
                 "en102102 3\r\n" + m_window->StatusText() + "\r\n" +
                     TabbedValues(Headings, decoded(Five, {2, 4, 5, 3, 1})));
        QCOMPARE(m_ui->lastText(), "en102006");
        QCOMPARE(m_ui->messages.last().icon, MsgIcon::Information);

        list()->setFocus();
        QTest::keyClick(list(), Qt::Key_Home);
        QTest::keyClick(list(), Qt::Key_Down, Qt::ShiftModifier);
        QTest::keyClick(list(), Qt::Key_C, Qt::ControlModifier);
        QCOMPARE(QGuiApplication::clipboard()->text(), TabbedRows(decoded(Five, {2, 4})));
        QCOMPARE(m_ui->messages.size(), 1);
    }

    // The button points at the formats; a format asks in the folder remembered, writes
    // Windows-1252 whole or not at all (the size limit binds root too), remembers the folder.
    void save_data()
    {
        QTest::addColumn<QString>("key");
        QTest::addColumn<QString>("outcome");
        for (const char* key : {"TEXT", "CSV_EN"})
            QTest::newRow(key) << key << "saved";
        QTest::newRow("cancelled") << QString("CSV_FR") << QString("cancelled");
        QTest::newRow("full disk") << QString("TEXT") << QString("full disk");
    }
    void save()
    {
        QFETCH(QString, key);
        QFETCH(QString, outcome);
        trigger("mnuFileSave");
        QCOMPARE(m_ui->lastText(), "en102008");
        QCOMPARE(m_ui->messages.last().icon, MsgIcon::Information);
        QVERIFY(m_ui->fileRequests.isEmpty());

        click(3);
        SetIniParam("General", "BufferFiles", "/earlier/folder");
        QTemporaryDir folder;
        const QString path = folder.filePath("events");
        const QByteArray earlier = "an earlier, longer export that the save replaces entirely";
        TestFiles::WriteBytes(path, earlier);
        m_ui->answerNextFileDialog(outcome == "cancelled" ? QStringList{} : QStringList{path});
        {
            std::optional<FileSizeLimit> limit;
            if (outcome == "full disk")
                limit.emplace(64);
            trigger(key);
        }
        QCOMPARE(m_ui->fileRequests.size(), 1);
        const FileDialogRequest& request = m_ui->fileRequests[0];
        QCOMPARE(request.filter, QString("Files (*.%1)|*.%1").arg(key == "TEXT" ? "txt" : "csv"));
        QCOMPARE(request.initialFolder, "/earlier/folder");
        QVERIFY(request.save && !request.multiSelect && request.proposedName.isEmpty());
        QCOMPARE(request.owner, m_window.get());
        QCOMPARE(GetIniParam("General", "BufferFiles"),
                 outcome == "cancelled" ? "/earlier/folder" : folder.path());
        QCOMPARE(QDir(folder.path()).entryList(QDir::Files | QDir::Hidden), QStringList{"events"});
        if (outcome != "saved") {
            QCOMPARE(TestFiles::ReadBytes(path), earlier);
            QCOMPARE(m_ui->lastText(), outcome == "cancelled"
                                           ? "en102008"
                                           : ErrorReport(61, "Disk full", "wBuffer.SaveValues"));
            return;
        }
        QCOMPARE(m_ui->messages.size(), 1);
        const QString content =
            "en102102 3\r\n" + m_window->StatusText() + "\r\n" +
            ExportTable(*ExportFormatFromKey(key), Headings, decoded(Five, {2, 3, 5, 1, 4}));
        QCOMPARE(TestFiles::ReadBytes(path), ToCp1252(content));
        QVERIFY(TestFiles::ReadBytes(path).contains("Heure \xe9"));
    }
};

QTEST_MAIN(TestWBuffer)
#include "tst_wbuffer.moc"
