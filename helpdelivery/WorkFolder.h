// SPDX-License-Identifier: MIT
// The work folder: a private folder with a random eight-letter name that holds the unpacked help while the
// main window is open. The main window creates it (through UnpackHelp) when it is created and removes it
// with RemoveWorkFolder when it closes; the help display makes it the current folder.
//
// The folder lives in the user's private runtime folder ($XDG_RUNTIME_DIR when that is a directory of this
// user closed to others), otherwise in a per-user 0700 folder under the system's temporary folder. It is
// always created by this run: a path that already exists is never taken over, and nothing is written or
// removed through a symbolic link. Each work folder holds a marker naming the run that made it, so that a
// later start can tell the folders of runs that ended without removing theirs (a killed program) and remove
// them.
#pragma once

#include <cstdint>
#include <string>
#include <sys/types.h>

namespace brelmont {

struct UtcTimeOfDay {
    int Hour = 0;
    int Minute = 0;
    int Second = 0;
    int Millisecond = 0;
};

// The file in each work folder that names the run that made it, beside the unpacked help.
inline constexpr char kRunMarkerName[] = ".brelmont-run";

// Where the folder name's randomness comes from; tests fix it.
class Clock {
public:
    virtual ~Clock() = default;
    virtual UtcTimeOfDay Now() const = 0;
};

// Replaces the system clock; nullptr restores it. The clock must outlive its use.
void SetClock(const Clock* clock);

// The generator state, seeded by every RandomFolderName call.
std::uint32_t& RandSeed();

// Advances RandSeed and returns an index in [0, range): the high half of RandSeed * range (0 for range 0).
// Raises nothing.
std::uint32_t RandomIndex(std::uint32_t range);

// Eight lower-case letters; a function of the UTC time of day to the millisecond.
std::string RandomFolderName();

// Full path of the work folder; empty until CreateWorkFolder runs, kept after removal.
const std::string& WorkFolder();

// How many numbered spares of the per-user temporary folder ("brelmont-<uid>-1" …) are tried when that
// name is taken by something that is not this user's private folder.
inline constexpr int kSpareBaseFolders = 8;

// The folder the work folder goes in, checked (owner, mode, not a link) on every call and created when it
// is the per-user temporary one or a spare of it. Empty when no safe folder is available.
std::string BaseFolder();

// Removes the folders earlier runs left behind (RemoveLeftWorkFolders), then chooses WorkFolder and creates
// it with mode 0700 and its run marker. Never reports failure: an existing path or an unsafe
// base folder leaves the folder uncreated, and the extraction that follows reports it.
void CreateWorkFolder();

// Removes from the base folder the work folders of earlier runs whose process is gone. Only folders that
// prove to be this program's own: a work folder's name, a private folder of this user and no link, holding a
// marker that names a run that is over. Anything else is left alone. Reports nothing.
void RemoveLeftWorkFolders();

// True when `device`/`inode` identify the folder this run created as WorkFolder.
bool IsCreatedWorkFolder(dev_t device, ino_t inode);

// Makes "/" the current folder, then removes `path` and everything in it without following symbolic links
// (a link is removed as an entry; its target stays). Read-only entries are removed too. Always true.
bool RemoveTree(const std::string& path);

// Removes the work folder in two passes, the second one's errors discarded. A folder this run did not
// create is left alone.
void RemoveWorkFolder();

} // namespace brelmont
