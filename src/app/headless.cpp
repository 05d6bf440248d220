#include "app/headless.h"

#include <QCoreApplication>
#include <cstdio>

#include "app/headless_ui.h"
#include "app/quit_signals.h"
#include "app/run_options.h"
#include "measure/netzwerktester.h"
#include "remote/remote_server.h"

namespace veka {

namespace {

// Without a window a command runs as it is; nothing needs mirroring.
class HeadlessHost : public RemoteHost {
  public:
    HeadlessHost(Netzwerktester& logik, UserInterface& ui) : logik_(logik), ui_(ui) {}
    Netzwerktester& logik() override { return logik_; }
    void run(const std::function<void()>& command) override { command(); }
    UserInterface& ui() override { return ui_; }

  private:
    Netzwerktester& logik_;
    UserInterface& ui_;
};

int serve(const ProgramOptions& opts) {
    HeadlessUi ui;
    Netzwerktester logik(ui);
    logik.link().setPortPaths(portPathsFor(opts));
    logik.FormCreate(opts.configFile);
    applyLanguageOption(logik.inst(), opts);
    HeadlessHost host(logik, ui);
    RemoteServer server(host, programVersion());
    std::string fehler;
    if (!server.listen(opts.remote->address, opts.remote->port, &fehler)) {
        std::fprintf(stderr, "veka: cannot listen on %s:%u: %s\n", opts.remote->address.c_str(),
                     static_cast<unsigned>(opts.remote->port), fehler.c_str());
        return kExitNoListen;
    }
    // SIGTERM and SIGINT end the loop like a window close: the worker stops and the port is
    // released properly.
    QuitSignals signale(logik.link().abortEvent(), [] { QCoreApplication::quit(); });
    const int status = QCoreApplication::exec();
    logik.sweep().beenden();
    return status;
}

}  // namespace

int runHeadless(const ProgramOptions& opts) {
    if (!opts.remote) return kExitUsage;
    return ohneBildschirm([&opts] { return serve(opts); });
}

}  // namespace veka
