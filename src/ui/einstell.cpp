// SPDX-License-Identifier: GPL-3.0-or-later
#include "ui/einstell.h"

#include "ui/fonts.h"

#include <QButtonGroup>
#include <QComboBox>
#include <QFont>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QShowEvent>
#include <QStyle>
#include <QStyleFactory>
#include <algorithm>
#include <array>
#include <optional>
#include <utility>

#include "files/data_paths.h"
#include "files/integer_rule.h"
#include "files/sprache.h"
#include "measure/netzwerktester.h"
#include "ui/combo_box_name.h"
#include "ui/port_chooser.h"
#include "ui/window_frame.h"

namespace veka {

namespace {

constexpr std::array<int32_t, 4> kBaudraten{9600, 19200, 38400, 57600};
constexpr std::array<int32_t, 2> kGenauigkeiten{8, 10};
constexpr std::array<const char*, 2> kHardwareversionen{"VEKA", "VEKAMX"};

// Values taken on "&OK" when a field does not hold a valid integer.
constexpr int32_t kComportOhne = 1;
constexpr int32_t kTaktOhne = 100000000;
constexpr int32_t kEichOhne = 50000000;
constexpr int32_t kFmaxOhne = 10000000;
constexpr int32_t kDelayOhne = 1;
constexpr int32_t kMesspunkteOhne = 280;
constexpr int32_t kLineTextOhne = 10;
constexpr int32_t kLineOhne = 0;

constexpr int kEditHeight = 21;
constexpr int kItemIndent = 4;  // radio items from the left edge of the frame's inside
constexpr int kLineTop = 40;
constexpr int kLineStep = 32;

QLabel* label(QWidget* parent, const char* name, const char* text, int x, int y) {
    auto* l = new QLabel(QString::fromUtf8(text), parent);
    l->setObjectName(QString::fromUtf8(name));
    l->setTextFormat(Qt::PlainText);
    l->move(x, y);
    l->adjustSize();
    return l;
}

QLineEdit* edit(QWidget* parent, const QString& name, int x, int y, int width) {
    auto* e = new QLineEdit(parent);
    e->setObjectName(name);
    e->setGeometry(x, y, width, kEditHeight);
    return e;
}

void setLabelText(QLabel* l, const std::string& text) {
    l->setText(QString::fromStdString(text));
    l->adjustSize();
}

int32_t fieldValue(const QLineEdit* e, int32_t fallback) {
    return integerOr(e->text().toStdString(), fallback);
}

template <size_t N>
int indexOf(const std::array<int32_t, N>& values, int32_t v) {
    for (size_t i = 0; i < N; ++i)
        if (values[i] == v) return static_cast<int>(i);
    return 0;
}

// Every group always has a checked item once shown; index 0 covers a group never shown.
size_t checkedIndex(const RadioGroupBox* g) {
    return static_cast<size_t>(std::max(0, g->itemIndex()));
}

}  // namespace

// ---- RadioGroupBox ----

RadioGroupBox::RadioGroupBox(const QString& title, const QStringList& items, int columns,
                             const QRect& place, QWidget* parent, QStyle* frameStyle)
    : QGroupBox(title, parent), group_(new QButtonGroup(this)) {
    if (frameStyle != nullptr) setStyle(frameStyle);
    setGeometry(place);
    group_->setExclusive(true);
    const int n = static_cast<int>(items.size());
    const int rows = (n + columns - 1) / columns;
    // The items share the inside of the frame, below the caption, each centred in its cell.
    const QRect inside = contentsRect();
    const int rowHeight = inside.height() / rows;
    const int columnWidth = (inside.width() - kItemIndent) / columns;
    for (int i = 0; i < n; ++i) {
        auto* b = new QRadioButton(items[i], this);
        const int row = i % rows;
        const int column = i / rows;
        const QSize size = b->sizeHint().boundedTo(QSize(columnWidth, rowHeight));
        b->setGeometry(inside.x() + kItemIndent + column * columnWidth,
                       inside.y() + row * rowHeight + (rowHeight - size.height()) / 2, size.width(),
                       size.height());
        group_->addButton(b, i);
        items_.push_back(b);
    }
    connect(group_, &QButtonGroup::idToggled, this, [this] { updateTabStop(); });
    updateTabStop();
}

int RadioGroupBox::itemIndex() const {
    return group_->checkedId();
}

void RadioGroupBox::setItemIndex(int index) {
    item(index)->setChecked(true);
}

void RadioGroupBox::updateTabStop() {
    for (QRadioButton* b : items_)
        b->setFocusPolicy(b->isChecked() ? Qt::StrongFocus : Qt::ClickFocus);
}

// ---- TEin ----

TEin::TEin(Instrument& inst, QWidget* parent)
    : QDialog(parent, Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                          Qt::WindowSystemMenuHint | Qt::WindowCloseButtonHint),
      inst_(inst) {
    nameEditableComboBoxes();
    setObjectName(QStringLiteral("Ein"));
    setWindowTitle(QStringLiteral("Einstellungen"));
    setFont(fensterSchrift());
    setModal(true);
    setFixedSize(kClientWidth, kClientHeight);
    // Group captions on the frame line, as designed: the 33-pixel radio groups have room for
    // their items only when the caption does not stand above the frame.
    frameStyle_ = QStyleFactory::create(QStringLiteral("Windows"));
    if (frameStyle_ != nullptr) frameStyle_->setParent(this);
    buildLeftColumn();
    buildLineColumns();
    buildBottomRight();
    setTabOrderAsDesigned();
    nameFields();
    keepFrame(this, FramePlace::centred());
}

void TEin::buildLeftColumn() {
    GroupBox1 = new QGroupBox(QStringLiteral("COM"), this);
    GroupBox1->setObjectName(QStringLiteral("GroupBox1"));
    if (frameStyle_ != nullptr) GroupBox1->setStyle(frameStyle_);
    GroupBox1->setGeometry(32, 8, 89, 121);
    Edit20 = edit(GroupBox1, QStringLiteral("Edit20"), 32, 48, 25);
    PortWahl = new PortChoiceButton(inst_, Edit20, GroupBox1);
    PortWahl->setGeometry(60, 48, 21, kEditHeight);
    RadioGroup2 = new RadioGroupBox(QStringLiteral("Baudrate"),
                                    {QStringLiteral("  9600 Bit/s"), QStringLiteral("19200 Bit/s"),
                                     QStringLiteral("38400 Bit/s"), QStringLiteral("57600 Bit/s")},
                                    1, QRect(144, 8, 97, 121), this, frameStyle_);
    RadioGroup2->setObjectName(QStringLiteral("RadioGroup2"));

    Label9 = label(this, "Label9", "Taktfrequenz", 32, 144);
    Edit8 = edit(this, QStringLiteral("Edit8"), 144, 144, 89);
    Label10 = label(this, "Label10", "Eichfrequenz", 32, 168);
    Edit9 = edit(this, QStringLiteral("Edit9"), 144, 168, 89);
    Label11 = label(this, "Label11", "Fmax", 32, 192);
    Edit10 = edit(this, QStringLiteral("Edit10"), 144, 192, 89);
    Label2 = label(this, "Label2", "Delay", 32, 216);
    Edit11 = edit(this, QStringLiteral("Edit11"), 144, 216, 41);
    Label12 = label(this, "Label12", "Messpunkte", 32, 240);
    Edit12 = edit(this, QStringLiteral("Edit12"), 144, 240, 41);

    RadioGroup1 = new RadioGroupBox(QStringLiteral("Hardwareversion"),
                                    {QStringLiteral("VEKA"), QStringLiteral("VEKAMX")}, 2,
                                    QRect(32, 272, 209, 33), this, frameStyle_);
    RadioGroup1->setObjectName(QStringLiteral("RadioGroup1"));
    RadioGroup3 = new RadioGroupBox(QStringLiteral("Messgenauigkeit"),
                                    {QStringLiteral("8 Bit"), QStringLiteral("10 Bit")}, 2,
                                    QRect(32, 320, 209, 33), this, frameStyle_);
    RadioGroup3->setObjectName(QStringLiteral("RadioGroup3"));
}

void TEin::buildLineColumns() {
    Label13 = label(this, "Label13", "Text", 304, 8);
    Label14 = label(this, "Label14", "Lage", 424, 8);
    // The designed names of the line labels are not in line order.
    const std::array<std::pair<QLabel**, const char*>, 7> labels{{{&Label3, "Label3"},
                                                                  {&Label4, "Label4"},
                                                                  {&Label5, "Label5"},
                                                                  {&Label1, "Label1"},
                                                                  {&Label6, "Label6"},
                                                                  {&Label7, "Label7"},
                                                                  {&Label8, "Label8"}}};
    const std::array<QLineEdit**, 7> texts{&Edit1, &Edit2, &Edit3, &Edit4, &Edit5, &Edit6, &Edit7};
    const std::array<QLineEdit**, 7> heights{&Edit13, &Edit14, &Edit15, &Edit16,
                                             &Edit17, &Edit18, &Edit19};
    for (int k = 0; k < 7; ++k) {
        const int y = kLineTop + kLineStep * k;
        const std::string caption = "Linie " + std::to_string(k + 1);
        *labels[k].first = label(this, labels[k].second, caption.c_str(), 304, y);
        *texts[k] = edit(this, QStringLiteral("Edit%1").arg(k + 1), 368, y, 33);
        *heights[k] = edit(this, QStringLiteral("Edit%1").arg(k + 13), 424, y, 33);
    }
}

void TEin::buildBottomRight() {
    Label15 = label(this, "Label15", "Sprache", 296, 280);
    ComboBox1 = new QComboBox(this);
    ComboBox1->setObjectName(QStringLiteral("ComboBox1"));
    ComboBox1->setEditable(true);
    ComboBox1->setInsertPolicy(QComboBox::NoInsert);
    ComboBox1->setCompleter(nullptr);  // the typed text is taken exactly as typed
    ComboBox1->setGeometry(368, 280, 89, kEditHeight);
    ComboBox1->setEditText(QStringLiteral("-DL"));

    Button2 = new QPushButton(QStringLiteral("&Cancel"), this);
    Button2->setObjectName(QStringLiteral("Button2"));
    Button2->setGeometry(272, 328, 97, 25);
    Button1 = new QPushButton(QStringLiteral("&OK"), this);
    Button1->setObjectName(QStringLiteral("Button1"));
    Button1->setGeometry(384, 328, 81, 25);
    // Enter in a field means "&OK"; on a focused button it presses that button.
    Button1->setDefault(true);
    connect(Button1, &QPushButton::clicked, this, &TEin::Button1Click);
    connect(Button2, &QPushButton::clicked, this, &TEin::Button2Click);
}

void TEin::setTabOrderAsDesigned() {
    std::vector<QWidget*> order{Button1};
    const auto add = [&order](const std::vector<QLineEdit*>& fields) {
        order.insert(order.end(), fields.begin(), fields.end());
    };
    const auto addGroup = [&order](const RadioGroupBox* g) {
        for (int i = 0; i < g->count(); ++i) order.push_back(g->item(i));
    };
    add(textFields());
    addGroup(RadioGroup2);
    order.push_back(Button2);
    add({Edit8, Edit9, Edit10, Edit11, Edit12});
    addGroup(RadioGroup3);
    add(heightFields());
    order.push_back(ComboBox1);
    order.push_back(Edit20);  // the "COM" box
    addGroup(RadioGroup1);
    for (size_t i = 1; i < order.size(); ++i) setTabOrder(order[i - 1], order[i]);
}

std::vector<QLineEdit*> TEin::textFields() const {
    return {Edit1, Edit2, Edit3, Edit4, Edit5, Edit6, Edit7};
}

std::vector<QLineEdit*> TEin::heightFields() const {
    return {Edit13, Edit14, Edit15, Edit16, Edit17, Edit18, Edit19};
}

std::vector<QLabel*> TEin::lineLabels() const {
    return {Label3, Label4, Label5, Label1, Label6, Label7, Label8};
}

void TEin::showEvent(QShowEvent* event) {
    QDialog::showEvent(event);
    FormActivate();
    Button1->setFocus(Qt::ActiveWindowFocusReason);
}

// A screen reader announces each field by the caption beside or above it.
void TEin::nameFields() {
    const auto named = [](QWidget* field, const QString& name) { field->setAccessibleName(name); };
    const auto labels = lineLabels();
    const auto texts = textFields();
    const auto heights = heightFields();
    for (size_t k = 0; k < labels.size(); ++k) {
        named(texts[k], labels[k]->text() + u' ' + Label13->text());
        named(heights[k], labels[k]->text() + u' ' + Label14->text());
    }
    const std::pair<QLabel*, QWidget*> beside[] = {{Label9, Edit8},   {Label10, Edit9},
                                                   {Label11, Edit10}, {Label2, Edit11},
                                                   {Label12, Edit12}, {Label15, ComboBox1}};
    for (const auto& [label, field] : beside) {
        label->setBuddy(field);
        named(field, label->text());
    }
    named(ComboBox1->lineEdit(), Label15->text());  // the box's edit field is a field too
    named(Edit20, GroupBox1->title());
}

void TEin::FormActivate() {
    const QString kept = ComboBox1->currentText();
    ComboBox1->clear();
    const IniFile sprachen = IniFile::load(dataFile(Sprachdatei));
    for (const std::string& name : sprachen.sections())
        ComboBox1->addItem(QString::fromStdString(name));
    ComboBox1->setEditText(kept);

    SpracheEinSetzen(inst_.e.Sprache);

    const Einstellungen& e = inst_.e;
    const auto show = [](QLineEdit* f, int32_t v) { f->setText(QString::number(v)); };
    const auto texts = textFields();
    const auto heights = heightFields();
    for (size_t k = 0; k < 7; ++k) {
        show(texts[k], e.LineText[k]);
        show(heights[k], e.Line[k]);
    }
    show(Edit8, e.Taktfrequenz);
    show(Edit9, e.Eichfrequenz);
    show(Edit10, e.Endfrequenz);
    show(Edit11, e.Delay);
    show(Edit12, e.Messpunkte);
    show(Edit20, e.Comport);

    RadioGroup2->setItemIndex(indexOf(kBaudraten, e.Baudrate));
    RadioGroup3->setItemIndex(indexOf(kGenauigkeiten, e.Messgenauigkeit));
    RadioGroup1->setItemIndex(e.Hardwareversion == kHardwareversionen[0] ? 0 : 1);
}

void TEin::SpracheEinSetzen(const std::string& sektion) {
    const std::optional<DialogTexte> t = SpracheEinTexte(sektion);
    if (!t) return;
    const auto labels = lineLabels();
    for (size_t k = 0; k < labels.size(); ++k) setLabelText(labels[k], t->linien[k]);
    setLabelText(Label9, t->taktfrequenz);
    setLabelText(Label10, t->eichfrequenz);
    setLabelText(Label11, t->fmax);
    setLabelText(Label12, t->messpunkte);
    setLabelText(Label13, t->text);
    setLabelText(Label14, t->lage);
    setLabelText(Label15, t->sprache);
    setLabelText(Label2, t->delay);
    RadioGroup3->setTitle(QString::fromStdString(t->messgenauigkeit));
    RadioGroup2->setTitle(QString::fromStdString(t->baudrate));
    RadioGroup1->setTitle(QString::fromStdString(t->hardwareversion));
    Button1->setText(QString::fromStdString(t->ok));
    Button2->setText(QString::fromStdString(t->cancel));
    setWindowTitle(QString::fromStdString(t->caption));
    nameFields();
}

void TEin::Button1Click() {
    Einstellungen& e = inst_.e;
    e.Sprache = ComboBox1->currentText().toStdString();
    const auto texts = textFields();
    const auto heights = heightFields();
    for (size_t k = 0; k < 7; ++k) e.LineText[k] = fieldValue(texts[k], kLineTextOhne);
    for (size_t k = 0; k < 7; ++k) e.Line[k] = fieldValue(heights[k], kLineOhne);
    e.Taktfrequenz = fieldValue(Edit8, kTaktOhne);
    e.Eichfrequenz = fieldValue(Edit9, kEichOhne);
    e.Endfrequenz = fieldValue(Edit10, kFmaxOhne);
    e.Delay = fieldValue(Edit11, kDelayOhne);
    e.Messpunkte = fieldValue(Edit12, kMesspunkteOhne);
    e.Comport = fieldValue(Edit20, kComportOhne);
    if (e.Messpunkte > MaxPunkte) e.Messpunkte = MaxPunkte;
    e.Baudrate = kBaudraten[checkedIndex(RadioGroup2)];
    e.Messgenauigkeit = kGenauigkeiten[checkedIndex(RadioGroup3)];
    e.Hardwareversion = kHardwareversionen[checkedIndex(RadioGroup1)];
    accept();
}

void TEin::Button2Click() {
    reject();
}

void Bandbreite1Click(Netzwerktester& logik, TEin& dialog) {
    logik.optionenVorher();
    dialog.exec();
    logik.optionenNachher();
}

}  // namespace veka
