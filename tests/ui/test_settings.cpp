// SPDX-License-Identifier: GPL-3.0-or-later
// Tests of the settings dialog TEin and of the "&Optionen" command around it.

#include <fcntl.h>
#include <gtest/gtest.h>
#include <stdlib.h>
#include <unistd.h>

#include <QAccessible>
#include <QApplication>
#include <QComboBox>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QScreen>
#include <QTest>
#include <QTimer>
#include <filesystem>
#include <fstream>
#include <functional>
#include <string>
#include <vector>

#include "measure/netzwerktester.h"
#include "state/user_interface.h"
#include "support/work_dir.h"
#include "ui/einstell.h"

namespace {

using veka::Einstellungen;
using veka::Instrument;
using veka::TEin;

// The tests work in a fresh directory, since the dialog reads "./LANG.INI".
using WorkingDir = veka::test::WorkDir;

void writeLanguageFile(const std::string& bytes) {
    std::ofstream out("LANG.INI", std::ios::binary);
    out << bytes;
}

// Runs the dialog modally and the actions once it is up; a dialog the actions leave open is
// closed with a failure, so a broken path cannot hang the test.
int runDialog(TEin& dialog, const std::function<void(TEin&)>& actions) {
    bool ran = false;
    QTimer::singleShot(0, &dialog, [&] {
        ran = true;
        EXPECT_EQ(QApplication::activeModalWidget(), &dialog);
        actions(dialog);
        if (dialog.isVisible()) {
            ADD_FAILURE() << "the dialog is still open";
            dialog.done(QDialog::Rejected);
        }
    });
    const int result = dialog.exec();
    EXPECT_TRUE(ran);
    EXPECT_FALSE(dialog.isVisible());
    return result;
}

void pressOk(TEin& d) {
    QTest::mouseClick(d.Button1, Qt::LeftButton);
}
void pressCancel(TEin& d) {
    QTest::mouseClick(d.Button2, Qt::LeftButton);
}

// State values that differ from every fallback and from each other, so a swapped field or a
// fallback taken by mistake shows.
Einstellungen distinctSettings() {
    Einstellungen e;
    e.LineText = {11, 12, 13, 14, 15, 16, 17};
    e.Line = {21, 22, 23, 24, 25, 26, 27};
    e.Taktfrequenz = 123456789;
    e.Eichfrequenz = 2345678;
    e.Endfrequenz = 3456789;
    e.Delay = 7;
    e.Messpunkte = 150;
    e.Comport = 4;
    e.Baudrate = 38400;
    e.Messgenauigkeit = 10;
    e.Hardwareversion = "VEKA";
    e.Sprache = "";
    return e;
}

class SettingsDialog : public ::testing::Test {
  protected:
    SettingsDialog() { inst.e = distinctSettings(); }

    std::vector<QLineEdit*> allFields() const {
        return {dialog.Edit1,  dialog.Edit2,  dialog.Edit3,  dialog.Edit4,  dialog.Edit5,
                dialog.Edit6,  dialog.Edit7,  dialog.Edit8,  dialog.Edit9,  dialog.Edit10,
                dialog.Edit11, dialog.Edit12, dialog.Edit13, dialog.Edit14, dialog.Edit15,
                dialog.Edit16, dialog.Edit17, dialog.Edit18, dialog.Edit19, dialog.Edit20};
    }

