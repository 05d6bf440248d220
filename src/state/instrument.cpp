// SPDX-License-Identifier: GPL-3.0-or-later
#include "state/instrument.h"

#include <cmath>
#include <limits>

namespace veka {

int32_t runden(double x) {
    if (std::isnan(x)) return 0;
    const double r = std::nearbyint(x);  // default rounding mode: halves to even
    if (r >= 2147483647.0) return std::numeric_limits<int32_t>::max();
    if (r <= -2147483648.0) return std::numeric_limits<int32_t>::min();
    return static_cast<int32_t>(r);
}

Korrfaktorpaar* Instrument::faktorpaar(int32_t messart, bool linear) {
    switch (messart) {
        case Durchgang:
            return linear ? &e.Dlin : &e.Dlog;
        case Reflexion:
            return linear ? &e.Rlin : &e.Rlog;
        case Spektrum:
            return linear ? &e.Slin : &e.Slog;
        default:
            return nullptr;
    }
}

int Instrument::punktzahl() const {
    if (e.Messpunkte < 1) return 0;
    return e.Messpunkte > MaxPunkte ? MaxPunkte : e.Messpunkte;
}

}  // namespace veka
