// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The help page built into the program, shown when no readable help file is at hand.

#include <QString>

namespace veka {

// A German user guide as an HTML page.
QString builtInHelpHtml();

}  // namespace veka
