#pragma once

#include <QString>

#include <cstdint>

// The console's settings file, orvel.ini. It sits beside the program; when that
// folder cannot be written (an installed program) the user's settings live in
// the user's configuration folder instead (orvel/orvel.ini there). A read-only
// orvel.ini beside the program is then a preset (a port and a language chosen
// by an administrator): it is still read, under the user's file, whose keys
// win. The console and its command-line companion share the files. The
// ORVEL_INI environment variable names another, single file, for scripts and
// tests.
//
// A file is read again only once it has changed; one that cannot be read (not
// a regular file, too large) is reported once and reads as every key absent.

// The file that takes the writes.
QString IniFileName();
// The read-only preset beside the program read under IniFileName(), or "".
QString PresetIniFileName();
// Forces the one file for this process (tests); an empty name restores the rule above.
void SetIniFileNameOverride(const QString& fileName);
// Puts the program's folder and the user's configuration folder elsewhere
// (tests); empty names restore the real ones.
void SetIniFolders(const QString& programFolder, const QString& userFolder);

// The stored value (the user's file first, then the preset), or defaultValue
// when no file holds the key.
QString GetIniParam(const QString& section, const QString& key, const QString& defaultValue = {});
// Store, remove a key, remove a section, in IniFileName(); a preset is never
// changed. A file that cannot be written is reported under
// ZEBfonctions.<operation>; the file is then left as it was.
void SetIniParam(const QString& section, const QString& key, const QString& value);
void DelIniParam(const QString& section, const QString& key);
void DelIniSection(const QString& section);

// Typed readers with the conversions the callers make: the default is passed
// as text and the stored text converted back. A text that does not convert
// raises the type-mismatch error (13), a number out of range the overflow
// error (6), for the caller's error trap to report.
std::int16_t GetIniInt(const QString& section, const QString& key, std::int16_t defaultValue);
std::int32_t GetIniLong(const QString& section, const QString& key, std::int32_t defaultValue);
// "True", "False" (any case) or a number, non-zero being true.
bool GetIniBool(const QString& section, const QString& key, bool defaultValue);
double GetIniDouble(const QString& section, const QString& key, double defaultValue);

// The same conversions on a text, for values that arrive from elsewhere.
std::int16_t TextToInt(const QString& text);
std::int32_t TextToLong(const QString& text);
bool TextToBool(const QString& text);
double TextToDouble(const QString& text);
