#include "link/Detection.h"
#include "RecordingPort.h"
#include "RecordingUi.h"
#include "shell/wSearchSlave.h"
#include "SimulatedLine.h"
#include "SmallDataFile.h"
#include "texts/DataFunctions.h"
#include "WidgetLookup.h"

#include <QLabel>
#include <QPushButton>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>

#include <memory>

// The detection's search window: labels, Cancel during the search and the
// final confirmation; and the detection itself driving it on a simulated line.
class TestWSearchSlave : public QObject
{
    Q_OBJECT

    QTemporaryDir m_dir;

    static QString text(QWidget* w, const char* name) { return child<QLabel>(w, name)->text(); }

private Q_SLOTS:
    void initTestCase()
    {
        QStandardPaths::setTestModeEnabled(true);
        QVERIFY(SmallDataFile::Create(m_dir.filePath(QStringLiteral("t.dat")),
                                      {12, 15, 1116, 1117, 1118, 1119, 35020, 35021, 35022, 35031,
                                       35032, 35033, 35034, 102011}));
    }
    void init() { SetCurrentLanguage(QStringLiteral("English")); }

    void texts()
    {
        RecordingPort port;
        port.settings = QStringLiteral("9600,E,8,2");
        wSearchSlave window(port);
        QCOMPARE(window.windowTitle(), QStringLiteral("en35020"));
        QCOMPARE(text(&window, "lblSlaveCaption"), QStringLiteral("en35031"));
        QCOMPARE(text(&window, "lblBaudsCaption"), QStringLiteral("en35032"));
        QCOMPARE(text(&window, "lblDataBitsCaption"), QStringLiteral("en35033"));
        QCOMPARE(text(&window, "lblStopsCaption"), QStringLiteral("en35034"));
        QCOMPARE(text(&window, "lblParityCaption"), QStringLiteral("en1116"));
        QCOMPARE(text(&window, "lblDataBits"), QStringLiteral("8"));
        QCOMPARE(text(&window, "lblParity"), QStringLiteral("en1118"));
        QCOMPARE(child<QPushButton>(&window, "cmdButtons0")->text(), QStringLiteral("en12"));
        QCOMPARE(child<QPushButton>(&window, "cmdButtons1")->text(), QStringLiteral("en15"));
        SetCurrentLanguage(QStringLiteral("Français"));
        window.Nationality();
        QCOMPARE(window.windowTitle(), QStringLiteral("fr35020"));
        QCOMPARE(text(&window, "lblParity"), QStringLiteral("fr1118"));
    }

    void parityLabel_data()
    {
        QTest::addColumn<QString>("settings");
        QTest::addColumn<QString>("parity");
        QTest::newRow("N") << "9600,N,8,1"
                           << "en1117";
        QTest::newRow("E") << "9600,E,8,1"
                           << "en1118";
        QTest::newRow("O") << "9600,O,8,1"
                           << "en1119";
        QTest::newRow("lower case o") << "9600,o,8,1"
                                      << "en1119";
        QTest::newRow("mark") << "9600,M,8,1"
                              << "";
    }
    void parityLabel()
    {
        QFETCH(QString, settings);
        RecordingPort port;
        port.settings = settings;
        wSearchSlave window(port);
        QTEST(text(&window, "lblParity"), "parity");
    }

    void searchShowsAttemptsAndCancelStopsIt()
    {
        RecordingPort port;
        wSearchSlave window(port);
        window.ShowSearching();
        QVERIFY(window.isVisible());
        QVERIFY(!child<QPushButton>(&window, "cmdButtons1")->isEnabled());
        QVERIFY(child<QPushButton>(&window, "cmdButtons0")->isEnabled());
        QCOMPARE(text(&window, "lblMessage"), QStringLiteral("en35022"));
        window.ShowAttempt(QStringLiteral("?"), 19200, 2);
        QCOMPARE(text(&window, "lblSlave"), QStringLiteral("?"));
        QCOMPARE(text(&window, "lblBauds"), QStringLiteral("19200"));
        QCOMPARE(text(&window, "lblStops"), QStringLiteral("2"));
        QVERIFY(!window.Cancelled());
        QTest::mouseClick(child<QPushButton>(&window, "cmdButtons0"), Qt::LeftButton);
        QVERIFY(window.Cancelled());
        QVERIFY(!window.isVisible());
        QVERIFY(!window.Ok());
        // A new search starts uncancelled.
        window.ShowSearching();
        QVERIFY(!window.Cancelled());
        window.Close();
        QVERIFY(!window.isVisible());
    }

