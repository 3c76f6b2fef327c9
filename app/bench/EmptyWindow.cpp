// SPDX-License-Identifier: MIT
// The yardstick of the start-up benchmark: the least Qt Widgets program, one empty window of the main
// window's size.
#include <QApplication>
#include <QWidget>

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    QWidget window;
    window.resize(584, 417);
    window.setWindowTitle(QStringLiteral("Empty"));
    window.show();
    return QApplication::exec();
}
