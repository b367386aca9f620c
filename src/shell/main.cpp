// The Orvel console.

#include "QtUi.h"
#include "ScreenshotMode.h"
#include "StartUp.h"

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
        if (startUp.Run() == StartUp::Result::NoDataFile)
            status = 1;
        else
            status = QApplication::exec();
    }
    InstallUi(nullptr);
    return status;
}
