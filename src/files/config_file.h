// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// Configuration files: 45 lines "key text=value" in a fixed order, and the start-up file
// that is loaded, or created with the current state when it cannot be read. Reading assigns
// lines by position alone; the key texts are only written.

#include <string>
#include <string_view>

#include "files/text_lines.h"
#include "state/instrument.h"

namespace veka {

inline constexpr int KonfigZeilen = 45;

// A configuration file has about 1200 bytes; a larger one than this is not read.
inline constexpr size_t MaxKonfigBytes = size_t{1} << 20;

enum class Richtung { Lesen, Schreiben };

// The open file of one transfer: a reader when reading, a writer when writing.
struct ConfigLines {
    Richtung richtung;
    LineReader* reader = nullptr;
    LineWriter* writer = nullptr;

    static ConfigLines from(LineReader& r) { return {Richtung::Lesen, &r, nullptr}; }
    static ConfigLines into(LineWriter& w) { return {Richtung::Schreiben, nullptr, &w}; }
};

// Writing: key text and decimal value as one line. Reading: the next line's value after its
// first "=" (or the whole line without "="), or the default when that is no valid integer.
void ZahlZeileUebertragen(ConfigLines& datei, std::string_view schluessel, int32_t& wert,
                          int32_t vorgabe);

// The same for a string (UTF-8 inside, Windows-1252 in the file); an empty value read gives
// the default.
void TextZeileUebertragen(ConfigLines& datei, std::string_view schluessel, std::string& wert,
                          std::string_view vorgabe);

// All 45 settings in file order. Reading takes a Messpunkte above 300 as 300.
void KonfigUebertragen(ConfigLines& datei, Einstellungen& e);

// The values a setting takes when its line is missing or unreadable.
Einstellungen konfigurationsVorgaben();

// The bytes of a configuration file holding these settings.
std::string konfigurationSchreiben(const Einstellungen& e);

// Reads a configuration file's bytes into the settings.
void konfigurationLesen(std::string_view bytes, Einstellungen& e);

// Whether bytes hold settings at all: at least one of the number lines holds a number. Text of
// another kind holds none; read as a configuration it would give nothing but start values.
bool holdsSettings(std::string_view bytes);

// Reads a configuration file into the settings; true when it could be read. A file that
// cannot be read, or runs out of memory, leaves the settings as they were; so does one that
// holds no settings when refuseJunk is set (its status is then Unreadable).
bool konfigurationLaden(const std::string& path, Einstellungen& e, ReadStatus* status = nullptr,
                        bool refuseJunk = false);

// Start-up: loads the file when it can be read, else creates it with the settings as they
// are. A file that exists but cannot be read (no regular file, over MaxKonfigBytes) is never
// replaced. Returns an empty text on success, else the error text to show once; the settings
// then keep their values.
std::string startupLoadOrCreate(Einstellungen& e, const std::string& path);

}  // namespace veka
