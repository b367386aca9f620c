#pragma once

#include <QObject>
#include <QString>

#include <cstdint>

class QAction;
class QMenu;

// The recent-files list at the end of a window's File menu. The entries live
// in the menu itself: QActions named "mnuFileMRU1" (the newest) to
// "mnuFileMRUn", each holding its full path as data() and a shortened path as
// caption, below the separator "mnuFileSepMRU" and the hidden placeholder
// "mnuFileMRU0" ("(Vide)"), which anchors the set and is never an entry. The
// separator is visible exactly when at least one entry exists.
//
// The list is read from and written to the section "MRU" of an INI file,
// keys "1" (the newest) to "n".
class MostRecentFilesClass : public QObject
{
    Q_OBJECT

public:
    explicit MostRecentFilesClass(QObject* parent = nullptr);

    std::int16_t MaxRecent() const { return m_maxRecent; }
    void SetMaxRecent(std::int16_t value) { m_maxRecent = value; }
    QString ParamSep() const { return m_paramSep; }
    void SetParamSep(const QString& value) { m_paramSep = value; }
    // Shown by Delete; "*" stands for the path.
    QString ErrorMsg() const { return m_errorMsg; }
    void SetErrorMsg(const QString& value) { m_errorMsg = value; }

    // Gives a File menu its separator and placeholder when it lacks them,
    // inserted before `before` (at the end when null). Menus that already
    // hold actions with those names keep them. Every operation below calls it.
    static void Attach(QMenu* menu, QAction* before = nullptr);

    // Puts path at the top: an entry with the same path (letter case ignored)
    // moves up and takes the new spelling; otherwise a new entry is created
    // while the list is shorter than MaxRecent, else the oldest drops out.
    void Add(QMenu* menu, const QString& path);
    // Reads keys MaxRecent down to 1 of the section "MRU" and adds each
    // non-empty one. An empty file name means the console's own INI file.
    void Load(QMenu* menu, const QString& iniFile = {});
    // Rewrites the section "MRU" with the entries (no section when empty).
    void Save(QMenu* menu, const QString& iniFile = {});
    // Tells the user that the file of entry index is gone and removes the entry.
    void Delete(QMenu* menu, int index);

    // Number of entries (0 when the list is empty).
    static int Count(const QMenu* menu);
    // Entry i (1..Count), or null.
    static QAction* Entry(const QMenu* menu, int index);
    // Full path of entry i ("" when there is no such entry).
    static QString EntryPath(const QMenu* menu, int index);
    // The text shown for a path: long paths keep their first folder and their
    // last 20-odd characters, with "..." between.
    static QString DisplayText(const QString& path);

Q_SIGNALS:
    // The user picked entry index of the menu.
    void FileChosen(int index, const QString& path);

private:
    QString captionFor(const QString& path) const;
    QAction* createEntry(QMenu* menu, int index);
    void addEntry(QMenu* menu, const QString& path);
    void saveEntries(QMenu* menu, const QString& iniFile);
    void deleteEntry(QMenu* menu, int index);

    std::int16_t m_maxRecent = 5;
    QString m_paramSep = QStringLiteral(",");
    QString m_errorMsg;
};
