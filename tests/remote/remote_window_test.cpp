// Remote control beside the real main window (offscreen): the widgets follow remote commands,
// the window's own buttons stay usable, and remote commands wait while a box is open.
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
        std::string fehler;
        EXPECT_TRUE(remote.listen("127.0.0.1", 0, &fehler)) << fehler;
        s.connectToHost(QHostAddress::LocalHost, remote.port());
        EXPECT_TRUE(QTest::qWaitFor([&] { return s.state() == QAbstractSocket::ConnectedState; }));
    }
    void senden(const std::string& zeile) { s.write(QByteArray::fromStdString(zeile + "\n")); }
    // The event loop runs while the answer is awaited: the server lives in it, and what the
    // sweep posts to the window thread runs as the window's loop would run it.
    bool warten(const std::function<bool()>& bedingung, int ms = 60000) {
        return QTest::qWaitFor(
            [&] {
                ui.runPosted();
                return bedingung();
            },
            ms);
    }
    std::string antwort(int ms = 60000) {
        if (!warten([&] { return s.canReadLine(); }, ms)) return "<nothing>";
        return s.readLine().trimmed().toStdString();
    }
    std::string frage(const std::string& zeile) {
        senden(zeile);
        return antwort();
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
    EXPECT_EQ(f.frage("FREQ:STAR 7000000;STEP 2000;STAR?"), "7000000");
    EXPECT_EQ(f.text(Control::Label1), "7.000.000 Hz");
    EXPECT_EQ(f.text(Control::Label2), "2.000 Hz");
    EXPECT_EQ(f.frage("SOUR:ATT 20;ATT?"), "20");
    EXPECT_EQ(f.text(Control::AttenuatorLabel), "20 dB");
    EXPECT_EQ(f.frage("SWE:POIN 40;:INIT:CONT ON;CONT?"), "1");
    EXPECT_FALSE(f.w.button(Control::Button5)->isEnabled());
    EXPECT_TRUE(f.w.button(Control::Button6)->isEnabled());
    EXPECT_FALSE(f.w.action(Control::Frequenz1)->isEnabled());
    EXPECT_TRUE(f.w.refreshLaeuft()) << "the diagram must follow the remote sweep";
    // The window's own "Sto&p" ends the sweep the remote client started.
    QTest::mouseClick(f.w.button(Control::Button6), Qt::LeftButton);
    EXPECT_EQ(f.frage("*OPC?;:INIT:CONT?"), "1;0");
    EXPECT_TRUE(f.warten([&] { return f.w.button(Control::Button5)->isEnabled(); }));
    EXPECT_FALSE(f.text(Control::Label7).isEmpty());
    EXPECT_EQ(f.frage("CALC:MAX?"), "\"" + f.text(Control::Label7).toStdString() + "\"");
    EXPECT_EQ(f.frage("SYST:ERR?"), "0,\"No error\"");
}

TEST(RemoteBesideTheWindow, RemoteCommandsWaitWhileABoxIsOpen) {
    WindowWithRemote f;
    QDialog box(&f.w);
    box.setModal(true);
    box.show();
    ASSERT_TRUE(QTest::qWaitFor([&] { return QApplication::activeModalWidget() == &box; }));
    f.senden("FREQ:STAR 7000000;STAR?");
    EXPECT_EQ(f.antwort(300), "<nothing>");
    EXPECT_EQ(f.w.logik().inst().e.Startfrequenz, 10000000);
    box.close();
    EXPECT_EQ(f.antwort(), "7000000");
    EXPECT_EQ(f.text(Control::Label1), "7.000.000 Hz");
}

}  // namespace
}  // namespace veka
