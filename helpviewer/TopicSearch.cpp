// SPDX-License-Identifier: MIT
#include "helpviewer/TopicSearch.h"

namespace brelmont::viewer {

namespace {

constexpr auto kOptions =
    QRegularExpression::CaseInsensitiveOption | QRegularExpression::UseUnicodePropertiesOption;

// A word where a word of the text starts.
QString Pattern(const QString& word) {
    QString pattern = QStringLiteral("(?<!\\w)");
    for (const QChar c : word) {
        if (c == u'е' || c == u'ё' || c == u'Е' || c == u'Ё') {
            pattern += QStringLiteral("[её]");
        } else {
            pattern += QRegularExpression::escape(QString(c));
        }
    }
    return pattern;
}

QString Trimmed(const QString& word) {
    qsizetype from = 0;
    qsizetype to = word.size();
    while (from < to && !word.at(from).isLetterOrNumber()) {
        ++from;
    }
    while (to > from && !word.at(to - 1).isLetterOrNumber()) {
        --to;
    }
    return word.mid(from, to - from);
}

} // namespace

SearchQuery::SearchQuery(const QString& text) {
    QStringList patterns;
    for (const QString& part : text.simplified().split(u' ', Qt::SkipEmptyParts)) {
        const QString word = Trimmed(part);
        if (!word.isEmpty() && !words_.contains(word, Qt::CaseInsensitive)) {
            words_ << word;
            patterns << Pattern(word);
        }
    }
    if (!patterns.isEmpty()) {
        any_ = QRegularExpression(QStringLiteral("(?:%1)\\w*").arg(patterns.join(u'|')), kOptions);
    }
}

bool SearchQuery::FoundIn(const QString& text) const {
    if (words_.isEmpty()) {
        return false;
    }
    for (const QString& word : words_) {
        if (!QRegularExpression(Pattern(word), kOptions).match(text).hasMatch()) {
            return false;
        }
    }
    return true;
}

} // namespace brelmont::viewer
