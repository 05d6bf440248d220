// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The analysis of a filter curve, from the levels of a trace (as its CSV table has them), with
// straight-line interpolation between neighbouring points:
//   transmission and spectrum: the maximum and its frequency; the lower and upper edges where
//     the curve has fallen 3, 6, 20 and 60 dB below the maximum, searched outwards from it
//     (an edge only where the curve reaches that level within the sweep) and the widths
//     between them; the centre of the 3 dB band, arithmetic (lo + hi) / 2 and geometric
//     sqrt(lo * hi); Q = geometric centre / 3 dB width; the shape factor, the width at the
//     deepest of 60 and 20 dB whose edges lie in the sweep over the width at 6 dB; the ripple,
//     inside the 3 dB band the highest level minus the lowest between the first and the last
//     peak (0 for a single peak);
//   reflection: the minimum (the depth of the dip) and its frequency, and the edges and width
//     of the stretch around it where the curve stays below a chosen level.
// Levels of a linear trace are taken as 20 log10 of the fraction for all of this.

#include <array>
#include <cstdint>
#include <optional>
#include <vector>

namespace veka {

struct LevelTrace {
    int64_t startHz = 0;
    int64_t stepHz = 0;
    bool linear = false;
    bool reflection = false;
    std::vector<double> levels;  // point 1 first: dB, or the linear fraction
};

struct BandAt {
    double dropDb = 0;  // below the maximum
    std::optional<double> lowerHz;
    std::optional<double> upperHz;
    std::optional<double> widthHz() const {
        if (!lowerHz || !upperHz) return std::nullopt;
        return *upperHz - *lowerHz;
    }
};

struct FilterAnalysis {
    bool reflection = false;
    bool empty = true;  // no points
    // Transmission and spectrum.
    double maximumDb = 0;
    double maximumHz = 0;
    std::array<BandAt, 4> bands{};  // 3, 6, 20, 60 dB
    std::optional<double> centreArithmeticHz, centreGeometricHz, q, rippleDb, shapeFactor;
    double shapeFromDb = 0, shapeToDb = 0;  // the pair of the shape factor, e.g. 60 and 6
    // Reflection.
    double minimumDb = 0;
    double minimumHz = 0;
    double belowDb = 0;  // the chosen level
    BandAt below;        // edges where the curve rises above belowDb around the minimum
};

inline constexpr std::array<double, 4> kBandDrops = {3, 6, 20, 60};

FilterAnalysis analyseFilter(const LevelTrace& t, double belowDb = -10);

}  // namespace veka
