#pragma once

#include "config/ConfigClass.h"
#include "editor/PanelContext.h"
#include "link/RegisterMap.h"

#include <QWidget>

#include <cstdint>

class FactoryPage;
class GeneralPage;
class InputGridPage;
class OutputGridPage;
class PanelLink;
class QLabel;
class QLineEdit;
class QStatusBar;
class QTabWidget;

// The document window of one panel configuration: a header band with the
// panel number, module type and module name, the tab strip with the input,
// output, general and (in factory mode) factory pages, the help line sbrHelp
// and the status bar with the file path and the modified mark. It owns the
// record it shows; every accepted edit goes into the record at once and sets
// the modified mark. The shell puts it in a sub-window of its MDI area.
class wPanneau : public QWidget, public PanelContext
{
    Q_OBJECT
    Q_PROPERTY(bool Modified READ Modified WRITE SetModified)
    Q_PROPERTY(int HelpContextID READ HelpContextID)

public:
    // Builds the window and loads it: the working defaults of the data file
    // in the record, the texts of the current language, every field shown,
    // not modified.
    explicit wPanneau(bool factoryMode, QWidget* parent = nullptr);
    ~wPanneau() override;

    ConfigClass& Config() override { return m_config; }
    const ConfigClass& Config() const { return m_config; }

    bool Modified() const { return m_modified; }
    void SetModified(bool modified) override;

    // The "Path" status panel: the file of the document, "Orvel" after a read
    // from a panel, empty for a new document.
    QString Path() const;
    void SetPath(const QString& path);

    // Caption: the new-document or document text, a space and the panel
    // number ("?" when the number field is not numeric).
    void SetCaption() override;
    // Shows every field of the record, then applies the output-mode check.
    void RefreshFields() override;

    // Reads the whole configuration of a panel into the record; on success
    // the fields are shown and the path becomes "Orvel".
    bool ReadOrvel(PanelLink& link, std::uint8_t slave, std::int32_t version);
    // Writes the record to a panel, the factory section only in factory mode.
    bool WriteOrvel(PanelLink& link, std::uint8_t slave, std::int32_t version);
    // The same write, telling a failure before anything reached the panel
    // from one part-way.
    WriteOutcome WriteOrvelOutcome(PanelLink& link, std::uint8_t slave, std::int32_t version);
    // Adapts the record to an older panel; the caller refreshes.
    void CorrigeVersion(std::int32_t version);

    // The page on view, 1..4, and its tab caption.
    int SelectedPage() const;
    QString SelectedPageCaption() const;
    void SelectPage(int page);
    // Factory mode adds the fourth (factory) page, never a fifth, and removes it.
    bool FactoryMode() const { return m_factoryMode; }
    void SetFactoryMode(bool on);

    // The text of the slave number field txtCommSlave (New empties it).
    void SetSlaveText(const QString& text);

    // The current line of the grid of page 1 or 2 (1..12), 0 on another page.
    int CurrentLine() const;
    // Finishes the cell edit in progress in either grid.
    void CommitGridEdit();
    // Gives the keyboard focus to the page on view: its grid (on its current
    // cell, the first one at first) or its first field.
    void FocusPage();

    // Closes the window without the question about unsaved changes (the
    // shell's own closing of windows, a failed read).
    void CloseWithoutQuestion();

    // Help context of the page on view (220, 230, 240, 250).
    int HelpContextID() const { return m_helpContextId; }
    // The help line: the help text of a tag with its default value, or empty for 0.
    void SetDefaultValue(int tag) override;
    QString HelpLine() const;

public Q_SLOTS:
    // Applies the current language to every text, then refreshes the fields.
    void Nationality();

Q_SIGNALS:
    void ModifiedChanged(bool modified);

protected:
    void closeEvent(QCloseEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void buildWindow();
    void formLoad();
    void pageChanged(int index);
    void watchHelpTags();
    void fitFrame();
    bool Refreshing() const override { return m_refreshing; }
    void VerifMode() override;
    void SetPanelNumberText(const QString& text) override;
    void txtNoChanged();
    void txtTypeChanged();
    void txtNameChanged();

    ConfigClass m_config;
    bool m_factoryMode = false;
    bool m_modified = false;
    bool m_refreshing = false;
    bool m_closeWithoutQuestion = false;
    int m_helpContextId = 220;
    QString m_defaultLabel;

    QLineEdit* m_txtNo = nullptr;
    QLineEdit* m_txtType = nullptr;
    QLineEdit* m_txtName = nullptr;
    QTabWidget* m_tbsPages = nullptr;
    QWidget* m_frmPages[4] = {};
    QLabel* m_sbrHelp = nullptr;
    QStatusBar* m_sbrStatus = nullptr;
    QLabel* m_panelPath = nullptr;
    QLabel* m_panelCaption = nullptr;
    QLabel* m_panelModified = nullptr;

    InputGridPage* m_inputs = nullptr;
    OutputGridPage* m_outputs = nullptr;
    GeneralPage* m_general = nullptr;
    FactoryPage* m_factory = nullptr;
};
