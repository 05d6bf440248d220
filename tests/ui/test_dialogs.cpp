// SPDX-License-Identifier: GPL-3.0-or-later
// Tests of the value input box, the about window with its JPEG decoder, the help window, and
// where file dialogs begin.

#include <gtest/gtest.h>

#include <QApplication>
#include <QDir>
#include <QFile>
#include <QFileDialog>
#include <QImageWriter>
#include <QLabel>
#include <QLineEdit>
#include <QPixmap>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QScreen>
#include <QTemporaryDir>
#include <QTest>
#include <QTextBrowser>
#include <QTimer>
#include <functional>

#include "support/hang_guard.h"
#include "support/odd_files.h"
#include "ui/help_text.h"
#include "ui/help_window.h"
#include "ui/inputbox1.h"
#include "ui/qt_user_interface.h"
#include "ui/vekinfo.h"

namespace {

using veka::HelpContent;
using veka::TForm2;
using veka::Tinfo;
using veka::WertEingabeAnfrage;

WertEingabeAnfrage frequencyRequest(const std::string& start = "10000000") {
    return {start, "Frequenz", "Frequenz in Hz eingeben!", "OK", "Abbruch"};
}

// Runs WertEingabe and, once the box is up, the given actions on it. A box that the actions
// leave open is closed with a failure, so a broken key path cannot hang the test.
std::string askWith(TForm2& box, const WertEingabeAnfrage& request,
                    const std::function<void(TForm2&)>& actions) {
    bool ran = false;
    QTimer::singleShot(0, &box, [&] {
        ran = true;
        EXPECT_EQ(QApplication::activeModalWidget(), &box);
        actions(box);
        if (box.isVisible()) {
            ADD_FAILURE() << "the box is still open";
            box.done(QDialog::Rejected);
        }
    });
    std::string answer = box.WertEingabe(request);
    EXPECT_TRUE(ran);
    EXPECT_FALSE(box.isVisible());
    return answer;
}

// ---- where file dialogs begin ----

// Started from the menu, the program works in a hidden folder: its file dialogs begin in the
// documents folder (else the home folder), then where the last file was chosen. Otherwise
// they begin in the working folder, as before.
TEST(FileDialogs, BeginInTheDocumentsWhenStartedFromTheMenu) {
    QTemporaryDir home;
    const QByteArray oldHome = qgetenv("HOME"), oldConfig = qgetenv("XDG_CONFIG_HOME");
    qputenv("HOME", QFile::encodeName(home.path()));
    qputenv("XDG_CONFIG_HOME", QFile::encodeName(home.path()));
    QFile dirs(home.filePath("user-dirs.dirs"));
    ASSERT_TRUE(dirs.open(QIODevice::WriteOnly));
    dirs.write("XDG_DOCUMENTS_DIR=\"$HOME/Dokumente\"\n");
    dirs.close();
    const struct {
        bool fromMenu, documents;
        QString folder;
    } cases[] = {
        {false, true, ""}, {true, false, home.path()}, {true, true, home.filePath("Dokumente")}};
    for (const auto& c : cases) {
        c.fromMenu ? qputenv("VEKA_STARTED_FROM_MENU", "1") : qunsetenv("VEKA_STARTED_FROM_MENU");
        c.documents ? QDir(home.path()).mkdir("Dokumente") : QDir(home.path()).rmdir("Dokumente");
        EXPECT_EQ(veka::menuDialogFolder(), c.folder);
    }
    // The dialog begins there, and next time where the chosen file lies.
    veka::QtUserInterface ui(nullptr, nullptr);
    QDir(home.path()).mkdir("Messungen");
    QStringList begun;
    const auto choose = [&](const QString& file) {
        QTimer::singleShot(0, [&begun, file] {
            auto* d = qobject_cast<QFileDialog*>(QApplication::activeModalWidget());
            ASSERT_NE(d, nullptr);
            begun << d->directory().absolutePath();
            d->selectFile(file);
            static_cast<QDialog*>(d)->accept();  // QFileDialog keeps it protected
        });
        return ui.chooseFile({true, "Messreihe|*.dat", "dat", "x.dat"});
    };
    EXPECT_EQ(choose(home.filePath("Messungen/a.dat")),
              home.filePath("Messungen/a.dat").toStdString());
    EXPECT_TRUE(choose(home.filePath("Messungen/b.dat")));
    EXPECT_EQ(begun, QStringList({home.filePath("Dokumente"), home.filePath("Messungen")}));
    qunsetenv("VEKA_STARTED_FROM_MENU");
    qputenv("HOME", oldHome);
    qputenv("XDG_CONFIG_HOME", oldConfig);
}

// ---- value input box ----

TEST(InputBox, EscapeAfterEditingReturnsStartText) {
    TForm2 box;
    const std::string answer = askWith(box, frequencyRequest("7000000"), [](TForm2& b) {
        QTest::keyClicks(b.Edit1, "1234");
        ASSERT_EQ(b.Edit1->text(), QStringLiteral("1234"));
        QTest::keyClick(b.Edit1, Qt::Key_Escape);
    });
    EXPECT_EQ(answer, "7000000");
}

TEST(InputBox, CancelButtonAfterEditingReturnsStartText) {
    TForm2 box;
    const std::string answer = askWith(box, frequencyRequest("7000000"), [](TForm2& b) {
        QTest::keyClicks(b.Edit1, "99");
        QTest::mouseClick(b.Button1, Qt::LeftButton);
    });
    EXPECT_EQ(answer, "7000000");
}

TEST(InputBox, EnterWithEmptyFieldReturnsEmptyText) {
    TForm2 box;
    const std::string answer = askWith(box, frequencyRequest(), [](TForm2& b) {
        QTest::keyClick(b.Edit1, Qt::Key_Backspace);
        ASSERT_TRUE(b.Edit1->text().isEmpty());
        QTest::keyClick(b.Edit1, Qt::Key_Return);
    });
    EXPECT_EQ(answer, "");
}

TEST(InputBox, KeypadEnterAndOkButtonAcceptTheTypedText) {
    TForm2 box;
    EXPECT_EQ(askWith(box, frequencyRequest(),
                      [](TForm2& b) {
                          QTest::keyClicks(b.Edit1, "42");
                          QTest::keyClick(b.Edit1, Qt::Key_Enter, Qt::KeypadModifier);
                      }),
              "42");
    EXPECT_EQ(askWith(box, frequencyRequest(),
                      [](TForm2& b) {
                          QTest::keyClicks(b.Edit1, "43");
                          QTest::mouseClick(b.Button2, Qt::LeftButton);
                      }),
              "43");
}

TEST(InputBox, StartTextIsSelectedAndFocusedSoADigitReplacesIt) {
    TForm2 box;
    const std::string answer = askWith(box, frequencyRequest("10000000"), [](TForm2& b) {
        EXPECT_EQ(b.focusWidget(), b.Edit1);
        EXPECT_EQ(b.Edit1->selectedText(), QStringLiteral("10000000"));
        QTest::keyClick(b.Edit1, Qt::Key_7);
        EXPECT_EQ(b.Edit1->text(), QStringLiteral("7"));
        QTest::keyClick(b.Edit1, Qt::Key_Return);
    });
    EXPECT_EQ(answer, "7");
}

TEST(InputBox, ReusedBoxSelectsTheNewStartTextAgain) {
    TForm2 box;
    askWith(box, frequencyRequest("1"),
            [](TForm2& b) { QTest::keyClick(b.Edit1, Qt::Key_Return); });
    const std::string answer = askWith(box, frequencyRequest("50000"), [](TForm2& b) {
        EXPECT_EQ(b.Edit1->selectedText(), QStringLiteral("50000"));
        QTest::keyClick(b.Edit1, Qt::Key_Escape);
    });
    EXPECT_EQ(answer, "50000");
}

TEST(InputBox, AnswerIsExactlyAsTypedWithoutTrimming) {
    TForm2 box;
    const WertEingabeAnfrage label{"alt", "Label", "Diagrammüberschrift ändern", "OK", "Abbruch"};
    const std::string answer = askWith(box, label, [](TForm2& b) {
        QTest::keyClick(b.Edit1, Qt::Key_Backspace);
        QTest::keyClicks(b.Edit1, QStringLiteral("  Filter Ü 12 "));
        QTest::keyClick(b.Edit1, Qt::Key_Return);
    });
    EXPECT_EQ(answer, "  Filter Ü 12 ");
}

TEST(InputBox, ButtonCaptionsComeFromTheRequestOkOnTheRight) {
    TForm2 box;
    const WertEingabeAnfrage request{"5", "Zwischenfrequenz", "Zwischenfrequenz in Hz eingeben! ",
                                     "Jawohl", "&Nein"};
    askWith(box, request, [](TForm2& b) {
        EXPECT_EQ(b.windowTitle(), QStringLiteral("Zwischenfrequenz"));
        EXPECT_EQ(b.Label1->text(), QStringLiteral("Zwischenfrequenz in Hz eingeben! "));
        EXPECT_EQ(b.Button2->text(), QStringLiteral("Jawohl"));
        EXPECT_EQ(b.Button1->text(), QStringLiteral("&Nein"));
        EXPECT_GT(b.Button2->x(), b.Button1->x());
        QTest::mouseClick(b.Button2, Qt::LeftButton);
    });
}

TEST(InputBox, OkIsTheDefaultButton) {
    TForm2 box;
    askWith(box, frequencyRequest(), [](TForm2& b) {
        ASSERT_EQ(b.focusWidget(), b.Edit1);
        EXPECT_TRUE(b.Button2->isDefault());
        EXPECT_FALSE(b.Button1->isDefault());
        QTest::keyClick(b.Edit1, Qt::Key_Escape);
    });
}

TEST(InputBox, WindowManagerCloseReturnsStartText) {
    TForm2 box;
    const std::string answer = askWith(box, frequencyRequest("3500000"), [](TForm2& b) {
        QTest::keyClicks(b.Edit1, "1");
        EXPECT_TRUE(b.close());
    });
    EXPECT_EQ(answer, "3500000");
}

TEST(InputBox, HasNoTitleBarButtons) {
    TForm2 box;
    const Qt::WindowFlags flags = box.windowFlags();
    EXPECT_TRUE(flags.testFlag(Qt::CustomizeWindowHint));
    EXPECT_TRUE(flags.testFlag(Qt::WindowTitleHint));
    EXPECT_FALSE(flags.testFlag(Qt::WindowCloseButtonHint));
    EXPECT_FALSE(flags.testFlag(Qt::WindowSystemMenuHint));
    EXPECT_FALSE(flags.testFlag(Qt::WindowMinMaxButtonsHint));
}

TEST(InputBox, PlacesWindowAndControlsAsDesigned) {
    TForm2 box;
    askWith(box, frequencyRequest(), [](TForm2& b) {
        EXPECT_EQ(b.frameGeometry().topLeft(), QPoint(397, 302));
        const QSize frame = b.frameGeometry().size() - b.size();
        if (!frame.isNull()) {
            EXPECT_EQ(b.frameGeometry().size(), QSize(322, 159));
        }
        EXPECT_EQ(b.Label1->pos(), QPoint(32, 16));
        EXPECT_EQ(b.Edit1->geometry(), QRect(40, 56, 233, 21));
        EXPECT_EQ(b.Button1->geometry(), QRect(56, 96, 89, 25));
        EXPECT_EQ(b.Button2->geometry(), QRect(168, 96, 89, 25));
        EXPECT_GE(b.width(), b.Edit1->geometry().right());
        EXPECT_GE(b.height(), b.Button2->geometry().bottom());
        EXPECT_EQ(b.font().pointSize(), 8);
        QTest::keyClick(b.Edit1, Qt::Key_Escape);
    });
    EXPECT_EQ(box.minimumSize(), box.maximumSize());
}

// ---- JPEG decoder ----

QString shippedPicture() {
    return QStringLiteral(VEKA_ASSET_DIR "/about.jpg");
}

QByteArray readAll(const QString& path) {
    QFile file(path);
    EXPECT_TRUE(file.open(QIODevice::ReadOnly)) << path.toStdString();
    return file.readAll();
}

std::string writeFile(const QTemporaryDir& dir, const char* name, const QByteArray& bytes) {
    const QString path = dir.filePath(QString::fromLatin1(name));
    QFile file(path);
    EXPECT_TRUE(file.open(QIODevice::WriteOnly));
    file.write(bytes);
    return path.toStdString();
}

TEST(JpegDecoder, DecodesTheShippedPicture) {
    const std::optional<QImage> image = veka::decodeJpeg(shippedPicture().toStdString());
    ASSERT_TRUE(image.has_value());
    EXPECT_EQ(image->size(), QSize(473, 569));
    // The light title text and the dark diagram screen must both be there.
    int light = 0;
    int dark = 0;
    for (int y = 0; y < image->height(); y += 3) {
        for (int x = 0; x < image->width(); x += 3) {
            const int grey = qGray(image->pixel(x, y));
            light += grey > 200 ? 1 : 0;
            dark += grey < 40 ? 1 : 0;
        }
    }
    EXPECT_GT(light, 50);
    EXPECT_GT(dark, 5000);
}

TEST(JpegDecoder, TruncatedDamagedAndMissingFilesGiveNothing) {
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    const QByteArray whole = readAll(shippedPicture());
    ASSERT_GT(whole.size(), 1000);

    QByteArray garbage(4096, '\0');
    for (int i = 0; i < garbage.size(); ++i) garbage[i] = static_cast<char>((i * 7919 + 13) & 0xFF);
    QByteArray damagedScan = whole;
    for (int i = whole.size() / 2; i < whole.size() / 2 + 64; ++i) damagedScan[i] = '\xFF';

    const struct {
        const char* name;
        QByteArray bytes;
    } cases[] = {
        {"half.jpg", whole.left(whole.size() / 2)},
        {"header-only.jpg", whole.left(200)},
        {"no-end.jpg", whole.left(whole.size() - 2)},
        {"garbage.jpg", garbage},
        {"soi-only.jpg", QByteArray("\xFF\xD8", 2)},
        {"empty.jpg", QByteArray()},
        {"damaged-scan.jpg", damagedScan},
    };
    for (const auto& c : cases) {
        EXPECT_FALSE(veka::decodeJpeg(writeFile(dir, c.name, c.bytes)).has_value()) << c.name;
    }
    EXPECT_FALSE(veka::decodeJpeg(dir.filePath("missing.jpg").toStdString()).has_value());
    EXPECT_FALSE(veka::decodeJpeg(dir.path().toStdString()).has_value());
}

TEST(JpegDecoder, DecodesAGreyscalePictureIntoRgb) {
    if (!QImageWriter::supportedImageFormats().contains("jpeg")) {
        GTEST_SKIP() << "no JPEG writer to make the grey picture";
    }
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("grey.jpg"));
    QImage grey(64, 32, QImage::Format_Grayscale8);
    grey.fill(200);
    ASSERT_TRUE(grey.save(path, "jpeg", 95));
    const std::optional<QImage> image = veka::decodeJpeg(path.toStdString());
    ASSERT_TRUE(image.has_value());
    EXPECT_EQ(image->size(), QSize(64, 32));
    const QRgb pixel = image->pixel(10, 10);
    EXPECT_NEAR(qRed(pixel), 200, 3);
    EXPECT_EQ(qRed(pixel), qGreen(pixel));
    EXPECT_EQ(qGreen(pixel), qBlue(pixel));
}

