#pragma once

#include <QHash>
#include <QIcon>
#include <QString>
#include <QStringList>

// The main window's image list imlTools: 16 x 16 images keyed by command name,
// drawn for the console and kept in its resources (icons/<key>.svg).
class ImageList
{
public:
    // Loads every image of the console's own set.
    void LoadStandard();

    static QStringList StandardKeys();
    bool Contains(const QString& key) const { return m_images.contains(key); }
    QIcon Image(const QString& key) const { return m_images.value(key); }
    int Count() const { return static_cast<int>(m_images.size()); }

private:
    QHash<QString, QIcon> m_images;
};