    WorkingDir dir;
    Instrument inst;
    TEin dialog{inst};
};

// ---- window and controls ----

TEST_F(SettingsDialog, WindowIsAFixedCaptionedDialogWithACloseBox) {
    EXPECT_EQ(dialog.windowTitle(), QStringLiteral("Einstellungen"));
    EXPECT_EQ(dialog.minimumSize(), QSize(496, 368));
    EXPECT_EQ(dialog.maximumSize(), QSize(496, 368));
    EXPECT_TRUE(dialog.windowFlags() & Qt::WindowCloseButtonHint);
    EXPECT_TRUE(dialog.isModal());
    EXPECT_EQ(dialog.font().pointSize(), 8);
}

TEST_F(SettingsDialog, ShowsCentredOnTheScreen) {
    dialog.move(0, 0);
    runDialog(dialog, [](TEin& d) {
        const QPoint centre = d.screen()->geometry().center();
        const QPoint mine = d.frameGeometry().center();
        EXPECT_LE((mine - centre).manhattanLength(), 1);
        EXPECT_EQ(d.size(), QSize(496, 368));
        pressCancel(d);
    });
}

TEST_F(SettingsDialog, ControlsSitAtTheirDesignedPlaces) {
    struct Case {
        QWidget* widget;
        QRect place;  // a height of 0: not designed, not checked
    };
    TEin& d = dialog;
    const std::vector<Case> cases = {
        {d.GroupBox1, {32, 8, 89, 121}},     {d.Edit20, {32, 48, 25, 0}},
        {d.RadioGroup2, {144, 8, 97, 121}},  {d.Edit8, {144, 144, 89, 0}},
        {d.Edit9, {144, 168, 89, 0}},        {d.Edit10, {144, 192, 89, 0}},
        {d.Edit11, {144, 216, 41, 0}},       {d.Edit12, {144, 240, 41, 0}},
        {d.RadioGroup1, {32, 272, 209, 33}}, {d.RadioGroup3, {32, 320, 209, 33}},
        {d.ComboBox1, {368, 280, 89, 0}},    {d.Button2, {272, 328, 97, 25}},
        {d.Button1, {384, 328, 81, 25}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.widget->objectName().toStdString());
        const QRect g = c.widget->geometry();
        EXPECT_EQ(g.topLeft(), c.place.topLeft());
        EXPECT_EQ(g.width(), c.place.width());
        if (c.place.height() != 0) {
            EXPECT_EQ(g.height(), c.place.height());
        }
    }
    EXPECT_EQ(d.Edit20->parentWidget(), d.GroupBox1);
}

TEST_F(SettingsDialog, LabelsAndLineFieldsSitAtTheirDesignedPlaces) {
    TEin& d = dialog;
    const std::vector<std::pair<QWidget*, QPoint>> labels = {
        {d.Label9, {32, 144}}, {d.Label10, {32, 168}}, {d.Label11, {32, 192}},
        {d.Label2, {32, 216}}, {d.Label12, {32, 240}}, {d.Label13, {304, 8}},
        {d.Label14, {424, 8}}, {d.Label15, {296, 280}}};
    for (const auto& [w, p] : labels) EXPECT_EQ(w->pos(), p) << w->objectName().toStdString();

    const std::vector<QLabel*> lineLabels = {d.Label3, d.Label4, d.Label5, d.Label1,
                                             d.Label6, d.Label7, d.Label8};
    const std::vector<QLineEdit*> texts = {d.Edit1, d.Edit2, d.Edit3, d.Edit4,
                                           d.Edit5, d.Edit6, d.Edit7};
    const std::vector<QLineEdit*> heights = {d.Edit13, d.Edit14, d.Edit15, d.Edit16,
                                             d.Edit17, d.Edit18, d.Edit19};
    for (int k = 0; k < 7; ++k) {
        SCOPED_TRACE(k + 1);
        const int y = 40 + 32 * k;
        EXPECT_EQ(lineLabels[k]->pos(), QPoint(304, y));
        EXPECT_EQ(texts[k]->geometry().topLeft(), QPoint(368, y));
        EXPECT_EQ(texts[k]->width(), 33);
        EXPECT_EQ(heights[k]->geometry().topLeft(), QPoint(424, y));
        EXPECT_EQ(heights[k]->width(), 33);
    }
}

TEST_F(SettingsDialog, CaptionsAreTheBuiltInTexts) {
    TEin& d = dialog;
    const std::vector<std::pair<QString, const char*>> cases = {
        {d.GroupBox1->title(), "COM"},
        {d.RadioGroup2->title(), "Baudrate"},
        {d.RadioGroup1->title(), "Hardwareversion"},
        {d.RadioGroup3->title(), "Messgenauigkeit"},
        {d.Label9->text(), "Taktfrequenz"},
        {d.Label10->text(), "Eichfrequenz"},
        {d.Label11->text(), "Fmax"},
        {d.Label2->text(), "Delay"},
        {d.Label12->text(), "Messpunkte"},
        {d.Label13->text(), "Text"},
        {d.Label14->text(), "Lage"},
        {d.Label15->text(), "Sprache"},
        {d.Label3->text(), "Linie 1"},
        {d.Label4->text(), "Linie 2"},
        {d.Label5->text(), "Linie 3"},
        {d.Label1->text(), "Linie 4"},
        {d.Label6->text(), "Linie 5"},
        {d.Label7->text(), "Linie 6"},
        {d.Label8->text(), "Linie 7"},
        {d.Button1->text(), "&OK"},
        {d.Button2->text(), "&Cancel"},
        {d.ComboBox1->currentText(), "-DL"},
    };
    for (const auto& [shown, expected] : cases) EXPECT_EQ(shown.toStdString(), expected);
}

TEST_F(SettingsDialog, RadioItemsInTheirColumns) {
    struct Case {
        veka::RadioGroupBox* group;
        std::vector<const char*> items;
        bool twoColumns;
    };
    const std::vector<Case> cases = {
        {dialog.RadioGroup2, {"  9600 Bit/s", "19200 Bit/s", "38400 Bit/s", "57600 Bit/s"}, false},
        {dialog.RadioGroup1, {"VEKA", "VEKAMX"}, true},
        {dialog.RadioGroup3, {"8 Bit", "10 Bit"}, true},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.group->objectName().toStdString());
        ASSERT_EQ(c.group->count(), static_cast<int>(c.items.size()));
        for (int i = 0; i < c.group->count(); ++i) {
            QRadioButton* b = c.group->item(i);
            EXPECT_EQ(b->text().toStdString(), c.items[static_cast<size_t>(i)]);
            EXPECT_TRUE(c.group->rect().contains(b->geometry())) << i;
            if (i > 0 && c.twoColumns) {
                EXPECT_GT(b->x(), c.group->item(i - 1)->geometry().right());
            }
            if (i > 0 && !c.twoColumns) {
                EXPECT_GT(b->y(), c.group->item(i - 1)->geometry().bottom());
            }
        }
    }
}

