// SPDX-License-Identifier: GPL-3.0-or-later
#include "ui/combo_box_name.h"

#include <QAbstractItemView>
#include <QAccessible>
#include <QAccessibleWidget>
#include <QComboBox>
#include <QLineEdit>

namespace veka {

namespace {

// What Qt's own combo box interface offers (the list and the edit field as children, the
// actions that open the list), named as a field.
class NamedComboBox : public QAccessibleWidget {
  public:
    explicit NamedComboBox(QComboBox* box) : QAccessibleWidget(box, QAccessible::ComboBox) {}

    QString text(QAccessible::Text t) const override {
        return t == QAccessible::Value ? box()->currentText() : QAccessibleWidget::text(t);
    }
    QAccessible::State state() const override {
        QAccessible::State s = QAccessibleWidget::state();
        s.editable = box()->isEditable();
        s.expandable = true;
        s.expanded = box()->view()->isVisible();
        s.collapsed = !s.expanded;
        return s;
    }
    int childCount() const override { return static_cast<int>(children().size()); }
    QAccessibleInterface* child(int index) const override {
        const QList<QWidget*> c = children();
        return index >= 0 && index < c.size() ? QAccessible::queryAccessibleInterface(c[index])
                                              : nullptr;
    }
    int indexOfChild(const QAccessibleInterface* child) const override {
        if (child == nullptr) return -1;
        return static_cast<int>(children().indexOf(qobject_cast<QWidget*>(child->object())));
    }
    QStringList actionNames() const override { return {showMenuAction(), pressAction()}; }
    void doAction(const QString& action) override {
        if (action != showMenuAction() && action != pressAction()) return;
        box()->view()->isVisible() ? box()->hidePopup() : box()->showPopup();
    }
    QStringList keyBindingsForAction(const QString&) const override { return {}; }

  private:
    QComboBox* box() const { return static_cast<QComboBox*>(widget()); }
    QList<QWidget*> children() const {
        QList<QWidget*> c{box()->view()};
        if (QLineEdit* edit = box()->lineEdit()) c.append(edit);
        return c;
    }
};

QAccessibleInterface* namedComboBoxes(const QString& className, QObject* object) {
    auto* box = qobject_cast<QComboBox*>(object);
    if (className != QLatin1String("QComboBox") || box == nullptr || !box->isEditable())
        return nullptr;
    return new NamedComboBox(box);
}

}  // namespace

void nameEditableComboBoxes() {
    static const bool installed = [] {
        QAccessible::installFactory(&namedComboBoxes);
        return true;
    }();
    (void)installed;
}

}  // namespace veka
