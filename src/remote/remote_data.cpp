// The remote commands that read results and use files: TRACe, CALCulate and MMEMory.
#include <filesystem>

#include "display/auswertung.h"
#include "export/export_format.h"
#include "files/file_commands.h"
#include "remote/argument_ui.h"
#include "remote/remote_instrument.h"
#include "remote/scpi_arguments.h"
#include "remote/trace_store.h"

namespace veka {

namespace {

using N = Netzwerktester;

// Points 1..n of the sweep, each written by `write`, separated by ','.
template <typename F>
std::string pointList(const Instrument& inst, F write) {
    std::string out;
    std::lock_guard lock(inst.datenMutex);
    const int n = inst.punktzahl();
    for (int k = 1; k <= n; ++k) {
        if (k > 1) out += ',';
        out += write(k, inst.daten.Messwerte[static_cast<size_t>(k)]);
    }
    return out;
}

// A label text as a SCPI string: in double quotes, inner quotes doubled.
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
            return ScpiReply::answer(pointList(inst(), write));
        };
    };
    tree_.add("TRACe[:DATA]", {}, query([](int, int32_t v) { return std::to_string(v); }));
    tree_.add("TRACe:FREQuency", {}, query([this](int k, int32_t) {
                  const Einstellungen& e = inst().e;
                  return std::to_string(wrapAdd(e.Startfrequenz, wrapMul(k - 1, e.Schrittweite)));
              }));
    tree_.add("TRACe:LEVel", {},
              query([this](int, int32_t v) { return Pegelzahl(v, inst().Linear, '.'); }));
}

void RemoteInstrument::addCalculate() {
    const auto labels = [this](std::initializer_list<Control> controls) {
        return [this, list = std::vector<Control>(controls)](const ScpiCommand& c) {
            if (const int e = noArguments(c)) return ScpiReply::fail(e);
            std::string out;
            for (Control l : list) {
                if (!out.empty()) out += ',';
                out += quoted(inst().fenster.text(l));
            }
            return ScpiReply::answer(out);
        };
    };
    tree_.add("CALCulate:MAXimum", {}, labels({Control::Label7}));
    tree_.add("CALCulate:MINimum", {}, labels({Control::Label8}));
    tree_.add("CALCulate:BANDwidth", {},
              labels({Control::Label9, Control::Label10, Control::Label11}));
    tree_.add("CALCulate:CURSor", {}, labels({Control::Label14}));
    tree_.add("CALCulate:CURSor:FREQuency",
              typedValue(0, {Control::Button14},
                         [](N& l, UserInterface& ui) { Button14Click(l.inst(), ui); }),
              [this](const ScpiCommand& c) {
                  if (const int e = noArguments(c)) return ScpiReply::fail(e);
                  return ScpiReply::answer(std::to_string(Cursorfrequenz(inst())));
              });
}

ScpiReply RemoteInstrument::fileCommand(const ScpiCommand& c,
                                        std::initializer_list<Control> controls, bool mustExist,
                                        void (*handler)(Netzwerktester&, UserInterface&)) {
    std::string name;
    if (const int e = stringArgument(c, name)) return ScpiReply::fail(e);
    if (!isSafeRelativeName(name)) return ScpiReply::fail(scpi::DataOutOfRange);
    if (!allowed(controls)) return ScpiReply::fail(scpi::SettingsConflict);
    std::error_code ec;
    if (mustExist && !std::filesystem::is_regular_file(name, ec))
        return ScpiReply::fail(scpi::FileNameNotFound);
    return runWithAnswer(name, handler);
}

void RemoteInstrument::addMemory() {
    tree_.add("MMEMory:STORe:CONFig",
              [this](const ScpiCommand& c) {
                  return fileCommand(
                      c, {Control::MenuDatei, Control::Speichern1}, false,
                      [](N& l, UserInterface& ui) { Speichern1Click(l.inst(), ui); });
              },
              {});
    tree_.add("MMEMory:LOAD:CONFig",
              [this](const ScpiCommand& c) {
                  return fileCommand(c, {Control::MenuDatei, Control::Oeffnen1}, true,
                                     [](N& l, UserInterface& ui) {
                                         DateiDialogNamen namen;
                                         ffnen1Click(l.inst(), ui, namen);
                                     });
              },
              {});
    tree_.add("MMEMory:STORe:TRACe",
              [this](const ScpiCommand& c) {
                  // The format follows the extension; a name without a known one is refused.
                  const auto& a = c.arguments;
                  if (a.size() == 1 && a[0].kind == ScpiArgument::Kind::String &&
                      !formatVonEndung(a[0].text))
                      return ScpiReply::fail(scpi::DataOutOfRange);
                  return fileCommand(c, {Control::MenuDatei, Control::Exportieren1}, false,
                                     [](N& l, UserInterface& ui) { storeTraceFile(l, ui); });
              },
              {});
}

}  // namespace veka
