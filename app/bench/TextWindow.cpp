// SPDX-License-Identifier: MIT
// The second yardstick of the start-up benchmark: the least Qt Widgets program that shows what the main
// window shows in writing, the same texts in the same fonts at the same pixel sizes, in a window of the same
// size. Any program showing these texts pays for setting up their fonts; what Brelmont takes beyond this is
// its own.
#include <QApplication>
#include <QFont>
#include <QLabel>
#include <QLineEdit>
#include <QWidget>

namespace {

struct Caption {
    const char* text;
    const char* family;
    int pixels;
    bool bold;
};

// The main window's captions as its design gives them.
constexpr Caption Captions[] = {
    {"Вероятность проигрыша", "Arial", 16, true},
    {"Вычислить вероятности", "Arial", 16, false},
    {"Вычислить всё", "Arial", 16, false},
    {"Вероятность события:", "Arial", 16, false},
    {"Коэффициент:", "Arial", 16, false},
    {"Ставка в % от банка:", "Arial", 16, false},
    {"40% от банка", "Arial", 16, true},
    {"60% от банка", "Arial", 16, true},
    {"80% от банка", "Arial", 16, true},
    {"90% от банка", "Arial", 16, true},
    {"%", "Arial", 16, false},
    {"Запуск", "Arial", 15, true},
    {"                                    ", "Times New Roman", 64, false},
};

} // namespace

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    // The same metric-compatible families that Brelmont maps the design's fonts onto.
    QFont::insertSubstitution(QStringLiteral("Arial"), QStringLiteral("Liberation Sans"));
    QFont::insertSubstitution(QStringLiteral("Times New Roman"), QStringLiteral("Liberation Serif"));
    QWidget window;
    window.resize(584, 417);
    window.setWindowTitle(QStringLiteral("Вычисление по методу Келли"));
    int y = 4;
    for (const Caption& caption : Captions) {
        auto* label = new QLabel(QString::fromUtf8(caption.text), &window);
        QFont font(QString::fromLatin1(caption.family));
        font.setPixelSize(caption.pixels);
        font.setBold(caption.bold);
        label->setFont(font);
        label->move(8, y);
        y += 30;
    }
    // The seven fields, whose font is the window's own.
    for (int field = 0; field < 7; ++field) {
        (new QLineEdit(&window))->setGeometry(400, 20 + 40 * field, 73, 28);
    }
    window.show();
    return QApplication::exec();
}
