#include "settings/IniStore.h"

#include "util/ErrorHandling.h"
#include "util/IniFile.h"
#include "util/WholeNumber.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QLocale>
#include <QSet>
#include <QStandardPaths>

#include <cmath>

#ifdef Q_OS_UNIX
#include <unistd.h>
#endif

namespace {
QString& overrideName()
{
    static QString name;
    return name;
}

struct Folders
{
    QString program;
    QString user;
};
Folders& testFolders()
{
    static Folders folders;
    return folders;
}

const QString kBaseName = QStringLiteral("orvel.ini");

QString programFolder()
{
    if (!testFolders().program.isEmpty())
        return testFolders().program;
    if (QCoreApplication::instance())
        return QCoreApplication::applicationDirPath();
    return QDir::currentPath();
}

QString userFolder()
{
    if (!testFolders().user.isEmpty())
        return testFolders().user;
    return QStandardPaths::writableLocation(QStandardPaths::GenericConfigLocation) +
           QStringLiteral("/orvel");
}

bool writable(const QString& path)
{
#ifdef Q_OS_UNIX
    return ::access(QFile::encodeName(path).constData(), W_OK) == 0;
#else
    return QFileInfo(path).isWritable();
#endif
}

// The file that takes the writes, and the preset file beside the program that
// is read under it when the program's folder cannot be written (a file is
// replaced whole, so its folder must take a new file).
struct IniFiles
{
    QString written;
    QString preset;
    bool inUserFolder = false;
};

IniFiles iniFiles()
{
    if (!overrideName().isEmpty())
        return {overrideName(), {}};
    const QString fromEnv = qEnvironmentVariable("ORVEL_INI");
    if (!fromEnv.isEmpty())
        return {fromEnv, {}};
    const QString beside = QDir(programFolder()).filePath(kBaseName);
    const QString user = userFolder() + QLatin1Char('/') + kBaseName;
    if (QFileInfo::exists(beside))
        return writable(beside) && writable(programFolder()) ? IniFiles{beside, {}}
                                                             : IniFiles{user, beside, true};
    return writable(programFolder()) ? IniFiles{beside, {}} : IniFiles{user, {}, true};
}

// Files that cannot be read are reported once, not at every key.
QSet<QString>& reportedFiles()
{
    static QSet<QString> files;
    return files;
}

// The file's read error, reported the first time it is met.
bool readable(const QString& fileName)
{
    const int error = IniFileError(fileName);
    if (error == 0) {
        reportedFiles().remove(fileName);
        return true;
    }
    if (!reportedFiles().contains(fileName)) {
        reportedFiles().insert(fileName);
        ReportError(QStringLiteral("ZEBfonctions.GetIniParam"), error);
    }
    return false;
}

} // namespace

QString IniFileName()
{
    // Whoever asks for the name writes there sooner or later: the user's
    // folder is made now.
    const IniFiles files = iniFiles();
    if (files.inUserFolder)
        QDir().mkpath(userFolder());
    return files.written;
}

QString PresetIniFileName()
{
    return iniFiles().preset;
}

void SetIniFileNameOverride(const QString& fileName)
{
    overrideName() = fileName;
}

void SetIniFolders(const QString& program, const QString& user)
{
    testFolders() = {program, user};
}

QString GetIniParam(const QString& section, const QString& key, const QString& defaultValue)
{
    return Trap("ZEBfonctions.GetIniParam", [&] {
        const IniFiles files = iniFiles();
        for (const QString& file : {files.written, files.preset}) {
            if (file.isEmpty() || !readable(file))
                continue;
            if (const auto value = IniLookup(section, key, file))
                return *value;
        }
        return defaultValue;
    });
}

void SetIniParam(const QString& section, const QString& key, const QString& value)
{
    Trap("ZEBfonctions.SetIniParam", [&] {
        const QString file = IniFileName();
        if (!IniWrite(section, key, value, file))
            Raise(ErrNo::PathFileAccess, file);
    });
}

void DelIniParam(const QString& section, const QString& key)
{
    Trap("ZEBfonctions.DelIniParam", [&] {
        const QString file = IniFileName();
        if (!IniDeleteKey(section, key, file))
            Raise(ErrNo::PathFileAccess, file);
    });
}

void DelIniSection(const QString& section)
{
    Trap("ZEBfonctions.DelIniSection", [&] {
        const QString file = IniFileName();
        if (!IniDeleteSection(section, file))
            Raise(ErrNo::PathFileAccess, file);
    });
}

double TextToDouble(const QString& text)
{
    bool ok = false;
    const double value = QLocale::c().toDouble(text.trimmed(), &ok);
    if (!ok || !std::isfinite(value))
        Raise(ErrNo::TypeMismatch, text);
    return value;
}

std::int16_t TextToInt(const QString& text)
{
    return WholeNumber<std::int16_t>(TextToDouble(text), text);
}

std::int32_t TextToLong(const QString& text)
{
    return WholeNumber<std::int32_t>(TextToDouble(text), text);
}

bool TextToBool(const QString& text)
{
    const QString t = text.trimmed();
    if (t.compare(QStringLiteral("True"), Qt::CaseInsensitive) == 0)
        return true;
    if (t.compare(QStringLiteral("False"), Qt::CaseInsensitive) == 0)
        return false;
    return TextToDouble(t) != 0.0;
}

std::int16_t GetIniInt(const QString& section, const QString& key, std::int16_t defaultValue)
{
    return TextToInt(GetIniParam(section, key, QString::number(defaultValue)));
}

std::int32_t GetIniLong(const QString& section, const QString& key, std::int32_t defaultValue)
{
    return TextToLong(GetIniParam(section, key, QString::number(defaultValue)));
}

bool GetIniBool(const QString& section, const QString& key, bool defaultValue)
{
    return TextToBool(
        GetIniParam(section, key, defaultValue ? QStringLiteral("True") : QStringLiteral("False")));
}

double GetIniDouble(const QString& section, const QString& key, double defaultValue)
{
    return TextToDouble(GetIniParam(section, key, QString::number(defaultValue, 'g', 17)));
}