    void escapeOrTheFrameAlsoStopTheSearch_data()
    {
        QTest::addColumn<bool>("escape");
        QTest::newRow("Escape") << true;
        QTest::newRow("frame") << false;
    }
    void escapeOrTheFrameAlsoStopTheSearch()
    {
        QFETCH(bool, escape);
        RecordingPort port;
        wSearchSlave window(port);
        window.ShowSearching();
        if (escape)
            QTest::keyClick(&window, Qt::Key_Escape);
        else
            window.close();
        QVERIFY(!window.isVisible());
        QVERIFY(window.Cancelled());
    }

    void confirmationWithOk()
    {
        RecordingUi ui;
        RecordingPort port;
        port.settings = QStringLiteral("4800,N,8,1");
        wSearchSlave window(port);
        bool okEnabled = false;
        QString message, slave, bauds;
        ui.onNextDialog([&](QObject* d) {
            auto* w = qobject_cast<wSearchSlave*>(d);
            okEnabled = child<QPushButton>(w, "cmdButtons1")->isEnabled();
            message = text(w, "lblMessage");
            slave = text(w, "lblSlave");
            bauds = text(w, "lblBauds");
            child<QPushButton>(w, "cmdButtons1")->click();
            return w->result() == QDialog::Accepted;
        });
        QVERIFY(window.Confirm(5, 35021));
        QVERIFY(window.Ok());
        QCOMPARE(ui.dialogsShown, QStringList({"wSearchSlave"}));
        QCOMPARE(ui.beeps, 1);
        QVERIFY(okEnabled);
        QCOMPARE(message, QStringLiteral("en35021"));
        QCOMPARE(slave, QStringLiteral("5"));
        QCOMPARE(bauds, QStringLiteral("4800"));
    }

    void confirmationClosedWithoutOk()
    {
        RecordingUi ui;
        RecordingPort port;
        wSearchSlave window(port);
        QString message;
        ui.onNextDialog([&](QObject* d) {
            message = text(qobject_cast<QWidget*>(d), "lblMessage");
            return false;
        });
        QVERIFY(!window.Confirm(12, 102011));
        QCOMPARE(message, QStringLiteral("en102011"));
        QVERIFY(!window.Ok());
    }

    void confirmationModalForReal()
    {
        // Through the dialog's own modal loop: the window was shown modeless
        // during the search and must come back modal with OK usable.
        RecordingPort port;
        wSearchSlave window(port);
        window.ShowSearching();
        QTimer::singleShot(20, &window, [&] {
            QVERIFY(window.isModal() || QApplication::activeModalWidget() == &window);
            child<QPushButton>(&window, "cmdButtons1")->click();
        });
        struct Seam : UiSeam
        {
            MsgAnswer message(const MessageRequest&) override { return MsgAnswer::Ok; }
            bool execDialog(QObject* d) override
            {
                return qobject_cast<QDialog*>(d)->exec() == QDialog::Accepted;
            }
            QStringList fileDialog(const FileDialogRequest&) override { return {}; }
            void beep() override {}
            void setBusy(bool) override {}
        } seam;
        UiSeam* previous = InstallUi(&seam);
        const bool confirmed = window.Confirm(3, 35021);
        InstallUi(previous);
        QVERIFY(confirmed);
    }

    void detectionCancelledDuringTheSearch()
    {
        SimulatedLine line; // no panel answers
        PanelLink link(line, LinkOptions{false, 0, 0, 60});
        wSearchSlave window(line);
        // Cancel is pressed while the first attempt waits for its answer.
        QTimer::singleShot(20, &window, [&] {
            QTest::mouseClick(child<QPushButton>(&window, "cmdButtons0"), Qt::LeftButton);
        });
        std::int32_t version = -1;
        const std::uint8_t result = DetectOrvel(link, window, 5, true, version, false);
        QCOMPARE(result, DetectCancelled);
        QVERIFY(!window.isVisible());
        QVERIFY2(line.exchanges().size() >= 1 && line.exchanges().size() < 10,
                 qPrintable(QString::number(line.exchanges().size())));
    }

    void detectionFindsAPanelAndAsksForConfirmation()
    {
        RecordingUi ui;
        SimulatedLine line;
        line.addPanel(5, 262);
        PanelLink link(line, LinkOptions{false, 0, 0, 200});
        wSearchSlave window(line);
        QString message;
        ui.onNextDialog([&](QObject* d) {
            auto* w = qobject_cast<wSearchSlave*>(d);
            message = text(w, "lblMessage");
            child<QPushButton>(w, "cmdButtons1")->click();
            return true;
        });
        std::int32_t version = 0;
        QCOMPARE(DetectOrvel(link, window, 5, false, version, false), std::uint8_t(5));
        QCOMPARE(version, 262);
        QCOMPARE(message, QStringLiteral("en35021"));
        QCOMPARE(ui.beeps, 1);
    }
};

QTEST_MAIN(TestWSearchSlave)
#include "tst_wsearchslave.moc"
