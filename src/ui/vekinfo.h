// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The about window and the JPEG decoder for its picture.

#include <QDialog>
#include <QImage>
#include <QString>
#include <optional>
#include <string>

class QLabel;
class QPlainTextEdit;
class QPushButton;

namespace veka {

// Decodes a baseline or progressive JPEG file into an RGB image. Nothing when the file is
// missing, is no JPEG, is damaged or cut short; never ends the program.
std::optional<QImage> decodeJpeg(const std::string& path);

// Where the about picture is looked for: beside the executable, then in the source assets.
QString aboutPicturePath();

class Tinfo : public QDialog {
    Q_OBJECT
  public:
    // An empty picturePath means aboutPicturePath().
    explicit Tinfo(QWidget* parent = nullptr, const QString& picturePath = {});

    bool hasPicture() const { return hasPicture_; }

    QLabel* Image1;
    QLabel* Label1;         // title
    QLabel* Label2;         // greeting
    QPlainTextEdit* Memo1;  // German
    QPlainTextEdit* Memo2;  // English
    QPushButton* Button1;   // OK

    static constexpr int kClientWidth = 702;
    static constexpr int kClientHeight = 570;
    static constexpr int kPictureWidth = 473;
    static constexpr int kPictureHeight = 569;

  private:
    void FormCreate();
    void loadPicture(const QString& path);

    bool hasPicture_ = false;
};

}  // namespace veka
