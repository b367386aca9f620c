#pragma once

#include <QString>

#include <optional>

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
//
// A file is read once and kept while it stays the same (same size, times and
// identity), so asking for many keys reads it once. Only a regular file of at
// most MaxIniFileBytes is read: anything else (a named pipe, a device, a
// larger file) reads as every key absent, IniFileError tells why, and it is
// never replaced by a write.

constexpr qint64 MaxIniFileBytes = 4 * 1024 * 1024;

QString IniRead(const QString& section, const QString& key, const QString& defaultValue,
                const QString& fileName);
// The stored value, or nullopt when the key is absent.
std::optional<QString> IniLookup(const QString& section, const QString& key,
                                 const QString& fileName);
// 0 when the file can be read (or does not exist), otherwise the error number
// of the reason it cannot.
int IniFileError(const QString& fileName);

// Each returns false when the file could not be written.
[[nodiscard]] bool IniWrite(const QString& section, const QString& key, const QString& value,
                            const QString& fileName);
[[nodiscard]] bool IniDeleteKey(const QString& section, const QString& key,
                                const QString& fileName);
[[nodiscard]] bool IniDeleteSection(const QString& section, const QString& fileName);
