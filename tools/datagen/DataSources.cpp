#include "DataSources.h"

#include "SourceKinds.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QHash>
#include <QRegularExpression>
#include <QSaveFile>
#include <QSet>
#include <QStringDecoder>

#include <algorithm>
#include <limits>

namespace {

using namespace SourceKinds;

QString Location(const QString& path, int line)
{
    return line > 0 ? path + QLatin1Char(':') + QString::number(line) : path;
}

struct TsvLine
{
    int number = 0;
    QStringList cells;
};

// The non-comment, non-blank lines of a file, split at tabs; the layout, when
// given, records every line in its order.
bool ReadTsv(const QString& path, QList<TsvLine>& lines, QStringList& errors, SourceLayout* layout)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) {
        errors << path + QStringLiteral(": cannot read: ") + file.errorString();
        return false;
    }
    QByteArray bytes = file.readAll();
    if (bytes.startsWith("\xEF\xBB\xBF"))
        bytes.remove(0, 3);
    QList<QByteArray> raw = bytes.split('\n');
    if (bytes.endsWith('\n'))
        raw.removeLast();
    bool ok = true;
    for (int i = 0; i < raw.size(); ++i) {
        QByteArray line = raw[i];
        if (line.endsWith('\r'))
            line.chop(1);
        QStringDecoder decoder(QStringDecoder::Utf8, QStringDecoder::Flag::Stateless);
        const QString text = decoder(line);
        if (decoder.hasError()) {
            errors << Location(path, i + 1) + QStringLiteral(": not valid UTF-8");
            ok = false;
            continue;
        }
        if (text.trimmed().isEmpty() || text.startsWith(QLatin1Char('#'))) {
            if (layout)
                layout->lines.append({SourceLine::Verbatim, text});
            continue;
        }
        lines.append({i + 1, text.split(Tab)});
        if (layout)
            layout->lines.append(lines.size() == 1
                                     ? SourceLine{SourceLine::Header, QString()}
                                     : SourceLine{SourceLine::Row, lines.last().cells.first()});
    }
    return ok;
}

QStringList SourceFiles(const QString& folder)
{
    QDir dir(folder);
    QStringList names = dir.entryList({QStringLiteral("*.tsv")}, QDir::Files, QDir::Name);
    std::sort(names.begin(), names.end());
    return names;
}

void ReadTextTable(const QString& dataDir, const TableKind& kind, TextSourceTable& table,
                   QList<SourceLayout>& layouts, QStringList& errors)
{
    const QString folder = dataDir + QLatin1Char('/') + QLatin1String(kind.folder);
    QString languagesFrom;
    for (const QString& name : SourceFiles(folder)) {
        const QString path = folder + QLatin1Char('/') + name;
        QList<TsvLine> lines;
        SourceLayout layout{QLatin1String(kind.folder) + QLatin1Char('/') + name, {}};
        if (!ReadTsv(path, lines, errors, &layout) && lines.isEmpty())
            continue;
        layouts.append(layout);
        if (lines.isEmpty()) {
            errors << path + QStringLiteral(": no header line");
            continue;
        }
        const TsvLine& header = lines.first();
        if (header.cells.size() < 3 || header.cells[0] != QLatin1String(kind.keyName) ||
            header.cells[1] != QLatin1String("Note")) {
            errors << Location(path, header.number) + QStringLiteral(": the header must be \"") +
                          QLatin1String(kind.keyName) +
                          QStringLiteral("<TAB>Note<TAB>\" followed by the language names");
            continue;
        }
        const QStringList languages = header.cells.mid(2);
        if (languagesFrom.isEmpty()) {
            table.languages = languages;
            languagesFrom = path;
        } else if (languages != table.languages) {
            errors << Location(path, header.number) + QStringLiteral(": languages \"") +
                          languages.join(QLatin1Char(',')) + QStringLiteral("\" differ from \"") +
                          table.languages.join(QLatin1Char(',')) + QStringLiteral("\" of ") +
                          languagesFrom;
            continue;
        }
        for (qsizetype i = 1; i < lines.size(); ++i) {
            const TsvLine& line = lines[i];
            if (line.cells.size() != header.cells.size()) {
                errors << Location(path, line.number) +
                              QStringLiteral(": %1 cells where the header has %2 (a tab missing or "
                                             "one too many?)")
                                  .arg(line.cells.size())
                                  .arg(header.cells.size());
                continue;
            }
            table.rows.append({line.cells[0], line.cells[1], line.cells.mid(2), name, line.number});
        }
    }
}