// ---- filling the controls ----

TEST_F(SettingsDialog, ShowingFillsEveryFieldFromItsSetting) {
    dialog.show();
    const std::vector<const char*> expected = {
        "11", "12",  "13", "14", "15", "16", "17", "123456789", "2345678", "3456789",
        "7",  "150", "21", "22", "23", "24", "25", "26",        "27",      "4"};
    const auto fields = allFields();
    for (size_t i = 0; i < fields.size(); ++i)
        EXPECT_EQ(fields[i]->text().toStdString(), expected[i]) << "Edit" << i + 1;
    dialog.hide();

    // Every showing refills them.
    inst.e.Messpunkte = -3;
    inst.e.Comport = 9;
    dialog.show();
    EXPECT_EQ(dialog.Edit12->text(), QStringLiteral("-3"));
    EXPECT_EQ(dialog.Edit20->text(), QStringLiteral("9"));
    dialog.hide();
}

TEST_F(SettingsDialog, RadioGroupsFollowTheSettingsAndOkStoresTheMappedValue) {
    struct Case {
        int32_t baud;
        int baudIndex;
        int32_t baudStored;
        int32_t bits;
        int bitsIndex;
        int32_t bitsStored;
        const char* hardware;
        int hardwareIndex;
        const char* hardwareStored;
    };
    const std::vector<Case> cases = {
        {9600, 0, 9600, 8, 0, 8, "VEKA", 0, "VEKA"},
        {19200, 1, 19200, 10, 1, 10, "VEKAMX", 1, "VEKAMX"},
        {38400, 2, 38400, 12, 0, 8, " V7.3 ", 1, "VEKAMX"},
        {57600, 3, 57600, 0, 0, 8, "veka", 1, "VEKAMX"},
        {4800, 0, 9600, 9, 0, 8, "VEKA ", 1, "VEKAMX"},
        {115200, 0, 9600, -10, 0, 8, "", 1, "VEKAMX"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.baud);
        inst.e.Baudrate = c.baud;
        inst.e.Messgenauigkeit = c.bits;
        inst.e.Hardwareversion = c.hardware;
        runDialog(dialog, [&](TEin& d) {
            EXPECT_EQ(d.RadioGroup2->itemIndex(), c.baudIndex);
            EXPECT_EQ(d.RadioGroup3->itemIndex(), c.bitsIndex);
            EXPECT_EQ(d.RadioGroup1->itemIndex(), c.hardwareIndex);
            pressOk(d);
        });
        EXPECT_EQ(inst.e.Baudrate, c.baudStored);
        EXPECT_EQ(inst.e.Messgenauigkeit, c.bitsStored);
        EXPECT_EQ(inst.e.Hardwareversion, c.hardwareStored);
    }
}

TEST_F(SettingsDialog, ClickedRadioItemsAreStored) {
    struct Case {
        int baudItem;
        int bitsItem;
        int hardwareItem;
        int32_t baud;
        int32_t bits;
        const char* hardware;
    };
    const std::vector<Case> cases = {
        {1, 0, 1, 19200, 8, "VEKAMX"},
        {2, 1, 0, 38400, 10, "VEKA"},
        {3, 0, 0, 57600, 8, "VEKA"},
        {0, 1, 1, 9600, 10, "VEKAMX"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.baud);
        runDialog(dialog, [&](TEin& d) {
            QTest::mouseClick(d.RadioGroup2->item(c.baudItem), Qt::LeftButton);
            QTest::mouseClick(d.RadioGroup3->item(c.bitsItem), Qt::LeftButton);
            QTest::mouseClick(d.RadioGroup1->item(c.hardwareItem), Qt::LeftButton);
            pressOk(d);
        });
        EXPECT_EQ(inst.e.Baudrate, c.baud);
        EXPECT_EQ(inst.e.Messgenauigkeit, c.bits);
        EXPECT_EQ(inst.e.Hardwareversion, c.hardware);
    }
}

