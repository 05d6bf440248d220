#include "files/file_commands.h"

#include <new>

#include "display/auswertung.h"
#include "display/diagram.h"
#include "display/messreihe.h"
#include "files/config_file.h"
#include "files/safe_file.h"
#include "files/series_file.h"
#include "files/text_lines.h"

namespace veka {

namespace {

const char* const kKonfigFilter = "Konfiguration|*.cfg|Alle|*.*";

void speichern(UserInterface& ui, const std::string& pfad, const std::string& bytes) {
    std::string fehler;
    if (!saveFileSafely(pfad, bytes, &fehler)) ui.showError(fehler);
}

// A file that cannot be read, is too large or exhausts memory loads nothing, silently.
void reiheLaden(Instrument& inst, UserInterface& ui, const std::string& pfad) {
    const auto bytes = readFileBytes(pfad, MaxMessreiheBytes);
    if (!bytes) return;
    std::optional<GeladeneMessreihe> reihe;
    bool falscheKennung = false;
    try {
        reihe = messreiheLesen(*bytes, &falscheKennung);
    } catch (const std::bad_alloc&) {
        return;
    }
    if (reihe)
        MessreiheAnzeigen(inst, *reihe);
    else if (falscheKennung)
        ui.showMessage(inst.meldungen[7]);
}

void zeitgeberAn(Instrument& inst) {
    inst.fenster.setTimer2(true);
    inst.fenster.setTimer1(true);
}

}  // namespace

void Speichern1Click(Instrument& inst, UserInterface& ui) {
    const auto pfad = ui.chooseFile({true, kKonfigFilter, "cfg", inst.Konfigurationsdatei});
    if (!pfad) return;
    speichern(ui, *pfad, konfigurationSchreiben(inst.e));
}

void ffnen1Click(Instrument& inst, UserInterface& ui, DateiDialogNamen& namen) {
    const auto pfad = ui.chooseFile({false, kKonfigFilter, "cfg", namen.konfigOeffnen});
    if (!pfad) return;
    namen.konfigOeffnen = *pfad;
    konfigurationLaden(*pfad, inst.e);  // a file that cannot be read loads nothing
    inst.fenster.setText(Control::Label1, FrequenzText(inst.e.Startfrequenz));
    inst.fenster.setText(Control::Label2, FrequenzText(inst.e.Schrittweite));
    dm_diagramm(inst);
}

void MessreiheSpeichern1Click(Instrument& inst, UserInterface& ui, DateiDialogNamen& namen) {
    const auto pfad = ui.chooseFile({true, "Daten|*.dat|Alle|*.*", "dat", namen.reiheSpeichern});
    if (!pfad) return;
    namen.reiheSpeichern = *pfad;
    std::string bytes;
    {
        std::lock_guard lock(inst.datenMutex);
        bytes = messreiheSchreiben(inst);
    }
    speichern(ui, *pfad, bytes);
}

void Messreiheladen1Click(Instrument& inst, UserInterface& ui, DateiDialogNamen& namen) {
    const auto pfad = ui.chooseFile({false, "Messreihe|*.dat|Alle|*.*", "dat", namen.reiheOeffnen});
    if (pfad) {
        namen.reiheOeffnen = *pfad;
        reiheLaden(inst, ui, *pfad);
    }
    zeitgeberAn(inst);
}

}  // namespace veka
