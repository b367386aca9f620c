// The Orvel console.

#include "QtUi.h"
#include "ScreenshotMode.h"
#include "StartUp.h"
#include "wMain.h"

#include <QApplication>

int main(int argc, char* argv[])
{
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("orvel"));
    QApplication::setApplicationDisplayName(QStringLiteral("Orvel"));

    QtUi ui;
    InstallUi(&ui);

    int status = 0;
    if (ScreenshotMode::Requested()) {
        status = ScreenshotMode::Run();
    } else {
        StartUp startUp;
        if (startUp.Run() == StartUp::Result::NoDataFile) {
            status = 1;
        } else {
            // Configuration files named on the command line open once the
            // splash has gone, each as File > Open would open it.
            startUp.Window()->OpenFiles(QCoreApplication::arguments().mid(1));
            status = QApplication::exec();
        }
    }
    InstallUi(nullptr);
    return status;
}
