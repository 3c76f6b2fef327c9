// SPDX-License-Identifier: MIT
// The yardsticks for the viewer's start: the least a Qt Widgets program does to put a window on screen and,
// given texts, the least it does to show them as the viewer does: titles in a contents tree beside a page
// that holds them. It prints "shown" once its window is exposed and ends.
//     minimal-qt-window [TEXT...]
#include <QApplication>
#include <QHBoxLayout>
#include <QTextBrowser>
#include <QTreeWidget>
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
    const QStringList texts = QCoreApplication::arguments().mid(1);
    if (!texts.isEmpty()) {
        auto* layout = new QHBoxLayout(&window);
        auto* contents = new QTreeWidget(&window);
        contents->setHeaderHidden(true);
        QString page;
        for (const QString& text : texts) {
            new QTreeWidgetItem(contents, {text});
            page += QStringLiteral("<h2>%1</h2><p>%1</p>").arg(text.toHtmlEscaped());
        }
        auto* browser = new QTextBrowser(&window);
        browser->setHtml(page);
        layout->addWidget(contents, 1);
        layout->addWidget(browser, 3);
    }
    window.winId();
    ExposeWatch watch;
    window.windowHandle()->installEventFilter(&watch);
    window.show();
    return application.exec();
}
