#pragma once

#include <QString>

// Private-profile INI files: "[section]" lines open sections, "key=value" lines
// hold values. Section and key names compare without regard to case and
// without surrounding blanks; a value is read without surrounding blanks and
// without one pair of enclosing quotes. Writes and deletes keep every other
// line (sections, keys, comments, blank lines) in place and in order, and
// replace the file only once the new content is completely written.
//
// A missing file reads as every key absent; the first write creates it. A
// damaged or binary file yields what its lines can give. The file is read as
// UTF-8, or as Windows-1252 when it is not valid UTF-8, and written as UTF-8.

QString IniRead(const QString& section, const QString& key, const QString& defaultValue,
                const QString& fileName);

// Each returns false when the file could not be written.
[[nodiscard]] bool IniWrite(const QString& section, const QString& key, const QString& value,
                            const QString& fileName);
[[nodiscard]] bool IniDeleteKey(const QString& section, const QString& key,
                                const QString& fileName);
[[nodiscard]] bool IniDeleteSection(const QString& section, const QString& fileName);
