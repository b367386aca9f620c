#include "PathFunctions.h"

#include <QFile>

namespace {
qsizetype lastSeparator(const QString& path)
{
    return qMax(path.lastIndexOf(QLatin1Char('\\')), path.lastIndexOf(QLatin1Char('/')));
}
} // namespace

QString FolderOf(const QString& path)
{
    const qsizetype i = lastSeparator(path);
    if (i < 0)
        return {};
    if (i == 0)
        return path.left(1); // the root "/" keeps its separator
    return path.left(i);
}

QString FileNameOf(const QString& path)
{
    return path.mid(lastSeparator(path) + 1);
}

QString JoinPath(const QString& folder, const QString& name)
{
    if (folder.isEmpty())
        return name;
    if (folder.endsWith(QLatin1Char('/')) || folder.endsWith(QLatin1Char('\\')))
        return folder + name;
    const QChar sep = folder.contains(QLatin1Char('\\')) && !folder.contains(QLatin1Char('/'))
                          ? QLatin1Char('\\')
                          : QLatin1Char('/');
    return folder + sep + name;
}

bool IsExactLocalName(const QByteArray& raw)
{
    return QFile::encodeName(QFile::decodeName(raw)) == raw;
}
