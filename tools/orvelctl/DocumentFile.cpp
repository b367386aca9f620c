#include "DocumentFile.h"

#include "ExitCode.h"
#include "texts/DataFunctions.h"
#include "util/RuntimeError.h"
#include "util/SafeFile.h"
#include "util/UiSeam.h"

int LoadDocument(const QString& path, ConfigClass& config)
{
    GetAllDefaults(config);
    const FileKind kind = KindOfFile(path);
    if (kind != FileKind::Regular) {
        const QString why = kind == FileKind::Missing ? ErrorDescription(ErrNo::FileNotFound)
                                                      : NotRegularFileText();
        MsgBox(QStringLiteral("%1: %2").arg(path, why), MsgIcon::Critical);
        return ExitFile;
    }
    // A damaged file is reported by Load itself.
    return config.Load(path) ? ExitSuccess : ExitFile;
}
