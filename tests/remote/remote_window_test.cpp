// SPDX-License-Identifier: GPL-3.0-or-later
// Remote control beside the real main window (offscreen): the widgets follow remote commands,
// the window's own buttons stay usable, remote queries answer while a box is open, and the
// window's controls lock and unlock on command.
#include <gtest/gtest.h>

#include <QAction>
#include <QDialog>
#include <QLabel>
#include <QPushButton>
#include <QTcpSocket>
#include <QTest>

#include "support/fake_ui.h"
#include "support/sim_room.h"
#include "ui/remote_window.h"
#include "ui/vek32.h"

namespace veka {
namespace {

struct WindowWithRemote {
    WindowWithRemote() {
        w.FormCreate(std::nullopt);
        w.show();
        std::string error;
        EXPECT_TRUE(remote.listen("127.0.0.1", 0, &error)) << error;
        s.connectToHost(QHostAddress::LocalHost, remote.port());
        EXPECT_TRUE(QTest::qWaitFor([&] { return s.state() == QAbstractSocket::ConnectedState; }));
    }
    void send(const std::string& line) { s.write(QByteArray::fromStdString(line + "\n")); }
    // The event loop runs while the answer is awaited: the server lives in it, and what the
    // sweep posts to the window thread runs as the window's loop would run it.
    bool waitUntil(const std::function<bool()>& condition, int ms = 60000) {
        return QTest::qWaitFor(
            [&] {
                ui.runPosted();
                return condition();
            },
            ms);
    }
    std::string answer(int ms = 60000) {
        if (!waitUntil([&] { return s.canReadLine(); }, ms)) return "<nothing>";
        return s.readLine().trimmed().toStdString();
    }
    std::string ask(const std::string& line) {
        send(line);
        return answer();
    }
    QString text(Control c) const { return w.label(c)->text(); }

    test::SimRoom room;
    test::FakeUi ui;
    TForm1 w{&ui};
    WindowRemoteHost remote{w, "9.9"};
    QTcpSocket s;
};

TEST(RemoteBesideTheWindow, WidgetsFollowRemoteCommands) {
    WindowWithRemote f;
    EXPECT_EQ(f.ask("FREQ:STAR 7000000;STEP 2000;STAR?"), "7000000");
    EXPECT_EQ(f.text(Control::Label1), "7.000.000 Hz");
    EXPECT_EQ(f.text(Control::Label2), "2.000 Hz");
    EXPECT_EQ(f.ask("SOUR:ATT 20;ATT?"), "20");
    EXPECT_EQ(f.text(Control::AttenuatorLabel), "20 dB");
    EXPECT_EQ(f.ask("SWE:POIN 40;:INIT:CONT ON;CONT?"), "1");
    EXPECT_FALSE(f.w.button(Control::Button5)->isEnabled());
    EXPECT_TRUE(f.w.button(Control::Button6)->isEnabled());
    EXPECT_FALSE(f.w.action(Control::Frequenz1)->isEnabled());
    EXPECT_TRUE(f.w.refreshLaeuft()) << "the diagram must follow the remote sweep";
    // The window's own "Sto&p" ends the sweep the remote client started.
    QTest::mouseClick(f.w.button(Control::Button6), Qt::LeftButton);
    EXPECT_EQ(f.ask("*OPC?;:INIT:CONT?"), "1;0");
    EXPECT_TRUE(f.waitUntil([&] { return f.w.button(Control::Button5)->isEnabled(); }));
    EXPECT_FALSE(f.text(Control::Label7).isEmpty());
    EXPECT_EQ(f.ask("CALC:MAX?").substr(0, 2), "70");
    // The Analyse menu's check marks follow what the client switches.
    EXPECT_EQ(f.ask("AVER ON;:CALC:HOLD MAX;HOLD?"), "MAX");
    EXPECT_TRUE(f.w.action(Control::Mittelung1)->isChecked());
    EXPECT_TRUE(f.w.action(Control::MaxHalten1)->isChecked());
    EXPECT_EQ(f.ask("CALC:HOLD OFF;HOLD?"), "OFF");
    EXPECT_FALSE(f.w.action(Control::MaxHalten1)->isChecked());
    EXPECT_EQ(f.ask("SYST:ERR?"), "0,\"No error\"");
}

TEST(RemoteBesideTheWindow, QueriesAnswerWhileABoxIsOpenAndSettingsAreRefused) {
    WindowWithRemote f;
    QDialog box(&f.w);
    box.setModal(true);
    box.show();
    ASSERT_TRUE(QTest::qWaitFor([&] { return QApplication::activeModalWidget() == &box; }));
    EXPECT_EQ(f.ask("FREQ:STAR 7000000;STAR?"), "10000000");
    EXPECT_EQ(f.w.logik().inst().e.Startfrequenz, 10000000);
    EXPECT_EQ(f.ask("SYST:ERR?"), "-221,\"Settings conflict;window dialog open\"");
    box.close();
    EXPECT_EQ(f.ask("FREQ:STAR 7000000;STAR?"), "7000000");
    EXPECT_EQ(f.text(Control::Label1), "7.000.000 Hz");
}

TEST(RemoteBesideTheWindow, RemoteAndLocalLockAndReleaseTheControls) {
    WindowWithRemote f;
    QPushButton* start = f.w.button(Control::Button5);
    EXPECT_EQ(f.ask("SYST:RWL;*OPC?"), "1");
    EXPECT_FALSE(start->isEnabled());
    EXPECT_FALSE(f.w.action(Control::Frequenz1)->isEnabled());
    QTest::keyClick(&f.w, Qt::Key_Escape);  // no local key under the lockout
    EXPECT_TRUE(f.w.fernGesperrt());
    EXPECT_EQ(f.ask("SYST:LOC;*OPC?"), "1");
    EXPECT_TRUE(start->isEnabled());
    EXPECT_TRUE(f.w.action(Control::Frequenz1)->isEnabled());
    EXPECT_EQ(f.ask("SYST:REM;*OPC?"), "1");
    EXPECT_TRUE(f.w.fernGesperrt());
    QTest::keyClick(&f.w, Qt::Key_Escape);  // the local key
    EXPECT_FALSE(f.w.fernGesperrt());
    EXPECT_TRUE(start->isEnabled());
    // A client that leaves leaves no locked window behind.
    EXPECT_EQ(f.ask("SYST:RWL;*OPC?"), "1");
    f.s.disconnectFromHost();
    EXPECT_TRUE(f.waitUntil([&] { return !f.w.fernGesperrt(); }));
}

}  // namespace
}  // namespace veka
