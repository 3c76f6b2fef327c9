// SPDX-License-Identifier: MIT
#include "ui/widgets/Accessible.h"

#include "ui/widgets/ImageBtn.h"
#include "ui/widgets/UrlLabel.h"

#include <QAccessibleWidget>
#include <QApplication>
#include <QDialog>
#include <QFrame>
#include <QLabel>
#include <QLineEdit>
#include <QMouseEvent>
#include <QPointer>
#include <algorithm>

namespace brelmont {

namespace {

class PressableAccessible : public QAccessibleWidget {
public:
    PressableAccessible(QWidget* widget, QAccessible::Role role) : QAccessibleWidget(widget, role) {}

    QStringList actionNames() const override {
        return widget()->isEnabled() ? QStringList{pressAction()} : QStringList{};
    }
    void doAction(const QString& name) override {
        if (name == pressAction() && widget()->isEnabled()) {
            ClickAtCentre(*widget());
        }
    }
    QStringList keyBindingsForAction(const QString&) const override { return {}; }
};

class ImageBtnAccessible final : public PressableAccessible {
public:
    explicit ImageBtnAccessible(TImageBtn* button) : PressableAccessible(button, QAccessible::Button) {}

    QString text(QAccessible::Text kind) const override {
        if (kind == QAccessible::Name && widget()->accessibleName().isEmpty()) {
            return NameFromToolTip(widget()->toolTip());
        }
        return QAccessibleWidget::text(kind);
    }
    QAccessible::State state() const override {
        QAccessible::State st = QAccessibleWidget::state();
        // The buttons never take the keyboard focus; their shortcuts stand in for them.
        st.focusable = false;
        st.pressed = static_cast<const TImageBtn*>(widget())->Pressed();
        return st;
    }
};

class LinkAccessible final : public PressableAccessible {
public:
    explicit LinkAccessible(TUrlLabel* link) : PressableAccessible(link, QAccessible::Link) {}

    QString text(QAccessible::Text kind) const override {
        const auto* link = static_cast<const TUrlLabel*>(widget());
        if (kind == QAccessible::Name && link->accessibleName().isEmpty()) {
            return link->text().trimmed();
        }
        if (kind == QAccessible::Value) {
            return TUrlLabel::AddressToOpen(link->URL(), link->URLType());
        }
        return QAccessibleWidget::text(kind);
    }
    QAccessible::State state() const override {
        QAccessible::State st = QAccessibleWidget::state();
        st.linked = true;
        return st;
    }
};

class CommandEntryAccessible final : public PressableAccessible {
public:
    explicit CommandEntryAccessible(QLabel* entry) : PressableAccessible(entry, QAccessible::MenuItem) {}

    QString text(QAccessible::Text kind) const override {
        const auto* entry = static_cast<const QLabel*>(widget());
        if (kind == QAccessible::Name && entry->accessibleName().isEmpty()) {
            return entry->text().trimmed();
        }
        return QAccessibleWidget::text(kind);
    }
};

class DecorativeAccessible final : public QAccessibleWidget {
public:
    explicit DecorativeAccessible(QWidget* picture) : QAccessibleWidget(picture, QAccessible::Graphic) {}

    QString text(QAccessible::Text) const override { return {}; }
    QAccessible::State state() const override {
        QAccessible::State st = QAccessibleWidget::state();
        st.invisible = true;
        return st;
    }
};

bool IsDecorative(const QObject* object) {
    return object != nullptr && object->property("decorative").toBool();
}

// A window or panel whose decorative pictures are left out of its children, so that a reader walking the
// window never meets a picture with nothing to say.
class ContainerAccessible final : public QAccessibleWidget {
public:
    ContainerAccessible(QWidget* container, QAccessible::Role role) : QAccessibleWidget(container, role) {}

