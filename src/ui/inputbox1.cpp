// SPDX-License-Identifier: GPL-3.0-or-later
#include "ui/inputbox1.h"

#include "ui/fonts.h"

#include <QEvent>
#include <QFont>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QShowEvent>

#include "ui/window_frame.h"

namespace veka {

namespace {

// Client area of the designed 322 x 159 window under a 4-pixel frame and a 23-pixel title bar;
// used until the window manager tells the real frame.
constexpr QSize kDesignedClient{314, 132};
// The controls need this much; a thick frame must never clip them.
constexpr QSize kSmallestClient{281, 127};

// The designed place and outer size, whatever frame the window manager draws.
FramePlace designedPlace() {
    return {QPoint(TForm2::kLeft, TForm2::kTop), QSize(TForm2::kOuterWidth, TForm2::kOuterHeight),
            kSmallestClient};
}

}  // namespace

TForm2::TForm2(QWidget* parent)
    : QDialog(parent, Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint),
      Label1(new QLabel(this)),
      Edit1(new QLineEdit(this)),
      Button1(new QPushButton(this)),
      Button2(new QPushButton(this)) {
    setObjectName(QStringLiteral("Form2"));
    Label1->setObjectName(QStringLiteral("Label1"));
    Edit1->setObjectName(QStringLiteral("Edit1"));
    Button1->setObjectName(QStringLiteral("Button1"));
    Button2->setObjectName(QStringLiteral("Button2"));

    setFont(fensterSchrift());
    setModal(true);
    setFixedSize(kDesignedClient);
    keepFrame(this, designedPlace());

    Label1->move(32, 16);
    Edit1->setGeometry(40, 56, 233, 21);
    Button1->setGeometry(56, 96, 89, 25);
    Button2->setGeometry(168, 96, 89, 25);
    setTabOrder(Edit1, Button1);
    setTabOrder(Button1, Button2);
    // Enter in the field means OK, so OK is drawn as the default button.
    Button2->setDefault(true);

    Edit1->installEventFilter(this);
    connect(Button1, &QPushButton::clicked, this, &TForm2::Button1Click);
    connect(Button2, &QPushButton::clicked, this, &TForm2::Button2Click);
}

std::string TForm2::WertEingabe(const WertEingabeAnfrage& anfrage) {
    setWindowTitle(QString::fromStdString(anfrage.caption));
    Button2->setText(QString::fromStdString(anfrage.okText));
    Button1->setText(QString::fromStdString(anfrage.cancelText));
    Label1->setText(QString::fromStdString(anfrage.prompt));
    Label1->adjustSize();
    Edit1->setText(QString::fromStdString(anfrage.startText));
    Vorgabetext = Edit1->text();
    exec();  // not centred: the box opens at its designed place
    return Antworttext.toStdString();
}

void TForm2::reject() {
    Antworttext = Vorgabetext;
    QDialog::reject();
}

void TForm2::showEvent(QShowEvent* event) {
    QDialog::showEvent(event);
    FormActivate();
}

bool TForm2::eventFilter(QObject* watched, QEvent* event) {
    if (watched == Edit1) {
        if (event->type() == QEvent::FocusIn) {
            Edit1->selectAll();
        } else if (event->type() == QEvent::KeyPress) {
            const int key = static_cast<QKeyEvent*>(event)->key();
            if (key == Qt::Key_Return || key == Qt::Key_Enter) {
                Button2Click();
                return true;
            }
            if (key == Qt::Key_Escape) {
                Button1Click();
                return true;
            }
        }
    }
    return QDialog::eventFilter(watched, event);
}

void TForm2::FormActivate() {
    Edit1->selectAll();
    Edit1->setFocus(Qt::ActiveWindowFocusReason);
}

void TForm2::Button1Click() {
    reject();
}

void TForm2::Button2Click() {
    Antworttext = Edit1->text();
    accept();
}

}  // namespace veka
