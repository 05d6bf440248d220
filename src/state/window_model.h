// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// What the main window shows: the text, enabled state and check mark of every control, the
// caption, the attenuator position and the two timers. The program logic writes it on the
// window thread; the window mirrors it after every command.

#include <array>
#include <cstdint>
#include <string>
#include <string_view>

namespace veka {

enum class Control : uint8_t {
    // Buttons, numbered as designed.
    Button1,
    Button2,
    Button3,
    Button4,
    Button5,
    Button6,
    Button7,
    Button8,
    Button9,
    Button10,
    Button11,
    Button12,
    Button13,
    Button14,
    Button15,
    Button16,
    Button17,
    Button18,
    Button19,
    // Labels: 1 start frequency, 2 step, 3..6 and 13 captions, 5 mode and heading,
    // 7..11 and 14 results, 12 cursor frequency.
    Label1,
    Label2,
    Label3,
    Label4,
    Label5,
    Label6,
    Label7,
    Label8,
    Label9,
    Label10,
    Label11,
    Label12,
    Label13,
    Label14,
    AttenuatorLabel,
    UpDown1,
    // Menus and their items.
    MenuDatei,
    Oeffnen1,
    Speichern1,
    MessreiheSpeichern1,
    Messreiheladen1,
    Diagrammdrucken1,
    Exportieren1,  // added item: keep it inside "&Datei" (the menu's items follow it)
    Beenden1,
    MenuMessung,
    Durchgangsmessung1,
    Reflexionsmessung1,
    Spektralmessung1,
    VFO1,
    MenuEinstellungen,
    Frequenz1,
    Minus1,
    Plus1,
    Schrittweite1,
    Dmpfung1,
    Dmpfung2,
    ZFEingabe1,
    Zwischenfrequenz1,
    AdditionvsSubtraktion1,
    Bandbreite1,
    MenuKalibrieren,
    Durchgangsmessung2,
    Reflexionsmessung2,
    Linie11,
    Linie21,
    Linie31,
    Linie41,
    Linie51,
    Linie61,
    Linie71,
    Spektralmessung2,
    Taktgenerator1,
    // Added menu "Analyse" (its items follow it).
    MenuAnalyse,
    Mittelung1,
    MaxHalten1,
    MinHalten1,
    SpeicherUebernehmen1,
    Normieren1,
    SpeicherLaden1,
    SpeicherSpeichern1,
    GrenzwerteLaden1,
    GrenzwertePruefen1,
    Filteranalyse1,
    MenuHilfe,
    Hilfe1,
    ber1,
    Count
};

inline constexpr int ControlCount = static_cast<int>(Control::Count);

struct ControlState {
    std::string text;
    bool enabled = true;
    bool checked = false;
};

class WindowModel {
  public:
    WindowModel();  // the designed start state

    const ControlState& operator[](Control c) const { return controls_[index(c)]; }

    const std::string& text(Control c) const { return controls_[index(c)].text; }
    bool enabled(Control c) const { return controls_[index(c)].enabled; }
    bool checked(Control c) const { return controls_[index(c)].checked; }

    void setText(Control c, std::string text);
    void setEnabled(Control c, bool on);
    void setChecked(Control c, bool on);

    const std::string& caption() const { return caption_; }
    void setCaption(std::string text);

    int attenuatorPosition() const { return attenuatorPosition_; }
    void setAttenuatorPosition(int dB);

    bool timer1() const { return timer1_; }
    bool timer2() const { return timer2_; }
    void setTimer1(bool on);
    void setTimer2(bool on);

    // Grows with every change, so the window can skip a refresh when nothing changed.
    uint64_t version() const { return version_; }

  private:
    static size_t index(Control c) { return static_cast<size_t>(c); }

    std::array<ControlState, ControlCount> controls_;
    std::string caption_;
    int attenuatorPosition_ = 0;
    bool timer1_ = false;
    bool timer2_ = false;
    uint64_t version_ = 0;
};

// The designed caption of a control (German).
std::string_view designText(Control c);

// Whether a control is a menu item that carries a check mark when checked.
bool isCheckable(Control c);

}  // namespace veka
