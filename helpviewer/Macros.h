// SPDX-License-Identifier: MIT
// The viewer's macro language, as the program's command requests use it: macro calls separated by ";",
// arguments that are quoted texts ("..." with \" and \\ inside, or `...'), numbers, or macro calls.
//   JumpID(file, id) / JI(file, id)   show the topic with that id ("" for the file: the current one)
//   JumpContents(file) / Contents()   show the contents
//   AL(keywords, flags)                associative link; with flag 4 only tells whether a keyword is known
//   JK(file, keywords) / KL(keywords)  jump through the keyword index
//   IE(condition, then, else) / IfThenElse(...)   run the macro text `then` or `else`
// Keywords are separated by ";"; the first that is known wins. What is not defined shows the contents, and
// where a keyword was asked, the keyword search with it.
#pragma once

#include <QString>
#include <functional>

namespace brelmont::viewer {

struct ViewAction {
    enum class Kind { Contents, Topic, KeywordSearch };
    Kind kind = Kind::Contents;
    QString file; // empty: the request's file
    QString topic;
    QString keyword;

    bool operator==(const ViewAction&) const = default;
};

// Finds the topic of a keyword in a help file ("" for the current one); empty when it has none.
using KeywordLookup = std::function<QString(const QString& file, const QString& keyword)>;
// Tells whether a help file ("" for the current one) defines a topic id.
using TopicLookup = std::function<bool(const QString& file, const QString& topicId)>;

// Runs the macro text; the last action it asks for is what the viewer shows. Text that is not a macro call
// shows the contents.
ViewAction RunMacros(const QString& text, const TopicLookup& hasTopic, const KeywordLookup& findKeyword);

} // namespace brelmont::viewer
