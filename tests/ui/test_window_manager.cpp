// SPDX-License-Identifier: GPL-3.0-or-later
// The windows under a real window manager (run through under_window_manager.sh): each placed
// by its outer frame, fixed in size, without a maximise action. What the window manager holds
// is read back with xprop and xwininfo, not from Qt.

#include <gtest/gtest.h>

#include <QApplication>
#include <QLineEdit>
#include <QProcess>
#include <QRegularExpression>
#include <QScreen>
#include <QTest>
#include <QTimer>
#include <optional>
#include <ostream>

#include "support/fake_ui.h"
#include "support/sim_room.h"
#include "ui/einstell.h"
#include "ui/inputbox1.h"
#include "ui/vek32.h"
#include "ui/vekinfo.h"

// Readable failure messages for Qt's geometry types.
inline void PrintTo(const QPoint& p, std::ostream* os) {
    *os << "(" << p.x() << ", " << p.y() << ")";
}
inline void PrintTo(const QSize& s, std::ostream* os) {
    *os << s.width() << "x" << s.height();
}
inline void PrintTo(const QRect& r, std::ostream* os) {
    *os << r.width() << "x" << r.height() << " at (" << r.x() << ", " << r.y() << ")";
}

namespace veka {
namespace {

QString ausfuehren(const QString& programm, const QStringList& argumente) {
    QProcess p;
    p.start(programm, argumente);
    if (!p.waitForFinished(30000)) return {};
    return QString::fromLocal8Bit(p.readAllStandardOutput());
}

int zahl(const QString& text, const QString& muster, int gruppe = 1) {
    const QRegularExpressionMatch m = QRegularExpression(muster).match(text);
    return m.hasMatch() ? m.captured(gruppe).toInt() : -1;
}

// What the window manager knows of a top-level window.
struct XFenster {
    QRect rahmen;  // outer frame on the screen
    QSize kleinste, groesste;
    QStringList aktionen;  // _NET_WM_ALLOWED_ACTIONS

