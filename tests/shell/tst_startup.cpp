// The start-up sequence of the console: data file, first run, language,
// recent files, serial port, factory access and the splash.

#include "RecordingUi.h"
#include "ShellTestSupport.h"

#include "shell/MachineToken.h"
#include "shell/StartUp.h"
#include "shell/wMain.h"
#include "shell/wSplash.h"

#include "link/CommFunctions.h"
#include "settings/MostRecentFilesClass.h"
#include "texts/DataFunctions.h"
#include "util/RuntimeError.h"

#include <QAction>
#include <QComboBox>
#include <QElapsedTimer>
#include <QLabel>
#include <QMenu>
#include <QPointer>
#include <QPushButton>
#include <QScreen>
#include <QSignalSpy>
#include <QSysInfo>
#include <QTimer>
#include <QToolBar>

using namespace ShellTest;

namespace {
const QByteArray ThisMachine = "machine-under-test-7f3a";

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

QByteArray KnownIni(const QByteArray& extra = {})
{
    return "[General]\r\nLanguage=English\r\n" + extra;
}
} // namespace

class tst_StartUp : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void initTestCase() { QStandardPaths::setTestModeEnabled(true); }

    void firstStartWithoutIni()
    {
        RecordingUi ui;
        IniSandbox ini;
        QVERIFY(!ini.exists());
        bool onlyOk = false;
        QString windowShown;
        ui.onNextDialog([&](QObject* object) {
            auto* dialog = qobject_cast<QWidget*>(object);
            auto* cancel = dialog->findChild<QPushButton*>(QStringLiteral("cmdButtons0"));
            auto* ok = dialog->findChild<QPushButton*>(QStringLiteral("cmdButtons1"));
            auto* apply = dialog->findChild<QPushButton*>(QStringLiteral("cmdButtons2"));
            onlyOk = cancel->isHidden() && apply->isHidden() && !ok->isHidden();
            // The main window is on screen behind the preferences.
            windowShown = dialog->parentWidget() && dialog->parentWidget()->isVisible()
                              ? dialog->parentWidget()->objectName()
                              : QString();
            auto* language = dialog->findChild<QComboBox*>(QStringLiteral("cboLanguage"));
            language->setCurrentIndex(language->findText(QStringLiteral("Français")));
            QTest::mouseClick(ok, Qt::LeftButton);
            return true;
        });

        StartUp startUp(Options());
        QCOMPARE(startUp.Run(), StartUp::Result::Ready);
        QCOMPARE(ui.dialogsShown, QStringList{QStringLiteral("wConfig")});
        QVERIFY(onlyOk);
        QCOMPARE(windowShown, QStringLiteral("wMain"));
        QCOMPARE(GetIniParam(QStringLiteral("General"), QStringLiteral("Language")),
                 QStringLiteral("Français"));
        QCOMPARE(CurrentLanguage(), QStringLiteral("Français"));

        wMain* window = startUp.Window();
        QCOMPARE(window->Menu(QStringLiteral("mnuFile"))->title(), QStringLiteral("&Fichier"));
        QCOMPARE(window->MenuItem(QStringLiteral("mnuOptionsPrefs"))->text(),
                 QStringLiteral("&Préférences..."));
        QCOMPARE(window->StatusPanel(QStringLiteral("Prompt"))->text(), QStringLiteral("Prêt"));
        QVERIFY(window->HelpFile().endsWith(QStringLiteral("/orvel-fr.html")));
        QVERIFY(ui.messages.isEmpty());
    }

    // The first-run preferences open the port they were given; start-up
    // finding it open on those settings goes on to factory access.
    void firstStartWithThePortChanged_data()
    {
        QTest::addColumn<QString>("port");
        QTest::addColumn<QString>("bauds");
        QTest::newRow("port typed") << "1"
                                    << "9600";
        QTest::newRow("19200 picked") << "1"
                                      << "19200";
        QTest::newRow("another port") << "4"
                                      << "4800";
    }
    void firstStartWithThePortChanged()
    {
        QFETCH(QString, port);
        QFETCH(QString, bauds);
        RecordingUi ui;
        IniSandbox ini;
        ini.write("[General]\r\nFactory=" + MachineToken(ThisMachine).toLatin1() + "\r\n");
        ui.onNextDialog([&](QObject* dialog) {
            auto* portList = dialog->findChild<QComboBox*>(QStringLiteral("cboPort"));
            portList->setEditText(QString());
            QTest::keyClicks(portList, port);
            auto* baudList = dialog->findChild<QComboBox*>(QStringLiteral("cboBauds"));
            baudList->setCurrentIndex(baudList->findText(bauds));
            QTest::mouseClick(dialog->findChild<QPushButton*>(QStringLiteral("cmdButtons1")),
                              Qt::LeftButton);
            return true;
        });
        SimulatedLine* line = nullptr;
        StartUpOptions options = Options(&line);
        options.splashIntervalMs = 100;
        StartUp startUp(options);
        QCOMPARE(startUp.Run(), StartUp::Result::Ready);
        QCOMPARE(ui.messages.size(), 0);
        QCOMPARE(startUp.Step(), 14);
        QVERIFY(line->PortOpen());
        QCOMPARE(line->CommPort(), port);
        QCOMPARE(GetCommBauds(*line), bauds.toInt());
        QVERIFY(startUp.Window()->FactoryMode());
        QCOMPARE(startUp.Splash(), nullptr);
        QVERIFY(startUp.Window()->isEnabled());
    }

    // The language proposed is stored even when the user does not touch it.
    void firstStartKeepsProposedLanguage()
    {
        RecordingUi ui;
        IniSandbox ini;
        ui.onNextDialog([](QObject* dialog) {
            QTest::mouseClick(dialog->findChild<QPushButton*>(QStringLiteral("cmdButtons1")),
                              Qt::LeftButton);
            return true;
        });
        StartUp startUp(Options());
        QCOMPARE(startUp.Run(), StartUp::Result::Ready);
        QCOMPARE(GetIniParam(QStringLiteral("General"), QStringLiteral("Language")),
                 QStringLiteral("English"));
        QCOMPARE(startUp.Window()->Menu(QStringLiteral("mnuFile"))->title(),
                 QStringLiteral("&File"));
    }

    // Leaving the first-run preferences by the window frame stores nothing,
    // so the next start is a first run again.
    void firstStartLeftByTheFrame()
    {
        RecordingUi ui;
        IniSandbox ini;
        ui.onNextDialog([](QObject*) { return false; });
        {
            StartUp startUp(Options());
            QCOMPARE(startUp.Run(), StartUp::Result::Ready);
        }
        QCOMPARE(GetIniParam(QStringLiteral("General"), QStringLiteral("Language"),
                             QStringLiteral("absent")),
                 QStringLiteral("absent"));
        ui.onNextDialog([](QObject*) { return false; });
        StartUp again(Options());
        again.Run();
        QCOMPARE(ui.dialogsShown.size(), 2);
    }

    void laterStartShowsNoPreferences()
    {
        RecordingUi ui;
        IniSandbox ini;
        ini.write("[General]\r\nLanguage=Español\r\n");
        StartUp startUp(Options());
        QCOMPARE(startUp.Run(), StartUp::Result::Ready);
        QVERIFY(ui.dialogsShown.isEmpty());
        QVERIFY(ui.messages.isEmpty());
        QCOMPARE(startUp.Window()->Menu(QStringLiteral("mnuFile"))->title(),
                 QStringLiteral("&Archivo"));
        QCOMPARE(startUp.Window()->StatusPanel(QStringLiteral("Prompt"))->text(),
                 QStringLiteral("Listo"));
        QVERIFY(startUp.Window()->isVisible());
        QVERIFY(startUp.Window()->isEnabled());
    }

    void dataFileThatCannotBeOpened_data()
    {
        QTest::addColumn<QString>("kind");
        QTest::newRow("missing") << QStringLiteral("missing");
        QTest::newRow("other password") << QStringLiteral("password");
        QTest::newRow("not a data file") << QStringLiteral("garbage");
        QTest::newRow("empty file") << QStringLiteral("empty");
    }
    void dataFileThatCannotBeOpened()
    {
        QFETCH(QString, kind);
        RecordingUi ui;
        IniSandbox ini;
        ini.write(KnownIni());
        const QString path = ini.folder() + QStringLiteral("/orvel.dat");
        if (kind == QLatin1String("password")) {
            QVERIFY(WriteData(ShippedSources(), path, "B47D"));
        } else if (kind != QLatin1String("missing")) {
            QFile file(path);
            QVERIFY(file.open(QIODevice::WriteOnly));
            if (kind == QLatin1String("garbage"))
                file.write(QByteArray(4096, '\x5a'));
        }
        StartUpOptions options = Options();
        options.dataFile = path;
        StartUp startUp(options);
        QCOMPARE(startUp.Run(), StartUp::Result::NoDataFile);
        QCOMPARE(startUp.Window(), nullptr);
        QCOMPARE(startUp.Splash(), nullptr);
        QCOMPARE(ui.messages.size(), 1);
        QCOMPARE(ui.messages[0].text, QStringLiteral("Cannot open the Data file."));
        QCOMPARE(ui.messages[0].icon, MsgIcon::Critical);
        QCOMPARE(ui.messages[0].buttons, MsgButtons::Ok);
        QCOMPARE(ui.messages[0].title, QStringLiteral("Orvel"));
        QVERIFY(ui.dialogsShown.isEmpty());
        QCOMPARE(startUp.Step(), 2);
    }

    // A data file with the program's password opens (the check above is not
    // refusing every generated file).
    void generatedDataFileOpens()
    {
        RecordingUi ui;
        IniSandbox ini;
        ini.write(KnownIni());
        const QString path = ini.folder() + QStringLiteral("/orvel.dat");
        QVERIFY(WriteData(ShippedSources(), path));
        StartUpOptions options = Options();
        options.dataFile = path;
        StartUp startUp(options);
        QCOMPARE(startUp.Run(), StartUp::Result::Ready);
        QVERIFY(ui.messages.isEmpty());
    }

    void portSettingsFromIni()
    {
        RecordingUi ui;
        IniSandbox ini;
        ini.write(KnownIni("[Communication]\r\nPort=7\r\nBauds=19200\r\nStops=2\r\nParity=e\r\n"
                           "RTS=1\r\nRtsDelay=7\r\n"));
        SimulatedLine* line = nullptr;
        StartUp startUp(Options(&line));
        QCOMPARE(startUp.Run(), StartUp::Result::Ready);
        QVERIFY(line);
        QCOMPARE(line->CommPort(), QStringLiteral("7"));
        QCOMPARE(GetCommBauds(*line), 19200);
        QCOMPARE(GetCommStops(*line), 2);
        QCOMPARE(GetCommParity(*line).toLower(), QStringLiteral("e"));
        QCOMPARE(line->Settings().toUpper(), QStringLiteral("19200,E,8,2"));
        QVERIFY(line->PortOpen());
        QVERIFY(startUp.Window()->HalfDuplex());
        QCOMPARE(startUp.Window()->RtsDelay(), 7);
        QCOMPARE(&startUp.Window()->Port(), static_cast<ComCtrl*>(line));
    }

    void portDefaultsWithoutIniValues()
    {
        RecordingUi ui;
        IniSandbox ini;
        ini.write(KnownIni());
        SimulatedLine* line = nullptr;
        StartUp startUp(Options(&line));
        QCOMPARE(startUp.Run(), StartUp::Result::Ready);
        QCOMPARE(line->CommPort(), QStringLiteral("1"));
        QCOMPARE(line->Settings(), QStringLiteral("9600,N,8,1"));
        QVERIFY(line->PortOpen());
        QVERIFY(!startUp.Window()->HalfDuplex());
        QCOMPARE(startUp.Window()->RtsDelay(), 5);
    }

    // A port that cannot be opened: message 10101, start-up ends there, the
    // window is usable and factory access stays off even with a good token.
    void portThatCannotBeOpened()
    {
        RecordingUi ui;
        IniSandbox ini;
        ini.write(KnownIni("Factory=" + MachineToken(ThisMachine).toLatin1() +
                           "\r\n[Communication]\r\nPort=/nonexistent/ttyORVEL9\r\n"));
        StartUpOptions options = Options();
        options.portFactory = nullptr; // the system's serial line
        options.splashIntervalMs = 60000;
        StartUp startUp(options);
        QCOMPARE(startUp.Run(), StartUp::Result::Stopped);
        QCOMPARE(startUp.Step(), 12);
        QCOMPARE(ui.messages.size(), 1);
        QCOMPARE(ui.messages[0].text, GetText(10101));
        QVERIFY(!ui.messages[0].text.contains(QLatin1String("Error Nr")));
        QCOMPARE(ui.messages[0].icon, MsgIcon::Exclamation);
        QCOMPARE(ui.messages[0].buttons, MsgButtons::Ok);
        QCOMPARE(ui.busy, false);

        wMain* window = startUp.Window();
        QVERIFY(window->isVisible());
        QVERIFY(window->isEnabled());
        QVERIFY(!window->FactoryMode());
        QVERIFY(!window->MenuItem(QStringLiteral("mnuOptionsFactory"))->isChecked());
        QVERIFY(!window->Port().PortOpen());
        // Start-up stopped: the splash is gone although its timer had not run out.
        QCOMPARE(startUp.Splash(), nullptr);
        QCOMPARE(window->findChildren<wSplash*>().size(), 0);
    }

    // Any other error after the data file: the error report, and the window
    // still comes up usable.
    void unreadableIniValueStopsStartUp()
    {
        RecordingUi ui;
        IniSandbox ini;
        ini.write(KnownIni("[Communication]\r\nBauds=fast\r\n"));
        StartUp startUp(Options());
        QCOMPARE(startUp.Run(), StartUp::Result::Stopped);
        QCOMPARE(startUp.Step(), 11);
        QCOMPARE(ui.messages.size(), 1);
        QCOMPARE(ui.messages[0].text,
                 QStringLiteral("Error Nr 13 : ") + ErrorDescription(13) +
                     QStringLiteral("\r\n\r\nModule : wMain\r\nObject : Form\r\nEvent : Load"));
        QCOMPARE(ui.messages[0].icon, MsgIcon::Critical);
        QVERIFY(startUp.Window()->isVisible());
        QVERIFY(startUp.Window()->isEnabled());
        QVERIFY(!startUp.Window()->Port().PortOpen());
        QCOMPARE(startUp.Splash(), nullptr);
    }

    void factoryAccessFromToken_data()
    {
        QTest::addColumn<QByteArray>("stored");
        QTest::addColumn<bool>("factory");
        QTest::newRow("this machine") << MachineToken(ThisMachine).toLatin1() << true;
        QTest::newRow("first 24 characters")
            << MachineToken(ThisMachine).left(24).toLatin1() << true;
        QTest::newRow("another machine") << MachineToken("another-machine").toLatin1() << false;
        QTest::newRow("random text") << QByteArray("0123456789ABCDEF0123456789ABCDEF") << false;
        QTest::newRow("raw identity") << ThisMachine << false;
        QTest::newRow("empty") << QByteArray() << false;
    }
    void factoryAccessFromToken()
    {
        QFETCH(QByteArray, stored);
        QFETCH(bool, factory);
        RecordingUi ui;
        IniSandbox ini;
        ini.write(KnownIni("Factory=" + stored + "\r\n"));
        StartUp startUp(Options());
        QCOMPARE(startUp.Run(), StartUp::Result::Ready);
        QCOMPARE(startUp.Window()->FactoryMode(), factory);
        QCOMPARE(startUp.Window()->MenuItem(QStringLiteral("mnuOptionsFactory"))->isChecked(),
                 factory);
        QVERIFY(ui.dialogsShown.isEmpty()); // no password asked
    }

    // Without an injected identity the system's own is used.
    void factoryAccessOnThisSystem()
    {
        if (QSysInfo::machineUniqueId().isEmpty())
            QSKIP("this system gives no machine identity");
        RecordingUi ui;
        IniSandbox ini;
        ini.write(
            KnownIni("Factory=" + MachineToken(QSysInfo::machineUniqueId()).toLatin1() + "\r\n"));
        StartUpOptions options = Options();
        options.machineId.reset();
        StartUp startUp(options);
        QCOMPARE(startUp.Run(), StartUp::Result::Ready);
        QVERIFY(startUp.Window()->FactoryMode());
    }

    void recentFilesLoaded()
    {
        RecordingUi ui;
        IniSandbox ini;
        ini.write(
            KnownIni("MRU=2\r\n[MRU]\r\n1=/data/a.cfg\r\n2=/data/b.cfg\r\n3=/data/c.cfg\r\n"));
        StartUp startUp(Options());
        QCOMPARE(startUp.Run(), StartUp::Result::Ready);
        QMenu* file = startUp.Window()->Menu(QStringLiteral("mnuFile"));
        QCOMPARE(startUp.Window()->RecentFiles().MaxRecent(), 2);
        QCOMPARE(MostRecentFilesClass::Count(file), 2);
        QCOMPARE(MostRecentFilesClass::EntryPath(file, 1), QStringLiteral("/data/a.cfg"));
        QCOMPARE(MostRecentFilesClass::EntryPath(file, 2), QStringLiteral("/data/b.cfg"));
    }

    void recentFilesDefaultLength()
    {
        RecordingUi ui;
        IniSandbox ini;
        ini.write(KnownIni());
        StartUp startUp(Options());
        QCOMPARE(startUp.Run(), StartUp::Result::Ready);
        QCOMPARE(startUp.Window()->RecentFiles().MaxRecent(), 5);
    }

    // The window stays disabled while the splash's timer runs, then the
    // splash goes and the window is enabled.
    void splashHoldsTheWindow()
    {
        RecordingUi ui;
        IniSandbox ini;
        ini.write(KnownIni());
        StartUpOptions options = Options();
        options.splashIntervalMs = 300;
        StartUp startUp(options);
        bool sampled = false, enabledMeanwhile = true, shownMeanwhile = false,
             splashMeanwhile = false;
        QPoint windowCentre, splashCentre;
        QTimer::singleShot(100, [&] {
            sampled = true;
            enabledMeanwhile = startUp.Window()->isEnabled();
            shownMeanwhile = startUp.Window()->isVisible();
            splashMeanwhile = startUp.Splash() && startUp.Splash()->isVisible();
            windowCentre = startUp.Window()->frameGeometry().center();
            if (startUp.Splash())
                splashCentre = startUp.Splash()->frameGeometry().center();
        });
        QElapsedTimer clock;
        clock.start();
        QCOMPARE(startUp.Run(), StartUp::Result::Ready);
        QVERIFY(clock.elapsed() >= 290);
        QVERIFY(sampled);
        QVERIFY(!enabledMeanwhile);
        QVERIFY(shownMeanwhile);
        QVERIFY(splashMeanwhile);
        QCOMPARE(splashCentre, windowCentre);
        // The window (larger than the test screen) keeps its title bar on it.
        QVERIFY(startUp.Window()->screen()->availableGeometry().contains(
            startUp.Window()->frameGeometry().topLeft()));
        QVERIFY(startUp.Window()->isEnabled());
        QCOMPARE(startUp.Splash(), nullptr);
        QCOMPARE(startUp.Step(), 14);
    }

    // Closing the console during the splash ends start-up at once when the
    // user confirms: no window, no splash, no serial port left behind.
    void closedDuringTheSplash_data()
    {
        QTest::addColumn<bool>("yes");
        QTest::newRow("Yes") << true;
        QTest::newRow("No") << false;
    }
    void closedDuringTheSplash()
    {
        QFETCH(bool, yes);
        const MsgAnswer answer = yes ? MsgAnswer::Yes : MsgAnswer::No;
        RecordingUi ui;
        IniSandbox ini;
        ini.write(KnownIni());
        StartUpOptions options = Options();
        options.splashIntervalMs = yes ? 60000 : 400;
        StartUp startUp(options);
        QPointer<ComCtrl> port;
        bool closed = true;
        QTimer::singleShot(100, [&] {
            port = &startUp.Window()->Port();
            QVERIFY(port->PortOpen());
            ui.answerNext(answer);
            closed = startUp.Window()->close();
        });
        QElapsedTimer clock;
        clock.start();
        QCOMPARE(startUp.Run(), yes ? StartUp::Result::Quit : StartUp::Result::Ready);
        QVERIFY(clock.elapsed() < 10000);
        QCOMPARE(closed, yes);
        QCOMPARE(ui.messages.size(), 1);
        QCOMPARE(ui.messages[0].text, GetText(10103));
        QCOMPARE(startUp.Splash(), nullptr);
        if (yes) {
            QCOMPARE(startUp.Window(), nullptr);
            QVERIFY(port.isNull());
        } else {
            QVERIFY(startUp.Window()->isVisible());
            QVERIFY(startUp.Window()->isEnabled());
            QVERIFY(port->PortOpen());
        }
    }

    void helpHiddenWithoutHelpFile()
    {
        RecordingUi ui;
        IniSandbox ini;
        ini.write(KnownIni());
        StartUpOptions options = Options();
        options.programFolder = ini.folder(); // no help file there
        StartUp startUp(options);
        QCOMPARE(startUp.Run(), StartUp::Result::Ready);
        wMain* window = startUp.Window();
        QCOMPARE(window->HelpFile(), QString());
        QVERIFY(!window->MenuItem(QStringLiteral("mnuHelpSummary"))->isVisible());
        QVERIFY(!window->ToolButton(QStringLiteral("mnuHelpContext"))->isVisible());
        // No separator is left at the end of the tool bar.
        auto* bar = window->findChild<QToolBar*>(QStringLiteral("tbrTools"));
        QAction* last = nullptr;
        for (QAction* button : bar->actions())
            if (button->isVisible())
                last = button;
        QCOMPARE(last->objectName(), QStringLiteral("mnuToolsClearBuffer"));
        QVERIFY(window->MenuItem(QStringLiteral("mnuHelpAbout"))->isVisible());
    }
};

QTEST_MAIN(tst_StartUp)
#include "tst_startup.moc"
