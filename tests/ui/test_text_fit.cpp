// SPDX-License-Identifier: GPL-3.0-or-later
// Every caption and readout shows whole in the window font: each text fits the rectangle its
// control was designed with, with the built-in German texts and the shipped English section.

#include <gtest/gtest.h>

#include <QApplication>
#include <QFontInfo>
#include <QFontMetrics>
#include <QGroupBox>
#include <QLabel>
#include <QMenuBar>
#include <QPushButton>
#include <QRadioButton>
#include <QStyle>
#include <QStyleOptionButton>
#include <filesystem>
#include <string>
#include <vector>

#include "files/sprache.h"
#include "support/fake_ui.h"
#include "support/work_dir.h"
#include "ui/einstell.h"
#include "ui/fonts.h"
#include "ui/inputbox1.h"
#include "ui/vek32.h"

namespace veka {
namespace {

const char* const kSprachen = VEKA_ASSET_DIR "/LANG.INI";

// The caption as drawn: "&&" shows one "&", a single "&" only underlines.
QString ohneKuerzel(const QString& text) {
    QString s;
    for (qsizetype i = 0; i < text.size(); ++i) {
        if (text[i] == u'&' && i + 1 < text.size()) ++i;
        s += text[i];
    }
    return s;
}

// Collects every control whose text does not fit, with what it needs and what it has.
class Platzpruefung {
  public:
    void text(const QString& was, const QWidget* w, const QString& text, int breite, int hoehe) {
        const QFontMetrics fm(w->font());
        const int braucht = fm.horizontalAdvance(ohneKuerzel(text));
        if (braucht > breite || fm.height() > hoehe)
            zuEng_ << QStringLiteral("%1 \"%2\": needs %3x%4, has %5x%6")
                          .arg(was, text)
                          .arg(braucht)
                          .arg(fm.height())
                          .arg(breite)
                          .arg(hoehe);
    }
    void label(const QString& was, const QLabel* l, int breite) {
        text(was, l, l->text(), breite, l->height());
    }
    void button(const QString& was, const QPushButton* b) {
        QStyleOptionButton option;
        option.initFrom(b);
        option.text = b->text();
        const QRect inhalt = b->style()->subElementRect(QStyle::SE_PushButtonContents, &option, b);
        text(was, b, b->text(), inhalt.width(), inhalt.height());
    }
    // Items inside the frame, below the caption; indicator and text inside the item.
    void gruppe(const QString& was, const RadioGroupBox* g) {
        const QFontMetrics fm(g->font());
        text(was + QStringLiteral(" caption"), g, g->title(), g->width() - 16, g->height());
        const QRect innen = g->contentsRect();
        for (int i = 0; i < g->count(); ++i) {
            const QRadioButton* b = g->item(i);
            const QStyle* s = b->style();
            const int marke = s->pixelMetric(QStyle::PM_ExclusiveIndicatorWidth, nullptr, b);
            const int abstand = s->pixelMetric(QStyle::PM_RadioButtonLabelSpacing, nullptr, b);
            const QString name = was + QStringLiteral(" item ") + b->text();
            if (!innen.contains(b->geometry()))
                zuEng_ << name + QStringLiteral(" leaves the frame");
            text(name, b, b->text(), b->width() - marke - abstand, b->height());
            if (b->height() < marke) zuEng_ << name + QStringLiteral(" cuts its indicator");
        }
    }
    const QStringList& zuEng() const { return zuEng_; }

