#include "ScreenshotMode.h"

#include "HelpViewer.h"
#include "QtUi.h"
#include "ScreenshotEvents.h"
#include "ScreenshotPanels.h"
#include "ScreenshotPrint.h"
#include "ScreenshotScan.h"
#include "ScreenshotTransfer.h"
#include "StartUp.h"
#include "wAskSlave.h"
#include "wMain.h"
#include "wSearchSlave.h"

#include "util/UiSeam.h"

#include <QApplication>
#include <QDialog>
#include <QDir>
#include <QElapsedTimer>
#include <QMenu>
#include <QMenuBar>
#include <QPixmap>
#include <QScreen>
#include <QTimer>

#include <cstdio>

namespace {
QString OutputFolder()
{
    return QDir::fromNativeSeparators(qEnvironmentVariable("ORVEL_SCREENSHOT_DIR"));
}

void Settle(int ms = 300)
{
    QElapsedTimer timer;
    timer.start();
    while (timer.elapsed() < ms)
        QCoreApplication::processEvents(QEventLoop::AllEvents, 20);
}

void Save(const QPixmap& picture, const QString& name)
{
    const QString path = QDir(OutputFolder()).filePath(name + QStringLiteral(".png"));
    if (!picture.save(path))
        std::fprintf(stderr, "screenshot: cannot write %s\n", qPrintable(path));
    else
        std::fprintf(stderr, "screenshot: %s\n", qPrintable(path));
}

// What is on screen inside a window's frame (other windows above it included).
QPixmap ScreenArea(const QWidget* window)
{
    QScreen* screen = window->screen();
    const QRect area = window->frameGeometry();
    return screen->grabWindow(0, area.x(), area.y(), area.width(), area.height());
}

// The console's own seam, except that a modal dialog is shown, pictured and
// cancelled instead of waiting for the user, and messages go to standard error.
class ScreenshotUi : public QtUi
{
public:
    QString nextName;

    MsgAnswer message(const MessageRequest& request) override
    {
        std::fprintf(stderr, "screenshot: message: %s\n", qPrintable(request.text));
        return request.defaultButton.value_or(FirstButton(request.buttons));
    }

    bool execDialog(QObject* object) override
    {
        auto* dialog = qobject_cast<QDialog*>(object);
        if (!dialog)
            return false;
        dialog->show();
        Settle();
        Save(dialog->grab(), nextName.isEmpty() ? dialog->objectName() : nextName);
        nextName.clear();
        dialog->hide();
        return false;
    }
};
} // namespace

bool ScreenshotMode::Requested()
{
    return !OutputFolder().isEmpty();
}

int ScreenshotMode::Run()
{
    QDir().mkpath(OutputFolder());
    ScreenshotUi ui;
    UiSeam* previous = InstallUi(&ui);

    StartUpOptions options;
    options.splashIntervalMs = 1500;
    StartUp startUp(options);
    // The main window with the splash over it, while the splash's timer runs.
    QTimer::singleShot(900, [&startUp] {
        if (startUp.Window() && startUp.Window()->isVisible())
            Save(ScreenArea(startUp.Window()), QStringLiteral("main-splash"));
    });
    const StartUp::Result result = startUp.Run();
    if (result == StartUp::Result::NoDataFile) {
        InstallUi(previous);
        return 1;
    }
    wMain* window = startUp.Window();
    Settle(500);
    Save(ScreenArea(window), QStringLiteral("main"));

    // Each menu open over the main window.
    for (const char* name : {"mnuFile", "mnuEdit", "mnuTools", "mnuOptions", "mnuHelp"}) {
        QMenu* menu = window->Menu(QString::fromLatin1(name));
        QMenuBar* bar = window->menuBar();
        const QRect item = bar->actionGeometry(menu->menuAction());
        menu->popup(bar->mapToGlobal(item.bottomLeft()));
        Settle();
        Save(ScreenArea(window), QStringLiteral("menu-") + QString::fromLatin1(name + 3).toLower());
        menu->hide();
        Settle(100);
    }

    ui.nextName = QStringLiteral("preferences");
    window->mnuOptionsPrefs_Click();
    ui.nextName = QStringLiteral("password");
    window->mnuOptionsFactory_Click();
    ui.nextName = QStringLiteral("about");
    window->mnuHelpAbout_Click();
    ScreenshotPrint::Take(
        *window, [&ui](const QString& name) { ui.nextName = name; }, &Save);

    {
        wAskSlave slave(window->Port(), window);
        ui.nextName = QStringLiteral("slave");
        ui.execDialog(&slave);
    }
    {
        wSearchSlave search(window->Port(), window);
        search.ShowSearching();
        search.ShowAttempt(QStringLiteral("?"), 19200, 1);
        Settle();
        Save(search.grab(), QStringLiteral("search"));
        search.Close();
    }
    if (!window->HelpFile().isEmpty()) {
        window->mnuHelpSummary_Click();
        Settle();
        if (HelpViewer* help = window->Help()) {
            Save(help->grab(), QStringLiteral("help"));
            help->close();
        }
    }

    ScreenshotEvents::Take(*window, [&ui](QDialog* dialog, const QString& name) {
        ui.nextName = name;
        ui.execDialog(dialog);
    });

    const auto shoot = [window](const QString& name) {
        Settle();
        Save(ScreenArea(window), name);
    };
    ScreenshotScan::Take(
        *window,
        [](QWidget* shown, const QString& name) {
            Settle();
            Save(shown->grab(), name);
        },
        shoot);
    ScreenshotPanels::Take(window, shoot);
    ScreenshotTransfer::Take(window, shoot);

    InstallUi(previous);
    return result == StartUp::Result::Ready ? 0 : 2;
}