// ---- "&OK" ----

TEST_F(SettingsDialog, OkWithUntouchedFieldsKeepsEveryNumber) {
    const Einstellungen before = inst.e;
    EXPECT_EQ(runDialog(dialog, pressOk), QDialog::Accepted);
    Einstellungen expected = before;
    expected.Sprache = "-DL";  // the box's text
    EXPECT_EQ(inst.e, expected);
}

TEST_F(SettingsDialog, OkConvertsEachFieldByTheIntegerRuleWithItsFallback) {
    struct Case {
        QLineEdit* TEin::*field;
        const char* typed;
        std::function<int32_t(const Einstellungen&)> setting;
        int32_t expected;
    };
    using E = const Einstellungen&;
    const std::vector<Case> cases = {
        {&TEin::Edit12, "500", [](E e) { return e.Messpunkte; }, 300},
        {&TEin::Edit12, "301", [](E e) { return e.Messpunkte; }, 300},
        {&TEin::Edit12, "300", [](E e) { return e.Messpunkte; }, 300},
        {&TEin::Edit12, "abc", [](E e) { return e.Messpunkte; }, 280},
        {&TEin::Edit12, "-5", [](E e) { return e.Messpunkte; }, -5},
        {&TEin::Edit12, "0", [](E e) { return e.Messpunkte; }, 0},
        {&TEin::Edit12, "  42", [](E e) { return e.Messpunkte; }, 42},
        {&TEin::Edit12, "42 ", [](E e) { return e.Messpunkte; }, 280},
        {&TEin::Edit9, "", [](E e) { return e.Eichfrequenz; }, 50000000},
        {&TEin::Edit10, "", [](E e) { return e.Endfrequenz; }, 10000000},
        {&TEin::Edit10, "70000000", [](E e) { return e.Endfrequenz; }, 70000000},
        {&TEin::Edit8, "1e8", [](E e) { return e.Taktfrequenz; }, 100000000},
        {&TEin::Edit8, "$10", [](E e) { return e.Taktfrequenz; }, 16},
        {&TEin::Edit11, "", [](E e) { return e.Delay; }, 1},
        {&TEin::Edit11, "0", [](E e) { return e.Delay; }, 0},
        {&TEin::Edit20, "", [](E e) { return e.Comport; }, 1},
        {&TEin::Edit20, "0", [](E e) { return e.Comport; }, 0},
        {&TEin::Edit20, "3000000000", [](E e) { return e.Comport; }, 1},
        {&TEin::Edit1, "", [](E e) { return e.LineText[0]; }, 10},
        {&TEin::Edit7, "-2", [](E e) { return e.LineText[6]; }, -2},
        {&TEin::Edit13, "x", [](E e) { return e.Line[0]; }, 0},
        {&TEin::Edit19, "-3", [](E e) { return e.Line[6]; }, -3},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(std::string((dialog.*c.field)->objectName().toStdString()) + " '" + c.typed +
                     "'");
        inst.e = distinctSettings();
        runDialog(dialog, [&](TEin& d) {
            (d.*c.field)->setText(QString::fromUtf8(c.typed));
            pressOk(d);
        });
        EXPECT_EQ(c.setting(inst.e), c.expected);
    }
}

TEST_F(SettingsDialog, OkWithEveryFieldInvalidTakesEveryFallback) {
    for (const char* typed : {"", "abc"}) {
        SCOPED_TRACE(typed);
        inst.e = distinctSettings();
        Einstellungen expected = inst.e;
        expected.LineText.fill(10);
        expected.Line.fill(0);
        expected.Taktfrequenz = 100000000;
        expected.Eichfrequenz = 50000000;
        expected.Endfrequenz = 10000000;
        expected.Delay = 1;
        expected.Messpunkte = 280;
        expected.Comport = 1;
        expected.Sprache = "-DL";
        runDialog(dialog, [&](TEin& d) {
            for (QLineEdit* f : allFields()) f->setText(QString::fromUtf8(typed));
            d.Button1Click();
        });
        EXPECT_EQ(inst.e, expected);
    }
}

TEST_F(SettingsDialog, HardwareStartValueShowsVekamxAndOkStoresIt) {
    inst.e.Hardwareversion = " V7.3 ";
    runDialog(dialog, [](TEin& d) {
        EXPECT_TRUE(d.RadioGroup1->item(1)->isChecked());
        EXPECT_FALSE(d.RadioGroup1->item(0)->isChecked());
        pressOk(d);
    });
    EXPECT_EQ(inst.e.Hardwareversion, "VEKAMX");
}

