// SPDX-License-Identifier: MIT
#include "helpdelivery/HelpArchive.h"

#include "base/Exception.h"
#include "base/HelpArchiveLayout.h"
#include "base/Text.h"
#include "helpdelivery/WorkFolder.h"

#include <algorithm>
#include <cerrno>
#include <cstddef>
#include <fcntl.h>
#include <limits>
#include <memory>
#include <sys/stat.h>
#include <unistd.h>

namespace brelmont {
namespace {

// The build patches Start (and sets Appended) in the linked file after appending the archive; the tool
// finds the record by its magic bytes, which occur nowhere else in the program. Reading through volatile
// keeps the compiler from folding the placeholder value into the code.
struct ArchiveMark {
    unsigned char Magic[archive::MarkMagicSize];
    std::int32_t Start;
    std::uint32_t Appended;
};
static_assert(sizeof(ArchiveMark) == archive::MarkSize &&
              offsetof(ArchiveMark, Start) == archive::MarkStartAt &&
              offsetof(ArchiveMark, Appended) == archive::MarkAppendedAt);
[[gnu::used]] volatile const ArchiveMark kArchiveMark = {
    {0xB7, 'B', 'r', 'e', 'l', 'm', 'o', 'n', 't', ' ', 'h', 'e', 'l', 'p', 0x1F, 0xE2}, 348672, 0};

std::int32_t gCursor = 0;
std::string gExecutableOverride;

constexpr std::size_t kBufferSize = 64 * 1024;
constexpr std::size_t kNameField = archive::NameField;
constexpr std::int64_t kHeaderSize = archive::HeaderSize;

[[noreturn]] void RaiseIoError(int error) {
    if (error == ENOENT) {
        throw EInOutError("File not found", 0);
    }
    throw EInOutError(FormatMessage("I/O error %s", std::to_string(error)), error);
}

class FileDescriptor {
public:
    explicit FileDescriptor(int fd) : fd_(fd) {}
    FileDescriptor(const FileDescriptor&) = delete;
    FileDescriptor& operator=(const FileDescriptor&) = delete;
    ~FileDescriptor() {
        if (fd_ >= 0) {
            close(fd_);
        }
    }
    int Get() const { return fd_; }

private:
    int fd_ = -1;
};

class Input {
public:
    explicit Input(const std::string& path)
        : file_(open(path.c_str(), O_RDONLY | O_CLOEXEC)), buffer_(new unsigned char[kBufferSize]) {
        if (file_.Get() < 0) {
            RaiseIoError(errno);
        }
    }

    void Seek(std::int32_t offset) {
        if (lseek(file_.Get(), offset, SEEK_SET) < 0) {
            RaiseIoError(errno);
        }
        begin_ = end_ = 0;
    }

    bool AtEnd() {
        if (begin_ < end_) {
            return false;
        }
        Fill();
        return begin_ == end_;
    }

    // Only after AtEnd() answered false.
    unsigned char Next() { return buffer_[begin_++]; }

    // Up to `limit` buffered bytes, consumed; only after AtEnd() answered false.
    std::size_t Take(std::size_t limit, const unsigned char*& bytes) {
        const std::size_t count = std::min(limit, end_ - begin_);
        bytes = buffer_.get() + begin_;
        begin_ += count;
        return count;
    }

private:
    void Fill() {
        ssize_t count = 0;
        do {
            count = read(file_.Get(), buffer_.get(), kBufferSize);
        } while (count < 0 && errno == EINTR);
        if (count < 0) {
            RaiseIoError(errno);
        }
        begin_ = 0;
        end_ = static_cast<std::size_t>(count);
    }

    FileDescriptor file_;
    std::unique_ptr<unsigned char[]> buffer_;
    std::size_t begin_ = 0;
    std::size_t end_ = 0;
};

// The output is opened relative to the folder's own descriptor with O_NOFOLLOW at both steps, so neither
// a link in place of the folder nor a link in place of the file is ever written through.
class Output {
public:
    Output(const std::string& folder, const std::string& fileName) : buffer_(new unsigned char[kBufferSize]) {
        if (fileName.find('/') != std::string::npos || fileName.find('\0') != std::string::npos) {
            RaiseIoError(EINVAL);
        }
        FileDescriptor dir(open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_NOFOLLOW | O_CLOEXEC));
        if (dir.Get() < 0) {
            RaiseIoError(errno);
        }
        struct stat st {};
        if (fstat(dir.Get(), &st) != 0) {
            RaiseIoError(errno);
        }
        if (st.st_uid != geteuid() || (st.st_mode & (S_IRWXG | S_IRWXO)) != 0) {
            RaiseIoError(EACCES);
        }
        if (folder == WorkFolder() && !IsCreatedWorkFolder(st.st_dev, st.st_ino)) {
            RaiseIoError(EEXIST);
        }
        file_ = openat(dir.Get(), fileName.c_str(),
                       O_WRONLY | O_CREAT | O_TRUNC | O_NOFOLLOW | O_NONBLOCK | O_CLOEXEC, S_IRUSR | S_IWUSR);
        if (file_ < 0) {
            RaiseIoError(errno);
        }
    }
    Output(const Output&) = delete;
    Output& operator=(const Output&) = delete;
    ~Output() {
        if (file_ >= 0) {
            close(file_);
        }
    }

    void Write(const unsigned char* bytes, std::size_t count) {
        while (count > 0) {
            if (used_ == kBufferSize) {
                Flush();
            }
            const std::size_t part = std::min(count, kBufferSize - used_);
            std::copy(bytes, bytes + part, buffer_.get() + used_);
            used_ += part;
            bytes += part;
            count -= part;
        }
    }

