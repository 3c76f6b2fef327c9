// SPDX-License-Identifier: MIT
#include "ui/widgets/Accessible.h"

#include "ui/widgets/ImageBtn.h"
#include "ui/widgets/UrlLabel.h"

#include <QAccessibleWidget>
#include <QApplication>
#include <QLabel>
#include <QMouseEvent>
#include <QPointer>

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
    if (widget->property("decorative").toBool()) {
        return new DecorativeAccessible(widget);
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
