// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// What the file dialogs of the main window offer next time. The file commands themselves are
// members of Netzwerktester: a dialog, then the file operation.

#include <string>

namespace veka {

struct DateiDialogNamen {
    std::string konfigOeffnen = "veka";
    std::string reiheSpeichern = "vek";
    std::string reiheOeffnen;
    std::string export_ = "vek";
    std::string speicher = "speicher";
    std::string grenzwerte;
};

}  // namespace veka