// ---- about window ----

TEST(AboutWindow, ConstructsWithoutAPicture) {
    QTemporaryDir dir;
    Tinfo info(nullptr, dir.filePath("missing.jpg"));
    EXPECT_FALSE(info.hasPicture());
    EXPECT_TRUE(info.Image1->pixmap().isNull());
    EXPECT_EQ(info.windowTitle(), QStringLiteral("Info"));
    EXPECT_EQ(info.Label1->text(), QStringLiteral("Netzwerktester "));
    EXPECT_TRUE(info.Label1->font().bold());
    EXPECT_TRUE(info.Label2->font().bold());
    EXPECT_FALSE(info.Label2->text().isEmpty());
}

TEST(AboutWindow, ShowsTheShippedPictureAndReadOnlyBorderlessTexts) {
    Tinfo info(nullptr, shippedPicture());
    ASSERT_TRUE(info.hasPicture());
    EXPECT_EQ(info.Image1->pixmap().size(), QSize(473, 569));
    EXPECT_EQ(info.Image1->geometry(), QRect(0, 0, 473, 569));
    EXPECT_EQ(info.size(), QSize(702, 570));
    EXPECT_EQ(info.minimumSize(), info.maximumSize());
    for (const QPlainTextEdit* memo : {info.Memo1, info.Memo2}) {
        EXPECT_TRUE(memo->isReadOnly());
        EXPECT_EQ(memo->frameShape(), QFrame::NoFrame);
        EXPECT_GE(memo->x(), 473);
    }
    EXPECT_TRUE(info.Memo1->toPlainText().contains(QStringLiteral("Gewährleistung")));
    EXPECT_TRUE(info.Memo2->toPlainText().contains(QStringLiteral("warranty")));
}

