// SPDX-License-Identifier: MIT
#include "SampleHelp.h"

#include "helpviewer/HelpBook.h"

#include <QDir>
#include <QFile>

namespace brelmont::testing {

namespace {

void Write(const QString& path, const QByteArray& bytes) {
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate)) {
        qFatal("cannot write %s", qPrintable(path));
    }
    file.write(bytes);
}

} // namespace

QByteArray EncodeCp1251(const QString& text) {
    QByteArray out;
    for (QChar c : text) {
        if (c.unicode() < 0x80) {
            out += static_cast<char>(c.unicode());
            continue;
        }
        for (int b = 0x80; b < 0x100; ++b) {
            if (viewer::DecodeCp1251(QByteArray(1, static_cast<char>(b))).at(0) == c) {
                out += static_cast<char>(b);
                break;
            }
        }
    }
    return out;
}

QByteArray SampleContents() {
    const QStringList windows = {">Main", ">Main", "", ">Main", ">Main", ">Main"};
    QString text = QStringLiteral(":Base help.hlp\r\n:Title \r\n");
    for (int i = 0; i < 6; ++i) {
        text += QStringLiteral("1 %1=Topic%2%3\r\n").arg(kSampleTitles[i]).arg((i + 1) * 10).arg(windows[i]);
    }
    return EncodeCp1251(text);
}

void WriteSampleHelp(const QString& folder) {
    QString html = QStringLiteral("<!DOCTYPE html>\n<html><head><meta charset=\"utf-8\">"
                                  "<style>.formula { font-style: italic; }</style></head><body>\n");
    for (int i = 0; i < 6; ++i) {
        html += QStringLiteral("<h2 id=\"Topic%1\">%2</h2>\n<p>Текст раздела %1.</p>\n")
                    .arg((i + 1) * 10)
                    .arg(kSampleTitles[i]);
        if (i == 4) {
            html += QStringLiteral("<p class=\"formula\">f = (p·k − 1) / (k − 1)</p>\n"
                                   "<table><tr><th>p</th><th>k</th><th>f</th></tr>"
                                   "<tr><td>55%</td><td>2</td><td>10%</td></tr></table>\n"
                                   "<p>См. <a href=\"#Topic30\">Использование программы</a>.</p>\n");
            // Long enough to scroll: a section further down has to be brought into view.
            for (int line = 1; line <= 40; ++line) {
                html += QStringLiteral("<p>Пояснение %1 к размеру ставки.</p>\n").arg(line);
            }
            html += QStringLiteral("<h3 id=\"RiskChart\">График риска</h3>\n"
                                   "<p>Пример расчёта риска для ставки Келли.</p>\n");
            for (int line = 41; line <= 80; ++line) {
                html += QStringLiteral("<p>Пояснение %1 к графику.</p>\n").arg(line);
            }
        }
    }
    html += QStringLiteral("</body></html>\n");
    Write(QDir(folder).filePath(QStringLiteral("help.hlp")), html.toUtf8());
    Write(QDir(folder).filePath(QStringLiteral("help.cnt")), SampleContents());
    Write(QDir(folder).filePath(QStringLiteral("help.GID")),
          QStringLiteral("Келли\tTopic50\nкнопки\tTopic40\nлицензия\tTopic20\nграфик риска\tRiskChart\n")
              .toUtf8());
    QString list;
    for (int i = 0; i < 6; ++i) {
        list += QStringLiteral("Topic%1\t%2\n").arg((i + 1) * 10).arg(kSampleTitles[i]);
    }
    Write(QDir(folder).filePath(QStringLiteral("1.GID")), list.toUtf8());
}

} // namespace brelmont::testing
