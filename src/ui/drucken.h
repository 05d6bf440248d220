// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// "&Diagramm drucken": the print dialog (a PDF file is one of its printers), then one page.

#include <QPrinter>

#include "measure/netzwerktester.h"

class QWidget;

namespace veka {

// Prints the page on a printer already chosen; false (job cancelled) when the printer fails.
bool seiteDrucken(QPrinter& drucker, const Netzwerktester& logik);

void Diagrammdrucken1Click(Netzwerktester& logik, UserInterface& ui, QWidget* parent);

}  // namespace veka
