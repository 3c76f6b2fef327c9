// SPDX-License-Identifier: MIT
// Full-text search over the topics of a help book. A query is a few words; a topic is found when it holds
// every one of them somewhere in its text, as a whole word or as the start of one ("ставк" finds "ставка"
// and "ставки"), without regard to case and with е and ё taken as one letter, since Russian texts often
// write ё as е. The same patterns mark the hits in the topic the reader opens.
#pragma once

#include "helpviewer/HelpBook.h"

#include <QList>
#include <QRegularExpression>
#include <QString>
#include <QStringList>

namespace brelmont::viewer {

class SearchQuery {
public:
    // Words are parted by white space; punctuation around a word is dropped.
    explicit SearchQuery(const QString& text = {});

    bool IsEmpty() const { return words_.isEmpty(); }
    const QStringList& Words() const { return words_; }
    // Any one word of the query, the longer ones tried first: the hits to mark.
    const QRegularExpression& AnyWord() const { return any_; }
    // How often the words occur in `text`; 0 when any one of them is missing.
    int Hits(const QString& text) const;

private:
    QStringList words_;
    QList<QRegularExpression> patterns_;
    QRegularExpression any_;
};

struct SearchHit {
    QString topicId;
    QString title;
    int hits = 0;
};

// The topics that hold every word of the query, in the book's order; none for an empty query.
QList<SearchHit> SearchTopics(const HelpBook& book, const SearchQuery& query);

} // namespace brelmont::viewer
