// SPDX-License-Identifier: MIT
#include "ui/Dialogs.h"

#include "base/Exception.h"

#include <QApplication>
#include <QContextMenuEvent>
#include <QDialog>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QMessageBox>
#include <QPointer>
#include <QPushButton>
#include <QScreen>
#include <QVBoxLayout>
#include <cctype>

namespace brelmont {

namespace {

std::string& Title() {
    static std::string title;
    return title;
}

QScreen* ScreenOf(const QWidget& widget) {
    QScreen* screen = widget.screen();
    return screen != nullptr ? screen : QGuiApplication::primaryScreen();
}

bool Framed(const QWidget& window) {
    return window.isVisible() && window.frameGeometry() != window.geometry();
}

void CentreFrame(QWidget& window, const QScreen& screen) {
    QRect frame = window.frameGeometry();
    frame.moveCenter(screen.availableGeometry().center());
    // A window's position is its frame's.
    window.move(frame.topLeft());
}

// The frame is known only once the window manager has put it round the shown window: by the first paint,
// which waits for the framed window to be exposed, or the activation that the manager gives a new window.
// Then the whole frame, title bar included, is centred once; later moves are the user's.
class CentreWhenFramed : public QObject {
public:
    explicit CentreWhenFramed(QWidget& window) : QObject(&window), window_(window) {
        window.installEventFilter(this);
    }

    bool eventFilter(QObject*, QEvent* event) override {
        const auto type = event->type();
        const bool mayBeFramed = type == QEvent::Paint || type == QEvent::WindowActivate ||
                                 type == QEvent::Move || type == QEvent::Resize || type == QEvent::Show;
        if (mayBeFramed && Framed(window_)) {
            window_.removeEventFilter(this);
            if (const QScreen* screen = ScreenOf(window_)) {
                CentreFrame(window_, *screen);
            }
            deleteLater();
        }
        return false;
    }

private:
    QWidget& window_;
};

class ContextMenuKey final : public QObject {
public:
    using QObject::QObject;

