// SPDX-License-Identifier: MIT
#include "helpviewer/HelpBook.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QRegularExpression>
#include <algorithm>

namespace brelmont::viewer {

namespace {

// 0x80 to 0xBF; from 0xC0 on the letters А..я follow in order.
constexpr char16_t kCp1251High[64] = {
    0x0402, 0x0403, 0x201A, 0x0453, 0x201E, 0x2026, 0x2020, 0x2021, 0x20AC, 0x2030, 0x0409, 0x2039, 0x040A,
    0x040C, 0x040B, 0x040F, 0x0452, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022, 0x2013, 0x2014, 0xFFFD, 0x2122,
    0x0459, 0x203A, 0x045A, 0x045C, 0x045B, 0x045F, 0x00A0, 0x040E, 0x045E, 0x0408, 0x00A4, 0x0490, 0x00A6,
    0x00A7, 0x0401, 0x00A9, 0x0404, 0x00AB, 0x00AC, 0x00AD, 0x00AE, 0x0407, 0x00B0, 0x00B1, 0x0406, 0x0456,
    0x0491, 0x00B5, 0x00B6, 0x00B7, 0x0451, 0x2116, 0x0454, 0x00BB, 0x0458, 0x0405, 0x0455, 0x0457};

QStringList Lines(const QString& text) {
    QStringList lines = text.split(u'\n');
    for (auto& line : lines) {
        if (line.endsWith(u'\r')) {
            line.chop(1);
        }
    }
    return lines;
}

// A companion file in the same folder, its name matched without regard to case.
QString Companion(const QFileInfo& help, const QString& name) {
    const QDir dir = help.absoluteDir();
    for (const auto& entry : dir.entryList(QDir::Files)) {
        if (entry.compare(name, Qt::CaseInsensitive) == 0) {
            return dir.filePath(entry);
        }
    }
    return {};
}

QByteArray ReadAll(const QString& path) {
    QFile file(path);
    if (path.isEmpty() || !file.open(QIODevice::ReadOnly)) {
        return {};
    }
    return file.readAll();
}

// Where a topic starts: the tag carrying its id, with any opening tags right before it (a heading around
// an anchor).
qsizetype TopicStart(const QString& html, qsizetype attribute) {
    qsizetype start = html.lastIndexOf(u'<', attribute);
    if (start < 0) {
        return attribute;
    }
    for (;;) {
        qsizetype before = start - 1;
        while (before >= 0 && html.at(before).isSpace()) {
            --before;
        }
        if (before < 0 || html.at(before) != u'>') {
            return start;
        }
        const qsizetype open = html.lastIndexOf(u'<', before);
        if (open < 0 || html.at(open + 1) == u'/' || html.at(open + 1) == u'!' ||
            html.at(before - 1) == u'/') {
            return start;
        }
        static const QRegularExpression container(QStringLiteral("^<(h[1-6]|a|div|section|span)\\b"),
                                                  QRegularExpression::CaseInsensitiveOption);
        if (!container.match(html.mid(open, before - open + 1)).hasMatch()) {
            return start;
        }
        start = open;
    }
}

QString PlainText(QString html) {
    static const QRegularExpression tags(QStringLiteral("<[^>]*>"));
    return html.remove(tags).simplified();
}

} // namespace

QString DecodeCp1251(const QByteArray& bytes) {
    QString out;
    out.reserve(bytes.size());
    for (char c : bytes) {
        const auto b = static_cast<unsigned char>(c);
        if (b < 0x80) {
            out += QChar(b);
        } else if (b < 0xC0) {
            out += QChar(kCp1251High[b - 0x80]);
        } else {
            out += QChar(static_cast<char16_t>(0x0410 + (b - 0xC0)));
        }
    }
    return out;
}

bool HelpBook::Load(const QString& helpFilePath) {
    *this = HelpBook();
    const QFileInfo info(helpFilePath);
    QFile file(helpFilePath);
    if (!info.isFile() || !file.open(QIODevice::ReadOnly)) {
        return false;
    }
    path_ = info.absoluteFilePath();
    const QString document = QString::fromUtf8(file.readAll());
    ParseContents(DecodeCp1251(ReadAll(Companion(info, info.completeBaseName() + QStringLiteral(".cnt")))));
    ParseTopicList(QString::fromUtf8(ReadAll(Companion(info, QStringLiteral("1.GID")))));
    ParseKeywords(
        QString::fromUtf8(ReadAll(Companion(info, info.completeBaseName() + QStringLiteral(".GID")))));
    QStringList ids;
    for (const auto& entry : contents_) {
        if (!entry.topicId.isEmpty()) {
            ids << entry.topicId;
        }
    }
    ids << listedTitles_.keys();
    ParseDocument(document, ids);
    return true;
}

void HelpBook::ParseContents(const QString& text) {
    static const QRegularExpression entry(QStringLiteral("^\\s*(\\d+)\\s+(.*)$"));
    for (const auto& line : Lines(text)) {
        if (line.startsWith(QStringLiteral(":Title"), Qt::CaseInsensitive)) {
            title_ = line.mid(6).trimmed();
            continue;
        }
        if (line.startsWith(u':')) {
            continue;
        }
        const auto match = entry.match(line);
        if (!match.hasMatch()) {
            continue;
        }
        ContentsEntry item;
        item.level = std::max(1, match.captured(1).toInt());
        QString rest = match.captured(2);
        if (const auto equals = rest.lastIndexOf(u'='); equals >= 0) {
            QString target = rest.mid(equals + 1);
            rest.truncate(equals);
            if (const auto window = target.indexOf(u'>'); window >= 0) {
                target.truncate(window);
            }
            if (const auto at = target.indexOf(u'@'); at >= 0) {
                target.truncate(at);
            }
            item.topicId = target.trimmed();
        }
        item.title = rest.trimmed();
        contents_ << item;
    }
}

void HelpBook::ParseTopicList(const QString& text) {
    for (const auto& line : Lines(text)) {
        const QStringList fields = line.split(u'\t');
        if (fields.size() < 2 || fields[0].trimmed().isEmpty()) {
            continue;
        }
        const QString id = fields[0].trimmed();
        listedTitles_.insert(id, fields[1].trimmed());
        bool ok = false;
        const qint32 context = fields.size() > 2 ? fields[2].trimmed().toInt(&ok) : 0;
        if (ok) {
            contexts_.insert(context, id);
        }
    }
}

void HelpBook::ParseKeywords(const QString& text) {
    for (const auto& line : Lines(text)) {
        const auto tab = line.indexOf(u'\t');
        if (tab <= 0) {
            continue;
        }
        const QString keyword = line.left(tab).trimmed();
        const QString key = keyword.toCaseFolded();
        if (!keywords_.contains(key)) {
            keywords_.insert(key, line.mid(tab + 1).trimmed());
            keywordOrder_ << keyword;
        }
    }
}

void HelpBook::ParseDocument(const QString& html, const QStringList& knownIds) {
    static const QRegularExpression styles(QStringLiteral("<style[^>]*>(.*?)</style>"),
                                           QRegularExpression::CaseInsensitiveOption |
                                               QRegularExpression::DotMatchesEverythingOption);
    for (auto it = styles.globalMatch(html); it.hasNext();) {
        style_ += it.next().captured(1);
    }
    struct Start {
        qsizetype at;
        QString id;
    };
    std::vector<Start> starts;
    std::vector<Start> anchors;
    QStringList wanted = knownIds;
    static const QRegularExpression anchor(QStringLiteral("\\b(?:id|name)\\s*=\\s*[\"']([^\"']*)[\"']"));
    for (auto it = anchor.globalMatch(html); it.hasNext();) {
        const auto match = it.next();
        if (wanted.removeAll(match.captured(1)) > 0) {
            starts.push_back({TopicStart(html, match.capturedStart()), match.captured(1)});
        } else if (!match.captured(1).isEmpty()) {
            anchors.push_back({match.capturedStart(), match.captured(1)});
        }
    }
    std::sort(starts.begin(), starts.end(), [](const Start& a, const Start& b) { return a.at < b.at; });
    qsizetype end = html.lastIndexOf(QStringLiteral("</body"), -1, Qt::CaseInsensitive);
    if (end < 0) {
        end = html.size();
    }
    static const QRegularExpression heading(QStringLiteral("<h[1-6][^>]*>(.*?)</h[1-6]>"),
                                            QRegularExpression::CaseInsensitiveOption |
                                                QRegularExpression::DotMatchesEverythingOption);
    for (std::size_t i = 0; i < starts.size(); ++i) {
        const qsizetype from = starts[i].at;
        const qsizetype to = i + 1 < starts.size() ? starts[i + 1].at : std::max(end, from);
        Topic topic;
        topic.id = starts[i].id;
        topic.html = html.mid(from, to - from);
        for (const auto& entry : contents_) {
            if (entry.topicId == topic.id) {
                topic.title = entry.title;
                break;
            }
        }
        if (topic.title.isEmpty()) {
            topic.title = listedTitles_.value(topic.id);
        }
        if (topic.title.isEmpty()) {
            topic.title = PlainText(heading.match(topic.html).captured(1));
        }
        for (const auto& section : anchors) {
            // A topic's own ids come first: an id that is also a topic's stays that topic's.
            const QString key = section.id.toCaseFolded();
            if (section.at >= from && section.at < to && !sections_.contains(key) &&
                !knownIds.contains(section.id, Qt::CaseInsensitive)) {
                sections_.insert(key, section.id);
                sectionTopics_.insert(key, topic.id);
            }
        }
        topics_ << topic;
    }
}

const Topic* HelpBook::FindTopic(const QString& id) const {
    for (const auto& topic : topics_) {
        if (topic.id.compare(id, Qt::CaseInsensitive) == 0) {
            return &topic;
        }
    }
    return nullptr;
}

std::optional<TopicPlace> HelpBook::Locate(const QString& id) const {
    if (const Topic* topic = FindTopic(id)) {
        return TopicPlace{topic->id, {}};
    }
    const QString key = id.trimmed().toCaseFolded();
    if (const auto it = sections_.constFind(key); it != sections_.cend()) {
        return TopicPlace{sectionTopics_.value(key), *it};
    }
    return std::nullopt;
}

QString HelpBook::TopicForKeyword(const QString& keyword) const {
    return keywords_.value(keyword.trimmed().toCaseFolded());
}

QString HelpBook::TopicForContext(qint32 context) const {
    return contexts_.value(context);
}

} // namespace brelmont::viewer
