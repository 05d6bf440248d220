#pragma once
// Remote control beside the main window (veka --remote [ADDRESS:]PORT): the server runs on
// the window thread, its commands call the typed operations, and the widgets then follow the
// window model as they follow a click. While the window is inside a command of its own (a box
// is open) remote commands wait.

#include <cstdint>
#include <string>

#include "remote/remote_server.h"

namespace veka {

class TForm1;

class WindowRemoteHost : public RemoteHost {
  public:
    WindowRemoteHost(TForm1& window, const std::string& version);

    // Starts listening; false with the reason in *error when it cannot.
    bool listen(const std::string& address, uint16_t port, std::string* error) {
        return server_.listen(address, port, error);
    }
    uint16_t port() const { return server_.port(); }

    Netzwerktester& logic() override;
    void changed() override;
    bool busy() const override;

  private:
    TForm1& window_;
    RemoteServer server_;
};

}  // namespace veka
