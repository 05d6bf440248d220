// SPDX-License-Identifier: GPL-3.0-or-later
#include "ui/vek32.h"

#include <QAction>
#include <QCloseEvent>
#include <QGroupBox>
#include <QLabel>
#include <QLayout>
#include <QMenuBar>
#include <QPaintEvent>
#include <QPainter>
#include <QPointer>
#include <QPushButton>
#include <QThread>
#include <QToolButton>
#include <cstdio>
#include <utility>

#include "display/printing.h"
#include "ui/drucken.h"
#include "ui/fonts.h"
#include "ui/help_window.h"
#include "ui/inputbox1.h"
#include "ui/vekinfo.h"
#include "ui/window_frame.h"

namespace veka {

// Shows the window picture unscaled; the logic fills it, this only paints it. It keeps the
// picture in the window system's 32-bit form and translates and repaints only the rectangle
// the refresh reports: a sweep point alters a few rows of its strip, and every byte painted
// goes to the display.
class DiagramView : public QWidget {
  public:
    DiagramView(QWidget* parent, const Anzeigebitmap& bild)
        : QWidget(parent),
          bild_(bild),
          farbig_(Anzeigebitmap::Breite, Anzeigebitmap::Hoehe, QImage::Format_RGB32) {
        setFixedSize(Anzeigebitmap::Breite, Anzeigebitmap::Hoehe);
        setAttribute(Qt::WA_OpaquePaintEvent);
        uebersetzen(0, Anzeigebitmap::Breite - 1, 0, Anzeigebitmap::Hoehe - 1);  // row/column 0 too
    }

    // The part of the picture that the refresh changed: translate and repaint it at once,
    // since this is the refresh (no second trip through the event loop per tick).
    void zeigen(Bildbereich b) {
        const Spaltenbereich& s = b.spalten;
        uebersetzen(s.von, s.bis, b.zeilen.von, b.zeilen.bis);
        repaint(s.von, b.zeilen.von, s.anzahl(), b.zeilen.anzahl());  // picture pixel = view pixel
    }

  protected:
    void paintEvent(QPaintEvent* event) override {
        QPainter painter(this);
        painter.drawImage(event->rect(), farbig_, event->rect());
    }

  private:
    void uebersetzen(int von, int bis, int ersteZeile, int letzteZeile) {
        const auto& palette = Halbtonpalette();
        for (int y = ersteZeile; y <= letzteZeile; ++y) {
            const uint8_t* quelle = bild_.zeile(y);
            auto* ziel = reinterpret_cast<QRgb*>(farbig_.scanLine(y));
            for (int x = von; x <= bis; ++x) ziel[x] = palette[quelle[x]];
        }
    }

    const Anzeigebitmap& bild_;
    QImage farbig_;
};

namespace {

// The logic's interface to the window system, passed on unchanged, except that every task
// posted to the window thread is followed by spiegeln(): what the task changed shows at once
// even while no refresh runs.
class SpiegelndeUi : public UserInterface {
  public:
    SpiegelndeUi(UserInterface& innen, TForm1* fenster) : innen_(innen), fenster_(fenster) {}

    void showMessage(const std::string& text) override {
        if (!aufStderr(text)) innen_.showMessage(text);
    }
    std::string WertEingabe(const WertEingabeAnfrage& anfrage) override {
        return innen_.WertEingabe(anfrage);
    }
    std::optional<std::string> chooseFile(const FileDialogRequest& request) override {
        return innen_.chooseFile(request);
    }
    void showError(const std::string& text) override {
        if (!aufStderr(text)) innen_.showError(text);
    }
    // From the worker, which ends before the window goes (see ~TForm1); a call still queued
    // when the window goes is dropped with it.
    void refreshWecken() override {
        QMetaObject::invokeMethod(fenster_.data(), &TForm1::refreshWecken, Qt::QueuedConnection);
    }
    void postToWindowThread(std::function<void()> task) override {
        innen_.postToWindowThread([task = std::move(task), fenster = fenster_] {
            task();
            if (fenster.isNull()) return;
            if (QThread::currentThread() == fenster->thread()) {
                fenster->spiegeln();
            } else {  // an interface that runs tasks in place: mirror on the right thread
                QMetaObject::invokeMethod(fenster.data(), &TForm1::spiegeln, Qt::QueuedConnection);
            }
        });
    }

  private:
    // During a remote command a box becomes a line on standard error.
    bool aufStderr(const std::string& text) const {
        if (fenster_.isNull() || !fenster_->fernbefehlLaeuft()) return false;
        std::fprintf(stderr, "veka: %s\n", text.c_str());
        return true;
    }

