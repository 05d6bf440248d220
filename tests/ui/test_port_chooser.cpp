// SPDX-License-Identifier: GPL-3.0-or-later
// The device chooser beside the COM box, and a port given for the run that lies in another
// folder than the program.
#include <gtest/gtest.h>
#include <unistd.h>

#include <QApplication>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QSettings>
#include <QTimer>
#include <filesystem>
#include <string>

#include "app/port_settings.h"
#include "link/port_names.h"
#include "simulator.h"
#include "support/fake_ui.h"
#include "support/pty_device.h"
#include "support/run_program.h"
#include "support/sim_room.h"
#include "support/work_dir.h"
#include "ui/einstell.h"
#include "ui/port_chooser.h"
#include "ui/vek32.h"

namespace veka {
namespace {

namespace fs = std::filesystem;

QStringList rows(const QListWidget* list) {
    QStringList r;
    for (int i = 0; i < list->count(); ++i) r << list->item(i)->text();
    return r;
}

TEST(PortChooser, ListsDevicesAndSaysLiveWhyOneWouldNotOpen) {
    test::WorkDir dir;
    test::PtyDevice pty;
    fs::create_symlink(pty.path(), "COM2");
    fs::create_symlink("/nonexistent/ttyUSB3", "COM4");
    PortChooser chooser(2, "", "");
    const QStringList list = rows(chooser.list());
    EXPECT_TRUE(list.contains(QString::fromStdString("./COM2 -> " + pty.path() + ": usable")))
        << list.join('\n').toStdString();
    EXPECT_TRUE(list.contains("./COM4: not present")) << list.join('\n').toStdString();
    // Empty field: the built-in lookup, here the link in the working folder.
    EXPECT_EQ(chooser.reasonLabel()->text(), "COM2: usable");

    chooser.pathField()->setText("/nonexistent/ttyUSB3");
    chooser.updateReason();
    EXPECT_EQ(chooser.reasonLabel()->text(), "/nonexistent/ttyUSB3: not present");
    chooser.pathField()->setText("/dev/null");
    chooser.updateReason();
    EXPECT_EQ(chooser.reasonLabel()->text(), "/dev/null: not a serial device");
    // Picking a row puts its device into the field.
    chooser.list()->item(static_cast<int>(list.indexOf("./COM4: not present")))->setSelected(true);
    EXPECT_EQ(chooser.device(), "./COM4");
    EXPECT_EQ(chooser.reasonLabel()->text(), "./COM4: not present");
}

TEST(PortChooser, CaptionsFromTheLanguageOrBuiltIn) {
    test::WorkDir dir;
    {
        std::ofstream("LANG.INI")
            << "[-EN]\nport2=Device for COM %1\nstring41=&OK\n[-XX]\nstring41=x\n";
    }
    EXPECT_EQ(PortChooser(3, "", "").windowTitle(), QString::fromUtf8("Gerät für COM 3"));
    EXPECT_EQ(PortChooser(3, "", "-EN").windowTitle(), "Device for COM 3");
    // A language file without the new key keeps the built-in text, not "ERROR".
    EXPECT_EQ(PortChooser(3, "", "-XX").windowTitle(), QString::fromUtf8("Gerät für COM 3"));
}

// The button beside the COM box stores the choice per user and hands it to the link.
TEST(PortChoiceButton, StoresTheChoiceForTheNumberInTheField) {
    test::WorkDir dir;
    QSettings::setPath(QSettings::NativeFormat, QSettings::UserScope, dir.path().c_str());
    test::FakeUi ui;
    TForm1 w{&ui};
    TEin dialog(w.logik().inst(), &w);
    dialog.PortWahl->attach(w.logik().link());
    dialog.Edit20->setText("4");
    QTimer::singleShot(0, [] {
        auto* chooser = qobject_cast<PortChooser*>(QApplication::activeModalWidget());
        ASSERT_NE(chooser, nullptr);
        EXPECT_EQ(chooser->windowTitle(), QString::fromUtf8("Gerät für COM 4"));
        chooser->pathField()->setText("/dev/serial/by-id/usb-test-adapter");
        chooser->accept();
    });
    dialog.PortWahl->choose();
    EXPECT_EQ(w.logik().link().portPaths().choice(4), "/dev/serial/by-id/usb-test-adapter");
    EXPECT_EQ(loadPortChoices().choice(4), "/dev/serial/by-id/usb-test-adapter");
    EXPECT_EQ(loadPortChoices().choice(2), "");
    // Nothing of it reaches the configuration files.
    EXPECT_FALSE(fs::exists("vekami.cfg"));

    QTimer::singleShot(0, [] {
        auto* chooser = qobject_cast<PortChooser*>(QApplication::activeModalWidget());
        ASSERT_NE(chooser, nullptr);
        EXPECT_EQ(chooser->device(), "/dev/serial/by-id/usb-test-adapter");
        chooser->pathField()->clear();
        chooser->accept();
    });
    dialog.PortWahl->choose();
    EXPECT_EQ(loadPortChoices().choice(4), "");
    EXPECT_EQ(w.logik().link().portPaths().resolve(4), "/dev/ttyS3");
}

TEST(PortChoiceButton, StateOfTheNumberInTheFieldBesideIt) {
    test::WorkDir dir;
    test::PtyDevice pty;
    fs::create_symlink(pty.path(), "COM1");
    fs::create_symlink(pty.path(), "COM2");
    fs::create_symlink("/nonexistent/ttyUSB3", "COM4");
    Instrument inst;
    TEin dialog(inst);
    QLabel* state = dialog.PortWahl->stateLabel();
    EXPECT_EQ(state->parentWidget(), dialog.GroupBox1);
    const struct {
        const char* number;
        const char* state;
        std::string tip;
    } cases[] = {
        {"2", "usable", "COM2: usable"},
        {"4", "not present", "COM4: not present"},
        {"12", "not present", "COM 12: not present"},
        {"x", "usable", "COM1: usable"},  // the dialog takes port 1 for such a text
    };
    for (const auto& c : cases) {
        dialog.Edit20->setText(c.number);
        EXPECT_EQ(state->text(), c.state) << c.number;
        EXPECT_EQ(state->toolTip().toStdString(), c.tip) << c.number;
    }
    // Shown: the state sits in the box below the number, inside it.
    dialog.show();
    EXPECT_TRUE(dialog.GroupBox1->rect().contains(state->geometry()));
    EXPECT_GT(state->y(), dialog.Edit20->geometry().bottom());
    dialog.hide();
}

// Run as nobody (re-executed under setpriv when we are root): a device the user may not open
// gives the permission reason in the chooser.
TEST(PortChooser, PermissionReasonForANormalUser) {
    const char* device = std::getenv("VEKA_FORBIDDEN_DEVICE");
    if (device != nullptr) {
        PortChooser chooser(3, "", "");
        EXPECT_EQ(chooser.reasonLabel()->text().toStdString(),
                  "COM3: permission denied \u2014 add your user to the group 'dialout' and log "
                  "in again");
        chooser.pathField()->setText(device);
        chooser.updateReason();
        EXPECT_NE(chooser.reasonLabel()->text().toStdString().find(
                      std::string(device) + ": permission denied \u2014 add your user"),
                  std::string::npos);
        EXPECT_TRUE(rows(chooser.list())
                        .contains(QString::fromStdString("./COM3 -> " + std::string(device) +
                                                         ": permission denied")));
        // Live beside the COM box of the settings dialog as well.
        Instrument inst;
        TEin dialog(inst);
        dialog.Edit20->setText("3");
        EXPECT_EQ(dialog.PortWahl->stateLabel()->text(), "permission denied");
        EXPECT_EQ(dialog.PortWahl->stateLabel()->toolTip().toStdString(),
                  "COM3: permission denied \u2014 add your user to the group 'dialout' and log "
                  "in again");
        return;
    }
    test::PtyDevice pty;
    ASSERT_TRUE(pty.forbidNormalUsers());
    test::WorkDir dir;
    ::chmod(dir.path().c_str(), 0777);
    fs::create_symlink(pty.path(), "COM3");
    const std::string self = fs::read_symlink("/proc/self/exe").string();
    const test::ProgramRun run =
        test::runProgram({self, "--gtest_filter=PortChooser.PermissionReasonForANormalUser"},
                         dir.path().string(), true,
                         {{"VEKA_FORBIDDEN_DEVICE", pty.path()},
                          {"QT_QPA_PLATFORM", "offscreen"},
                          {"HOME", dir.path().string()}});
    EXPECT_EQ(run.exitCode, 0) << run.out << run.err;
    EXPECT_NE(run.out.find("[  PASSED  ] 1 test"), std::string::npos) << run.out;
}

// The simulator linked in one folder, the program working in another: the device given for
// the run is used for the configured port number, with real readings.
TEST(RunDevice, PortInAnotherFolder) {
    vekasim::Options o;
    o.levelDb = -20.0;
    test::SimRoom room(o);
    test::WorkDir elsewhere;
    ASSERT_FALSE(fs::exists("COM2"));
    test::FakeUi ui;
    TForm1 w{&ui};
    PortPaths paths;
    paths.setRunDevice((room.dir.path() / "COM2").string());
    w.logik().link().setPortPaths(paths);
    w.FormCreate(std::nullopt);
    EXPECT_EQ(w.windowTitle(), "Netzwerktester (Labor)  V7.3     COM 2");
    EXPECT_FALSE(w.logik().inst().DemoModus);
    EXPECT_TRUE(ui.messages.empty());
    EXPECT_EQ(w.logik().inst().Rohwert, vekasim::rawReading(-20.0, false, false));
    EXPECT_GE(room.sim->exchangeCount(), 1u);
}

}  // namespace
}  // namespace veka
