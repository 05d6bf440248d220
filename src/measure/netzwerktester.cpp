#include "measure/netzwerktester.h"

#include <clocale>
#include <ctime>

#include "display/auswertung.h"
#include "display/diagram.h"
#include "link/source_controls.h"
#include "measure/calibration.h"
#include "measure/modes.h"

namespace veka {

std::string startzeitText() {
    const std::time_t jetzt = std::time(nullptr);
    std::tm lokal{};
    localtime_r(&jetzt, &lokal);
    char datum[64] = {};
    char zeit[64] = {};
    std::strftime(datum, sizeof datum, "%x", &lokal);
    std::strftime(zeit, sizeof zeit, "%X", &lokal);
    return std::string(datum) + "  " + zeit;
}

Netzwerktester::Netzwerktester(UserInterface& ui)
    : ui_(ui),
      inst_(std::make_unique<Instrument>()),
      link_(*inst_, ui),
      sweep_(*inst_, link_, ui) {}

Netzwerktester::~Netzwerktester() = default;  // the sweep member joins its worker first

void Netzwerktester::FormCreate(const std::optional<std::string>& configArgument) {
    Instrument& s = *inst_;
    s.Konfigurationsdatei = configArgument.value_or("vekami.cfg");
    s.e.Hardwareversion = " V7.3 ";
    if (const lconv* lc = std::localeconv(); lc && lc->decimal_point && *lc->decimal_point)
        s.Dezimaltrenner = *lc->decimal_point;
    s.ZFAktiv = false;
    s.Linear = false;
    s.Smith = false;
    startupDateien();
    s.Cursorpunkt = runden(s.e.Messpunkte / 2.0);
    s.fenster.setText(Control::Label12, FrequenzText(Cursorfrequenz(s)));
    link_.PortSetzen();
    link_.discardInput();
    s.fenster.setText(Control::AttenuatorLabel, "  0 dB");
    s.fenster.setText(Control::Label1, FrequenzText(s.e.Startfrequenz));
    s.fenster.setText(Control::Label2, FrequenzText(s.e.Schrittweite));
    s.DemoModus = false;
    s.Messart = Durchgang;
    s.fenster.setChecked(Control::Zwischenfrequenz1, (s.e.ZFBerechnung & 1) != 0);
    s.fenster.setChecked(Control::AdditionvsSubtraktion1, (s.e.ZFBerechnung & 2) != 0);
    link_.FrequenzSetzen(1, s.e.Startfrequenz);
    s.Diagrammueberschrift = startzeitText();
    s.fenster.setText(Control::Label5, Modustext(s, Control::Button8, "  "));
    clear_messwerte(s.fenster);
    dm_diagramm(s);
    s.fenster.setTimer2(true);
    startupSprache();
}

Bildbereich Netzwerktester::Timer2Timer() {
    Messdaten& d = inst_->daten;
    std::lock_guard lock(inst_->datenMutex);
    d.refreshWecken = false;
    Bildbereich neu = d.Rasterbild.geaendert;
    neu.dazu(d.Diagrammbild.geaendert);
    if (neu.leer()) return neu;
    d.Rasterbild.geaendert = {};
    d.Diagrammbild.geaendert = {};
    return Bildbereich(neu.spalten, BilderVerknuepfen(anzeige_, d.Rasterbild, d.Diagrammbild, neu));
}

bool Netzwerktester::refreshRuhen() {
    Messdaten& d = inst_->daten;
    std::lock_guard lock(inst_->datenMutex);
    d.refreshWecken = !d.Rasterbild.geaendert && !d.Diagrammbild.geaendert;
    return d.refreshWecken;
}

void Netzwerktester::Timer1Timer() {
    inst_->fenster.setTimer1(false);
}

void Netzwerktester::Button5Click() {
    sweep_.Button5Click();
}

void Netzwerktester::Button6Click() {
    requestStop(nullptr);
}

void Netzwerktester::requestStop(std::function<void()> whenStopped) {
    sweep_.requestStop([this, whenStopped = std::move(whenStopped)] {
        nachStop();
        if (whenStopped) whenStopped();
    });
}

void Netzwerktester::stopAndWait() {
    sweep_.stopmessung();
    nachStop();
}

void Netzwerktester::nachStop() {
    link_.FrequenzSetzen(1, inst_->e.Startfrequenz);  // parks the source; reading unused
    maxminwert(*inst_);
}

void Netzwerktester::Button1Click() {
    veka::Button1Click(*inst_, link_, ui_);
}
void Netzwerktester::Button2Click() {
    veka::Button2Click(*inst_, link_);
}
void Netzwerktester::Button3Click() {
    veka::Button3Click(*inst_, link_);
}
void Netzwerktester::Button4Click() {
    veka::Button4Click(*inst_, ui_);
}

void Netzwerktester::UpDown1Click(int neuePosition) {
    inst_->fenster.setAttenuatorPosition(neuePosition);
    veka::UpDown1Click(*inst_, link_);
}

void Netzwerktester::Dmpfung1Click() {
    veka::Dmpfung1Click(*inst_, link_);
}
void Netzwerktester::Dmpfung2Click() {
    veka::Dmpfung2Click(*inst_, link_);
}
void Netzwerktester::Taktgenerator1Click() {
    veka::Taktgenerator1Click(*inst_, link_, ui_);
}
void Netzwerktester::Button15Click() {
    veka::Button15Click(*inst_, link_);
}
void Netzwerktester::Zwischenfrequenz1Click() {
    veka::Zwischenfrequenz1Click(*inst_, link_);
}
void Netzwerktester::AdditionvsSubtraktion1Click() {
    veka::AdditionvsSubtraktion1Click(*inst_, link_);
}
void Netzwerktester::ZFEingabe1Click() {
    veka::ZFEingabe1Click(*inst_, ui_);
}

void Netzwerktester::Button8Click() {
    veka::Button8Click(*inst_);
}
void Netzwerktester::Button9Click() {
    veka::Button9Click(*inst_);
}
void Netzwerktester::Button10Click() {
    veka::Button10Click(*inst_);
}

void Netzwerktester::Button11Click() {
    veka::Button11Click(*inst_, ui_);
}
void Netzwerktester::Button12Click() {
    veka::Button12Click(*inst_);
}
void Netzwerktester::Button13Click() {
    veka::Button13Click(*inst_);
}
void Netzwerktester::Button14Click() {
    veka::Button14Click(*inst_, ui_);
}
void Netzwerktester::Button16Click() {
    veka::Button16Click(*inst_);
}
void Netzwerktester::Button17Click() {
    veka::Button17Click(*inst_);
}
void Netzwerktester::Button18Click() {
    veka::Button18Click(*inst_, ui_);
}
void Netzwerktester::Button19Click() {
    veka::Button19Click(*inst_);
}

void Netzwerktester::Durchgangsmessung2Click() {
    veka::Durchgangsmessung2Click(*inst_, sweep_, ui_);
}
void Netzwerktester::Reflexionsmessung2Click() {
    veka::Reflexionsmessung2Click(*inst_, sweep_, ui_);
}
void Netzwerktester::Spektralmessung2Click() {
    veka::Spektralmessung2Click(*inst_, sweep_, ui_);
}
void Netzwerktester::LinieClick(int linie) {
    LinieKalibrieren(*inst_, sweep_, ui_, linie);
}

}  // namespace veka
