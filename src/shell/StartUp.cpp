#include "StartUp.h"

#include "MachineToken.h"
#include "wMain.h"
#include "wSplash.h"

#include "link/CommFunctions.h"
#include "link/SerialComCtrl.h"
#include "settings/IniStore.h"
#include "settings/MostRecentFilesClass.h"
#include "settings/wConfig.h"
#include "texts/DataFunctions.h"
#include "util/ErrorHandling.h"
#include "util/UiSeam.h"

#include <QCoreApplication>
#include <QEventLoop>
#include <QLabel>
#include <QMenu>
#include <QScreen>

StartUp::StartUp(StartUpOptions options) : m_options(std::move(options)) {}

StartUp::~StartUp()
{
    delete m_splash.data();
}

StartUp::Result StartUp::Run()
{
    std::unique_ptr<ComCtrl> port =
        m_options.portFactory ? m_options.portFactory() : std::make_unique<SerialComCtrl>();
    m_window = std::make_unique<wMain>(std::move(port));
    if (!m_options.programFolder.isEmpty())
        m_window->SetProgramFolder(m_options.programFolder);
    if (m_options.machineId)
        m_window->SetMachineId(*m_options.machineId);
    // The console may be closed at any moment of start-up; it then ends.
    QObject::connect(m_window.get(), &wMain::Unloaded, m_window.get(), [this] { m_quit = true; });

    // 1. The splash, owned by the main window and over it, with its close
    // timer running.
    m_step = 1;
    centreWindow();
    m_splash = new wSplash(m_window.get());
    m_splash->SetCloseInterval(m_options.splashIntervalMs);
    m_splash->ShowOver(m_window.get());
    m_splash->StartCloseTimer();
    QCoreApplication::processEvents();

    // 2. The data file; without it nothing can be shown.
    m_step = 2;
    const QString dataFile = m_options.dataFile.isEmpty() ? DataFileName() : m_options.dataFile;
    if (!OpenDataFile(dataFile)) {
        MsgBox(QStringLiteral("Cannot open the Data file."), MsgIcon::Critical, MsgButtons::Ok);
        delete m_splash.data();
        m_window.reset();
        return Result::NoDataFile;
    }

    // 3. From here on every error goes to the error report.
    m_step = 3;
    SetTextLookup([](int tag) { return GetText(tag); });
    const bool done = loadSteps();
    if (m_quit)
        return quit();
    if (!done) {
        // Start-up ends here: the splash goes, the window is usable.
        delete m_splash.data();
        m_window->setEnabled(true);
        m_window->show();
        return Result::Stopped;
    }

    // 14.
    m_step = 14;
    waitForSplash();
    if (m_quit)
        return quit();
    return Result::Ready;
}

StartUp::Result StartUp::quit()
{
    // Nothing of start-up goes on: the splash and its timer, the window and
    // the serial port it owns (and with it the port's lock) go now.
    delete m_splash.data();
    m_window.reset();
    return Result::Quit;
}

void StartUp::centreWindow()
{
    const QRect screen = m_window->screen()->availableGeometry();
    m_window->resize(m_window->size().boundedTo(screen.size()));
    QRect frame(QPoint(0, 0), m_window->size());
    frame.moveCenter(screen.center());
    m_window->move(frame.topLeft());
}

bool StartUp::loadSteps()
{
    return Trap("wMain.Form_Load", [&] {
        wMain& window = *m_window;
        const QString general = QStringLiteral("General");
        const QString communication = QStringLiteral("Communication");

        // 4. The language; the first lookup opens the text table.
        m_step = 4;
        SetCurrentLanguage(GetIniParam(general, QStringLiteral("Language"), QString()));
        GetText(0);

        // 5. The recent files.
        m_step = 5;
        MostRecentFilesClass& recent = window.RecentFiles();
        recent.SetMaxRecent(GetIniInt(general, QStringLiteral("MRU"), recent.MaxRecent()));
        recent.Load(window.Menu(QStringLiteral("mnuFile")), IniFileName());

        // 6. The status text.
        m_step = 6;
        if (QLabel* prompt = window.StatusPanel(QStringLiteral("Prompt")))
            prompt->setText(GetText(1001));

        // 7, 8.
        m_step = 7;
        window.Nationality();
        m_step = 8;
        window.ApplyToolBarImages();

        // 9. First run: the preferences, with only OK, store a language.
        m_step = 9;
        if (GetIniParam(general, QStringLiteral("Language"), QString()).isEmpty()) {
            window.show();
            if (m_splash)
                m_splash->ShowOver(&window);
            wConfig preferences(window.Link(), &recent, &window);
            preferences.SetFirstRun();
            Ui().execDialog(&preferences);
        }

        // 10.
        m_step = 10;
        window.Nationality();

        // 11. The serial port as the INI file gives it; each value defaults
        // to what the port has now.
        m_step = 11;
        ComCtrl& port = window.Port();
        port.SetCommPort(GetIniParam(communication, QStringLiteral("Port"), port.CommPort()));
        SetCommBauds(port, GetIniLong(communication, QStringLiteral("Bauds"), GetCommBauds(port)));
        SetCommStops(port, GetIniInt(communication, QStringLiteral("Stops"), GetCommStops(port)));
        SetCommParity(port,
                      GetIniParam(communication, QStringLiteral("Parity"), GetCommParity(port)));
        window.SetHalfDuplex(GetIniBool(communication, QStringLiteral("RTS"), false));
        window.SetRtsDelay(GetIniInt(communication, QStringLiteral("RtsDelay"), 5));

        // 12.
        m_step = 12;
        port.SetPortOpen(true);

        // 13. Factory access stays on for the machine that unlocked it.
        m_step = 13;
        const QString stored = GetIniParam(general, QStringLiteral("Factory"), QString());
        window.SetFactoryMode(MachineTokenMatches(stored, window.CurrentMachineToken()));
        return true;
    });
}

void StartUp::waitForSplash()
{
    m_window->setEnabled(false);
    m_window->show();
    if (m_splash)
        m_splash->ShowOver(m_window.get());
    if (m_splash && m_splash->CloseTimerRunning()) {
        QEventLoop wait;
        QObject::connect(m_splash.data(), &wSplash::CloseTimerFinished, &wait, &QEventLoop::quit);
        QObject::connect(m_splash.data(), &QObject::destroyed, &wait, &QEventLoop::quit);
        QObject::connect(m_window.get(), &wMain::Unloaded, &wait, &QEventLoop::quit);
        wait.exec();
    }
    delete m_splash.data();
    m_window->setEnabled(true);
}