TEST_F(SettingsDialog, BaudRate4800ShowsTheFirstItemAndOkStores9600) {
    inst.e.Baudrate = 4800;
    runDialog(dialog, [](TEin& d) {
        ASSERT_EQ(d.RadioGroup2->itemIndex(), 0);
        EXPECT_EQ(d.RadioGroup2->item(0)->text(), QStringLiteral("  9600 Bit/s"));
        pressOk(d);
    });
    EXPECT_EQ(inst.e.Baudrate, 9600);
}

// ---- the language box ----

TEST_F(SettingsDialog, LanguageSettingNeverSetsTheBoxAndOkTakesTheBoxText) {
    writeLanguageFile("[Englisch]\r\nmenu38=Options\r\n");
    inst.e.Sprache = "Englisch";  // as loaded from a configuration file
    runDialog(dialog, [](TEin& d) {
        EXPECT_EQ(d.ComboBox1->currentText(), QStringLiteral("-DL"));
        pressOk(d);
    });
    EXPECT_EQ(inst.e.Sprache, "-DL");
}

TEST_F(SettingsDialog, TypedLanguageIsStoredUnchanged) {
    runDialog(dialog, [](TEin& d) {
        d.ComboBox1->setEditText(QStringLiteral(" Fran\u00e7ais "));
        pressOk(d);
    });
    EXPECT_EQ(inst.e.Sprache,
              " Fran\xc3\xa7"
              "ais ");
}

TEST_F(SettingsDialog, BoxListsTheLanguageSectionsAndKeepsItsText) {
    writeLanguageFile(
        "[Englisch]\r\nstring36=Text\r\n[-DL]\r\n[Fran\xc3\xa7"
        "ais]\r\n");
    runDialog(dialog, [](TEin& d) {
        ASSERT_EQ(d.ComboBox1->count(), 3);
        EXPECT_EQ(d.ComboBox1->itemText(0), QStringLiteral("Englisch"));
        EXPECT_EQ(d.ComboBox1->itemText(1), QStringLiteral("-DL"));
        EXPECT_EQ(d.ComboBox1->itemText(2), QStringLiteral("Fran\u00e7ais"));
        EXPECT_EQ(d.ComboBox1->currentText(), QStringLiteral("-DL"));
        d.ComboBox1->setEditText(QStringLiteral("xyz"));
        pressCancel(d);
    });
    EXPECT_EQ(inst.e.Sprache, "");

    // The next showing reads the file again and keeps whatever the box held.
    writeLanguageFile("[Deutsch]\r\n");
    runDialog(dialog, [](TEin& d) {
        ASSERT_EQ(d.ComboBox1->count(), 1);
        EXPECT_EQ(d.ComboBox1->itemText(0), QStringLiteral("Deutsch"));
        EXPECT_EQ(d.ComboBox1->currentText(), QStringLiteral("xyz"));
        pressCancel(d);
    });

    std::filesystem::remove("LANG.INI");
    runDialog(dialog, [](TEin& d) {
        EXPECT_EQ(d.ComboBox1->count(), 0);
        EXPECT_EQ(d.ComboBox1->currentText(), QStringLiteral("xyz"));
        pressOk(d);
    });
    EXPECT_EQ(inst.e.Sprache, "xyz");
}

// ---- SpracheEinSetzen ----

TEST_F(SettingsDialog, SpracheEinSetzenAppliesEveryDialogKey) {
    std::string file = "[Englisch]\r\n";
    for (int k = 11; k <= 17; ++k)
        file += "string" + std::to_string(k) + "=Line " + std::to_string(k - 10) + "\r\n";
    file +=
        "string32=Clock\r\nstring33=Calibration\r\nstring34=Fmax!\r\nstring35=Points\r\n"
        "string36=Label\r\nstring37=Height\r\nstring38=Language\r\nstring39=Wait\r\n"
        "string40=Resolution\r\nstring43=Baud rate\r\nstring44=Hardware\r\n"
        "string41=  &Okay  \r\nstring42=&Abort\r\nMENU38=&Optionen\r\n";
    writeLanguageFile(file);
    dialog.SpracheEinSetzen("englisch");
    TEin& d = dialog;
    const std::vector<std::pair<QString, const char*>> cases = {
        {d.Label3->text(), "Line 1"},
        {d.Label4->text(), "Line 2"},
        {d.Label5->text(), "Line 3"},
        {d.Label1->text(), "Line 4"},
        {d.Label6->text(), "Line 5"},
        {d.Label7->text(), "Line 6"},
        {d.Label8->text(), "Line 7"},
        {d.Label9->text(), "Clock"},
        {d.Label10->text(), "Calibration"},
        {d.Label11->text(), "Fmax!"},
        {d.Label12->text(), "Points"},
        {d.Label13->text(), "Label"},
        {d.Label14->text(), "Height"},
        {d.Label15->text(), "Language"},
        {d.Label2->text(), "Wait"},
        {d.RadioGroup3->title(), "Resolution"},
        {d.RadioGroup2->title(), "Baud rate"},
        {d.RadioGroup1->title(), "Hardware"},
        {d.Button1->text(), "&Okay"},
        {d.Button2->text(), "&Abort"},
        {d.windowTitle(), "Optionen"},
        {d.GroupBox1->title(), "COM"},
        {d.RadioGroup2->item(0)->text(), "  9600 Bit/s"},
    };
    for (const auto& [shown, expected] : cases) EXPECT_EQ(shown.toStdString(), expected);
}

