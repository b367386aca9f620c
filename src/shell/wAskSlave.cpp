#include "wAskSlave.h"

#include "link/ComCtrl.h"
#include "settings/IniStore.h"
#include "settings/PortList.h"
#include "texts/DataFunctions.h"
#include "util/ErrorHandling.h"
#include "util/UiSeam.h"

#include <QCheckBox>
#include <QComboBox>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

namespace {
const QString kCommunication = QStringLiteral("Communication");

QLabel* label(const char* name, QWidget* parent)
{
    auto* l = new QLabel(parent);
    l->setObjectName(QLatin1String(name));
    return l;
}
} // namespace

wAskSlave::wAskSlave(ComCtrl& port, QWidget* parent) : QDialog(parent), m_port(port)
{
    setObjectName(QStringLiteral("wAskSlave"));
    setProperty("helpContextId", HelpContext);

    QLabel* lblPort = label("lblPort", this);
    m_cboPort = NewPortList(this);

    QLabel* lblSlave = label("lblSlave", this);
    m_txtSlave = new QLineEdit(this);
    m_txtSlave->setObjectName(QStringLiteral("txtSlave"));
    m_txtSlave->setMaxLength(5);

    // The range of slave numbers, under the field.
    QLabel* lblHint = label("lblHint", this);
    lblHint->setWordWrap(true);

    m_chkAutoSearch = new QCheckBox(this);
    m_chkAutoSearch->setObjectName(QStringLiteral("chkAutoSearch"));

    m_lblWarning = label("lblWarning", this);
    m_lblWarning->setWordWrap(true);
    m_lblWarning->setStyleSheet(QStringLiteral("color: #b71c1c;"));

    // cmdButtons(0) Cancel, (1) OK, (2) Help.
    const int order[3] = {1, 0, 2};
    auto* buttons = new QHBoxLayout;
    buttons->addStretch();
    for (int i : order) {
        m_cmdButtons[i] = new QPushButton(this);
        m_cmdButtons[i]->setObjectName(QStringLiteral("cmdButtons%1").arg(i));
        m_cmdButtons[i]->setAutoDefault(false);
        buttons->addWidget(m_cmdButtons[i]);
    }
    m_cmdButtons[1]->setDefault(true);
    connect(m_cmdButtons[0], &QPushButton::clicked, this, [this] {
        m_ok = false;
        reject();
    });
    connect(m_cmdButtons[1], &QPushButton::clicked, this, &wAskSlave::okPressed);
    connect(m_cmdButtons[2], &QPushButton::clicked, this,
            [this] { Q_EMIT HelpRequested(HelpContext); });
    connect(m_cboPort, &QComboBox::activated, this, &wAskSlave::portChosen);

    auto* grid = new QGridLayout;
    grid->addWidget(lblPort, 0, 0);
    grid->addWidget(m_cboPort, 0, 1);
    grid->addWidget(lblSlave, 1, 0);
    grid->addWidget(m_txtSlave, 1, 1);
    grid->addWidget(lblHint, 2, 1);
    grid->addWidget(m_chkAutoSearch, 3, 0, 1, 2);
    grid->setColumnStretch(1, 1);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(grid);
    layout->addSpacing(6);
    layout->addLayout(buttons);
    layout->addWidget(m_lblWarning);
    layout->setSizeConstraint(QLayout::SetFixedSize);
    setMinimumWidth(320);

    m_tagged = {{lblPort, 20201},         {lblSlave, 20202},     {lblHint, 20204},
                {m_chkAutoSearch, 20203}, {m_lblWarning, 20205}, {m_cmdButtons[0], 12},
                {m_cmdButtons[1], 15},    {m_cmdButtons[2], 13}};

    Trap("wAskSlave.Form_Load", [&] {
        m_txtSlave->setText(
            GetIniParam(kCommunication, QStringLiteral("LastSlave"), QStringLiteral("1")));
        m_chkAutoSearch->setChecked(GetIniInt(kCommunication, QStringLiteral("AutoSearch"), 1) !=
                                    0);
        m_cboPort->setCurrentIndex(m_cboPort->findText(m_port.CommPort()));
        m_cboPort->setEditText(m_port.CommPort());
        Nationality();
    });
    m_txtSlave->selectAll();
    m_txtSlave->setFocus();
}

QString wAskSlave::SlaveText() const
{
    return m_txtSlave->text();
}

void wAskSlave::SetSlaveText(const QString& text)
{
    m_txtSlave->setText(text);
    m_txtSlave->selectAll();
}

bool wAskSlave::AutoSearch() const
{
    return m_chkAutoSearch->isChecked();
}

void wAskSlave::SetWarningVisible(bool visible)
{
    m_lblWarning->setVisible(visible);
    adjustSize();
}

void wAskSlave::Nationality()
{
    Trap("wAskSlave.Nationality", [&] {
        setWindowTitle(GetCaption(HelpContext));
        SetCaptions(m_tagged);
    });
}

void wAskSlave::keyPressEvent(QKeyEvent* event)
{
    if (event->key() == Qt::Key_F1) {
        Q_EMIT HelpRequested(HelpContext);
        return;
    }
    QDialog::keyPressEvent(event);
}

bool wAskSlave::reopenPort(const QString& portText)
{
    if (portText == m_port.CommPort())
        return true;
    return Trap("wAskSlave.cboPort_Click", [&] {
        if (portText.isEmpty())
            Raise(ErrNo::PortInvalid);
        if (m_port.PortOpen())
            m_port.SetPortOpen(false);
        m_port.SetCommPort(portText);
        m_port.SetPortOpen(true);
        return true;
    });
}

void wAskSlave::portChosen()
{
    reopenPort(m_cboPort->currentText().trimmed());
}

void wAskSlave::okPressed()
{
    const QString text = m_txtSlave->text();
    bool numeric = false;
    const int slave = text.trimmed().toInt(&numeric);
    if (!numeric || slave < 0 || slave > 64) {
        Ui().beep();
        m_txtSlave->setFocus();
        m_txtSlave->selectAll();
        return;
    }
    // A port typed rather than picked from the list is opened now, so the
    // detection that follows runs on the port the dialog shows.
    const QString portText = m_cboPort->currentText().trimmed();
    if (!reopenPort(portText))
        return;
    SetIniParam(kCommunication, QStringLiteral("LastSlave"), text);
    SetIniParam(kCommunication, QStringLiteral("AutoSearch"),
                m_chkAutoSearch->isChecked() ? QStringLiteral("1") : QStringLiteral("0"));
    SetIniParam(kCommunication, QStringLiteral("Port"), portText);
    m_ok = true;
    accept();
}
