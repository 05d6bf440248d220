// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The filter analysis and the limit lines' verdict as the window reports them: lines of German
// text (or the language file's), frequencies as the readouts write them.

#include <string>

#include "display/filter_analysis.h"
#include "measure/operations.h"
#include "state/meldungstabelle.h"

namespace veka {

std::string analyseBericht(const FilterAnalysis& a, const LimitVerdict& grenzen,
                           const Meldungstabelle& m, char dezimaltrenner);

}  // namespace veka
