// SPDX-License-Identifier: GPL-3.0-or-later
// line_host PORT BAUD SECONDS: the quickest host there can be, as a yardstick for the live
// benchmark. Over the program's own port code it makes the exchange the program makes (ask for
// waiting input, send the frame, wait, read the reply) back to back for SECONDS, with nothing
// else to do, and prints "POINTS_PER_SECOND CPU_PERCENT". Exit 1 when the port cannot be
// opened or the device stops answering.
#include <sys/resource.h>

#include <array>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <string>

#include "link/serial_port.h"

namespace {

double cpuSeconds() {
    rusage u{};
    getrusage(RUSAGE_SELF, &u);
    const auto s = [](const timeval& t) {
        return static_cast<double>(t.tv_sec) + t.tv_usec * 1e-6;
    };
    return s(u.ru_utime) + s(u.ru_stime);
}

}  // namespace

int main(int argc, char** argv) {
    if (argc != 4) {
        std::fprintf(stderr, "usage: line_host PORT BAUD SECONDS\n");
        return 2;
    }
    veka::SerialPort port;
    if (!port.open(std::string(argv[1]))) {
        std::fprintf(stderr, "line_host: cannot open %s\n", argv[1]);
        return 1;
    }
    port.configure(std::atoi(argv[2]));
    const auto dauer = std::chrono::duration<double>(std::atof(argv[3]));
    // 10 MHz at a 100 MHz clock, 8-bit reading: one reply byte.
    const std::array<uint8_t, 5> rahmen = {0x9A, 0x99, 0x99, 0x19, 0x00};
    const auto austausch = [&port, &rahmen] {
        (void)port.pending();  // every exchange first asks for stale input
        port.write(rahmen.data(), rahmen.size());
        uint8_t antwort = 0;
        do {
            if (port.waitReadable(4000) != veka::SerialPort::Wait::Readable) return false;
        } while (port.read(&antwort, 1) == 0);
        return true;
    };
    // The first exchange at a speed may wait for the device's own preparations.
    bool antwortet = austausch();
    using Clock = std::chrono::steady_clock;
    const double cpu0 = cpuSeconds();
    const auto t0 = Clock::now();
    long punkte = 0;
    for (; antwortet && Clock::now() - t0 < dauer; ++punkte) antwortet = austausch();
    if (!antwortet) {
        std::fprintf(stderr, "line_host: no reply\n");
        return 1;
    }
    const double sekunden = std::chrono::duration<double>(Clock::now() - t0).count();
    std::printf("%.1f %.2f\n", punkte / sekunden, 100 * (cpuSeconds() - cpu0) / sekunden);
    return 0;
}
