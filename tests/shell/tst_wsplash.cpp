// The splash window and the About box: picture and version, the close timer
// that keeps it up, its place over the owner, and Help > About showing it
// with the contact lines.

#include "ShellFixture.h"

#include "shell/wSplash.h"

#include <QLabel>
#include <QSignalSpy>
#include <QTimer>
#include <QWindow>

using namespace Shell;

namespace {
QLabel* Picture(QWidget* splash)
{
    return child<QLabel>(splash, "imgSplash");
}
} // namespace

class tst_wSplash : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void initTestCase() { QVERIFY(UseShippedData()); }

    // Our picture at its own size, a dark blue ground with the amber rule
    // along the top, its colours kept while the owner is disabled (as at
    // start-up); the version read as one text.
    void pictureAndVersion()
    {
        QWidget owner;
        wSplash splash(&owner);
        const QPixmap pixmap = Picture(&splash)->pixmap();
        QCOMPARE(splash.size(), pixmap.deviceIndependentSize().toSize());
        QCOMPARE(splash.size(), QSize(480, 300));
        const QImage image = pixmap.toImage();
        const QColor ground = image.pixelColor(image.width() / 4, image.height() * 3 / 4);
        QVERIFY2(ground.blue() > ground.red() && ground.value() < 120, qPrintable(ground.name()));
        owner.setEnabled(false);
        const QImage shown = splash.grab().toImage();
        QCOMPARE(shown.pixelColor(shown.width() / 2, 1).name(), QStringLiteral("#f9a825"));
        QLabel* v0 = child<QLabel>(&splash, "lblVersion0");
        QLabel* v1 = child<QLabel>(&splash, "lblVersion1");
        QCOMPARE(v0->text() + v1->text(), "Version 1.6." + QString::number(wSplash::Revision));
        QCOMPARE(v1->pos(), v0->pos() + QPoint(v0->width(), 0));
    }

    // While the timer runs neither a click nor Escape closes it; the timer
    // fires once, then either does.
    void closeTimer()
    {
        for (bool escape : {false, true}) {
            wSplash splash;
            QSignalSpy finished(&splash, &wSplash::CloseTimerFinished);
            splash.SetCloseInterval(100);
            splash.show();
            splash.StartCloseTimer();
            QVERIFY(splash.CloseTimerRunning());
            QTest::mouseClick(Picture(&splash), Qt::LeftButton);
            QTest::keyClick(&splash, Qt::Key_Escape);
            QVERIFY(splash.isVisible());
            QVERIFY(finished.wait(2000));
            QCOMPARE(finished.size(), 1);
            QVERIFY(!splash.CloseTimerRunning());
            if (escape)
                QTest::keyClick(&splash, Qt::Key_Escape);
            else
                QTest::mouseClick(Picture(&splash), Qt::LeftButton);
            QVERIFY(!splash.isVisible());
        }
    }

    // Centred on its owner; shown before the owner was on screen, it appears
    // again once when the owner is there, so that the window manager keeps
    // it above the owner.
    void showOverTheOwner()
    {
        QWidget owner;
        owner.setGeometry(100, 80, 900, 600);
        wSplash splash(&owner);
        splash.ShowOver(&owner);
        QCOMPARE(splash.geometry().center(), owner.geometry().center());
        QVERIFY(splash.isVisible());
        owner.show();
        QSignalSpy shown(splash.windowHandle(), &QWindow::visibleChanged);
        splash.ShowOver(&owner);
        splash.ShowOver(&owner);
        QCOMPARE(shown, (QList<QList<QVariant>>{{false}, {true}}));
        QCOMPARE(splash.frameGeometry().center(), owner.frameGeometry().center());
    }

    // Help > About: the splash in About mode without its timer, the contact
    // lines shown on a click on them, closed at once by a click on the
    // picture, and unloaded after use.
    void about()
    {
        Console c;
        QStringList seen;
        c.ui.onNextDialog([&](QObject* dialog) {
            auto* splash = qobject_cast<wSplash*>(dialog);
            splash->show();
            QLabel* contact = child<QLabel>(splash, "lblAbout");
            seen << QString::number(splash->AboutMode()) +
                        QString::number(splash->CloseTimerRunning()) +
                        QString::number(contact->isVisible());
            QTest::mouseClick(contact, Qt::LeftButton);
            seen << QString::number(splash->isVisible());
            QTest::mouseClick(Picture(splash), Qt::LeftButton);
            seen << QString::number(splash->isVisible()) + QString::number(splash->result());
            return false;
        });
        c.item("mnuHelpAbout")->trigger();
        QCOMPARE(seen, (QStringList{"101", "1", "0" + QString::number(QDialog::Rejected)}));
        QCOMPARE(c.ui.messages.size(), 1);
        QCOMPARE(c.ui.messages[0].icon, MsgIcon::Information);
        QCOMPARE(c.ui.messages[0].buttons, MsgButtons::Ok);
        QCOMPARE(c.ui.messages[0].text, wSplash::ContactText());
        QCOMPARE(c.ui.messages[0].text.split(QStringLiteral("\r\n")).size(), 2);
        QVERIFY(c.window->findChildren<wSplash*>().isEmpty());
        QVERIFY(child<QLabel>(new wSplash(c.window.get()), "lblAbout")->isHidden());
    }

    // The About box's click on the picture ends its own modal loop.
    void aboutBoxEndsItsModalLoop()
    {
        wSplash splash;
        splash.SetAboutMode(true);
        QTimer::singleShot(20, &splash,
                           [&] { QTest::mouseClick(Picture(&splash), Qt::LeftButton); });
        QTimer guard;
        guard.setSingleShot(true);
        connect(&guard, &QTimer::timeout, &splash, &QDialog::accept);
        guard.start(3000);
        QCOMPARE(splash.exec(), int(QDialog::Rejected));
        QVERIFY(guard.isActive());
    }
};

QTEST_MAIN(tst_wSplash)
#include "tst_wsplash.moc"
