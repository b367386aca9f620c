#include "MostRecentFilesClass.h"

#include "settings/IniStore.h"
#include "util/ErrorHandling.h"
#include "util/IniFile.h"
#include "util/TextFunctions.h"
#include "util/UiSeam.h"

#include <QAction>
#include <QMenu>

namespace {
const QString kSection = QStringLiteral("MRU");
const QString kEntryPrefix = QStringLiteral("mnuFileMRU");
const QString kSeparatorName = QStringLiteral("mnuFileSepMRU");

QAction* findAction(const QMenu* menu, const QString& name)
{
    const QList<QAction*> actions = menu->actions();
    for (QAction* a : actions) {
        if (a->objectName() == name)
            return a;
    }
    return nullptr;
}

// The action that follows `after` in the menu, or null when it is the last.
QAction* actionAfter(const QMenu* menu, QAction* after)
{
    const QList<QAction*> actions = menu->actions();
    const qsizetype at = actions.indexOf(after);
    return at >= 0 && at + 1 < actions.size() ? actions[at + 1] : nullptr;
}

bool isSeparator(QChar c)
{
    return c == QLatin1Char('\\') || c == QLatin1Char('/');
}

// Every operation works on a menu: none is an error of the caller.
void attachTo(QMenu* menu)
{
    if (!menu)
        Raise(ErrNo::NoObject);
    MostRecentFilesClass::Attach(menu);
}

QString fileName(const QString& iniFile)
{
    return iniFile.isEmpty() ? IniFileName() : iniFile;
}
} // namespace

MostRecentFilesClass::MostRecentFilesClass(QObject* parent)
    : QObject(parent), m_errorMsg(QStringLiteral("Le fichier \"*\" n'existe plus ou a été déplacé"))
{
}

void MostRecentFilesClass::Attach(QMenu* menu, QAction* before)
{
    if (!menu)
        return;
    QAction* separator = findAction(menu, kSeparatorName);
    if (!separator) {
        separator = new QAction(menu);
        separator->setObjectName(kSeparatorName);
        separator->setSeparator(true);
        separator->setVisible(false);
        menu->insertAction(before, separator);
    }
    if (!findAction(menu, kEntryPrefix + QLatin1Char('0'))) {
        auto* placeholder = new QAction(QStringLiteral("(Vide)"), menu);
        placeholder->setObjectName(kEntryPrefix + QLatin1Char('0'));
        placeholder->setVisible(false);
        menu->insertAction(actionAfter(menu, separator), placeholder);
    }
}

QAction* MostRecentFilesClass::Entry(const QMenu* menu, int index)
{
    if (!menu || index < 1)
        return nullptr;
    return findAction(menu, kEntryPrefix + QString::number(index));
}

int MostRecentFilesClass::Count(const QMenu* menu)
{
    int n = 0;
    while (Entry(menu, n + 1))
        ++n;
    return n;
}

QString MostRecentFilesClass::EntryPath(const QMenu* menu, int index)
{
    const QAction* entry = Entry(menu, index);
    return entry ? entry->data().toString() : QString();
}

QString MostRecentFilesClass::DisplayText(const QString& path)
{
    // Positions count from 1, as in the rule: i is the last separator that
    // still leaves more than 20 characters after it, k the first separator
    // from position 4 on (past a drive "C:\").
    const qsizetype length = path.size();
    qsizetype i = 0;
    for (qsizetype p = length; p >= 1; --p) {
        if (p < length - 20 && isSeparator(path[p - 1])) {
            i = p;
            break;
        }
    }
    qsizetype k = length + 1;
    for (qsizetype p = 4; p <= length; ++p) {
        if (isSeparator(path[p - 1])) {
            k = p;
            break;
        }
    }
    if (i > k)
        return path.left(k) + QStringLiteral("...") + path.mid(i - 1);
    return path;
}

QString MostRecentFilesClass::captionFor(const QString& path) const
{
    const QString display = DisplayText(path);
    if (!m_paramSep.isEmpty() && display.contains(m_paramSep))
        return CaptionTransform(display, m_paramSep);
    // A menu takes "&" as an access-key marker: double it so the path shows as is.
    return QString(display).replace(QLatin1Char('&'), QStringLiteral("&&"));
}

