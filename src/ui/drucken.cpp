// SPDX-License-Identifier: GPL-3.0-or-later
#include "ui/drucken.h"

#include <QPrintDialog>

#include "display/printing.h"

namespace veka {

bool seiteDrucken(QPrinter& drucker, const Netzwerktester& logik) {
    return seiteAusgeben(drucker, logik.inst().fenster, logik.anzeige());
}

void Diagrammdrucken1Click(Netzwerktester& logik, UserInterface& ui, QWidget* parent) {
    QPrinter drucker(QPrinter::HighResolution);
    QPrintDialog dialog(&drucker, parent);
    if (dialog.exec() != QDialog::Accepted) return;
    if (!seiteDrucken(drucker, logik)) {
        drucker.abort();
        ui.showError("Der Druck ist fehlgeschlagen; der Auftrag wurde abgebrochen.");
    }
}

}  // namespace veka
