// SPDX-License-Identifier: MIT
// The build-time side of the help archive: turns the help sources into the four help files, writes the
// archive, and appends it to a linked program while recording in the program where the archive starts.
// Used by the helppack tool only; every function raises std::runtime_error on bad input.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace brelmont::helppack {

// Cyrillic and ASCII text from UTF-8 into code page 1251; any other character is an error.
std::string Utf8ToCp1251(std::string_view utf8);

// Every line ended by CR LF (a missing last line end is added).
std::string WithCrLf(std::string_view text);

struct Topic {
    std::string Id;
    std::string Title;
};

// The entries of a contents file, "level title=id[>window]", in order.
std::vector<Topic> ContentsTopics(std::string_view contents);

// One "id<TAB>title" line per topic.
std::string TopicList(const std::vector<Topic>& topics);

// Requires one heading <h2 id="ID">TITLE</h2> per topic, in the contents' order, every id="..." of the
// document used once, and valid UTF-8.
void CheckDocument(std::string_view html, const std::vector<Topic>& topics);

// The values of the document's id="..." attributes, in order: the topics' and those of their sections.
std::vector<std::string> DocumentIds(std::string_view html);

// Requires "keyword<TAB>id" lines in valid UTF-8, each naming a known topic or one of `sectionIds` (a place
// inside a topic); returns them with LF line ends.
std::string CheckedIndex(std::string_view keywords, const std::vector<Topic>& topics,
                         const std::vector<std::string>& sectionIds = {});

struct Entry {
    std::string Name;
    std::string Extension;
    std::string Data;
};

// Header fields are left-aligned and space-padded: name 10, decimal size 10, extension 4.
std::string EntryHeader(const Entry& entry);
std::string Archive(const std::vector<Entry>& entries);

// Where the ELF image in `program` ends: the furthest of its header tables, segments and sections with file
// contents. 0 when `program` is not a little-endian ELF file; raises when its headers reach past its end.
std::size_t ElfExtent(std::string_view program);

// The program with `archive` appended and its start mark set to where the archive begins. A program that
// already carries an archive is first cut back to its own length (for ELF files, where the image ends), so
// the step can run again safely, also after a strip that dropped the archive.
std::string WithArchive(std::string program, std::string_view archive);

// The 16 magic bytes that open the start mark (kept out of this tool's own image).
std::string MarkMagic();

} // namespace brelmont::helppack
