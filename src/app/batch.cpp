#include "app/batch.h"

#include <unistd.h>
#include <QCoreApplication>

#include <csignal>
#include <cstdio>
#include <filesystem>

#include "app/headless_ui.h"
#include "app/run_options.h"
#include "export/export_format.h"
#include "measure/netzwerktester.h"

namespace veka {

namespace {

// "sweep 2/5" on one terminal line, rewritten in place; silent when stderr is no terminal.
class Progress {
  public:
    Progress() : shown_(::isatty(STDERR_FILENO) == 1) {}
    void sweep(uint64_t k, int32_t count) const {
        if (shown_)
            std::fprintf(stderr, "\rsweep %llu/%d", static_cast<unsigned long long>(k), count);
    }
    void done() const {
        if (shown_) std::fputs("\n", stderr);
    }

  private:
    bool shown_;
};

int usageError(const std::string& text) {
    std::fprintf(stderr, "veka: %s\n", text.c_str());
    return kExitUsage;
}

// The one line a silent device gets, naming the device and, where it says more, why.
int noDevice(Netzwerktester& logic) {
    const int32_t port = logic.inst().e.Comport;
    std::string path = logic.link().portPaths().resolve(port);
    logic.link().closePort();
    std::string reason = "no answer within " + std::to_string(DeviceLink::Zeitlimit.count()) + " s";
    if (path.empty()) {
        path = Portname(port);
        reason = "no such port";
    } else {
        const PortProbe probe = probePort(path);
        if (probe.state != PortState::Usable) reason = stateReason(probe);
        std::error_code error;
        const auto real = std::filesystem::canonical(path, error);
        if (!error) path = real.string();
    }
    std::fprintf(stderr, "no reply from the device on %s: %s\n", path.c_str(), reason.c_str());
    return kExitNoDevice;
}

// The sweep options override the configuration for this run; nothing is saved.
Status applySweepOptions(Operations& ops, const ProgramOptions& o) {
    if (o.messart)
        if (Status s = ops.setMode(*o.messart); !s) return s;
    if (o.linear)
        if (Status s = ops.setDetector(true); !s) return s;
    SweepPlan plan{ops.settings().startHz, ops.settings().stepHz, ops.settings().points};
    plan.startHz = o.start.value_or(plan.startHz);
    plan.stepHz = o.step.value_or(plan.stepHz);
    plan.points = o.points.value_or(plan.points);
    return ops.setSweep(plan);
}

// Runs exactly `count` complete sweeps: the worker itself ends after the last one.
void runSweeps(Operations& ops, int32_t count) {
    const Progress progress;
    (void)ops.startSweeps(static_cast<uint64_t>(count));
    for (uint64_t k = 1; k <= static_cast<uint64_t>(count); ++k) {
        // A device that fell silent gives no more readings worth waiting for.
        if (!ops.waitForSweep(k) || ops.settings().demo) break;
        progress.sweep(k, count);
    }
    ops.stopAndWait();
    progress.done();
    QCoreApplication::processEvents();  // what the worker posted (a time-out report)
}

int writeOutputs(Operations& ops, const std::vector<std::string>& files) {
    int status = 0;
    for (const std::string& path : files) {
        const Status s = ops.exportTrace(path);
        if (s) continue;
        std::fprintf(stderr, "veka: %s\n", s.error().text.c_str());
        status = kExitOutput;
    }
    return status;
}

int sweepAndWrite(const ProgramOptions& opts) {
    for (const std::string& path : opts.outFiles)
        if (!formatOfName(path))
            return usageError("--out " + path +
                              ": the name must end in .csv, .png, .svg, .pdf or .dat");
    HeadlessUi ui;
    ui.setMessagesQuiet(true);  // the time-out box: a silent device gets its own line below
    Netzwerktester logic(ui);
    startUp(logic, opts);
    if (logic.inst().DemoModus) return noDevice(logic);
    Operations ops(logic, Entry::Checked);
    if (const Status s = applySweepOptions(ops, opts); !s)
        return usageError("the sweep does not fit the device: every point must lie from 0 Hz to "
                          "the clock (" +
                          std::to_string(ops.settings().clockHz) + " Hz) minus 1");
    runSweeps(ops, opts.count);
    if (logic.inst().DemoModus) return noDevice(logic);  // went silent during the run
    return writeOutputs(ops, opts.outFiles);
}

// Standard error carries the run's own lines; Qt's notes about the platform would only blur
// them. Its serious messages still get through.
void quietQtMessages(QtMsgType type, const QMessageLogContext&, const QString& text) {
    if (type == QtCriticalMsg || type == QtFatalMsg)
        std::fprintf(stderr, "veka: %s\n", text.toLocal8Bit().constData());
}

}  // namespace

int runBatch(const ProgramOptions& opts) {
    // A file over the size limit must fail like any write (exit 4, nothing left behind), not
    // kill the program in the middle of it.
    std::signal(SIGXFSZ, SIG_IGN);
    if (QCoreApplication::instance() != nullptr) return sweepAndWrite(opts);
    qInstallMessageHandler(quietQtMessages);
    return withoutDisplay([&opts] { return sweepAndWrite(opts); });
}

}  // namespace veka
