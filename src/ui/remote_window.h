// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// Remote control beside the main window (veka --remote [ADDRESS:]PORT): the server runs on
// the window thread, its commands call the typed operations through TForm1::fernAusfuehren,
// and the widgets then follow the window model as they follow a click. While the window asks
// its user (a modal box is open), remote queries still answer and remote settings are refused
// with -221. SYSTem:REMote and :RWLock lock the window's controls; under REMote the Escape
// key gives them back (the instrument's LOCAL key), under RWLock only SYSTem:LOCal does, or
// the last client leaving.

#include <QShortcut>
#include <cstdint>
#include <string>

#include "remote/remote_server.h"

namespace veka {

class TForm1;

class WindowRemoteHost : public RemoteHost {
  public:
    WindowRemoteHost(TForm1& window, const std::string& version, PeerAccess access = {});

    // Starts listening; false with the reason in *error when it cannot.
    bool listen(const std::string& address, uint16_t port, std::string* error) {
        return server_.listen(address, port, error);
    }
    uint16_t port() const { return server_.port(); }

    Netzwerktester& logic() override;
    void runCommand(const std::function<void()>& command) override;
    bool asking() const override;
    void setLock(WindowLock lock) override;

  private:
    TForm1& window_;
    QShortcut localKey_;
    RemoteServer server_;
};

}  // namespace veka
