// SPDX-License-Identifier: MIT
// The help archive carried at the end of the program's own file, and its unpacking into the work folder.
// The main window's creation handler calls UnpackHelp; the build appends the archive and records where it
// starts (cmake/HelpArchive.cmake, tools/helppack).
//
// An entry is a 24-byte text header (name 10, size 10, extension 4; each left-aligned, space-padded) and
// then its data. Entries are found by a forward search from ArchiveCursor, which each extraction advances
// by the length of the entry it copied.
#pragma once

#include <cstdint>
#include <string>

namespace brelmont {

// Where the archive begins in this program's file: the program's length before the build appended the
// archive, or 348672 in a program that carries none.
std::int32_t ArchiveStart();

// The offset the next extraction searches from.
std::int32_t ArchiveCursor();
void SetArchiveCursor(std::int32_t offset);

// The running program's own file. Tests and the fuzz target point it at a file of their own; an empty
// path restores the real one.
std::string ExecutablePath();
void SetExecutablePath(const std::string& path);

// The characters of `text` before its first space.
std::string LeadingToken(const std::string& text);

// The size field's value: an optional sign and decimal digits within the signed 32-bit range; anything
// else raises EConvertError "'<token>' is not a valid integer value".
std::int32_t EntrySize(const std::string& token);

// Copies the data of the first entry at or after startOffset whose header matches `name` (its first 10
// characters) into folder/<name>.<ext>, then advances ArchiveCursor by the size field plus 24.
// A header never found leaves an empty file; data ending early leaves a short one.
// Raises EInOutError ("File not found", "I/O error <errno>") when a file cannot be opened, read or written,
// when `folder` is a link or open to other users, or when it is WorkFolder but was not created by this run;
// EConvertError for a bad size field; EInOutError when the cursor would leave the signed 32-bit range.
void ExtractEntry(const std::string& name, const std::string& ext, const std::string& folder,
                  std::int32_t startOffset);

// Whether the file at `program` still carries a whole archive from `start`: one or more entries whose size
// fields are decimal numbers, the last ending exactly at the end of the file. A packaging step that strips
// the program cuts the archive off without a word, and the unpacking alone cannot tell: it then leaves
// empty files, as for a header it never finds.
bool ArchiveIntact(const std::string& program, std::int64_t start);

// Raises EInOutError with a plain sentence saying that the program's help is damaged when the build never
// appended an archive to ExecutablePath() or the archive is no longer whole there. The main window's
// creation runs it after UnpackHelp, whose own behaviour it leaves untouched.
void CheckHelpArchive();

// Sets ArchiveCursor to ArchiveStart, creates the work folder and extracts "help.hlp", "help.GID",
// "help.cnt" and "1.GID". The first error ends the sequence.
void UnpackHelp();

} // namespace brelmont
