#include "ScreenshotTransfer.h"

#include "QtUi.h"
#include "wMain.h"

#include "link/ComCtrl.h"
#include "link/CommFunctions.h"

#include <QApplication>
#include <QCheckBox>
#include <QDialog>
#include <QDir>
#include <QElapsedTimer>
#include <QLineEdit>
#include <QMessageBox>
#include <QProgressBar>
#include <QPushButton>
#include <QScreen>
#include <QStatusBar>

#include <cstdio>

namespace {
void Settle(int ms)
{
    QElapsedTimer timer;
    timer.start();
    while (timer.elapsed() < ms)
        QCoreApplication::processEvents(QEventLoop::AllEvents, 20);
}

// What is on screen inside the window's frame, message boxes above it included.
void Picture(const QWidget* window, const QString& folder, const QString& name)
{
    const QRect area = window->frameGeometry();
    const QPixmap picture =
        window->screen()->grabWindow(0, area.x(), area.y(), area.width(), area.height());
    const QString path = QDir(folder).filePath(name + QStringLiteral(".png"));
    std::fprintf(stderr, "screenshot: %s%s\n", qPrintable(path),
                 picture.save(path) ? "" : " (cannot write)");
}

// Answers the slave dialog with a slave number, confirms the panel found, and
// shows each question long enough to picture it before answering No.
class TransferUi : public QtUi
{
public:
    TransferUi(const QWidget* window, QString folder) : m_window(window), m_folder(folder) {}

    QString slave;
    QString questionName;

    bool execDialog(QObject* object) override
    {
        auto* dialog = qobject_cast<QDialog*>(object);
        if (!dialog)
            return false;
        if (dialog->objectName() == QLatin1String("wAskSlave")) {
            dialog->findChild<QLineEdit*>(QStringLiteral("txtSlave"))->setText(slave);
            dialog->findChild<QCheckBox*>(QStringLiteral("chkAutoSearch"))->setChecked(false);
            dialog->findChild<QPushButton*>(QStringLiteral("cmdButtons1"))->click();
            return dialog->result() == QDialog::Accepted;
        }
        return dialog->objectName() == QLatin1String("wSearchSlave");
    }

    MsgAnswer message(const MessageRequest& request) override
    {
        std::fprintf(stderr, "screenshot: message: %s\n", qPrintable(request.text));
        if (questionName.isEmpty())
            return request.defaultButton.value_or(FirstButton(request.buttons));
        QMessageBox box(const_cast<QWidget*>(m_window));
        BuildMessageBox(box, request);
        box.show();
        Settle(500);
        Picture(m_window, m_folder, questionName);
        questionName.clear();
        box.hide();
        return MsgAnswer::No;
    }

private:
    const QWidget* m_window;
    QString m_folder;
};
} // namespace

void ScreenshotTransfer::Take(wMain& window, const QString& folder)
{
    const QString line = qEnvironmentVariable("ORVEL_SCREENSHOT_PANEL");
    if (line.isEmpty())
        return;
    ComCtrl& port = window.Port();
    if (port.PortOpen())
        port.SetPortOpen(false);
    port.SetCommPort(line);
    port.SetPortOpen(true);

    TransferUi ui(&window, folder);
    UiSeam* previous = InstallUi(&ui);

    // Half-way through the read of slave 1.
    int blocks = 0;
    const QMetaObject::Connection halfWay =
        QObject::connect(&window.Link(), &PanelLink::BlockDone, &window, [&] {
            if (++blocks == 9)
                Picture(&window, folder, QStringLiteral("read-progress"));
        });
    ui.slave = QStringLiteral("1");
    window.mnuFileRead_Click();
    QObject::disconnect(halfWay);
    Settle(300);

    ui.slave = QStringLiteral("2");
    ui.questionName = QStringLiteral("read-older-firmware");
    window.mnuFileRead_Click();
    Settle(300);

    InstallUi(previous);
}
