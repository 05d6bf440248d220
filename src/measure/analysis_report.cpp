// SPDX-License-Identifier: GPL-3.0-or-later
#include "measure/analysis_report.h"

#include <cmath>
#include <cstdio>

#include "display/auswertung.h"

namespace veka {

namespace {

using Z = Zusatztext;

std::string hz(double f) {
    return FrequenzText(runden(f));
}

std::string zahl(double v, int stellen, char sep) {
    char buf[64];
    std::snprintf(buf, sizeof buf, "%.*f", stellen, v);
    std::string s = buf;
    for (char& c : s)
        if (c == '.') c = sep;
    return s;
}

std::string band(const BandAt& b, const Meldungstabelle& m) {
    if (!b.widthHz()) return m[Z::NichtErreicht];
    return hz(*b.lowerHz) + " … " + hz(*b.upperHz) + ", " + m[Z::Breite] + " " + hz(*b.widthHz());
}

}  // namespace

std::string analyseBericht(const FilterAnalysis& a, const LimitVerdict& grenzen,
                           const Meldungstabelle& m, char sep) {
    std::string t;
    const auto zeile = [&t](const std::string& s) { t += s + "\n"; };
    if (a.reflection) {
        zeile(m[Z::Minimum] + ": " + zahl(a.minimumDb, 1, sep) + " dB, " + hz(a.minimumHz));
        zeile(m[Z::Unter] + " " + zahl(a.belowDb, 1, sep) + " dB: " + band(a.below, m));
    } else {
        zeile(m[Z::Maximum] + ": " + zahl(a.maximumDb, 1, sep) + " dB, " + hz(a.maximumHz));
        for (const BandAt& b : a.bands) zeile("-" + zahl(b.dropDb, 0, sep) + " dB: " + band(b, m));
        if (a.centreArithmeticHz)
            zeile(m[Z::Mitte] + ": " + hz(*a.centreArithmeticHz) + " (" + m[Z::Arithmetisch] +
                  "), " + hz(a.centreGeometricHz.value_or(0)) + " (" + m[Z::Geometrisch] + ")");
        if (a.q) zeile(m[Z::Guete] + " Q: " + zahl(*a.q, 1, sep));
        if (a.shapeFactor)
            zeile(m[Z::Formfaktor] + " (" + zahl(a.shapeFromDb, 0, sep) + "/" +
                  zahl(a.shapeToDb, 0, sep) + " dB): " + zahl(*a.shapeFactor, 2, sep));
        if (a.rippleDb) zeile(m[Z::Welligkeit] + ": " + zahl(*a.rippleDb, 1, sep) + " dB");
    }
    if (grenzen.tested)
        zeile(m[Z::Grenzwerte] + ": " +
              (grenzen.passed ? m[Z::Bestanden] : m[Z::VerletztBei] + " " + hz(grenzen.firstFailureHz)));
    return t;
}

}  // namespace veka
