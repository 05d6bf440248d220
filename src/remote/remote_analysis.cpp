// SPDX-License-Identifier: GPL-3.0-or-later
// The remote commands of the additions: averaging and hold, the reference (memory) trace and
// the normalised view, limit lines, and the filter analysis as numbers.
#include <cmath>
#include <cstdio>
#include <optional>
#include <string>

#include "display/auswertung.h"
#include "remote/remote_instrument.h"

namespace veka {

namespace {

// Hz as whole numbers, dB and Q with the digits the interpolation carries; kNotANumber where
// the curve does not reach the level.
std::string figureText(const std::optional<double>& v) {
    if (!v) return kNotANumber;
    char text[32];
    std::snprintf(text, sizeof text, "%.6g", *v);
    return text;
}

std::string hzText(const std::optional<double>& v) {
    return v ? std::to_string(std::llround(*v)) : std::string(kNotANumber);
}

// Transmission and spectrum: maximum frequency and level; lower, upper edge and width at 3, 6,
// 20 and 60 dB below it; geometric and arithmetic centre; Q; ripple; shape factor.
std::string passbandText(const FilterAnalysis& a) {
    std::string out = hzText(a.maximumHz);
    (out += ',') += figureText(a.maximumDb);
    for (const BandAt& b : a.bands)
        for (const auto& edge : {b.lowerHz, b.upperHz, b.widthHz()})
            (out += ',') += hzText(edge);
    for (const auto& centre : {a.centreGeometricHz, a.centreArithmeticHz})
        (out += ',') += hzText(centre);
    for (const auto& figure : {a.q, a.rippleDb, a.shapeFactor})
        (out += ',') += figureText(figure);
    return out;
}

// Reflection: minimum frequency and depth, the chosen level, and lower, upper edge and width
// of the band below it.
std::string dipText(const FilterAnalysis& a) {
    std::string out = hzText(a.minimumHz);
    (out += ',') += figureText(a.minimumDb);
    (out += ',') += figureText(a.belowDb);
    for (const auto& edge : {a.below.lowerHz, a.below.upperHz, a.below.widthHz()})
        (out += ',') += hzText(edge);
    return out;
}

}  // namespace

void RemoteInstrument::resetAdditions() {
    const ExtrasReading x = ops_.extras();
    if (x.averaging) (void)ops_.setAveraging(false);
    if (x.hold != Hold::Off) (void)ops_.setHold(Hold::Off);
    if (x.normalised) (void)ops_.setNormalised(false);
    if (x.limitsOn) (void)ops_.setLimits(false);
    (void)ops_.setAverageCount(TraceExtras{}.averageCount);
}

void RemoteInstrument::addSwitch(std::string_view path, Status (Operations::*set)(bool),
                                 bool ExtrasReading::*value) {
    tree_.add(
        path,
        [this, set](const ScpiCommand& c) {
            bool on = false;
            if (const int e = booleanArgument(c, on)) return ScpiReply::fail(e);
            return done((ops_.*set)(on));
        },
        [this, value](const ScpiCommand& c) {
            if (const int e = noArguments(c)) return ScpiReply::fail(e);
            return ScpiReply::answer(ops_.extras().*value ? "1" : "0");
        });
}

void RemoteInstrument::addAction(std::string_view path, std::function<ScpiReply()> run) {
    tree_.add(path,
              [run = std::move(run)](const ScpiCommand& c) {
                  if (const int e = noArguments(c)) return ScpiReply::fail(e);
                  return run();
              },
              {});
}

void RemoteInstrument::addAnalysis() {
    addAveraging();
    addReference();
    addLimitsAndFilter();
}

void RemoteInstrument::addAveraging() {
    const Range averages{1, MaxMittelung, TraceExtras{}.averageCount};
    tree_.add(
        "[SENSe]:AVERage:COUNt",
        [this, averages](const ScpiCommand& c) {
            int32_t n = 0;
            if (const int e = numberArgument(c, Unit::None, averages, n)) return ScpiReply::fail(e);
            return done(ops_.setAverageCount(n));
        },
        [this, averages](const ScpiCommand& c) {
            std::optional<int64_t> which;
            if (const int e = rangeQuery(c, averages, which)) return ScpiReply::fail(e);
            return ScpiReply::answer(std::to_string(which.value_or(ops_.extras().averageCount)));
        });
    addSwitch("[SENSe]:AVERage[:STATe]", &Operations::setAveraging, &ExtrasReading::averaging);
    addAction("[SENSe]:AVERage:CLEar", [this] {
        ops_.restartAveraging();
        return ScpiReply{};
    });
    tree_.add(
        "CALCulate:HOLD",
        [this](const ScpiCommand& c) {
            size_t i = 0;
            if (const int e = choiceArgument(c, {"OFF", "MAXimum", "MINimum"}, i))
                return ScpiReply::fail(e);
            constexpr Hold kHolds[] = {Hold::Off, Hold::Max, Hold::Min};
            return done(ops_.setHold(kHolds[i]));
        },
        [this](const ScpiCommand& c) {
            if (const int e = noArguments(c)) return ScpiReply::fail(e);
            const Hold h = ops_.extras().hold;
            return ScpiReply::answer(h == Hold::Max ? "MAX" : h == Hold::Min ? "MIN" : "OFF");
        });
}

void RemoteInstrument::addReference() {
    addAction("CALCulate:MATH:MEMorize", [this] { return done(ops_.storeReference()); });
    addSwitch("CALCulate:MATH:STATe", &Operations::setNormalised, &ExtrasReading::normalised);
    tree_.add("TRACe:MEMory", {}, [this](const ScpiCommand& c) {
        if (const int e = noArguments(c)) return ScpiReply::fail(e);
        const Result<ReferenceTrace> r = ops_.reference();
        if (!r) return ScpiReply::fail(scpiCode(r.error()), r.error().reason);
        std::vector<double> levels;
        for (int k = 1; k <= r->points; ++k)
            levels.push_back(levelOfValue(r->values[k], r->linear));
        return ScpiReply::answer(listAnswer(levels, format_, r->linear ? linearText : dbText));
    });
    tree_.add(
        "MMEMory:LOAD:MEMory",
        [this](const ScpiCommand& c) { return fileCommand(c, ".csv", &Operations::loadReference); },
        {});
    tree_.add(
        "MMEMory:STORe:MEMory",
        [this](const ScpiCommand& c) { return fileCommand(c, ".csv", &Operations::saveReference); },
        {});
}

void RemoteInstrument::addLimitsAndFilter() {
    addSwitch("CALCulate:LIMit:STATe", &Operations::setLimits, &ExtrasReading::limitsOn);
    tree_.add(
        "MMEMory:LOAD:LIMit",
        [this](const ScpiCommand& c) { return fileCommand(c, ".csv", &Operations::loadLimits); },
        {});
    const auto verdict = [this](auto write) {
        return [this, write](const ScpiCommand& c) {
            if (const int e = noArguments(c)) return ScpiReply::fail(e);
            const Result<LimitVerdict> v = ops_.limitVerdict();
            if (!v) return ScpiReply::fail(scpiCode(v.error()), "no completed sweep");
            return ScpiReply::answer(write(*v));
        };
    };
    tree_.add("CALCulate:LIMit:FAIL", {}, verdict([](const LimitVerdict& v) {
                  return std::string(v.tested && !v.passed ? "1" : "0");
              }));
    tree_.add("CALCulate:LIMit:FAIL:FREQuency", {}, verdict([](const LimitVerdict& v) {
                  return v.tested && !v.passed ? std::to_string(v.firstFailureHz)
                                               : std::string(kNotANumber);
              }));
    tree_.add("CALCulate:FILTer", {}, [this](const ScpiCommand& c) {
        // The reflection band's level: -10 dB unless given (whole dB, as low as the display).
        int32_t below = -10;
        if (!c.arguments.empty())
            if (const int e = numberArgument(c, Unit::Decibel, Range{-80, 0, -10}, below))
                return ScpiReply::fail(e);
        const Result<FilterAnalysis> a = ops_.analysis(below);
        if (!a) return ScpiReply::fail(scpiCode(a.error()), "no completed sweep");
        if (a->empty) return ScpiReply::fail(scpi::DataStale, "no points");
        return ScpiReply::answer(a->reflection ? dipText(*a) : passbandText(*a));
    });
}

}  // namespace veka
