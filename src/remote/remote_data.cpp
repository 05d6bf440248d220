// SPDX-License-Identifier: GPL-3.0-or-later
// The remote commands that read results and use files: TRACe, CALCulate, FORMat and MMEMory.
#include <cerrno>

#include "files/confined_file.h"
#include "remote/remote_instrument.h"

namespace veka {

namespace {

std::string readingText(const Reading& g, bool linear) {
    std::string out = std::to_string(g.frequencyHz);
    out += ',';
    out += levelText(g.level, linear);
    return out;
}

}  // namespace

void RemoteInstrument::addTrace() {
    struct Column {
        std::string_view path;
        double (*value)(const TracePoint&);
        bool level;
    };
    const Column columns[] = {
        {"TRACe[:DATA]", [](const TracePoint& p) { return double(p.displayValue); }, false},
        {"TRACe:FREQuency", [](const TracePoint& p) { return double(p.frequencyHz); }, false},
        {"TRACe:LEVel", [](const TracePoint& p) { return p.level; }, true},
    };
    for (const Column& column : columns) {
        tree_.add(column.path, {}, [this, column](const ScpiCommand& c) {
            if (const int e = noArguments(c)) return ScpiReply::fail(e);
            const Result<Trace> t = ops_.trace();
            if (!t) return ScpiReply::fail(scpiCode(t.error()), "no completed sweep");
            std::vector<double> values;
            values.reserve(t->points.size());
            for (const TracePoint& p : t->points) values.push_back(column.value(p));
            const auto ascii = !column.level ? wholeText : t->linear ? linearText : dbText;
            return ScpiReply::answer(listAnswer(values, format_, ascii));
        });
    }
}

void RemoteInstrument::addCalculate() {
    const auto results = [this](auto write) {
        return [this, write](const ScpiCommand& c) {
            if (const int e = noArguments(c)) return ScpiReply::fail(e);
            const Result<Results> r = ops_.results();
            if (!r) return ScpiReply::fail(scpiCode(r.error()), "no completed sweep");
            return ScpiReply::answer(write(*r));
        };
    };
    tree_.add("CALCulate:MAXimum", {},
              results([](const Results& r) { return readingText(r.maximum, r.linear); }));
    tree_.add("CALCulate:MINimum", {},
              results([](const Results& r) { return readingText(r.minimum, r.linear); }));
    tree_.add("CALCulate:CURSor", {},
              results([](const Results& r) { return readingText(r.cursor, r.linear); }));
    tree_.add("CALCulate:BANDwidth", {}, results([](const Results& r) {
                  if (!r.bandwidth)
                      return std::string(kNotANumber) + "," + kNotANumber + "," + kNotANumber;
                  const Bandwidth& b = *r.bandwidth;
                  return std::to_string(b.lowerHz) + "," + std::to_string(b.upperHz) + "," +
                         std::to_string(b.widthHz);
              }));
    addNumber("CALCulate:CURSor:FREQuency", Unit::Hertz, &Operations::cursorRange,
              &Operations::setCursorFrequency, &SettingsReading::cursorHz);
}

void RemoteInstrument::addFormat() {
    using Kind = DataFormat::Kind;
    const bool always = true;  // the answers' form, not a setting of the instrument
    tree_.add(
        "FORMat[:DATA]",
        [this](const ScpiCommand& c) {
            if (c.arguments.empty()) return ScpiReply::fail(scpi::MissingParameter);
            if (c.arguments.size() > 2) return ScpiReply::fail(scpi::ParameterNotAllowed);
            ScpiCommand first = c;
            first.arguments.resize(1);
            size_t i = 0;
            if (const int e = choiceArgument(first, {"ASCii", "REAL"}, i))
                return ScpiReply::fail(e);
            int32_t bits = i == 0 ? 0 : 32;
            if (c.arguments.size() == 2) {
                ScpiCommand second = c;
                second.arguments.erase(second.arguments.begin());
                if (const int e = numberArgument(second, Unit::None, Range{}, bits))
                    return ScpiReply::fail(e);
            }
            if (i == 0 && bits != 0) return ScpiReply::fail(scpi::DataOutOfRange);
            if (i == 1 && bits != 32 && bits != 64) return ScpiReply::fail(scpi::DataOutOfRange);
            format_.kind = i == 0 ? Kind::Ascii : bits == 32 ? Kind::Real32 : Kind::Real64;
            return ScpiReply{};
        },
        [this](const ScpiCommand& c) {
            if (const int e = noArguments(c)) return ScpiReply::fail(e);
            const char* kTexts[] = {"ASC,0", "REAL,32", "REAL,64"};
            return ScpiReply::answer(kTexts[static_cast<int>(format_.kind)]);
        },
        always);
    tree_.add(
        "FORMat:BORDer",
        [this](const ScpiCommand& c) {
            size_t i = 0;
            if (const int e = choiceArgument(c, {"NORMal", "SWAPped"}, i))
                return ScpiReply::fail(e);
            format_.swapped = i == 1;
            return ScpiReply{};
        },
        [this](const ScpiCommand& c) {
            if (const int e = noArguments(c)) return ScpiReply::fail(e);
            return ScpiReply::answer(format_.swapped ? "SWAP" : "NORM");
        },
        always);
}

ScpiReply RemoteInstrument::fileCommand(const ScpiCommand& c, std::string_view extension,
                                        Status (Operations::*op)(const std::string&)) {
    std::string name;
    if (const int e = stringArgument(c, name)) return ScpiReply::fail(e);
    std::string why;
    if (const int e = remoteFileName(name, extension, why)) return ScpiReply::fail(e, why);
    int error = 0;
    const std::optional<ConfinedFile> file = ConfinedFile::resolve(name, error);
    if (!file && error == ENOENT) return ScpiReply::fail(scpi::FileNameNotFound, "no such folder");
    if (!file) return ScpiReply::fail(scpi::FileNameError, "outside the working folder");
    return done((ops_.*op)(file->path()));
}

void RemoteInstrument::addMemory() {
    tree_.add("MMEMory:STORe:CONFig",
              [this](const ScpiCommand& c) {
                  return fileCommand(c, ".cfg", &Operations::saveConfiguration);
              },
              {});
    tree_.add("MMEMory:LOAD:CONFig",
              [this](const ScpiCommand& c) {
                  return fileCommand(c, ".cfg", &Operations::loadConfiguration);
              },
              {});
    tree_.add("MMEMory:STORe:TRACe",
              [this](const ScpiCommand& c) { return fileCommand(c, "", &Operations::exportTrace); },
              {});
}

}  // namespace veka
