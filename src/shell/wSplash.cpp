#include "wSplash.h"

#include "util/UiSeam.h"

#include <QEvent>
#include <QFont>
#include <QGuiApplication>
#include <QLabel>
#include <QMouseEvent>
#include <QPainter>
#include <QScreen>
#include <QSvgRenderer>
#include <QTimer>

static void initDialogResources()
{
    Q_INIT_RESOURCE(dialogs);
}

namespace {
QPixmap splashPicture(qreal ratio)
{
    QSvgRenderer renderer(QStringLiteral(":/dialogs/images/splash.svg"));
    const QSize size = renderer.defaultSize().isValid() ? renderer.defaultSize() : QSize(480, 300);
    QPixmap pixmap(size * ratio);
    pixmap.setDevicePixelRatio(ratio);
    pixmap.fill(Qt::transparent);
    QPainter painter(&pixmap);
    renderer.render(&painter, QRectF(QPointF(0, 0), QSizeF(size)));
    return pixmap;
}
} // namespace

wSplash::wSplash(QWidget* parent) : QDialog(parent, Qt::Dialog | Qt::FramelessWindowHint)
{
    initDialogResources();
    setObjectName(QStringLiteral("wSplash"));
    setWindowTitle(QStringLiteral("Orvel"));

    // 1. The window takes the size of the picture.
    m_imgSplash = new QLabel(this);
    m_imgSplash->setObjectName(QStringLiteral("imgSplash"));
    const qreal ratio = parent ? parent->devicePixelRatioF() : qApp->devicePixelRatio();
    const QPixmap picture = splashPicture(ratio);
    m_imgSplash->setPixmap(picture);
    const QSize size = picture.deviceIndependentSize().toSize();
    m_imgSplash->setGeometry(QRect(QPoint(0, 0), size));
    m_imgSplash->installEventFilter(this);
    setFixedSize(size);

    // 2. "Version 1.6." and the revision right after it, read as one text.
    QFont font(QStringLiteral("Verdana"));
    font.setPointSize(9);
    const QString designText[2] = {QStringLiteral("Version "), QStringLiteral("Release")};
    for (int i = 0; i < 2; ++i) {
        m_lblVersion[i] = new QLabel(designText[i], m_imgSplash);
        m_lblVersion[i]->setObjectName(QStringLiteral("lblVersion%1").arg(i));
        m_lblVersion[i]->setFont(font);
        m_lblVersion[i]->setStyleSheet(QStringLiteral("color: #c9d6e6; background: transparent;"));
        m_lblVersion[i]->setAttribute(Qt::WA_TransparentForMouseEvents);
    }
    m_lblVersion[0]->setText(m_lblVersion[0]->text() + QString::number(VersionMajor) +
                             QLatin1Char('.') + QString::number(VersionMinor) + QLatin1Char('.'));
    m_lblVersion[1]->setText(QString::number(Revision));
    for (QLabel* l : m_lblVersion)
        l->adjustSize();
    m_lblVersion[0]->move(34, size.height() - 22 - m_lblVersion[0]->height() / 2);
    m_lblVersion[1]->move(m_lblVersion[0]->x() + m_lblVersion[0]->width(), m_lblVersion[0]->y());

    // The About label: no text, over the lower right of the picture.
    m_lblAbout = new QLabel(m_imgSplash);
    m_lblAbout->setObjectName(QStringLiteral("lblAbout"));
    m_lblAbout->setGeometry(size.width() / 2, size.height() - 44, size.width() / 2, 44);
    m_lblAbout->setCursor(Qt::PointingHandCursor);
    m_lblAbout->installEventFilter(this);
    m_lblAbout->hide();

    m_tmrClose = new QTimer(this);
    m_tmrClose->setObjectName(QStringLiteral("tmrClose"));
    m_tmrClose->setSingleShot(true);
    m_tmrClose->setInterval(5000);
    connect(m_tmrClose, &QTimer::timeout, this, &wSplash::CloseTimerFinished);
}

void wSplash::SetCloseInterval(int ms)
{
    m_tmrClose->setInterval(ms);
}

int wSplash::CloseInterval() const
{
    return m_tmrClose->interval();
}

void wSplash::StartCloseTimer()
{
    m_tmrClose->start();
}

bool wSplash::CloseTimerRunning() const
{
    return m_tmrClose->isActive();
}

void wSplash::ShowOver(QWidget* owner)
{
    QRect area(QPoint(0, 0), size());
    area.moveCenter(owner->frameGeometry().center());
    move(area.topLeft());
    // A window manager keeps a dialog above its owner when the owner is on
    // screen as the dialog appears: a splash shown before its owner appears
    // again, once, when the owner is there.
    if (isVisible() && !m_shownOverOwner && owner->isVisible())
        hide();
    m_shownOverOwner = owner->isVisible();
    show();
    raise();
}

void wSplash::SetAboutMode(bool on)
{
    m_lblAbout->setVisible(on);
}

bool wSplash::AboutMode() const
{
    return !m_lblAbout->isHidden();
}

QString wSplash::ContactText()
{
    return QStringLiteral("Orvel setting console, free software for Orvel annunciator panels.\r\n"
                          "Questions and fault reports: see the README and issue tracker of the "
                          "project.");
}

void wSplash::reject()
{
    // Escape, like a click on the picture, does nothing while the timer runs.
    if (m_tmrClose->isActive())
        return;
    QDialog::reject();
}

void wSplash::pictureClicked()
{
    if (m_tmrClose->isActive())
        return;
    QDialog::reject();
}

bool wSplash::eventFilter(QObject* watched, QEvent* event)
{
    // The picture is drawn as it is even while the main window (and with it
    // this window) is disabled at start-up: a label would grey it out.
    if (watched == m_imgSplash && event->type() == QEvent::Paint) {
        QPainter painter(m_imgSplash);
        painter.drawPixmap(0, 0, m_imgSplash->pixmap());
        return true;
    }
    if (event->type() == QEvent::MouseButtonRelease &&
        static_cast<QMouseEvent*>(event)->button() == Qt::LeftButton) {
        if (watched == m_lblAbout && m_lblAbout->isVisible()) {
            MsgBox(ContactText(), MsgIcon::Information, MsgButtons::Ok);
            return true;
        }
        if (watched == m_imgSplash) {
            pictureClicked();
            return true;
        }
    }
    return QDialog::eventFilter(watched, event);
}
