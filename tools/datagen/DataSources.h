#pragma once

#include <QList>
#include <QString>
#include <QStringList>

#include <optional>

// The text sources of the data file, as translators edit them under data/:
//   labels/*.tsv    -> T_Labels    header: Tag  Note  <language>...
//   tooltips/*.tsv  -> T_ToolTips  header: Tag  Note  <language>...
//   menus/*.tsv     -> T_Menus     header: Key  Note  <language>...
//   defaults.tsv    -> T_Defaults  header: Key  Valeur  Note
// UTF-8, tab-separated, one row per line; lines starting with "#" are comments
// and blank lines are ignored.

// One row of a text table. key is the tag (a whole number) or the menu
// command's name; texts has one cell per language.
struct TextSourceRow
{
    QString key;
    QString note;
    QStringList texts;
    QString file; // file name only, e.g. "shell.tsv"
    int line = 0;
};

struct TextSourceTable
{
    QStringList languages;
    QList<TextSourceRow> rows;
};

struct DefaultSourceRow
{
    qint64 key = 0;
    std::optional<qint64> value; // nullopt: empty
    QString note;
    int line = 0;
};

// The layout of one source file: its header, comment and blank lines and its
// rows in their order, so that a dump gives back the very file that was read.
struct SourceLine
{
    enum Kind
    {
        Header = 0,
        Row = 1,
        Verbatim = 2
    };
    Kind kind = Verbatim;
    QString text; // Row: the key; Verbatim: the whole line; Header: unused
};

struct SourceLayout
{
    QString path; // relative to the data folder: "labels/shell.tsv", "defaults.tsv"
    QList<SourceLine> lines;
};

struct DataSources
{
    TextSourceTable labels;
    TextSourceTable toolTips;
    TextSourceTable menus;
    QList<DefaultSourceRow> defaults;
    // Empty when the sources were built in memory: then every file is written
    // in its canonical form.
    QList<SourceLayout> layouts;
};

// The languages a table gets when no source file names them.
QStringList StandardLanguages();

// Reads every source under dataDir. Each refusal is one "path:line: message"
// entry of errors; the result is complete only when errors stays empty.
DataSources ReadSources(const QString& dataDir, QStringList& errors);

// Writes the sources under outDir. A file with a layout comes back line for
// line (LF line ends, no byte order mark); rows without a place in a layout
// follow at the end of their file. Files without a layout are written in the
// canonical form: header first, text rows by tag (menus in their stored
// order), defaults by key. Returns false with a message on failure.
bool WriteSources(const DataSources& sources, const QString& outDir, QString& error);

// Checks what both directions need: the same languages in the three text
// tables, unique keys, whole numbers where numbers belong, cells without tabs
// or line breaks. Used before writing a data file and before dumping one.
QStringList CheckSources(const DataSources& sources);

// Rows with an empty text in some language whose Note does not say "may be
// empty" (or "intentionally empty"): one "path:line: Tag 10 has no <language>
// text" each.
// Not a refusal: a translation may be under way. prefix goes before the
// folder, as in ReadSources.
QStringList MissingTranslations(const DataSources& sources, const QString& prefix = QString());
