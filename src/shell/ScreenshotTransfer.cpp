#include "ScreenshotTransfer.h"

#include "QtUi.h"
#include "wMain.h"

#include "link/ComCtrl.h"
#include "link/CommFunctions.h"

#include <QCheckBox>
#include <QDialog>
#include <QLineEdit>
#include <QMessageBox>
#include <QPushButton>

#include <cstdio>

namespace {
// Answers the slave dialog with a slave number, confirms the panel found, and
// shows a question long enough to picture it before answering No.
class TransferUi : public QtUi
{
public:
    TransferUi(wMain* window, const std::function<void(const QString&)>& shoot)
        : m_window(window), m_shoot(shoot)
    {
    }

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
        QMessageBox box(m_window);
        BuildMessageBox(box, request);
        box.show();
        m_shoot(questionName);
        questionName.clear();
        return MsgAnswer::No;
    }

private:
    wMain* m_window;
    std::function<void(const QString&)> m_shoot;
};
} // namespace

void ScreenshotTransfer::Take(wMain* window, const std::function<void(const QString&)>& shoot)
{
    const QString line = qEnvironmentVariable("ORVEL_SCREENSHOT_PANEL");
    if (line.isEmpty())
        return;
    ComCtrl& port = window->Port();
    if (port.PortOpen())
        port.SetPortOpen(false);
    port.SetCommPort(line);
    port.SetPortOpen(true);

    TransferUi ui(window, shoot);
    UiSeam* previous = InstallUi(&ui);

    // Half-way through the read of slave 1.
    int blocks = 0;
    const QMetaObject::Connection halfWay =
        QObject::connect(&window->Link(), &PanelLink::BlockDone, window, [&] {
            if (++blocks == 9)
                shoot(QStringLiteral("read-progress"));
        });
    ui.slave = QStringLiteral("1");
    window->mnuFileRead_Click();
    QObject::disconnect(halfWay);

    ui.slave = QStringLiteral("2");
    ui.questionName = QStringLiteral("read-older-firmware");
    window->mnuFileRead_Click();

    InstallUi(previous);
}
