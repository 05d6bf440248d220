// SPDX-License-Identifier: GPL-3.0-or-later
// The window's file commands: a file dialog, then the file operation. Saving never loses a
// file, and a failure is shown to the user; loading a file that cannot be read is silent.
#include "display/diagram.h"
#include "export/export_format.h"
#include "measure/netzwerktester.h"
#include "measure/steps.h"

namespace veka {

namespace {

const char* const kKonfigFilter = "Konfiguration|*.cfg|Alle|*.*";

}  // namespace

void Netzwerktester::fehlerZeigen(const Status& s) {
    if (!s) ui_.showError(s.error().text);
}

void Netzwerktester::Speichern1Click() {
    const auto pfad = ui_.chooseFile({true, kKonfigFilter, "cfg", inst_->Konfigurationsdatei});
    if (pfad) fehlerZeigen(ops_.saveConfiguration(*pfad));
}

void Netzwerktester::ffnen1Click() {
    const auto pfad = ui_.chooseFile({false, kKonfigFilter, "cfg", dateinamen_.konfigOeffnen});
    if (!pfad) return;
    dateinamen_.konfigOeffnen = *pfad;
    if (ops_.loadConfiguration(*pfad)) return;
    // Nothing was read: the labels and the empty diagram all the same.
    frequenzenZeigen(*inst_);
    dm_diagramm(*inst_);
}

void Netzwerktester::MessreiheSpeichern1Click() {
    const auto pfad =
        ui_.chooseFile({true, "Daten|*.dat|Alle|*.*", "dat", dateinamen_.reiheSpeichern});
    if (!pfad) return;
    dateinamen_.reiheSpeichern = *pfad;
    fehlerZeigen(ops_.saveSeries(*pfad));
}

void Netzwerktester::Messreiheladen1Click() {
    const auto pfad =
        ui_.chooseFile({false, "Messreihe|*.dat|Alle|*.*", "dat", dateinamen_.reiheOeffnen});
    if (pfad) {
        dateinamen_.reiheOeffnen = *pfad;
        const Status s = ops_.loadSeries(*pfad);
        if (!s && !s.error().text.empty()) ui_.showMessage(s.error().text);
    }
    inst_->fenster.setTimer2(true);
    inst_->fenster.setTimer1(true);
}

void Netzwerktester::Exportieren1Click() {
    const auto pfad = ui_.chooseFile({true, exportFilter(), "csv", dateinamen_.export_});
    if (!pfad) return;
    dateinamen_.export_ = *pfad;
    fehlerZeigen(ops_.exportTrace(*pfad));
}

}  // namespace veka
