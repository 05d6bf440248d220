// SPDX-License-Identifier: GPL-3.0-or-later
#include "measure/modes.h"

#include "display/diagram.h"
#include "display/quickdraw.h"
#include "measure/netzwerktester.h"
#include "measure/steps.h"

namespace veka {

namespace {

struct Freigaben {
    bool smith, durchgang, reflexion, linien, spektrum;
};

void modusSetzen(Instrument& inst, int32_t messart, Control taste, Freigaben f) {
    WindowModel& w = inst.fenster;
    w.setEnabled(Control::Button18, f.smith);
    inst.ZFAktiv = false;
    inst.Smith = false;
    for (Control c :
         {Control::ZFEingabe1, Control::Zwischenfrequenz1, Control::AdditionvsSubtraktion1})
        w.setEnabled(c, false);
    w.setEnabled(Control::Button5, true);
    w.setEnabled(Control::Durchgangsmessung2, f.durchgang);
    w.setEnabled(Control::Reflexionsmessung2, f.reflexion);
    for (Control c : {Control::Linie11, Control::Linie21, Control::Linie31, Control::Linie41,
                      Control::Linie51, Control::Linie61, Control::Linie71})
        w.setEnabled(c, f.linien);
    w.setEnabled(Control::Spektralmessung2, f.spektrum);
    w.setText(Control::Label5, Modustext(inst, taste, "   "));
    inst.Messart = messart;
    dm_diagramm(inst);
}

}  // namespace

std::string Modustext(const Instrument& inst, Control taste, const char* abstand) {
    return inst.fenster.text(taste) + abstand + inst.Diagrammueberschrift;
}

void Button8Click(Instrument& inst) {
    modusSetzen(inst, Durchgang, Control::Button8, {false, true, false, false, false});
}

void Button9Click(Instrument& inst) {
    modusSetzen(inst, Reflexion, Control::Button9, {true, false, true, true, false});
}

void Button10Click(Instrument& inst) {
    modusSetzen(inst, Spektrum, Control::Button10, {false, false, false, false, true});
}

void Button15Click(Instrument& inst, DeviceLink& link) {
    WindowModel& w = inst.fenster;
    w.setEnabled(Control::Button18, false);
    inst.ZFAktiv = true;
    inst.Smith = false;
    for (Control c :
         {Control::ZFEingabe1, Control::Zwischenfrequenz1, Control::AdditionvsSubtraktion1})
        w.setEnabled(c, true);
    for (Control c :
         {Control::Durchgangsmessung2, Control::Reflexionsmessung2, Control::Linie11,
          Control::Linie21, Control::Linie31, Control::Linie41, Control::Linie51, Control::Linie61,
          Control::Linie71, Control::Spektralmessung2, Control::Button5})
        w.setEnabled(c, false);
    w.setText(Control::Label5, Modustext(inst, Control::Button15, "   "));
    inst.Messart = VFO;
    dm_diagramm(inst);
    {
        std::lock_guard lock(inst.datenMutex);
        BildLoeschen(inst.daten.Diagrammbild, farbindex(inst.e.Hintergrundfarbe));
        LinieZiehen(inst.daten.Rasterbild, DiagrammLinks, DiagrammUnten, DiagrammLinks + 560,
                    DiagrammUnten, farbindex(inst.e.Diagrammfarbe));
    }
    parken(inst, link);
}

void detektorSetzen(Instrument& inst, bool linear) {
    inst.Linear = linear;
    inst.Smith = false;
    if (inst.Messart == SmithModus) inst.Messart = Reflexion;
    dm_diagramm(inst);
}

// ---- The window's commands

void Netzwerktester::Button8Click() {
    (void)ops_.setMode(Durchgang);
}
void Netzwerktester::Button9Click() {
    (void)ops_.setMode(Reflexion);
}
void Netzwerktester::Button10Click() {
    (void)ops_.setMode(Spektrum);
}
void Netzwerktester::Button16Click() {
    (void)ops_.setDetector(false);
}
void Netzwerktester::Button17Click() {
    (void)ops_.setDetector(true);
}

}  // namespace veka
