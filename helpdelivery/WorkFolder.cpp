// SPDX-License-Identifier: MIT
#include "helpdelivery/WorkFolder.h"

#include <algorithm>
#include <cerrno>
#include <cstdlib>
#include <ctime>
#include <dirent.h>
#include <fcntl.h>
#include <memory>
#include <string_view>
#include <sys/stat.h>
#include <unistd.h>
#include <vector>

namespace brelmont {
namespace {

// Index 0..25 to letter; a permutation of a..z, so every letter is equally likely.
constexpr std::string_view kLetters = "atvdfmrqxucejyzwposigbnlkh";

class SystemClock final : public Clock {
public:
    UtcTimeOfDay Now() const override {
        timespec now{};
        clock_gettime(CLOCK_REALTIME, &now);
        const time_t seconds = now.tv_sec;
        tm utc{};
        gmtime_r(&seconds, &utc);
        return {utc.tm_hour, utc.tm_min, utc.tm_sec, static_cast<int>(now.tv_nsec / 1000000)};
    }
};

const SystemClock gSystemClock;
const Clock* gClock = &gSystemClock;
std::uint32_t gRandSeed = 0;
std::string gWorkFolder;

// The created folder stays open for the whole run, so its inode cannot be handed to a folder made in its
// place after it is gone, and the identity check cannot be fooled by reuse.
struct FolderIdentity {
    bool Valid = false;
    dev_t Device = 0;
    ino_t Inode = 0;
    int Held = -1;