void ReadDefaults(const QString& dataDir, QList<DefaultSourceRow>& rows,
                  QList<SourceLayout>& layouts, QStringList& errors)
{
    const QString path = dataDir + QStringLiteral("/defaults.tsv");
    if (!QFileInfo::exists(path))
        return;
    QList<TsvLine> lines;
    SourceLayout layout{QStringLiteral("defaults.tsv"), {}};
    ReadTsv(path, lines, errors, &layout);
    layouts.append(layout);
    if (lines.isEmpty()) {
        errors << path + QStringLiteral(": no header line");
        return;
    }
    if (lines.first().cells != DefaultsHeader) {
        errors << Location(path, lines.first().number) +
                      QStringLiteral(": the header must be \"Key<TAB>Valeur<TAB>Note\"");
        return;
    }
    for (qsizetype i = 1; i < lines.size(); ++i) {
        const TsvLine& line = lines[i];
        const QString where = Location(path, line.number);
        if (line.cells.size() != 3) {
            errors << where + QStringLiteral(": %1 cells where the header has 3")
                                  .arg(line.cells.size());
            continue;
        }
        bool ok = false;
        DefaultSourceRow row;
        row.line = line.number;
        row.key = line.cells[0].toLongLong(&ok);
        if (!ok || line.cells[0].trimmed() != line.cells[0]) {
            errors << where + QStringLiteral(": key \"") + line.cells[0] +
                          QStringLiteral("\" is not a whole number");
            continue;
        }
        if (!line.cells[1].isEmpty()) {
            row.value = line.cells[1].toLongLong(&ok);
            if (!ok || line.cells[1].trimmed() != line.cells[1]) {
                errors << where + QStringLiteral(": value \"") + line.cells[1] +
                              QStringLiteral("\" is neither empty nor a whole number");
                continue;
            }
        }
        row.note = line.cells[2];
        rows.append(row);
    }
}

bool SafeCell(const QString& text)
{
    return std::none_of(text.begin(), text.end(), [](QChar c) {
        return c == QLatin1Char('\t') || c == QLatin1Char('\n') || c == QLatin1Char('\r');
    });
}

void CheckTextTable(const TextSourceTable& table, const TableKind& kind, const QString& prefix,
                    QStringList& errors)
{
    static const QRegularExpression tagForm(QStringLiteral("^-?[0-9]+$"));
    static const QRegularExpression keyForm(QStringLiteral("^[A-Za-z_][A-Za-z0-9_()]*$"));
    QHash<QString, QString> seen; // normalised key -> where
    for (const QString& language : table.languages) {
        if (language.isEmpty() || !SafeCell(language))
            errors << prefix + QLatin1String(kind.folder) +
                          QStringLiteral(": empty or odd language name \"") + language +
                          QLatin1Char('"');
    }
    if (QSet<QString>(table.languages.begin(), table.languages.end()).size() !=
        table.languages.size())
        errors << prefix + QLatin1String(kind.folder) +
                      QStringLiteral(": a language is named twice");
    for (const TextSourceRow& row : table.rows) {
        const QString where =
            Location(prefix + QLatin1String(kind.folder) + QLatin1Char('/') + row.file, row.line);
        QString normal = row.key;
        if (kind.numericKey) {
            bool ok = false;
            const qint64 tag = row.key.toLongLong(&ok);
            if (!tagForm.match(row.key).hasMatch() || !ok ||
                tag < std::numeric_limits<int>::min() || tag > std::numeric_limits<int>::max()) {
                errors << where + QStringLiteral(": tag \"") + row.key +
                              QStringLiteral("\" is not a whole number");
                continue;
            }
            normal = QString::number(tag);
        } else {
            if (!keyForm.match(row.key).hasMatch()) {
                errors << where + QStringLiteral(": key \"") + row.key +
                              QStringLiteral("\" is not a command name");
                continue;
            }
            // Menu captions are found by the control's name; two keys that differ
            // only by case would be a trap for translators.
            normal = row.key.toLower();
        }
        const auto previous = seen.constFind(normal);
        if (previous != seen.constEnd()) {
            errors << where + QStringLiteral(": ") + QLatin1String(kind.keyName) +
                          QStringLiteral(" ") + row.key + QStringLiteral(" is already in ") +
                          *previous;
            continue;
        }
        seen.insert(normal, where);
        if (row.texts.size() != table.languages.size()) {
            errors << where + QStringLiteral(": %1 texts for %2 languages")
                                  .arg(row.texts.size())
                                  .arg(table.languages.size());
            continue;
        }
        if (!SafeCell(row.note) || !std::all_of(row.texts.begin(), row.texts.end(), SafeCell))
            errors << where + QStringLiteral(": a cell holds a tab or a line break");
        if (row.file.isEmpty() || row.file.contains(QLatin1Char('/')) ||
            row.file.contains(QLatin1Char('\\')) || row.file.startsWith(QLatin1Char('.')) ||
            !row.file.endsWith(QLatin1String(".tsv")))
            errors << where + QStringLiteral(": source file name \"") + row.file +
                          QStringLiteral("\" is not a plain .tsv name");
    }
}

