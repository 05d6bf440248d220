// SPDX-License-Identifier: GPL-3.0-or-later
#include <pthread.h>
#include <signal.h>
#include <unistd.h>

#include <chrono>
#include <iomanip>
#include <iostream>
#include <thread>

#include "simulator.h"

namespace {

void describe(const vekasim::Options& o) {
    std::cerr << "veka-sim: simulating '" << vekasim::dutName(o.dut) << "'";
    if (o.levelDb) std::cerr << " at a fixed " << *o.levelDb << " dB";
    if (!o.replyBytes.empty()) std::cerr << " with fixed reply bytes";
    std::cerr << ", clock " << std::fixed << std::setprecision(1)
              << o.nominalClockHz + o.clockOffsetHz << " Hz. Ctrl+C stops.\n";
}

}  // namespace

int main(int argc, char** argv) {
    std::string error;
    bool help = false;
    bool version = false;
    const vekasim::Options options = vekasim::parseCommandLine(argc, argv, &error, &help, &version);
    if (help || version) {
        std::cout << (help ? vekasim::usageText() : vekasim::versionText());
        return 0;
    }
    if (!error.empty()) {
        std::cerr << "veka-sim: " << error << "\nTry 'veka-sim --help'.\n";
        return 2;
    }

    // Blocked before any thread exists, so only sigwait() below ever sees them.
    sigset_t signals;
    sigemptyset(&signals);
    for (int s : {SIGINT, SIGTERM, SIGHUP, SIGUSR1}) sigaddset(&signals, s);
    pthread_sigmask(SIG_BLOCK, &signals, nullptr);

    vekasim::Simulator sim(options);
    if (!sim.start(&error)) {
        std::cerr << "veka-sim: " << error << "\n";
        return 1;
    }
    std::cout << "ready " << sim.linkPath() << " -> " << sim.slavePath() << std::endl;
    if (!options.quiet) describe(options);

    // A vanished device ends the program just like a signal does.
    std::thread watcher([&sim] {
        while (!sim.waitUntilFinished(std::chrono::hours(1))) {
        }
        kill(getpid(), SIGUSR1);
    });
    int received = 0;
    sigwait(&signals, &received);
    const bool vanished = received == SIGUSR1;
    sim.stop();
    watcher.join();
    if (!options.quiet) {
        std::cerr << "veka-sim: " << (vanished ? "line dropped" : "stopped") << " after "
                  << sim.exchangeCount() << " exchanges, link removed\n";
    }
    return 0;
}
