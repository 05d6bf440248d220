// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// Which device a port number means on this machine: a small button beside the settings
// dialog's COM box, and the chooser it opens. The chooser lists the serial devices present
// (fresh every time it opens), takes a typed path too, and says live why the device in the
// field would not open. The choice is kept per user, outside the configuration files.

#include <QDialog>
#include <QTimer>
#include <QToolButton>
#include <string>

#include "state/instrument.h"

class QLabel;
class QLineEdit;
class QListWidget;

namespace veka {

class DeviceLink;

class PortChooser : public QDialog {
    Q_OBJECT
  public:
    // device: the current choice for port comport (empty: the built-in lookup); sektion: the
    // language section for the captions.
    PortChooser(int32_t comport, const std::string& device, const std::string& sektion,
                QWidget* parent = nullptr);

    // The device in the field; empty means the built-in lookup.
    std::string device() const;
    QListWidget* list() const { return list_; }
    QLineEdit* pathField() const { return path_; }
    QLabel* reasonLabel() const { return reason_; }
    // Probes the device in the field now (normally a moment after typing stops).
    void updateReason();

  private:
    void fillList();

    int32_t comport_;
    QListWidget* list_;
    QLineEdit* path_;
    QLabel* reason_;
    QTimer probeDelay_;
};

// Below the number it also shows, live, what the device of that number does when opened
// ("usable", "permission denied", ...; the whole reason as its tool tip).
class PortChoiceButton : public QToolButton {
    Q_OBJECT
  public:
    // comField: the field holding the port number the choice is for.
    PortChoiceButton(const Instrument& inst, const QLineEdit* comField, QWidget* parent);

    // The link whose port paths the choice updates; without it nothing is chosen.
    void attach(DeviceLink& link) { link_ = &link; }
    // Opens the chooser for the number in the field and applies its choice.
    void choose();
    QLabel* stateLabel() const { return state_; }
    // Probes the device the number in the field resolves to.
    void updateState();

  protected:
    void showEvent(QShowEvent* event) override;

  private:
    int32_t comport() const;

    const Instrument& inst_;
    const QLineEdit* comField_;
    QLabel* state_;
    DeviceLink* link_ = nullptr;
};

}  // namespace veka
