// Start-up: data file, first run, INI settings, errors that stop it; the
// splash holding the window and serving as About box.

#include "DataFileWriter.h"
#include "ShellFixture.h"

#include "shell/MachineToken.h"
#include "shell/StartUp.h"
#include "shell/wSplash.h"

#include "util/RuntimeError.h"

#include <QComboBox>
#include <QElapsedTimer>
#include <QPointer>
#include <QScreen>
#include <QSignalSpy>
#include <QTimer>
#include <QWindow>

using namespace Shell;

namespace {
const QByteArray ThisMachine = "machine-under-test-7f3a";
const QByteArray English = "[General]\r\nLanguage=English\r\n";

StartUpOptions Options(SimulatedLine** line = nullptr)
{
    StartUpOptions options;
    options.dataFile = ShippedDataFile();
    options.splashIntervalMs = 0;
    options.portFactory = SimulatedPort(line);
    options.programFolder = BinDir();
    options.machineId = ThisMachine;
    return options;
}
} // namespace

class tst_StartUp : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void initTestCase() { QVERIFY(UseShippedData()); }

    // A first run shows the preferences; their language and port are used.
    void firstStart_data()
    {
        QTest::addColumn<QString>("chosen");
        QTest::addColumn<int>("bauds");
        QTest::addColumn<QString>("port");
        QTest::addColumn<QStringList>("texts"); // stored language, File menu, help file
        QTest::newRow("French chosen")
            << "Français" << 9600 << "1" << QStringList{"Français", "&Fichier", "orvel-fr.html"};
        QTest::newRow("19200, another port")
            << QString() << 19200 << "4" << QStringList{"English", "&File", "orvel-en.html"};
    }
    void firstStart()
    {
        QFETCH(QString, chosen);
        QFETCH(int, bauds);
        QFETCH(QString, port);
        RecordingUi ui;
        IniSandbox ini("[General]\r\nFactory=" + MachineToken(ThisMachine).toLatin1() + "\r\n");
        // The preferences show over the main window on screen.
        QWidget* owner = nullptr;
        ui.onNextDialog([&](QObject* dialog) {
            owner = qobject_cast<QWidget*>(dialog)->parentWidget();
            auto* list = child<QComboBox>(dialog, "cboLanguage");
            if (!chosen.isEmpty())
                list->setCurrentIndex(list->findText(chosen));
            child<QComboBox>(dialog, "cboPort")->setEditText(port);
            list = child<QComboBox>(dialog, "cboBauds");
            list->setCurrentIndex(list->findText(QString::number(bauds)));
            QTest::mouseClick(child<QPushButton>(dialog, "cmdButtons1"), Qt::LeftButton);
            return true;
        });
        SimulatedLine* line = nullptr;
        StartUpOptions options = Options(&line);
        options.splashIntervalMs = 100;
        StartUp startUp(options);
        QCOMPARE(startUp.Run(), StartUp::Result::Ready);
        QCOMPARE(ui.dialogsShown, QStringList{QStringLiteral("wConfig")});
        QVERIFY(ui.messages.isEmpty());
        wMain* window = startUp.Window();
        QVERIFY(owner == window && window->isVisible());
        QTEST((QStringList{GetIniParam("General", "Language"), window->Menu("mnuFile")->title(),
                           QFileInfo(window->HelpFile()).fileName()}),
              "texts");
        QVERIFY(line->PortOpen() && window->FactoryMode());
        QCOMPARE(line->CommPort(), port);
        QCOMPARE(GetCommBauds(*line), bauds);
    }

    // Leaving the first-run preferences by the window frame stores nothing,
    // so the next start is a first run again.
    void firstStartLeftByTheFrame()
    {
        RecordingUi ui;
        IniSandbox ini;
        for (int start = 1; start <= 2; ++start) {
            ui.onNextDialog([](QObject*) { return false; });
            QCOMPARE(StartUp(Options()).Run(), StartUp::Result::Ready);
            QCOMPARE(ui.dialogsShown.size(), start);
            QVERIFY(!ini.exists());
        }
    }

    // A later start takes port, line, recent files and factory access from
    // the INI file or their defaults.
    void laterStart_data()
    {
        QTest::addColumn<QByteArray>("ini");
        QTest::addColumn<QStringList>("line"); // port, settings, RTS delay, "HD" = half-duplex
        QTest::addColumn<QStringList>("recent");
        QTest::addColumn<int>("maxRecent");
        QTest::addColumn<bool>("factory");
        const QStringList defaults{"1", "9600,N,8,1", "5", ""};
        QTest::newRow("defaults") << QByteArray("[General]\r\nLanguage=Español\r\n") << defaults
                                  << QStringList{} << 5 << false;
        QTest::newRow("from the file")
            << English + "MRU=2\r\n[Communication]\r\nPort=7\r\nBauds=19200\r\nStops=2\r\n"
                         "Parity=e\r\nRTS=1\r\nRtsDelay=7\r\n"
                         "[MRU]\r\n1=/data/a.cfg\r\n2=/data/b.cfg\r\n3=/data/c.cfg\r\n"
            << QStringList{"7", "19200,E,8,2", "7", "HD"}
            << QStringList{"/data/a.cfg", "/data/b.cfg"} << 2 << false;
        // The first 24 characters of this machine's token open factory
        // access; the raw identity does not.
        const QByteArray token = MachineToken(ThisMachine).toLatin1();
        QTest::newRow("token") << English + "Factory=" + token.left(24) + "\r\n"
                               << defaults << QStringList{} << 5 << true;
        QTest::newRow("raw identity") << English + "Factory=" + ThisMachine + "\r\n"
                                      << defaults << QStringList{} << 5 << false;
    }
    void laterStart()
    {
        QFETCH(QByteArray, ini);
        QFETCH(bool, factory);
        RecordingUi ui;
        IniSandbox sandbox(ini);
        SimulatedLine* line = nullptr;
        StartUp startUp(Options(&line));
        QCOMPARE(startUp.Run(), StartUp::Result::Ready);
        QVERIFY(ui.dialogsShown.isEmpty() && ui.messages.isEmpty());
        wMain* window = startUp.Window();
        QCOMPARE(CurrentLanguage(), GetIniParam("General", "Language"));
        QCOMPARE(&window->Port(), static_cast<ComCtrl*>(line));
        QVERIFY(line->PortOpen());
        QTEST((QStringList{line->CommPort(), line->Settings().toUpper(),
                           QString::number(window->RtsDelay()), window->HalfDuplex() ? "HD" : ""}),
              "line");
        QTEST(RecentFiles(*window), "recent");
        QTEST(int(window->RecentFiles().MaxRecent()), "maxRecent");
        QCOMPARE(window->FactoryMode(), factory);
        QCOMPARE(window->MenuItem("mnuOptionsFactory")->isChecked(), factory);
    }

    // A data file that does not open with the program's password ends the
    // program with no window; a later error ends start-up at its step, the
    // window usable, the splash gone, factory access off.
    void stopped_data()
    {
        QTest::addColumn<QString>("data"); // the data file's kind
        QTest::addColumn<QByteArray>("ini");
        QTest::addColumn<int>("step"); // 14: start-up went through
        QTest::addColumn<QString>("message");
        const QString cannot = "Critical Ok: Cannot open the Data file.";
        for (const char* kind : {"missing", "other password", "not a data file", "empty"})
            QTest::newRow(kind) << kind << QByteArray() << 2 << cannot;
        QTest::newRow("generated here") << "generated here" << QByteArray() << 14 << QString();
        QTest::newRow("port") << ""
                              << QByteArray("[Communication]\r\nPort=/nonexistent/ttyORVEL9\r\n")
                              << 12 << "Exclamation Ok: " + GetText(10101);
        QTest::newRow("INI value") << "" << QByteArray("[Communication]\r\nBauds=fast\r\n") << 11
                                   << "Critical Ok: Error Nr 13 : " + ErrorDescription(13) +
                                          "\r\n\r\nModule : wMain\r\nObject : Form\r\nEvent : Load";
    }
    void stopped()
    {
        QFETCH(QString, data);
        QFETCH(QByteArray, ini);
        QFETCH(int, step);
        QFETCH(QString, message);
        RecordingUi ui;
        IniSandbox sandbox(English + "Factory=" + MachineToken(ThisMachine).toLatin1() + "\r\n" +
                           ini);
        StartUpOptions options = Options();
        if (data.isEmpty()) {
            options.portFactory = nullptr; // the system's serial line
            options.splashIntervalMs = 60000;
        } else {
            options.dataFile = sandbox.folder() + QStringLiteral("/orvel.dat");
            QStringList errors;
            QString error;
            if (data.contains("password") || data == "generated here")
                QVERIFY(WriteDataFile(ReadSources(ORVEL_SOURCE_DIR "/data", errors),
                                      options.dataFile, error,
                                      data == "generated here" ? "" : "B47D"));
            else if (data != "missing")
                TestFiles::WriteBytes(options.dataFile,
                                      QByteArray(data == "empty" ? 0 : 4096, '\x5a'));
        }
        StartUp startUp(options);
        QCOMPARE(startUp.Run(), step == 14  ? StartUp::Result::Ready
                                : step == 2 ? StartUp::Result::NoDataFile
                                            : StartUp::Result::Stopped);
        QCOMPARE(startUp.Step(), step);
        CompareMessages(ui, message.isEmpty() ? QStringList{} : QStringList{message});
        QVERIFY(!startUp.Splash() && !ui.busy);
        wMain* window = startUp.Window();
        if (step == 2 || step == 14)
            QCOMPARE(window == nullptr, step == 2);
        else
            QVERIFY(window->isEnabled() && !window->FactoryMode() && !window->Port().PortOpen());
    }

    // The window stays disabled while the splash's timer runs, then the
    // splash goes and the window is enabled.
    void splashHoldsTheWindow()
    {
        RecordingUi ui;
        IniSandbox ini(English);
        StartUpOptions options = Options();
        options.splashIntervalMs = 300;
        StartUp startUp(options);
        QString meanwhile;
        QTimer::singleShot(100, [&] {
            meanwhile = QString::number(startUp.Window()->isEnabled()) +
                        QString::number(startUp.Window()->isVisible()) +
                        QString::number(startUp.Splash() && startUp.Splash()->isVisible());
        });
        QElapsedTimer clock;
        clock.start();
        QCOMPARE(startUp.Run(), StartUp::Result::Ready);
        QVERIFY(clock.elapsed() >= 250); // a coarse timer may fire up to 5 % early
        QCOMPARE(meanwhile, QStringLiteral("011"));
        QVERIFY(startUp.Window()->isEnabled() && !startUp.Splash());
        // The window (larger than the test screen) keeps its title bar on it.
        QVERIFY(startUp.Window()->screen()->availableGeometry().contains(
            startUp.Window()->frameGeometry().topLeft()));
        QCOMPARE(startUp.Step(), 14);
    }

    // Closing the console during the splash ends start-up at once when the
    // user confirms: no window, no splash, no serial port left behind.
    void closedDuringTheSplash()
    {
        for (bool yes : {true, false}) {
            RecordingUi ui;
            IniSandbox ini(English);
            StartUpOptions options = Options();
            options.splashIntervalMs = yes ? 60000 : 400;
            StartUp startUp(options);
            QPointer<ComCtrl> port;
            bool closed = true;
            QTimer::singleShot(100, [&] {
                port = &startUp.Window()->Port();
                QVERIFY(port->PortOpen());
                ui.answerNext(yes ? MsgAnswer::Yes : MsgAnswer::No);
                closed = startUp.Window()->close();
            });
            QElapsedTimer clock;
            clock.start();
            QCOMPARE(startUp.Run(), yes ? StartUp::Result::Quit : StartUp::Result::Ready);
            QVERIFY(clock.elapsed() < 10000);
            QCOMPARE(closed, yes);
            CompareMessages(ui, {"Question YesNo: " + GetText(10103)});
            QCOMPARE(startUp.Splash(), nullptr);
            QCOMPARE(startUp.Window() == nullptr, yes);
            QCOMPARE(port.isNull(), yes);
            if (!yes)
                QVERIFY(startUp.Window()->isEnabled() && port->PortOpen());
        }
    }

    // While the timer runs neither a click nor Escape closes it; the timer
    // fires once, then Escape does (a click: see about).
    void closeTimer()
    {
        wSplash splash;
        QSignalSpy finished(&splash, &wSplash::CloseTimerFinished);
        splash.SetCloseInterval(100);
        splash.show();
        splash.StartCloseTimer();
        QTest::mouseClick(child<QLabel>(&splash, "imgSplash"), Qt::LeftButton);
        QTest::keyClick(&splash, Qt::Key_Escape);
        QVERIFY(splash.isVisible() && finished.wait(2000));
        QVERIFY(finished.size() == 1 && !splash.CloseTimerRunning());
        QTest::keyClick(&splash, Qt::Key_Escape);
        QVERIFY(!splash.isVisible());
    }

    // Help > About: the splash without its timer, a click on the contact
    // lines shows them, one on the picture closes it; unloaded after use.
    void about()
    {
        Console c;
        QStringList seen;
        c.ui.onNextDialog([&](QObject* dialog) {
            auto* splash = qobject_cast<wSplash*>(dialog);
            splash->show();
            QLabel* contact = child<QLabel>(splash, "lblAbout");
            seen << QString::number(splash->AboutMode()) +
                        QString::number(splash->CloseTimerRunning()) +
                        QString::number(contact->isVisible());
            QTest::mouseClick(contact, Qt::LeftButton);
            seen << QString::number(splash->isVisible());
            QTest::mouseClick(child<QLabel>(splash, "imgSplash"), Qt::LeftButton);
            seen << QString::number(splash->isVisible()) + QString::number(splash->result());
            return false;
        });
        c.item("mnuHelpAbout")->trigger();
        QCOMPARE(seen, (QStringList{"101", "1", "0" + QString::number(QDialog::Rejected)}));
        CompareMessages(c.ui, {"Information Ok: " + wSplash::ContactText()});
        QVERIFY(c.window->findChildren<wSplash*>().isEmpty());
    }

    // The About box's click on the picture ends its own modal loop.
    void aboutBoxEndsItsModalLoop()
    {
        wSplash splash;
        splash.SetAboutMode(true);
        QTimer::singleShot(20, &splash, [&] {
            QTest::mouseClick(child<QLabel>(&splash, "imgSplash"), Qt::LeftButton);
        });
        QTimer::singleShot(3000, &splash, &QDialog::accept); // the guard
        QCOMPARE(splash.exec(), int(QDialog::Rejected));
    }
};

QTEST_MAIN(tst_StartUp)
#include "tst_startup.moc"
