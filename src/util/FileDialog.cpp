#include "FileDialog.h"

#include "PathFunctions.h"

#include <QRegularExpression>

QString FilterToQt(const QString& filter)
{
    const QStringList parts = filter.split(QLatin1Char('|'));
    QStringList out;
    for (qsizetype i = 0; i + 1 < parts.size(); i += 2) {
        QString description = parts[i].trimmed();
        QStringList patterns = parts[i + 1].split(QLatin1Char(';'), Qt::SkipEmptyParts);
        for (QString& p : patterns)
            p = p.trimmed();
        const QString pattern = patterns.join(QLatin1Char(' '));
        // Qt reads the last parenthesised group as the patterns, so a description
        // that shows its own "(*.x)" is replaced by one that holds the real ones.
        static const QRegularExpression trailing(QStringLiteral("\\s*\\([^()]*\\)\\s*$"));
        description.remove(trailing);
        if (description.isEmpty())
            description = pattern;
        out << description + QStringLiteral(" (") + pattern + QLatin1Char(')');
    }
    return out.join(QStringLiteral(";;"));
}

QString ShowFileDialog(const FileDialogRequest& request)
{
    const QStringList chosen = Ui().fileDialog(request);
    if (chosen.isEmpty())
        return {};
    if (chosen.size() == 1)
        return chosen.first();
    QString result = FolderOf(chosen.first());
    for (const QString& path : chosen)
        result += QChar(0) + FileNameOf(path);
    return result;
}

QStringList SplitFileDialogResult(const QString& result)
{
    if (result.isEmpty())
        return {};
    const QStringList parts = result.split(QChar(0));
    if (parts.size() == 1)
        return parts;
    QStringList paths;
    for (qsizetype i = 1; i < parts.size(); ++i)
        paths << JoinPath(parts.first(), parts[i]);
    return paths;
}
