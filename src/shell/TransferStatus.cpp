#include "TransferStatus.h"

#include "link/CommFunctions.h"
#include "texts/DataFunctions.h"
#include "util/TextFunctions.h"

#include <QApplication>
#include <QEvent>
#include <QLabel>
#include <QProgressBar>
#include <QStatusBar>

namespace {
constexpr int kReadingTag = 10130;
constexpr int kWritingTag = 10131;
constexpr int kReadFailedTag = 10132;
constexpr int kWriteFailedTag = 10133;
constexpr int kReadyTag = 1001;
// A section is named by the caption of its page's tab.
constexpr int kSectionTags[4] = {31000, 32000, 33000, 34000};

bool IsUserInput(QEvent::Type type)
{
    switch (type) {
    case QEvent::MouseButtonPress:
    case QEvent::MouseButtonRelease:
    case QEvent::MouseButtonDblClick:
    case QEvent::KeyPress:
    case QEvent::KeyRelease:
    case QEvent::Shortcut:
    case QEvent::ShortcutOverride:
    case QEvent::Wheel:
    case QEvent::ContextMenu:
    case QEvent::TouchBegin:
    case QEvent::TouchUpdate:
    case QEvent::TouchEnd:
    case QEvent::DragEnter:
    case QEvent::DragMove:
    case QEvent::Drop:
    case QEvent::Close:
        return true;
    default:
        return false;
    }
}
} // namespace

TransferStatus::TransferStatus(QStatusBar* statusBar, QLabel* prompt, PanelLink& link,
                               Direction direction)
    : m_bar(ProgressBar(statusBar)), m_prompt(prompt), m_direction(direction)
{
    connect(&link, &PanelLink::TransferBegun, this, &TransferStatus::begun);
    connect(&link, &PanelLink::SectionBegun, this,
            [this](ConfigSection section) { m_section = section; });
    connect(&link, &PanelLink::BlockDone, this, &TransferStatus::blockDone);
    if (m_prompt)
        m_prompt->setText(GetText(kReadyTag));
    qApp->installEventFilter(this);
}

TransferStatus::~TransferStatus()
{
    qApp->removeEventFilter(this);
    m_bar->hide();
}

QProgressBar* TransferStatus::ProgressBar(QStatusBar* statusBar)
{
    auto* bar = statusBar->findChild<QProgressBar*>(QStringLiteral("prgTransfer"));
    if (!bar) {
        bar = new QProgressBar(statusBar);
        bar->setObjectName(QStringLiteral("prgTransfer"));
        bar->setMinimumWidth(320);
        bar->setTextVisible(true);
        statusBar->addPermanentWidget(bar);
        bar->hide();
    }
    return bar;
}

void TransferStatus::begun(int blocks)
{
    // "###1###" and "###2###" stand for the blocks done and in all: the
    // bar's own value and maximum.
    QString format = GetText(m_direction == Direction::Read ? kReadingTag : kWritingTag);
    format = TextReplace(format, QStringLiteral("###1###"), QStringLiteral("%v"));
    format = TextReplace(format, QStringLiteral("###2###"), QStringLiteral("%m"));
    m_bar->setFormat(format);
    m_bar->setRange(0, blocks);
    m_bar->setValue(0);
    m_bar->show();
    QCoreApplication::processEvents();
}

void TransferStatus::blockDone()
{
    m_bar->setValue(m_bar->value() + 1);
    QCoreApplication::processEvents();
}

void TransferStatus::Failed()
{
    if (!m_prompt)
        return;
    const QString section = GetText(kSectionTags[int(m_section) - 1]);
    const QString text = GetText(m_direction == Direction::Read ? kReadFailedTag : kWriteFailedTag);
    m_prompt->setText(TextReplace(text, QStringLiteral("###1###"), section));
}

bool TransferStatus::eventFilter(QObject* watched, QEvent* event)
{
    // Input goes to a message box shown meanwhile (an error report), never
    // to the windows behind the transfer.
    if (!IsUserInput(event->type()) || QApplication::activeModalWidget())
        return QObject::eventFilter(watched, event);
    // Of the closings, only the user's (from the window system) wait.
    if (event->type() == QEvent::Close && !event->spontaneous())
        return QObject::eventFilter(watched, event);
    // A shortcut overridden here is not triggered.
    event->accept();
    return true;
}
