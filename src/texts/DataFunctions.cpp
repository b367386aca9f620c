#include "DataFunctions.h"

#include "DataFileKey.h"
#include "DataFileState.h"

#include "util/ErrorHandling.h"

#include <QCoreApplication>

#include <cmath>
#include <optional>

namespace {

constexpr int LabelsDefaultColumn = 3; // T_Labels and T_ToolTips: Tag, Note, Source, languages
constexpr int MenusDefaultColumn = 2;  // T_Menus: Key, Note, languages

// A tag given as text: nullopt when it is not a number (the empty text
// included). A number that is not a whole 64-bit value can have no row.
struct ParsedTag
{
    bool whole = false;
    qint64 value = 0;
};

std::optional<ParsedTag> ParseTag(const QString& tag)
{
    const QString trimmed = tag.trimmed();
    if (trimmed.isEmpty())
        return std::nullopt;
    bool ok = false;
    const qint64 whole = trimmed.toLongLong(&ok);
    if (ok)
        return ParsedTag{true, whole};
    // Other number forms ("12.0", "1e3") seek their value when it is whole.
    const double number = trimmed.toDouble(&ok);
    if (!ok || !std::isfinite(number))
        return std::nullopt;
    if (number == std::floor(number) && std::fabs(number) < 9.0e18)
        return ParsedTag{true, qint64(number)};
    return ParsedTag{false, 0};
}

// The column of the current language in a table whose language columns start
// at firstLanguage. When the current language names no language column of the
// table, it becomes, for the rest of the run, the name of the default column.
int LanguageColumn(const CachedTable& table, int firstLanguage)
{
    QString& language = DataState().language;
    if (table.columns.size() <= firstLanguage)
        Raise(ErrNo::DataItemNotFound, QStringLiteral("no language column"));
    if (language.isEmpty())
        return firstLanguage;
    for (int i = firstLanguage; i < table.columns.size(); ++i) {
        if (table.columns[i].compare(language, Qt::CaseInsensitive) == 0)
            return i;
    }
    language = table.columns[firstLanguage];
    return firstLanguage;
}

QString Cell(const QStringList& row, int column)
{
    const QString& value = row.value(column);
    return value.isNull() ? QStringLiteral("") : value;
}

// Text of a numeric tag in T_Labels or T_ToolTips; nullopt when no row has it.
std::optional<QString> TaggedText(CachedTable& cache, const QString& table, qint64 tag)
{
    CachedTable& loaded = TextTable(cache, table, true);
    const auto row = loaded.byNumber.constFind(tag);
    if (row == loaded.byNumber.constEnd())
        return std::nullopt;
    return Cell(*row, LanguageColumn(loaded, LabelsDefaultColumn));
}

QString TextOfTag(std::optional<qint64> tag, const QString& shown)
{
    std::optional<QString> text;
    if (tag)
        text = TaggedText(DataState().labels, QStringLiteral("T_Labels"), *tag);
    if (!text)
        return QLatin1Char('#') + shown + QLatin1Char('#');
    return text->replace(QLatin1Char('|'), QLatin1String("\r\n"));
}

QString ToolTipOfTag(qint64 tag)
{
    return TaggedText(DataState().toolTips, QStringLiteral("T_ToolTips"), tag)
        .value_or(QStringLiteral(""));
}

void ForgetTables()
{
    DataFileState& state = DataState();
    state.labels = {};
    state.toolTips = {};
    state.menus = {};
    state.defaults = {};
}

} // namespace

QString DataFileName()
{
    return QCoreApplication::applicationDirPath() + QStringLiteral("/orvel.dat");
}

bool OpenDataFile(const QString& path)
{
    auto db = std::make_unique<CipherDb>();
    if (!db->open(path, QByteArray(DataFilePassword), CipherDb::Mode::ReadOnly) || !db->verify())
        return false;
    // An empty file opens as an empty database: without its tables it is not a
    // data file.
    for (const char* table : {"T_Labels", "T_ToolTips", "T_Menus", "T_Defaults"}) {
        if (!db->hasTable(QLatin1String(table)))
            return false;
    }
    DataState().db = std::move(db);
    ForgetTables();
    SetTextLookup([](int tag) { return GetText(tag); });
    return true;
}

void CloseDataFile()
{
    SetTextLookup({});
    DataState().db.reset();
    ForgetTables();
}

bool DataFileIsOpen()
{
    const DataFileState& state = DataState();
    return state.db && state.db->isOpen();
}

QString CurrentLanguage()
{
    return DataState().language;
}

void SetCurrentLanguage(const QString& language)
{
    DataState().language = language;
}

QStringList Languages()
{
    return Trap("DataFunctions.Languages", [] {
        const CachedTable& labels = TextTable(DataState().labels, QStringLiteral("T_Labels"), true);
        // A language is offered when its column has a text for tag 0, so that a
        // column can be shipped before its translation is ready.
        const auto row0 = labels.byNumber.constFind(0);
        QStringList names;
        for (int i = LabelsDefaultColumn; i < labels.columns.size(); ++i) {
            if (row0 == labels.byNumber.constEnd() || !row0->value(i).isEmpty())
                names << labels.columns[i];
        }
        return names;
    });
}

QString GetText(const QString& tag)
{
    const auto parsed = ParseTag(tag);
    if (!parsed)
        return QStringLiteral("");
    return Trap("DataFunctions.GetText", [&] {
        return TextOfTag(parsed->whole ? std::optional<qint64>(parsed->value) : std::nullopt, tag);
    });
}

QString GetText(int tag)
{
    return Trap("DataFunctions.GetText", [&] { return TextOfTag(tag, QString::number(tag)); });
}

QString GetCaption(int tag)
{
    return GetText(tag).replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
}

QString GetToolTip(const QString& tag)
{
    const auto parsed = ParseTag(tag);
    if (!parsed)
        return QStringLiteral("");
    return Trap("DataFunctions.GetToolTip",
                [&] { return parsed->whole ? ToolTipOfTag(parsed->value) : QStringLiteral(""); });
}

QString GetToolTip(int tag)
{
    return Trap("DataFunctions.GetToolTip", [&] { return ToolTipOfTag(tag); });
}

QString GetMenuText(const QString& key)
{
    return Trap("DataFunctions.GetMenuText", [&] {
        CachedTable& menus = TextTable(DataState().menus, QStringLiteral("T_Menus"), false);
        const auto row = menus.byName.constFind(key);
        if (row == menus.byName.constEnd())
            return QString();
        return Cell(*row, LanguageColumn(menus, MenusDefaultColumn));
    });
}

QString GetMenuToolTip(const QString& key)
{
    const QString text = GetMenuText(key);
    if (text.isNull())
        return text;
    QString tip;
    for (qsizetype i = 0; i < text.size(); ++i) {
        if (text[i] == QLatin1Char('&') && ++i == text.size())
            break;
        tip += text[i];
    }
    if (tip.endsWith(QLatin1String("...")))
        tip.chop(3);
    return tip;
}
