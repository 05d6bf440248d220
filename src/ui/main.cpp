// SPDX-License-Identifier: GPL-3.0-or-later
// Program entry: the command line picks the front. Help, version, the port list and usage
// errors end here before any window exists; otherwise the main window (whose start-up runs
// first), the about window, the settings dialog and the value input box, then the event loop.
#include <QApplication>
#include <cstdio>

#include "app/batch.h"
#include "app/command_line.h"
#include "app/headless.h"
#include "app/quit_signals.h"
#include "app/run_options.h"
#include "ui/einstell.h"
#include "ui/port_chooser.h"
#include "ui/remote_window.h"
#include "ui/vek32.h"
#include "ui/vekinfo.h"

namespace {

int runWindow(int argc, char** argv, const veka::ProgramOptions& opts) {
    // The diagram repaints strips a few columns wide every 10 ms; sent through the X connection
    // they cost less than through shared memory, which waits for the server before each paint.
    if (qEnvironmentVariableIsEmpty("QT_XCB_NO_MITSHM")) qputenv("QT_XCB_NO_MITSHM", "1");
    QApplication app(argc, argv);
    // Qt's own dialogs speak the window's language: German.
    QTranslator qtTexte;
    veka::qtTexteDeutsch(qtTexte);

    veka::TForm1 hauptfenster;
    // Closing the window ends the loop, nested ones of open boxes included; so do SIGTERM and
    // SIGINT, which also end a device wait of the start-up at once.
    QObject::connect(&hauptfenster, &veka::TForm1::geschlossen, &app, &QCoreApplication::quit);
    veka::QuitSignals signale(hauptfenster.logik().link().abortEvent(),
                              [&hauptfenster] { hauptfenster.close(); });
    // Remote control beside the window, on the window thread, listening before the device is
    // tried: while the start-up shows its time-out box, remote queries already answer.
    std::unique_ptr<veka::WindowRemoteHost> remote;
    if (opts.remote) {
        remote = std::make_unique<veka::WindowRemoteHost>(hauptfenster, veka::programVersion(),
                                                          veka::peerAccessFor(*opts.remote));
        std::string error;
        if (!remote->listen(opts.remote->address, opts.remote->port, &error))
            return veka::cannotListen(*opts.remote, error);
    }
    veka::startUp(hauptfenster.logik(), opts);
    if (hauptfenster.beendet()) return 0;  // closed by a signal while starting
    hauptfenster.gestartet();
    veka::Tinfo info(&hauptfenster);
    hauptfenster.setInfo(&info);
    veka::TEin einstellungen(hauptfenster.logik().inst(), &hauptfenster);
    einstellungen.PortWahl->attach(hauptfenster.logik().link());
    hauptfenster.setOptionen([&hauptfenster, &einstellungen] {
        veka::Bandbreite1Click(hauptfenster.logik(), einstellungen);
    });
    hauptfenster.show();
    return app.exec();
}

}  // namespace

int main(int argc, char** argv) {
    const veka::CommandLine cl = veka::parseCommandLine(argc, argv);
    if (cl.next == veka::CommandLine::Next::Exit) {
        std::fputs(cl.out.c_str(), stdout);
        std::fputs(cl.err.c_str(), stderr);
        return cl.exitCode;
    }
    const veka::ProgramOptions& opts = cl.options;
    if (opts.listPorts) {
        std::fputs(veka::portListText(veka::listPorts()).c_str(), stdout);
        return 0;
    }
    if (opts.sweep) return veka::runBatch(opts);
    // Remote control without a window; with one, the server starts beside it in runWindow.
    if (opts.remote && opts.noWindow) return veka::runHeadless(opts);
    return runWindow(argc, argv, opts);
}