TEST(AboutWindow, IsCentredOnTheScreenNotOnItsParentAndOkClosesIt) {
    QWidget parent;
    parent.setGeometry(10, 10, 120, 90);
    parent.show();
    Tinfo info(&parent, shippedPicture());
    bool ran = false;
    QTimer::singleShot(0, &info, [&] {
        ran = true;
        const QRect screen = info.screen()->availableGeometry();
        EXPECT_LE((info.frameGeometry().center() - screen.center()).manhattanLength(), 2);
        EXPECT_EQ(info.Button1->text(), QStringLiteral("OK"));
        QTest::mouseClick(info.Button1, Qt::LeftButton);
        if (info.isVisible()) {
            ADD_FAILURE() << "OK did not close the window";
            info.reject();
        }
    });
    EXPECT_EQ(info.exec(), QDialog::Accepted);
    EXPECT_TRUE(ran);
}

// ---- help window ----

TEST(HelpText, BuiltInPageDescribesKeysFilesAndSimulator) {
    const QString html = veka::builtInHelpHtml();
    for (const char* needle : {"F2",
                               "F3",
                               "F5",
                               "F6",
                               "F7",
                               "F8",
                               "F9",
                               "F10",
                               "Alt+F4",
                               "Dämpfung +",
                               "vekami.cfg",
                               "frequenz.cfg",
                               "*.dat",
                               "LANG.INI",
                               "VEKA.HLP",
                               "ln -s /dev/ttyUSB0 COM2",
                               "/dev/ttyS",
                               "57600",
                               "8N1",
                               "Einstellungen &gt; Optionen",
                               "veka-sim --help",
                               "Taktgenerator",
                               "Smith",
                               "Zwischenfrequenz",
                               "Minus (F6)",
                               "Alt+M öffnet das Menü Messung",
                               "Alt allein öffnet die Menüleiste"}) {
        EXPECT_TRUE(html.contains(QString::fromUtf8(needle))) << needle;
    }
    // Alt+M opens the "Messung" menu; the page must not promise it for Minus.
    EXPECT_FALSE(html.contains(QStringLiteral("Minus (Alt+M)")));
}

