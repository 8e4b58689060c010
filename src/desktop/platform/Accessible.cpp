#include "desktop/platform/Accessible.h"

#include <QAbstractButton>
#include <QAbstractItemView>
#include <QAccessible>
#include <QAccessibleWidget>
#include <QComboBox>
#include <QLineEdit>

namespace platform {

namespace {

// A drop-down as Qt presents it elsewhere, but named by its accessible name.
class NamedComboBox : public QAccessibleWidget {
public:
    explicit NamedComboBox(QComboBox* combo) : QAccessibleWidget(combo, QAccessible::ComboBox) {}

    QComboBox* Combo() const { return static_cast<QComboBox*>(widget()); }

    int childCount() const override { return Combo()->isEditable() ? 2 : 1; }
    QAccessibleInterface* child(int index) const override
    {
        if (index == 0) return QAccessible::queryAccessibleInterface(Combo()->view());
        if (index == 1 && Combo()->isEditable()) return QAccessible::queryAccessibleInterface(Combo()->lineEdit());
        return nullptr;
    }
    int indexOfChild(const QAccessibleInterface* child) const override
    {
        if (!child) return -1;
        if (child->object() == Combo()->view()) return 0;
        if (Combo()->isEditable() && child->object() == Combo()->lineEdit()) return 1;
        return -1;
    }
    QAccessibleInterface* focusChild() const override
    {
        return Combo()->isEditable() ? child(1) : nullptr;
    }

    QString text(QAccessible::Text t) const override
    {
        const QString value = Combo()->isEditable() ? Combo()->lineEdit()->text() : Combo()->currentText();
        if (t == QAccessible::Value) return value;
        // Unnamed, it keeps Qt's name: the item.
        if (t == QAccessible::Name) return widget()->accessibleName().isEmpty() ? value : widget()->accessibleName();
        return QAccessibleWidget::text(t);
    }

    QStringList actionNames() const override { return {showMenuAction(), pressAction()}; }
    void doAction(const QString& action) override
    {
        if (action != showMenuAction() && action != pressAction()) return;
        if (Combo()->view()->isVisible()) Combo()->hidePopup();
        else Combo()->showPopup();
    }
    QStringList keyBindingsForAction(const QString&) const override { return {}; }
};

// A picture button as a push button, not the check box Qt makes of a checkable one: checked
// (and pressed, as a toggle button says it) while the state it stands for is on.
class PushButton : public QAccessibleWidget {
public:
    explicit PushButton(QAbstractButton* button) : QAccessibleWidget(button, QAccessible::Button) {}

    QAbstractButton* Button() const { return static_cast<QAbstractButton*>(widget()); }

    QAccessible::State state() const override
    {
        QAccessible::State s = QAccessibleWidget::state();
        s.checkable = Button()->isCheckable();
        s.checked = Button()->isCheckable() && Button()->isChecked();
        s.pressed = Button()->isDown() || s.checked;
        return s;
    }
    QStringList actionNames() const override
    {
        return Button()->isCheckable() ? QStringList{pressAction(), toggleAction()} : QStringList{pressAction()};
    }
    void doAction(const QString& action) override
    {
        if (action == pressAction() || action == toggleAction()) Button()->click();
    }
    QStringList keyBindingsForAction(const QString&) const override { return {}; }
};

QAccessibleInterface* Factory(const QString& className, QObject* object)
{
    if (!object || !object->isWidgetType()) return nullptr;
    auto* widget = static_cast<QWidget*>(object);
    // Asked for as soon as a control changes, which may come before it is named.
    if (className == QLatin1String("QComboBox"))
        return new NamedComboBox(static_cast<QComboBox*>(widget));
    if (className == QLatin1String("platform::PictureButton"))
        return new PushButton(static_cast<QAbstractButton*>(widget));
    if (className == QLatin1String("platform::PictureView")) return new QAccessibleWidget(widget, QAccessible::Graphic);
    if (className == QLatin1String("platform::DrawAreaView")) return new QAccessibleWidget(widget, QAccessible::Chart);
    return nullptr;
}

} // namespace

void InstallAccessibleInterfaces()
{
    static const bool installed = [] {
        QAccessible::installFactory(Factory);
        return true;
    }();
    (void)installed;
}

void Describe(QWidget& widget, const QString& text)
{
    // Qt tells assistive technology of each change itself.
    if (widget.accessibleDescription() != text) widget.setAccessibleDescription(text);
}

} // namespace platform
