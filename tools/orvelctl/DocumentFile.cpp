#include "DocumentFile.h"

#include "ExitCode.h"
#include "texts/DataFunctions.h"
#include "util/RuntimeError.h"
#include "util/UiSeam.h"

#include <QFileInfo>

int LoadDocument(const QString& path, ConfigClass& config)
{
    GetAllDefaults(config);
    const QFileInfo info(path);
    if (!info.exists() || info.isDir()) {
        MsgBox(QStringLiteral("%1: %2").arg(path, ErrorDescription(ErrNo::FileNotFound)),
               MsgIcon::Critical);
        return ExitFile;
    }
    // A damaged file is reported by Load itself.
    return config.Load(path) ? ExitSuccess : ExitFile;
}
