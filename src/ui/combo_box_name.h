// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// On this platform Qt announces an editable combo box by its text ("-DL") and leaves its name
// to a label relation, which screen readers do not all follow. Installed once, a factory gives
// every editable combo box an accessible interface that is named like any other field (its
// accessible name, else its buddy label's text) and keeps the text as its value.

namespace veka {

// Installs the factory; later calls do nothing. Before the first combo box is asked for its
// interface (an interface once made is kept for the widget's life).
void nameEditableComboBoxes();

}  // namespace veka
