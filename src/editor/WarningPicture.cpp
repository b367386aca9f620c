#include "WarningPicture.h"

#include <QPainter>
#include <QSvgRenderer>

static void LoadEditorResources()
{
    // The pictures live in this static library: they must be registered by name.
    Q_INIT_RESOURCE(editor);
}

QPixmap WarningPicture(int size)
{
    LoadEditorResources();
    QPixmap picture(size, size);
    picture.fill(Qt::transparent);
    QSvgRenderer renderer(QStringLiteral(":/editor/images/warning.svg"));
    QPainter painter(&picture);
    renderer.render(&painter);
    return picture;
}
