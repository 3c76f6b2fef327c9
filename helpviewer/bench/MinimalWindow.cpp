// SPDX-License-Identifier: MIT
// The yardstick for the viewer's start: the least a Qt Widgets program does to put a window on screen. It
// prints "shown" once its window is exposed and ends.
#include <QApplication>
#include <QWidget>
#include <QWindow>
#include <cstdio>

namespace {

class ExposeWatch final : public QObject {
public:
    using QObject::QObject;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override {
        if (event->type() == QEvent::Expose && static_cast<QWindow*>(watched)->isExposed()) {
            std::fputs("shown\n", stdout);
            std::fflush(stdout);
            QCoreApplication::exit(0);
        }
        return false;
    }
};

} // namespace

int main(int argc, char** argv) {
    QApplication application(argc, argv);
    QWidget window;
    window.setWindowTitle(QStringLiteral("minimal"));
    window.resize(820, 580);
    window.winId();
    ExposeWatch watch;
    window.windowHandle()->installEventFilter(&watch);
    window.show();
    return application.exec();
}
