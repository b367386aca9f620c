#pragma once

#include "HelpDocument.h"

#include <QWidget>

class QLineEdit;
class QListWidget;
class QTabWidget;
class QTextBrowser;
class QTreeWidget;

// The console's help window: the help file on the right, its contents (the
// topics and their sections) and an alphabetical index of every heading on
// the left. One window serves every help command; closing it is the "close
// all" of the help.
class HelpViewer : public QWidget
{
    Q_OBJECT

public:
    explicit HelpViewer(QWidget* owner = nullptr);

    // Loads the file; false when it cannot be read (the window keeps nothing).
    bool Load(const QString& path);
    const HelpDocument& Document() const { return m_document; }

    // Captions of the two panes of the left side.
    void SetPaneCaptions(const QString& contents, const QString& index);

    // The help commands. Each shows and raises the window.
    void ShowContents();
    void ShowIndex();
    // The index with its search field focused.
    void ShowSearch();
    // The topic of a help context id; false (and the contents shown) when the
    // file has no such topic.
    bool ShowTopic(int contextId);
    // Anchor of the heading the browser shows last, for tests and the title.
    QString CurrentAnchor() const { return m_currentAnchor; }

private:
    void GoTo(const QString& anchor);
    void FillContents();
    void FillIndex();
    void FilterIndex(const QString& text);
    void Present();

    HelpDocument m_document;
    QString m_currentAnchor;
    QTabWidget* m_tabs = nullptr;
    QTreeWidget* m_contents = nullptr;
    QLineEdit* m_indexFilter = nullptr;
    QListWidget* m_index = nullptr;
    QTextBrowser* m_browser = nullptr;
};