    int childCount() const override { return static_cast<int>(Kept().size()); }
    QAccessibleInterface* child(int index) const override {
        const QList<QAccessibleInterface*> kept = Kept();
        return index >= 0 && index < kept.size() ? kept[index] : nullptr;
    }
    int indexOfChild(const QAccessibleInterface* child) const override {
        return static_cast<int>(Kept().indexOf(const_cast<QAccessibleInterface*>(child)));
    }

private:
    QList<QAccessibleInterface*> Kept() const {
        QList<QAccessibleInterface*> kept;
        for (int i = 0, count = QAccessibleWidget::childCount(); i < count; ++i) {
            QAccessibleInterface* child = QAccessibleWidget::child(i);
            if (child != nullptr && !IsDecorative(child->object())) {
                kept.append(child);
            }
        }
        return kept;
    }
};

// Qt reports a read-only line edit as editable and read-only at once, and readers then offer to type into
// it. This one is read-only only; its text can still be read, selected and copied.
class ReadOnlyFieldAccessible final : public QAccessibleWidget, public QAccessibleTextInterface {
public:
    explicit ReadOnlyFieldAccessible(QLineEdit* field)
        : QAccessibleWidget(field, QAccessible::EditableText) {}

    void* interface_cast(QAccessible::InterfaceType type) override {
        if (type == QAccessible::TextInterface) {
            return static_cast<QAccessibleTextInterface*>(this);
        }
        return QAccessibleWidget::interface_cast(type);
    }
    QString text(QAccessible::Text kind) const override {
        if (kind == QAccessible::Value) {
            return Field().displayText();
        }
        return QAccessibleWidget::text(kind);
    }
    QAccessible::State state() const override {
        QAccessible::State st = QAccessibleWidget::state();
        st.editable = !Field().isReadOnly();
        st.readOnly = Field().isReadOnly();
        st.selectableText = true;
        return st;
    }

    void selection(int index, int* start, int* end) const override {
        *start = *end = 0;
        if (index == 0 && Field().hasSelectedText()) {
            *start = Field().selectionStart();
            *end = Field().selectionEnd();
        }
    }
    int selectionCount() const override { return Field().hasSelectedText() ? 1 : 0; }
    void addSelection(int start, int end) override { setSelection(0, start, end); }
    void removeSelection(int) override { Field().deselect(); }
    void setSelection(int, int start, int end) override { Field().setSelection(start, end - start); }
    int cursorPosition() const override { return Field().cursorPosition(); }
    void setCursorPosition(int position) override { Field().setCursorPosition(position); }
    QString text(int start, int end) const override { return Field().displayText().mid(start, end - start); }
    int characterCount() const override { return static_cast<int>(Field().displayText().size()); }
    QRect characterRect(int offset) const override {
        if (offset < 0 || offset >= characterCount()) {
            return {};
        }
        const QFontMetrics metrics = Field().fontMetrics();
        const QString shown = Field().displayText();
        const int left = TextOrigin() + metrics.horizontalAdvance(shown.left(offset));
        const int right = TextOrigin() + metrics.horizontalAdvance(shown.left(offset + 1));
        const QRect local(left, (Field().height() - metrics.height()) / 2, right - left, metrics.height());
        return QRect(Field().mapToGlobal(local.topLeft()), local.size());
    }
    int offsetAtPoint(const QPoint& point) const override {
        const QPoint local = Field().mapFromGlobal(point);
        if (!Field().rect().contains(local)) {
            return -1;
        }
        const QFontMetrics metrics = Field().fontMetrics();
        const QString shown = Field().displayText();
        const int x = local.x() - TextOrigin();
        for (int offset = 0; x >= 0 && offset < shown.size(); ++offset) {
            if (x < metrics.horizontalAdvance(shown.left(offset + 1))) {
                return offset;
            }
        }
        return -1;
    }
    void scrollToSubstring(int start, int end) override {
        Field().setCursorPosition(end);
        Field().setCursorPosition(start);
    }
    QString attributes(int offset, int* start, int* end) const override {
        // One run of plain text.
        const bool inside = offset >= 0 && offset <= characterCount();
        *start = inside ? 0 : -1;
        *end = inside ? characterCount() : -1;
        return {};
    }

private:
    QLineEdit& Field() const { return *static_cast<QLineEdit*>(widget()); }

