// SPDX-License-Identifier: MIT
// The second yardstick of the start-up benchmark: the least Qt Widgets program that shows what the main
// window shows in writing, the same texts in the same fonts at the same sizes, in a window of the same size.
// Any program showing these texts pays for setting up their fonts; what Brelmont takes beyond this is its
// own.
#include <QApplication>
#include <QFont>
#include <QLabel>
#include <QLineEdit>
#include <QWidget>

namespace {

struct Caption {
    const char* text;
    const char* family;
    int points;
    bool bold;
};

// The main window's captions as its design gives them; the button captions use the window's own font.
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
    {"                                    ", "Times New Roman", 64, false},
    {"Запуск", "MS Sans Serif", 11, false},
    {"Очистить", "MS Sans Serif", 11, false},
    {"Справка", "MS Sans Serif", 11, false},
    {"На сайт", "MS Sans Serif", 11, false},
    {"О программе", "MS Sans Serif", 11, false},
    {"Выход", "MS Sans Serif", 11, false},
};

QFont Font(const char* family, int points, bool bold) {
    QFont font(QString::fromLatin1(family));
    font.setPointSize(points);
    font.setBold(bold);
    return font;
}

} // namespace

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    // The same metric-compatible families that Brelmont maps the design's fonts onto.
    QFont::insertSubstitution(QStringLiteral("Arial"), QStringLiteral("Liberation Sans"));
    QFont::insertSubstitution(QStringLiteral("Times New Roman"), QStringLiteral("Liberation Serif"));
    QFont::insertSubstitution(QStringLiteral("MS Sans Serif"), QStringLiteral("Liberation Sans"));
    QWidget window;
    window.setFont(Font("MS Sans Serif", 11, false));
    window.resize(584, 417);
    window.setWindowTitle(QStringLiteral("Вычисление по методу Келли"));
    int y = 4;
    for (const Caption& caption : Captions) {
        auto* label = new QLabel(QString::fromUtf8(caption.text), &window);
        label->setFont(Font(caption.family, caption.points, caption.bold));
        label->move(8, y);
        y += 20;
    }
    // The seven entry fields; the last four, which show results, in bold.
    for (int field = 0; field < 7; ++field) {
        auto* entry = new QLineEdit(&window);
        entry->setFont(Font("Arial", 21, field >= 3));
        entry->setGeometry(400, 20 + 40 * field, 73, 34);
    }
    window.show();
    return QApplication::exec();
}
