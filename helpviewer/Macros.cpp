// SPDX-License-Identifier: MIT
#include "helpviewer/Macros.h"

#include <QStringList>
#include <optional>
#include <vector>

namespace brelmont::viewer {

namespace {

// Nested macro texts in a request come from the program itself; the bound only keeps a hostile request
// from exhausting the stack.
constexpr int kMaxDepth = 16;

struct Value {
    QString text;
    bool truth = false;
};

class Interpreter {
public:
    Interpreter(const TopicLookup& hasTopic, const KeywordLookup& findKeyword)
        : hasTopic_(hasTopic), findKeyword_(findKeyword) {}

    void RunText(const QString& text, int depth) {
        if (depth > kMaxDepth) {
            return;
        }
        const QString saved = source_;
        const qsizetype savedAt = at_;
        source_ = text;
        at_ = 0;
        for (;;) {
            SkipSpace();
            if (at_ >= source_.size()) {
                break;
            }
            if (!Call(depth)) {
                break;
            }
            SkipSpace();
            if (at_ < source_.size() && (source_[at_] == u';' || source_[at_] == u':')) {
                ++at_;
            } else {
                break;
            }
        }
        source_ = saved;
        at_ = savedAt;
    }

    ViewAction action;

private:
    void SkipSpace() {
        while (at_ < source_.size() && source_[at_].isSpace()) {
            ++at_;
        }
    }

    std::optional<QString> Name() {
        const qsizetype from = at_;
        while (at_ < source_.size() && (source_[at_].isLetterOrNumber() || source_[at_] == u'_')) {
            ++at_;
        }
        if (at_ == from) {
            return std::nullopt;
        }
        return source_.mid(from, at_ - from);
    }

    std::optional<QString> Quoted() {
        const QChar open = source_[at_];
        const QChar close = open == u'`' ? QChar(u'\'') : QChar(u'"');
        ++at_;
        QString out;
        while (at_ < source_.size() && source_[at_] != close) {
            if (source_[at_] == u'\\' && at_ + 1 < source_.size()) {
                ++at_;
            }
            out += source_[at_++];
        }
        if (at_ >= source_.size()) {
            return std::nullopt;
        }
        ++at_;
        return out;
    }

    // One argument: a quoted text, a macro call (its value), or a bare word or number.
    std::optional<Value> Argument(int depth) {
        SkipSpace();
        if (at_ >= source_.size()) {
            return std::nullopt;
        }
        if (source_[at_] == u'"' || source_[at_] == u'`') {
            auto text = Quoted();
            if (!text) {
                return std::nullopt;
            }
            return Value{*text, false};
        }
        const qsizetype from = at_;
        auto name = Name();
        if (!name) {
            while (at_ < source_.size() && source_[at_] != u',' && source_[at_] != u')') {
                ++at_;
            }
            return Value{source_.mid(from, at_ - from).trimmed(), false};
        }
        SkipSpace();
        if (at_ < source_.size() && source_[at_] == u'(') {
            at_ = from;
            return Call(depth);
        }
        return Value{*name, false};
    }

    std::optional<Value> Call(int depth) {
        auto name = Name();
        SkipSpace();
        if (!name || at_ >= source_.size() || source_[at_] != u'(') {
            return std::nullopt;
        }
        ++at_;
        std::vector<Value> args;
        SkipSpace();
        if (at_ < source_.size() && source_[at_] == u')') {
            ++at_;
        } else {
            for (;;) {
                if (depth > kMaxDepth) {
                    return std::nullopt;
                }
                auto arg = Argument(depth + 1);
                if (!arg) {
                    return std::nullopt;
                }
                args.push_back(*arg);
                SkipSpace();
                if (at_ < source_.size() && source_[at_] == u',') {
                    ++at_;
                    continue;
                }
                if (at_ < source_.size() && source_[at_] == u')') {
                    ++at_;
                    break;
                }
                return std::nullopt;
            }
        }
        return Execute(name->toLower(), args, depth);
    }

    QString Arg(const std::vector<Value>& args, std::size_t i) const {
        return i < args.size() ? args[i].text : QString();
    }

    QString FindAny(const QString& file, const QString& keywords) const {
        for (const auto& keyword : keywords.split(u';', Qt::SkipEmptyParts)) {
            if (QString topic = findKeyword_(file, keyword.trimmed()); !topic.isEmpty()) {
                return topic;
            }
        }
        return {};
    }

    void JumpToKeyword(const QString& file, const QString& keywords) {
        const QString topic = FindAny(file, keywords);
        if (!topic.isEmpty()) {
            action = {ViewAction::Kind::Topic, file, topic, {}};
        } else {
            action = {ViewAction::Kind::KeywordSearch, file, {}, keywords};
        }
    }

    std::optional<Value> Execute(const QString& name, const std::vector<Value>& args, int depth) {
        if (name == u"jumpid" || name == u"ji") {
            const QString file = Arg(args, 0);
            const QString id = Arg(args, 1);
            if (hasTopic_(file, id)) {
                action = {ViewAction::Kind::Topic, file, id, {}};
            } else {
                action = {ViewAction::Kind::Contents, file, {}, {}};
            }
        } else if (name == u"jumpcontents" || name == u"contents") {
            action = {ViewAction::Kind::Contents, Arg(args, 0), {}, {}};
        } else if (name == u"al" || name == u"alink" || name == u"kl" || name == u"klink") {
            const bool testOnly = (Arg(args, 1).toInt() & 4) != 0;
            if (testOnly) {
                return Value{{}, !FindAny({}, Arg(args, 0)).isEmpty()};
            }
            JumpToKeyword({}, Arg(args, 0));
        } else if (name == u"jk" || name == u"jumpkeyword") {
            JumpToKeyword(Arg(args, 0), Arg(args, 1));
        } else if (name == u"ie" || name == u"ifthenelse" || name == u"ifthen") {
            if (!args.empty()) {
                RunText(args[0].truth ? Arg(args, 1) : Arg(args, 2), depth + 1);
            }
        }
        return Value{{}, false};
    }

    const TopicLookup& hasTopic_;
    const KeywordLookup& findKeyword_;
    QString source_;
    qsizetype at_ = 0;
};

} // namespace

ViewAction RunMacros(const QString& text, const TopicLookup& hasTopic, const KeywordLookup& findKeyword) {
    Interpreter interpreter(hasTopic, findKeyword);
    interpreter.RunText(text, 0);
    return interpreter.action;
}

} // namespace brelmont::viewer