    void Forget() {
        if (Held >= 0) {
            close(Held);
        }
        *this = {};
    }
};
FolderIdentity gCreated;

bool IsPrivateFolder(const struct stat& st) {
    return S_ISDIR(st.st_mode) && st.st_uid == geteuid() && (st.st_mode & (S_IRWXG | S_IRWXO)) == 0;
}

bool IsPrivateFolder(const std::string& path) {
    struct stat st {};
    return lstat(path.c_str(), &st) == 0 && IsPrivateFolder(st);
}

std::string WithoutTrailingSlashes(std::string path) {
    while (path.size() > 1 && path.back() == '/') {
        path.pop_back();
    }
    return path;
}

std::string AbsoluteEnv(const char* name) {
    const char* value = std::getenv(name);
    if (value == nullptr || value[0] != '/') {
        return {};
    }
    return WithoutTrailingSlashes(value);
}

std::string PerUserTempFolder() {
    std::string temp = AbsoluteEnv("TMPDIR");
    struct stat st {};
    if (temp.empty() || stat(temp.c_str(), &st) != 0 || !S_ISDIR(st.st_mode)) {
        temp = "/tmp";
    }
    if (temp == "/") {
        temp.clear();
    }
    return temp + "/brelmont-" + std::to_string(geteuid());
}

std::vector<std::string> EntryNames(DIR* folder) {
    std::vector<std::string> names;
    while (const dirent* entry = readdir(folder)) {
        const std::string_view name = entry->d_name;
        if (name != "." && name != "..") {
            names.emplace_back(name);
        }
    }
    return names;
}

struct CloseFolder {
    void operator()(DIR* folder) const { closedir(folder); }
};
using FolderHandle = std::unique_ptr<DIR, CloseFolder>;

// Empties the folder `name` under `parent`. The folder is made writable first so that a read-only folder's
// entries can go; entries are examined without following links, and a folder is only ever opened with
// O_NOFOLLOW, so a link swapped in meanwhile is not entered.
void RemoveContents(int parent, const char* name) {
    const int fd = openat(parent, name, O_RDONLY | O_DIRECTORY | O_NOFOLLOW | O_CLOEXEC);
    if (fd < 0) {
        return;
    }
    fchmod(fd, S_IRWXU);
    const FolderHandle folder(fdopendir(fd));
    if (!folder) {
        close(fd);
        return;
    }
    const int at = dirfd(folder.get());
    for (const std::string& entry : EntryNames(folder.get())) {
        struct stat st {};
        if (fstatat(at, entry.c_str(), &st, AT_SYMLINK_NOFOLLOW) != 0) {
            continue;
        }
        if (S_ISDIR(st.st_mode)) {
            RemoveContents(at, entry.c_str());
            unlinkat(at, entry.c_str(), AT_REMOVEDIR);
        } else {
            unlinkat(at, entry.c_str(), 0);
        }
    }
}

enum class Owner { Anyone, Me };

// Reads the first 4 KiB of a plain file (`owner` Me: only one of this user); empty when it cannot be read.
std::string ReadSmallFile(int at, const char* path, int flags, Owner owner) {
    const int fd = openat(at, path, O_RDONLY | O_CLOEXEC | O_NOCTTY | O_NONBLOCK | flags);
    if (fd < 0) {
        return {};
    }
    std::string text;
    struct stat st {};
    if (fstat(fd, &st) == 0 && S_ISREG(st.st_mode) && (owner == Owner::Anyone || st.st_uid == geteuid())) {
        char buffer[4096];
        const ssize_t got = read(fd, buffer, sizeof(buffer));
        if (got > 0) {
            text.assign(buffer, static_cast<std::size_t>(got));
        }
    }
    close(fd);
    return text;
}

// What tells one run of a process from every other on this machine: the boot, the process id and the time
// the process started after the boot. Empty when the system does not say.
std::string RunIdentity(const std::string& pid) {
    std::string boot = ReadSmallFile(AT_FDCWD, "/proc/sys/kernel/random/boot_id", 0, Owner::Anyone);
    const std::string stat = ReadSmallFile(AT_FDCWD, ("/proc/" + pid + "/stat").c_str(), 0, Owner::Anyone);
    // The start time is the 22nd field; the second, the command's name, may hold blanks and parentheses.
    const std::size_t nameEnd = stat.rfind(')');
    if (boot.empty() || nameEnd == std::string::npos) {
        return {};
    }
    std::size_t at = nameEnd + 1;
    std::string field;
    for (int index = 3; index <= 22 && at < stat.size(); ++index) {
        at = stat.find_first_not_of(' ', at);
        const std::size_t end = std::min(stat.find(' ', at), stat.size());
        field = stat.substr(at, end - at);
        at = end;
    }
    while (!boot.empty() && (boot.back() == '\n' || boot.back() == ' ')) {
        boot.pop_back();
    }
    return field.empty() ? std::string() : "brelmont-run " + boot + " " + pid + " " + field + "\n";
}

std::string OwnRunIdentity() {
    return RunIdentity(std::to_string(getpid()));
}

bool IsFolderName(std::string_view name) {
    return name.size() == 8 && name.find_first_not_of(kLetters) == std::string_view::npos;
}

// The pid a marker names, or empty when the text is no marker of this program.
std::string MarkedPid(const std::string& marker) {
    constexpr std::string_view kTag = "brelmont-run ";
    if (marker.compare(0, kTag.size(), kTag) != 0) {
        return {};
    }
    const std::size_t pidStart = marker.find(' ', kTag.size());
    if (pidStart == std::string::npos) {
        return {};
    }
    const std::size_t pidEnd = marker.find(' ', pidStart + 1);
    std::string pid = marker.substr(pidStart + 1, pidEnd - pidStart - 1);
    if (pid.empty() || pid.size() > 10 || pid.find_first_not_of("0123456789") != std::string::npos) {
        return {};
    }
    return pid;
}

// A folder under `base` is a leftover of this program when it has a work folder's name, is a private folder
// of this user (not a link), and holds a marker, a plain file of this user, naming a run that is over: that
// process is gone, or the id now belongs to another process or another boot.
bool IsLeftOver(int base, const std::string& name) {
    struct stat st {};
    if (!IsFolderName(name) || fstatat(base, name.c_str(), &st, AT_SYMLINK_NOFOLLOW) != 0 ||
        !IsPrivateFolder(st)) {
        return false;
    }
    const int folder = openat(base, name.c_str(), O_RDONLY | O_DIRECTORY | O_NOFOLLOW | O_CLOEXEC);
    if (folder < 0) {
        return false;
    }
    const std::string marker = ReadSmallFile(folder, kRunMarkerName, O_NOFOLLOW, Owner::Me);
    close(folder);
    const std::string pid = MarkedPid(marker);
    if (pid.empty() || std::to_string(getpid()) == pid) {
        return false;
    }
    const std::string now = RunIdentity(pid);
    // A run that cannot be told apart is over only when the system can still describe runs at all.
    return now != marker && (!now.empty() || !OwnRunIdentity().empty());
}

void WriteRunMarker(int folder) {
    const std::string identity = OwnRunIdentity();
    const int fd = openat(folder, kRunMarkerName, O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC,
                          S_IRUSR | S_IWUSR);
    if (fd < 0) {
        return;
    }
    [[maybe_unused]] const ssize_t written = write(fd, identity.data(), identity.size());
    close(fd);
}

bool StillCreatedFolder(const std::string& path) {
    struct stat st {};
    return gCreated.Valid && lstat(path.c_str(), &st) == 0 && S_ISDIR(st.st_mode) &&
           IsCreatedWorkFolder(st.st_dev, st.st_ino);
}

} // namespace

void SetClock(const Clock* clock) {
    gClock = clock != nullptr ? clock : &gSystemClock;
}

std::uint32_t& RandSeed() {
    return gRandSeed;
}

std::uint32_t RandomIndex(std::uint32_t range) {
    gRandSeed = gRandSeed * 134775813u + 1u;
    return static_cast<std::uint32_t>((std::uint64_t{gRandSeed} * range) >> 32);
}

std::string RandomFolderName() {
    const UtcTimeOfDay now = gClock->Now();
    gRandSeed =
        static_cast<std::uint32_t>(((now.Hour * 60 + now.Minute) * 60 + now.Second) * 1000 + now.Millisecond);
    std::string name;
    for (int i = 0; i < 8; ++i) {
        name += kLetters[RandomIndex(static_cast<std::uint32_t>(kLetters.size()))];
    }
    return name;
}

const std::string& WorkFolder() {
    return gWorkFolder;
}

std::string BaseFolder() {
    if (std::string runtime = AbsoluteEnv("XDG_RUNTIME_DIR"); !runtime.empty() && IsPrivateFolder(runtime)) {
        return runtime;
    }
    // Another local user can take the shared temporary folder's name first, or leave a file there; the
    // numbered spares keep the help available then. They are tried in a fixed order, so that every run of
    // this user still meets the others' help viewer and left folders in the same place.
    const std::string mine = PerUserTempFolder();
    for (int spare = 0; spare <= kSpareBaseFolders; ++spare) {
        const std::string path = spare == 0 ? mine : mine + "-" + std::to_string(spare);
        mkdir(path.c_str(), S_IRWXU);
        if (IsPrivateFolder(path)) {
            return path;
        }
    }
    return {};
}

void CreateWorkFolder() {
    RemoveLeftWorkFolders();
    gCreated.Forget();
    std::string base = BaseFolder();
    const bool usable = !base.empty();
    if (!usable) {
        base = PerUserTempFolder();
    }
    gWorkFolder = base + "/" + RandomFolderName();
    if (!usable) {
        return;
    }
    struct stat st {};
    if (lstat(gWorkFolder.c_str(), &st) == 0 || errno != ENOENT) {
        gWorkFolder = base + "/" + RandomFolderName();
    }
    // mkdir fails on anything already there, link included, so the folder is always this run's own.
    if (mkdir(gWorkFolder.c_str(), S_IRWXU) != 0) {
        return;
    }
    const int held = open(gWorkFolder.c_str(), O_RDONLY | O_DIRECTORY | O_NOFOLLOW | O_CLOEXEC);
    if (held < 0) {
        return;
    }
    if (fstat(held, &st) == 0 && st.st_uid == geteuid()) {
        fchmod(held, S_IRWXU);
        gCreated = {true, st.st_dev, st.st_ino, held};
        WriteRunMarker(held);
    } else {
        close(held);
    }
}

void RemoveLeftWorkFolders() {
    const std::string base = BaseFolder();
    if (base.empty()) {
        return;
    }
    const int at = open(base.c_str(), O_RDONLY | O_DIRECTORY | O_NOFOLLOW | O_CLOEXEC);
    if (at < 0) {
        return;
    }
    const int listed = dup(at);
    const FolderHandle folder(listed >= 0 ? fdopendir(listed) : nullptr);
    if (folder) {
        for (const std::string& name : EntryNames(folder.get())) {
            if (IsLeftOver(at, name)) {
                RemoveContents(at, name.c_str());
                unlinkat(at, name.c_str(), AT_REMOVEDIR);
            }
        }
    } else if (listed >= 0) {
        close(listed);
    }
    close(at);
}

bool IsCreatedWorkFolder(dev_t device, ino_t inode) {
    return gCreated.Valid && gCreated.Device == device && gCreated.Inode == inode;
}

bool RemoveTree(const std::string& path) {
    // The removal below does not depend on the current folder, so a failure here changes nothing.
    const int changed = chdir("/");
    static_cast<void>(changed);
    const std::string folder = WithoutTrailingSlashes(path);
    if (folder.empty()) {
        return true;
    }
    RemoveContents(AT_FDCWD, folder.c_str());
    rmdir(folder.c_str());
    return true;
}

void RemoveWorkFolder() {
    if (!StillCreatedFolder(gWorkFolder)) {
        RemoveTree("");
        return;
    }
    RemoveTree(gWorkFolder);
    try {
        if (StillCreatedFolder(gWorkFolder)) {
            RemoveTree(gWorkFolder);
        }
    } catch (...) {
        // A second pass only mops up; whatever stops it is not worth the user's attention.
    }
}

} // namespace brelmont
