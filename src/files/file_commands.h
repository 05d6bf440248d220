#pragma once
// The file commands of the main window: save and open a configuration, save and load a
// measurement series. Saving never loses a file: the target is replaced only by a complete
// new file, and a failure is shown to the user.

#include <string>

#include "measure/instrument.h"
#include "measure/user_interface.h"

namespace veka {

// What the file dialogs offer next time.
struct DateiDialogNamen {
    std::string konfigOeffnen = "veka";
    std::string reiheSpeichern = "vek";
    std::string reiheOeffnen;
};

void Speichern1Click(Instrument& inst, UserInterface& ui);
void ffnen1Click(Instrument& inst, UserInterface& ui, DateiDialogNamen& namen);
void MessreiheSpeichern1Click(Instrument& inst, UserInterface& ui, DateiDialogNamen& namen);
void Messreiheladen1Click(Instrument& inst, UserInterface& ui, DateiDialogNamen& namen);

}  // namespace veka