    static XFenster lesen(const QWidget* w) {
        const QString id = QString::number(w->winId());
        const QString p = ausfuehren(
            QStringLiteral("xprop"),
            {"-id", id, "WM_NORMAL_HINTS", "_NET_WM_ALLOWED_ACTIONS", "_NET_FRAME_EXTENTS"});
        const QString i = ausfuehren(QStringLiteral("xwininfo"), {"-id", id});
        XFenster x;
        const QString rand =
            QStringLiteral(R"(_NET_FRAME_EXTENTS\(CARDINAL\) = (\d+), (\d+), (\d+), (\d+))");
        const int links = zahl(p, rand, 1), rechts = zahl(p, rand, 2);
        const int oben = zahl(p, rand, 3), unten = zahl(p, rand, 4);
        x.rahmen = QRect(zahl(i, QStringLiteral(R"(Absolute upper-left X:\s+(-?\d+))")) - links,
                         zahl(i, QStringLiteral(R"(Absolute upper-left Y:\s+(-?\d+))")) - oben,
                         zahl(i, QStringLiteral(R"(Width:\s+(\d+))")) + links + rechts,
                         zahl(i, QStringLiteral(R"(Height:\s+(\d+))")) + oben + unten);
        const QString klein = QStringLiteral(R"(minimum size: (\d+) by (\d+))");
        const QString gross = QStringLiteral(R"(maximum size: (\d+) by (\d+))");
        x.kleinste = QSize(zahl(p, klein, 1), zahl(p, klein, 2));
        x.groesste = QSize(zahl(p, gross, 1), zahl(p, gross, 2));
        const QRegularExpressionMatch a =
            QRegularExpression(QStringLiteral(R"(_NET_WM_ALLOWED_ACTIONS\(ATOM\) = (.*))"))
                .match(p);
        x.aktionen = a.captured(1).split(QStringLiteral(", "));
        return x;
    }
};

// Waits until the window manager shows the window's frame where the test wants it; the
// window moves once more when its frame becomes known, so the first frame may lie elsewhere.
bool gerahmtAn(const QWidget* w, const std::function<bool(const QRect&)>& amPlatz) {
    return QTest::qWaitFor([&] { return amPlatz(XFenster::lesen(w).rahmen); });
}

void festOhneMaximieren(const XFenster& x, const QSize& client) {
    EXPECT_EQ(x.kleinste, client);
    EXPECT_EQ(x.groesste, client);
    ASSERT_FALSE(x.aktionen.isEmpty());
    for (const char* verboten :
         {"_NET_WM_ACTION_MAXIMIZE_HORZ", "_NET_WM_ACTION_MAXIMIZE_VERT", "_NET_WM_ACTION_RESIZE"})
        EXPECT_FALSE(x.aktionen.contains(QString::fromLatin1(verboten))) << verboten;
}

QPoint bildschirmMitte() {
    return QGuiApplication::primaryScreen()->geometry().center();
}

bool mittig(const QRect& r) {
    return (r.center() - bildschirmMitte()).manhattanLength() <= 1;
}

class UnterFensterverwaltung : public ::testing::Test {
  protected:
    void SetUp() override {
        if (QGuiApplication::platformName() != QStringLiteral("xcb"))
            GTEST_SKIP() << "needs an X server; run through under_window_manager.sh";
        const QString wurzel =
            ausfuehren(QStringLiteral("xprop"), {"-root", "_NET_SUPPORTING_WM_CHECK"});
        if (!wurzel.contains(QStringLiteral("window id")))
            GTEST_SKIP() << "no window manager on this display";
    }
};

TEST_F(UnterFensterverwaltung, MainWindowFrameAtOneOneFixedWithoutMaximise) {
    test::SimRoom room;
    test::FakeUi ui;
    TForm1 w(&ui);
    w.FormCreate(std::nullopt);
    w.show();
    ASSERT_TRUE(gerahmtAn(&w, [](const QRect& r) { return r.topLeft() == QPoint(1, 1); }));
    const XFenster x = XFenster::lesen(&w);
    EXPECT_EQ(x.rahmen.topLeft(), QPoint(1, 1));
    EXPECT_EQ(w.centralWidget()->size(), QSize(792, 554));
    festOhneMaximieren(x, w.size());
    RecordProperty(
        "outer_size",
        QStringLiteral("%1x%2").arg(x.rahmen.width()).arg(x.rahmen.height()).toStdString());
}

TEST_F(UnterFensterverwaltung, SettingsDialogCentredAndFixed) {
    Instrument inst;
    TEin d(inst);
    d.show();
    ASSERT_TRUE(gerahmtAn(&d, mittig));
    const XFenster x = XFenster::lesen(&d);
    EXPECT_TRUE(mittig(x.rahmen)) << x.rahmen.x() << "," << x.rahmen.y();
    festOhneMaximieren(x, QSize(TEin::kClientWidth, TEin::kClientHeight));
    d.hide();
}

TEST_F(UnterFensterverwaltung, AboutWindowCentredAndFixed) {
    Tinfo info;
    info.show();
    ASSERT_TRUE(gerahmtAn(&info, mittig));
    const XFenster x = XFenster::lesen(&info);
    EXPECT_TRUE(mittig(x.rahmen)) << x.rahmen.x() << "," << x.rahmen.y();
    festOhneMaximieren(x, QSize(Tinfo::kClientWidth, Tinfo::kClientHeight));
    info.hide();
}

TEST_F(UnterFensterverwaltung, InputBoxAtItsPlaceWithItsOuterSize) {
    TForm2 box;
    const QRect entworfen(TForm2::kLeft, TForm2::kTop, TForm2::kOuterWidth, TForm2::kOuterHeight);
    bool lief = false;
    QTimer::singleShot(0, &box, [&] {
        lief = true;
        EXPECT_TRUE(gerahmtAn(&box, [&](const QRect& r) { return r == entworfen; }));
        const XFenster x = XFenster::lesen(&box);
        EXPECT_EQ(x.rahmen, entworfen);
        festOhneMaximieren(x, box.size());
        QTest::keyClick(box.Edit1, Qt::Key_Escape);
    });
    box.WertEingabe({"1", "Frequenz", "Frequenz in Hz eingeben!", "OK", "Abbruch"});
    EXPECT_TRUE(lief);
}

}  // namespace
}  // namespace veka
