// The Tools commands of the main window against the in-process simulated
// panel: the slave dialog, the detection with its confirmation, the event
// window shown only with rows, and the clear with its question and outcome.

#include "RecordingUi.h"
#include "ShellTestSupport.h"
#include "WidgetLookup.h"

#include "eventlog/wBuffer.h"
#include "link/CommFunctions.h"
#include "shell/wMain.h"
#include "texts/DataFunctions.h"

#include <QAction>
#include <QCheckBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>

using namespace ShellTest;

namespace {

using Event = SimulatedPanel::Event;

struct Message
{
    int tag;
    MsgIcon icon;
};

QList<Event> events(int count)
{
    QList<Event> list;
    for (int k = 1; k <= count; ++k)
        list << Event{std::uint16_t(0x1200 | k), std::uint16_t(1000 * k)};
    return list;
}

QByteArray read(std::uint16_t address, int count)
{
    return ReadRequestFrame(1, address, count);
}

QByteArray write(std::uint16_t address, std::int16_t word)
{
    return WriteRequestFrame(1, address, {word});
}

} // namespace

Q_DECLARE_METATYPE(QList<Message>)

class tst_wMainTools : public QObject
{
    Q_OBJECT

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
        m_ini->write("[Communication]\r\nFrameDelay=0\r\nLastSlave=1\r\n");
        m_window = std::make_unique<wMain>(SimulatedPort(&m_line)());
        m_window->Nationality();
        m_line->SetPortOpen(true);
        m_panel = m_line->panel(1);
        m_window->Link().options().replyTimeoutMs = 100;
    }

    void cleanup()
    {
        QVERIFY(!m_ui->busy);
        m_window.reset();
        m_ini.reset();
        m_ui.reset();
    }

    void readBuffer_data()
    {
        QTest::addColumn<QString>("slave");
        QTest::addColumn<int>("events"); // -1: the count read fails
        QTest::addColumn<QStringList>("dialogs");
        QTest::addColumn<QList<Message>>("messages");
        const QStringList detected{"wAskSlave", "wSearchSlave"};
        QTest::newRow("5 events: the window")
            << "1" << 5 << detected + QStringList{"wBuffer"} << QList<Message>{};
        QTest::newRow("0 events: no window")
            << "1" << 0 << detected << QList<Message>{{102003, MsgIcon::Exclamation}};
        QTest::newRow("read fails: no window")
            << "1" << -1 << detected << QList<Message>{{102001, MsgIcon::Critical}};
        QTest::newRow("slave 0 finds slave 1")
            << "0" << 5 << detected + QStringList{"wBuffer"} << QList<Message>{};
        QTest::newRow("the slave does not answer")
            << "7" << 5 << QStringList{"wAskSlave"} << QList<Message>{{10100, MsgIcon::Critical}};
    }
    void readBuffer()
    {
        QFETCH(QString, slave);
        QFETCH(int, events);
        QFETCH(QStringList, dialogs);
        QFETCH(QList<Message>, messages);
        m_panel->setEvents(::events(std::max(events, 0)));
        if (events < 0)
            m_line->setResponder([this](const QByteArray& request) {
                return request == read(144, 1) ? QByteArray() : m_panel->handle(request).bytes;
            });
        QString confirmation;
        QList<EventRow> rows;
        QString panelNumber;
        askSlave(slave);
        confirm(&confirmation);
        m_ui->onNextDialog([&](QObject* dialog) {
            auto* buffer = qobject_cast<wBuffer*>(dialog);
            rows = buffer->Rows();
            panelNumber = buffer->PanelNumber();
            return false;
        });
        m_window->ToolButton(QStringLiteral("mnuToolsReadBuffer"))->trigger();

        QCOMPARE(m_ui->dialogsShown, dialogs);
        compareMessages(messages);
        if (dialogs.size() > 1) {
            QCOMPARE(confirmation, GetCaption(35021));
            QCOMPARE(GetIniParam("Communication", "LastSlave"), QStringLiteral("1"));
        }
        if (dialogs.contains("wBuffer")) {
            QCOMPARE(rows.size(), 5);
            for (int k = 0; k < 5; ++k)
                QCOMPARE(rows[k][0], QStringLiteral("0%1").arg(k + 1));
            QCOMPARE(panelNumber, QStringLiteral("1"));
        }
    }

    void clearBuffer_data()
    {
        QTest::addColumn<int>("events");
        QTest::addColumn<bool>("neverFalls");
        QTest::addColumn<QList<QByteArray>>("requests"); // after the detection
        QTest::addColumn<QList<Message>>("outcome");
        const QList<Message> done{{102005, MsgIcon::Information}};
        QTest::newRow("already empty")
            << 0 << false << QList<QByteArray>{read(144, 1), write(289, 0)} << done;
        QTest::newRow("five events")
            << 5 << false
            << QList<QByteArray>{read(144, 1), write(288, 5), read(144, 1), write(289, 0)} << done;
        QList<QByteArray> rounds;
        for (int round = 0; round < 64; ++round)
            rounds << read(144, 1) << write(288, 5);
        QTest::newRow("count never falls")
            << 5 << true << rounds << QList<Message>{{102004, MsgIcon::Critical}};
    }
    void clearBuffer()
    {
        QFETCH(int, events);
        QFETCH(bool, neverFalls);
        QFETCH(QList<QByteArray>, requests);
        QFETCH(QList<Message>, outcome);
        m_panel->setEvents(::events(events));
        m_panel->setClearNeverFalls(neverFalls);
        QString confirmation;
        m_ui->answerNext(MsgAnswer::Ok);
        askSlave(QStringLiteral("1"));
        confirm(&confirmation);
        m_window->MenuItem(QStringLiteral("mnuToolsClearBuffer"))->trigger();

        QCOMPARE(confirmation, GetCaption(102011));
        QCOMPARE(m_line->requests().mid(2), requests);
        compareMessages(QList<Message>{{102000, MsgIcon::Exclamation}} + outcome);
        QCOMPARE(m_ui->messages[0].buttons, MsgButtons::OkCancel);
        QCOMPARE(m_ui->messages[0].defaultButton, std::optional<MsgAnswer>(MsgAnswer::Cancel));
    }

    void clearCancelled()
    {
        m_panel->setEvents(events(3));
        m_ui->answerNext(MsgAnswer::Cancel);
        m_window->ToolButton(QStringLiteral("mnuToolsClearBuffer"))->trigger();
        QVERIFY(m_ui->dialogsShown.isEmpty());
        QVERIFY(m_line->requests().isEmpty());
        compareMessages({{102000, MsgIcon::Exclamation}});
        QCOMPARE(m_panel->events().size(), 3);
    }

