// SPDX-License-Identifier: MIT
// One help file as the viewer reads it, with the files unpacked beside it:
//   help.hlp  one UTF-8 HTML document; each topic starts at the element that carries its id (id="Topic10"
//             or name="Topic10") and runs to the start of the next topic;
//   help.cnt  the contents, code page 1251, CR LF: ":Base file", ":Title text" (the help's title, which
//             titles the viewer's window), then "level title=topic[>window]" entries and "level title" books;
//   help.GID  the keyword index, UTF-8, "keyword TAB topic id" per line;
//   1.GID     the topic list, UTF-8, "topic id TAB title [TAB context number]" per line.
// The index files take the help file's base name, except the topic list; names are matched without regard
// to case. Missing companions leave their part empty. Any other id or name in the document marks a section
// of the topic it stands in: the index and jumps may name it like a topic, and it opens at that place.
#pragma once

#include <QHash>
#include <QList>
#include <QString>
#include <QStringList>
#include <optional>

namespace brelmont::viewer {

// Code page 1251 to Unicode.
QString DecodeCp1251(const QByteArray& bytes);

struct ContentsEntry {
    int level = 1;
    QString title;
    QString topicId; // empty for a book
};

struct Topic {
    QString id;
    QString title;
    QString html;
};

// Where an id leads: a topic, and the anchor of a section inside it (empty for the topic's top).
struct TopicPlace {
    QString topicId;
    QString section;

    bool operator==(const TopicPlace&) const = default;
};

class HelpBook {
public:
    // Reads the help file and its companions; false when the help file itself cannot be read.
    bool Load(const QString& helpFilePath);

    const QString& Path() const { return path_; }
    const QString& Title() const { return title_; }
    const QList<ContentsEntry>& Contents() const { return contents_; }
    const Topic* FindTopic(const QString& id) const;
    // The topic or section an id names (compared without regard to case); nullopt when it names neither.
    std::optional<TopicPlace> Locate(const QString& id) const;
    const QList<Topic>& Topics() const { return topics_; }
    // The first topic or section listed for the keyword (compared without regard to case), empty when none.
    QString TopicForKeyword(const QString& keyword) const;
    QString TopicForContext(qint32 context) const;
    QStringList Keywords() const { return keywordOrder_; }
    // The document's style sheet, to go with every topic.
    const QString& Style() const { return style_; }

    void ParseContents(const QString& text);
    void ParseDocument(const QString& html, const QStringList& knownIds);
    void ParseKeywords(const QString& text);
    void ParseTopicList(const QString& text);

private:
    QString path_;
    QString title_;
    QString style_;
    QList<ContentsEntry> contents_;
    QList<Topic> topics_;
    QHash<QString, QString> keywords_;
    QStringList keywordOrder_;
    QHash<QString, QString> listedTitles_;
    QHash<qint32, QString> contexts_;
    // Case-folded section anchor -> the anchor as written, and the topic it stands in.
    QHash<QString, QString> sections_;
    QHash<QString, QString> sectionTopics_;
};

} // namespace brelmont::viewer
