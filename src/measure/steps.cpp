// SPDX-License-Identifier: GPL-3.0-or-later
#include "measure/steps.h"

#include "display/auswertung.h"
#include "display/diagram.h"

namespace veka {

void frequenzenZeigen(Instrument& inst) {
    inst.fenster.setText(Control::Label1, FrequenzText(inst.e.Startfrequenz));
    inst.fenster.setText(Control::Label2, FrequenzText(inst.e.Schrittweite));
}

void cursorZeigen(Instrument& inst) {
    inst.fenster.setText(Control::Label12, FrequenzText(Cursorfrequenz(inst)));
}

void cursorMitte(Instrument& inst) {
    inst.Cursorpunkt = runden(inst.e.Messpunkte / 2.0);
    cursorZeigen(inst);
}

void parken(Instrument& inst, DeviceLink& link) {
    link.FrequenzSetzen(1, inst.e.Startfrequenz);
}

void leerZeichnen(Instrument& inst) {
    dm_diagramm(inst);
    clear_messwerte(inst.fenster);
}

}  // namespace veka