    bool eventFilter(QObject* watched, QEvent* event) override {
        if (event->type() != QEvent::KeyPress) {
            return false;
        }
        const auto* key = static_cast<QKeyEvent*>(event);
        QWidget* focus = QApplication::focusWidget();
        // A key travels from the focused control up its parents; take it at its first stop only.
        if (key->key() != Qt::Key_F10 || (key->modifiers() & ~Qt::KeypadModifier) != Qt::ShiftModifier ||
            focus == nullptr || watched != focus) {
            return false;
        }
        // Where the Menu key puts the menu: at the text cursor of a field, in the middle of anything else.
        QPoint at = focus->inputMethodQuery(Qt::ImCursorRectangle).toRect().center();
        if (!focus->rect().contains(at)) {
            at = focus->rect().center();
        }
        QContextMenuEvent menu(QContextMenuEvent::Keyboard, at, focus->mapToGlobal(at));
        QApplication::sendEvent(focus, &menu);
        return true;
    }
};

} // namespace

void InstallContextMenuKey() {
    const QString name = QStringLiteral("brelmont_context_menu_key");
    if (qApp == nullptr || qApp->findChild<QObject*>(name, Qt::FindDirectChildrenOnly) != nullptr) {
        return;
    }
    auto* filter = new ContextMenuKey(qApp);
    filter->setObjectName(name);
    qApp->installEventFilter(filter);
}

void CentreOnScreen(QWidget& window) {
    const QScreen* screen = ScreenOf(window);
    if (screen == nullptr) {
        return;
    }
    if (Framed(window)) {
        CentreFrame(window, *screen);
        return;
    }
    // Until the frame is known, the client area stands in the middle, so a window that never gets a frame
    // is centred too.
    QRect client(QPoint(), window.size());
    client.moveCenter(screen->availableGeometry().center());
    window.setGeometry(client);
    new CentreWhenFramed(window);
}

std::string ApplicationTitleFor(const std::string& executablePath) {
    std::string name = executablePath.substr(executablePath.find_last_of('/') + 1);
    name = name.substr(0, name.find('.'));
    for (std::size_t i = 1; i < name.size(); ++i) {
        name[i] = static_cast<char>(std::tolower(static_cast<unsigned char>(name[i])));
    }
    return name;
}

const std::string& ApplicationTitle() {
    return Title();
}

void SetApplicationTitle(const std::string& title) {
    Title() = title;
}

std::string ErrorBoxText(const std::string& message) {
    if (!message.empty() && static_cast<unsigned char>(message.back()) > '.') {
        return message + ".";
    }
    return message;
}

void BuildMessageDialog(QDialog& dialog, std::initializer_list<QWidget*> contents) {
    dialog.setWindowTitle(QString::fromStdString(ApplicationTitle()));
    dialog.setWindowFlags(Qt::Dialog | Qt::MSWindowsFixedSizeDialogHint | Qt::WindowTitleHint |
                          Qt::WindowCloseButtonHint | Qt::CustomizeWindowHint);
    auto* ok = new QPushButton("OK", &dialog);
    ok->setObjectName("OkButton");
    ok->setDefault(true);
    ok->setAutoDefault(true);
    QObject::connect(ok, &QPushButton::clicked, &dialog, &QDialog::accept);
    auto* buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(ok);
    buttons->addStretch();
    auto* layout = new QVBoxLayout(&dialog);
    for (QWidget* widget : contents) {
        layout->addWidget(widget);
    }
    layout->addLayout(buttons);
    layout->setSizeConstraint(QLayout::SetFixedSize);
    layout->activate();
    dialog.adjustSize();
    CentreOnScreen(dialog);
}

void ShowMessage(const std::string& text) {
    QDialog dialog;
    dialog.setObjectName("MessageDialog");
    auto* label = new QLabel(QString::fromStdString(text), &dialog);
    label->setObjectName("MessageText");
    label->setTextFormat(Qt::PlainText);
    label->setWordWrap(true);
    if (const QScreen* screen = ScreenOf(dialog)) {
        const int limit = screen->availableGeometry().width() / 2;
        label->setMaximumWidth(limit);
        // A short text stays on one line; only a long one is folded at the limit.
        label->setMinimumWidth(std::min(limit, label->fontMetrics().horizontalAdvance(label->text())));
    }
    BuildMessageDialog(dialog, {label});
    // Escape rejects a dialog, which here means the same as OK.
    dialog.exec();
}

void ShowErrorBox(const std::string& message) {
    const QPointer<QWidget> active = QApplication::activeWindow();
    QMessageBox box(QMessageBox::Critical, QString::fromStdString(ApplicationTitle()),
                    QString::fromStdString(ErrorBoxText(message)), QMessageBox::Ok);
    box.setObjectName("ErrorBox");
    box.setWindowModality(Qt::ApplicationModal);
    box.exec();
    if (active != nullptr && active->isVisible()) {
        active->activateWindow();
    }
}

void ShowHandlerError(std::exception_ptr error) {
    try {
        std::rethrow_exception(error);
    } catch (const EAbort&) {
    } catch (const Exception& e) {
        ShowErrorBox(e.Message());
    } catch (const std::exception& e) {
        ShowErrorBox(e.what());
    } catch (...) {
        ShowErrorBox("Unknown error");
    }
}

int ShowModal(QDialog& dialog) {
    if (dialog.isVisible()) {
        throw EInvalidOperation("Cannot make a visible window modal");
    }
    const QPointer<QWidget> active = QApplication::activeWindow();
    dialog.setWindowModality(Qt::ApplicationModal);
    const int result = dialog.exec();
    if (active != nullptr && active->isVisible()) {
        active->activateWindow();
    }
    return result;
}

} // namespace brelmont
