// SPDX-License-Identifier: GPL-3.0-or-later
#include "state/meldungstabelle.h"

namespace veka {

Meldungstabelle::Meldungstabelle()
    : texte_{"",
             "Datenübertragungsfehler",
             "Eingang offen (0 mV)",
             "Ein- und Ausgang verbunden",
             "Messfehler - keine Korrektur",
             "Eingang -80 dB (offen)",
             "Ein- und Ausgang verbunden ( 0 dB)",
             "Keine VEKA-Messdatendatei",
             "Anpassung 50 Ohm",
             "Kurzschluß oder Leerlauf",
             "Kalibriersignal 707 mV anlegen",
             "Linie 1",
             "Linie 2",
             "Linie 3",
             "Linie 4",
             "Linie 5",
             "Linie 6",
             "Linie 7",
             "Kalibriersignal 10 dBm anlegen",
             "Diese Funktion ist leider noch nicht verfügbar !",
             "Frequenz",
             "Frequenz in Hz eingeben!",
             "Schrittweite",
             "Schrittweite in Hz eingeben!",
             "Label",
             "Diagrammüberschrift ändern",
             "Takt",
             "Bitte die gemessene Frequenz eingeben:",
             "Frequenzmarke",
             "Frequenz in Hz eingeben!",
             "Zwischenfrequenz",
             "Zwischenfrequenz in Hz eingeben! ",
             "Zwischenfrequenz in Hz eingeben!",
             "",
             "",
             "",
             "",
             "",
             "",
             "",
             "",
             "OK",
             "Abbruch"} {
    for (size_t i = 0; i < zusatz_.size(); ++i) zusatz_[i] = kZusatzschluessel[i].deutsch;
}

}  // namespace veka
