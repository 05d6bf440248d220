// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The main window TForm1: the diagram, the readouts and every command as a button, a menu
// item or a function key. It holds no logic of its own: each control calls the command of the
// same name on Netzwerktester, and afterwards the widgets mirror the window model.
//
// Keeping the window up to date - one entry point: whatever changes the program state from
// the window thread (a control, a remote command, a front of its own) either runs the change
// through ausfuehren(), or calls spiegeln() right after it. spiegeln() mirrors the window
// model into the widgets and schedules the diagram refresh. Tasks that other threads post
// through the UserInterface given to the logic are followed by spiegeln() automatically
// (time-out message and caption, the end of a stop).
//
// The refresh (Timer2, 10 ms) runs only while something is pending: it is started by
// spiegeln() when the window model has the refresh enabled, keeps running while a sweep runs,
// and stops at the first tick that finds neither a changed column nor a running sweep. Each
// tick combines and repaints only the columns drawn since the last one, so an idle window
// costs no work and no wake-ups.

#include <QMainWindow>
#include <QTimer>
#include <array>
#include <functional>
#include <memory>
#include <optional>

#include "measure/netzwerktester.h"
#include "ui/qt_user_interface.h"

class QAction;
class QLabel;
class QMenu;
class QPushButton;
class QToolButton;

namespace veka {

class DiagramView;
class TForm2;
class Tinfo;
class HelpWindow;

class TForm1 : public QMainWindow {
    Q_OBJECT
  public:
    // ui: the interface the logic uses; nullptr for the window system's own.
    explicit TForm1(UserInterface* ui = nullptr);
    ~TForm1() override;

    // The start-up sequence, before the window is shown.
    void FormCreate(const std::optional<std::string>& configArgument);
    // After a start-up run on logik() from outside: the widgets and the frame's place.
    void gestartet();

    Netzwerktester& logik() { return *logik_; }
    QPushButton* button(Control c) const;
    QAction* action(Control c) const;
    QLabel* label(Control c) const;
    QToolButton* upDownArrow(bool up) const { return up ? upArrow_ : downArrow_; }
    QWidget* diagram() const;
    TForm2* eingabe() const { return eingabe_; }

    // Something changed: mirror the window model into the widgets and schedule the refresh.
    void spiegeln();
    // Runs a command of the window thread, then spiegeln().
    void ausfuehren(const std::function<void()>& befehl);
    // The same for a remote command: a box the command raises (a device time-out) goes to
    // standard error instead, since nobody at the window asked for it and the remote client
    // learns of it through its error queue; no remote command ever waits for a click.
    void fernAusfuehren(const std::function<void()>& befehl);
    bool fernbefehlLaeuft() const { return fernbefehl_; }
    // SYSTem:REMote and :RWLock lock every control of the window (buttons, menus, function
    // keys, the diagram); SYSTem:LOCal releases them. Closing the window always works.
    void fernSperren(bool gesperrt);
    bool fernGesperrt() const { return fernGesperrt_; }
    // Whether the 10 ms refresh is running (it stops itself when nothing is pending), or
    // rests during a sweep until the sweep draws a change.
    bool refreshLaeuft() const { return timer2_.isActive() || refreshRuht(); }
    // Whether it rests: the sweep draws nothing new, and its next change wakes it.
    bool refreshRuht() const { return refreshRuht_ && logik_->messungLaeuft(); }
    // The sweep drew while the refresh rested: refresh now and tick again.
    void refreshWecken();

    // Attached by program entry: the about box and the settings dialog.
    void setInfo(Tinfo* info) { info_ = info; }
    void setOptionen(std::function<void()> zeigen) { optionenZeigen_ = std::move(zeigen); }

    // The window has been closed: the program is ending (also by SIGTERM or SIGINT).
    bool beendet() const { return geschlossen_; }

  signals:
    void geschlossen();

  protected:
    void closeEvent(QCloseEvent* event) override;

  private:
    void aufbauen();
    void menuesAufbauen();
    QPushButton* taste(Control c, int x, int y, int w, int h, void (Netzwerktester::*f)());
    QLabel* beschriftung(Control c, int x, int y, int w, int h);
    QAction* eintrag(QMenu* menu, Control c, std::function<void()> f, const char* key = nullptr);
    void widgetsSpiegeln();
    void menuesVorrang();
    void Timer2Timer();
    void Beenden1Click();
    void Hilfe1Click();
    void ber1Click();

    TForm2* eingabe_;
    std::unique_ptr<QtUserInterface> eigeneUi_;
    UserInterface* ui_;
    std::unique_ptr<UserInterface> spiegelndeUi_;  // ui_ with spiegeln() after posted tasks
    std::unique_ptr<Netzwerktester> logik_;
    DiagramView* view_ = nullptr;
    std::array<QWidget*, ControlCount> widgets_{};
    std::array<QAction*, ControlCount> actions_{};
    std::array<QMenu*, ControlCount> menus_{};
    QToolButton* upArrow_ = nullptr;
    QToolButton* downArrow_ = nullptr;
    QTimer timer1_;
    QTimer timer2_;
    uint64_t gespiegelt_ = ~uint64_t{0};
    Tinfo* info_ = nullptr;
    HelpWindow* hilfe_ = nullptr;
    std::function<void()> optionenZeigen_;
    bool geschlossen_ = false;
    bool refreshRuht_ = false;
    bool fernbefehl_ = false;
    bool fernGesperrt_ = false;
};

}  // namespace veka
