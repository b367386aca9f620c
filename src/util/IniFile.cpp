#include "IniFile.h"

#include "Cp1252.h"
#include "SafeFile.h"

#include <QDateTime>
#include <QFile>
#include <QFileInfo>
#include <QHash>
#include <QMutex>
#include <QStringConverter>
#include <QStringList>

#ifdef Q_OS_UNIX
#include <sys/stat.h>
#endif

namespace {

// The lines of one INI file with the line ending it uses.
struct IniText
{
    QStringList lines;
    QString eol;
    bool exists = false;
    int error = 0; // the file exists but cannot be read
};

QString decode(const QByteArray& raw)
{
    QByteArray bytes = raw;
    if (bytes.startsWith("\xEF\xBB\xBF"))
        bytes.remove(0, 3);
    auto toUtf16 = QStringDecoder(QStringDecoder::Utf8, QStringDecoder::Flag::Stateless);
    QString text = toUtf16(bytes);
    if (toUtf16.hasError())
        return FromCp1252(bytes);
    return text;
}

// A file's identity and state: a file that keeps them holds what was read.
struct Signature
{
    bool exists = false;
    qint64 size = 0;
    qint64 modifiedNs = 0;
    qint64 changedNs = 0;
    quint64 device = 0;
    quint64 inode = 0;
    bool operator==(const Signature&) const = default;
};

Signature signatureOf(const QString& fileName)
{
#ifdef Q_OS_UNIX
    struct stat st
    {
    };
    if (::stat(QFile::encodeName(fileName).constData(), &st) != 0)
        return {};
    return {true,
            qint64(st.st_size),
            qint64(st.st_mtim.tv_sec) * 1000000000 + st.st_mtim.tv_nsec,
            qint64(st.st_ctim.tv_sec) * 1000000000 + st.st_ctim.tv_nsec,
            quint64(st.st_dev),
            quint64(st.st_ino)};
#else
    const QFileInfo info(fileName);
    if (!info.exists())
        return {};
    return {true,
            info.size(),
            info.lastModified().toMSecsSinceEpoch() * 1000000,
            info.metadataChangeTime().toMSecsSinceEpoch() * 1000000,
            0,
            0};
#endif
}

QString defaultEol()
{
#ifdef Q_OS_WIN
    return QStringLiteral("\r\n");
#else
    return QStringLiteral("\n");
#endif
}

// The files read so far, each with its state when read: a file is read again
// only once it has changed, so asking for many keys costs one read.
struct CacheEntry
{
    Signature signature;
    IniText ini;
};

QMutex cacheMutex;
QHash<QString, CacheEntry>& cache()
{
    static QHash<QString, CacheEntry> entries;
    return entries;
}

IniText parse(const QByteArray& raw)
{
    IniText ini;
    ini.eol = defaultEol();
    ini.exists = true;
    const QString text = decode(raw);
    if (text.contains(QLatin1Char('\n')))
        ini.eol =
            text.contains(QStringLiteral("\r\n")) ? QStringLiteral("\r\n") : QStringLiteral("\n");
    QString normal = text;
    normal.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
    normal.replace(QLatin1Char('\r'), QLatin1Char('\n'));
    ini.lines = normal.split(QLatin1Char('\n'));
    if (!ini.lines.isEmpty() && ini.lines.last().isEmpty())
        ini.lines.removeLast(); // the final line ending
    return ini;
}

IniText readIni(const QString& fileName)
{
    const Signature signature = signatureOf(fileName);
    QMutexLocker lock(&cacheMutex);
    const auto cached = cache().constFind(fileName);
    if (cached != cache().constEnd() && cached->signature == signature)
        return cached->ini;
    IniText ini;
    ini.eol = defaultEol();
    if (signature.exists) {
        QByteArray raw;
        FileFailure failure;
        if (ReadWholeFile(fileName, MaxIniFileBytes, raw, &failure))
            ini = parse(raw);
        else
            ini.error = failure.number;
    }
    cache().insert(fileName, {signature, ini});
    return ini;
}

void forget(const QString& fileName)
{
    QMutexLocker lock(&cacheMutex);
    cache().remove(fileName);
}

bool writeIni(const IniText& ini, const QString& fileName)
{
    QString text;
    for (const QString& line : ini.lines)
        text += line + ini.eol;
    const bool written = SafeWriteFile(fileName, text.toUtf8());
    forget(fileName);
    return written;
}

// The section name of a "[name]" line, or a null string for any other line.
QString sectionName(const QString& line)
{
    const QString t = line.trimmed();
    if (!t.startsWith(QLatin1Char('[')))
        return {};
    const qsizetype close = t.indexOf(QLatin1Char(']'));
    if (close < 0)
        return {};
    const QString name = t.mid(1, close - 1).trimmed();
    return name.isNull() ? QStringLiteral("") : name;
}

bool isComment(const QString& line)
{
    const QString t = line.trimmed();
    return t.startsWith(QLatin1Char(';')) || t.startsWith(QLatin1Char('#'));
}

// The key of a "key=value" line, or a null string.
QString keyName(const QString& line)
{
    if (isComment(line) || !sectionName(line).isNull())
        return {};
    const qsizetype eq = line.indexOf(QLatin1Char('='));
    if (eq < 0)
        return {};
    const QString key = line.left(eq).trimmed();
    return key.isEmpty() ? QString() : key;
}

bool sameName(const QString& a, const QString& b)
{
    return a.compare(b, Qt::CaseInsensitive) == 0;
}

// [begin, end) of the lines of the first section with this name, header
// included; begin = -1 when there is none.
std::pair<qsizetype, qsizetype> findSection(const QStringList& lines, const QString& section)
{
    const QString wanted = section.trimmed();
    for (qsizetype i = 0; i < lines.size(); ++i) {
        const QString name = sectionName(lines[i]);
        if (name.isNull() || !sameName(name, wanted))
            continue;
        qsizetype end = i + 1;
        while (end < lines.size() && sectionName(lines[end]).isNull())
            ++end;
        return {i, end};
    }
    return {-1, -1};
}

qsizetype findKey(const QStringList& lines, std::pair<qsizetype, qsizetype> range,
                  const QString& key)
{
    const QString wanted = key.trimmed();
    for (qsizetype i = range.first + 1; i < range.second; ++i)
        if (sameName(keyName(lines[i]), wanted))
            return i;
    return -1;
}

// Values and names are single lines: a line break inside one would split the file.
QString oneLine(const QString& text)
{
    QString out = text;
    out.replace(QLatin1Char('\r'), QLatin1Char(' '));
    out.replace(QLatin1Char('\n'), QLatin1Char(' '));
    return out;
}

} // namespace

