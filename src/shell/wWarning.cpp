#include "wWarning.h"

#include "texts/DataFunctions.h"
#include "util/ErrorHandling.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QStyle>
#include <QVBoxLayout>

wWarning::wWarning(QWidget* parent) : QDialog(parent)
{
    setObjectName(QStringLiteral("wWarning"));

    auto* imgWarning = new QLabel(this);
    imgWarning->setObjectName(QStringLiteral("imgWarning"));
    imgWarning->setPixmap(style()->standardIcon(QStyle::SP_MessageBoxWarning).pixmap(32, 32));
    imgWarning->setAlignment(Qt::AlignTop);

    m_lblMessage = new QLabel(this);
    m_lblMessage->setObjectName(QStringLiteral("lblMessage"));
    QFont bold = m_lblMessage->font();
    bold.setBold(true);
    m_lblMessage->setFont(bold);
    m_lblMessage->setWordWrap(true);
    m_lblcontinue = new QLabel(this);
    m_lblcontinue->setObjectName(QStringLiteral("lblcontinue"));
    m_lblcontinue->setWordWrap(true);

    // cmdCommand(1) is Yes, the default; cmdCommand(0) is No, the escape.
    m_cmdYes = new QPushButton(this);
    m_cmdYes->setObjectName(QStringLiteral("cmdYes"));
    m_cmdYes->setDefault(true);
    m_cmdNo = new QPushButton(this);
    m_cmdNo->setObjectName(QStringLiteral("cmdNo"));
    m_cmdNo->setAutoDefault(false);
    connect(m_cmdYes, &QPushButton::clicked, this, [this] { buttonPressed(1); });
    connect(m_cmdNo, &QPushButton::clicked, this, [this] { buttonPressed(0); });

    auto* texts = new QVBoxLayout;
    texts->addWidget(m_lblMessage);
    texts->addSpacing(8);
    texts->addWidget(m_lblcontinue);
    auto* top = new QHBoxLayout;
    top->addWidget(imgWarning);
    top->addSpacing(8);
    top->addLayout(texts, 1);
    auto* buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(m_cmdYes);
    buttons->addWidget(m_cmdNo);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(top);
    layout->addSpacing(8);
    layout->addLayout(buttons);
    setMinimumWidth(380);

    Nationality();
}

void wWarning::Nationality()
{
    Trap("wWarning.Nationality", [&] {
        setWindowTitle(GetCaption(1600));
        m_lblMessage->setText(GetCaption(1610));
        m_lblcontinue->setText(GetCaption(1611));
        m_cmdYes->setText(GetCaption(11));
        m_cmdNo->setText(GetCaption(10));
    });
}

void wWarning::buttonPressed(int index)
{
    m_ok = index == 1;
    if (m_ok)
        accept();
    else
        reject();
}
