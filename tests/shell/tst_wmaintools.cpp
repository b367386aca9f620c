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

    std::unique_ptr<RecordingUi> m_ui;
    std::unique_ptr<IniSandbox> m_ini;
    std::unique_ptr<wMain> m_window;
    SimulatedLine* m_line = nullptr;
    SimulatedPanel* m_panel = nullptr;
    QString m_confirmation; // the search window's message

    // The slave dialog (the number typed, no automatic search, OK), then the
    // search window's confirmation (OK).
    void detectWith(const QString& slave)
    {
        m_ui->onNextDialog([slave](QObject* dialog) {
            child<QLineEdit>(dialog, "txtSlave")->setText(slave);
            child<QCheckBox>(dialog, "chkAutoSearch")->setChecked(false);
            child<QPushButton>(dialog, "cmdButtons1")->click();
            return true;
        });
        m_ui->onNextDialog([this](QObject* dialog) {
            m_confirmation = child<QLabel>(dialog, "lblMessage")->text();
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
        m_confirmation.clear();
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
        QTest::addColumn<bool>("window");
        QTest::addColumn<QList<Message>>("messages");
        QTest::newRow("5 events: the window") << "1" << 5 << true << QList<Message>{};
        QTest::newRow("slave 0 reads the slave found") << "0" << 5 << true << QList<Message>{};
        QTest::newRow("0 events: no window")
            << "1" << 0 << false << QList<Message>{{102003, MsgIcon::Exclamation}};
        QTest::newRow("read fails: no window")
            << "1" << -1 << false << QList<Message>{{102001, MsgIcon::Critical}};
        QTest::newRow("the slave does not answer")
            << "7" << 5 << false << QList<Message>{{10100, MsgIcon::Critical}};
    }
    void readBuffer()
    {
        QFETCH(QString, slave);
        QFETCH(int, events);
        QFETCH(bool, window);
        QFETCH(QList<Message>, messages);
        m_panel->setEvents(::events(std::max(events, 0)));
        if (events < 0)
            m_line->setResponder([this](const QByteArray& request) {
                return request == read(144, 1) ? QByteArray() : m_panel->handle(request).bytes;
            });
        QStringList rows;
        QString panelNumber;
        detectWith(slave);
        m_ui->onNextDialog([&](QObject* dialog) {
            auto* buffer = qobject_cast<wBuffer*>(dialog);
            for (const EventRow& row : buffer->Rows())
                rows << row[0];
            panelNumber = buffer->PanelNumber();
            return false;
        });
        m_window->ToolButton(QStringLiteral("mnuToolsReadBuffer"))->trigger();

        compareMessages(messages);
        QCOMPARE(m_ui->dialogsShown.contains("wBuffer"), window);
        const QStringList five{"01", "02", "03", "04", "05"};
        QCOMPARE(rows, window ? five : QStringList());
        QCOMPARE(panelNumber, window ? QStringLiteral("1") : QString());
        if (slave != "7") {
            QCOMPARE(m_confirmation, GetCaption(35021));
            QCOMPARE(GetIniParam("Communication", "LastSlave"), QStringLiteral("1"));
        }
    }

    void clearBuffer_data()
    {
        QTest::addColumn<MsgAnswer>("answer");
        QTest::addColumn<int>("events");
        QTest::addColumn<bool>("neverFalls");
        QTest::addColumn<QList<QByteArray>>("requests"); // after the detection
        QTest::addColumn<QList<Message>>("outcome");
        const QList<Message> done{{102005, MsgIcon::Information}};
        QTest::newRow("already empty") << MsgAnswer::Ok << 0 << false
                                       << QList<QByteArray>{read(144, 1), write(289, 0)} << done;
        QTest::newRow("five events")
            << MsgAnswer::Ok << 5 << false
            << QList<QByteArray>{read(144, 1), write(288, 5), read(144, 1), write(289, 0)} << done;
        QList<QByteArray> rounds;
        for (int round = 0; round < 64; ++round)
            rounds << read(144, 1) << write(288, 5);
        QTest::newRow("count never falls")
            << MsgAnswer::Ok << 5 << true << rounds << QList<Message>{{102004, MsgIcon::Critical}};
        QTest::newRow("question cancelled")
            << MsgAnswer::Cancel << 5 << false << QList<QByteArray>{} << QList<Message>{};
    }
    void clearBuffer()
    {
        QFETCH(MsgAnswer, answer);
        QFETCH(int, events);
        QFETCH(bool, neverFalls);
        QFETCH(QList<QByteArray>, requests);
        QFETCH(QList<Message>, outcome);
        m_panel->setEvents(::events(events));
        m_panel->setClearNeverFalls(neverFalls);
        m_ui->answerNext(answer);
        detectWith(QStringLiteral("1"));
        m_window->MenuItem(QStringLiteral("mnuToolsClearBuffer"))->trigger();

        compareMessages(QList<Message>{{102000, MsgIcon::Exclamation}} + outcome);
        QCOMPARE(m_ui->messages[0].buttons, MsgButtons::OkCancel);
        QCOMPARE(m_ui->messages[0].defaultButton, std::optional<MsgAnswer>(MsgAnswer::Cancel));
        if (answer == MsgAnswer::Cancel) {
            QVERIFY(m_ui->dialogsShown.isEmpty());
            QVERIFY(m_line->requests().isEmpty());
            return;
        }
        QCOMPARE(m_confirmation, GetCaption(102011));
        QCOMPARE(m_line->requests().mid(2), requests);
    }
};

QTEST_MAIN(tst_wMainTools)
#include "tst_wmaintools.moc"
