// SPDX-License-Identifier: GPL-3.0-or-later
#include "display/filter_analysis.h"

#include <algorithm>
#include <cmath>
#include <limits>

namespace veka {

namespace {

struct Curve {
    const LevelTrace& t;
    std::vector<double> db;  // per point, from 0

    double frequency(double k) const { return static_cast<double>(t.startHz) + k * t.stepHz; }
    int size() const { return static_cast<int>(db.size()); }
};

double toDb(double level, bool linear) {
    if (!linear) return level;
    return level > 0 ? 20.0 * std::log10(level) : -std::numeric_limits<double>::infinity();
}

// From point `from` outwards (dir -1 or +1), the frequency where the curve first crosses
// `level` (falling below it when `below`, else rising above it), between the points around
// the crossing; nothing when it does not within the sweep.
std::optional<double> crossing(const Curve& c, int from, int dir, double level, bool below) {
    for (int k = from + dir; k >= 0 && k < c.size(); k += dir) {
        const bool crossed = below ? c.db[k] <= level : c.db[k] >= level;
        if (!crossed) continue;
        const double a = c.db[k - dir], b = c.db[k];
        const double part = b == a ? 0.0 : (level - a) / (b - a);
        return c.frequency(k - dir + dir * part);
    }
    return std::nullopt;
}

// Inside the band: the highest level minus the lowest one between the first and the last
// peak (a point above a neighbour and not below either); 0 for a single peak, however wide.
double ripple(const Curve& c, double lowerHz, double upperHz) {
    std::vector<double> in;
    for (int k = 0; k < c.size(); ++k)
        if (c.frequency(k) >= lowerHz && c.frequency(k) <= upperHz) in.push_back(c.db[k]);
    const auto n = static_cast<int>(in.size());
    int first = -1, last = -1;
    for (int k = 0; k < n; ++k) {
        const double before = k > 0 ? in[k - 1] : -INFINITY;
        const double after = k + 1 < n ? in[k + 1] : -INFINITY;
        if (in[k] >= before && in[k] >= after && (in[k] > before || in[k] > after)) {
            if (first < 0) first = k;
            last = k;
        }
    }
    if (first < 0) return 0;
    const double top = *std::max_element(in.begin(), in.end());
    return top - *std::min_element(in.begin() + first, in.begin() + last + 1);
}

void transmission(const Curve& c, FilterAnalysis& r) {
    const int peak = static_cast<int>(std::max_element(c.db.begin(), c.db.end()) - c.db.begin());
    r.maximumDb = c.db[peak];
    r.maximumHz = c.frequency(peak);
    for (size_t i = 0; i < kBandDrops.size(); ++i) {
        BandAt& b = r.bands[i];
        b.dropDb = kBandDrops[i];
        b.lowerHz = crossing(c, peak, -1, r.maximumDb - b.dropDb, true);
        b.upperHz = crossing(c, peak, +1, r.maximumDb - b.dropDb, true);
    }
    const BandAt& b3 = r.bands[0];
    if (const auto w3 = b3.widthHz()) {
        r.centreArithmeticHz = (*b3.lowerHz + *b3.upperHz) / 2;
        if (*b3.lowerHz > 0) r.centreGeometricHz = std::sqrt(*b3.lowerHz * *b3.upperHz);
        if (r.centreGeometricHz && *w3 > 0) r.q = *r.centreGeometricHz / *w3;
        r.rippleDb = ripple(c, *b3.lowerHz, *b3.upperHz);
    }
    const auto w6 = r.bands[1].widthHz();
    for (size_t deep : {size_t{3}, size_t{2}}) {
        const auto w = r.bands[deep].widthHz();
        if (!w || !w6 || *w6 <= 0) continue;
        r.shapeFactor = *w / *w6;
        r.shapeFromDb = kBandDrops[deep];
        r.shapeToDb = 6;
        break;
    }
}

void reflection(const Curve& c, FilterAnalysis& r, double belowDb) {
    const int dip = static_cast<int>(std::min_element(c.db.begin(), c.db.end()) - c.db.begin());
    r.minimumDb = c.db[dip];
    r.minimumHz = c.frequency(dip);
    r.belowDb = belowDb;
    r.below.dropDb = 0;
    if (r.minimumDb > belowDb) return;  // never below the level
    r.below.lowerHz = crossing(c, dip, -1, belowDb, false);
    r.below.upperHz = crossing(c, dip, +1, belowDb, false);
}

}  // namespace

FilterAnalysis analyseFilter(const LevelTrace& t, double belowDb) {
    FilterAnalysis r;
    r.reflection = t.reflection;
    Curve c{t, {}};
    for (double l : t.levels) c.db.push_back(toDb(l, t.linear));
    if (c.db.empty()) return r;
    r.empty = false;
    if (t.reflection)
        reflection(c, r, belowDb);
    else
        transmission(c, r);
    return r;
}

}  // namespace veka
