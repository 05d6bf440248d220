// SPDX-License-Identifier: GPL-3.0-or-later
#include "measure/netzwerktester.h"

#include <clocale>
#include <ctime>

#include "display/auswertung.h"
#include "display/diagram.h"
#include "display/quickdraw.h"
#include "measure/calibration.h"
#include "measure/modes.h"
#include "measure/steps.h"

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
    cursorMitte(s);
    link_.PortSetzen();
    link_.discardInput();
    s.fenster.setText(Control::AttenuatorLabel, "  0 dB");
    frequenzenZeigen(s);
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
    (void)ops_.startSweeps();
}

void Netzwerktester::Button6Click() {
    ops_.stop();
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
    parken(*inst_, link_);
    maxminwert(*inst_);
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
