// SPDX-License-Identifier: GPL-3.0-or-later
// The INI reader and applying a language section.

#include <gtest/gtest.h>

#include <filesystem>
#include <memory>
#include <string>
#include <vector>

#include "files/config_file.h"
#include "files/ini_reader.h"
#include "files/sprache.h"
#include "support/hang_guard.h"
#include "support/odd_files.h"
#include "temp_dir.h"

namespace veka {
namespace {

TEST(IniFile, Lookups) {
    struct Case {
        std::string file, section, key, expected;
    };
    const std::string longValue(3000, 'v');
    const std::vector<Case> cases = {
        {"[A]\r\nk=v\r\n", "A", "k", "v"},
        {"[A]\r\nk=v\r\n", "a", "K", "v"},  // letter case
        {"[Deutsch]\r\nBUTTON5=Los\r\n", "deutsch", "Button5", "Los"},
        {"[Ä]\r\nk=v\r\n", "ä", "k", "v"},                 // Latin-1 capitals fold too
        {"[A]\r\n  k \t=\t  v w  \r\n", "A", "k", "v w"},  // blanks around key and value
        {"[A]\r\nk=\"  v  \"\r\n", "A", "k", "  v  "},     // one pair of quotes
        {"[A]\r\nk=\"\"v\"\"\r\n", "A", "k", "\"v\""},
        {"[A]\r\nk=\"v\r\n", "A", "k", "\"v"},
        {"[A]\r\nk=v\"\r\n", "A", "k", "v\""},
        {"[A]\r\nk=\"\r\n", "A", "k", "\""},
        {"[A]\r\nk=a=b\r\n", "A", "k", "a=b"},
        {"[A]\r\nk=first\r\nK=second\r\n", "A", "k", "first"},  // first match wins
        {"[A]\r\nk=1\r\n[A]\r\nk=2\r\nj=3\r\n", "A", "k", "1"},
        {"[A]\r\nk=1\r\n[a]\r\nj=3\r\n", "A", "j", "ERROR"},  // only the first section
        {"[A]\r\n;k=comment\r\nk=v\r\n", "A", "k", "v"},
        {"[A]\r\n  ;k=comment\r\n", "A", "k", "ERROR"},
        {"[A]\r\nk=v ; not a comment\r\n", "A", "k", "v ; not a comment"},
        {"[A]\r\nk=\r\n", "A", "k", ""},  // present and empty
        {"[A]\r\nk=   \r\n", "A", "k", ""},
        {"[A]\r\nk=v\r\n", "B", "k", "ERROR"},  // missing section
        {"[A]\r\nk=v\r\n", "A", "j", "ERROR"},  // missing key
        {"k=v\r\n", "", "k", "ERROR"},          // no section at all
        {"", "A", "k", "ERROR"},
        {"[A]\rk=v\rj=w\r", "A", "j", "w"},  // CR alone
        {"[A]\nk=v\nj=w", "A", "j", "w"},    // LF alone, no final end
        {"[A]\r\n\r\nk=v\r\n", "A", "k", "v"},
        {"  [ A ]  junk\r\nk=v\r\n", "A", "k", "v"},
        {"[-EN]\r\nk=v\r\n", " -EN", "k", "v"},  // "Sprache          = -EN"
        {"[-EN]\r\nk=v\r\n", "\t-EN  ", "k", "v"},
        {"[ \t-EN ]\r\nk=v\r\n", " -en", "k", "v"},
        {"[A B]\r\nk=v\r\n", "A  B", "k", "ERROR"},  // blanks inside a name count
        {"[A]\r\n[Open\r\nk=v\r\n", "A", "k", "v"},  // no "]": no new section
        {"[A]\r\n[Open\r\nk=v\r\n", "Open", "k", "ERROR"},
        {"[Open\r\nk=v\r\n", "Open", "k", "ERROR"},
        {"[Open\r\nk=v\r\n", "", "k", "ERROR"},
        {"[A]\r\n[Open=x\r\n", "A", "[Open", "x"},  // an ordinary entry line
        {"[A]\r\nkey without equals\r\nk=v\r\n", "A", "k", "v"},
        {"[A]\r\n=v\r\nk=w\r\n", "A", "k", "w"},
        {"[A]\r\nk=" + longValue + "\r\n", "A", "k", std::string(2047, 'v')},
        {"[A]\r\nk=\"" + longValue + "\"\r\n", "A", "k", std::string(2047, 'v')},
        {"[A]\r\nk=" + std::string(2047, 'v') + "\r\n", "A", "k", std::string(2047, 'v')},
        {"[A]\r\nk=Gr\xFC\xDF"
         "e\r\n",
         "A", "k", "Grüße"},                            // Windows-1252 file
        {"[A]\r\nk=Grüße\r\n", "A", "k", "Grüße"},      // UTF-8 file
        {"\xEF\xBB\xBF[A]\r\nk=v\r\n", "A", "k", "v"},  // byte order mark
        {"[A]\r\nk=v\x1A"
         "w\r\n",
         "A", "k", "v\x1Aw"},
    };
    for (const Case& c : cases)
        EXPECT_EQ(IniFile::parse(c.file).get(c.section, c.key), c.expected)
            << c.file.substr(0, 60) << " [" << c.section << "] " << c.key;
}

TEST(IniFile, LongValuesCountCharactersNotBytes) {
    std::string value;
    for (int i = 0; i < 3000; ++i) value += "\xE4";  // "ä" in Windows-1252
    std::string expected;
    for (int i = 0; i < 2047; ++i) expected += "ä";
    EXPECT_EQ(IniFile::parse("[A]\r\nk=" + value + "\r\n").get("A", "k"), expected);
}

TEST(IniFile, SectionsInFileOrder) {
    const IniFile ini = IniFile::parse(
        "[-DL]\r\nk=v\r\n[English]\r\n[Fran\xE7"
        "ais]\r\n; [X]\r\n"
        "[English]\r\n[]\r\n[Open\r\n[ -EN ]\r\n");
    EXPECT_EQ(ini.sections(),
              (std::vector<std::string>{"-DL", "English", "Français", "English", "", "-EN"}));
    EXPECT_TRUE(IniFile::parse("").sections().empty());
}

TEST(IniFile, DefaultAndMissingFile) {
    test::TempDir dir;
    const IniFile missing = IniFile::load(dir.file("LANG.INI"));
    EXPECT_FALSE(missing.fileFound());
    EXPECT_EQ(missing.get("-DL", "Button1"), "ERROR");
    EXPECT_EQ(missing.get("-DL", "Button1", "fallback"), "fallback");
    EXPECT_TRUE(missing.sections().empty());

    test::writeBytes(dir.file("LANG.INI"), "[-DL]\r\nButton1=Go\r\n");
    const IniFile present = IniFile::load(dir.file("LANG.INI"));
    EXPECT_TRUE(present.fileFound());
    EXPECT_EQ(present.get("-dl", "button1"), "Go");
    EXPECT_FALSE(IniFile::load(dir.path().string()).fileFound());
}

// Too large, a pipe, a device: like a missing file, and nothing blocks.
TEST(IniFile, OddFilesCountAsMissing) {
    const std::string head = "[-DL]\r\nButton1=Go\r\n";
    for (const test::OddFile kind : test::kOddFiles) {
        test::TempDir dir;
        test::makeOddFile(kind, dir.file("LANG.INI"), MaxIniBytes, head);
        const test::HangGuard guard(std::string("LANG.INI ") + describe(kind));
        const IniFile ini = IniFile::load(dir.file("LANG.INI"));
        EXPECT_FALSE(ini.fileFound()) << describe(kind);
        EXPECT_EQ(ini.get("-DL", "Button1"), "ERROR") << describe(kind);
    }
    test::TempDir dir;
    test::sparseFile(dir.file("LANG.INI"), static_cast<off_t>(MaxIniBytes), head);
    EXPECT_EQ(IniFile::load(dir.file("LANG.INI")).get("-DL", "Button1"), "Go");
}

TEST(IniFile, GarbageAndSizeDoNotHurt) {
    std::string garbage;
    uint32_t x = 12345;
    for (int i = 0; i < 200000; ++i) {
        x = x * 1103515245u + 12345u;
        garbage += static_cast<char>(x >> 24);
    }
    const IniFile g = IniFile::parse(garbage);
    EXPECT_EQ(g.get("nothing", "here"), "ERROR");

    std::string many;
    for (int i = 0; i < 20000; ++i)
        many += "[S" + std::to_string(i) + "]\nk=" + std::to_string(i) + "\n";
    many += "[Long]\nk=" + std::string(100000, 'x') + "\n" + std::string(100000, '[') + "\n";
    const IniFile m = IniFile::parse(many);
    EXPECT_EQ(m.sections().size(), 20001u);  // the line of '[' without ']' is none
    EXPECT_EQ(m.get("s19999", "K"), "19999");
    EXPECT_EQ(m.get("Long", "k").size(), 2047u);
}

// ---- Sprache_setzen ----

std::unique_ptr<Instrument> freshInstrument() {
    return std::make_unique<Instrument>();
}

TEST(Sprache, EmptySectionChangesNothing) {
    auto inst = freshInstrument();
    const IniFile ini = IniFile::parse("[]\r\nButton5=x\r\nstring1=y\r\n");
    Sprache_setzen(*inst, "", ini);
    EXPECT_EQ(inst->fenster.text(Control::Button5), "&Start");
    EXPECT_EQ(inst->meldungen[1], "Datenübertragungsfehler");
    EXPECT_EQ(SpracheEinTexte("", ini), std::nullopt);
}

TEST(Sprache, OnlyButton5DefinedTurnsEverythingElseIntoError) {
    auto inst = freshInstrument();
    Sprache_setzen(*inst, "Test", IniFile::parse("[Test]\r\nBUTTON5 =  Los!  \r\n"));
    for (int c = 0; c < ControlCount; ++c) {
        const auto control = static_cast<Control>(c);
        std::string expected = "ERROR";
        if (control == Control::Button5) expected = "Los!";
        // Not replaceable: result labels, the attenuator, "&?" and the like.
        for (Control fixed :
             {Control::Label1, Control::Label2, Control::Label7, Control::Label8, Control::Label9,
              Control::Label10, Control::Label11, Control::Label12, Control::Label14,
              Control::AttenuatorLabel, Control::UpDown1, Control::MenuHilfe})
            if (control == fixed) expected = std::string(designText(control));
        // Items added later: no existing language file knows them, so they keep their text.
        if (control == Control::Exportieren1 ||
            (control >= Control::MenuAnalyse && control <= Control::Filteranalyse1))
            expected = std::string(designText(control));
        EXPECT_EQ(inst->fenster.text(control), expected) << c;
    }
    for (int k = 1; k <= Meldungstabelle::Anzahl; ++k) EXPECT_EQ(inst->meldungen[k], "ERROR");
    EXPECT_EQ(inst->meldungen[Zusatztext::ExportFormatUnbekannt], kZusatzschluessel[0].deutsch);
}

TEST(Sprache, KeysReachTheirControls) {
    struct Case {
        std::string key;
        Control control;
    };
    const std::vector<Case> cases = {
        {"Button1", Control::Button1},
        {"Button19", Control::Button19},
        {"Label1", Control::Label3},
        {"Label2", Control::Label4},
        {"Label3", Control::Label5},
        {"Label4", Control::Label6},
        {"Label5", Control::Label13},
        {"Menu10", Control::MenuDatei},
        {"Menu16", Control::Beenden1},
        {"Menu24", Control::VFO1},
        {"Menu70", Control::Dmpfung1},
        {"Menu71", Control::Dmpfung2},
        {"Menu38", Control::Bandbreite1},
        {"Menu41", Control::Durchgangsmessung2},
        {"Menu42", Control::Reflexionsmessung2},
        {"Menu43", Control::Linie11},
        {"Menu49", Control::Linie71},
        {"Menu50", Control::Spektralmessung2},
        {"Menu51", Control::Taktgenerator1},
        {"Menu61", Control::Hilfe1},
        {"Menu62", Control::ber1},
        {"Menu21", Control::Durchgangsmessung1},
        {"Menu17", Control::Exportieren1},
    };
    for (const Case& c : cases) {
        auto inst = freshInstrument();
        Sprache_setzen(*inst, "s", IniFile::parse("[S]\r\n" + c.key + "=mark\r\n"));
        EXPECT_EQ(inst->fenster.text(c.control), "mark") << c.key;
    }
}

TEST(Sprache, LaterKeysReplaceTheirTextWhenPresent) {
    auto inst = freshInstrument();
    Sprache_setzen(*inst, "e",
                   IniFile::parse("[E]\r\nMenu17=Export …\r\nstring45=Unknown format\r\n"));
    EXPECT_EQ(inst->fenster.text(Control::Exportieren1), "Export …");
    EXPECT_EQ(inst->meldungen[Zusatztext::ExportFormatUnbekannt], "Unknown format");
    EXPECT_EQ(inst->meldungen[1], "ERROR");  // the numbered table keeps its old rule
}

TEST(Sprache, MessagesAndMenu38) {
    auto inst = freshInstrument();
    const IniFile ini = IniFile::parse(
        "[English]\r\nstring1=Transfer error\r\nstring42=Cancel\r\nMenu38=&Optionen\r\n"
        "string7=\"  No series file  \"\r\n");
    Sprache_setzen(*inst, "english", ini);
    EXPECT_EQ(inst->meldungen[1], "Transfer error");
    EXPECT_EQ(inst->meldungen[7], "  No series file  ");
    EXPECT_EQ(inst->meldungen[42], "Cancel");
    EXPECT_EQ(inst->meldungen[41], "ERROR");
    EXPECT_EQ(inst->fenster.text(Control::Bandbreite1), "&Optionen");
    EXPECT_EQ(SpracheEinTexte("English", ini)->caption, "Optionen");
}

TEST(Sprache, DialogTexts) {
    std::string file = "[D]\r\n";
    for (int k : {11, 12, 13, 14, 15, 16, 17, 32, 33, 34, 35, 36, 37, 38, 39, 40, 41, 42, 43, 44})
        file += "String" + std::to_string(k) + "=t" + std::to_string(k) + "\r\n";
    file += "menu38=E&in&stellungen\r\n";
    const auto t = SpracheEinTexte("D", IniFile::parse(file));
    ASSERT_TRUE(t);
    EXPECT_EQ(t->linien,
              (std::array<std::string, 7>{"t11", "t12", "t13", "t14", "t15", "t16", "t17"}));
    const std::vector<std::string> got = {t->taktfrequenz,
                                          t->eichfrequenz,
                                          t->fmax,
                                          t->messpunkte,
                                          t->text,
                                          t->lage,
                                          t->sprache,
                                          t->delay,
                                          t->messgenauigkeit,
                                          t->baudrate,
                                          t->hardwareversion,
                                          t->ok,
                                          t->cancel,
                                          t->caption};
    EXPECT_EQ(got, (std::vector<std::string>{"t32", "t33", "t34", "t35", "t36", "t37", "t38", "t39",
                                             "t40", "t43", "t44", "t41", "t42", "Ein&stellungen"}));
    const auto missing = SpracheEinTexte("Other", IniFile::parse(file));
    ASSERT_TRUE(missing);
    EXPECT_EQ(missing->caption, "ERROR");
    EXPECT_EQ(missing->linien[0], "ERROR");
}

// Runs a test inside a directory and returns to the old one afterwards.
class WorkingDirectory {
  public:
    explicit WorkingDirectory(const std::filesystem::path& dir)
        : old_(std::filesystem::current_path()) {
        std::filesystem::current_path(dir);
    }
    ~WorkingDirectory() { std::filesystem::current_path(old_); }

