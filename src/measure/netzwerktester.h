// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The program logic: it owns the one instrument state, the device link and the sweep engine,
// runs the start-up, offers the typed operations (operations.h) and every command of the
// window by the name of the control that fires it. A command asks the user where the window
// asks (an input box, a file dialog), then runs the operation. It knows the window only
// through UserInterface and WindowModel.

#include <functional>
#include <memory>
#include <optional>
#include <string>

#include "link/exchange.h"
#include "measure/file_commands.h"
#include "measure/operations.h"
#include "measure/sweep.h"
#include "state/instrument.h"
#include "state/surfaces.h"
#include "state/user_interface.h"

namespace veka {

class Netzwerktester {
  public:
    explicit Netzwerktester(UserInterface& ui);
    ~Netzwerktester();  // stops a running sweep first

    // The start-up sequence; configArgument is the first command-line argument, if any.
    void FormCreate(const std::optional<std::string>& configArgument);

    Instrument& inst() { return *inst_; }
    const Instrument& inst() const { return *inst_; }
    DeviceLink& link() { return link_; }
    Sweep& sweep() { return sweep_; }
    const Anzeigebitmap& anzeige() const { return anzeige_; }
    bool messungLaeuft() const { return sweep_.laeuft(); }
    // The window's operations: values as typed in its input boxes.
    Operations& ops() { return ops_; }

    // The 10 ms refresh: combines the part of both surfaces written since the last call into
    // the window picture and returns the part of the picture that now differs: those columns,
    // and the rows in which a pixel changed; empty (false) when none did. Nothing to combine
    // costs next to nothing. The surface lock is held only for that part.
    Bildbereich Timer2Timer();
    // While a sweep runs, the refresh may rest instead of ticking when nothing is pending:
    // true when nothing was (the refresh may stop); the sweep then calls
    // UserInterface::refreshWecken() as soon as it draws. Any Timer2Timer() call ends the rest.
    bool refreshRuhen();
    // The 1 s timer switches itself off.
    void Timer1Timer();

    // Sweep.
    void Button5Click();  // "&Start"
    // "Sto&p" never blocks: the sweep in progress completes on the worker; then, on the window
    // thread, the source is parked on Startfrequenz, maxminwert fills the labels and the
    // locked-out commands come back. messungLaeuft() is true until all that is done.
    void Button6Click();
    // The same, and whenStopped (may be empty) runs on the window thread after it, e.g. to
    // answer a remote client that waits for the stop. Does not block the window thread.
    void requestStop(std::function<void()> whenStopped);
    // The same stop, returning only when all of it is done. For fronts without an event loop
    // (batch mode); the window must not use it, since the window would stop painting.
    void stopAndWait();
    // Source and attenuator.
    void Button1Click();
    void Button2Click();
    void Button3Click();
    void Button4Click();
    void UpDown1Click(int neuePosition);
    void Dmpfung1Click();
    void Dmpfung2Click();
    void Taktgenerator1Click();
    void Button15Click();
    void Zwischenfrequenz1Click();
    void AdditionvsSubtraktion1Click();
    void ZFEingabe1Click();
    // Modes.
    void Button8Click();
    void Button9Click();
    void Button10Click();
    // Display and cursor.
    void Button11Click();
    void Button12Click();
    void Button13Click();
    void Button14Click();
    void Button16Click();
    void Button17Click();
    void Button18Click();
    void Button19Click();
    // Calibration.
    void Durchgangsmessung2Click();
    void Reflexionsmessung2Click();
    void Spektralmessung2Click();
    void LinieClick(int linie);  // Linie11Click .. Linie71Click
    // Files.
    void Speichern1Click();
    void ffnen1Click();
    void MessreiheSpeichern1Click();
    void Messreiheladen1Click();
    void Exportieren1Click();
    // The "Analyse" menu.
    void Mittelung1Click();
    void MaxHalten1Click();
    void MinHalten1Click();
    void SpeicherUebernehmen1Click();
    void Normieren1Click();
    void SpeicherLaden1Click();
    void SpeicherSpeichern1Click();
    void GrenzwerteLaden1Click();
    void GrenzwertePruefen1Click();
    void Filteranalyse1Click();
    // The menu's check marks from the additions as they stand (also after a remote change).
    void zusaetzeZeigen();
    // Settings dialog, around the dialog itself: before and after it is shown.
    void optionenVorher();
    void optionenNachher();

  private:
    void nachStop();
    void fehlerZeigen(const Status& s);
    void zusatzFehler(const Status& s);
    void startupDateien();
    void startupSprache();

    UserInterface& ui_;
    std::unique_ptr<Instrument> inst_;
    DeviceLink link_;
    Sweep sweep_;
    Anzeigebitmap anzeige_;
    DateiDialogNamen dateinamen_;
    Operations ops_{*this, Entry::AsTyped};
};

// Start-up step 17: the local date in the short format, two blanks, the local time in the
// long format.
std::string startzeitText();

}  // namespace veka
