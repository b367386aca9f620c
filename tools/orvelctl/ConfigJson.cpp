#include "ConfigJson.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonValue>
#include <QStringList>

#include <functional>

namespace {

using Channel = std::function<qint64(int)>;

QString numbers(int first, int last, const std::function<qint64(int)>& at)
{
    QStringList items;
    for (int i = first; i <= last; ++i)
        items.append(QString::number(at(i)));
    return QLatin1Char('[') + items.join(QStringLiteral(", ")) + QLatin1Char(']');
}

QString channels(const Channel& at)
{
    return numbers(1, ConfigClass::Channels, at);
}

// A JSON string literal, escaped as JSON requires.
QString text(const QString& value)
{
    // An array of one string serialises the string with every escape in place.
    const QByteArray array = QJsonDocument(QJsonArray{value}).toJson(QJsonDocument::Compact);
    return QString::fromUtf8(array.mid(1, array.size() - 2));
}

} // namespace

QByteArray ConfigToJson(const ConfigClass& c)
{
    QList<QPair<QString, QString>> p;
    p.append({QStringLiteral("InSecu"), channels([&](int ch) { return c.InSecu(ch); })});
    p.append({QStringLiteral("InTempo"), channels([&](int ch) { return c.InTempo(ch); })});
    p.append({QStringLiteral("InSequence"), channels([&](int ch) { return c.InSequence(ch); })});
    p.append({QStringLiteral("InDetect"), channels([&](int ch) { return c.InDetect(ch); })});
    p.append({QStringLiteral("InRelance"), channels([&](int ch) { return c.InRelance(ch); })});
    p.append({QStringLiteral("InBlocage"), channels([&](int ch) { return c.InBlocage(ch); })});
    QStringList redirs;
    for (int ch = 1; ch <= ConfigClass::Channels; ++ch)
        redirs.append(
            numbers(1, ConfigClass::Redirections, [&](int k) { return c.InRedir(ch, k); }));
    p.append({QStringLiteral("InRedir"),
              QLatin1Char('[') + redirs.join(QStringLiteral(", ")) + QLatin1Char(']')});
    p.append({QStringLiteral("InSynth"), channels([&](int ch) { return c.InSynth(ch); })});
    p.append({QStringLiteral("InTypeKL"), channels([&](int ch) { return c.InTypeKL(ch); })});
    p.append({QStringLiteral("InDisturb"), channels([&](int ch) { return c.InDisturb(ch); })});
    p.append({QStringLiteral("InRepBlock"), channels([&](int ch) { return c.InRepBlock(ch); })});
    p.append({QStringLiteral("OutSecu"), channels([&](int ch) { return c.OutSecu(ch); })});
    p.append({QStringLiteral("OutPilot"), channels([&](int ch) { return c.OutPilot(ch); })});
    p.append({QStringLiteral("OutMode"), channels([&](int ch) { return c.OutMode(ch); })});
    p.append({QStringLiteral("GenParam"),
              numbers(0, ConfigClass::GenParamCount - 1, [&](int i) { return c.GenParam(i); })});
    p.append({QStringLiteral("GenTempoRelance"), QString::number(c.GenTempoRelance())});
    p.append({QStringLiteral("ModuleNo"), QString::number(c.ModuleNo())});
    p.append({QStringLiteral("ModuleName"), text(c.ModuleName())});
    p.append({QStringLiteral("ModuleType"), text(c.ModuleType())});
    p.append({QStringLiteral("BrightMin"), QString::number(c.BrightMin())});
    p.append({QStringLiteral("SupplyType"), QString::number(c.SupplyType())});
    p.append({QStringLiteral("CommonType"), QString::number(c.CommonType())});

    QStringList lines;
    for (const auto& [key, value] : p)
        lines.append(QStringLiteral("  \"%1\": %2").arg(key, value));
    return (QStringLiteral("{\n") + lines.join(QStringLiteral(",\n")) + QStringLiteral("\n}\n"))
        .toUtf8();
}
