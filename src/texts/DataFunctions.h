#pragma once

#include "config/ConfigClass.h"

#include <QString>
#include <QStringList>
#include <QVariant>

#include <cstdint>

// The data file: texts, tool tips, menu captions and default values in
// several languages, in an encrypted database beside the program (orvel.dat).

// orvel.dat beside the program.
QString DataFileName();
// Opens the data file with the program's password. False when it is missing,
// has another password or is damaged. Replaces a data file already open.
[[nodiscard]] bool OpenDataFile(const QString& path);
void CloseDataFile();
bool DataFileIsOpen();

// Current language: the name of a language column ("" = the default column).
QString CurrentLanguage();
void SetCurrentLanguage(const QString& language);
// The language columns of the texts table, default first.
QStringList Languages();

// Text of a tag: "" for a non-numeric tag, "#tag#" when no row has it, "|"
// turned into CR LF.
QString GetText(const QString& tag);
QString GetText(int tag);
// Text of a tag for a window caption, a label or a button: the line marks are
// single line feeds, the line break widgets show.
QString GetCaption(int tag);
// Gives every (control, tag) pair the caption of its tag through the
// control's "text" property, which labels and buttons share.
template <class TaggedControls> void SetCaptions(const TaggedControls& tagged)
{
    for (const auto& [control, tag] : tagged)
        control->setProperty("text", GetCaption(tag));
}
// Tool tip of a tag: "" when no row has it; "|" kept.
QString GetToolTip(const QString& tag);
QString GetToolTip(int tag);
// Caption of a menu command by its name; a null string when no row has it.
QString GetMenuText(const QString& key);
// Tool tip of a tool bar button, from the menu caption of its key: without
// the access key marks ("&", "&&" being a plain "&") and a trailing "...";
// a null string when no row has it.
QString GetMenuToolTip(const QString& key);

// "Valeur" of a default key; 0 when no row or an empty value.
std::int32_t GetDefaultValue(std::int16_t key);
// Fill a section (or all four) with the defaults; false when a default could
// not be taken, the failure reported once per section and the fields before
// it filled.
bool GetInputDefaults(ConfigClass& config);
bool GetOutputDefaults(ConfigClass& config);
bool GetGenDefaults(ConfigClass& config);
bool GetFactoryDefaults(ConfigClass& config);
bool GetAllDefaults(ConfigClass& config);
