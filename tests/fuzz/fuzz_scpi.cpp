// SPDX-License-Identifier: GPL-3.0-or-later
// Any bytes as a remote command line: the parser, the command tree and every handler behind
// it on the real logic never fail, every line ends (a command that waits is let go), and the
// answer is one line unless it carries a binary block. The device link is aborted, so no
// exchange waits; trying the device again is left out, since it would open serial ports of
// the machine that runs the fuzzer.

#include <unistd.h>

#include <QGuiApplication>
#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <string>

#include "remote/line_runner.h"
#include "support/fake_ui.h"

namespace {

struct Host : veka::RemoteHost {
    Host() { core.link().abort(); }
    veka::Netzwerktester& logic() override { return core; }
    bool asking() const override { return asking_; }

    veka::test::FakeUi ui;
    veka::Netzwerktester core{ui};
    bool asking_ = false;
};

Host& host() {
    static Host h;
    return h;
}

veka::RemoteInstrument& instrument() {
    static veka::RemoteInstrument r(host(), "1.0");
    return r;
}

}  // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***) {
    qputenv("QT_QPA_PLATFORM", "offscreen");
    static int argc = 1;
    static char name[] = "fuzz_scpi";
    static char* argv[] = {name, nullptr};
    static QGuiApplication app(argc, argv);  // the exports draw text
    // Files the commands store stay in a scratch folder of their own.
    std::filesystem::create_directories("files");
    if (::chdir("files") != 0) std::abort();
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    std::string line(reinterpret_cast<const char*>(data), size);
    std::string upper = line;
    std::transform(upper.begin(), upper.end(), upper.begin(), ::toupper);
    if (upper.find("RETR") != std::string::npos) return 0;
    Host& h = host();
    h.asking_ = size % 7 == 0;  // sometimes the window is asking
    veka::LineRunner runner(line);
    const bool ended = runner.run(instrument());
    h.ui.runPosted();
    if (h.core.messungLaeuft()) h.core.stopAndWait();
    h.ui.runPosted();
    if (const auto answer = runner.answer()) {
        const bool block = answer->find('#') != std::string::npos;
        if (!block && answer->find('\n') != std::string::npos) std::abort();
    }
    (void)ended;
    return 0;
}
