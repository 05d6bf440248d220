#include "app/batch.h"

#include <unistd.h>
#include <QCoreApplication>

#include <csignal>
#include <cstdio>
#include <filesystem>

#include "app/headless_ui.h"
#include "app/run_options.h"
#include "display/auswertung.h"
#include "export/export_format.h"
#include "export/exporter.h"
#include "measure/netzwerktester.h"

namespace veka {

namespace {

// "sweep 2/5" on one terminal line, rewritten in place; silent when stderr is no terminal.
class Fortschritt {
  public:
    Fortschritt() : aktiv_(::isatty(STDERR_FILENO) == 1) {}
    void durchlauf(uint64_t k, int32_t anzahl) const {
        if (aktiv_)
            std::fprintf(stderr, "\rsweep %llu/%d", static_cast<unsigned long long>(k), anzahl);
    }
    void fertig() const {
        if (aktiv_) std::fputs("\n", stderr);
    }

  private:
    bool aktiv_;
};

int usage(const std::string& text) {
    std::fprintf(stderr, "veka: %s\n", text.c_str());
    return kExitUsage;
}

// The one line a silent device gets, naming the device and, where it says more, why.
int keinGeraet(Netzwerktester& logik) {
    const int32_t port = logik.inst().e.Comport;
    std::string pfad = logik.link().portPaths().resolve(port);
    logik.link().closePort();
    std::string grund = "no answer within " + std::to_string(DeviceLink::Zeitlimit.count()) + " s";
    if (pfad.empty()) {
        pfad = Portname(port);
        grund = "no such port";
    } else {
        const PortProbe probe = probePort(pfad);
        if (probe.state != PortState::Usable) grund = stateReason(probe);
        std::error_code fehler;
        const auto echt = std::filesystem::canonical(pfad, fehler);
        if (!fehler) pfad = echt.string();
    }
    std::fprintf(stderr, "no reply from the device on %s: %s\n", pfad.c_str(), grund.c_str());
    return kExitNoDevice;
}

// The sweep options override the configuration for this run; nothing is saved.
void einstellen(Netzwerktester& logik, const ProgramOptions& o) {
    Instrument& s = logik.inst();
    if (o.start) s.e.Startfrequenz = *o.start;
    if (o.step) s.e.Schrittweite = *o.step;
    if (o.points) s.e.Messpunkte = *o.points;
    switch (o.messart.value_or(0)) {
        case Durchgang:
            logik.Button8Click();
            break;
        case Reflexion:
            logik.Button9Click();
            break;
        case Spektrum:
            logik.Button10Click();
            break;
        default:
            break;
    }
    if (o.linear) logik.Button17Click();
    s.Cursorpunkt = runden(s.e.Messpunkte / 2.0);
    s.fenster.setText(Control::Label1, FrequenzText(s.e.Startfrequenz));
    s.fenster.setText(Control::Label2, FrequenzText(s.e.Schrittweite));
    s.fenster.setText(Control::Label12, FrequenzText(Cursorfrequenz(s)));
}

// Runs exactly anzahl complete sweeps: the worker itself ends after the last one.
void messen(Netzwerktester& logik, int32_t anzahl) {
    const Fortschritt fortschritt;
    logik.sweep().durchlaeufeBegrenzen(static_cast<uint64_t>(anzahl));
    logik.Button5Click();
    for (uint64_t k = 1; k <= static_cast<uint64_t>(anzahl); ++k) {
        // A device that fell silent gives no more readings worth waiting for.
        if (!logik.sweep().warteAufDurchlauf(k) || logik.inst().DemoModus) break;
        fortschritt.durchlauf(k, anzahl);
    }
    logik.stopAndWait();
    fortschritt.fertig();
    QCoreApplication::processEvents();  // what the worker posted (a time-out report)
}

int schreiben(const Instrument& inst, const std::vector<std::string>& dateien) {
    int ergebnis = 0;
    for (const std::string& pfad : dateien) {
        std::string fehler;
        if (exportieren(inst, pfad, &fehler)) continue;
        std::fprintf(stderr, "veka: %s\n", fehler.c_str());
        ergebnis = kExitOutput;
    }
    return ergebnis;
}

int stapellauf(const ProgramOptions& opts) {
    for (const std::string& pfad : opts.outFiles)
        if (!formatVonEndung(pfad))
            return usage("--out " + pfad + ": the name must end in .csv, .png, .svg, .pdf or .dat");
    HeadlessUi ui;
    ui.setMessagesQuiet(true);  // the time-out box: a silent device gets its own line below
    Netzwerktester logik(ui);
    logik.link().setPortPaths(portPathsFor(opts));
    logik.FormCreate(opts.configFile);
    Instrument& inst = logik.inst();
    applyLanguageOption(inst, opts);
    if (inst.DemoModus) return keinGeraet(logik);
    einstellen(logik, opts);
    messen(logik, opts.count);
    if (inst.DemoModus) return keinGeraet(logik);  // went silent during the run
    return schreiben(inst, opts.outFiles);
}

// Standard error carries the run's own lines; Qt's notes about the platform would only blur
// them. Its serious messages still get through.
void qtMeldung(QtMsgType typ, const QMessageLogContext&, const QString& text) {
    if (typ == QtCriticalMsg || typ == QtFatalMsg)
        std::fprintf(stderr, "veka: %s\n", text.toLocal8Bit().constData());
}

}  // namespace

int runBatch(const ProgramOptions& opts) {
    // A file over the size limit must fail like any write (exit 4, nothing left behind), not
    // kill the program in the middle of it.
    std::signal(SIGXFSZ, SIG_IGN);
    if (QCoreApplication::instance() != nullptr) return stapellauf(opts);
    qInstallMessageHandler(qtMeldung);
    return ohneBildschirm([&opts] { return stapellauf(opts); });
}

}  // namespace veka