TEST_F(SettingsDialog, SpracheEinSetzenTurnsMissingKeysIntoError) {
    writeLanguageFile("[Englisch]\r\nmenu38=O&p&tionen\r\nstring35=Points\r\n");
    dialog.SpracheEinSetzen("Englisch");
    EXPECT_EQ(dialog.windowTitle(), QStringLiteral("Op&tionen"));  // only the first "&" goes
    EXPECT_EQ(dialog.Label12->text(), QStringLiteral("Points"));
    for (QLabel* l : {dialog.Label9, dialog.Label3, dialog.Label8, dialog.Label2, dialog.Label15})
        EXPECT_EQ(l->text(), QStringLiteral("ERROR")) << l->objectName().toStdString();
    EXPECT_EQ(dialog.Button1->text(), QStringLiteral("ERROR"));
    EXPECT_EQ(dialog.RadioGroup1->title(), QStringLiteral("ERROR"));

    // A missing section or file does the same.
    std::filesystem::remove("LANG.INI");
    dialog.SpracheEinSetzen("Englisch");
    EXPECT_EQ(dialog.windowTitle(), QStringLiteral("ERROR"));
    EXPECT_EQ(dialog.Label12->text(), QStringLiteral("ERROR"));
}

TEST_F(SettingsDialog, EmptySectionKeepsTheTexts) {
    writeLanguageFile("[Englisch]\r\nmenu38=&Options\r\nstring41=Fine\r\n");
    dialog.SpracheEinSetzen("");
    EXPECT_EQ(dialog.windowTitle(), QStringLiteral("Einstellungen"));
    EXPECT_EQ(dialog.Button1->text(), QStringLiteral("&OK"));
    dialog.SpracheEinSetzen("Englisch");
    dialog.SpracheEinSetzen("");  // the applied texts stay too
    EXPECT_EQ(dialog.windowTitle(), QStringLiteral("Options"));
    EXPECT_EQ(dialog.Button1->text(), QStringLiteral("Fine"));
}

TEST_F(SettingsDialog, ShowingAppliesTheLanguageSetting) {
    writeLanguageFile("[Englisch]\r\nmenu38=&Settings\r\nstring41=Fine\r\n");
    inst.e.Sprache = "Englisch";
    runDialog(dialog, [](TEin& d) {
        EXPECT_EQ(d.windowTitle(), QStringLiteral("Settings"));
        EXPECT_EQ(d.Button1->text(), QStringLiteral("Fine"));
        EXPECT_EQ(d.Button2->text(), QStringLiteral("ERROR"));
        pressCancel(d);
    });
}

// ---- "&Cancel" and the close box ----

TEST_F(SettingsDialog, EveryOtherWayOfClosingChangesNoSetting) {
    struct Case {
        const char* name;
        std::function<void(TEin&)> close;
    };
    const std::vector<Case> cases = {
        {"Cancel button", pressCancel},
        {"Button2Click", [](TEin& d) { d.Button2Click(); }},
        {"close box", [](TEin& d) { d.close(); }},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const Einstellungen before = inst.e;
        const int result = runDialog(dialog, [&](TEin& d) {
            for (QLineEdit* f : allFields()) f->setText(QStringLiteral("299"));
            d.RadioGroup2->setItemIndex(3);
            d.RadioGroup3->setItemIndex(0);
            d.RadioGroup1->setItemIndex(1);
            d.ComboBox1->setEditText(QStringLiteral("Englisch"));
            c.close(d);
        });
        EXPECT_EQ(result, QDialog::Rejected);
        EXPECT_EQ(inst.e, before);
    }
}

// ---- keyboard ----