TEST(HelpFile, ClassifiesAndDecodesTheBytes) {
    const struct {
        QByteArray bytes;
        HelpContent::Kind kind;
        const char* text;  // expected decoded text, or nullptr for the built-in page
    } cases[] = {
        {QByteArray("<html><body>Hallo</body></html>"), HelpContent::Kind::Html,
         "<html><body>Hallo</body></html>"},
        {QByteArray(" \r\n\t<p>eins</p>"), HelpContent::Kind::Html, " \r\n\t<p>eins</p>"},
        {QByteArray("\xEF\xBB\xBF<html>x</html>"), HelpContent::Kind::Html, "<html>x</html>"},
        {QByteArray("Hilfe\n<b>kein HTML</b>"), HelpContent::Kind::PlainText,
         "Hilfe\n<b>kein HTML</b>"},
        {QByteArray("Gr\xC3\xBC\xC3\x9F"
                    "e"),
         HelpContent::Kind::PlainText, "Grüße"},
        {QByteArray("Gr\xFC\xDF"
                    "e \x80 \x84x\x93"),
         HelpContent::Kind::PlainText, "Grüße € „x“"},
        {QByteArray("?_\x03\x00\x10\x00", 6), HelpContent::Kind::BuiltIn, nullptr},
        {QByteArray(), HelpContent::Kind::BuiltIn, nullptr},
    };
    for (const auto& c : cases) {
        const HelpContent content = veka::helpContentFromBytes(c.bytes);
        EXPECT_EQ(content.kind, c.kind) << c.bytes.toStdString();
        const QString expected = c.text ? QString::fromUtf8(c.text) : veka::builtInHelpHtml();
        EXPECT_EQ(content.text, expected) << c.bytes.toStdString();
    }
}

