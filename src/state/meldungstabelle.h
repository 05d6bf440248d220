// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The message and caption texts of the program, entries 1..42, with their built-in German
// defaults. A language section may replace them.

#include <array>
#include <cstdint>
#include <string>
#include <string_view>

namespace veka {

// Messages of commands added later than the numbered table. A language file cannot know their
// keys yet, so a key the file lacks keeps the built-in text instead of turning into "ERROR".
// Texts of later additions: a language file may lack their keys, so each has its German text.
enum class Zusatztext : uint8_t {
    ExportFormatUnbekannt,
    MittelungTitel,
    MittelungFrage,
    SpeicherPasstNicht,
    KeineGrenzwerte,
    TabelleUnlesbar,
    KeineMessung,
    AnalyseTitel,
    Maximum,
    Minimum,
    Breite,
    NichtErreicht,
    Mitte,
    Arithmetisch,
    Geometrisch,
    Guete,
    Formfaktor,
    Welligkeit,
    Unter,
    Grenzwerte,
    Bestanden,
    VerletztBei,
    Count
};

struct Zusatzschluessel {
    std::string_view schluessel;  // key in the language file
    std::string_view deutsch;     // built-in text
};

inline constexpr std::array<Zusatzschluessel, static_cast<size_t>(Zusatztext::Count)>
    kZusatzschluessel = {{
        {"string45",
         "Unbekanntes Dateiformat: bitte eine Datei mit der Endung .csv, .png, "
         ".svg, .pdf, .dat oder .json wählen."},
        {"string46", "Mittelung"},
        {"string47", "Anzahl der gemittelten Durchläufe (1 = aus):"},
        {"string48", "Der Speicher passt nicht zu den eingestellten Frequenzen."},
        {"string49", "Es sind keine Grenzwerte geladen."},
        {"string50", "Die Tabelle konnte nicht gelesen werden:"},
        {"string51", "Es liegt noch kein vollständiger Durchlauf vor."},
        {"string52", "Filteranalyse"},
        {"string53", "Maximum"},
        {"string54", "Minimum"},
        {"string55", "Breite"},
        {"string56", "nicht erreicht"},
        {"string57", "Mitte"},
        {"string58", "arithmetisch"},
        {"string59", "geometrisch"},
        {"string60", "Güte"},
        {"string61", "Formfaktor"},
        {"string62", "Welligkeit"},
        {"string63", "unter"},
        {"string64", "Grenzwerte"},
        {"string65", "eingehalten"},
        {"string66", "verletzt ab"},
    }};

class Meldungstabelle {
  public:
    static constexpr int Anzahl = 42;

    Meldungstabelle();  // the built-in German texts

    const std::string& operator[](int k) const { return texte_.at(static_cast<size_t>(k)); }
    void setzen(int k, std::string text) { texte_.at(static_cast<size_t>(k)) = std::move(text); }

    const std::string& operator[](Zusatztext t) const { return zusatz_.at(static_cast<size_t>(t)); }
    void setzen(Zusatztext t, std::string text) {
        zusatz_.at(static_cast<size_t>(t)) = std::move(text);
    }

  private:
    std::array<std::string, Anzahl + 1> texte_;  // index 0 unused
    std::array<std::string, kZusatzschluessel.size()> zusatz_;
};

}  // namespace veka
