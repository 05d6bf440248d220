#include "measure/modes.h"

#include "display/diagram.h"

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

}  // namespace veka
