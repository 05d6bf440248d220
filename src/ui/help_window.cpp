// SPDX-License-Identifier: GPL-3.0-or-later
#include "ui/help_window.h"

#include <QDialogButtonBox>
#include <QFile>
#include <QFileInfo>
#include <QPushButton>
#include <QStringDecoder>
#include <QTextBrowser>
#include <QVBoxLayout>
#include <array>
#include <new>

#include "files/data_paths.h"
#include "files/text_lines.h"
#include "ui/help_text.h"

namespace veka {

namespace {

// Windows-1252 differs from Latin-1 only in 0x80..0x9F; the five unassigned codes stay as
// their C1 control characters.
constexpr std::array<char16_t, 32> kCp1252High = {
    0x20AC, 0x0081, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021, 0x02C6, 0x2030, 0x0160,
    0x2039, 0x0152, 0x008D, 0x017D, 0x008F, 0x0090, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022,
    0x2013, 0x2014, 0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0x009D, 0x017E, 0x0178};

QString decodeWindows1252(const QByteArray& bytes) {
    QString text;
    text.reserve(bytes.size());
    for (const char c : bytes) {
        const auto byte = static_cast<unsigned char>(c);
        text.append(byte >= 0x80 && byte < 0xA0 ? QChar(kCp1252High[byte - 0x80]) : QChar(byte));
    }
    return text;
}

}  // namespace

QString decodeHelpText(const QByteArray& bytes) {
    QStringDecoder utf8(QStringDecoder::Utf8);
    QString text = utf8.decode(bytes);
    if (!utf8.hasError()) return text;
    return decodeWindows1252(bytes);
}

HelpContent helpContentFromBytes(const QByteArray& bytes) {
    if (bytes.isEmpty() || bytes.contains('\0')) {
        return {HelpContent::Kind::BuiltIn, builtInHelpHtml()};
    }
    QString text = decodeHelpText(bytes);
    const bool html = text.trimmed().startsWith(u'<');
    return {html ? HelpContent::Kind::Html : HelpContent::Kind::PlainText, std::move(text)};
}

HelpContent readHelpFile(const QString& path) {
    const auto bytes = readFileBytes(QFile::encodeName(path).toStdString(), kMaxHelpFileBytes);
    if (!bytes) return {HelpContent::Kind::BuiltIn, builtInHelpHtml()};
    try {
        return helpContentFromBytes(QByteArray::fromStdString(*bytes));
    } catch (const std::bad_alloc&) {
        return {HelpContent::Kind::BuiltIn, builtInHelpHtml()};
    }
}

HelpWindow::HelpWindow(QWidget* parent)
    : QDialog(parent, Qt::Window), browser_(new QTextBrowser(this)) {
    setObjectName(QStringLiteral("help"));
    setWindowTitle(QStringLiteral("Hilfe"));
    resize(720, 600);
    browser_->setOpenLinks(true);
    browser_->setOpenExternalLinks(false);

    auto* buttons = new QDialogButtonBox(this);
    QPushButton* close =
        buttons->addButton(QString::fromUtf8("Schließen"), QDialogButtonBox::RejectRole);
    connect(close, &QPushButton::clicked, this, &QDialog::close);

    auto* layout = new QVBoxLayout(this);
    layout->addWidget(browser_);
    layout->addWidget(buttons);
    loadHelpFile();
}

void HelpWindow::loadHelpFile(const QString& path) {
    const QString file = QFile::decodeName(dataFile(QFile::encodeName(path).toStdString()).c_str());
    HelpContent content = readHelpFile(file);
    shownKind_ = content.kind;
    // Relative links and pictures of a help file are found beside it.
    browser_->setSearchPaths({QFileInfo(file).absolutePath()});
    if (content.kind == HelpContent::Kind::PlainText) {
        browser_->setPlainText(content.text);
    } else {
        browser_->setHtml(content.text);
    }
}

}  // namespace veka
