// SPDX-License-Identifier: GPL-3.0-or-later
#include "files/config_file.h"

#include <filesystem>

#include <array>
#include <new>

#include "files/integer_rule.h"
#include "files/safe_file.h"
#include "files/text_codec.h"

namespace veka {

namespace {

// One integer line of the key table.
struct IntegerKey {
    std::string_view text;
    int32_t& (*field)(Einstellungen&);
    int32_t vorgabe;
};

#define VEKA_FIELD(expr) [](Einstellungen& e) -> int32_t& { return e.expr; }

// Lines 3 to 45, in file order, after the two string lines.
constexpr std::array<IntegerKey, KonfigZeilen - 2> kIntegerKeys{{
    {"Startfrequenz    =", VEKA_FIELD(Startfrequenz), 10000000},
    {"Endfrequenz      =", VEKA_FIELD(Endfrequenz), 35000000},
    {"Schrittweite     =", VEKA_FIELD(Schrittweite), 1000},
    {"Taktfrequenz     =", VEKA_FIELD(Taktfrequenz), 100000000},
    {"Eichfrequenz     =", VEKA_FIELD(Eichfrequenz), 10000000},
    {"Zwischenfrequenz =", VEKA_FIELD(Zwischenfrequenz), 9000000},
    {"ZF-Berechnung    =", VEKA_FIELD(ZFBerechnung), 0},
    {"Comport          =", VEKA_FIELD(Comport), 2},
    {"Korrfaktor1Dlog  =", VEKA_FIELD(Dlog.k1), 50},
    {"Korrfaktor2Dlog  =", VEKA_FIELD(Dlog.k2), 250},
    {"Korrfaktor1Rlog  =", VEKA_FIELD(Rlog.k1), 50},
    {"Korrfaktor2Rlog  =", VEKA_FIELD(Rlog.k2), 250},
    {"Korrfaktor1Slog  =", VEKA_FIELD(Slog.k1), 50},
    {"Korrfaktor2Slog  =", VEKA_FIELD(Slog.k2), 250},
    {"Korrfaktor1Dlin  =", VEKA_FIELD(Dlin.k1), 50},
    {"Korrfaktor2Dlin  =", VEKA_FIELD(Dlin.k2), 250},
    {"Korrfaktor1Rlin  =", VEKA_FIELD(Rlin.k1), 50},
    {"Korrfaktor2Rlin  =", VEKA_FIELD(Rlin.k2), 250},
    {"Korrfaktor1Slin  =", VEKA_FIELD(Slin.k1), 50},
    {"Korrfaktor2Slin  =", VEKA_FIELD(Slin.k2), 250},
    {"Delay            =", VEKA_FIELD(Delay), 1},
    {"Line1            =", VEKA_FIELD(Line[0]), 50},
    {"Line2            =", VEKA_FIELD(Line[1]), 100},
    {"Line3            =", VEKA_FIELD(Line[2]), 150},
    {"Line4            =", VEKA_FIELD(Line[3]), 200},
    {"Line5            =", VEKA_FIELD(Line[4]), 250},
    {"Line6            =", VEKA_FIELD(Line[5]), 300},
    {"Line7            =", VEKA_FIELD(Line[6]), 350},
    {"Line1 Text       =", VEKA_FIELD(LineText[0]), 12},
    {"Line2 Text       =", VEKA_FIELD(LineText[1]), 15},
    {"Line3 Text       =", VEKA_FIELD(LineText[2]), 18},
    {"Line4 Text       =", VEKA_FIELD(LineText[3]), 20},
    {"Line5 Text       =", VEKA_FIELD(LineText[4]), 25},
    {"Line6 Text       =", VEKA_FIELD(LineText[5]), 30},
    {"Line7 Text       =", VEKA_FIELD(LineText[6]), 40},
    {"Messpunkte       =", VEKA_FIELD(Messpunkte), 280},
    {"Hintergrundfarbe =", VEKA_FIELD(Hintergrundfarbe), 255},
    {"Diagrammfarbe    =", VEKA_FIELD(Diagrammfarbe), 0},
    {"Kurvenfarbe      =", VEKA_FIELD(Kurvenfarbe), 230},
    {"Freq. Markenfarbe=", VEKA_FIELD(Markenfarbe), 150},
    {"Cursor           =", VEKA_FIELD(Cursor), 24},
    {"Baudrate         =", VEKA_FIELD(Baudrate), 9600},
    {"Messgenauigkeit  =", VEKA_FIELD(Messgenauigkeit), 8},
}};

#undef VEKA_FIELD

constexpr std::string_view kHardwareKey = "Hardwareversion  =";
constexpr std::string_view kHardwareDefault = "VEKA";
constexpr std::string_view kSpracheKey = "Sprache          =";
constexpr std::string_view kSpracheDefault = "-DL";

// Step 2 of reading a line: everything up to and including the first "=" goes.
std::string_view valueText(std::string_view line) {
    const size_t eq = line.find('=');
    return eq == std::string_view::npos ? line : line.substr(eq + 1);
}

}  // namespace

void ZahlZeileUebertragen(ConfigLines& datei, std::string_view schluessel, int32_t& wert,
                          int32_t vorgabe) {
    if (datei.richtung == Richtung::Schreiben) {
        datei.writer->line(std::string(schluessel) + std::to_string(wert));
        return;
    }
    wert = integerOr(valueText(datei.reader->next()), vorgabe);
}

void TextZeileUebertragen(ConfigLines& datei, std::string_view schluessel, std::string& wert,
                          std::string_view vorgabe) {
    if (datei.richtung == Richtung::Schreiben) {
        datei.writer->line(std::string(schluessel) + utf8ToCp1252(wert));
        return;
    }
    const std::string_view text = valueText(datei.reader->next());
    wert = text.empty() ? std::string(vorgabe) : cp1252ToUtf8(text);
}

void KonfigUebertragen(ConfigLines& datei, Einstellungen& e) {
    TextZeileUebertragen(datei, kHardwareKey, e.Hardwareversion, kHardwareDefault);
    TextZeileUebertragen(datei, kSpracheKey, e.Sprache, kSpracheDefault);
    for (const IntegerKey& key : kIntegerKeys)
        ZahlZeileUebertragen(datei, key.text, key.field(e), key.vorgabe);
    // The measured-value arrays hold no more points.
    if (datei.richtung == Richtung::Lesen && e.Messpunkte > MaxPunkte) e.Messpunkte = MaxPunkte;
}

Einstellungen konfigurationsVorgaben() {
    Einstellungen e;
    e.Hardwareversion = kHardwareDefault;
    e.Sprache = kSpracheDefault;
    for (const IntegerKey& key : kIntegerKeys) key.field(e) = key.vorgabe;
    return e;
}

std::string konfigurationSchreiben(const Einstellungen& e) {
    Einstellungen copy = e;
    LineWriter writer;
    ConfigLines datei = ConfigLines::into(writer);
    KonfigUebertragen(datei, copy);
    return writer.take();
}

void konfigurationLesen(std::string_view bytes, Einstellungen& e) {
    LineReader reader(bytes);
    ConfigLines datei = ConfigLines::from(reader);
    KonfigUebertragen(datei, e);
}

bool holdsSettings(std::string_view bytes) {
    LineReader reader(bytes);
    reader.next();  // the two text lines
    reader.next();
    for (size_t k = 0; k < kIntegerKeys.size(); ++k)
        if (parseInteger(valueText(reader.next()))) return true;
    return false;
}

bool konfigurationLaden(const std::string& path, Einstellungen& e, ReadStatus* status,
                        bool refuseJunk) {
    const auto bytes = readFileBytes(path, MaxKonfigBytes, status);
    if (!bytes) return false;
    try {
        if (refuseJunk && !holdsSettings(*bytes)) {
            if (status) *status = ReadStatus::Unreadable;
            return false;
        }
        Einstellungen gelesen = e;
        konfigurationLesen(*bytes, gelesen);
        e = std::move(gelesen);
        return true;
    } catch (const std::bad_alloc&) {
        if (status) *status = ReadStatus::Unreadable;
        return false;
    }
}

std::string startupLoadOrCreate(Einstellungen& e, const std::string& path) {
    ReadStatus status = ReadStatus::Unreadable;
    if (konfigurationLaden(path, e, &status)) return {};
    if (status == ReadStatus::TooLarge) return tooLargeMessage(path, MaxKonfigBytes);
    // Something is there that we cannot read: never replace a user's file.
    std::error_code ec;
    if (std::filesystem::exists(std::filesystem::symlink_status(path, ec)))
        return "Die Datei \"" + path + "\" konnte nicht gelesen werden.";
    std::string error;
    if (saveFileSafely(path, konfigurationSchreiben(e), &error)) return {};
    return error;
}

}  // namespace veka
