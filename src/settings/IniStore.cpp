#include "settings/IniStore.h"

#include "util/ErrorHandling.h"
#include "util/IniFile.h"
#include "util/WholeNumber.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QLocale>
#include <QStandardPaths>

#include <cmath>

namespace {
QString& overrideName()
{
    static QString name;
    return name;
}

const QString kBaseName = QStringLiteral("orvel.ini");

QString programFolder()
{
    if (QCoreApplication::instance())
        return QCoreApplication::applicationDirPath();
    return QDir::currentPath();
}
} // namespace

QString IniFileName()
{
    if (!overrideName().isEmpty())
        return overrideName();
    const QString fromEnv = qEnvironmentVariable("ORVEL_INI");
    if (!fromEnv.isEmpty())
        return fromEnv;
    const QString beside = QDir(programFolder()).filePath(kBaseName);
    const QFileInfo file(beside);
    if (file.exists() ? file.isWritable() : QFileInfo(programFolder()).isWritable())
        return beside;
    const QString userFolder =
        QStandardPaths::writableLocation(QStandardPaths::GenericConfigLocation) +
        QStringLiteral("/orvel");
    QDir().mkpath(userFolder);
    return userFolder + QLatin1Char('/') + kBaseName;
}

void SetIniFileNameOverride(const QString& fileName)
{
    overrideName() = fileName;
}

QString GetIniParam(const QString& section, const QString& key, const QString& defaultValue)
{
    return Trap("ZEBfonctions.GetIniParam",
                [&] { return IniRead(section, key, defaultValue, IniFileName()); });
}

void SetIniParam(const QString& section, const QString& key, const QString& value)
{
    Trap("ZEBfonctions.SetIniParam", [&] {
        if (!IniWrite(section, key, value, IniFileName()))
            Raise(ErrNo::PathFileAccess, IniFileName());
    });
}

void DelIniParam(const QString& section, const QString& key)
{
    Trap("ZEBfonctions.DelIniParam", [&] {
        if (!IniDeleteKey(section, key, IniFileName()))
            Raise(ErrNo::PathFileAccess, IniFileName());
    });
}

void DelIniSection(const QString& section)
{
    Trap("ZEBfonctions.DelIniSection", [&] {
        if (!IniDeleteSection(section, IniFileName()))
            Raise(ErrNo::PathFileAccess, IniFileName());
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
