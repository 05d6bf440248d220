// SPDX-License-Identifier: GPL-3.0-or-later
#include "measure/source_controls.h"

#include "display/diagram.h"
#include "files/integer_rule.h"
#include "measure/netzwerktester.h"
#include "measure/steps.h"

namespace veka {

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

void SetDaempfungNull(Instrument& inst) {
    inst.Daempfung = 0;
    inst.fenster.setAttenuatorPosition(0);
    inst.fenster.setText(Control::AttenuatorLabel, "  0 dB");
}

// The sum is formed in 64 bits so a huge step cannot wrap round into the range.
void schritt(Instrument& inst, DeviceLink& link, int richtung) {
    const int64_t neu = int64_t{inst.e.Startfrequenz} + richtung * int64_t{inst.e.Schrittweite};
    const bool erlaubt = richtung > 0 ? neu < inst.e.Endfrequenz : neu > 0;
    if (erlaubt && neu >= INT32_MIN && neu <= INT32_MAX)
        inst.e.Startfrequenz = static_cast<int32_t>(neu);
    frequenzenZeigen(inst);
    parken(inst, link);
    leerZeichnen(inst);
}

// The check marks, not the bits, say where the switches stand: loading a configuration
// changes the bits and leaves the marks.
void zfSchalten(Instrument& inst, DeviceLink& link, Control item, bool an) {
    WindowModel& w = inst.fenster;
    if (w.checked(item) == an) return;
    w.setChecked(item, an);
    const int32_t bit = item == Control::Zwischenfrequenz1 ? 1 : 2;
    inst.e.ZFBerechnung = an ? (inst.e.ZFBerechnung | bit) : (inst.e.ZFBerechnung & (3 - bit));
    parken(inst, link);
    dm_diagramm(inst);
}

// ---- The window's commands: ask where they ask, then the operation.

namespace {

std::string fragen(const Instrument& inst, UserInterface& ui, int caption, int prompt,
                   int32_t start) {
    const Meldungstabelle& m = inst.meldungen;
    return ui.WertEingabe({std::to_string(start), m[caption], m[prompt], m[41], m[42]});
}

}  // namespace

void Netzwerktester::Button2Click() {
    (void)ops_.moveStartFrequency(+1);
}
void Netzwerktester::Button3Click() {
    (void)ops_.moveStartFrequency(-1);
}

void Netzwerktester::Button1Click() {
    const std::string antwort = fragen(*inst_, ui_, 20, 21, inst_->e.Startfrequenz);
    (void)ops_.setStartFrequency(integerOr(antwort, 10000000));
}

void Netzwerktester::Button4Click() {
    const std::string antwort = fragen(*inst_, ui_, 22, 23, inst_->e.Schrittweite);
    (void)ops_.setStep(integerOr(antwort, 50000));
}

void Netzwerktester::UpDown1Click(int neuePosition) {
    (void)ops_.setAttenuation(neuePosition);
}

// "Dämpfung -" and "Dämpfung +": at an end the position stays and the byte is sent again.
void Netzwerktester::Dmpfung1Click() {
    (void)ops_.setAttenuation(std::max(inst_->fenster.attenuatorPosition() - 10, 0));
}
void Netzwerktester::Dmpfung2Click() {
    (void)ops_.setAttenuation(std::min(inst_->fenster.attenuatorPosition() + 10, 30));
}

void Netzwerktester::Taktgenerator1Click() {
    Instrument& s = *inst_;
    s.e.Startfrequenz = runden(s.e.Taktfrequenz / 10.0);
    frequenzenZeigen(s);
    parken(s, link_);
    const std::string antwort = fragen(s, ui_, 26, 27, s.e.Startfrequenz);
    // An answer whose tenfold does not fit the clock field is no answer, like text.
    if (const auto gemessen = parseInteger(antwort)) {
        const int64_t takt = int64_t{*gemessen} * 10;
        if (takt >= INT32_MIN && takt <= INT32_MAX) s.e.Taktfrequenz = static_cast<int32_t>(takt);
    }
    leerZeichnen(s);
}

void Netzwerktester::Button15Click() {
    (void)ops_.setMode(VFO);
}

void Netzwerktester::Zwischenfrequenz1Click() {
    (void)ops_.setIfApplied(!inst_->fenster.checked(Control::Zwischenfrequenz1));
}

void Netzwerktester::AdditionvsSubtraktion1Click() {
    (void)ops_.setIfAdded(!inst_->fenster.checked(Control::AdditionvsSubtraktion1));
}

void Netzwerktester::ZFEingabe1Click() {
    const std::string antwort = fragen(*inst_, ui_, 30, 31, inst_->e.Zwischenfrequenz);
    (void)ops_.setIfOffset(integerOr(antwort, 10000000));
}

}  // namespace veka
