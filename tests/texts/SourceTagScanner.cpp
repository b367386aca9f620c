#include "SourceTagScanner.h"

#include <QDirIterator>
#include <QFile>
#include <QRegularExpression>

#include <algorithm>

namespace {

int LineOf(const QString& text, qsizetype offset)
{
    return int(text.left(offset).count(QLatin1Char('\n'))) + 1;
}

// The text with comments and string contents kept in place (same offsets),
// comments blanked out; the comments alone, likewise.
void SplitComments(const QString& text, QString& code, QString& comments)
{
    code = text;
    comments = QString(text.size(), QLatin1Char(' '));
    enum
    {
        Code,
        Line,
        Block,
        String,
        Char
    } state = Code;
    for (qsizetype i = 0; i < text.size(); ++i) {
        const QChar c = text[i];
        const QChar next = i + 1 < text.size() ? text[i + 1] : QChar();
        switch (state) {
        case Code:
            if (c == QLatin1Char('/') && next == QLatin1Char('/'))
                state = Line;
            else if (c == QLatin1Char('/') && next == QLatin1Char('*'))
                state = Block;
            else if (c == QLatin1Char('"'))
                state = String;
            else if (c == QLatin1Char('\''))
                state = Char;
            break;
        case String:
        case Char:
            if (c == QLatin1Char('\\'))
                ++i;
            else if ((state == String && c == QLatin1Char('"')) ||
                     (state == Char && c == QLatin1Char('\'')))
                state = Code;
            continue;
        case Line:
            if (c == QLatin1Char('\n'))
                state = Code;
            break;
        case Block:
            if (c == QLatin1Char('*') && next == QLatin1Char('/')) {
                comments[i] = c;
                code[i] = QLatin1Char(' ');
                ++i;
                comments[i] = text[i];
                code[i] = QLatin1Char(' ');
                state = Code;
                continue;
            }
            break;
        }
        if (state == Line || state == Block) {
            if (c != QLatin1Char('\n')) {
                comments[i] = c;
                code[i] = QLatin1Char(' ');
            }
        }
    }
}

void Add(QMap<qint64, QString>& map, qint64 tag, const QString& location)
{
    if (!map.contains(tag))
        map.insert(tag, location);
}

// "1001, 1100-1123, 31150 - 31167" -> the tags.
QList<qint64> ParseList(const QString& list)
{
    QList<qint64> tags;
    static const QRegularExpression item(QStringLiteral("(\\d+)(?:\\s*-\\s*(\\d+))?"));
    auto it = item.globalMatch(list);
    while (it.hasNext()) {
        const auto m = it.next();
        const qint64 first = m.captured(1).toLongLong();
        const qint64 last = m.captured(2).isEmpty() ? first : m.captured(2).toLongLong();
        for (qint64 t = first; t <= last && t - first < 100000; ++t)
            tags << t;
    }
    return tags;
}

// Integer literals of an initializer, without array subscripts.
QList<qint64> Literals(QString initializer)
{
    static const QRegularExpression subscript(QStringLiteral("\\[[^\\]]*\\]"));
    static const QRegularExpression literal(QStringLiteral("(?<![\\w.])(\\d+)(?![\\w.])"));
    initializer.remove(subscript);
    QList<qint64> values;
    auto it = literal.globalMatch(initializer);
    while (it.hasNext())
        values << it.next().captured(1).toLongLong();
    return values;
}

} // namespace

