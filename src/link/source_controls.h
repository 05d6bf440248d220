#pragma once
// The commands that set the source and the attenuator by hand: start frequency and step,
// the attenuator, the VFO mode with its IF offset, and the clock calibration.

#include "link/exchange.h"
#include "measure/instrument.h"
#include "measure/user_interface.h"

namespace veka {

void Button2Click(Instrument& inst, DeviceLink& link);                     // "Pl&us"
void Button3Click(Instrument& inst, DeviceLink& link);                     // "&Minus"
void Button1Click(Instrument& inst, DeviceLink& link, UserInterface& ui);  // "&Frequenz"
void Button4Click(Instrument& inst, UserInterface& ui);                    // "Schritt&weite"

// Attenuator arrows, after the control has moved to its new position (dB).
void UpDown1Click(Instrument& inst, DeviceLink& link);
void Dmpfung1Click(Instrument& inst, DeviceLink& link);  // "Dämpfung -"
void Dmpfung2Click(Instrument& inst, DeviceLink& link);  // "Dämpfung +"
void SetDaempfungNull(Instrument& inst);

void Taktgenerator1Click(Instrument& inst, DeviceLink& link, UserInterface& ui);
void Button15Click(Instrument& inst, DeviceLink& link);  // "VFO"
void Zwischenfrequenz1Click(Instrument& inst, DeviceLink& link);
void AdditionvsSubtraktion1Click(Instrument& inst, DeviceLink& link);
void ZFEingabe1Click(Instrument& inst, UserInterface& ui);

// Attenuator bits for an up-down position: 0 → 0, 10 → 16, 20 → 32, 30 → 48, else 0.
uint8_t daempfungsbits(int position);
// "  0 dB" for position 0, else the position followed by " dB".
std::string daempfungstext(int position);

}  // namespace veka