QAction* MostRecentFilesClass::createEntry(QMenu* menu, int index)
{
    QAction* previous =
        index == 1 ? findAction(menu, kEntryPrefix + QLatin1Char('0')) : Entry(menu, index - 1);
    auto* entry = new QAction(menu);
    entry->setObjectName(kEntryPrefix + QString::number(index));
    entry->setVisible(true);
    menu->insertAction(actionAfter(menu, previous), entry);
    // The entry's number is read when it is picked: entries keep their
    // numbers while their contents move.
    connect(entry, &QAction::triggered, this, [this, entry] {
        const int number = entry->objectName().mid(kEntryPrefix.size()).toInt();
        Q_EMIT FileChosen(number, entry->data().toString());
    });
    return entry;
}

void MostRecentFilesClass::Add(QMenu* menu, const QString& path)
{
    Trap("MostRecentFilesClass.Add", [&] { addEntry(menu, path); });
}

void MostRecentFilesClass::addEntry(QMenu* menu, const QString& path)
{
    attachTo(menu);
    int n = Count(menu);

    // 1. A known path moves to the top with the spelling just given.
    bool found = false;
    for (int i = 1; i <= n; ++i) {
        QAction* entry = Entry(menu, i);
        if (entry->data().toString().compare(path, Qt::CaseInsensitive) != 0)
            continue;
        found = true;
        const QString caption = entry->text();
        for (int j = i; j >= 2; --j) {
            Entry(menu, j)->setText(Entry(menu, j - 1)->text());
            Entry(menu, j)->setData(Entry(menu, j - 1)->data());
        }
        Entry(menu, 1)->setText(caption);
        Entry(menu, 1)->setData(path);
    }
    if (found)
        return;

    // 2. A new entry while the list is shorter than MaxRecent; otherwise the
    //    oldest content is pushed out by the shift below.
    if (n < m_maxRecent) {
        createEntry(menu, n + 1);
        findAction(menu, kSeparatorName)->setVisible(true);
        ++n;
    }
    if (n == 0)
        return; // MaxRecent 0: the list holds nothing
    for (int j = n; j >= 2; --j) {
        Entry(menu, j)->setText(Entry(menu, j - 1)->text());
        Entry(menu, j)->setData(Entry(menu, j - 1)->data());
    }
    Entry(menu, 1)->setData(path);
    Entry(menu, 1)->setText(captionFor(path));
}

void MostRecentFilesClass::Load(QMenu* menu, const QString& iniFile)
{
    Trap("MostRecentFilesClass.Load", [&] {
        attachTo(menu);
        const QString file = fileName(iniFile);
        for (int i = m_maxRecent; i >= 1; --i) {
            const QString path = IniRead(kSection, QString::number(i), QString(), file);
            if (!path.isEmpty())
                addEntry(menu, path);
        }
    });
}

void MostRecentFilesClass::Save(QMenu* menu, const QString& iniFile)
{
    Trap("MostRecentFilesClass.Save", [&] { saveEntries(menu, iniFile); });
}

void MostRecentFilesClass::saveEntries(QMenu* menu, const QString& iniFile)
{
    attachTo(menu);
    const QString file = fileName(iniFile);
    if (!IniDeleteSection(kSection, file))
        Raise(ErrNo::PathFileAccess, file);
    const int n = Count(menu);
    for (int i = 1; i <= n; ++i) {
        if (!IniWrite(kSection, QString::number(i), EntryPath(menu, i), file))
            Raise(ErrNo::PathFileAccess, file);
    }
}

void MostRecentFilesClass::Delete(QMenu* menu, int index)
{
    Trap("MostRecentFilesClass.Delete", [&] { deleteEntry(menu, index); });
}

void MostRecentFilesClass::deleteEntry(QMenu* menu, int index)
{
    attachTo(menu);
    const int n = Count(menu);
    if (index < 1 || index > n)
        Raise(ErrNo::SubscriptOutOfRange);
    const QString path = EntryPath(menu, index);
    MsgBox(TextReplace(m_errorMsg, QStringLiteral("*"), path), MsgIcon::Critical, MsgButtons::Ok);
    for (int i = index; i <= n - 1; ++i) {
        Entry(menu, i)->setText(Entry(menu, i + 1)->text());
        Entry(menu, i)->setData(Entry(menu, i + 1)->data());
    }
    QAction* last = Entry(menu, n);
    menu->removeAction(last);
    delete last;
    if (n - 1 == 0)
        findAction(menu, kSeparatorName)->setVisible(false);
}
