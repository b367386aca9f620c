#include "DataSources.h"

#include "SourceKinds.h"

#include <QDir>
#include <QFileInfo>
#include <QHash>
#include <QRegularExpression>
#include <QSaveFile>
#include <QSet>

#include <algorithm>

// Writing the text sources back under a folder, from a dump of a data file.

namespace {

using namespace SourceKinds;

bool WriteFile(const QString& path, const QString& text, QString& error)
{
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly) || file.write(text.toUtf8()) < 0 || !file.commit()) {
        error = path + QStringLiteral(": cannot write: ") + file.errorString();
        return false;
    }
    return true;
}

// Where a file's text is put together before it is written.
struct OutputFiles
{
    QStringList order;             // relative paths, in writing order
    QHash<QString, QString> texts; // relative path -> text

    QString& text(const QString& path, const QString& header)
    {
        if (!texts.contains(path)) {
            order << path;
            texts.insert(path, header);
        }
        return texts[path];
    }
};

QString TextHeader(const TextSourceTable& table, const TableKind& kind)
{
    return QStringList{QLatin1String(kind.keyName), QStringLiteral("Note")}.join(Tab) + Tab +
           table.languages.join(Tab) + QLatin1Char('\n');
}

QString TextLine(const TextSourceRow& row)
{
    return row.key + Tab + row.note + Tab + row.texts.join(Tab) + QLatin1Char('\n');
}

QString DefaultLine(const DefaultSourceRow& row)
{
    return QString::number(row.key) + Tab + (row.value ? QString::number(*row.value) : QString()) +
           Tab + row.note + QLatin1Char('\n');
}

// The key a layout line and a row share: tags by value, names as they are.
QString LayoutKey(const QString& key, bool numeric)
{
    if (!numeric)
        return key;
    bool ok = false;
    const qint64 value = key.toLongLong(&ok);
    return ok ? QString::number(value) : key;
}

bool SafeLayoutPath(const QString& path)
{
    static const QRegularExpression form(
        QStringLiteral("^(?:(?:labels|tooltips|menus)/[^/\\\\.][^/\\\\]*\\.tsv|defaults\\.tsv)$"));
    return form.match(path).hasMatch();
}

// The files of one text table: first those with a layout, line for line,
// then the rows no layout placed, at the end of their file (canonical order).
void LayTextTable(const TextSourceTable& table, const TableKind& kind,
                  const QList<SourceLayout>& layouts, OutputFiles& out)
{
    const QString folder = QLatin1String(kind.folder) + QLatin1Char('/');
    const QString header = TextHeader(table, kind);
    QHash<QString, const TextSourceRow*> byKey;
    for (const TextSourceRow& row : table.rows)
        byKey.insert(folder + row.file + QLatin1Char('\t') + LayoutKey(row.key, kind.numericKey),
                     &row);
    QSet<const TextSourceRow*> placed;
    for (const SourceLayout& layout : layouts) {
        if (!layout.path.startsWith(folder))
            continue;
        QString& text = out.text(layout.path, QString());
        for (const SourceLine& line : layout.lines) {
            if (line.kind == SourceLine::Header) {
                text += header;
            } else if (line.kind == SourceLine::Verbatim) {
                text += line.text + QLatin1Char('\n');
            } else if (const TextSourceRow* row =
                           byKey.value(layout.path + QLatin1Char('\t') +
                                       LayoutKey(line.text, kind.numericKey))) {
                if (!placed.contains(row)) {
                    text += TextLine(*row);
                    placed.insert(row);
                }
            }
        }
    }
    QList<const TextSourceRow*> rest;
    for (const TextSourceRow& row : table.rows) {
        if (!placed.contains(&row))
            rest << &row;
    }
    if (kind.numericKey)
        std::stable_sort(rest.begin(), rest.end(),
                         [](const TextSourceRow* a, const TextSourceRow* b) {
                             return a->key.toLongLong() < b->key.toLongLong();
                         });
    for (const TextSourceRow* row : rest)
        out.text(folder + row->file, header) += TextLine(*row);
}

void LayDefaults(const QList<DefaultSourceRow>& rows, const QList<SourceLayout>& layouts,
                 OutputFiles& out)
{
    const QString path = QStringLiteral("defaults.tsv");
    const QString header = DefaultsHeader.join(Tab) + QLatin1Char('\n');
    QHash<QString, const DefaultSourceRow*> byKey;
    for (const DefaultSourceRow& row : rows)
        byKey.insert(QString::number(row.key), &row);
    QSet<const DefaultSourceRow*> placed;
    for (const SourceLayout& layout : layouts) {
        if (layout.path != path)
            continue;
        QString& text = out.text(path, QString());
        for (const SourceLine& line : layout.lines) {
            if (line.kind == SourceLine::Header) {
                text += header;
            } else if (line.kind == SourceLine::Verbatim) {
                text += line.text + QLatin1Char('\n');
            } else if (const DefaultSourceRow* row = byKey.value(LayoutKey(line.text, true))) {
                if (!placed.contains(row)) {
                    text += DefaultLine(*row);
                    placed.insert(row);
                }
            }
        }
    }
    QList<const DefaultSourceRow*> rest;
    for (const DefaultSourceRow& row : rows) {
        if (!placed.contains(&row))
            rest << &row;
    }
    std::stable_sort(
        rest.begin(), rest.end(),
        [](const DefaultSourceRow* a, const DefaultSourceRow* b) { return a->key < b->key; });
    QString& text = out.text(path, header);
    for (const DefaultSourceRow* row : rest)
        text += DefaultLine(*row);
}

} // namespace

bool WriteSources(const DataSources& sources, const QString& outDir, QString& error)
{
    for (const SourceLayout& layout : sources.layouts) {
        if (!SafeLayoutPath(layout.path)) {
            error = QStringLiteral("source file \"") + layout.path +
                    QStringLiteral("\" is not a plain data file name");
            return false;
        }
    }
    OutputFiles out;
    LayTextTable(sources.labels, LabelsKind, sources.layouts, out);
    LayTextTable(sources.toolTips, ToolTipsKind, sources.layouts, out);
    LayTextTable(sources.menus, MenusKind, sources.layouts, out);
    LayDefaults(sources.defaults, sources.layouts, out);
    for (const QString& path : out.order) {
        const QString target = outDir + QLatin1Char('/') + path;
        if (!QDir().mkpath(QFileInfo(target).path())) {
            error = QFileInfo(target).path() + QStringLiteral(": cannot create the folder");
            return false;
        }
        if (!WriteFile(target, out.texts.value(path), error))
            return false;
    }
    return true;
}
