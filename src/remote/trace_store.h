#pragma once
// MMEMory:STORe:TRACe: the sweep into a file whose format follows the extension, with the
// handler of the window's "Exportieren …". The name comes from ui.chooseFile (the command's
// argument); a failure goes to ui.showError.

#include "measure/netzwerktester.h"
#include "measure/user_interface.h"

namespace veka {

void storeTraceFile(Netzwerktester& logik, UserInterface& ui);

}  // namespace veka