// The designed name of the tab stop that holds the focus.
std::string tabStop(QWidget* w) {
    for (; w != nullptr; w = w->parentWidget()) {
        const std::string name = w->objectName().toStdString();
        for (const char* prefix : {"Edit", "Button", "RadioGroup", "ComboBox"})
            if (name.rfind(prefix, 0) == 0) return name;
    }
    return "(none)";
}

TEST_F(SettingsDialog, TabVisitsTheControlsInTheDesignedOrder) {
    inst.e.Baudrate = 57600;  // the group's stop is its checked item
    dialog.show();
    dialog.activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&dialog));
    ASSERT_EQ(QApplication::focusWidget(), dialog.Button1);
    const std::vector<std::string> expected = {
        "Edit1",       "Edit2",     "Edit3",  "Edit4",       "Edit5",  "Edit6",  "Edit7",
        "RadioGroup2", "Button2",   "Edit8",  "Edit9",       "Edit10", "Edit11", "Edit12",
        "RadioGroup3", "Edit13",    "Edit14", "Edit15",      "Edit16", "Edit17", "Edit18",
        "Edit19",      "ComboBox1", "Edit20", "RadioGroup1", "Button1"};
    std::vector<std::string> visited;
    for (size_t i = 0; i < expected.size(); ++i) {
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
        QWidget* f = QApplication::focusWidget();
        visited.push_back(tabStop(f));
        if (visited.back() == "RadioGroup2") {
            EXPECT_EQ(f, dialog.RadioGroup2->item(3));
        }
    }
    EXPECT_EQ(visited, expected);
    dialog.hide();
}

TEST_F(SettingsDialog, EnterInAFieldMeansOkAndOnAButtonPressesThatButton) {
    struct Case {
        const char* where;
        std::function<QWidget*(TEin&)> focus;
        int result;
    };
    const std::vector<Case> cases = {
        {"Edit12", [](TEin& d) { return d.Edit12; }, QDialog::Accepted},
        {"Edit1", [](TEin& d) { return d.Edit1; }, QDialog::Accepted},
        {"ComboBox1", [](TEin& d) { return d.ComboBox1; }, QDialog::Accepted},
        {"radio item", [](TEin& d) { return d.RadioGroup3->item(1); }, QDialog::Accepted},
        {"Button1", [](TEin& d) { return d.Button1; }, QDialog::Accepted},
        {"Button2", [](TEin& d) { return d.Button2; }, QDialog::Rejected},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.where);
        inst.e = distinctSettings();
        const int result = runDialog(dialog, [&](TEin& d) {
            d.Edit12->setText(QStringLiteral("5"));
            QWidget* w = c.focus(d);
            w->setFocus();
            QTest::keyClick(w, Qt::Key_Return);
        });
        EXPECT_EQ(result, c.result);
        EXPECT_EQ(inst.e.Messpunkte, c.result == QDialog::Accepted ? 5 : 150);
    }
    EXPECT_TRUE(dialog.Button1->isDefault());
}

TEST_F(SettingsDialog, EveryFieldIsNamedAfterItsLabel) {
    const auto names = [this] {
        std::vector<std::pair<QWidget*, QString>> expected = {
            {dialog.Edit8, "Taktfrequenz"}, {dialog.Edit9, "Eichfrequenz"},
            {dialog.Edit10, "Fmax"},        {dialog.Edit11, "Delay"},
            {dialog.Edit12, "Messpunkte"},  {dialog.ComboBox1, "Sprache"},
            {dialog.Edit20, "COM"}};
        return expected;
    };
    for (const auto& [field, name] : names()) {
        SCOPED_TRACE(field->objectName().toStdString());
        EXPECT_EQ(field->accessibleName(), name);
        QAccessibleInterface* a = QAccessible::queryAccessibleInterface(field);
        ASSERT_NE(a, nullptr);
        // The editable combo box and its edit field are named too; the text is its value.
        if (field == dialog.ComboBox1) {
            const auto labels = a->relations(QAccessible::Label);
            ASSERT_EQ(labels.size(), 1);
            EXPECT_EQ(labels.front().first->text(QAccessible::Name), name);
            EXPECT_EQ(a->text(QAccessible::Name), name);
            EXPECT_EQ(a->text(QAccessible::Value), dialog.ComboBox1->currentText());
            const QAccessibleInterface* edit = a->child(a->childCount() - 1);
            ASSERT_NE(edit, nullptr);
            EXPECT_EQ(edit->role(), QAccessible::EditableText);
            EXPECT_EQ(edit->text(QAccessible::Name), name);
        } else {
            EXPECT_EQ(a->text(QAccessible::Name), name);
        }
    }
    const std::vector<QLineEdit*> texts = {dialog.Edit1, dialog.Edit2, dialog.Edit3, dialog.Edit4,
                                           dialog.Edit5, dialog.Edit6, dialog.Edit7};
    const std::vector<QLineEdit*> heights = {dialog.Edit13, dialog.Edit14, dialog.Edit15,
                                             dialog.Edit16, dialog.Edit17, dialog.Edit18,
                                             dialog.Edit19};
    for (int k = 0; k < 7; ++k) {
        const QString line = QStringLiteral("Linie %1").arg(k + 1);
        EXPECT_EQ(texts[k]->accessibleName(), line + QStringLiteral(" Text"));
        EXPECT_EQ(heights[k]->accessibleName(), line + QStringLiteral(" Lage"));
    }
    // The names follow the language of the labels.
    writeLanguageFile(
        "[-EN]\r\nstring14=Line 4\r\nstring33=Calibration frequency\r\nstring37=Position\r\n");
    dialog.SpracheEinSetzen("-EN");
    EXPECT_EQ(dialog.Edit9->accessibleName(), QStringLiteral("Calibration frequency"));
    EXPECT_EQ(dialog.Edit16->accessibleName(), QStringLiteral("Line 4 Position"));
    EXPECT_EQ(dialog.Edit8->accessibleName(), QStringLiteral("ERROR"));
}