void ScanSource(const QString& text, const QString& where, SourceReferences& refs)
{
    QString code, comments;
    SplitComments(text, code, comments);
    auto at = [&](qsizetype offset) {
        return where + QLatin1Char(':') + QString::number(LineOf(text, offset));
    };

    // 1. Lookups with a literal tag: GetText, GetToolTip and the windows' own
    //    helpers named ...Text or ...caption.
    static const QRegularExpression call(QStringLiteral(
        "\\b(GetToolTip|(?!set)\\w*Text|(?!set)\\w*[Cc]aption)\\s*\\(\\s*(?:(?:QStringLiteral|"
        "QString|QLatin1String)\\s*\\(\\s*)?\"?\\s*(\\d+)\\s*\"?\\s*\\)"));
    for (auto it = call.globalMatch(code); it.hasNext();) {
        const auto m = it.next();
        const qint64 tag = m.captured(2).toLongLong();
        Add(m.captured(1) == QLatin1String("GetToolTip") ? refs.toolTips : refs.labels, tag,
            at(m.capturedStart()));
    }

    // 2. Constants and members named ...Tag, ...Tags, ...TextBase or ...tagged,
    //    initialised (=) or filled (<<) with literals.
    static const QRegularExpression named(
        QStringLiteral("\\b\\w*(?:[Tt]ags?|TextBase|[tT]agged)\\s*(?:\\[[^\\]]*\\])?\\s*(?:=(?!=)|<"
                       "<)\\s*([^;]*);"));
    for (auto it = named.globalMatch(code); it.hasNext();) {
        const auto m = it.next();
        for (qint64 tag : Literals(m.captured(1)))
            Add(refs.labels, tag, at(m.capturedStart()));
    }

    // 3. Controls that carry their tag.
    static const QRegularExpression property(
        QStringLiteral("setProperty\\s*\\(\\s*\"[Tt]ag\"\\s*,\\s*(\\d+)\\s*\\)"));
    for (auto it = property.globalMatch(code); it.hasNext();) {
        const auto m = it.next();
        Add(refs.labels, m.captured(1).toLongLong(), at(m.capturedStart()));
    }

    // 4. Comment markers for tags the code computes: "tags: 1-3, 7" and
    //    "tooltips: 1-3".
    static const QRegularExpression marker(QStringLiteral(
        "\\b(tags|tooltips):\\s*(\\d+(?:\\s*-\\s*\\d+)?(?:\\s*,\\s*\\d+(?:\\s*-\\s*\\d+)?)*)"));
    for (auto it = marker.globalMatch(comments); it.hasNext();) {
        const auto m = it.next();
        auto& map = m.captured(1) == QLatin1String("tags") ? refs.labels : refs.toolTips;
        for (qint64 tag : ParseList(m.captured(2)))
            Add(map, tag, at(m.capturedStart()));
    }

    // 5. Menu command names: string literals "mnu...", except separators and
    //    the recent-file entries, which take no caption from the table, and
    //    the language images of the image list, which no item shows.
    static const QRegularExpression menu(QStringLiteral("\"(mnu[A-Za-z0-9_]*)\""));
    for (auto it = menu.globalMatch(text); it.hasNext();) {
        const auto m = it.next();
        const QString key = m.captured(1);
        if (comments[m.capturedStart()] != QLatin1Char(' '))
            continue; // inside a comment
        if (key.contains(QLatin1String("Sep")) || key.startsWith(QLatin1String("mnuFileMRU")) ||
            key.startsWith(QLatin1String("mnuLang")))
            continue;
        if (!refs.menuKeys.contains(key))
            refs.menuKeys.insert(key, at(m.capturedStart()));
    }
}

void ScanFolder(const QString& folder, const QStringList& skip, SourceReferences& refs)
{
    QDirIterator it(folder, {QStringLiteral("*.cpp"), QStringLiteral("*.h")}, QDir::Files,
                    QDirIterator::Subdirectories);
    QStringList files;
    while (it.hasNext())
        files << it.next();
    files.sort();
    for (const QString& path : files) {
        const QString relative = path.mid(folder.size() + 1);
        if (std::any_of(skip.begin(), skip.end(), [&](const QString& s) {
                return relative.startsWith(s + QLatin1Char('/'));
            }))
            continue;
        QFile file(path);
        if (!file.open(QIODevice::ReadOnly))
            continue;
        ScanSource(QString::fromUtf8(file.readAll()), QStringLiteral("src/") + relative, refs);
    }
}
