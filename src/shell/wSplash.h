#pragma once

#include <QDialog>

class QLabel;
class QTimer;

// The splash picture with the console's version, shown without blocking at
// start-up and modally as the About box. While its close timer runs it cannot
// be dismissed; afterwards a click on the picture or Escape hides it. In About
// mode the hidden label over the picture (lblAbout) shows the contact lines.
class wSplash : public QDialog
{
    Q_OBJECT

public:
    static constexpr int VersionMajor = 1;
    static constexpr int VersionMinor = 6;
    static constexpr int Revision = 0;

    explicit wSplash(QWidget* parent = nullptr);

    // tmrClose: 5000 ms by default; tests shorten it.
    void SetCloseInterval(int ms);
    int CloseInterval() const;
    // Enables tmrClose; it switches itself off once it has fired.
    void StartCloseTimer();
    bool CloseTimerRunning() const;

    // Shows the splash in the middle of owner (as placed on screen) and above
    // it; the window manager keeps it above its owner from then on.
    void ShowOver(QWidget* owner);

    // Shows lblAbout: the window becomes the About box.
    void SetAboutMode(bool on);
    bool AboutMode() const;

    // The two contact lines shown from the About box.
    static QString ContactText();

public Q_SLOTS:
    // The splash has no texts of its own to translate.
    void Nationality() {}
    void reject() override;

Q_SIGNALS:
    // tmrClose has fired and switched itself off.
    void CloseTimerFinished();

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void pictureClicked();

    QLabel* m_imgSplash = nullptr;
    QLabel* m_lblVersion[2] = {};
    QLabel* m_lblAbout = nullptr;
    QTimer* m_tmrClose = nullptr;
    bool m_shownOverOwner = false;
};