    void Close() {
        Flush();
        const int fd = file_;
        file_ = -1;
        if (close(fd) != 0) {
            RaiseIoError(errno);
        }
    }

private:
    void Flush() {
        std::size_t done = 0;
        while (done < used_) {
            const ssize_t count = write(file_, buffer_.get() + done, used_ - done);
            if (count < 0 && errno == EINTR) {
                continue;
            }
            if (count <= 0) {
                RaiseIoError(count < 0 ? errno : EIO);
            }
            done += static_cast<std::size_t>(count);
        }
        used_ = 0;
    }

    int file_ = -1;
    std::unique_ptr<unsigned char[]> buffer_;
    std::size_t used_ = 0;
};

// Stops after nine consecutive matching bytes plus one more, which is consumed whatever it is. A space
// matches every position, positions past the key match only a space, and a mismatch starts over at
// position 1 with the next byte: the search never backs up, so it is linear in the bytes it passes.
void SkipToHeader(Input& input, const std::string& key) {
    std::size_t i = 1;
    bool searching = true;
    while (searching && !input.AtEnd()) {
        const unsigned char c = input.Next();
        if (i == kNameField) {
            searching = false;
        }
        const bool matches = c == ' ' || (i <= key.size() && c == static_cast<unsigned char>(key[i - 1]));
        i = matches ? i + 1 : 1;
    }
}

std::string ReadField(Input& input, std::size_t width) {
    std::string field;
    for (std::size_t n = 0; n < width; ++n) {
        if (!input.AtEnd()) {
            field += static_cast<char>(input.Next());
        }
    }
    return field;
}

void Copy(Input& input, Output& output, std::int32_t size) {
    auto remaining = static_cast<std::int64_t>(size);
    while (remaining > 0 && !input.AtEnd()) {
        const unsigned char* bytes = nullptr;
        const std::size_t count = input.Take(static_cast<std::size_t>(remaining), bytes);
        output.Write(bytes, count);
        remaining -= static_cast<std::int64_t>(count);
    }
}

} // namespace

std::int32_t ArchiveStart() {
    return kArchiveMark.Start;
}

std::int32_t ArchiveCursor() {
    return gCursor;
}

void SetArchiveCursor(std::int32_t offset) {
    gCursor = offset;
}

std::string ExecutablePath() {
    if (!gExecutableOverride.empty()) {
        return gExecutableOverride;
    }
    std::string path(256, '\0');
    for (;;) {
        const ssize_t length = readlink("/proc/self/exe", path.data(), path.size());
        if (length < 0) {
            return {};
        }
        if (static_cast<std::size_t>(length) < path.size()) {
            path.resize(static_cast<std::size_t>(length));
            return path;
        }
        path.resize(path.size() * 2);
    }
}

void SetExecutablePath(const std::string& path) {
    gExecutableOverride = path;
}

std::string LeadingToken(const std::string& text) {
    return text.substr(0, text.find(' '));
}

std::int32_t EntrySize(const std::string& token) {
    if (const auto size = ParseDecimalInt32(token)) {
        return *size;
    }
    throw InvalidInteger(token);
}

void ExtractEntry(const std::string& name, const std::string& ext, const std::string& folder,
                  std::int32_t startOffset) {
    const std::string key = name.substr(0, kNameField);
    Input input(ExecutablePath());
    Output output(folder, key + "." + ext);
    input.Seek(startOffset);
    SkipToHeader(input, key);
    const std::string sizeText = ReadField(input, archive::SizeField);
    ReadField(input, archive::ExtensionField);
    std::int32_t size = 0;
    if (!sizeText.empty()) {
        size = EntrySize(LeadingToken(sizeText));
        const std::int64_t next = std::int64_t{gCursor} + size + kHeaderSize;
        if (next < std::numeric_limits<std::int32_t>::min() ||
            next > std::numeric_limits<std::int32_t>::max()) {
            throw EInOutError("Damaged help archive: an entry size leads outside the program file",
                              EOVERFLOW);
        }
        gCursor = static_cast<std::int32_t>(next);
    }
    Copy(input, output, size);
    output.Close();
}

bool ArchiveIntact(const std::string& program, std::int64_t start) {
    FileDescriptor file(open(program.c_str(), O_RDONLY | O_CLOEXEC));
    struct stat st {};
    if (file.Get() < 0 || fstat(file.Get(), &st) != 0 || start < 0) {
        return false;
    }
    const std::int64_t end = st.st_size;
    std::int64_t at = start;
    int entries = 0;
    while (at < end) {
        char header[kHeaderSize];
        if (end - at < kHeaderSize || pread(file.Get(), header, sizeof header, at) != kHeaderSize) {
            return false;
        }
        const std::string sizeField = LeadingToken(std::string(header + kNameField, archive::SizeField));
        if (sizeField.empty() || sizeField.size() > 9 ||
            sizeField.find_first_not_of("0123456789") != std::string::npos) {
            return false;
        }
        at += kHeaderSize + std::stoll(sizeField);
        ++entries;
    }
    return entries > 0 && at == end;
}

void CheckHelpArchive() {
    if (kArchiveMark.Appended == 0 || !ArchiveIntact(ExecutablePath(), ArchiveStart())) {
        throw EInOutError("Справка программы повреждена: её файлы отрезаны от файла программы, "
                          "например командой strip при упаковке. Переустановите программу",
                          0);
    }
}

void UnpackHelp() {
    gCursor = ArchiveStart();
    CreateWorkFolder();
    ExtractEntry("help", "hlp", WorkFolder(), gCursor);
    ExtractEntry("help", "GID", WorkFolder(), gCursor);
    ExtractEntry("help", "cnt", WorkFolder(), gCursor);
    ExtractEntry("1", "GID", WorkFolder(), gCursor);
}

} // namespace brelmont