    // Where the text begins in the field, whatever its margins, alignment and scrolling: the field's own
    // hit test puts the cursor after the first character from the middle of that character on.
    int TextOrigin() const {
        const QString shown = Field().displayText();
        if (shown.isEmpty()) {
            return 0;
        }
        const int y = Field().height() / 2;
        int before = -1;
        int after = Field().width();
        while (after - before > 1) {
            const int middle = (before + after) / 2;
            (Field().cursorPositionAt(QPoint(middle, y)) >= 1 ? after : before) = middle;
        }
        return after - Field().fontMetrics().horizontalAdvance(shown.left(1)) / 2;
    }
};

// A top-level window built on a bare QWidget, as the main window and the risk chart are. Qt describes such a
// widget as a client area, which readers do not announce as a window; dialogs, main windows and menus have
// interfaces of their own.
bool IsPlainWindow(const QWidget& widget) {
    const QMetaObject* type = widget.metaObject();
    return widget.windowType() == Qt::Window &&
           (type == &QWidget::staticMetaObject || type->superClass() == &QWidget::staticMetaObject);
}

bool HasDecorativeChild(const QWidget& widget) {
    const QObjectList& children = widget.children();
    return std::any_of(children.begin(), children.end(), IsDecorative);
}

QAccessibleInterface* Factory(const QString&, QObject* object) {
    if (auto* button = qobject_cast<TImageBtn*>(object)) {
        return new ImageBtnAccessible(button);
    }
    if (auto* link = qobject_cast<TUrlLabel*>(object)) {
        return new LinkAccessible(link);
    }
    auto* widget = qobject_cast<QWidget*>(object);
    if (widget == nullptr) {
        return nullptr;
    }
    if (IsPlainWindow(*widget)) {
        return new ContainerAccessible(widget, QAccessible::Window);
    }
    if (widget->metaObject() == &QFrame::staticMetaObject) {
        // A bevelled panel is a plain container, and a bevel line a separator; Qt's own role for both reads
        // as a window ("frame") to the readers.
        const auto* frame = static_cast<QFrame*>(widget);
        const bool line = frame->frameShape() == QFrame::HLine || frame->frameShape() == QFrame::VLine;
        return new ContainerAccessible(widget, line ? QAccessible::Separator : QAccessible::Grouping);
    }
    if (qobject_cast<QDialog*>(widget) != nullptr && HasDecorativeChild(*widget)) {
        return new ContainerAccessible(widget, QAccessible::Dialog);
    }
    if (IsDecorative(widget)) {
        return new DecorativeAccessible(widget);
    }
    if (widget->metaObject() == &QLineEdit::staticMetaObject &&
        static_cast<QLineEdit*>(widget)->isReadOnly()) {
        return new ReadOnlyFieldAccessible(static_cast<QLineEdit*>(widget));
    }
    if (auto* label = qobject_cast<QLabel*>(widget);
        label != nullptr && label->property("commandEntry").toBool()) {
        return new CommandEntryAccessible(label);
    }
    return nullptr;
}

} // namespace

void InstallAccessibleControls() {
    static bool installed = false;
    if (!installed) {
        QAccessible::installFactory(Factory);
        installed = true;
    }
}

QString NameFromToolTip(const QString& toolTip) {
    const qsizetype bracket = toolTip.indexOf(QLatin1String(" ("));
    return (bracket >= 0 ? toolTip.left(bracket) : toolTip).trimmed();
}

void ClickAtCentre(QWidget& widget) {
    const QPointF at = QRectF(widget.rect()).center();
    const QPointF global = widget.mapToGlobal(at);
    QPointer<QWidget> alive(&widget);
    QMouseEvent press(QEvent::MouseButtonPress, at, global, Qt::LeftButton, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(&widget, &press);
    if (alive == nullptr) {
        return;
    }
    QMouseEvent release(QEvent::MouseButtonRelease, at, global, Qt::LeftButton, Qt::NoButton, Qt::NoModifier);
    QApplication::sendEvent(&widget, &release);
}

} // namespace brelmont