void CheckDefaults(const QList<DefaultSourceRow>& rows, const QString& prefix, QStringList& errors)
{
    QHash<qint64, int> seen;
    const QString path = prefix + QStringLiteral("defaults.tsv");
    for (const DefaultSourceRow& row : rows) {
        const QString where = Location(path, row.line);
        if (row.key < std::numeric_limits<qint16>::min() ||
            row.key > std::numeric_limits<qint16>::max())
            errors << where + QStringLiteral(": key %1 is outside -32768..32767").arg(row.key);
        if (row.value && (*row.value < std::numeric_limits<qint32>::min() ||
                          *row.value > std::numeric_limits<qint32>::max()))
            errors << where + QStringLiteral(": value %1 does not fit 32 bits").arg(*row.value);
        if (seen.contains(row.key))
            errors << where + QStringLiteral(": key %1 is already in ").arg(row.key) +
                          Location(path, seen.value(row.key));
        else
            seen.insert(row.key, row.line);
        if (!SafeCell(row.note))
            errors << where + QStringLiteral(": the note holds a tab or a line break");
    }
}

QStringList CheckAll(const DataSources& sources, const QString& prefix)
{
    QStringList errors;
    CheckTextTable(sources.labels, LabelsKind, prefix, errors);
    CheckTextTable(sources.toolTips, ToolTipsKind, prefix, errors);
    CheckTextTable(sources.menus, MenusKind, prefix, errors);
    CheckDefaults(sources.defaults, prefix, errors);
    // The console finds the current language by name in every text table.
    const QStringList& reference = sources.labels.languages;
    for (const auto& [table, kind] :
         {std::pair{&sources.toolTips, &ToolTipsKind}, std::pair{&sources.menus, &MenusKind}}) {
        if (table->languages != reference)
            errors << prefix + QLatin1String(kind->folder) + QStringLiteral(": languages \"") +
                          table->languages.join(QLatin1Char(',')) +
                          QStringLiteral("\" differ from \"") + reference.join(QLatin1Char(',')) +
                          QStringLiteral("\" of labels");
    }
    return errors;
}

} // namespace

QStringList StandardLanguages()
{
    return {QStringLiteral("English"), QStringLiteral("Français"), QStringLiteral("Español")};
}

DataSources ReadSources(const QString& dataDir, QStringList& errors)
{
    DataSources sources;
    ReadTextTable(dataDir, LabelsKind, sources.labels, sources.layouts, errors);
    ReadTextTable(dataDir, ToolTipsKind, sources.toolTips, sources.layouts, errors);
    ReadTextTable(dataDir, MenusKind, sources.menus, sources.layouts, errors);
    ReadDefaults(dataDir, sources.defaults, sources.layouts, errors);
    // A table without any source file yet takes the languages of the others.
    QStringList languages = sources.labels.languages;
    for (const TextSourceTable* table : {&sources.toolTips, &sources.menus}) {
        if (languages.isEmpty())
            languages = table->languages;
    }
    if (languages.isEmpty())
        languages = StandardLanguages();
    for (TextSourceTable* table : {&sources.labels, &sources.toolTips, &sources.menus}) {
        if (table->languages.isEmpty() && table->rows.isEmpty())
            table->languages = languages;
    }
    errors << CheckAll(sources, dataDir + QLatin1Char('/'));
    return sources;
}

QStringList CheckSources(const DataSources& sources)
{
    return CheckAll(sources, QString());
}

QStringList MissingTranslations(const DataSources& sources, const QString& prefix)
{
    QStringList missing;
    for (const auto& [table, kind] :
         {std::pair{&sources.labels, &LabelsKind}, std::pair{&sources.toolTips, &ToolTipsKind},
          std::pair{&sources.menus, &MenusKind}}) {
        for (const TextSourceRow& row : table->rows) {
            if (row.note.contains(QLatin1String("may be empty"), Qt::CaseInsensitive) ||
                row.note.contains(QLatin1String("intentionally empty"), Qt::CaseInsensitive))
                continue;
            for (int i = 0; i < row.texts.size() && i < table->languages.size(); ++i) {
                if (row.texts[i].trimmed().isEmpty())
                    missing << Location(prefix + QLatin1String(kind->folder) + QLatin1Char('/') +
                                            row.file,
                                        row.line) +
                                   QStringLiteral(": ") + QLatin1String(kind->keyName) +
                                   QLatin1Char(' ') + row.key + QStringLiteral(" has no ") +
                                   table->languages[i] + QStringLiteral(" text");
            }
        }
    }
    return missing;
}
