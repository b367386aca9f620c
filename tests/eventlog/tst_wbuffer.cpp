// The event list window against the in-process simulated panel: reading,
// sorting by the headings, Refresh, Copy, Ctrl+C and Save in each format.
#include "eventlog/EventExport.h"
#include "eventlog/wBuffer.h"
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

#include <csignal>
#include <sys/resource.h>

namespace {

constexpr std::uint8_t Slave = 3;
using Event = SimulatedPanel::Event;

Event record(int channel, int ticks)
{
    return {std::uint16_t((channel << 12) | (2 << 8) | (ticks >> 16)), std::uint16_t(ticks)};
}

// Channels V03, ACK, V01, V12, V02 with ticks 500, 100, 400, 200, 300: every
// column of interest sorts them differently.
const QList<Event> Five{record(3, 500), record(15, 100), record(1, 400), record(12, 200),
                        record(2, 300)};

QList<EventRow> decoded(const QList<Event>& events, const QList<int>& order)
{
    QList<EventRow> rows;
    for (int position : order) {
        const Event& e = events[position - 1];
        rows << DecodeEvent(position, std::int16_t(e.w0), std::int16_t(e.w1));
    }
    return rows;
}

QStringList column0(const QList<EventRow>& rows)
{
    QStringList numbers;
    for (const EventRow& row : rows)
        numbers << row[0];
    return numbers;
}

const QStringList Headings{"en102115", "en102110", "Heure \u00e9",
                           "en102112", "en102113", "en102114"};

} // namespace

class TestWBuffer : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void initTestCase();
    void init();
    void cleanup();

    void read_data();
    void read();
    void sorting_data();
    void sorting();
    void refreshKeepsTheSort();
    void refreshRefusesABadPanelNumber_data();
    void refreshRefusesABadPanelNumber();
    void copy();
    void copySelectedRows();
    void saveButtonItself();
    void save_data();
    void save();
    void saveCancelled();
    void failedSaveKeepsTheEarlierFile();

private:
    void click(int column);
    QString icons();

    QTemporaryDir m_dir;
    std::unique_ptr<RecordingUi> m_ui;
    std::unique_ptr<SimulatedLine> m_line;
    std::unique_ptr<PanelLink> m_link;
    std::unique_ptr<wBuffer> m_window;
    SimulatedPanel* m_panel = nullptr;
};

void TestWBuffer::initTestCase()
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

void TestWBuffer::init()
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
}

void TestWBuffer::cleanup()
{
    m_window.reset();
    m_link.reset();
    m_line.reset();
    m_ui.reset();
}

void TestWBuffer::click(int column)
{
    QHeaderView* header = child<QTreeWidget>(m_window.get(), "lvwBuffer")->header();
    const QPoint at(header->sectionViewportPosition(column) + header->sectionSize(column) / 2,
                    header->height() / 2);
    QTest::mouseClick(header->viewport(), Qt::LeftButton, {}, at);
}

// One letter per heading: U (SortUp), D (SortDown) or - (no image).
QString TestWBuffer::icons()
{
    const QImage up = QIcon(":/eventlog/icons/SortUp.svg").pixmap(16).toImage();
    const QImage down = QIcon(":/eventlog/icons/SortDown.svg").pixmap(16).toImage();
    QString letters;
    QTreeWidgetItem* headings = child<QTreeWidget>(m_window.get(), "lvwBuffer")->headerItem();
    for (int k = 0; k < EventColumns; ++k) {
        const QIcon icon = headings->icon(k);
        const QImage image = icon.isNull() ? QImage() : icon.pixmap(16).toImage();
        letters += image.isNull() ? '-' : image == up ? 'U' : image == down ? 'D' : '?';
    }
    return letters;
}

void TestWBuffer::read_data()
{
    QTest::addColumn<int>("events");
    QTest::addColumn<int>("repliesBeforeSilence"); // -1: the panel always answers
    QTest::addColumn<bool>("result");
    QTest::addColumn<int>("rows");
    QTest::addColumn<QString>("message");
    QTest::addColumn<MsgIcon>("icon");
    QTest::newRow("5 events") << 5 << -1 << true << 5 << "" << MsgIcon::None;
    QTest::newRow("empty") << 0 << -1 << true << 0 << "en102003" << MsgIcon::Exclamation;
    QTest::newRow("count fails") << 5 << 0 << false << 0 << "en102001" << MsgIcon::Critical;
    QTest::newRow("64, last records fail")
        << 64 << 2 << false << 62 << "en102001" << MsgIcon::Critical;
}