class HelpWindowTest : public ::testing::Test {
  protected:
    void SetUp() override {
        ASSERT_TRUE(dir.isValid());
        previous = QDir::currentPath();
        ASSERT_TRUE(QDir::setCurrent(dir.path()));
    }
    void TearDown() override { QDir::setCurrent(previous); }
    void writeHelp(const QByteArray& bytes) {
        QFile file(QStringLiteral("VEKA.HLP"));
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
        file.write(bytes);
    }

    QTemporaryDir dir;
    QString previous;
};

TEST_F(HelpWindowTest, MissingFileShowsTheBuiltInPage) {
    veka::HelpWindow help;
    EXPECT_EQ(help.shownKind(), HelpContent::Kind::BuiltIn);
    const QString shown = help.browser()->toPlainText();
    EXPECT_TRUE(shown.contains(QStringLiteral("F9"))) << shown.left(200).toStdString();
    EXPECT_TRUE(shown.contains(QStringLiteral("Dämpfung -")));
    EXPECT_FALSE(shown.contains(QStringLiteral("<h2>")));
}

TEST_F(HelpWindowTest, BinaryOldFormatFileShowsTheBuiltInPage) {
    writeHelp(QByteArray("?_\x03\x00\x10\x00\x00\x00", 8));
    veka::HelpWindow help;
    EXPECT_EQ(help.shownKind(), HelpContent::Kind::BuiltIn);
    EXPECT_TRUE(help.browser()->toPlainText().contains(QStringLiteral("veka-sim")));
}

