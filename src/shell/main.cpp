// The Orvel console.

#include "ApplicationName.h"
#include "QtUi.h"
#include "ScreenshotMode.h"
#include "StartUp.h"
#include "wMain.h"

#include <QApplication>

int main(int argc, char* argv[])
{
    QApplication app(argc, argv);
    SetApplicationName();

    QtUi ui;
    InstallUi(&ui);

    int status = 0;
    if (ScreenshotMode::Requested()) {
        status = ScreenshotMode::Run();
    } else {
        StartUp startUp;
        switch (startUp.Run()) {
        case StartUp::Result::NoDataFile:
            status = 1;
            break;
        case StartUp::Result::Quit:
            break; // closed during start-up: nothing is left to run
        case StartUp::Result::Ready:
        case StartUp::Result::Stopped:
            // Configuration files named on the command line open once the
            // splash has gone, each as File > Open would open it.
            startUp.Window()->OpenFiles(QCoreApplication::arguments().mid(1));
            status = QApplication::exec();
            break;
        }
    }
    InstallUi(nullptr);
    return status;
}