// ---- "&Optionen" ----

// A window stand-in that records its messages and the caption shown at that moment.
class RecordingUi : public veka::UserInterface {
  public:
    void showMessage(const std::string& text) override {
        messages.push_back(text);
        if (inst != nullptr) captionAtMessage = inst->fenster.caption();
    }
    std::string WertEingabe(const veka::WertEingabeAnfrage& a) override { return a.startText; }
    std::optional<std::string> chooseFile(const veka::FileDialogRequest&) override { return {}; }
    void showError(const std::string& text) override { errors.push_back(text); }
    void postToWindowThread(std::function<void()> task) override { task(); }

    std::vector<std::string> messages;
    std::vector<std::string> errors;
    std::string captionAtMessage;
    const Instrument* inst = nullptr;  // whose caption to record
};

// A pseudo-terminal linked as COM2 in the working directory: a port that opens but whose
// other end never answers.
struct SilentPort {
    SilentPort() {
        master = ::posix_openpt(O_RDWR | O_NOCTTY);
        if (master < 0 || ::grantpt(master) != 0 || ::unlockpt(master) != 0) {
            ADD_FAILURE() << "no pseudo-terminal";
            return;
        }
        std::filesystem::create_symlink(::ptsname(master), "COM2");
    }
    ~SilentPort() {
        if (master >= 0) ::close(master);
    }
    int master = -1;
};

TEST_F(SettingsDialog, OptionenClosesThePortAndRenewsEverythingAfterOk) {
    // The language the dialog will store, with the one message this test sees.
    writeLanguageFile(
        "[-DL]\r\nstring1=Daten\xc3\xbc"
        "bertragungsfehler\r\n");
    SilentPort port;
    RecordingUi ui;
    veka::Netzwerktester logik(ui);
    Instrument& s = logik.inst();
    ui.inst = &s;
    s.e.Comport = 2;
    logik.link().PortSetzen();
    ASSERT_TRUE(logik.link().portOpen());
    s.DemoModus = true;
    const std::string captionBefore = s.fenster.caption();
    const uint64_t gridBefore = s.daten.Rasterbild.version;

    TEin settings(s);
    QTimer::singleShot(0, &settings, [&] {
        EXPECT_FALSE(logik.link().portOpen());  // closed while the dialog is up
        EXPECT_EQ(s.fenster.caption(), captionBefore);
        settings.Edit20->setText(QStringLiteral("7"));
        pressOk(settings);
    });
    veka::Bandbreite1Click(logik, settings);

    EXPECT_EQ(s.e.Comport, 7);
    EXPECT_EQ(s.e.Sprache, "-DL");
    EXPECT_EQ(s.fenster.text(veka::Control::Button5), "ERROR");  // "-DL" applied to the window
    EXPECT_NE(s.daten.Rasterbild.version, gridBefore);           // diagram redrawn
    EXPECT_FALSE(logik.link().portOpen());                       // there is no COM7 here
    EXPECT_EQ(ui.messages, std::vector<std::string>{"Daten\xc3\xbc"
                                                    "bertragungsfehler"});
    EXPECT_EQ(ui.captionAtMessage, "Netzwerktester (Labor) VEKAMX    COM 7");
    EXPECT_TRUE(s.DemoModus);  // cleared, then set again by the silent device
    EXPECT_TRUE(s.Zeitueberschreitung);
    EXPECT_EQ(s.fenster.caption(), "Netzwerktester (Labor) VEKAMX  DEMO");
    EXPECT_TRUE(ui.errors.empty());
}

}  // namespace