  private:
    std::filesystem::path old_;
};

// A blank kept after "=" in the configuration still finds the section.
TEST(Sprache, SectionNameFromTheConfigurationWithABlank) {
    Einstellungen e;
    konfigurationLesen("Hardwareversion  =VEKA\r\nSprache          = -EN \r\n", e);
    ASSERT_EQ(e.Sprache, " -EN ");
    const IniFile ini =
        IniFile::parse("[-DL]\r\nButton5=Start\r\n[-EN]\r\nButton5=Go\r\nstring41=OK\r\n");
    auto inst = freshInstrument();
    Sprache_setzen(*inst, e.Sprache, ini);
    EXPECT_EQ(inst->fenster.text(Control::Button5), "Go");
    EXPECT_EQ(inst->meldungen[41], "OK");
    EXPECT_EQ(SpracheEinTexte(e.Sprache, ini)->ok, "OK");
}

TEST(Sprache, LanguageFileOfTheWorkingDirectory) {
    test::TempDir dir;
    const WorkingDirectory inside(dir.path());
    auto inst = freshInstrument();
    Sprache_setzen(*inst, "");
    EXPECT_EQ(inst->fenster.text(Control::Button1), "&Frequenz");
    Sprache_setzen(*inst, "-DL");  // no file: every text becomes "ERROR"
    EXPECT_EQ(inst->fenster.text(Control::Button1), "ERROR");
    EXPECT_EQ(inst->meldungen[41], "ERROR");

    test::writeBytes("LANG.INI", "[-DL]\r\nButton1=&Frequenz\r\nstring41=OK\r\n");
    Sprache_setzen(*inst, "-DL");
    EXPECT_EQ(inst->fenster.text(Control::Button1), "&Frequenz");
    EXPECT_EQ(inst->meldungen[41], "OK");
    EXPECT_EQ(SpracheEinTexte("-DL")->ok, "OK");
    EXPECT_EQ(SpracheEinTexte(""), std::nullopt);
}

}  // namespace
}  // namespace veka
