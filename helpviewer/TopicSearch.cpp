// SPDX-License-Identifier: MIT
#include "helpviewer/TopicSearch.h"

#include <algorithm>

namespace brelmont::viewer {

namespace {

QString Pattern(const QString& word) {
    QString pattern;
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
    for (const QString& part : text.split(QRegularExpression(QStringLiteral("\\s+")), Qt::SkipEmptyParts)) {
        const QString word = Trimmed(part);
        if (!word.isEmpty() && !words_.contains(word, Qt::CaseInsensitive)) {
            words_ << word;
        }
    }
    QStringList alternatives;
    for (const QString& word : words_) {
        // Only the start of a word has to match: Russian words change their endings.
        const QString pattern = QStringLiteral("(?<![\\w])") + Pattern(word);
        patterns_ << QRegularExpression(pattern, QRegularExpression::CaseInsensitiveOption |
                                                     QRegularExpression::UseUnicodePropertiesOption);
        alternatives << pattern;
    }
    std::stable_sort(alternatives.begin(), alternatives.end(),
                     [](const QString& a, const QString& b) { return a.size() > b.size(); });
    if (!alternatives.isEmpty()) {
        any_ =
            QRegularExpression(alternatives.join(u'|'), QRegularExpression::CaseInsensitiveOption |
                                                            QRegularExpression::UseUnicodePropertiesOption);
    }
}

int SearchQuery::Hits(const QString& text) const {
    if (patterns_.isEmpty()) {
        return 0;
    }
    int total = 0;
    for (const auto& pattern : patterns_) {
        int count = 0;
        for (auto it = pattern.globalMatch(text); it.hasNext(); it.next()) {
            ++count;
        }
        if (count == 0) {
            return 0;
        }
        total += count;
    }
    return total;
}

QList<SearchHit> SearchTopics(const HelpBook& book, const SearchQuery& query) {
    QList<SearchHit> found;
    if (query.IsEmpty()) {
        return found;
    }
    for (const Topic& topic : book.Topics()) {
        if (const int hits = query.Hits(topic.text); hits > 0) {
            found.push_back({topic.id, topic.title, hits});
        }
    }
    return found;
}

} // namespace brelmont::viewer
