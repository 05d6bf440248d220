// The remote commands that set up and run a measurement: common commands, SENSe, SOURce,
// INITiate and ABORt.
#include "remote/remote_instrument.h"

#include "display/auswertung.h"
#include "display/diagram.h"
#include "link/source_controls.h"
#include "measure/modes.h"
#include "remote/argument_ui.h"
#include "remote/scpi_arguments.h"

namespace veka {

namespace {

using N = Netzwerktester;

// "&Frequenz": the start frequency the user would type.
void typedStart(Netzwerktester& l, UserInterface& ui) {
    Button1Click(l.inst(), l.link(), ui);
}

ScpiReply integerAnswer(int64_t v) {
    return ScpiReply::answer(std::to_string(v));
}

// A query that takes no argument and answers what `value` says.
template <typename F>
ScpiHandler queryOf(F value) {
    return [value](const ScpiCommand& c) {
        if (const int e = noArguments(c)) return ScpiReply::fail(e);
        return value();
    };
}

}  // namespace

RemoteInstrument::RemoteInstrument(RemoteHost& host, std::string version)
    : host_(host), version_(std::move(version)) {
    addCommon();
    addSense();
    addSource();
    addSweep();
    addTrace();
    addCalculate();
    addMemory();
}

Instrument& RemoteInstrument::inst() {
    return host_.logik().inst();
}

bool RemoteInstrument::allowed(std::initializer_list<Control> controls) {
    for (Control c : controls)
        if (!inst().fenster.enabled(c)) return false;
    return true;
}

ScpiReply RemoteInstrument::runWithAnswer(std::string answer,
                                          void (*handler)(Netzwerktester&, UserInterface&)) {
    ArgumentUi ui(host_.ui(), std::move(answer));
    host_.run([&] { handler(host_.logik(), ui); });
    if (!ui.errors.empty()) return ScpiReply::fail(scpi::MassStorageError);
    return {};
}

ScpiHandler RemoteInstrument::typedValue(int64_t lowest, std::initializer_list<Control> controls,
                                         void (*handler)(Netzwerktester&, UserInterface&)) {
    return [this, lowest, list = std::vector<Control>(controls), handler](const ScpiCommand& c) {
        int32_t value = 0;
        if (const int e = integerArgument(c, lowest, INT32_MAX, value)) return ScpiReply::fail(e);
        for (Control k : list)
            if (!inst().fenster.enabled(k)) return ScpiReply::fail(scpi::SettingsConflict);
        return runWithAnswer(std::to_string(value), handler);
    };
}

ScpiReply RemoteInstrument::runLogic(void (Netzwerktester::*handler)()) {
    host_.run([&] { (host_.logik().*handler)(); });
    return {};
}

bool RemoteInstrument::operationPending() const {
    Netzwerktester& l = host_.logik();
    return l.messungLaeuft() && l.inst().Stopanforderung;
}

void RemoteInstrument::noteDeviceTimeouts() {
    const bool demo = inst().DemoModus;
    if (demo && !demoSeen_) errors_.push(scpi::HardwareError);
    demoSeen_ = demo;
}

void RemoteInstrument::resetSession() {
    errors_.clear();
    demoSeen_ = false;
}

void RemoteInstrument::addCommon() {
    tree_.add("*IDN", {}, queryOf([this] {
                  return ScpiReply::answer("veka,network tester front end," +
                                           inst().fenster.caption() + "," + version_);
              }));
    tree_.add("*RST",
              [this](const ScpiCommand& c) {
                  if (const int e = noArguments(c)) return ScpiReply::fail(e);
                  return reset();
              },
              {});
    tree_.add("*CLS",
              [this](const ScpiCommand& c) {
                  if (const int e = noArguments(c)) return ScpiReply::fail(e);
                  errors_.clear();
                  return ScpiReply{};
              },
              {});
    const auto wait = [this](std::string answer) {
        return [this, answer](const ScpiCommand& c) {
            if (const int e = noArguments(c)) return ScpiReply::fail(e);
            if (operationPending()) return ScpiReply::retryWhenIdle();
            return answer.empty() ? ScpiReply{} : ScpiReply::answer(answer);
        };
    };
    tree_.add("*OPC", wait(""), wait("1"));
    tree_.add("*WAI", wait(""), {});
    tree_.add("SYSTem:ERRor[:NEXT]", {}, queryOf([this] {
                  noteDeviceTimeouts();
                  return ScpiReply::answer(errors_.pop());
              }));
}

ScpiReply RemoteInstrument::reset() {
    Netzwerktester& l = host_.logik();
    if (l.messungLaeuft()) {
        if (!l.inst().Stopanforderung) requestStop();
        return ScpiReply::retryWhenIdle();
    }
    host_.run([&] {
        Instrument& s = l.inst();
        Einstellungen start;
        start.Comport = s.e.Comport;  // the port stays as it is
        start.Baudrate = s.e.Baudrate;
        start.Sprache = s.e.Sprache;
        s.e = start;
        s.Linear = false;
        s.fenster.setChecked(Control::Zwischenfrequenz1, false);
        s.fenster.setChecked(Control::AdditionvsSubtraktion1, false);
        SetDaempfungNull(s);
        s.Cursorpunkt = runden(s.e.Messpunkte / 2.0);
        s.fenster.setText(Control::Label12, FrequenzText(Cursorfrequenz(s)));
        s.fenster.setText(Control::Label1, FrequenzText(s.e.Startfrequenz));
        s.fenster.setText(Control::Label2, FrequenzText(s.e.Schrittweite));
        l.Button8Click();
        clear_messwerte(s.fenster);
        l.link().FrequenzSetzen(1, s.e.Startfrequenz);
    });
    return {};
}

void RemoteInstrument::addSense() {
    tree_.add("[SENSe]:FREQuency:STARt", typedValue(0, {Control::Button1}, typedStart),
              queryOf([this] { return integerAnswer(inst().e.Startfrequenz); }));
    tree_.add("[SENSe]:FREQuency:STEP",
              typedValue(1, {Control::Button4},
                         [](N& l, UserInterface& ui) { Button4Click(l.inst(), ui); }),
              queryOf([this] { return integerAnswer(inst().e.Schrittweite); }));
    tree_.add(
        "[SENSe]:SWEep:POINts",
        [this](const ScpiCommand& c) {
            int32_t n = 0;
            if (const int e = integerArgument(c, 1, MaxPunkte, n)) return ScpiReply::fail(e);
            if (!allowed({Control::MenuEinstellungen, Control::Bandbreite1}))
                return ScpiReply::fail(scpi::SettingsConflict);
            // What the settings dialog's field sets, then the redraw that follows the dialog.
            host_.run([&] {
                inst().e.Messpunkte = n;
                dm_diagramm(inst());
            });
            return ScpiReply{};
        },
        queryOf([this] { return integerAnswer(inst().e.Messpunkte); }));
    tree_.add(
        "[SENSe]:MODE",
        [this](const ScpiCommand& c) {
            size_t i = 0;
            if (const int e =
                    choiceArgument(c, {"TRANsmission", "REFLection", "SPECtrum", "VFO"}, i))
                return ScpiReply::fail(e);
            constexpr Control kTasten[] = {Control::Button8, Control::Button9, Control::Button10,
                                           Control::Button15};
            constexpr void (N::*kBefehle[])() = {&N::Button8Click, &N::Button9Click,
                                                 &N::Button10Click, &N::Button15Click};
            if (!allowed({kTasten[i]})) return ScpiReply::fail(scpi::SettingsConflict);
            return runLogic(kBefehle[i]);
        },
        queryOf([this] {
            constexpr const char* kNamen[] = {"NONE", "TRAN", "REFL", "SPEC", "RAW", "VFO", "SMIT"};
            const int32_t art = inst().Messart;
            return ScpiReply::answer(art >= 1 && art <= 6 ? kNamen[art] : kNamen[0]);
        }));
    tree_.add(
        "[SENSe]:DETector",
        [this](const ScpiCommand& c) {
            size_t i = 0;
            if (const int e = choiceArgument(c, {"LOGarithmic", "LINear"}, i))
                return ScpiReply::fail(e);
            if (!allowed({i == 0 ? Control::Button16 : Control::Button17}))
                return ScpiReply::fail(scpi::SettingsConflict);
            return runLogic(i == 0 ? &N::Button16Click : &N::Button17Click);
        },
        queryOf([this] { return ScpiReply::answer(inst().Linear ? "LIN" : "LOG"); }));
}

void RemoteInstrument::addSource() {
    tree_.add(
        "SOURce:ATTenuation",
        [this](const ScpiCommand& c) {
            int32_t dB = 0;
            if (const int e = integerArgument(c, 0, 30, dB)) return ScpiReply::fail(e);
            if (dB % 10 != 0) return ScpiReply::fail(scpi::DataOutOfRange);
            if (!allowed({Control::UpDown1})) return ScpiReply::fail(scpi::SettingsConflict);
            host_.run([&] { host_.logik().UpDown1Click(dB); });
            return ScpiReply{};
        },
        queryOf([this] { return integerAnswer(inst().fenster.attenuatorPosition()); }));
    tree_.add(
        "SOURce:FREQuency",
        [this, start = typedValue(0, {Control::Button1}, typedStart)](const ScpiCommand& c) {
            // The source is tuned by hand only in VFO mode; elsewhere the sweep tunes it.
            if (inst().Messart != VFO) return ScpiReply::fail(scpi::SettingsConflict);
            return start(c);
        },
        queryOf([this] { return integerAnswer(inst().e.Startfrequenz); }));
    // The two IF toggles: the check mark says where they stand, as in the menu.
    tree_.add(
        "SOURce:IF:STATe",
        [this](const ScpiCommand& c) {
            bool on = false;
            if (const int e = booleanArgument(c, on)) return ScpiReply::fail(e);
            return setToggle(Control::Zwischenfrequenz1, &N::Zwischenfrequenz1Click, on);
        },
        queryOf([this] {
            return integerAnswer(inst().fenster.checked(Control::Zwischenfrequenz1) ? 1 : 0);
        }));
    tree_.add(
        "SOURce:IF:MODE",
        [this](const ScpiCommand& c) {
            size_t i = 0;
            if (const int e = choiceArgument(c, {"ADD", "SUBTract"}, i)) return ScpiReply::fail(e);
            return setToggle(Control::AdditionvsSubtraktion1, &N::AdditionvsSubtraktion1Click,
                             i == 0);
        },
        queryOf([this] {
            const bool add = inst().fenster.checked(Control::AdditionvsSubtraktion1);
            return ScpiReply::answer(add ? "ADD" : "SUBT");
        }));
    tree_.add("SOURce:IF:FREQuency",
              typedValue(0, {Control::MenuEinstellungen, Control::ZFEingabe1},
                         [](N& l, UserInterface& ui) { ZFEingabe1Click(l.inst(), ui); }),
              queryOf([this] { return integerAnswer(inst().e.Zwischenfrequenz); }));
}

ScpiReply RemoteInstrument::setToggle(Control item, void (Netzwerktester::*toggle)(), bool on) {
    if (!allowed({Control::MenuEinstellungen, item}))
        return ScpiReply::fail(scpi::SettingsConflict);
    if (inst().fenster.checked(item) == on) return {};
    return runLogic(toggle);
}

void RemoteInstrument::requestStop() {
    // The stop of "Sto&p", which never blocks: the worker completes its sweep, the rest of
    // the stop follows on this thread, and until then an operation is pending.
    host_.run([&] { host_.logik().requestStop({}); });
}

void RemoteInstrument::addSweep() {
    tree_.add("INITiate[:IMMediate]",
              [this](const ScpiCommand& c) {
                  if (const int e = noArguments(c)) return ScpiReply::fail(e);
                  if (!allowed({Control::Button5})) return ScpiReply::fail(scpi::SettingsConflict);
                  runLogic(&N::Button5Click);
                  requestStop();  // the worker completes the sweep it has begun
                  return ScpiReply{};
              },
              {});
    tree_.add(
        "INITiate:CONTinuous",
        [this](const ScpiCommand& c) {
            bool on = false;
            if (const int e = booleanArgument(c, on)) return ScpiReply::fail(e);
            if (!on) {
                if (inst().fenster.enabled(Control::Button6)) requestStop();
                return ScpiReply{};
            }
            if (!allowed({Control::Button5})) return ScpiReply::fail(scpi::SettingsConflict);
            return runLogic(&N::Button5Click);
        },
        queryOf([this] {
            const bool on = host_.logik().messungLaeuft() && !inst().Stopanforderung;
            return integerAnswer(on ? 1 : 0);
        }));
    tree_.add("ABORt",
              [this](const ScpiCommand& c) {
                  if (const int e = noArguments(c)) return ScpiReply::fail(e);
                  if (inst().fenster.enabled(Control::Button6)) requestStop();
                  return ScpiReply{};
              },
              {});
}

}  // namespace veka
