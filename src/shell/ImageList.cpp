#include "ImageList.h"

#include <QFile>

// The resources of a static library are registered by hand, outside any namespace.
static void InitShellResources()
{
    Q_INIT_RESOURCE(shell);
}

QStringList ImageList::StandardKeys()
{
    return {QStringLiteral("mnuFileRead"),        QStringLiteral("mnuFileWrite"),
            QStringLiteral("mnuFileSave"),        QStringLiteral("mnuFileOpen"),
            QStringLiteral("mnuFilePreview"),     QStringLiteral("mnuFilePrint"),
            QStringLiteral("mnuFileNew"),         QStringLiteral("mnuEditCopy"),
            QStringLiteral("mnuEditPaste"),       QStringLiteral("mnuLangFrench"),
            QStringLiteral("mnuLangSpanish"),     QStringLiteral("mnuLangEnglish"),
            QStringLiteral("mnuHelpContext"),     QStringLiteral("mnuToolsReadBuffer"),
            QStringLiteral("mnuToolsClearBuffer")};
}

void ImageList::LoadStandard()
{
    InitShellResources();
    m_images.clear();
    for (const QString& key : StandardKeys()) {
        const QString path = QStringLiteral(":/shell/icons/") + key + QStringLiteral(".svg");
        if (QFile::exists(path))
            m_images.insert(key, QIcon(path));
    }
}