void TestWBuffer::read()
{
    QFETCH(int, events);
    QFETCH(int, repliesBeforeSilence);
    QFETCH(bool, result);
    QFETCH(int, rows);
    QFETCH(QString, message);
    QFETCH(MsgIcon, icon);
    QList<Event> log;
    for (int k = 0; k < events; ++k)
        log << Five[k % 5];
    m_panel->setEvents(log);
    int replies = 0;
    if (repliesBeforeSilence >= 0)
        m_line->setResponder([&](const QByteArray& request) {
            return replies++ < repliesBeforeSilence ? m_panel->handle(request).bytes : QByteArray();
        });
    QCOMPARE(m_window->ReadBuffer(Slave), result);
    QList<int> order;
    for (int k = 1; k <= rows; ++k)
        order << k;
    QCOMPARE(m_window->Rows(), decoded(log, order));
    QCOMPARE(m_ui->lastText(), message);
    if (!message.isEmpty())
        QCOMPARE(m_ui->messages.last().icon, icon);
    QVERIFY(m_window->StatusText().startsWith("en102009 "));
    QVERIFY(m_window->StatusText().contains(" en102010 "));
    QVERIFY(m_window->StatusText().endsWith(' '));
    QCOMPARE(m_window->windowTitle(), QStringLiteral("en1021013"));
    QCOMPARE(m_window->Headings(), Headings);
    QCOMPARE(m_ui->busyChanges, (QList<bool>{true, false}));
}

void TestWBuffer::sorting_data()
{
    QTest::addColumn<QList<int>>("clicks");
    QTest::addColumn<QStringList>("order");
    QTest::addColumn<QString>("icons");
    QTest::newRow("first click on No. sorts descending")
        << QList<int>{0} << QStringList{"05", "04", "03", "02", "01"} << "D-----";
    QTest::newRow("another heading sorts ascending")
        << QList<int>{3} << QStringList{"02", "03", "05", "01", "04"} << "---U--";
    QTest::newRow("the same heading again descending")
        << QList<int>{3, 3} << QStringList{"04", "01", "05", "03", "02"} << "---D--";
    QTest::newRow("a third heading resets the images")
        << QList<int>{3, 3, 1} << QStringList{"02", "04", "05", "03", "01"} << "-U----";
    QTest::newRow("back to No.: ascending")
        << QList<int>{2, 0} << QStringList{"01", "02", "03", "04", "05"} << "U-----";
}

void TestWBuffer::sorting()
{
    QFETCH(QList<int>, clicks);
    QFETCH(QStringList, order);
    QFETCH(QString, icons);
    QVERIFY(m_window->ReadBuffer(Slave));
    QCOMPARE(this->icons(), QStringLiteral("------"));
    for (int column : clicks)
        click(column);
    QCOMPARE(column0(m_window->Rows()), order);
    QCOMPARE(this->icons(), icons);
}

void TestWBuffer::refreshKeepsTheSort()
{
    QVERIFY(m_window->ReadBuffer(Slave));
    click(3);
    click(3);
    const QList<Event> three{record(7, 1), record(15, 2), record(9, 3)};
    m_panel->setEvents(three);
    m_line->clearLog();
    QTest::keyClick(m_window.get(), Qt::Key_F5);
    QCOMPARE(m_line->requests(),
             (QList<QByteArray>{ReadRequestFrame(Slave, 144, 1), ReadRequestFrame(Slave, 146, 6)}));
    QCOMPARE(m_window->Rows(), decoded(three, {3, 1, 2}));
    QCOMPARE(icons(), QStringLiteral("---D--"));
}

void TestWBuffer::refreshRefusesABadPanelNumber_data()
{
    QTest::addColumn<QString>("typed");
    QTest::newRow("empty") << "";
    QTest::newRow("0") << "0";
    QTest::newRow("65") << "65";
    QTest::newRow("not a number") << "x";
}

// Enter in the box and the Refresh button: a beep each, nothing on the line.
void TestWBuffer::refreshRefusesABadPanelNumber()
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

void TestWBuffer::copy()
{
    QVERIFY(m_window->ReadBuffer(Slave));
    click(1);
    child<QAction>(m_window.get(), "mnuEditCopyBuffer")->trigger();
    QCOMPARE(QGuiApplication::clipboard()->text(),
             "en102102 3\r\n" + m_window->StatusText() + "\r\n" +
                 TabbedValues(Headings, decoded(Five, {2, 4, 5, 3, 1})));
    QCOMPARE(m_ui->lastText(), QStringLiteral("en102006"));
    QCOMPARE(m_ui->messages.last().icon, MsgIcon::Information);
}

void TestWBuffer::copySelectedRows()
{
    QVERIFY(m_window->ReadBuffer(Slave));
    auto* list = child<QTreeWidget>(m_window.get(), "lvwBuffer");
    list->setFocus();
    QTest::keyClick(list, Qt::Key_Home);
    QTest::keyClick(list, Qt::Key_Down, Qt::ShiftModifier);
    QTest::keyClick(list, Qt::Key_C, Qt::ControlModifier);
    QCOMPARE(QGuiApplication::clipboard()->text(), TabbedRows(decoded(Five, {1, 2})));
    QVERIFY(m_ui->messages.isEmpty());
}

