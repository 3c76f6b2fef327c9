// SPDX-License-Identifier: MIT
#include "HelpPack.h"

#include "base/HelpArchiveLayout.h"

#include <algorithm>
#include <array>
#include <limits>
#include <set>
#include <stdexcept>

namespace brelmont::helppack {
namespace {

constexpr std::uint32_t kAppended = archive::MarkAppended;
constexpr std::size_t kMarkSize = archive::MarkSize;

void Fail(const std::string& what) {
    throw std::runtime_error(what);
}

// Decodes one UTF-8 sequence at `at`; raises on malformed input.
char32_t NextCodePoint(std::string_view text, std::size_t& at) {
    const auto lead = static_cast<unsigned char>(text[at]);
    int extra = 0;
    char32_t value = 0;
    if (lead < 0x80) {
        value = lead;
    } else if ((lead & 0xE0) == 0xC0) {
        extra = 1;
        value = lead & 0x1Fu;
    } else if ((lead & 0xF0) == 0xE0) {
        extra = 2;
        value = lead & 0x0Fu;
    } else if ((lead & 0xF8) == 0xF0) {
        extra = 3;
        value = lead & 0x07u;
    } else {
        Fail("malformed UTF-8 at byte " + std::to_string(at));
    }
    if (extra > 0 && at + static_cast<std::size_t>(extra) >= text.size()) {
        Fail("truncated UTF-8 at byte " + std::to_string(at));
    }
    for (int i = 1; i <= extra; ++i) {
        const auto next = static_cast<unsigned char>(text[at + static_cast<std::size_t>(i)]);
        if ((next & 0xC0) != 0x80) {
            Fail("malformed UTF-8 at byte " + std::to_string(at));
        }
        value = (value << 6) | (next & 0x3Fu);
    }
    static constexpr std::array<char32_t, 4> kSmallest = {0, 0x80, 0x800, 0x10000};
    if (value < kSmallest[static_cast<std::size_t>(extra)] || value > 0x10FFFF ||
        (value >= 0xD800 && value <= 0xDFFF)) {
        Fail("malformed UTF-8 at byte " + std::to_string(at));
    }
    at += static_cast<std::size_t>(extra) + 1;
    return value;
}

void CheckUtf8(std::string_view text) {
    for (std::size_t at = 0; at < text.size();) {
        NextCodePoint(text, at);
    }
}

std::vector<std::string_view> Lines(std::string_view text) {
    std::vector<std::string_view> lines;
    while (!text.empty()) {
        const std::size_t end = text.find('\n');
        std::string_view line = text.substr(0, end);
        if (!line.empty() && line.back() == '\r') {
            line.remove_suffix(1);
        }
        lines.push_back(line);
        text = end == std::string_view::npos ? std::string_view() : text.substr(end + 1);
    }
    return lines;
}

std::string Padded(std::string field, std::size_t width, const char* what) {
    if (field.size() > width) {
        Fail(std::string(what) + " \"" + field + "\" does not fit " + std::to_string(width) + " characters");
    }
    field.resize(width, ' ');
    return field;
}

std::set<std::string> TopicIds(const std::vector<Topic>& topics) {
    std::set<std::string> ids;
    for (const Topic& topic : topics) {
        ids.insert(topic.Id);
    }
    return ids;
}

} // namespace

std::string Utf8ToCp1251(std::string_view utf8) {
    std::string out;
    for (std::size_t at = 0; at < utf8.size();) {
        const std::size_t where = at;
        const char32_t c = NextCodePoint(utf8, at);
        if (c < 0x80) {
            out += static_cast<char>(c);
        } else if (c >= 0x0410 && c <= 0x044F) {
            out += static_cast<char>(c - 0x0410 + 0xC0);
        } else if (c == 0x0401) {
            out += '\xA8';
        } else if (c == 0x0451) {
            out += '\xB8';
        } else {
            Fail("character at byte " + std::to_string(where) + " has no place in code page 1251 here");
        }
    }
    return out;
}

std::string WithCrLf(std::string_view text) {
    std::string out;
    for (std::string_view line : Lines(text)) {
        out.append(line);
        out += "\r\n";
    }
    return out;
}

std::vector<Topic> ContentsTopics(std::string_view contents) {
    std::vector<Topic> topics;
    for (std::string_view line : Lines(contents)) {
        if (line.empty() || line[0] == ':') {
            continue;
        }
        const std::size_t blank = line.find(' ');
        const std::size_t equals = line.rfind('=');
        if (blank == std::string_view::npos || equals == std::string_view::npos || equals < blank) {
            Fail("contents line \"" + std::string(line) + "\" is not \"level title=id\"");
        }
        std::string_view id = line.substr(equals + 1);
        id = id.substr(0, id.find('>'));
        if (id.empty()) {
            Fail("contents line \"" + std::string(line) + "\" names no topic");
        }
        topics.push_back({std::string(id), std::string(line.substr(blank + 1, equals - blank - 1))});
    }
    return topics;
}

std::string TopicList(const std::vector<Topic>& topics) {
    std::string out;
    for (const Topic& topic : topics) {
        out += topic.Id + "\t" + topic.Title + "\n";
    }
    return out;
}

std::vector<std::string> DocumentIds(std::string_view html) {
    std::vector<std::string> ids;
    static constexpr std::string_view kAttribute = " id=\"";
    for (std::size_t at = html.find(kAttribute); at != std::string_view::npos;
         at = html.find(kAttribute, at + 1)) {
        const std::size_t from = at + kAttribute.size();
        const std::size_t end = html.find('"', from);
        if (end == std::string_view::npos) {
            Fail("an id attribute at byte " + std::to_string(at) + " is not closed");
        }
        ids.emplace_back(html.substr(from, end - from));
    }
    return ids;
}

void CheckDocument(std::string_view html, const std::vector<Topic>& topics) {
    CheckUtf8(html);
    std::set<std::string> seen;
    for (const std::string& id : DocumentIds(html)) {
        if (id.empty() || !seen.insert(id).second) {
            Fail("the document uses the id \"" + id + "\" " + (id.empty() ? "empty" : "twice"));
        }
    }
    std::size_t after = 0;
    for (const Topic& topic : topics) {
        const std::string heading = "<h2 id=\"" + topic.Id + "\">" + topic.Title + "</h2>";
        const std::size_t at = html.find(heading);
        if (at == std::string_view::npos) {
            Fail("the document lacks the heading " + heading);
        }
        if (at < after) {
            Fail("the heading of " + topic.Id + " is out of the contents' order");
        }
        after = at;
    }
}

std::string CheckedIndex(std::string_view keywords, const std::vector<Topic>& topics,
                         const std::vector<std::string>& sectionIds) {
    CheckUtf8(keywords);
    std::set<std::string> ids = TopicIds(topics);
    ids.insert(sectionIds.begin(), sectionIds.end());
    std::string out;
    for (std::string_view line : Lines(keywords)) {
        const std::size_t tab = line.find('\t');
        if (tab == 0 || tab == std::string_view::npos || line.find('\t', tab + 1) != std::string_view::npos) {
            Fail("index line \"" + std::string(line) + "\" is not \"keyword<TAB>topic\"");
        }
        if (ids.count(std::string(line.substr(tab + 1))) == 0) {
            Fail("index line \"" + std::string(line) + "\" names an unknown topic or section");
        }
        out.append(line);
        out += '\n';
    }
    return out;
}

std::string EntryHeader(const Entry& entry) {
    if (entry.Data.size() > static_cast<std::size_t>(std::numeric_limits<std::int32_t>::max())) {
        Fail("entry " + entry.Name + " is too large");
    }
    return Padded(entry.Name, archive::NameField, "name") +
           Padded(std::to_string(entry.Data.size()), archive::SizeField, "size") +
           Padded(entry.Extension, archive::ExtensionField, "extension");
}

std::string Archive(const std::vector<Entry>& entries) {
    std::string out;
    for (const Entry& entry : entries) {
        out += EntryHeader(entry);
        out += entry.Data;
    }
    return out;
}

std::string MarkMagic() {
    static constexpr std::array<unsigned char, 16> kEncoded = {
        0x12, 0xE7, 0xD7, 0xC0, 0xC9, 0xC8, 0xCA, 0xCB, 0xD1, 0x85, 0xCD, 0xC0, 0xC9, 0xD5, 0xBA, 0x47};
    std::string magic;
    for (unsigned char byte : kEncoded) {
        magic += static_cast<char>(byte ^ 0xA5);
    }
    return magic;
}

std::size_t ElfExtent(std::string_view program) {
    if (program.size() < 52 ||
        program.substr(0, 4) != "\x7F"
                                "ELF" ||
        program[5] != 1) {
        return 0;
    }
    const bool wide = program[4] == 2;
    if (!wide && program[4] != 1) {
        return 0;
    }
    auto read = [&](std::uint64_t offset, std::size_t bytes) {
        if (offset + bytes > program.size()) {
            Fail("the program's ELF headers reach past its end");
        }
        std::uint64_t value = 0;
        for (std::size_t i = 0; i < bytes; ++i) {
            value |= std::uint64_t{static_cast<unsigned char>(program[offset + i])} << (8 * i);
        }
        return value;
    };
    const std::size_t word = wide ? 8 : 4;
    const std::uint64_t phoff = read(wide ? 32 : 28, word);
    const std::uint64_t shoff = read(wide ? 40 : 32, word);
    const std::uint64_t phentsize = read(wide ? 54 : 42, 2);
    const std::uint64_t phnum = read(wide ? 56 : 44, 2);
    const std::uint64_t shentsize = read(wide ? 58 : 46, 2);
    const std::uint64_t shnum = read(wide ? 60 : 48, 2);
    std::uint64_t end = std::max(phoff + phnum * phentsize, shoff + shnum * shentsize);
    for (std::uint64_t i = 0; i < phnum; ++i) {
        const std::uint64_t header = phoff + i * phentsize;
        end = std::max(end, read(header + (wide ? 8 : 4), word) + read(header + (wide ? 32 : 16), word));
    }
    constexpr std::uint64_t kNoBits = 8;
    for (std::uint64_t i = 0; i < shnum; ++i) {
        const std::uint64_t header = shoff + i * shentsize;
        if (read(header + 4, 4) != kNoBits) {
            end =
                std::max(end, read(header + (wide ? 24 : 16), word) + read(header + (wide ? 32 : 20), word));
        }
    }
    if (end > program.size()) {
        Fail("the program's ELF image reaches past its end");
    }
    return static_cast<std::size_t>(end);
}

std::string WithArchive(std::string program, std::string_view archive) {
    const std::string magic = MarkMagic();
    const std::size_t at = program.find(magic);
    if (at == std::string::npos) {
        Fail("the program has no archive start mark; does it link the help delivery library?");
    }
    if (program.find(magic, at + 1) != std::string::npos) {
        Fail("the program holds the archive start mark more than once");
    }
    if (at + kMarkSize > program.size()) {
        Fail("the archive start mark is cut off");
    }
    auto field = [&](std::size_t offset) {
        std::uint32_t value = 0;
        for (std::size_t i = 0; i < 4; ++i) {
            value |= std::uint32_t{static_cast<unsigned char>(program[at + offset + i])} << (8 * i);
        }
        return value;
    };
    auto store = [&](std::size_t offset, std::uint32_t value) {
        for (std::size_t i = 0; i < 4; ++i) {
            program[at + offset + i] = static_cast<char>((value >> (8 * i)) & 0xFFu);
        }
    };
    // An ELF program's own length is where its image ends, whatever the mark says: a packager's strip
    // rewrites the program, drops the archive and leaves the mark holding the length from before.
    if (const std::size_t extent = ElfExtent(program); extent != 0) {
        if (at + kMarkSize > extent) {
            Fail("the archive start mark lies outside the program's image");
        }
        program.resize(extent);
    } else if (field(archive::MarkAppendedAt) == kAppended) {
        const std::uint32_t length = field(archive::MarkStartAt);
        if (length < at + kMarkSize || length > program.size()) {
            Fail("the archive start mark holds an impossible length");
        }
        program.resize(length);
    }
    if (program.size() > static_cast<std::size_t>(std::numeric_limits<std::int32_t>::max())) {
        Fail("the program is too large for a 32-bit archive offset");
    }
    store(archive::MarkStartAt, static_cast<std::uint32_t>(program.size()));
    store(archive::MarkAppendedAt, kAppended);
    program.append(archive);
    return program;
}

} // namespace brelmont::helppack
