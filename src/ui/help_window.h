// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The help window: shows the help file of the working directory, or the built-in page.

#include <QByteArray>
#include <QDialog>
#include <QString>
#include <cstddef>

class QTextBrowser;

namespace veka {

inline constexpr const char* kHelpFileName = "VEKA.HLP";

// Help pages run to some hundred KB; a larger file than this is not read.
inline constexpr size_t kMaxHelpFileBytes = size_t{4} << 20;

// What a help file turned out to hold.
struct HelpContent {
    enum class Kind { Html, PlainText, BuiltIn };
    Kind kind = Kind::BuiltIn;
    QString text;  // the decoded file, or the built-in page
};

// Classifies and decodes the bytes of a help file. A file with a NUL byte (an old binary help
// file) gives the built-in page; HTML is recognised by its first non-blank character '<'.
HelpContent helpContentFromBytes(const QByteArray& bytes);

// Reads the file; a missing or unreadable file, one that is no regular file (a pipe, a
// device: never opened, so nothing blocks) or one over kMaxHelpFileBytes gives the built-in
// page.
HelpContent readHelpFile(const QString& path);

// UTF-8 if the bytes are valid UTF-8, else Windows-1252.
QString decodeHelpText(const QByteArray& bytes);

class HelpWindow : public QDialog {
    Q_OBJECT
  public:
    explicit HelpWindow(QWidget* parent = nullptr);

    // Loads the help file again, so that an edited file is shown the next time.
    void loadHelpFile(const QString& path = QString::fromLatin1(kHelpFileName));

    HelpContent::Kind shownKind() const { return shownKind_; }
    QTextBrowser* browser() const { return browser_; }

  private:
    QTextBrowser* browser_;
    HelpContent::Kind shownKind_ = HelpContent::Kind::BuiltIn;
};

}  // namespace veka
