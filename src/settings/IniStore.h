#pragma once

#include <QString>

#include <cstdint>

// The console's settings file, orvel.ini. It sits beside the program; when that
// folder cannot be written (an installed program) it lives in the user's
// configuration folder instead (orvel/orvel.ini there). The console and its
// command-line companion share the one file. The ORVEL_INI environment
// variable names another file, for scripts and tests.
//
// Each operation opens the file anew: nothing is cached.

QString IniFileName();
// Forces the file for this process (tests); an empty name restores the rule above.
void SetIniFileNameOverride(const QString& fileName);

// The stored value, or defaultValue when the key or the file does not exist.
QString GetIniParam(const QString& section, const QString& key, const QString& defaultValue = {});
// Store, remove a key, remove a section. A file that cannot be written is
// reported under ZEBfonctions.<operation>; the file is then left as it was.
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
