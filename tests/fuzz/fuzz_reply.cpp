// SPDX-License-Identifier: GPL-3.0-or-later
// Any bytes as the device's answers: one sweep over a real pseudo-terminal whose device end
// answers each frame with the next piece of the input. Whatever comes back, the exchange and
// the sweep's conversion never fail, every reading stays within the resolution, and every
// stored point is at least 1. A piece too short for the reply ends the run as program end
// would (waiting out the four-second time-out would make fuzzing crawl).

#include <fuzzer/FuzzedDataProvider.h>
#include <poll.h>
#include <stdlib.h>
#include <unistd.h>

#include <array>
#include <atomic>
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <thread>
#include <vector>

#include "display/diagram.h"
#include "link/device_codec.h"
#include "measure/netzwerktester.h"
#include "pty_link.h"
#include "support/fake_ui.h"

namespace {

// The device end, made once per fuzzing process in a folder of its own.
struct Geraet {
    Geraet() {
        std::string pattern = (std::filesystem::temp_directory_path() / "veka-fuzz-XXXXXX");
        if (::mkdtemp(pattern.data()) == nullptr) std::abort();
        ordner = pattern;
        std::string error;
        if (!pty.open(&error) || !pty.createLink(ordner + "/COM2", &error)) std::abort();
    }
    std::string ordner;
    vekasim::PtyLink pty;
};
Geraet* geraet = nullptr;  // libFuzzer calls into plain functions: the one global of the run

bool lesen(int fd, uint8_t* b, size_t n, const std::atomic<bool>& ende) {
    for (size_t got = 0; got < n;) {
        pollfd p{fd, POLLIN, 0};
        if (::poll(&p, 1, 5) <= 0) {
            if (ende) return false;
            continue;
        }
        const ssize_t r = ::read(fd, b + got, n - got);
        if (r > 0) got += static_cast<size_t>(r);
    }
    return true;
}

// Answers frames with pieces of the input until the sweep has ended.
void antworten(FuzzedDataProvider& in, veka::DeviceLink& link, size_t noetig,
               const std::atomic<bool>& ende) {
    const int fd = geraet->pty.master();
    uint8_t frame[5];
    while (lesen(fd, frame, sizeof frame, ende)) {
        const std::vector<uint8_t> stueck =
            in.ConsumeBytes<uint8_t>(in.ConsumeIntegralInRange(0, 4));
        if (!stueck.empty()) [[maybe_unused]]
            const ssize_t w = ::write(fd, stueck.data(), stueck.size());
        if (stueck.size() < noetig) link.abort();
    }
}

}  // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***) {
    geraet = new Geraet;
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    FuzzedDataProvider in(data, size);
    veka::test::FakeUi ui;  // a time-out is never waited out here; nothing is shown
    veka::Netzwerktester core(ui);
    veka::Instrument& inst = core.inst();
    inst.e.Comport = 2;
    inst.e.Messgenauigkeit = in.ConsumeBool() ? 10 : 8;
    inst.e.Messpunkte = in.ConsumeIntegralInRange(1, 12);
    inst.Messart = in.ConsumeIntegralInRange(1, 6);
    inst.Linear = in.ConsumeBool();
    inst.e.Dlog = inst.e.Dlin = {in.ConsumeIntegral<int32_t>(), in.ConsumeIntegral<int32_t>()};
    // Ports are looked up in the working folder; crash files still land where we were.
    const auto hier = std::filesystem::current_path();
    std::filesystem::current_path(geraet->ordner);
    core.link().PortSetzen();
    std::filesystem::current_path(hier);
    if (!core.link().portOpen()) std::abort();
    core.link().discardInput();
    // Whatever an earlier run left unanswered on our side goes too.
    for (uint8_t rest[64];
         ::poll(std::array{pollfd{geraet->pty.master(), POLLIN, 0}}.data(), 1, 0) > 0;)
        if (::read(geraet->pty.master(), rest, sizeof rest) <= 0) break;
    veka::dm_diagramm(inst);  // every point starts at 1, as "&Start" leaves it

    std::atomic<bool> ende{false};
    const size_t noetig = veka::zehnBit(inst.e.Messgenauigkeit) ? 2 : 1;
    std::thread geraetSeite([&] { antworten(in, core.link(), noetig, ende); });
    core.sweep().startmessung();
    core.sweep().stopmessung();  // lets the one sweep in progress complete
    ende = true;
    geraetSeite.join();

    if (inst.Rohwert > (noetig == 2 ? 1023 : 255)) std::abort();
    std::lock_guard lock(inst.datenMutex);
    for (int k = 1; k <= inst.punktzahl(); ++k)
        if (inst.daten.Messwerte[k] < 1) std::abort();
    return 0;
}
