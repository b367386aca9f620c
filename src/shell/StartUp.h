#pragma once

#include "wSplash.h"

#include <QByteArray>
#include <QPointer>
#include <QString>

#include <functional>
#include <memory>
#include <optional>

class ComCtrl;
class wMain;

// What start-up takes from its surroundings; tests replace each piece.
struct StartUpOptions
{
    // The data file; empty: orvel.dat beside the program.
    QString dataFile;
    // Interval of the splash's close timer.
    int splashIntervalMs = 5000;
    // Makes the serial port; empty: the serial line of the system.
    std::function<std::unique_ptr<ComCtrl>()> portFactory;
    // Where the help files are; empty: the program's folder.
    QString programFolder;
    // The machine identity behind the factory token; unset: the system's.
    std::optional<QByteArray> machineId;
};

// The load sequence of the main window, step by step:
//  1 splash shown, its close timer enabled; 2 the data file opened (else the
//  message "Cannot open the Data file." and the program ends); 3 errors go to
//  the error report from here on; 4 the language; 5 the recent files;
//  6 the status text; 7 Nationality; 8 the tool bar images; 9 on the first
//  run the preferences with only OK; 10 Nationality again; 11 the serial
//  port settings; 12 the port opened; 13 factory access restored from the
//  machine token; 14 the main window shown, disabled until the splash's
//  timer has run out.
// The main window comes up in the middle of its screen and the splash in the
// middle of it, above it, until its timer has run out or start-up stops.
// An error after step 3 is reported and ends the sequence: the splash goes,
// the main window is shown and usable. Closing the main window during the
// splash (and answering Yes) ends start-up and the program: the splash, the
// window and the serial port go at once.
class StartUp
{
public:
    enum class Result
    {
        Ready,     // every step done
        Stopped,   // an error ended the sequence; the window is usable
        Quit,      // the user closed the console; the program ends
        NoDataFile // the program must end (non-zero exit status)
    };

    explicit StartUp(StartUpOptions options = {});
    ~StartUp();
    StartUp(const StartUp&) = delete;
    StartUp& operator=(const StartUp&) = delete;

    Result Run();

    // The main window (null after NoDataFile and Quit).
    wMain* Window() const { return m_window.get(); }
    // The splash while start-up runs.
    wSplash* Splash() const { return m_splash; }
    // The last step begun.
    int Step() const { return m_step; }

private:
    bool loadSteps();
    void centreWindow();
    void waitForSplash();
    Result quit();

    StartUpOptions m_options;
    std::unique_ptr<wMain> m_window;
    QPointer<wSplash> m_splash;
    int m_step = 0;
    bool m_quit = false;
};
