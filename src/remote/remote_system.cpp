// SPDX-License-Identifier: GPL-3.0-or-later
// The SYSTem commands: the error queue, the SCPI version, the window's controls (REMote,
// LOCal, RWLock) and the device (demonstration mode, trying it again).
#include "remote/remote_instrument.h"

namespace veka {

void RemoteInstrument::addSystem() {
    const auto query = [](auto answer) {
        return [answer](const ScpiCommand& c) {
            if (const int e = noArguments(c)) return ScpiReply::fail(e);
            return ScpiReply::answer(answer());
        };
    };
    tree_.add("SYSTem:ERRor[:NEXT]", {}, query([this] { return status_.errors().pop(); }));
    tree_.add("SYSTem:ERRor:ALL", {}, query([this] { return status_.errors().popAll(); }));
    tree_.add("SYSTem:ERRor:COUNt", {},
              query([this] { return std::to_string(status_.errors().size()); }));
    tree_.add("SYSTem:VERSion", {}, query([] { return std::string("1999.0"); }));
    tree_.add("SYSTem:DEVice:DEMO", {},
              query([this] { return std::string(ops_.settings().demo ? "1" : "0"); }));
    tree_.add("SYSTem:DEVice:RETRy",
              [this](const ScpiCommand& c) {
                  if (const int e = noArguments(c)) return ScpiReply::fail(e);
                  return done(ops_.retryDevice());
              },
              {});
    const auto lock = [this](WindowLock l) {
        return [this, l](const ScpiCommand& c) {
            if (const int e = noArguments(c)) return ScpiReply::fail(e);
            host_.setLock(l);
            return ScpiReply{};
        };
    };
    const bool always = true;  // the controls' lock changes no setting
    tree_.add("SYSTem:REMote", lock(WindowLock::Remote), {}, always);
    tree_.add("SYSTem:RWLock", lock(WindowLock::RemoteWithLockout), {}, always);
    tree_.add("SYSTem:LOCal", lock(WindowLock::Local), {}, always);
}

}  // namespace veka
