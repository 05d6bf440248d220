// The remote commands that set up and run a measurement: common commands, SENSe, SOURce,
// INITiate and ABORt.
#include "remote/remote_instrument.h"

#include "remote/scpi_arguments.h"

namespace veka {

namespace {

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

int scpiCode(const Error& e) {
    switch (e.fault) {
        case Fault::OutOfRange:
        case Fault::UnknownFormat:
            return scpi::DataOutOfRange;
        case Fault::SweepRunning:
        case Fault::WrongMode:
        case Fault::NotFitting:
            return scpi::SettingsConflict;
        case Fault::NoTrace:
            return scpi::DataStale;
        case Fault::FileNotFound:
            return scpi::FileNameNotFound;
        case Fault::FileUnreadable:
        case Fault::FileNotSaved:
            return scpi::MassStorageError;
    }
    return scpi::ExecutionError;
}

RemoteInstrument::RemoteInstrument(RemoteHost& host, std::string version)
    : host_(host), ops_(host.logic(), Entry::Checked), version_(std::move(version)) {
    addCommon();
    addSense();
    addSource();
    addSweep();
    addTrace();
    addCalculate();
    addMemory();
}

ScpiReply RemoteInstrument::done(const Status& s) {
    host_.changed();
    return s ? ScpiReply{} : ScpiReply::fail(scpiCode(s.error()));
}

ScpiHandler RemoteInstrument::integerSetting(Status (Operations::*set)(int32_t)) {
    return [this, set](const ScpiCommand& c) {
        int32_t value = 0;
        if (const int e = integerArgument(c, INT32_MIN, INT32_MAX, value))
            return ScpiReply::fail(e);
        return done((ops_.*set)(value));
    };
}

bool RemoteInstrument::operationPending() const {
    const SettingsReading s = ops_.settings();
    return s.sweeping && !s.continuous;
}

void RemoteInstrument::noteDeviceTimeouts() {
    const bool demo = ops_.settings().demo;
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
                                           host_.logic().inst().fenster.caption() + "," +
                                           version_);
              }));
    tree_.add("*RST",
              [this](const ScpiCommand& c) {
                  if (const int e = noArguments(c)) return ScpiReply::fail(e);
                  // A running sweep completes first; the reset follows once it has.
                  if (ops_.settings().sweeping) {
                      if (!operationPending()) ops_.stop();
                      return ScpiReply::retryWhenIdle();
                  }
                  return done(ops_.preset());
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

void RemoteInstrument::addSense() {
    tree_.add("[SENSe]:FREQuency:STARt", integerSetting(&Operations::setStartFrequency),
              queryOf([this] { return integerAnswer(ops_.settings().startHz); }));
    tree_.add("[SENSe]:FREQuency:STEP", integerSetting(&Operations::setStep),
              queryOf([this] { return integerAnswer(ops_.settings().stepHz); }));
    tree_.add("[SENSe]:SWEep:POINts", integerSetting(&Operations::setPoints),
              queryOf([this] { return integerAnswer(ops_.settings().points); }));
    tree_.add(
        "[SENSe]:MODE",
        [this](const ScpiCommand& c) {
            size_t i = 0;
            if (const int e =
                    choiceArgument(c, {"TRANsmission", "REFLection", "SPECtrum", "VFO"}, i))
                return ScpiReply::fail(e);
            constexpr int32_t kArten[] = {Durchgang, Reflexion, Spektrum, VFO};
            return done(ops_.setMode(kArten[i]));
        },
        queryOf([this] {
            constexpr const char* kNamen[] = {"NONE", "TRAN", "REFL", "SPEC", "RAW", "VFO", "SMIT"};
            const int32_t art = ops_.settings().messart;
            return ScpiReply::answer(art >= 1 && art <= 6 ? kNamen[art] : kNamen[0]);
        }));
    tree_.add(
        "[SENSe]:DETector",
        [this](const ScpiCommand& c) {
            size_t i = 0;
            if (const int e = choiceArgument(c, {"LOGarithmic", "LINear"}, i))
                return ScpiReply::fail(e);
            return done(ops_.setDetector(i == 1));
        },
        queryOf([this] { return ScpiReply::answer(ops_.settings().linear ? "LIN" : "LOG"); }));
}

void RemoteInstrument::addSource() {
    tree_.add("SOURce:ATTenuation", integerSetting(&Operations::setAttenuation),
              queryOf([this] { return integerAnswer(ops_.settings().attenuationDb); }));
    tree_.add("SOURce:FREQuency", integerSetting(&Operations::setVfoFrequency),
              queryOf([this] { return integerAnswer(ops_.settings().startHz); }));
    tree_.add(
        "SOURce:IF:STATe",
        [this](const ScpiCommand& c) {
            bool on = false;
            if (const int e = booleanArgument(c, on)) return ScpiReply::fail(e);
            return done(ops_.setIfApplied(on));
        },
        queryOf([this] { return integerAnswer(ops_.settings().ifApplied ? 1 : 0); }));
    tree_.add(
        "SOURce:IF:MODE",
        [this](const ScpiCommand& c) {
            size_t i = 0;
            if (const int e = choiceArgument(c, {"ADD", "SUBTract"}, i)) return ScpiReply::fail(e);
            return done(ops_.setIfAdded(i == 0));
        },
        queryOf([this] { return ScpiReply::answer(ops_.settings().ifAdded ? "ADD" : "SUBT"); }));
    tree_.add("SOURce:IF:FREQuency", integerSetting(&Operations::setIfOffset),
              queryOf([this] { return integerAnswer(ops_.settings().ifHz); }));
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
            return done({});
        },
        queryOf([this] { return integerAnswer(ops_.settings().continuous ? 1 : 0); }));
    tree_.add("ABORt",
              [this](const ScpiCommand& c) {
                  if (const int e = noArguments(c)) return ScpiReply::fail(e);
                  if (ops_.settings().continuous) ops_.stop();
                  return done({});
              },
              {});
}

}  // namespace veka
