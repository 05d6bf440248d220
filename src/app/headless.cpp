// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/headless.h"

#include <QCoreApplication>

#include "app/headless_ui.h"
#include "app/quit_signals.h"
#include "app/run_options.h"
#include "measure/netzwerktester.h"
#include "remote/remote_server.h"

namespace veka {

namespace {

// Without a window a command's change needs no mirroring.
class HeadlessHost : public RemoteHost {
  public:
    explicit HeadlessHost(Netzwerktester& logic) : logic_(logic) {}
    Netzwerktester& logic() override { return logic_; }

  private:
    Netzwerktester& logic_;
};

int serve(const ProgramOptions& opts) {
    HeadlessUi ui;
    Netzwerktester logic(ui);
    // SIGTERM, SIGINT and SIGHUP end the loop like a window close, from the start-up's device
    // wait on: the worker stops and the port is released properly. One that arrives before
    // the loop runs ends it as soon as it starts.
    QuitSignals quitSignals(logic.link(), [] { QCoreApplication::quit(); });
    HeadlessHost host(logic);
    // Listening before the device is tried: a client may connect at once; its commands run
    // once the start-up is done.
    RemoteServer server(host, programVersion(), peerAccessFor(*opts.remote));
    std::string error;
    if (!server.listen(opts.remote->address, opts.remote->port, &error))
        return cannotListen(*opts.remote, error);
    startUp(logic, opts);
    const int status = QCoreApplication::exec();
    logic.sweep().beenden();
    logic.link().closePort();
    return status;
}

}  // namespace

int runHeadless(const ProgramOptions& opts) {
    if (!opts.remote) return kExitUsage;
    return withoutDisplay([&opts] { return serve(opts); });
}

}  // namespace veka
