// SPDX-License-Identifier: GPL-3.0-or-later
// Program entry: the command line picks the front. Help, version, the port list and usage
// errors end here before any window exists; otherwise the main window (whose start-up runs
// first), the about window, the settings dialog and the value input box, then the event loop.
#include <QApplication>
#include <QTimer>
#include <cstdio>
#include <memory>

#include "app/batch.h"
#include "app/command_line.h"
#include "app/headless.h"
#include "app/quit_signals.h"
#include "app/run_options.h"
#include "app/standard_output.h"
#include "ui/einstell.h"
#include "ui/port_chooser.h"
#include "ui/remote_window.h"
#include "ui/vek32.h"
#include "ui/vekinfo.h"

namespace {

// What the main window gets once its start-up is through: the about window and the settings
// dialog.
struct Companions {
    explicit Companions(veka::TForm1& window)
        : info(&window), settings(window.logik().inst(), &window) {}
    veka::Tinfo info;
    veka::TEin settings;
};

// Attaches the companions and shows the window.
std::unique_ptr<Companions> showWindow(veka::TForm1& window) {
    window.gestartet();
    auto c = std::make_unique<Companions>(window);
    window.setInfo(&c->info);
    c->settings.PortWahl->attach(window.logik().link());
    window.setOptionen(
        [&window, &settings = c->settings] { veka::Bandbreite1Click(window.logik(), settings); });
    window.show();
    return c;
}

int runWindow(int argc, char** argv, const veka::ProgramOptions& opts) {
    // The diagram repaints strips a few columns wide every 10 ms; sent through the X connection
    // they cost less than through shared memory, which waits for the server before each paint.
    if (qEnvironmentVariableIsEmpty("QT_XCB_NO_MITSHM")) qputenv("QT_XCB_NO_MITSHM", "1");
    QApplication app(argc, argv);
    // The desktop entry's id names the windows too (their X11 class, the Wayland app id), so
    // that docks and task bars show them under the menu entry.
    QGuiApplication::setDesktopFileName(QStringLiteral(VEKA_APP_ID));
    QCoreApplication::setApplicationName(QStringLiteral(VEKA_APP_ID));
    // Qt's own dialogs speak the window's language: German.
    QTranslator qtTexte;
    veka::qtTexteDeutsch(qtTexte);

    veka::TForm1 hauptfenster;
    // Closing the window ends the loop, nested ones of open boxes included; so do SIGTERM,
    // SIGINT and SIGHUP, which also end a device wait of the start-up at once.
    QObject::connect(&hauptfenster, &veka::TForm1::geschlossen, &app, &QCoreApplication::quit);
    veka::QuitSignals signale(hauptfenster.logik().link(),
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
    std::unique_ptr<Companions> companions;
    // The start-up runs inside the event loop: Qt drops a quit request made before the loop
    // runs, and one of the start-up's boxes would stay open through it.
    QTimer::singleShot(0, &hauptfenster, [&] {
        veka::startUp(hauptfenster.logik(), opts);
        if (!hauptfenster.beendet()) companions = showWindow(hauptfenster);
    });
    return app.exec();
}

}  // namespace

int main(int argc, char** argv) {
    veka::reserveStandardStreams();
    const veka::CommandLine cl = veka::parseCommandLine(argc, argv);
    if (cl.next == veka::CommandLine::Next::Exit) {
        if (!veka::writeStdout(cl.out)) return veka::kExitStdoutFailed;
        std::fputs(cl.err.c_str(), stderr);
        return cl.exitCode;
    }
    const veka::ProgramOptions& opts = cl.options;
    if (opts.listPorts)
        return veka::writeStdout(veka::portListText(veka::listPorts())) ? 0
                                                                        : veka::kExitStdoutFailed;
    if (opts.sweep) return veka::runBatch(opts);
    // Remote control without a window; with one, the server starts beside it in runWindow.
    if (opts.remote && opts.noWindow) return veka::runHeadless(opts);
    return runWindow(argc, argv, opts);
}
