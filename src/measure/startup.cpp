// SPDX-License-Identifier: GPL-3.0-or-later
// The commands of the program logic that reach into files: the start-up steps that read the
// frequency marks, the start-up configuration and the language; the file commands, which
// remember the names their dialogs offer; and the settings dialog's steps around it, which
// re-apply the language.
#include "display/diagram.h"
#include "files/config_file.h"
#include "files/marks_file.h"
#include "files/sprache.h"
#include "measure/netzwerktester.h"

namespace veka {

void Netzwerktester::startupDateien() {
    Instrument& s = *inst_;
    s.Frequenzmarken = frequenzmarkenLaden("frequenz.cfg");
    const std::string fehler = startupLoadOrCreate(s.e, s.Konfigurationsdatei);
    // Neither readable nor creatable: go on with the start values, and say why once.
    if (!fehler.empty()) ui_.showError(fehler);
}

void Netzwerktester::startupSprache() {
    Sprache_setzen(*inst_, inst_->e.Sprache);
}

void Netzwerktester::optionenVorher() {
    link_.closePort();
}

void Netzwerktester::optionenNachher() {
    Sprache_setzen(*inst_, inst_->e.Sprache);
    link_.PortSetzen();
    dm_diagramm(*inst_);
    inst_->DemoModus = false;
    link_.FrequenzSetzen(1, inst_->e.Startfrequenz);
}

}  // namespace veka
