// The remote commands that read results and use files: TRACe, CALCulate and MMEMory.
#include "display/auswertung.h"
#include "export/export_format.h"
#include "remote/remote_instrument.h"
#include "remote/scpi_arguments.h"

namespace veka {

namespace {

// A text as a SCPI string: in double quotes, inner quotes doubled.
std::string quoted(const std::string& text) {
    std::string out = "\"";
    for (char c : text) {
        if (c == '"') out += '"';
        out += c;
    }
    return out + "\"";
}

}  // namespace

void RemoteInstrument::addTrace() {
    const auto query = [this](auto write) {
        return [this, write](const ScpiCommand& c) {
            if (const int e = noArguments(c)) return ScpiReply::fail(e);
            const Result<Trace> t = ops_.trace();
            if (!t) return ScpiReply::fail(scpiCode(t.error()));
            std::string out;
            for (const TracePoint& p : t->points) {
                if (!out.empty()) out += ',';
                out += write(p, t->linear);
            }
            return ScpiReply::answer(out);
        };
    };
    tree_.add("TRACe[:DATA]", {},
              query([](const TracePoint& p, bool) { return std::to_string(p.displayValue); }));
    tree_.add("TRACe:FREQuency", {},
              query([](const TracePoint& p, bool) { return std::to_string(p.frequencyHz); }));
    tree_.add("TRACe:LEVel", {}, query([](const TracePoint& p, bool linear) {
                  return Pegelzahl(p.displayValue, linear, '.');
              }));
}

void RemoteInstrument::addCalculate() {
    // The readouts as the window writes them.
    const auto results = [this](auto write) {
        return [this, write](const ScpiCommand& c) {
            if (const int e = noArguments(c)) return ScpiReply::fail(e);
            const Result<Results> r = ops_.results();
            if (!r) return ScpiReply::fail(scpiCode(r.error()));
            const bool linear = ops_.settings().linear;
            const char sep = host_.logic().inst().Dezimaltrenner;
            const auto text = [&](const Reading& g) {
                return quoted(Ablesung(g.frequencyHz, g.displayValue, linear, sep));
            };
            return ScpiReply::answer(write(*r, text));
        };
    };
    tree_.add("CALCulate:MAXimum", {},
              results([](const Results& r, auto text) { return text(r.maximum); }));
    tree_.add("CALCulate:MINimum", {},
              results([](const Results& r, auto text) { return text(r.minimum); }));
    tree_.add("CALCulate:CURSor", {},
              results([](const Results& r, auto text) { return text(r.cursor); }));
    tree_.add("CALCulate:BANDwidth", {}, results([](const Results& r, auto) {
                  if (!r.bandwidth) return std::string("\"\",\"\",\"\"");
                  const Bandwidth& b = *r.bandwidth;
                  const char* drop = b.dropDb == 3 ? " (3 dB)" : " (6 dB)";
                  return quoted(FrequenzText(b.lowerHz)) + "," + quoted(FrequenzText(b.upperHz)) +
                         "," + quoted(FrequenzText(b.widthHz) + drop);
              }));
    tree_.add("CALCulate:CURSor:FREQuency", integerSetting(&Operations::setCursorFrequency),
              [this](const ScpiCommand& c) {
                  if (const int e = noArguments(c)) return ScpiReply::fail(e);
                  return ScpiReply::answer(std::to_string(ops_.settings().cursorHz));
              });
}

ScpiReply RemoteInstrument::fileCommand(const ScpiCommand& c,
                                        Status (Operations::*op)(const std::string&)) {
    std::string name;
    if (const int e = stringArgument(c, name)) return ScpiReply::fail(e);
    if (!isSafeRelativeName(name)) return ScpiReply::fail(scpi::DataOutOfRange);
    return done((ops_.*op)(name));
}

void RemoteInstrument::addMemory() {
    tree_.add("MMEMory:STORe:CONFig",
              [this](const ScpiCommand& c) {
                  return fileCommand(c, &Operations::saveConfiguration);
              },
              {});
    tree_.add("MMEMory:LOAD:CONFig",
              [this](const ScpiCommand& c) {
                  return fileCommand(c, &Operations::loadConfiguration);
              },
              {});
    tree_.add("MMEMory:STORe:TRACe",
              [this](const ScpiCommand& c) { return fileCommand(c, &Operations::exportTrace); },
              {});
}

}  // namespace veka
