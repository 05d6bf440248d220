// SPDX-License-Identifier: GPL-3.0-or-later
#include "files/sprache.h"

#include <string_view>
#include <utility>

#include "files/data_paths.h"

namespace veka {

namespace {

using enum Control;

// The main-window keys in the order they are applied.
constexpr std::pair<std::string_view, Control> kFensterSchluessel[] = {
    {"Button1", Button1},
    {"Button2", Button2},
    {"Button3", Button3},
    {"Button4", Button4},
    {"Button5", Button5},
    {"Button6", Button6},
    {"Button7", Button7},
    {"Button8", Button8},
    {"Button9", Button9},
    {"Button10", Button10},
    {"Button11", Button11},
    {"Button12", Button12},
    {"Button13", Button13},
    {"Button14", Button14},
    {"Button15", Button15},
    {"Button16", Button16},
    {"Button17", Button17},
    {"Button18", Button18},
    {"Button19", Button19},
    {"Label1", Label3},
    {"Label2", Label4},
    {"Label3", Label5},
    {"Label4", Label6},
    {"Label5", Label13},
    {"Menu10", MenuDatei},
    {"Menu11", Oeffnen1},
    {"Menu12", Speichern1},
    {"Menu13", MessreiheSpeichern1},
    {"Menu14", Messreiheladen1},
    {"Menu15", Diagrammdrucken1},
    {"Menu16", Beenden1},
    {"Menu20", MenuMessung},
    {"Menu21", Durchgangsmessung1},
    {"Menu22", Reflexionsmessung1},
    {"Menu23", Spektralmessung1},
    {"Menu24", VFO1},
    {"Menu30", MenuEinstellungen},
    {"Menu31", Frequenz1},
    {"Menu32", Minus1},
    {"Menu33", Plus1},
    {"Menu34", Schrittweite1},
    {"Menu70", Dmpfung1},
    {"Menu71", Dmpfung2},
    {"Menu35", ZFEingabe1},
    {"Menu36", Zwischenfrequenz1},
    {"Menu37", AdditionvsSubtraktion1},
    {"Menu38", Bandbreite1},  // the item "&Optionen"
    {"Menu40", MenuKalibrieren},
    {"Menu51", Taktgenerator1},
    {"Menu50", Spektralmessung2},
    {"Menu42", Reflexionsmessung2},
    {"Menu41", Durchgangsmessung2},
    {"Menu43", Linie11},
    {"Menu44", Linie21},
    {"Menu45", Linie31},
    {"Menu46", Linie41},
    {"Menu47", Linie51},
    {"Menu48", Linie61},
    {"Menu49", Linie71},
    {"Menu61", Hilfe1},
    {"Menu62", ber1},
};

// Keys of later main-window items: a language file may lack them, so they fall back to the
// built-in caption.
constexpr std::pair<std::string_view, Control> kNeueFensterSchluessel[] = {
    {"Menu17", Exportieren1},
    {"Menu80", MenuAnalyse},
    {"Menu81", Mittelung1},
    {"Menu82", MaxHalten1},
    {"Menu83", MinHalten1},
    {"Menu84", SpeicherUebernehmen1},
    {"Menu85", Normieren1},
    {"Menu86", SpeicherLaden1},
    {"Menu87", SpeicherSpeichern1},
    {"Menu88", GrenzwerteLaden1},
    {"Menu89", GrenzwertePruefen1},
    {"Menu90", Filteranalyse1},
};

std::string withoutFirstAmpersand(std::string text) {
    const size_t amp = text.find('&');
    if (amp != std::string::npos) text.erase(amp, 1);
    return text;
}

}  // namespace

void Sprache_setzen(Instrument& inst, const std::string& sektion, const IniFile& ini) {
    if (sektion.empty()) return;
    for (const auto& [schluessel, control] : kFensterSchluessel)
        inst.fenster.setText(control, ini.get(sektion, schluessel));
    for (int k = 1; k <= Meldungstabelle::Anzahl; ++k)
        inst.meldungen.setzen(k, ini.get(sektion, "string" + std::to_string(k)));
    for (const auto& [schluessel, control] : kNeueFensterSchluessel)
        inst.fenster.setText(control, ini.get(sektion, schluessel, designText(control)));
    for (size_t i = 0; i < kZusatzschluessel.size(); ++i) {
        const auto [schluessel, deutsch] = kZusatzschluessel[i];
        inst.meldungen.setzen(static_cast<Zusatztext>(i), ini.get(sektion, schluessel, deutsch));
    }
}

void Sprache_setzen(Instrument& inst, const std::string& sektion) {
    if (sektion.empty()) return;
    Sprache_setzen(inst, sektion, IniFile::load(dataFile(Sprachdatei)));
}

std::optional<DialogTexte> SpracheEinTexte(const std::string& sektion, const IniFile& ini) {
    if (sektion.empty()) return std::nullopt;
    const auto text = [&](std::string_view key) { return ini.get(sektion, key); };
    DialogTexte t;
    for (size_t k = 0; k < t.linien.size(); ++k)
        t.linien[k] = text("string" + std::to_string(11 + k));
    t.taktfrequenz = text("string32");
    t.eichfrequenz = text("string33");
    t.fmax = text("string34");
    t.messpunkte = text("string35");
    t.text = text("string36");
    t.lage = text("string37");
    t.sprache = text("string38");
    t.delay = text("string39");
    t.messgenauigkeit = text("string40");
    t.baudrate = text("string43");
    t.hardwareversion = text("string44");
    t.ok = text("string41");
    t.cancel = text("string42");
    t.caption = withoutFirstAmpersand(text("menu38"));
    return t;
}

std::optional<DialogTexte> SpracheEinTexte(const std::string& sektion) {
    if (sektion.empty()) return std::nullopt;
    return SpracheEinTexte(sektion, IniFile::load(dataFile(Sprachdatei)));
}

}  // namespace veka
