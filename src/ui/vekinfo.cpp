// SPDX-License-Identifier: GPL-3.0-or-later
#include "ui/vekinfo.h"

#include "files/data_paths.h"
#include "ui/fonts.h"
#include "ui/window_frame.h"

#include <jpeglib.h>

#include <QCoreApplication>
#include <QFile>
#include <QFileInfo>
#include <QFont>
#include <QLabel>
#include <QPixmap>
#include <QPlainTextEdit>
#include <QPushButton>
#include <csetjmp>
#include <cstdio>
#include <memory>

namespace veka {

namespace {

// libjpeg reports errors by calling error_exit, which by default ends the process; ours jumps
// back to the decoding frame instead. Warnings (a file cut short, corrupt data) count as errors
// too, since libjpeg would otherwise pad the picture with grey and report success.
struct ErrorManager {
    jpeg_error_mgr pub;
    std::jmp_buf jump;
};

[[noreturn]] void jumpBack(j_common_ptr info) {
    std::longjmp(reinterpret_cast<ErrorManager*>(info->err)->jump, 1);
}

void onMessage(j_common_ptr info, int level) {
    if (level < 0) jumpBack(info);
}

void silence(j_common_ptr) {}

// Owns the decompressor; a zeroed struct is safe to destroy even if creation never ran.
struct Decompressor {
    jpeg_decompress_struct info{};
    ErrorManager errors{};
    Decompressor() {
        info.err = jpeg_std_error(&errors.pub);
        errors.pub.error_exit = jumpBack;
        errors.pub.emit_message = onMessage;
        errors.pub.output_message = silence;
    }
    ~Decompressor() { jpeg_destroy_decompress(&info); }
    Decompressor(const Decompressor&) = delete;
    Decompressor& operator=(const Decompressor&) = delete;
};

constexpr JDIMENSION kLargestSide = 16384;

// The jump target. Only trivially destructible objects may live in this frame across a libjpeg
// call, because a long jump skips destructors; the image is owned by the caller.
bool decodeInto(Decompressor* d, std::FILE* file, QImage* image) {
    if (setjmp(d->errors.jump) != 0) return false;
    jpeg_create_decompress(&d->info);
    jpeg_stdio_src(&d->info, file);
    if (jpeg_read_header(&d->info, TRUE) != JPEG_HEADER_OK) return false;
    if (d->info.image_width > kLargestSide || d->info.image_height > kLargestSide) return false;
    d->info.out_color_space = JCS_RGB;
    jpeg_start_decompress(&d->info);
    if (d->info.output_components != 3) return false;
    *image = QImage(static_cast<int>(d->info.output_width), static_cast<int>(d->info.output_height),
                    QImage::Format_RGB888);
    if (image->isNull()) return false;
    while (d->info.output_scanline < d->info.output_height) {
        JSAMPROW row = image->scanLine(static_cast<int>(d->info.output_scanline));
        if (jpeg_read_scanlines(&d->info, &row, 1) != 1) return false;
    }
    jpeg_finish_decompress(&d->info);
    return true;
}

struct FileCloser {
    void operator()(std::FILE* f) const { std::fclose(f); }
};

const char* const kGermanText =
    "Gerät und Programm sind als Eigenbau für den heimischen Funk-Arbeitsplatz entstanden. "
    "Die Genauigkeit reicht für Messungen im Amateurbereich; ein kalibriertes Labormessgerät "
    "ersetzen sie nicht.\n\n"
    "Die Software darf für private Zwecke frei verwendet und weitergegeben werden. Sie wird "
    "ohne jede Gewährleistung bereitgestellt; die Benutzung geschieht auf eigene Gefahr.";

const char* const kEnglishText =
    "The instrument and its program were built at home for a private radio workbench. Their "
    "accuracy suits amateur measurements; they do not replace a calibrated laboratory "
    "instrument.\n\n"
    "The software is free for private use and may be passed on. It comes without any "
    "warranty; you use it at your own risk.";

QPlainTextEdit* makeTextPane(QWidget* parent, const char* text) {
    auto* pane = new QPlainTextEdit(QString::fromUtf8(text), parent);
    pane->setReadOnly(true);
    pane->setFrameShape(QFrame::NoFrame);
    // Sized for the texts at 8 points; the wheel still scrolls if a font runs longer.
    pane->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    pane->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    pane->setFont(fensterSchrift(8, false));
    QPalette palette = pane->palette();
    palette.setColor(QPalette::Base, palette.color(QPalette::Window));
    pane->setPalette(palette);
    return pane;
}

}  // namespace

std::optional<QImage> decodeJpeg(const std::string& path) {
    std::unique_ptr<std::FILE, FileCloser> file(std::fopen(path.c_str(), "rb"));
    if (!file) return std::nullopt;
    Decompressor decompressor;
    QImage image;
    if (!decodeInto(&decompressor, file.get(), &image)) return std::nullopt;
    return image;
}

QString aboutPicturePath() {
    const QString name = QStringLiteral("about.jpg");
    const QString besideProgram = QCoreApplication::applicationDirPath() + u'/' + name;
    if (QFileInfo::exists(besideProgram)) return besideProgram;
    const QString installed =
        QString::fromStdString((installedDataDir(programDir()) / "about.jpg").string());
    if (QFileInfo::exists(installed)) return installed;
#ifdef VEKA_ASSET_DIR
    return QStringLiteral(VEKA_ASSET_DIR) + u'/' + name;
#else
    return besideProgram;
#endif
}

Tinfo::Tinfo(QWidget* parent, const QString& picturePath)
    : QDialog(parent),
      Image1(new QLabel(this)),
      Label1(new QLabel(this)),
      Label2(new QLabel(this)),
      Memo1(makeTextPane(this, kGermanText)),
      Memo2(makeTextPane(this, kEnglishText)),
      Button1(new QPushButton(QStringLiteral("OK"), this)) {
    setObjectName(QStringLiteral("info"));
    setWindowTitle(QStringLiteral("Info"));
    setModal(true);
    setFixedSize(kClientWidth, kClientHeight);

    Image1->setGeometry(0, 0, kPictureWidth, kPictureHeight);
    Image1->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    Label1->setFont(fensterSchrift(14, true));
    Label1->setGeometry(488, 16, 202, 32);
    Label2->setFont(fensterSchrift(9, true));
    Label2->setText(QString::fromUtf8("Viel Freude beim Messen und Basteln!"));
    Label2->setWordWrap(true);
    Label2->setGeometry(488, 56, 202, 36);
    Memo1->setGeometry(488, 100, 202, 206);
    Memo2->setGeometry(488, 312, 202, 200);
    Button1->setGeometry(556, 528, 75, 25);
    Button1->setDefault(true);
    connect(Button1, &QPushButton::clicked, this, &QDialog::accept);

    loadPicture(picturePath.isEmpty() ? aboutPicturePath() : picturePath);
    FormCreate();
    keepFrame(this, FramePlace::centred());  // on the screen, not on the main window
}

void Tinfo::FormCreate() {
    Label1->setText(QStringLiteral("Netzwerktester "));
}

void Tinfo::loadPicture(const QString& path) {
    const std::optional<QImage> image = decodeJpeg(QFile::encodeName(path).toStdString());
    hasPicture_ = image.has_value();
    if (hasPicture_) Image1->setPixmap(QPixmap::fromImage(*image));
}

}  // namespace veka
