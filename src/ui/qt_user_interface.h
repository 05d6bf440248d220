// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The window system's side of UserInterface: information boxes, the value input box, file
// dialogs and posting work to the window thread, all with Qt.

#include <QObject>
#include <QPointer>
#include <QTranslator>
#include <QWidget>
#include <atomic>

#include "app/posted_tasks.h"
#include "state/user_interface.h"

namespace veka {

class TForm2;

// Installs Qt's own German texts (buttons and labels of the standard dialogs), so that no
// English "Cancel" stands beside German captions. False when the translation is missing.
bool qtTexteDeutsch(QTranslator& uebersetzer);

// "Name|*.ext|Alle|*.*" as a Qt filter: "Name (*.ext);;Alle (*.*)".
QString qtFilter(const std::string& filter);

// The extension a Qt filter entry names, "Name (*.ext)" -> "ext"; empty for "*.*" or several.
QString filterSuffix(const QString& eintrag);

// A name chosen in a save dialog, with the chosen type's extension ("csv") added unless it
// already ends in an extension one of the filter's types names ("quarzfilter_10.7MHz" becomes
// "quarzfilter_10.7MHz.csv"; "a.CSV" stays).
QString mitEndung(const QString& name, const std::string& filter, const QString& endung);

// Where the file dialogs of a program started from the desktop menu begin (its launcher sets
// VEKA_STARTED_FROM_MENU and works in a hidden data folder): the user's documents folder (XDG)
// when it exists, else the home folder. Empty for a program started otherwise: its dialogs
// begin in the working folder, as they always did.
QString menuDialogFolder();

class QtUserInterface : public UserInterface {
  public:
    // parent: the window the boxes belong to; eingabe: the value input box to use.
    QtUserInterface(QWidget* parent, TForm2* eingabe);

    void showMessage(const std::string& text) override;
    std::string WertEingabe(const WertEingabeAnfrage& anfrage) override;
    std::optional<std::string> chooseFile(const FileDialogRequest& request) override;
    void showError(const std::string& text) override;
    void showReport(const std::string& title, const std::string& text) override;
    void postToWindowThread(std::function<void()> task) override;

    // The window has closed for good: from now on no box appears and posted tasks are
    // dropped (a worker may still post a message it had on its way).
    void schliessen() { geschlossen_ = true; }

    void setParent(QWidget* parent) { parent_ = parent; }
    void setEingabe(TForm2* eingabe) { eingabe_ = eingabe; }

  private:
    QPointer<QWidget> parent_;
    TForm2* eingabe_;
    QString dialogFolder_ = menuDialogFolder();  // then the folder of the last file chosen
    std::atomic<bool> geschlossen_{false};
    PostedTasks posted_{[this] { return !geschlossen_; }};  // run on the window thread
};

}  // namespace veka