std::optional<QString> IniLookup(const QString& section, const QString& key,
                                 const QString& fileName)
{
    const IniText ini = readIni(fileName);
    const auto range = findSection(ini.lines, section);
    if (range.first < 0)
        return std::nullopt;
    const qsizetype at = findKey(ini.lines, range, key);
    if (at < 0)
        return std::nullopt;
    const QString& line = ini.lines[at];
    QString value = line.mid(line.indexOf(QLatin1Char('=')) + 1).trimmed();
    if (value.size() >= 2 &&
        (value.front() == QLatin1Char('"') || value.front() == QLatin1Char('\'')) &&
        value.back() == value.front())
        value = value.mid(1, value.size() - 2);
    return value;
}

QString IniRead(const QString& section, const QString& key, const QString& defaultValue,
                const QString& fileName)
{
    return IniLookup(section, key, fileName).value_or(defaultValue);
}

int IniFileError(const QString& fileName)
{
    return readIni(fileName).error;
}

bool IniWrite(const QString& section, const QString& key, const QString& value,
              const QString& fileName)
{
    IniText ini = readIni(fileName);
    if (ini.error != 0)
        return false; // what it holds is unknown: it is never replaced
    const QString entry = oneLine(key).trimmed() + QLatin1Char('=') + oneLine(value);
    const auto range = findSection(ini.lines, section);
    if (range.first < 0) {
        ini.lines << QLatin1Char('[') + oneLine(section).trimmed() + QLatin1Char(']') << entry;
        return writeIni(ini, fileName);
    }
    const qsizetype at = findKey(ini.lines, range, key);
    if (at >= 0) {
        ini.lines[at] = entry;
    } else {
        // After the last non-blank line of the section, so blank lines that
        // separate it from the next section stay where they are.
        qsizetype insertAt = range.second;
        while (insertAt > range.first + 1 && ini.lines[insertAt - 1].trimmed().isEmpty())
            --insertAt;
        ini.lines.insert(insertAt, entry);
    }
    return writeIni(ini, fileName);
}

bool IniDeleteKey(const QString& section, const QString& key, const QString& fileName)
{
    IniText ini = readIni(fileName);
    if (ini.error != 0)
        return false;
    const auto range = findSection(ini.lines, section);
    if (range.first < 0)
        return true;
    const qsizetype at = findKey(ini.lines, range, key);
    if (at < 0)
        return true;
    ini.lines.removeAt(at);
    return writeIni(ini, fileName);
}

bool IniDeleteSection(const QString& section, const QString& fileName)
{
    IniText ini = readIni(fileName);
    if (ini.error != 0)
        return false;
    const auto range = findSection(ini.lines, section);
    if (range.first < 0)
        return true;
    ini.lines.remove(range.first, range.second - range.first);
    return writeIni(ini, fileName);
}
