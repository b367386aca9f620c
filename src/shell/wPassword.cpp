#include "wPassword.h"

#include "texts/DataFunctions.h"
#include "util/ErrorHandling.h"

#include <QAction>
#include <QApplication>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QProxyStyle>
#include <QPushButton>
#include <QVBoxLayout>

namespace {
// Shows every character of a password field as "*".
class StarPasswordStyle : public QProxyStyle
{
public:
    int styleHint(StyleHint hint, const QStyleOption* option, const QWidget* widget,
                  QStyleHintReturn* returnData) const override
    {
        if (hint == SH_LineEdit_PasswordCharacter)
            return '*';
        return QProxyStyle::styleHint(hint, option, widget, returnData);
    }
};

// The caption of the main window's factory access item, wherever it lives.
QString factoryItemCaption()
{
    const QWidgetList tops = QApplication::topLevelWidgets();
    for (QWidget* top : tops) {
        if (auto* item = top->findChild<QAction*>(QStringLiteral("mnuOptionsFactory")))
            return item->text();
    }
    return GetMenuText(QStringLiteral("mnuOptionsFactory"));
}
} // namespace

wPassword::wPassword(QWidget* parent) : QDialog(parent)
{
    setObjectName(QStringLiteral("wPassword"));

    m_lblPassword = new QLabel(this);
    m_lblPassword->setObjectName(QStringLiteral("lblPassword"));
    m_lblPassword->setWordWrap(true);
    m_txtPassword = new QLineEdit(this);
    m_txtPassword->setObjectName(QStringLiteral("txtPassword"));
    auto* starStyle = new StarPasswordStyle;
    starStyle->setParent(m_txtPassword);
    m_txtPassword->setStyle(starStyle);
    m_txtPassword->setEchoMode(QLineEdit::Password);

    // cmdBoutons(0) cancels (Escape), cmdBoutons(1) confirms (Enter).
    for (int i = 0; i < 2; ++i) {
        m_cmdBoutons[i] = new QPushButton(this);
        m_cmdBoutons[i]->setObjectName(QStringLiteral("cmdBoutons%1").arg(i));
        connect(m_cmdBoutons[i], &QPushButton::clicked, this, [this, i] { buttonPressed(i); });
    }
    m_cmdBoutons[0]->setAutoDefault(false);
    m_cmdBoutons[1]->setDefault(true);

    auto* buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(m_cmdBoutons[1]);
    buttons->addWidget(m_cmdBoutons[0]);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(m_lblPassword);
    layout->addWidget(m_txtPassword);
    layout->addSpacing(8);
    layout->addLayout(buttons);
    setMinimumWidth(320);

    Nationality();
}

QString wPassword::Password() const
{
    return m_txtPassword->text();
}

void wPassword::Nationality()
{
    Trap("wPassword.Nationality", [&] {
        QString title = factoryItemCaption();
        setWindowTitle(title.remove(QLatin1Char('&')));
        m_lblPassword->setText(GetCaption(2001));
        m_cmdBoutons[0]->setText(GetCaption(12));
        m_cmdBoutons[1]->setText(GetCaption(15));
    });
}

void wPassword::buttonPressed(int index)
{
    m_ok = index == 1;
    if (m_ok)
        accept();
    else
        reject();
}
