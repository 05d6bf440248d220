// The options that hold for one run: the device for the configured port number on top of the
// per-user choices, and the language section.
#include "app/run_options.h"

#include <gtest/gtest.h>

#include <QSettings>
#include <fstream>

#include "app/port_settings.h"
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
