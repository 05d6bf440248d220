// SPDX-License-Identifier: GPL-3.0-or-later
// The remote instrument's core: running a command, noting device events, and the common
// commands of IEEE 488.2 (*IDN?, *RST, the status registers, *OPC, *WAI, *OPT?, *TST?).
#include "remote/remote_instrument.h"

namespace veka {

namespace {

// A query that takes no argument and answers what `value` says.
template <typename F>
ScpiHandler queryOf(F value) {
    return [value](const ScpiCommand& c) {
        if (const int e = noArguments(c)) return ScpiReply::fail(e);
        return ScpiReply::answer(value());
    };
}

// A command that takes no argument and does `action`.
template <typename F>
ScpiHandler actionOf(F action) {
    return [action](const ScpiCommand& c) {
        if (const int e = noArguments(c)) return ScpiReply::fail(e);
        return action();
    };
}

// *ESE and *SRE: a mask of 0 to 255.
ScpiHandler maskSetting(uint8_t& mask) {
    return [&mask](const ScpiCommand& c) {
        int32_t v = 0;
        if (const int e = numberArgument(c, Unit::None, Range{0, 255, 0}, v))
            return ScpiReply::fail(e);
        if (v < 0 || v > 255) return ScpiReply::fail(scpi::DataOutOfRange);
        mask = static_cast<uint8_t>(v);
        return ScpiReply{};
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
        case Fault::NoDevice:
            return scpi::HardwareError;
    }
    return scpi::ExecutionError;
}

RemoteInstrument::RemoteInstrument(RemoteHost& host, std::string version)
    : host_(host), ops_(host.logic(), Entry::Checked), version_(std::move(version)) {
    addCommon();
    addStatus();
    addSystem();
    addSense();
    addSweepEdges();
    addSource();
    addSweep();
    addTrace();
    addCalculate();
    addFormat();
    addMemory();
    addAnalysis();
}

ScpiReply RemoteInstrument::execute(const ScpiTree::Node& node, const ScpiCommand& c) {
    const ScpiHandler& handler = c.query ? node.query : node.set;
    observe();
    if (!c.query && !node.setWhileAsking && host_.asking())
        return {scpi::SettingsConflict, std::nullopt, false, "window dialog open"};
    ScpiReply reply;
    host_.runCommand([&] { reply = handler(c); });
    observe();
    return reply;
}

ScpiReply RemoteInstrument::done(const Status& s) {
    if (s) return {};
    ScpiReply r = ScpiReply::fail(scpiCode(s.error()));
    if (s.error().fault == Fault::NoDevice) r.detail = "no reply from the device";
    if (s.error().fault == Fault::NotFitting) r.detail = s.error().reason;
    return r;
}

SweepPlan RemoteInstrument::plan() const {
    const SettingsReading s = ops_.settings();
    return {s.startHz, s.stepHz, s.points};
}

bool RemoteInstrument::operationPending() const {
    const SettingsReading s = ops_.settings();
    return s.sweeping && !s.continuous;
}

void RemoteInstrument::observe() {
    const SettingsReading s = ops_.settings();
    if (s.demo && !demoSeen_) status_.deviceFault(scpi::HardwareError, "no reply from the device");
    demoSeen_ = s.demo;
    for (; demoSweepsSeen_ < s.demoSweeps; ++demoSweepsSeen_)
        status_.deviceFault(scpi::HardwareMissing, "demonstration readings");
    if (opcArmed_ && !(s.sweeping && !s.continuous)) {
        status_.setEvents(StatusSystem::OperationComplete);
        opcArmed_ = false;
    }
}

void RemoteInstrument::addCommon() {
    tree_.add("*IDN", {}, queryOf([this] {
                  std::string model = "network tester front end";
                  const std::string hardware = idnField(host_.logic().inst().e.Hardwareversion);
                  if (!hardware.empty()) model += " " + hardware;
                  return "veka," + model + ",0," + idnField(version_);
              }));
    tree_.add("*RST", actionOf([this] {
                  // A running sweep completes first; the reset follows once it has.
                  if (ops_.settings().sweeping) {
                      if (!operationPending()) ops_.stop();
                      return ScpiReply::retryWhenIdle();
                  }
                  format_ = {};
                  ScpiReply tried;
                  if (ops_.settings().demo) tried = done(ops_.retryDevice());
                  const ScpiReply reset = done(ops_.preset());
                  resetAdditions();
                  return tried.error != 0 ? tried : reset;
              }),
              {});
    tree_.add("*OPT", {}, queryOf([] { return std::string("0"); }));
    tree_.add("*TST", {},
              queryOf([this] { return std::string(ops_.settings().demo ? "1" : "0"); }));
}

void RemoteInstrument::addStatus() {
    const bool always = true;
    tree_.add("*CLS", actionOf([this] {
                  status_.clear();
                  opcArmed_ = false;
                  return ScpiReply{};
              }),
              {}, always);
    tree_.add("*ESE", maskSetting(status_.eventEnable),
              queryOf([this] { return std::to_string(status_.eventEnable); }), always);
    tree_.add("*SRE", maskSetting(status_.serviceEnable),
              queryOf([this] { return std::to_string(status_.serviceEnable); }), always);
    tree_.add("*ESR", {}, queryOf([this] { return std::to_string(status_.takeEvents()); }));
    tree_.add("*STB", {}, queryOf([this] { return std::to_string(status_.statusByte()); }));
    // *OPC sets the operation complete bit once nothing is pending (see observe); *OPC? and
    // *WAI wait for that in the client's own place, while other clients go on.
    tree_.add("*OPC", actionOf([this] {
                  opcArmed_ = true;
                  observe();
                  return ScpiReply{};
              }),
              actionOf([this] {
                  if (operationPending()) return ScpiReply::retryWhenIdle();
                  return ScpiReply::answer("1");
              }),
              always);
    tree_.add("*WAI", actionOf([this] {
                  if (operationPending()) return ScpiReply::retryWhenIdle();
                  return ScpiReply{};
              }),
              {}, always);
}

}  // namespace veka
