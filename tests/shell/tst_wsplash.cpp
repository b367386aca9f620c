#include "RecordingUi.h"
#include "shell/wSplash.h"
#include "WidgetLookup.h"

#include <QImage>
#include <QLabel>
#include <QSignalSpy>
#include <QStandardPaths>
#include <QTest>
#include <QTimer>
#include <QWindow>

// The splash window and About box: picture, version labels, the close timer
// that keeps it up, and the contact lines of the About mode.
class TestWSplash : public QObject
{
    Q_OBJECT

    static QLabel* label(wSplash& s, const char* name) { return child<QLabel>(&s, name); }

private Q_SLOTS:
    void initTestCase() { QStandardPaths::setTestModeEnabled(true); }

    void pictureAndSize()
    {
        wSplash splash;
        QLabel* picture = label(splash, "imgSplash");
        const QPixmap pixmap = picture->pixmap();
        QVERIFY(!pixmap.isNull());
        QCOMPARE(splash.size(), pixmap.deviceIndependentSize().toSize());
        QCOMPARE(splash.size(), QSize(480, 300));
        // Our picture: a dark blue ground with the amber rule along the top.
        const QImage image = pixmap.toImage();
        const QColor ground = image.pixelColor(image.width() / 4, image.height() * 3 / 4);
        QVERIFY2(ground.blue() > ground.red() && ground.value() < 120, qPrintable(ground.name()));
        const QColor rule = image.pixelColor(image.width() / 2, 1);
        QCOMPARE(rule.name(), QStringLiteral("#f9a825"));
    }

    void pictureKeepsItsColoursWhenDisabled()
    {
        // At start-up the main window, the splash's owner, is disabled.
        QWidget owner;
        wSplash splash(&owner);
        owner.setEnabled(false);
        QVERIFY(!splash.isEnabled());
        const QImage image = splash.grab().toImage();
        QCOMPARE(image.pixelColor(image.width() / 2, 1).name(), QStringLiteral("#f9a825"));
    }

    void versionLabelsReadAsOneText()
    {
        wSplash splash;
        QLabel* v0 = label(splash, "lblVersion0");
        QLabel* v1 = label(splash, "lblVersion1");
        QCOMPARE(v0->text(), QStringLiteral("Version 1.6."));
        QCOMPARE(v1->text(), QString::number(wSplash::Revision));
        QCOMPARE(v1->x(), v0->x() + v0->width());
        QCOMPARE(v1->y(), v0->y());
        QCOMPARE(v0->font().family(), QStringLiteral("Verdana"));
        QVERIFY(QRect(QPoint(0, 0), splash.size()).contains(v1->geometry()));
    }

    void closeTimerDefaultsToFiveSeconds()
    {
        wSplash splash;
        QCOMPARE(splash.CloseInterval(), 5000);
        QVERIFY(!splash.CloseTimerRunning());
        splash.SetCloseInterval(20);
        QCOMPARE(splash.CloseInterval(), 20);
    }

    void cannotBeDismissedWhileTheTimerRuns()
    {
        wSplash splash;
        QSignalSpy finished(&splash, &wSplash::CloseTimerFinished);
        splash.SetCloseInterval(100);
        splash.show();
        splash.StartCloseTimer();
        QVERIFY(splash.CloseTimerRunning());
        QTest::mouseClick(label(splash, "imgSplash"), Qt::LeftButton);
        QTest::keyClick(&splash, Qt::Key_Escape);
        QVERIFY(splash.isVisible());
        QVERIFY(finished.wait(2000));
        QCOMPARE(finished.size(), 1);
        QVERIFY(!splash.CloseTimerRunning()); // it fires once
        QTest::mouseClick(label(splash, "imgSplash"), Qt::LeftButton);
        QVERIFY(!splash.isVisible());
    }

    void escapeHidesOnceTheTimerIsOver()
    {
        wSplash splash;
        splash.show();
        QTest::keyClick(&splash, Qt::Key_Escape);
        QVERIFY(!splash.isVisible());
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

    void aboutModeShowsTheContactLines()
    {
        RecordingUi ui;
        wSplash splash;
        QLabel* about = label(splash, "lblAbout");
        QVERIFY(about->isHidden());
        QVERIFY(about->text().isEmpty());
        QVERIFY(!splash.AboutMode());
        splash.SetAboutMode(true);
        QVERIFY(splash.AboutMode());
        splash.show();
        QVERIFY(about->isVisible());
        QTest::mouseClick(about, Qt::LeftButton);
        QCOMPARE(ui.messages.size(), 1);
        QCOMPARE(ui.messages[0].icon, MsgIcon::Information);
        QCOMPARE(ui.messages[0].buttons, MsgButtons::Ok);
        QCOMPARE(ui.messages[0].text, wSplash::ContactText());
        QCOMPARE(ui.messages[0].text.split(QStringLiteral("\r\n")).size(), 2);
        QVERIFY(splash.isVisible());
        // A click on the picture closes the About box at once.
        QTest::mouseClick(label(splash, "imgSplash"), Qt::LeftButton);
        QVERIFY(!splash.isVisible());
        QCOMPARE(splash.result(), int(QDialog::Rejected));
    }

    void aboutBoxEndsItsModalLoop()
    {
        wSplash splash;
        splash.SetAboutMode(true);
        QTimer::singleShot(20, &splash,
                           [&] { QTest::mouseClick(label(splash, "imgSplash"), Qt::LeftButton); });
        QTimer guard;
        guard.setSingleShot(true);
        connect(&guard, &QTimer::timeout, &splash, &QDialog::accept);
        guard.start(3000);
        QCOMPARE(splash.exec(), int(QDialog::Rejected));
        QVERIFY(guard.isActive());
    }

    void nationalityChangesNothing()
    {
        wSplash splash;
        const QString before = label(splash, "lblVersion0")->text();
        QVERIFY(splash.metaObject()->indexOfMethod("Nationality()") >= 0);
        splash.Nationality();
        QCOMPARE(label(splash, "lblVersion0")->text(), before);
    }
};

QTEST_MAIN(TestWSplash)
#include "tst_wsplash.moc"
