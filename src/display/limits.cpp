// SPDX-License-Identifier: GPL-3.0-or-later
#include "display/limits.h"

#include <algorithm>

#include "display/auswertung.h"

namespace veka {

std::optional<double> limitAt(const std::vector<LimitRow>& rows, int64_t f, bool upper) {
    const auto above = std::lower_bound(rows.begin(), rows.end(), f,
                                        [](const LimitRow& r, int64_t x) { return r.frequencyHz < x; });
    if (above == rows.end()) return std::nullopt;
    const std::optional<double>& b = upper ? above->upper : above->lower;
    if (above->frequencyHz == f) return b;
    if (above == rows.begin() || !b) return std::nullopt;
    const LimitRow& lo = *(above - 1);
    const std::optional<double>& a = upper ? lo.upper : lo.lower;
    if (!a) return std::nullopt;
    const double t = static_cast<double>(f - lo.frequencyHz) /
                     static_cast<double>(int64_t{above->frequencyHz} - lo.frequencyHz);
    return *a + t * (*b - *a);
}

int firstLimitFailure(const std::vector<LimitRow>& rows, const CompletedSweep& c) {
    for (int k = 1; k <= c.points; ++k) {
        const int64_t f = int64_t{c.start} + int64_t{c.step} * (k - 1);
        const double level = levelOfValue(c.shownValues[k], c.linear);
        const auto hi = limitAt(rows, f, true);
        const auto lo = limitAt(rows, f, false);
        if ((hi && level > *hi) || (lo && level < *lo)) return k;
    }
    return 0;
}

}  // namespace veka
