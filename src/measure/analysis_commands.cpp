// SPDX-License-Identifier: GPL-3.0-or-later
// The window's "Analyse" menu: averaging, hold, the reference trace, limit lines and the
// filter analysis; a dialog where the window asks, then the operation.
#include <algorithm>

#include "files/integer_rule.h"
#include "measure/analysis_report.h"
#include "measure/netzwerktester.h"

namespace veka {

namespace {

const char* const kTabellenFilter = "CSV-Tabelle|*.csv|Alle|*.*";

}  // namespace

// The menu's check marks say where the additions stand.
void Netzwerktester::zusaetzeZeigen() {
    const ExtrasReading x = ops_.extras();
    WindowModel& w = inst_->fenster;
    w.setChecked(Control::Mittelung1, x.averaging);
    w.setChecked(Control::MaxHalten1, x.hold == Hold::Max);
    w.setChecked(Control::MinHalten1, x.hold == Hold::Min);
    w.setChecked(Control::Normieren1, x.normalised);
    w.setChecked(Control::GrenzwertePruefen1, x.limitsOn);
}

void Netzwerktester::zusatzFehler(const Status& s) {
    if (s) return;
    const Meldungstabelle& m = inst_->meldungen;
    switch (s.error().fault) {
        case Fault::NotFitting:
            ui_.showMessage(m[Zusatztext::SpeicherPasstNicht]);
            break;
        case Fault::NoTrace:
            ui_.showMessage(m[Zusatztext::KeineMessung]);
            break;
        case Fault::FileNotSaved:
            ui_.showError(s.error().text);
            break;
        default:
            ui_.showMessage(m[Zusatztext::TabelleUnlesbar] + " " + s.error().reason);
    }
}

void Netzwerktester::Mittelung1Click() {
    const Meldungstabelle& m = inst_->meldungen;
    const ExtrasReading x = ops_.extras();
    const std::string vorschlag = std::to_string(x.averaging ? x.averageCount : 1);
    const std::string antwort = ui_.WertEingabe(
        {vorschlag, m[Zusatztext::MittelungTitel], m[Zusatztext::MittelungFrage], m[41], m[42]});
    const int32_t n = std::clamp(integerOr(antwort, x.averageCount), 1, MaxMittelung);
    if (n > 1) (void)ops_.setAverageCount(n);
    (void)ops_.setAveraging(n > 1);
    zusaetzeZeigen();
}

void Netzwerktester::MaxHalten1Click() {
    (void)ops_.setHold(ops_.extras().hold == Hold::Max ? Hold::Off : Hold::Max);
    zusaetzeZeigen();
}

void Netzwerktester::MinHalten1Click() {
    (void)ops_.setHold(ops_.extras().hold == Hold::Min ? Hold::Off : Hold::Min);
    zusaetzeZeigen();
}

void Netzwerktester::SpeicherUebernehmen1Click() {
    zusatzFehler(ops_.storeReference());
    zusaetzeZeigen();
}

void Netzwerktester::Normieren1Click() {
    zusatzFehler(ops_.setNormalised(!ops_.extras().normalised));
    zusaetzeZeigen();
}

void Netzwerktester::SpeicherLaden1Click() {
    const auto pfad = ui_.chooseFile({false, kTabellenFilter, "csv", dateinamen_.speicher});
    if (!pfad) return;
    dateinamen_.speicher = *pfad;
    zusatzFehler(ops_.loadReference(*pfad));
    zusaetzeZeigen();
}

void Netzwerktester::SpeicherSpeichern1Click() {
    const auto pfad = ui_.chooseFile({true, kTabellenFilter, "csv", dateinamen_.speicher});
    if (!pfad) return;
    dateinamen_.speicher = *pfad;
    zusatzFehler(ops_.saveReference(*pfad));
}

void Netzwerktester::GrenzwerteLaden1Click() {
    const auto pfad = ui_.chooseFile({false, kTabellenFilter, "csv", dateinamen_.grenzwerte});
    if (!pfad) return;
    dateinamen_.grenzwerte = *pfad;
    const Status s = ops_.loadLimits(*pfad);
    zusatzFehler(s);
    if (s) (void)ops_.setLimits(true);
    zusaetzeZeigen();
}

void Netzwerktester::GrenzwertePruefen1Click() {
    const Status s = ops_.setLimits(!ops_.extras().limitsOn);
    if (!s) ui_.showMessage(inst_->meldungen[Zusatztext::KeineGrenzwerte]);
    zusaetzeZeigen();
}

void Netzwerktester::Filteranalyse1Click() {
    const Meldungstabelle& m = inst_->meldungen;
    const Result<FilterAnalysis> a = ops_.analysis();
    const Result<LimitVerdict> g = ops_.limitVerdict();
    if (!a || !g) {
        ui_.showMessage(m[Zusatztext::KeineMessung]);
        return;
    }
    ui_.showReport(m[Zusatztext::AnalyseTitel], analyseBericht(*a, *g, m, inst_->Dezimaltrenner));
}

}  // namespace veka
