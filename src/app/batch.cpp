// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/batch.h"

#include <unistd.h>
#include <QCoreApplication>

#include <csignal>
#include <cstdio>
#include <filesystem>

#include "app/batch_checks.h"
#include "app/headless_ui.h"
#include "app/quit_signals.h"
#include "app/standard_output.h"
#include "app/run_options.h"
#include "export/csv_writer.h"
#include "export/trace_snapshot.h"
#include "files/safe_file.h"
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

int say(int status, const std::string& line) {
    std::fprintf(stderr, "veka: %s\n", line.c_str());
    return status;
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
    return say(kExitNoDevice, "no reply from the device on " + path + ": " + reason);
}

// The sweep options override the configuration for this run; nothing is saved.
Status applySweepOptions(Operations& ops, const ProgramOptions& o) {
    if (o.messart)
        if (Status s = ops.setMode(*o.messart); !s) return s;
    if (o.linear)
        if (Status s = ops.setDetector(true); !s) return s;
    const SweepRequest request{o.start, o.stop, o.center, o.span, o.step, o.points};
    const auto plan = resolveSweep(request, ops.plan());
    if (const auto* why = std::get_if<std::string>(&plan))
        return Error{Fault::OutOfRange, {}, *why};
    return ops.setSweep(std::get<SweepPlan>(plan));
}

// The additions the options ask for, after the sweep is set: its reference must fit it.
Status applyExtras(Operations& ops, const ProgramOptions& o) {
    if (o.average) {
        if (Status s = ops.setAverageCount(*o.average); !s) return s;
        if (Status s = ops.setAveraging(true); !s) return s;
    }
    if (o.holdMax)
        if (Status s = ops.setHold(*o.holdMax ? Hold::Max : Hold::Min); !s) return s;
    if (o.referenceFile) {
        Status s = ops.loadReference(*o.referenceFile);
        if (s) s = ops.setNormalised(true);
        if (!s) return Error{s.error().fault, {}, "--reference " + *o.referenceFile + ": " + s.error().reason};
    }
    if (o.limitsFile) {
        Status s = ops.loadLimits(*o.limitsFile);
        if (s) s = ops.setLimits(true);
        if (!s) return Error{s.error().fault, {}, "--limits " + *o.limitsFile + ": " + s.error().reason};
    }
    return {};
}

// Runs exactly `count` complete sweeps: the worker itself ends after the last one. A signal
// or a device that fell silent ends the wait early.
void runSweeps(Operations& ops, const DeviceLink& link, int32_t count) {
    const Progress progress;
    (void)ops.startSweeps(static_cast<uint64_t>(count));
    for (uint64_t k = 1; k <= static_cast<uint64_t>(count); ++k) {
        if (!ops.waitForSweep(k) || ops.settings().demo || link.aborted()) break;
        progress.sweep(k, count);
    }
    ops.stopAndWait();
    progress.done();
    QCoreApplication::processEvents();  // what the worker posted (a time-out report)
}

int writeOutputs(Netzwerktester& logic, Operations& ops, const ProgramOptions& opts) {
    int status = 0;
    std::vector<std::string> files = opts.outFiles;
    if (opts.summaryFile) files.push_back(*opts.summaryFile);
    for (const std::string& path : files) {
        if (logic.link().aborted()) break;  // a signal: the rest stays unwritten
        if (path == "-") {
            // The CSV table to standard output; a failed write counts like any other output's.
            if (!writeStdout(writeCsv(takeSnapshot(logic.inst())))) status = kExitOutput;
            continue;
        }
        if (const Status s = ops.exportTrace(path); !s)
            status = say(kExitOutput, "cannot write " + path + ": " + s.error().reason);
    }
    return status;
}

// A signal ended the run: the port is free again, nothing was written; end as that signal.
int endBySignal(Netzwerktester& logic) {
    logic.sweep().beenden();
    logic.link().closePort();
    const int signal = QuitSignals::received();
    std::signal(signal, SIG_DFL);
    std::raise(signal);
    return 128 + signal;
}

int sweepAndWrite(const ProgramOptions& opts) {
    if (const auto r = checkOutputs(opts)) return say(r->exitCode, r->line);
    if (const auto r = checkPort(opts)) return say(r->exitCode, r->line);
    HeadlessUi ui;
    ui.setMessagesQuiet(true);  // the time-out box: a silent device gets its own line below
    Netzwerktester logic(ui);
    const QuitSignals quit(logic.link(), [] {});
    startUp(logic, opts);
    if (logic.link().aborted()) return endBySignal(logic);
    if (logic.inst().DemoModus) return noDevice(logic);
    Operations ops(logic, Entry::Checked);
    if (const Status s = applySweepOptions(ops, opts); !s)
        return say(kExitUsage, "impossible sweep: " + s.error().reason);
    if (const Status s = applyExtras(ops, opts); !s) return say(kExitUsage, s.error().reason);
    runSweeps(ops, logic.link(), opts.average && !opts.countGiven ? *opts.average : opts.count);
    if (logic.link().aborted()) return endBySignal(logic);
    if (logic.inst().DemoModus) return noDevice(logic);  // went silent during the run
    const int status = writeOutputs(logic, ops, opts);
    if (logic.link().aborted()) return endBySignal(logic);
    if (status != 0 || ops.extras().failedSweeps == 0) return status;
    const auto verdict = ops.limitVerdict();
    return say(kExitLimits, std::to_string(ops.extras().failedSweeps) +
                                " sweep(s) left the limit lines" +
                                (verdict && !verdict->passed
                                     ? ", the last first at " + std::to_string(verdict->firstFailureHz) + " Hz"
                                     : std::string()));
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
