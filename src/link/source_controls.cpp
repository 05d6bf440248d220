#include "link/source_controls.h"

#include <string>

#include "display/auswertung.h"
#include "display/diagram.h"
#include "display/quickdraw.h"
#include "files/integer_rule.h"

namespace veka {

namespace {

void startfrequenzZeigen(Instrument& inst) {
    inst.fenster.setText(Control::Label1, FrequenzText(inst.e.Startfrequenz));
}

void parken(Instrument& inst, DeviceLink& link) {
    link.FrequenzSetzen(1, inst.e.Startfrequenz);
}

void neuZeichnen(Instrument& inst) {
    dm_diagramm(inst);
    clear_messwerte(inst.fenster);
}

void cursorMitte(Instrument& inst) {
    inst.Cursorpunkt = runden(inst.e.Messpunkte / 2.0);
    inst.fenster.setText(Control::Label12, FrequenzText(Cursorfrequenz(inst)));
}

std::string fragen(Instrument& inst, UserInterface& ui, int caption, int prompt, int32_t start) {
    const Meldungstabelle& m = inst.meldungen;
    return ui.WertEingabe({std::to_string(start), m[caption], m[prompt], m[41], m[42]});
}

void daempfungSenden(Instrument& inst, DeviceLink& link) {
    inst.Daempfung = daempfungsbits(inst.fenster.attenuatorPosition());
    parken(inst, link);
}

// The start frequency moved by one step, kept inside the open range 0 .. Endfrequenz. The
// sum is formed in 64 bits so a huge step cannot wrap round into the range.
void schritt(Instrument& inst, DeviceLink& link, int richtung) {
    const int64_t neu = int64_t{inst.e.Startfrequenz} + richtung * int64_t{inst.e.Schrittweite};
    const bool erlaubt = richtung > 0 ? neu < inst.e.Endfrequenz : neu > 0;
    if (erlaubt && neu >= INT32_MIN && neu <= INT32_MAX)
        inst.e.Startfrequenz = static_cast<int32_t>(neu);
    startfrequenzZeigen(inst);
    parken(inst, link);
    neuZeichnen(inst);
}

}  // namespace

uint8_t daempfungsbits(int position) {
    switch (position) {
        case 10:
            return 16;
        case 20:
            return 32;
        case 30:
            return 48;
        default:
            return 0;
    }
}

std::string daempfungstext(int position) {
    return position == 0 ? std::string("  0 dB") : std::to_string(position) + " dB";
}

void Button2Click(Instrument& inst, DeviceLink& link) {
    schritt(inst, link, +1);
}
void Button3Click(Instrument& inst, DeviceLink& link) {
    schritt(inst, link, -1);
}

void Button1Click(Instrument& inst, DeviceLink& link, UserInterface& ui) {
    const std::string antwort = fragen(inst, ui, 20, 21, inst.e.Startfrequenz);
    inst.e.Startfrequenz = integerOr(antwort, 10000000);
    startfrequenzZeigen(inst);
    parken(inst, link);
    cursorMitte(inst);
    neuZeichnen(inst);
}

void Button4Click(Instrument& inst, UserInterface& ui) {
    const std::string antwort = fragen(inst, ui, 22, 23, inst.e.Schrittweite);
    inst.e.Schrittweite = integerOr(antwort, 50000);
    inst.fenster.setText(Control::Label2, FrequenzText(inst.e.Schrittweite));
    cursorMitte(inst);
    neuZeichnen(inst);
}

void UpDown1Click(Instrument& inst, DeviceLink& link) {
    inst.fenster.setText(Control::AttenuatorLabel,
                         daempfungstext(inst.fenster.attenuatorPosition()));
    daempfungSenden(inst, link);
}

void Dmpfung1Click(Instrument& inst, DeviceLink& link) {
    WindowModel& w = inst.fenster;
    if (w.attenuatorPosition() > 0) {
        w.setAttenuatorPosition(w.attenuatorPosition() - 10);
        w.setText(Control::AttenuatorLabel, daempfungstext(w.attenuatorPosition()));
    } else {
        w.setAttenuatorPosition(0);
    }
    daempfungSenden(inst, link);
}

void Dmpfung2Click(Instrument& inst, DeviceLink& link) {
    WindowModel& w = inst.fenster;
    if (w.attenuatorPosition() < 30) {
        w.setAttenuatorPosition(w.attenuatorPosition() + 10);
        w.setText(Control::AttenuatorLabel, std::to_string(w.attenuatorPosition()) + " dB");
    } else {
        w.setAttenuatorPosition(30);
    }
    daempfungSenden(inst, link);
}

void SetDaempfungNull(Instrument& inst) {
    inst.Daempfung = 0;
    inst.fenster.setAttenuatorPosition(0);
    inst.fenster.setText(Control::AttenuatorLabel, "  0 dB");
}

void Taktgenerator1Click(Instrument& inst, DeviceLink& link, UserInterface& ui) {
    inst.e.Startfrequenz = runden(inst.e.Taktfrequenz / 10.0);
    startfrequenzZeigen(inst);
    parken(inst, link);
    const std::string antwort = fragen(inst, ui, 26, 27, inst.e.Startfrequenz);
    // An answer whose tenfold does not fit the clock field is no answer, like text.
    if (const auto gemessen = parseInteger(antwort)) {
        const int64_t takt = int64_t{*gemessen} * 10;
        if (takt >= INT32_MIN && takt <= INT32_MAX)
            inst.e.Taktfrequenz = static_cast<int32_t>(takt);
    }
    neuZeichnen(inst);
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
    w.setText(Control::Label5, w.text(Control::Button15) + "   " + inst.Diagrammueberschrift);
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

void Zwischenfrequenz1Click(Instrument& inst, DeviceLink& link) {
    WindowModel& w = inst.fenster;
    const bool an = !w.checked(Control::Zwischenfrequenz1);
    w.setChecked(Control::Zwischenfrequenz1, an);
    inst.e.ZFBerechnung = an ? (inst.e.ZFBerechnung | 1) : (inst.e.ZFBerechnung & 2);
    parken(inst, link);
    dm_diagramm(inst);
}

void AdditionvsSubtraktion1Click(Instrument& inst, DeviceLink& link) {
    WindowModel& w = inst.fenster;
    const bool an = !w.checked(Control::AdditionvsSubtraktion1);
    w.setChecked(Control::AdditionvsSubtraktion1, an);
    inst.e.ZFBerechnung = an ? (inst.e.ZFBerechnung | 2) : (inst.e.ZFBerechnung & 1);
    parken(inst, link);
    dm_diagramm(inst);
}

void ZFEingabe1Click(Instrument& inst, UserInterface& ui) {
    const std::string antwort = fragen(inst, ui, 30, 31, inst.e.Zwischenfrequenz);
    inst.e.Zwischenfrequenz = integerOr(antwort, 10000000);
    dm_diagramm(inst);
}

}  // namespace veka
