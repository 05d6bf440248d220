// SPDX-License-Identifier: GPL-3.0-or-later
#include "state/window_model.h"

namespace veka {

namespace {

constexpr std::array<std::string_view, ControlCount> kDesignTexts = {
    "&Frequenz",
    "Pl&us",
    "&Minus",
    "Schritt&weite",
    "&Start",
    "Sto&p",
    "&Quit",
    "Durchgangsmessung",
    "Reflexionsmessung",
    "Spektralmessung",
    "Label",
    "&-",
    "&+",
    "&Cursor",
    "VFO",
    "lo&g.",
    "li&n.",
    "Smith",
    "max",
    // Labels 1..14
    "",
    "",
    "Maximum:",
    "Minimum:",
    "Durchgangsmessung",
    "Bandbreite",
    "",
    "",
    "",
    "",
    "",
    "",
    "Cursor:",
    "",
    "  0 dB",  // attenuator label
    "",        // up-down control
    "&Datei",
    "&Öffnen",
    "&Speichern",
    "Messreihe S&peichern",
    "Messreihe &Laden",
    "&Diagramm drucken",
    "Exportieren …",
    "&Beenden",
    "&Messung",
    "&Durchgangsmessung",
    "&Reflexionsmessung",
    "&Spektralmessung",
    "&VFO",
    "&Einstellungen",
    "Frequenz",
    "Minus",
    "Plus",
    "Schrittweite",
    "Dämpfung -",
    "Dämpfung +",
    "ZF Eingabe",
    "Zwischenfrequenz einrechnen",
    "Addition vs. Subtraktion",
    "&Optionen",
    "&Kalibrieren",
    "&Durchgangsmessung",
    "&Reflexionsmessung",
    "Linie &1",
    "Linie &2",
    "Linie &3",
    "Linie &4",
    "Linie &5",
    "Linie &6",
    "Linie &7",
    "&Spektralmessung",
    "&Taktgenerator",
    "&Analyse",
    "&Mittelung …",
    "Ma&ximum halten",
    "Mi&nimum halten",
    "Speicher &übernehmen",
    "N&ormieren",
    "Speicher &laden …",
    "Speicher s&peichern …",
    "&Grenzwerte laden …",
    "Grenzwerte p&rüfen",
    "&Filteranalyse …",
    "&?",
    "&Hilfe",
    "&Über",
};

}  // namespace

std::string_view designText(Control c) {
    return kDesignTexts[static_cast<size_t>(c)];
}

bool isCheckable(Control c) {
    switch (c) {
        case Control::Zwischenfrequenz1:
        case Control::AdditionvsSubtraktion1:
        case Control::Mittelung1:
        case Control::MaxHalten1:
        case Control::MinHalten1:
        case Control::Normieren1:
        case Control::GrenzwertePruefen1:
            return true;
        default:
            return false;
    }
}

WindowModel::WindowModel() {
    for (int i = 0; i < ControlCount; ++i) controls_[i].text = std::string(kDesignTexts[i]);
    // Designed start state: transmission mode.
    for (Control c :
         {Control::Button6, Control::Button18, Control::ZFEingabe1, Control::Zwischenfrequenz1,
          Control::AdditionvsSubtraktion1, Control::Reflexionsmessung2, Control::Linie11,
          Control::Linie21, Control::Linie31, Control::Linie41, Control::Linie51, Control::Linie61,
          Control::Linie71, Control::Spektralmessung2})
        controls_[index(c)].enabled = false;
}

void WindowModel::setText(Control c, std::string text) {
    controls_[index(c)].text = std::move(text);
    ++version_;
}

void WindowModel::setEnabled(Control c, bool on) {
    controls_[index(c)].enabled = on;
    ++version_;
}

void WindowModel::setChecked(Control c, bool on) {
    controls_[index(c)].checked = on;
    ++version_;
}

void WindowModel::setCaption(std::string text) {
    caption_ = std::move(text);
    ++version_;
}

void WindowModel::setAttenuatorPosition(int dB) {
    attenuatorPosition_ = dB;
    ++version_;
}

void WindowModel::setTimer1(bool on) {
    timer1_ = on;
    ++version_;
}

void WindowModel::setTimer2(bool on) {
    timer2_ = on;
    ++version_;
}

}  // namespace veka
