// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The value input box: one modal window, created once and reused for every question.

#include <QDialog>
#include <QString>
#include <string>

#include "state/user_interface.h"

class QLabel;
class QLineEdit;
class QPushButton;

namespace veka {

class TForm2 : public QDialog {
    Q_OBJECT
  public:
    explicit TForm2(QWidget* parent = nullptr);

    // Shows the box modally; returns the typed text on OK, the starting text otherwise.
    std::string WertEingabe(const WertEingabeAnfrage& anfrage);

    QLabel* Label1;
    QLineEdit* Edit1;
    QPushButton* Button1;  // cancel, left
    QPushButton* Button2;  // OK, right

    static constexpr int kLeft = 397;
    static constexpr int kTop = 302;
    static constexpr int kOuterWidth = 322;
    static constexpr int kOuterHeight = 159;

  public slots:
    // Every way of closing but OK ends here, so all of them return the starting text.
    void reject() override;

  protected:
    void showEvent(QShowEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

  private:
    void FormActivate();
    void Button1Click();
    void Button2Click();

    QString Vorgabetext;
    QString Antworttext;
};

}  // namespace veka
