#pragma once

#include <QDialog>

#include <functional>

class MostRecentFilesClass;
class PanelLink;
class QCheckBox;
class QComboBox;
class QFrame;
class QLabel;
class QPushButton;
class QSpinBox;
class QTabWidget;

// The preferences: serial port (number, speed, stop bits, parity), half-duplex
// operation with its RTS delay, the length of the recent-files list and the
// language. Apply (or OK) applies and stores each group of settings that the
// user touched and nothing else: the four port controls, the list length, the
// half-duplex pair, the language.
class wConfig : public QDialog
{
    Q_OBJECT

public:
    // The link holds the port and the half-duplex settings; the list (may be
    // null) takes the new length.
    wConfig(PanelLink& link, MostRecentFilesClass* recentFiles, QWidget* parent = nullptr);

    // Called after a language change has been applied. By default it calls
    // Nationality on every open window (NationalityOfAllWindows).
    void SetNationalityHandler(std::function<void()> handler)
    {
        m_nationalityHandler = std::move(handler);
    }

    // The first-start form: only OK shows, and OK stores the proposed
    // language even when the user leaves the list alone.
    void SetFirstRun();
    // Marks the language list as changed and enables Apply.
    void MarkLanguageChanged();

    // Applies the touched groups when Apply is enabled. False when an error
    // stopped it (reported; the later groups are not applied).
    bool Apply();

    // Help context of the page on view.
    int HelpContextId() const;

public Q_SLOTS:
    void Nationality();

private:
    enum Mark
    {
        MarkPort = 1,
        MarkBauds = 2,
        MarkStops = 4,
        MarkParity = 8,
        MarkMRU = 16,
        MarkHalfDuplex = 32,
        MarkRtsDelay = 64,
        MarkLanguage = 128
    };

    void buildControls();
    void loadValues();
    void connectChanges();
    void changed(int mark);
    void pageChanged(int index);
    bool applyGroups();

    PanelLink& m_link;
    MostRecentFilesClass* m_recentFiles;
    std::function<void()> m_nationalityHandler;
    int m_marks = 0;
    bool m_loading = false;

    QTabWidget* m_tbsPages = nullptr;
    QComboBox* m_cboPort = nullptr;
    QComboBox* m_cboBauds = nullptr;
    QComboBox* m_cboStops = nullptr;
    QComboBox* m_cboParity = nullptr;
    QCheckBox* m_chkHalfDuplex = nullptr;
    QFrame* m_frmRtsDelay = nullptr;
    QSpinBox* m_txtRtsDelay = nullptr;
    QSpinBox* m_txtMRU = nullptr;
    QComboBox* m_cboLanguage = nullptr;
    QPushButton* m_cmdButtons[3] = {};
    // Controls whose caption is the text of a tag.
    QList<QPair<QWidget*, int>> m_tagged;
};
