#pragma once

#include <QString>
#include <QStringList>

// The shape of each kind of source file under data/ (internal to the generator).
namespace SourceKinds {

inline const QString Tab = QStringLiteral("\t");

struct TableKind
{
    const char* folder;  // under data/
    const char* keyName; // first header cell
    bool numericKey;
};

inline const TableKind LabelsKind{"labels", "Tag", true};
inline const TableKind ToolTipsKind{"tooltips", "Tag", true};
inline const TableKind MenusKind{"menus", "Key", false};
inline const QStringList DefaultsHeader{QStringLiteral("Key"), QStringLiteral("Valeur"),
                                        QStringLiteral("Note")};

} // namespace SourceKinds
