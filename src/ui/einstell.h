// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The settings dialog TEin: link, synthesiser and display settings without a command of their
// own. Created once, shown modally by "&Optionen"; it writes the state only on "&OK".

#include <QDialog>
#include <QGroupBox>
#include <QStringList>
#include <string>
#include <vector>

#include "state/instrument.h"

class QButtonGroup;
class QComboBox;
class QLabel;
class QLineEdit;
class QPushButton;
class QRadioButton;
class QStyle;

namespace veka {

class Netzwerktester;
class PortChoiceButton;

// A captioned box of exclusive radio items laid out in columns, with an item index.
// Only the checked item is a tab stop, so the whole group is one stop in the tab order.
class RadioGroupBox : public QGroupBox {
  public:
    // frameStyle: the style that draws the frame and caption; nullptr for the dialog's own.
    RadioGroupBox(const QString& title, const QStringList& items, int columns, const QRect& place,
                  QWidget* parent, QStyle* frameStyle = nullptr);

    int itemIndex() const;  // -1 when nothing is checked
    void setItemIndex(int index);
    QRadioButton* item(int index) const { return items_.at(static_cast<size_t>(index)); }
    int count() const { return static_cast<int>(items_.size()); }

  private:
    void updateTabStop();

    QButtonGroup* group_;
    std::vector<QRadioButton*> items_;
};

class TEin : public QDialog {
    Q_OBJECT
  public:
    TEin(Instrument& inst, QWidget* parent = nullptr);

    void FormActivate();
    void SpracheEinSetzen(const std::string& sektion);
    void Button1Click();  // "&OK"
    void Button2Click();  // "&Cancel"

    static constexpr int kClientWidth = 496;
    static constexpr int kClientHeight = 368;

    QGroupBox* GroupBox1;
    QLineEdit* Edit20;
    PortChoiceButton* PortWahl;  // beside Edit20: which device the number means here
    RadioGroupBox* RadioGroup1;  // Hardwareversion
    RadioGroupBox* RadioGroup2;  // Baudrate
    RadioGroupBox* RadioGroup3;  // Messgenauigkeit
    QLabel *Label1, *Label2, *Label3, *Label4, *Label5, *Label6, *Label7, *Label8;
    QLabel *Label9, *Label10, *Label11, *Label12, *Label13, *Label14, *Label15;
    QLineEdit *Edit1, *Edit2, *Edit3, *Edit4, *Edit5, *Edit6, *Edit7;
    QLineEdit *Edit8, *Edit9, *Edit10, *Edit11, *Edit12;
    QLineEdit *Edit13, *Edit14, *Edit15, *Edit16, *Edit17, *Edit18, *Edit19;
    QComboBox* ComboBox1;
    QPushButton* Button1;  // "&OK"
    QPushButton* Button2;  // "&Cancel"

  protected:
    void showEvent(QShowEvent* event) override;

  private:
    void buildLeftColumn();
    void buildLineColumns();
    void buildBottomRight();
    void setTabOrderAsDesigned();
    void nameFields();
    std::vector<QLineEdit*> textFields() const;    // Edit1..Edit7
    std::vector<QLineEdit*> heightFields() const;  // Edit13..Edit19
    std::vector<QLabel*> lineLabels() const;       // lines 1..7

    Instrument& inst_;
    QStyle* frameStyle_ = nullptr;  // draws the group frames; owned by the dialog
};

// "&Optionen": the port is closed around the dialog, and the language, port, diagram and device
// contact are renewed afterwards whichever way the dialog was closed.
void Bandbreite1Click(Netzwerktester& logik, TEin& dialog);

}  // namespace veka
