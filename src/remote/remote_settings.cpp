// SPDX-License-Identifier: GPL-3.0-or-later
// The remote commands that set up and run a measurement: SENSe (frequencies by start, step,
// stop, centre and span; points, mode, detector, sweep time), SOURce, INITiate and ABORt.
#include "remote/remote_instrument.h"
#include "remote/sweep_edges.h"

namespace veka {

void RemoteInstrument::addNumber(std::string_view path, Unit unit,
                                 Range (Operations::*range)() const,
                                 Status (Operations::*set)(int32_t),
                                 int32_t SettingsReading::*value) {
    tree_.add(
        path,
        [this, unit, range, set](const ScpiCommand& c) {
            int32_t v = 0;
            if (const int e = numberArgument(c, unit, (ops_.*range)(), v))
                return ScpiReply::fail(e);
            return done((ops_.*set)(v));
        },
        [this, range, value](const ScpiCommand& c) {
            std::optional<int64_t> which;
            if (const int e = rangeQuery(c, (ops_.*range)(), which)) return ScpiReply::fail(e);
            return ScpiReply::answer(std::to_string(which.value_or(ops_.settings().*value)));
        });
}

void RemoteInstrument::addSense() {
    addNumber("[SENSe]:FREQuency:STARt", Unit::Hertz, &Operations::startRange,
              &Operations::setStartFrequency, &SettingsReading::startHz);
    addNumber("[SENSe]:FREQuency:STEP", Unit::Hertz, &Operations::stepRange, &Operations::setStep,
              &SettingsReading::stepHz);
    addNumber("[SENSe]:SWEep:POINts", Unit::None, &Operations::pointsRange, &Operations::setPoints,
              &SettingsReading::points);
    tree_.add("[SENSe]:SWEep:TIME", {}, [this](const ScpiCommand& c) {
        if (const int e = noArguments(c)) return ScpiReply::fail(e);
        const auto us = ops_.sweepTime().count();
        return ScpiReply::answer(secondsText(static_cast<double>(us) / 1e6));
    });
    tree_.add(
        "[SENSe]:MODE",
        [this](const ScpiCommand& c) {
            size_t i = 0;
            if (const int e =
                    choiceArgument(c, {"TRANsmission", "REFLection", "SPECtrum", "VFO"}, i))
                return ScpiReply::fail(e);
            constexpr int32_t kModes[] = {Durchgang, Reflexion, Spektrum, VFO};
            return done(ops_.setMode(kModes[i]));
        },
        [this](const ScpiCommand& c) {
            if (const int e = noArguments(c)) return ScpiReply::fail(e);
            constexpr const char* kNames[] = {"NONE", "TRAN", "REFL", "SPEC", "RAW", "VFO", "SMIT"};
            const int32_t mode = ops_.settings().messart;
            return ScpiReply::answer(mode >= 1 && mode <= 6 ? kNames[mode] : kNames[0]);
        });
    tree_.add(
        "[SENSe]:DETector",
        [this](const ScpiCommand& c) {
            size_t i = 0;
            if (const int e = choiceArgument(c, {"LOGarithmic", "LINear"}, i))
                return ScpiReply::fail(e);
            return done(ops_.setDetector(i == 1));
        },
        [this](const ScpiCommand& c) {
            if (const int e = noArguments(c)) return ScpiReply::fail(e);
            return ScpiReply::answer(ops_.settings().linear ? "LIN" : "LOG");
        });
}

void RemoteInstrument::addSweepEdges() {
    using Make = std::optional<SweepPlan> (*)(const SweepPlan&, int64_t);
    struct Edge {
        std::string_view path;
        Make make;
        int64_t SweepEdges::*value;
        Range EdgeRanges::*range;
    };
    const Edge edges[] = {
        {"[SENSe]:FREQuency:STOP", withStop, &SweepEdges::stop, &EdgeRanges::stop},
        {"[SENSe]:FREQuency:CENTer", withCentre, &SweepEdges::centre, &EdgeRanges::centre},
        {"[SENSe]:FREQuency:SPAN", withSpan, &SweepEdges::span, &EdgeRanges::span},
    };
    const auto ranges = [this] {
        return edgeRanges(plan(), ops_.startRange(), ops_.stepRange(), ops_.pointsRange());
    };
    for (const Edge& edge : edges) {
        tree_.add(
            edge.path,
            [this, edge, ranges](const ScpiCommand& c) {
                int32_t v = 0;
                if (const int e = numberArgument(c, Unit::Hertz, ranges().*edge.range, v))
                    return ScpiReply::fail(e);
                const std::optional<SweepPlan> p = edge.make(plan(), v);
                if (!p) return ScpiReply::fail(scpi::DataOutOfRange);
                return done(ops_.setSweep(*p));
            },
            [this, edge, ranges](const ScpiCommand& c) {
                std::optional<int64_t> which;
                if (const int e = rangeQuery(c, ranges().*edge.range, which))
                    return ScpiReply::fail(e);
                return ScpiReply::answer(
                    std::to_string(which.value_or(edgesOf(plan()).*edge.value)));
            });
    }
}

void RemoteInstrument::addSource() {
    addNumber("SOURce:ATTenuation", Unit::Decibel, &Operations::attenuationRange,
              &Operations::setAttenuation, &SettingsReading::attenuationDb);
    addNumber("SOURce:FREQuency", Unit::Hertz, &Operations::vfoRange, &Operations::setVfoFrequency,
              &SettingsReading::startHz);
    addNumber("SOURce:IF:FREQuency", Unit::Hertz, &Operations::ifRange, &Operations::setIfOffset,
              &SettingsReading::ifHz);
    tree_.add(
        "SOURce:IF:STATe",
        [this](const ScpiCommand& c) {
            bool on = false;
            if (const int e = booleanArgument(c, on)) return ScpiReply::fail(e);
            return done(ops_.setIfApplied(on));
        },
        [this](const ScpiCommand& c) {
            if (const int e = noArguments(c)) return ScpiReply::fail(e);
            return ScpiReply::answer(ops_.settings().ifApplied ? "1" : "0");
        });
    tree_.add(
        "SOURce:IF:MODE",
        [this](const ScpiCommand& c) {
            size_t i = 0;
            if (const int e = choiceArgument(c, {"ADD", "SUBTract"}, i)) return ScpiReply::fail(e);
            return done(ops_.setIfAdded(i == 0));
        },
        [this](const ScpiCommand& c) {
            if (const int e = noArguments(c)) return ScpiReply::fail(e);
            return ScpiReply::answer(ops_.settings().ifAdded ? "ADD" : "SUBT");
        });
}

void RemoteInstrument::addSweep() {
    tree_.add("INITiate[:IMMediate]",
              [this](const ScpiCommand& c) {
                  if (const int e = noArguments(c)) return ScpiReply::fail(e);
                  return done(ops_.singleSweep());
              },
              {});
    tree_.add(
        "INITiate:CONTinuous",
        [this](const ScpiCommand& c) {
            bool on = false;
            if (const int e = booleanArgument(c, on)) return ScpiReply::fail(e);
            if (on) return done(ops_.startSweeps());
            if (ops_.settings().continuous) ops_.stop();
            return ScpiReply{};
        },
        [this](const ScpiCommand& c) {
            if (const int e = noArguments(c)) return ScpiReply::fail(e);
            return ScpiReply::answer(ops_.settings().continuous ? "1" : "0");
        });
    tree_.add("ABORt",
              [this](const ScpiCommand& c) {
                  if (const int e = noArguments(c)) return ScpiReply::fail(e);
                  if (ops_.settings().continuous) ops_.stop();
                  return ScpiReply{};
              },
              {});
}

}  // namespace veka
