// SPDX-License-Identifier: GPL-3.0-or-later
// The window's display commands: the heading, the Smith chart, "max" and the cursor.
#include <algorithm>
#include <mutex>

#include "display/auswertung.h"
#include "display/diagram.h"
#include "files/integer_rule.h"
#include "measure/netzwerktester.h"
#include "measure/steps.h"

namespace veka {

void Netzwerktester::Button11Click() {
    const auto& m = inst_->meldungen;
    std::string text =
        ui_.WertEingabe({inst_->Diagrammueberschrift, m[24], m[25], m[41], m[42]});
    (void)ops_.setHeading(std::move(text));
}

void Netzwerktester::Button18Click() {
    Instrument& s = *inst_;
    s.Smith = true;
    ui_.showMessage(s.meldungen[19]);
    s.Messart = Durchgang;
    s.Linear = true;
    dm_diagramm(s);
    s.Messart = SmithModus;
    s.Linear = false;
}

void Netzwerktester::Button19Click() {
    Instrument& s = *inst_;
    {
        std::lock_guard lock(s.datenMutex);
        Messdaten& d = s.daten;
        auto& w = d.Messwerte;
        const int n = s.punktzahl();
        int32_t a = 0;
        for (int p = 1; p <= n; ++p) a = std::max(a, w[static_cast<size_t>(p)]);
        // Values from a file may sit near the int32 limits; the shift wraps like the device.
        const int32_t shift = wrapSub(400, a);
        for (int p = 1; p <= n; ++p) {
            w[static_cast<size_t>(p)] = wrapAdd(w[static_cast<size_t>(p)], shift);
        }
        if (d.lastSweep.shown) d.lastSweep.values = w;  // the trace shown is the shifted one
        d.lastSweep.drawn = false;  // the old curve stays beside the new one
        drawCurve(d.Diagrammbild, w, n, farbindex(s.e.Kurvenfarbe));
    }
    s.fenster.setTimer2(true);
    s.fenster.setTimer1(true);
}

void Netzwerktester::Button12Click() {
    const int32_t c = inst_->Cursorpunkt;
    inst_->Cursorpunkt = c <= 1 ? 1 : c - 1;
    cursorZeigen(*inst_);
}

void Netzwerktester::Button13Click() {
    // The upper limit is the last stored point, so the cursor never leaves the arrays.
    const int32_t c = inst_->Cursorpunkt;
    const int32_t last = inst_->punktzahl();
    inst_->Cursorpunkt = c >= last ? last : c + 1;
    cursorZeigen(*inst_);
}

void Netzwerktester::Button14Click() {
    const auto& m = inst_->meldungen;
    const std::string vorschlag = std::to_string(Cursorfrequenz(*inst_));
    const std::string text = ui_.WertEingabe({vorschlag, m[28], m[29], m[41], m[42]});
    (void)ops_.setCursorFrequency(integerOr(text, 10000000));
}

}  // namespace veka
