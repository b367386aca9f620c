#include "wSearchSlave.h"

#include "link/ComCtrl.h"
#include "link/CommFunctions.h"
#include "texts/DataFunctions.h"
#include "util/ErrorHandling.h"
#include "util/UiSeam.h"

#include <QCoreApplication>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

namespace {
constexpr int kCaptionTag = 35020;
constexpr int kSearchingTag = 35022;
// + position of N, E or O in "NEO"; tags: 1117-1119
constexpr int kParityBaseTag = 1116;

QLabel* label(const QString& name, QWidget* parent)
{
    auto* l = new QLabel(parent);
    l->setObjectName(name);
    return l;
}
} // namespace

wSearchSlave::wSearchSlave(ComCtrl& port, QWidget* parent) : QDialog(parent), m_port(port)
{
    setObjectName(QStringLiteral("wSearchSlave"));

    m_lblMessage = label(QStringLiteral("lblMessage"), this);
    m_lblMessage->setWordWrap(true);
    m_lblMessage->setMinimumHeight(fontMetrics().height() * 2);

    auto* grid = new QGridLayout;
    const char* names[5] = {"Slave", "Bauds", "DataBits", "Parity", "Stops"};
    const int tags[5] = {35031, 35032, 35033, 1116, 35034};
    QLabel** values[5] = {&m_lblSlave, &m_lblBauds, &m_lblDataBits, &m_lblParity, &m_lblStops};
    for (int row = 0; row < 5; ++row) {
        QLabel* title = label(QStringLiteral("lbl%1Caption").arg(QLatin1String(names[row])), this);
        *values[row] = label(QStringLiteral("lbl%1").arg(QLatin1String(names[row])), this);
        QFont bold = (*values[row])->font();
        bold.setBold(true);
        (*values[row])->setFont(bold);
        grid->addWidget(title, row, 0);
        grid->addWidget(*values[row], row, 1);
        m_tagged << qMakePair(static_cast<QWidget*>(title), tags[row]);
    }
    grid->setColumnStretch(1, 1);
    m_lblDataBits->setText(QStringLiteral("8"));

    // cmdButtons(0) Cancel, (1) OK (disabled while searching).
    auto* buttons = new QHBoxLayout;
    buttons->addStretch();
    for (int i : {1, 0}) {
        m_cmdButtons[i] = new QPushButton(this);
        m_cmdButtons[i]->setObjectName(QStringLiteral("cmdButtons%1").arg(i));
        m_cmdButtons[i]->setAutoDefault(false);
        buttons->addWidget(m_cmdButtons[i]);
    }
    m_cmdButtons[1]->setDefault(true);
    m_tagged << qMakePair(static_cast<QWidget*>(m_cmdButtons[0]), 12)
             << qMakePair(static_cast<QWidget*>(m_cmdButtons[1]), 15);
    connect(m_cmdButtons[0], &QPushButton::clicked, this, &wSearchSlave::reject);
    connect(m_cmdButtons[1], &QPushButton::clicked, this, [this] {
        m_ok = true;
        accept();
    });

    auto* layout = new QVBoxLayout(this);
    layout->addWidget(m_lblMessage);
    layout->addLayout(grid);
    layout->addSpacing(6);
    layout->addLayout(buttons);
    setMinimumWidth(340);

    Nationality();
}

void wSearchSlave::Nationality()
{
    Trap("wSearchSlave.Nationality", [&] {
        setWindowTitle(GetCaption(kCaptionTag));
        m_lblMessage->setText(GetCaption(m_messageTag));
        SetCaptions(m_tagged);
        showParity();
    });
}

void wSearchSlave::reject()
{
    m_ok = false;
    m_cancelled = true;
    QDialog::reject();
}

void wSearchSlave::showParity()
{
    // The parity letter follows the first comma of "9600,N,8,1".
    const QString settings = m_port.Settings();
    const qsizetype comma = settings.indexOf(QLatin1Char(','));
    const QChar letter =
        comma >= 0 && comma + 1 < settings.size() ? settings[comma + 1].toUpper() : QChar();
    const qsizetype position = letter.isNull() ? -1 : QStringLiteral("NEO").indexOf(letter);
    m_lblParity->setText(position >= 0 ? GetCaption(kParityBaseTag + 1 + int(position))
                                       : QString());
}

void wSearchSlave::ShowSearching()
{
    m_ok = false;
    m_cancelled = false;
    m_messageTag = kSearchingTag;
    m_lblMessage->setText(GetCaption(m_messageTag));
    m_cmdButtons[1]->setEnabled(false);
    m_cmdButtons[0]->setEnabled(true);
    show();
    raise();
}

bool wSearchSlave::Cancelled()
{
    QCoreApplication::processEvents();
    return m_cancelled;
}

void wSearchSlave::ShowAttempt(const QString& slave, std::int32_t bauds, std::int16_t stops)
{
    m_lblSlave->setText(slave);
    m_lblBauds->setText(QString::number(bauds));
    m_lblStops->setText(QString::number(stops));
    showParity();
    repaint();
}

bool wSearchSlave::Confirm(std::uint8_t slaveFound, int messageTag)
{
    Ui().beep();
    m_ok = false;
    m_lblSlave->setText(QString::number(slaveFound));
    // Without the automatic search no attempt was shown: show the settings
    // that answered.
    m_lblBauds->setText(QString::number(GetCommBauds(m_port)));
    m_lblStops->setText(QString::number(GetCommStops(m_port)));
    showParity();
    m_messageTag = messageTag;
    m_lblMessage->setText(GetCaption(messageTag));
    m_cmdButtons[1]->setEnabled(true);
    m_cmdButtons[1]->setFocus();
    // A modeless window must be hidden before it can be shown modally.
    hide();
    m_ok = Ui().execDialog(this);
    return m_ok;
}

void wSearchSlave::Close()
{
    hide();
}