void TestWBuffer::saveButtonItself()
{
    child<QAction>(m_window.get(), "mnuFileSave")->trigger();
    QCOMPARE(m_ui->lastText(), QStringLiteral("en102008"));
    QCOMPARE(m_ui->messages.last().icon, MsgIcon::Information);
    QVERIFY(m_ui->fileRequests.isEmpty());
}

void TestWBuffer::save_data()
{
    QTest::addColumn<QString>("key");
    QTest::addColumn<QString>("filter");
    QTest::newRow("TEXT") << "TEXT"
                          << "Files (*.txt)|*.txt";
    QTest::newRow("CSV_FR") << "CSV_FR"
                            << "Files (*.csv)|*.csv";
    QTest::newRow("CSV_EN") << "CSV_EN"
                            << "Files (*.csv)|*.csv";
}

void TestWBuffer::save()
{
    QFETCH(QString, key);
    QFETCH(QString, filter);
    QVERIFY(m_window->ReadBuffer(Slave));
    click(3);
    SetIniParam("General", "BufferFiles", "/earlier/folder");
    const QString path = m_dir.filePath("events." + key);
    TestFiles::WriteBytes(path, "an earlier, longer export that the save replaces entirely");
    m_ui->answerNextFileDialog({path});
    child<QAction>(m_window.get(), key.toLatin1().constData())->trigger();

    QCOMPARE(m_ui->fileRequests.size(), 1);
    const FileDialogRequest& request = m_ui->fileRequests[0];
    QCOMPARE(request.filter, filter);
    QCOMPARE(request.initialFolder, QStringLiteral("/earlier/folder"));
    QVERIFY(request.save && !request.multiSelect && request.proposedName.isEmpty());
    QCOMPARE(request.owner, m_window.get());

    const QString content =
        "en102102 3\r\n" + m_window->StatusText() + "\r\n" +
        ExportTable(*ExportFormatFromKey(key), Headings, decoded(Five, {2, 3, 5, 1, 4}));
    const QByteArray bytes = TestFiles::ReadBytes(path);
    QCOMPARE(bytes, ToCp1252(content));
    QVERIFY(bytes.contains("Heure \xe9"));
    QCOMPARE(GetIniParam("General", "BufferFiles"), m_dir.path());
    QVERIFY(m_ui->messages.isEmpty());
}

void TestWBuffer::saveCancelled()
{
    QVERIFY(m_window->ReadBuffer(Slave));
    SetIniParam("General", "BufferFiles", "/kept");
    const QStringList before = QDir(m_dir.path()).entryList(QDir::Files);
    child<QAction>(m_window.get(), "CSV_FR")->trigger();
    QCOMPARE(m_ui->fileRequests.size(), 1);
    QCOMPARE(QDir(m_dir.path()).entryList(QDir::Files), before);
    QCOMPARE(GetIniParam("General", "BufferFiles"), QStringLiteral("/kept"));
}

// A save that fails half-way (here the file size limit, which binds root too)
// reports the failure and leaves the earlier export as it was.
void TestWBuffer::failedSaveKeepsTheEarlierFile()
{
    QVERIFY(m_window->ReadBuffer(Slave));
    QTemporaryDir folder;
    const QString path = folder.filePath("events.txt");
    TestFiles::WriteBytes(path, "earlier export");
    m_ui->answerNextFileDialog({path});

    rlimit saved{};
    QCOMPARE(getrlimit(RLIMIT_FSIZE, &saved), 0);
    rlimit small = saved;
    small.rlim_cur = 64;
    const auto previousHandler = std::signal(SIGXFSZ, SIG_IGN);
    QCOMPARE(setrlimit(RLIMIT_FSIZE, &small), 0);
    child<QAction>(m_window.get(), "TEXT")->trigger();
    setrlimit(RLIMIT_FSIZE, &saved);
    std::signal(SIGXFSZ, previousHandler);

    QCOMPARE(TestFiles::ReadBytes(path), QByteArray("earlier export"));
    QCOMPARE(QDir(folder.path()).entryList(QDir::Files | QDir::Hidden), QStringList{"events.txt"});
    QCOMPARE(m_ui->messages.size(), 1);
    QVERIFY2(m_ui->lastText().contains("wBuffer") && m_ui->lastText().contains("SaveValues"),
             qPrintable(m_ui->lastText()));
    QCOMPARE(m_ui->messages.last().icon, MsgIcon::Critical);
}

QTEST_MAIN(TestWBuffer)
#include "tst_wbuffer.moc"
