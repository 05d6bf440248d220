// SPDX-License-Identifier: GPL-3.0-or-later
// The options that hold for one run: the device for the configured port number on top of the
// per-user choices, and the language section.
#include "app/run_options.h"

#include <gtest/gtest.h>

#include <QSettings>
#include <filesystem>
#include <fstream>

#include "app/port_settings.h"
#include "support/hang_guard.h"
#include "support/odd_files.h"
#include "support/work_dir.h"

namespace veka {
namespace {

TEST(RunOptions, PortForTheRunOverPerUserChoices) {
    test::WorkDir dir;
    QSettings::setPath(QSettings::NativeFormat, QSettings::UserScope, dir.path().c_str());
    storePortChoice(2, "/dev/serial/by-id/usb-adapter");
    storePortChoice(5, "/dev/ttyACM0");
    storePortChoice(12, "/dev/ignored");

    ProgramOptions opts;
    PortPaths stored = portPathsFor(opts);
    EXPECT_EQ(stored.resolve(2), "/dev/serial/by-id/usb-adapter");
    EXPECT_EQ(stored.resolve(5), "/dev/ttyACM0");
    EXPECT_EQ(stored.resolve(3), "/dev/ttyS2");

    opts.port = "/elsewhere/COM2";
    PortPaths run = portPathsFor(opts);
    EXPECT_EQ(run.resolve(5), "/elsewhere/COM2");  // the number the start-up opens first
    EXPECT_EQ(run.resolve(2), "/dev/serial/by-id/usb-adapter");
    // Nothing of the run is stored.
    EXPECT_EQ(loadPortChoices().choice(5), "/dev/ttyACM0");
    EXPECT_EQ(loadPortChoices().choice(2), "/dev/serial/by-id/usb-adapter");
    storePortChoice(5, "");
    EXPECT_EQ(loadPortChoices().choice(5), "");
}

// A settings file over the bound, a pipe or a device: no choices and one line saying so, no
// hang, and nothing stored over it.
TEST(RunOptions, OddSettingsFileIsNeitherReadNorReplaced) {
    namespace fs = std::filesystem;
    for (const test::OddFile kind : test::kOddFiles) {
        SCOPED_TRACE(test::describe(kind));
        test::WorkDir dir;
        QSettings::setPath(QSettings::NativeFormat, QSettings::UserScope, dir.path().c_str());
        fs::create_directory(dir.path() / "veka");
        const fs::path file = dir.path() / "veka" / "veka.conf";
        test::makeOddFile(kind, file, MaxSettingsBytes, "[ports]\nCOM2=/dev/ttyUSB0\n");
        const auto before = fs::symlink_status(file).type();
        const test::HangGuard guard("reading the settings");
        testing::internal::CaptureStderr();
        EXPECT_EQ(loadPortChoices().choice(2), "");
        const std::string said = testing::internal::GetCapturedStderr();
        EXPECT_EQ(said.rfind("veka: " + file.string() + ": ", 0), 0u) << said;
        EXPECT_EQ(std::count(said.begin(), said.end(), '\n'), 1) << said;
        storePortChoice(3, "/dev/ttyACM0");
        EXPECT_EQ(fs::symlink_status(file).type(), before);
        if (kind == test::OddFile::Oversized) {
            EXPECT_EQ(fs::file_size(file), MaxSettingsBytes + 1);
        }
    }
}

TEST(RunOptions, LanguageSectionForTheRun) {
    test::WorkDir dir;
    { std::ofstream("LANG.INI") << "[-EN]\nButton5=&Go\n"; }
    Instrument inst;
    ProgramOptions opts;
    applyLanguageOption(inst, opts);
    EXPECT_EQ(inst.e.Sprache, "");
    const std::string designed = inst.fenster.text(Control::Button5);

    opts.lang = "-EN";
    applyLanguageOption(inst, opts);
    EXPECT_EQ(inst.e.Sprache, "-EN");
    EXPECT_EQ(inst.fenster.text(Control::Button5), "&Go");
    EXPECT_NE(designed, "&Go");
}

}  // namespace
}  // namespace veka
