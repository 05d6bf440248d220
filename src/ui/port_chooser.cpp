// SPDX-License-Identifier: GPL-3.0-or-later
#include "ui/port_chooser.h"

#include <QDialogButtonBox>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QVBoxLayout>
#include <algorithm>

#include "app/port_settings.h"
#include "files/data_paths.h"
#include "files/integer_rule.h"
#include "files/sprache.h"
#include "link/exchange.h"
#include "link/port_names.h"

namespace veka {

namespace {

// New captions: their own keys, with the German text when the section lacks them.
struct ChooserTexte {
    QString tip, caption, devices, device, standard, ok, cancel;
};

ChooserTexte chooserTexte(const std::string& sektion) {
    const IniFile ini = sektion.empty() ? IniFile() : IniFile::load(dataFile(Sprachdatei));
    const auto t = [&](const char* key, const char* deutsch) {
        return QString::fromStdString(ini.get(sektion, key, deutsch));
    };
    return {t("port1", "Gerät für diesen Port wählen"),
            t("port2", "Gerät für COM %1"),
            t("port3", "Gefundene Geräte:"),
            t("port4", "Gerät (leer: COMn im Arbeitsordner, sonst /dev/ttyS(n-1)):"),
            t("port5", "Standard"),
            t("string41", "&OK"),
            t("string42", "&Cancel")};
}

}  // namespace

PortChooser::PortChooser(int32_t comport, const std::string& device, const std::string& sektion,
                         QWidget* parent)
    : QDialog(parent),
      comport_(comport),
      list_(new QListWidget(this)),
      path_(new QLineEdit(QString::fromLocal8Bit(device), this)),
      reason_(new QLabel(this)) {
    setObjectName(QStringLiteral("PortChooser"));
    const ChooserTexte t = chooserTexte(sektion);
    setWindowTitle(t.caption.arg(comport));
    list_->setObjectName(QStringLiteral("PortList"));
    path_->setObjectName(QStringLiteral("PortPath"));
    reason_->setObjectName(QStringLiteral("PortReason"));
    reason_->setWordWrap(true);
    reason_->setTextFormat(Qt::PlainText);
    auto* buttons = new QDialogButtonBox(
        QDialogButtonBox::Ok | QDialogButtonBox::Cancel | QDialogButtonBox::RestoreDefaults, this);
    buttons->button(QDialogButtonBox::Ok)->setText(t.ok);
    buttons->button(QDialogButtonBox::Cancel)->setText(t.cancel);
    buttons->button(QDialogButtonBox::RestoreDefaults)->setText(t.standard);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(new QLabel(t.devices, this));
    layout->addWidget(list_);
    layout->addWidget(new QLabel(t.device, this));
    layout->addWidget(path_);
    layout->addWidget(reason_);
    layout->addWidget(buttons);
    resize(520, 320);

    fillList();
    probeDelay_.setSingleShot(true);
    probeDelay_.setInterval(250);  // probe when typing pauses, not at every key
    connect(&probeDelay_, &QTimer::timeout, this, &PortChooser::updateReason);
    connect(path_, &QLineEdit::textEdited, this, [this] { probeDelay_.start(); });
    // Selection, not the current row: focus alone makes a row current without choosing it.
    connect(list_, &QListWidget::itemSelectionChanged, this, [this] {
        const QList<QListWidgetItem*> chosen = list_->selectedItems();
        if (chosen.isEmpty()) return;
        path_->setText(chosen.constFirst()->data(Qt::UserRole).toString());
        updateReason();
    });
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    connect(buttons->button(QDialogButtonBox::RestoreDefaults), &QPushButton::clicked, this,
            [this] {
                path_->clear();
                updateReason();
            });
    updateReason();
}

void PortChooser::fillList() {
    for (const FoundPort& p : listPorts()) {
        auto* item = new QListWidgetItem(QString::fromLocal8Bit(portLine(p)), list_);
        item->setData(Qt::UserRole, QString::fromLocal8Bit(p.path));
    }
}

std::string PortChooser::device() const {
    return path_->text().trimmed().toLocal8Bit().toStdString();
}

void PortChooser::updateReason() {
    probeDelay_.stop();
    std::string path = device();
    if (path.empty()) path = portPfad(comport_);
    const std::string what = path.empty() ? "COM " + std::to_string(comport_) : path;
    reason_->setText(QString::fromLocal8Bit(openFailureText(what, probePort(path))));
}

PortChoiceButton::PortChoiceButton(const Instrument& inst, const QLineEdit* comField,
                                   QWidget* parent)
    : QToolButton(parent), inst_(inst), comField_(comField), state_(new QLabel(parent)) {
    state_->setObjectName(QStringLiteral("PortState"));
    state_->setWordWrap(true);
    state_->setTextFormat(Qt::PlainText);
    state_->setAlignment(Qt::AlignHCenter | Qt::AlignTop);
    connect(comField, &QLineEdit::textChanged, this, &PortChoiceButton::updateState);
    setObjectName(QStringLiteral("PortChoice"));
    setText(QStringLiteral("…"));
    // Not a tab stop: the dialog keeps its designed tab order.
    setFocusPolicy(Qt::ClickFocus);
    connect(this, &QToolButton::clicked, this, &PortChoiceButton::choose);
}

void PortChoiceButton::showEvent(QShowEvent* event) {
    const QString tip = chooserTexte(inst_.e.Sprache).tip;
    setToolTip(tip);
    setAccessibleName(tip);
    // The free part of the box below the number.
    const QWidget* box = parentWidget();
    const int top = comField_->geometry().bottom() + 6;
    state_->setGeometry(4, top, box->width() - 8, std::max(0, box->height() - top - 4));
    updateState();
    QToolButton::showEvent(event);
}

int32_t PortChoiceButton::comport() const {
    return integerOr(comField_->text().toStdString(), 1);
}

void PortChoiceButton::updateState() {
    PortPaths paths = link_ != nullptr ? link_->portPaths() : PortPaths();
    const std::string path = paths.resolve(comport());
    const PortProbe probe = probePort(path);
    const std::string what = path.empty() ? "COM " + std::to_string(comport()) : path;
    state_->setText(QString::fromStdString(stateWord(probe.state)));
    state_->setToolTip(QString::fromLocal8Bit(openFailureText(what, probe)));
}

void PortChoiceButton::choose() {
    const int32_t comport = this->comport();
    if (link_ == nullptr || comport < 1 || comport > 9) return;
    PortPaths paths = link_->portPaths();
    PortChooser chooser(comport, paths.choice(comport), inst_.e.Sprache, window());
    if (chooser.exec() != QDialog::Accepted) return;
    paths.setChoice(comport, chooser.device());
    link_->setPortPaths(paths);
    storePortChoice(comport, chooser.device());
    updateState();
}

}  // namespace veka
