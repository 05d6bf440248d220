#pragma once
// Remote control beside the main window (veka --remote [ADDRESS:]PORT): the server runs on
// the window thread and every remote command goes through the window's own command path, so
// the widgets follow it as they follow a click; while the window is inside a command of its
// own (a box is open) remote commands wait.

#include <cstdint>
#include <string>

#include "remote/remote_server.h"
#include "ui/qt_user_interface.h"

namespace veka {

class TForm1;

class Fernsteuerung : public RemoteHost {
  public:
    Fernsteuerung(TForm1& fenster, const std::string& version);

    // Starts listening; false with the reason in *fehler when it cannot.
    bool starten(const std::string& adresse, uint16_t port, std::string* fehler) {
        return server_.listen(adresse, port, fehler);
    }
    uint16_t port() const { return server_.port(); }

    Netzwerktester& logik() override;
    void run(const std::function<void()>& command) override;
    UserInterface& ui() override { return ui_; }
    bool busy() const override;

  private:
    TForm1& fenster_;
    QtUserInterface ui_;
    RemoteServer server_;
};

}  // namespace veka