  private:
    QStringList zuEng_;
};

// ---- main window ----

struct Hauptfenster {
    Hauptfenster() {
        w.spiegeln();
        w.show();
    }
    void setzen(const std::vector<std::pair<Control, std::string>>& texte) {
        for (const auto& [c, t] : texte) w.logik().inst().fenster.setText(c, t);
        w.spiegeln();
    }
    // Every label and button against its own rectangle: the designed places.
    QStringList zuEng() const {
        Platzpruefung p;
        for (int i = 0; i < ControlCount; ++i) {
            const auto c = static_cast<Control>(i);
            const QString was = QStringLiteral("control %1").arg(i);
            if (const QLabel* l = w.label(c)) p.label(was, l, l->width());
            if (const QPushButton* b = w.button(c)) p.button(was, b);
        }
        return p.zuEng();
    }
    test::FakeUi ui;
    TForm1 w{&ui};
};

// The widest texts the readouts really show: a 10-digit frequency, "-100 dB", the linear
// "1,000", a bandwidth line.
const std::vector<std::pair<Control, std::string>> kBreitesteWerte = {
    {Control::Label1, "2.147.483.647 Hz"},
    {Control::Label2, "2.147.483.647 Hz"},
    {Control::Label12, "2.147.483.647 Hz"},
    {Control::Label7, "2.147.483.647 Hz -100 dB"},
    {Control::Label8, "2.147.483.647 Hz -100 dB"},
    {Control::Label14, "2.147.483.647 Hz -100 dB"},
    {Control::Label9, "2.147.483.647 Hz"},
    {Control::Label10, "2.147.483.647 Hz"},
    {Control::Label11, "99.990.000 Hz (6 dB)"},
    {Control::AttenuatorLabel, "30 dB"},
    {Control::Label5, "Reflexionsmessung   Sperrkreis 10,7 MHz"},
};
const std::vector<std::pair<Control, std::string>> kLinearWerte = {
    {Control::Label7, "2.147.483.647 Hz 1,000"},
    {Control::Label8, "2.147.483.647 Hz 0,003"},
    {Control::Label14, "2.147.483.647 Hz 1,000"},
    {Control::Label11, "2.147.483.647 Hz (3 dB)"},
};

TEST(Textplatz, TheWindowFontIsANarrowFaceFromTheSetUp) {
    const QString familie = QFontInfo(fensterSchrift()).family();
    EXPECT_TRUE(familie.startsWith(fensterSchriftFamilien().front()))
        << familie.toStdString() << ": fonts-liberation missing? scripts/setup.sh installs it";
    EXPECT_EQ(fensterSchrift().pointSize(), 8);
}

TEST(Textplatz, MainWindowInGermanWithTheWidestReadouts) {
    Hauptfenster f;
    EXPECT_EQ(f.zuEng(), QStringList{});
    f.setzen(kBreitesteWerte);
    EXPECT_EQ(f.zuEng(), QStringList{});
    f.setzen(kLinearWerte);
    EXPECT_EQ(f.zuEng(), QStringList{});
}

TEST(Textplatz, MainWindowInTheShippedEnglish) {
    Hauptfenster f;
    Sprache_setzen(f.w.logik().inst(), "-EN", IniFile::load(kSprachen));
    f.setzen(kBreitesteWerte);
    ASSERT_EQ(f.w.label(Control::Label3)->text(), "Maximum:");
    ASSERT_EQ(f.w.button(Control::Button8)->text(), "Transmission");
    EXPECT_EQ(f.zuEng(), QStringList{});
}

TEST(Textplatz, MenuTitlesStayOnOneLine) {
    for (const char* sektion : {"-DL", "-EN"}) {
        Hauptfenster f;
        Sprache_setzen(f.w.logik().inst(), sektion, IniFile::load(kSprachen));
        f.w.spiegeln();
        const QMenuBar* leiste = f.w.menuBar();
        for (QAction* a : leiste->actions()) {
            const QRect r = leiste->actionGeometry(a);
            EXPECT_EQ(r.top(), leiste->actionGeometry(leiste->actions().front()).top())
                << sektion << " " << a->text().toStdString();
            EXPECT_LE(r.right(), f.w.centralWidget()->width()) << sektion;
        }
    }
}

// ---- settings dialog ----

// Each label may reach up to the control beside it; the column heads and the line labels
// stand above and beside their field columns.
QStringList einstellungenZuEng(const TEin& d) {
    Platzpruefung p;
    const std::pair<QLabel*, int> bisZu[] = {
        {d.Label9, 144},  {d.Label10, 144}, {d.Label11, 144}, {d.Label2, 144}, {d.Label12, 144},
        {d.Label13, 424}, {d.Label14, 496}, {d.Label15, 368}, {d.Label3, 368}, {d.Label4, 368},
        {d.Label5, 368},  {d.Label1, 368},  {d.Label6, 368},  {d.Label7, 368}, {d.Label8, 368}};
    for (const auto& [l, rechts] : bisZu) p.label(l->objectName(), l, rechts - l->x() - 2);
    p.button(QStringLiteral("Button1"), d.Button1);
    p.button(QStringLiteral("Button2"), d.Button2);
    p.text(QStringLiteral("GroupBox1 caption"), d.GroupBox1, d.GroupBox1->title(),
           d.GroupBox1->width() - 16, d.GroupBox1->height());
    p.gruppe(QStringLiteral("RadioGroup1"), d.RadioGroup1);
    p.gruppe(QStringLiteral("RadioGroup2"), d.RadioGroup2);
    p.gruppe(QStringLiteral("RadioGroup3"), d.RadioGroup3);
    return p.zuEng();
}

TEST(Textplatz, SettingsDialogInGermanAndInTheShippedEnglish) {
    test::WorkDir dir;
    std::filesystem::copy_file(kSprachen, "LANG.INI");
    Instrument inst;
    TEin d(inst);
    d.show();
    EXPECT_EQ(einstellungenZuEng(d), QStringList{});
    d.SpracheEinSetzen("-EN");
    ASSERT_EQ(d.Label10->text(), "Calibration frequency");
    EXPECT_EQ(einstellungenZuEng(d), QStringList{});
    d.hide();
}

// ---- value input box ----

TEST(Textplatz, InputBoxWithEveryPromptOfBothLanguages) {
    const IniFile sprachen = IniFile::load(kSprachen);
    TForm2 box;
    for (const char* sektion : {"-DL", "-EN"}) {
        for (int k : {21, 23, 25, 27, 29, 31, 41, 42}) {
            const std::string key = "string" + std::to_string(k);
            const std::string text = sprachen.get(sektion, key, "");
            ASSERT_FALSE(text.empty()) << sektion << " " << key;
            box.Label1->setText(QString::fromStdString(text));
            box.Label1->adjustSize();
            box.Button1->setText(QString::fromStdString(text));
            box.Button2->setText(QString::fromStdString(text));
            Platzpruefung p;
            const bool knopf = k >= 41;
            if (!knopf)
                p.label(QStringLiteral("Label1"), box.Label1, box.width() - box.Label1->x() - 8);
            if (knopf) {
                p.button(QStringLiteral("Button1"), box.Button1);
                p.button(QStringLiteral("Button2"), box.Button2);
            }
            EXPECT_EQ(p.zuEng(), QStringList{}) << sektion;
        }
    }
}

}  // namespace
}  // namespace veka
