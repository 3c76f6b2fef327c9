// SPDX-License-Identifier: MIT
// The words of a full-text search in the help. A topic is found when it holds every word of the query at the
// start of a word of its text ("ставк" finds "ставка" and "ставки", not "заставка"), without regard to case
// and with е and ё taken as one letter, since Russian texts often write ё as е. The same pattern marks the
// hits, each to the end of the word it starts, in the topic the reader opens.
#pragma once

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
    // Any one word of the query with the rest of the word it starts: the hits to mark.
    const QRegularExpression& AnyWord() const { return any_; }
    // Whether `text` holds every word.
    bool FoundIn(const QString& text) const;

private:
    QStringList words_;
    QRegularExpression any_;
};

} // namespace brelmont::viewer
