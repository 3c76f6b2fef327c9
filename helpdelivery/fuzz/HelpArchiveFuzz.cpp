// SPDX-License-Identifier: MIT
// Feeds arbitrary bytes to the extraction as if they were the program's own file. Besides not crashing or
// hanging, every run must leave the four output files inside the work folder and nothing anywhere else.
#include "base/Exception.h"
#include "helpdelivery/HelpArchive.h"
#include "helpdelivery/WorkFolder.h"

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <dirent.h>
#include <set>
#include <string>
#include <unistd.h>

namespace {

std::string MakePrivateFolder() {
    char pattern[] = "/tmp/brelmont-fuzz-XXXXXX";
    if (mkdtemp(pattern) == nullptr) {
        std::abort();
    }
    return pattern;
}

std::set<std::string> Entries(const std::string& folder) {
    std::set<std::string> names;
    if (DIR* dir = opendir(folder.c_str())) {
        while (const dirent* entry = readdir(dir)) {
            const std::string name = entry->d_name;
            if (name != "." && name != "..") {
                names.insert(name);
            }
        }
        closedir(dir);
    }
    return names;
}

struct Setting {
    std::string runtime = MakePrivateFolder();
    std::string scratch = MakePrivateFolder();
    std::string program = scratch + "/program";
    Setting() {
        setenv("XDG_RUNTIME_DIR", runtime.c_str(), 1);
        brelmont::SetExecutablePath(program);
    }
    Setting(const Setting&) = delete;
    Setting& operator=(const Setting&) = delete;
    ~Setting() {
        unlink(program.c_str());
        rmdir(scratch.c_str());
        rmdir(runtime.c_str());
    }
};

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    static const Setting setting;
    if (FILE* out = std::fopen(setting.program.c_str(), "wb")) {
        std::fwrite(data, 1, size, out);
        std::fclose(out);
    } else {
        std::abort();
    }
    brelmont::SetArchiveCursor(0);
    brelmont::CreateWorkFolder();
    try {
        brelmont::ExtractEntry("help", "hlp", brelmont::WorkFolder(), brelmont::ArchiveCursor());
        brelmont::ExtractEntry("help", "GID", brelmont::WorkFolder(), brelmont::ArchiveCursor());
        brelmont::ExtractEntry("help", "cnt", brelmont::WorkFolder(), brelmont::ArchiveCursor());
        brelmont::ExtractEntry("1", "GID", brelmont::WorkFolder(), brelmont::ArchiveCursor());
    } catch (const brelmont::Exception&) {
        // Damaged archives are expected here; only what they leave behind matters.
    }
    const std::set<std::string> allowed = {"help.hlp", "help.GID", "help.cnt", "1.GID",
                                           brelmont::kRunMarkerName};
    for (const std::string& name : Entries(brelmont::WorkFolder())) {
        if (allowed.count(name) == 0) {
            std::abort();
        }
    }
    if (Entries(setting.scratch) != std::set<std::string>{"program"} ||
        Entries(setting.runtime).size() != 1) {
        std::abort();
    }
    brelmont::RemoveWorkFolder();
    if (!Entries(setting.runtime).empty()) {
        std::abort();
    }
    return 0;
}