    UserInterface& innen_;
    QPointer<TForm1> fenster_;
};

}  // namespace

TForm1::TForm1(UserInterface* ui) : eingabe_(new TForm2(this)) {
    if (ui == nullptr) {
        eigeneUi_ = std::make_unique<QtUserInterface>(this, eingabe_);
        ui = eigeneUi_.get();
    }
    ui_ = ui;
    spiegelndeUi_ = std::make_unique<SpiegelndeUi>(*ui_, this);
    logik_ = std::make_unique<Netzwerktester>(*spiegelndeUi_);
    aufbauen();
    menuesAufbauen();
    timer2_.setInterval(10);
    timer1_.setInterval(1000);
    connect(&timer2_, &QTimer::timeout, this, &TForm1::Timer2Timer);
    connect(&timer1_, &QTimer::timeout, this,
            [this] { ausfuehren([this] { logik_->Timer1Timer(); }); });
}

TForm1::~TForm1() {
    timer1_.stop();
    timer2_.stop();
    logik_.reset();  // ends a running sweep while everything it uses still exists
}

void TForm1::FormCreate(const std::optional<std::string>& configArgument) {
    logik_->FormCreate(configArgument);
    gestartet();
}

void TForm1::gestartet() {
    spiegeln();
    // The frame, title bar included, at (1, 1): the caption shows port or demonstration.
    keepFrame(this, FramePlace::at(QPoint(1, 1)));
}

QPushButton* TForm1::button(Control c) const {
    return qobject_cast<QPushButton*>(widgets_[static_cast<size_t>(c)]);
}
QAction* TForm1::action(Control c) const {
    return actions_[static_cast<size_t>(c)];
}
QLabel* TForm1::label(Control c) const {
    return qobject_cast<QLabel*>(widgets_[static_cast<size_t>(c)]);
}
QWidget* TForm1::diagram() const {
    return view_;
}

QPushButton* TForm1::taste(Control c, int x, int y, int w, int h, void (Netzwerktester::*f)()) {
    auto* b = new QPushButton(centralWidget());
    b->setGeometry(x, y, w, h);
    b->setFocusPolicy(Qt::TabFocus);
    if (f != nullptr)
        connect(b, &QPushButton::clicked, this,
                [this, f] { ausfuehren([this, f] { ((*logik_).*f)(); }); });
    widgets_[static_cast<size_t>(c)] = b;
    return b;
}

QLabel* TForm1::beschriftung(Control c, int x, int y, int w, int h) {
    auto* l = new QLabel(centralWidget());
    l->setGeometry(x, y, w, h);
    l->setTextFormat(Qt::PlainText);
    widgets_[static_cast<size_t>(c)] = l;
    return l;
}

void TForm1::aufbauen() {
    auto* flaeche = new QWidget(this);
    flaeche->setFixedSize(792, 554);
    setCentralWidget(flaeche);
    // Not resizable: the size hints say minimum = maximum, so no maximise either.
    layout()->setSizeConstraint(QLayout::SetFixedSize);
    setFont(fensterSchrift(8, false));
    setWindowFlags(Qt::Window | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                   Qt::WindowSystemMenuHint | Qt::WindowMinimizeButtonHint |
                   Qt::WindowCloseButtonHint);
    view_ = new DiagramView(flaeche, logik_->anzeige());
    view_->move(5, 30);

    using N = Netzwerktester;
    // Top line.
    beschriftung(Control::Label5, 16, 8, 318, 16);
    beschriftung(Control::AttenuatorLabel, 336, 8, 46, 16);
    upArrow_ = new QToolButton(flaeche);
    upArrow_->setArrowType(Qt::UpArrow);
    upArrow_->setGeometry(384, 0, 17, 12);
    downArrow_ = new QToolButton(flaeche);
    downArrow_->setArrowType(Qt::DownArrow);
    downArrow_->setGeometry(384, 13, 17, 12);
    const auto pfeil = [this](int schritt) {
        const int neu = std::clamp(logik_->inst().fenster.attenuatorPosition() + schritt, 0, 30);
        ausfuehren([this, neu] { logik_->UpDown1Click(neu); });
    };
    connect(upArrow_, &QToolButton::clicked, this, [pfeil] { pfeil(10); });
    connect(downArrow_, &QToolButton::clicked, this, [pfeil] { pfeil(-10); });
    taste(Control::Button19, 424, 4, 41, 17, &N::Button19Click);
    taste(Control::Button16, 472, 4, 41, 17, &N::Button16Click);
    taste(Control::Button17, 528, 4, 41, 17, &N::Button17Click);
    taste(Control::Button18, 584, 4, 41, 17, &N::Button18Click);
    // Right column.
    taste(Control::Button5, 656, 0, 121, 25, &N::Button5Click);
    taste(Control::Button6, 656, 32, 121, 25, &N::Button6Click);
    beschriftung(Control::Label1, 656, 72, 121, 18)->setFont(fensterSchrift(10, true));
    taste(Control::Button3, 656, 96, 65, 25, &N::Button3Click);
    taste(Control::Button2, 728, 96, 49, 25, &N::Button2Click);
    taste(Control::Button1, 656, 128, 121, 25, &N::Button1Click);
    beschriftung(Control::Label2, 656, 168, 121, 18)->setFont(fensterSchrift(10, true));
    taste(Control::Button4, 656, 192, 121, 25, &N::Button4Click);
    beschriftung(Control::Label12, 656, 232, 121, 16);
    // "&-" and "&+" read badly aloud: the cursor buttons get names of their own.
    const auto benennen = [](QPushButton* b, const QString& name) {
        b->setAccessibleName(name);
        b->setToolTip(name);
    };
    benennen(taste(Control::Button12, 656, 256, 41, 25, &N::Button12Click),
             QStringLiteral("Cursor links"));
    benennen(taste(Control::Button13, 736, 256, 41, 25, &N::Button13Click),
             QStringLiteral("Cursor rechts"));
    taste(Control::Button14, 656, 288, 121, 25, &N::Button14Click);
    auto* gruppe = new QGroupBox(flaeche);
    gruppe->setGeometry(656, 320, 121, 193);
    constexpr std::pair<Control, int> kErgebnisse[] = {
        {Control::Label3, 12},   {Control::Label7, 26},   {Control::Label4, 46},
        {Control::Label8, 60},   {Control::Label6, 80},   {Control::Label9, 94},
        {Control::Label10, 108}, {Control::Label11, 122}, {Control::Label13, 142},
        {Control::Label14, 156}};
    for (auto [c, y] : kErgebnisse) beschriftung(c, 660, 320 + y, 116, 14);
    auto* quit = taste(Control::Button7, 656, 520, 121, 25, nullptr);
    connect(quit, &QPushButton::clicked, this, &TForm1::Beenden1Click);
    // Bottom row.
    taste(Control::Button8, 8, 520, 121, 25, &N::Button8Click);
    taste(Control::Button9, 136, 520, 121, 25, &N::Button9Click);
    taste(Control::Button10, 264, 520, 121, 25, &N::Button10Click);
    taste(Control::Button11, 392, 520, 81, 25, &N::Button11Click);
    taste(Control::Button15, 480, 520, 81, 25, &N::Button15Click);
}

QAction* TForm1::eintrag(QMenu* menu, Control c, std::function<void()> f, const char* key) {
    QAction* a = menu->addAction(QString());
    if (key != nullptr) {
        a->setShortcut(QKeySequence(QString::fromLatin1(key)));
        a->setShortcutContext(Qt::WindowShortcut);
    }
    a->setCheckable(isCheckable(c));
    connect(a, &QAction::triggered, this, [this, f = std::move(f)] { ausfuehren(f); });
    actions_[static_cast<size_t>(c)] = a;
    return a;
}

void TForm1::menuesAufbauen() {
    Netzwerktester* l = logik_.get();
    const auto menu = [this](Control c) {
        QMenu* m = menuBar()->addMenu(QString());
        menus_[static_cast<size_t>(c)] = m;
        return m;
    };
    QMenu* datei = menu(Control::MenuDatei);
    eintrag(
        datei, Control::Oeffnen1, [l] { l->ffnen1Click(); }, "F3");
    eintrag(
        datei, Control::Speichern1, [l] { l->Speichern1Click(); }, "F2");
    datei->addSeparator();
    eintrag(datei, Control::MessreiheSpeichern1, [l] { l->MessreiheSpeichern1Click(); });
    eintrag(datei, Control::Messreiheladen1, [l] { l->Messreiheladen1Click(); });
    datei->addSeparator();
    eintrag(datei, Control::Diagrammdrucken1,
            [this] { Diagrammdrucken1Click(*logik_, *ui_, this); });
    eintrag(datei, Control::Exportieren1, [l] { l->Exportieren1Click(); });
    datei->addSeparator();
    eintrag(
        datei, Control::Beenden1, [this] { Beenden1Click(); }, "Alt+F4");

    QMenu* messung = menu(Control::MenuMessung);
    eintrag(messung, Control::Durchgangsmessung1, [l] { l->Button8Click(); });
    eintrag(messung, Control::Reflexionsmessung1, [l] { l->Button9Click(); });
    eintrag(messung, Control::Spektralmessung1, [l] { l->Button10Click(); });
    messung->addSeparator();
    eintrag(messung, Control::VFO1, [l] { l->Button15Click(); });

    QMenu* einst = menu(Control::MenuEinstellungen);
    eintrag(
        einst, Control::Frequenz1, [l] { l->Button1Click(); }, "F5");
    eintrag(
        einst, Control::Minus1, [l] { l->Button3Click(); }, "F6");
    eintrag(
        einst, Control::Plus1, [l] { l->Button2Click(); }, "F7");
    eintrag(
        einst, Control::Schrittweite1, [l] { l->Button4Click(); }, "F8");
    einst->addSeparator();
    eintrag(
        einst, Control::Dmpfung1, [l] { l->Dmpfung1Click(); }, "F9");
    eintrag(
        einst, Control::Dmpfung2, [l] { l->Dmpfung2Click(); }, "F10");
    einst->addSeparator();
    eintrag(einst, Control::ZFEingabe1, [l] { l->ZFEingabe1Click(); });
    eintrag(einst, Control::Zwischenfrequenz1, [l] { l->Zwischenfrequenz1Click(); });
    eintrag(einst, Control::AdditionvsSubtraktion1, [l] { l->AdditionvsSubtraktion1Click(); });
    einst->addSeparator();
    eintrag(einst, Control::Bandbreite1, [this] {
        if (optionenZeigen_) optionenZeigen_();
    });

    QMenu* kal = menu(Control::MenuKalibrieren);
    eintrag(kal, Control::Durchgangsmessung2, [l] { l->Durchgangsmessung2Click(); });
    kal->addSeparator();
    eintrag(kal, Control::Reflexionsmessung2, [l] { l->Reflexionsmessung2Click(); });
    constexpr Control kLinien[] = {Control::Linie11, Control::Linie21, Control::Linie31,
                                   Control::Linie41, Control::Linie51, Control::Linie61,
                                   Control::Linie71};
    for (int n = 1; n <= 7; ++n) eintrag(kal, kLinien[n - 1], [l, n] { l->LinieClick(n); });
    kal->addSeparator();
    eintrag(kal, Control::Spektralmessung2, [l] { l->Spektralmessung2Click(); });
    kal->addSeparator();
    eintrag(kal, Control::Taktgenerator1, [l] { l->Taktgenerator1Click(); });

    QMenu* analyse = menu(Control::MenuAnalyse);
    eintrag(analyse, Control::Mittelung1, [l] { l->Mittelung1Click(); });
    eintrag(analyse, Control::MaxHalten1, [l] { l->MaxHalten1Click(); });
    eintrag(analyse, Control::MinHalten1, [l] { l->MinHalten1Click(); });
    analyse->addSeparator();
    eintrag(analyse, Control::SpeicherUebernehmen1, [l] { l->SpeicherUebernehmen1Click(); });
    eintrag(analyse, Control::Normieren1, [l] { l->Normieren1Click(); });
    eintrag(analyse, Control::SpeicherLaden1, [l] { l->SpeicherLaden1Click(); });
    eintrag(analyse, Control::SpeicherSpeichern1, [l] { l->SpeicherSpeichern1Click(); });
    analyse->addSeparator();
    eintrag(analyse, Control::GrenzwerteLaden1, [l] { l->GrenzwerteLaden1Click(); });
    eintrag(analyse, Control::GrenzwertePruefen1, [l] { l->GrenzwertePruefen1Click(); });
    analyse->addSeparator();
    eintrag(analyse, Control::Filteranalyse1, [l] { l->Filteranalyse1Click(); });

    QMenu* hilfe = menu(Control::MenuHilfe);
    eintrag(hilfe, Control::Hilfe1, [this] { Hilfe1Click(); });
    eintrag(hilfe, Control::ber1, [this] { ber1Click(); });
}

void TForm1::ausfuehren(const std::function<void()>& befehl) {
    befehl();
    spiegeln();
}

void TForm1::fernAusfuehren(const std::function<void()>& befehl) {
    const bool vorher = std::exchange(fernbefehl_, true);
    befehl();
    fernbefehl_ = vorher;
    logik().zusaetzeZeigen();  // the Analyse menu's marks follow what the client switched
    spiegeln();
}

void TForm1::fernSperren(bool gesperrt) {
    if (gesperrt == fernGesperrt_) return;
    fernGesperrt_ = gesperrt;
    centralWidget()->setEnabled(!gesperrt);
    menuBar()->setEnabled(!gesperrt);
    gespiegelt_ = ~uint64_t{0};  // the function keys follow in the next mirror
    spiegeln();
}

void TForm1::spiegeln() {
    widgetsSpiegeln();
    if (logik_->inst().fenster.timer2() && !timer2_.isActive()) {
        timer2_.start();
        refreshRuht_ = false;
    }
}

void TForm1::refreshWecken() {
    if (geschlossen_ || !std::exchange(refreshRuht_, false)) return;  // ticking anyway
    timer2_.start();
    Timer2Timer();  // the change shows now, not a tick later
}

void TForm1::widgetsSpiegeln() {
    const WindowModel& m = logik_->inst().fenster;
    if (m.version() == gespiegelt_) return;
    gespiegelt_ = m.version();
    setWindowTitle(QString::fromStdString(m.caption()));
    for (int i = 0; i < ControlCount; ++i) {
        const auto c = static_cast<Control>(i);
        const QString text = QString::fromStdString(m.text(c));
        if (auto* b = qobject_cast<QPushButton*>(widgets_[i])) {
            b->setText(text);
            b->setEnabled(m.enabled(c));
        } else if (auto* l = qobject_cast<QLabel*>(widgets_[i])) {
            l->setText(text);
        } else if (QMenu* menu = menus_[i]) {
            menu->setTitle(text);
            menu->setEnabled(m.enabled(c));
        }
    }
    menuesVorrang();
    // A menu item works only while its menu does, function keys included.
    const auto menuOf = [&](int i) {
        for (int k = i; k >= 0; --k)
            if (menus_[k] != nullptr) return static_cast<Control>(k);
        return Control::MenuDatei;
    };
    for (int i = 0; i < ControlCount; ++i) {
        if (QAction* a = actions_[i]) {
            const auto c = static_cast<Control>(i);
            a->setText(QString::fromStdString(m.text(c)));
            a->setEnabled(m.enabled(c) && m.enabled(menuOf(i)) && !fernGesperrt_);
            if (a->isCheckable()) a->setChecked(m.checked(c));
        }
    }
    if (m.timer1() != timer1_.isActive()) m.timer1() ? timer1_.start() : timer1_.stop();
}

// Where a button and a menu title share their Alt letter ("&Minus", "&Messung"), the letter
// opens the menu, as on the designed window; the button keeps its caption and function key.
void TForm1::menuesVorrang() {
    QList<QKeySequence> menuTasten;
    for (const QMenu* menu : menus_)
        if (menu != nullptr) menuTasten.append(QKeySequence::mnemonic(menu->title()));
    for (QWidget* w : widgets_) {
        if (auto* b = qobject_cast<QPushButton*>(w)) {
            const QKeySequence eigene = QKeySequence::mnemonic(b->text());
            b->setShortcut(menuTasten.contains(eigene) ? QKeySequence() : eigene);
        }
    }
}

void TForm1::Timer2Timer() {
    // Asked before the combination: a sweep that ends after it still gets another tick.
    const bool laeuft = logik_->messungLaeuft();
    if (const Bildbereich b = logik_->Timer2Timer()) {
        view_->zeigen(b);
    } else if (!laeuft) {
        timer2_.stop();
    } else if (logik_->refreshRuhen()) {
        // The sweep redraws an unchanged curve: no ticks until it draws a change.
        timer2_.stop();
        refreshRuht_ = true;
    }
    widgetsSpiegeln();
}

void TForm1::Beenden1Click() {
    close();
}

// Ends the program in every state within a moment: the worker leaves at its next point (a
// reply wait or pause included), nothing pops up any more, the port is free, and the event
// loop ends even when a box is open (program entry quits on geschlossen()).
void TForm1::closeEvent(QCloseEvent* event) {
    timer1_.stop();
    timer2_.stop();
    if (eigeneUi_) eigeneUi_->schliessen();
    logik_->sweep().beenden();  // the worker must not outlive what it draws into
    logik_->link().closePort();
    geschlossen_ = true;
    event->accept();
    emit geschlossen();
}

void TForm1::Hilfe1Click() {
    if (hilfe_ == nullptr) hilfe_ = new HelpWindow(this);
    hilfe_->loadHelpFile();
    hilfe_->show();
    hilfe_->raise();
}

void TForm1::ber1Click() {
    if (info_ != nullptr) info_->exec();
}

}  // namespace veka
