// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// Applying a section of the language file: the main window's captions and the message table,
// and the texts of the settings dialog. A key the section lacks gives "ERROR".

#include <array>
#include <optional>
#include <string>

#include "files/ini_reader.h"
#include "state/instrument.h"

namespace veka {

inline constexpr const char* Sprachdatei = "./LANG.INI";

// Nothing for an empty section; else every main-window key and "string1".."string42".
void Sprache_setzen(Instrument& inst, const std::string& sektion, const IniFile& ini);

// The same with the language file, which is read only for a non-empty section.
void Sprache_setzen(Instrument& inst, const std::string& sektion);

// The texts of the settings dialog, in the order of its keys.
struct DialogTexte {
    std::array<std::string, 7> linien;  // labels of the reference lines 1..7
    std::string taktfrequenz, eichfrequenz, fmax, messpunkte, text, lage, sprache, delay;
    std::string messgenauigkeit, baudrate, hardwareversion;  // radio group captions
    std::string ok, cancel;
    std::string caption;  // "menu38" without its first "&"
};

// Nothing for an empty section: the dialog keeps its texts.
std::optional<DialogTexte> SpracheEinTexte(const std::string& sektion, const IniFile& ini);

// The same with the language file.
std::optional<DialogTexte> SpracheEinTexte(const std::string& sektion);

}  // namespace veka