private:
    // The slave dialog: the number typed, no automatic search, OK.
    void askSlave(const QString& slave)
    {
        m_ui->onNextDialog([slave](QObject* dialog) {
            child<QLineEdit>(dialog, "txtSlave")->setText(slave);
            child<QCheckBox>(dialog, "chkAutoSearch")->setChecked(false);
            child<QPushButton>(dialog, "cmdButtons1")->click();
            return true;
        });
    }

    // The search window's confirmation: its message, then OK.
    void confirm(QString* message)
    {
        m_ui->onNextDialog([message](QObject* dialog) {
            *message = child<QLabel>(dialog, "lblMessage")->text();
            child<QPushButton>(dialog, "cmdButtons1")->click();
            return true;
        });
    }

    void compareMessages(const QList<Message>& expected)
    {
        QCOMPARE(m_ui->messages.size(), expected.size());
        for (qsizetype i = 0; i < expected.size(); ++i) {
            QCOMPARE(m_ui->messages[i].text, GetText(expected[i].tag));
            QCOMPARE(m_ui->messages[i].icon, expected[i].icon);
        }
    }

    std::unique_ptr<RecordingUi> m_ui;
    std::unique_ptr<IniSandbox> m_ini;
    std::unique_ptr<wMain> m_window;
    SimulatedLine* m_line = nullptr;
    SimulatedPanel* m_panel = nullptr;
};

QTEST_MAIN(tst_wMainTools)
#include "tst_wmaintools.moc"