// Too large, a pipe, a device: the built-in page, and the window never blocks.
TEST_F(HelpWindowTest, OddFilesShowTheBuiltInPage) {
    const std::string html = "<html><body><p>Eigene Hilfe</p></body></html>";
    for (const veka::test::OddFile kind : veka::test::kOddFiles) {
        QFile::remove(QStringLiteral("VEKA.HLP"));
        veka::test::makeOddFile(kind, "VEKA.HLP", veka::kMaxHelpFileBytes, html);
        const veka::test::HangGuard guard(std::string("VEKA.HLP ") + describe(kind));
        veka::HelpWindow help;
        EXPECT_EQ(help.shownKind(), HelpContent::Kind::BuiltIn) << describe(kind);
    }
    QFile::remove(QStringLiteral("VEKA.HLP"));
    writeHelp(
        QByteArray::fromStdString(html + std::string(veka::kMaxHelpFileBytes - html.size(), ' ')));
    EXPECT_EQ(veka::readHelpFile(QStringLiteral("VEKA.HLP")).kind, HelpContent::Kind::Html);
}

TEST_F(HelpWindowTest, HtmlFileIsShownAsHtml) {
    writeHelp("  <html><body><h1>Eigene Hilfe</h1><p>Text <b>fett</b></p></body></html>");
    veka::HelpWindow help;
    EXPECT_EQ(help.shownKind(), HelpContent::Kind::Html);
    const QString shown = help.browser()->toPlainText();
    EXPECT_TRUE(shown.contains(QStringLiteral("Eigene Hilfe")));
    EXPECT_TRUE(shown.contains(QStringLiteral("Text fett")));
    EXPECT_FALSE(shown.contains(QStringLiteral("<b>")));
}

TEST_F(HelpWindowTest, PlainTextFileIsShownAsText) {
    writeHelp(
        "Kurzhilfe\n<b> bleibt sichtbar\nGr\xFC\xDF"
        "e");
    veka::HelpWindow help;
    EXPECT_EQ(help.shownKind(), HelpContent::Kind::PlainText);
    EXPECT_EQ(help.browser()->toPlainText(),
              QString::fromUtf8("Kurzhilfe\n<b> bleibt sichtbar\nGrüße"));
}

TEST_F(HelpWindowTest, ReloadPicksUpAFileWrittenLater) {
    veka::HelpWindow help;
    ASSERT_EQ(help.shownKind(), HelpContent::Kind::BuiltIn);
    writeHelp("neu");
    help.loadHelpFile();
    EXPECT_EQ(help.shownKind(), HelpContent::Kind::PlainText);
    EXPECT_EQ(help.browser()->toPlainText(), QStringLiteral("neu"));
}

}  // namespace
