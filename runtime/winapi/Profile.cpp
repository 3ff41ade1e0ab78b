// The settings-file services on Linux: GetPrivateProfileStringA and
// WritePrivateProfileStringA over a file on disk, its text read and edited by
// forms::profile, at the place SettingsPath.h gives it. Only a named file is
// used; there is no system-wide file to fall back on. Listing the names of sections or keys, and deleting them (the
// services' forms with a null argument), are not provided: the program never
// asks for them.
#include "windows.h"

#include "ProfileText.h"
#include "SettingsPath.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <atomic>
#include <cerrno>
#include <climits>
#include <cstring>
#include <optional>
#include <string>
#include <string_view>

namespace {

// The folder holding path, without the final "/"; "." when path names none.
std::string FolderOf(const std::string& path)
{
    const std::size_t slash = path.rfind('/');
    if (slash == std::string::npos)
        return ".";
    return slash == 0 ? "/" : path.substr(0, slash);
}

// path with symbolic links followed, so that writing replaces the file a
// link points to and leaves the link in place.
std::string LinkTarget(std::string path)
{
    for (int hop = 0; hop < 40; ++hop) {
        struct stat status {};
        if (::lstat(path.c_str(), &status) != 0 || !S_ISLNK(status.st_mode))
            return path;
        std::string target(PATH_MAX, '\0');
        const ssize_t length = ::readlink(path.c_str(), target.data(), target.size());
        if (length <= 0 || static_cast<std::size_t>(length) >= target.size())
            return path;
        target.resize(static_cast<std::size_t>(length));
        path = target.front() == '/' ? target : FolderOf(path) + "/" + target;
    }
    return path;
}

// All bytes from the descriptor's position on, or nullopt on a read error.
std::optional<std::string> ReadAll(int descriptor)
{
    std::string bytes;
    char chunk[65536];
    for (;;) {
        const ssize_t count = ::read(descriptor, chunk, sizeof chunk);
        if (count == 0)
            return bytes;
        if (count < 0 && errno != EINTR)
            return std::nullopt;
        if (count > 0)
            bytes.append(chunk, static_cast<std::size_t>(count));
    }
}

bool WriteAll(int descriptor, std::string_view bytes)
{
    while (!bytes.empty()) {
        const ssize_t count = ::write(descriptor, bytes.data(), bytes.size());
        if (count < 0 && errno != EINTR)
            return false;
        if (count > 0)
            bytes.remove_prefix(static_cast<std::size_t>(count));
    }
    return true;
}

enum class FileState { Read, Missing, Unusable };

struct ExistingFile {
    FileState state;
    std::string bytes;
    struct stat status;
};

// The regular file at path opened with flags and read whole; Unusable when
// it cannot be opened that way, is no regular file or cannot be read.
// Opening does not wait on a pipe or device.
ExistingFile ReadRegularFile(const std::string& path, int flags)
{
    ExistingFile file { FileState::Unusable, {}, {} };
    const int descriptor = ::open(path.c_str(), flags | O_CLOEXEC | O_NONBLOCK | O_NOCTTY);
    if (descriptor < 0) {
        file.state = errno == ENOENT ? FileState::Missing : FileState::Unusable;
        return file;
    }
    if (::fstat(descriptor, &file.status) == 0 && S_ISREG(file.status.st_mode)) {
        if (std::optional<std::string> bytes = ReadAll(descriptor)) {
            file.bytes = std::move(*bytes);
            file.state = FileState::Read;
        }
    }
    ::close(descriptor);
    return file;
}

// Copies at most size - 1 bytes of text and a NUL; the count copied.
DWORD CopyOut(std::string_view text, LPSTR buffer, DWORD size)
{
    const std::size_t count = std::min<std::size_t>(text.size(), size - 1);
    if (count > 0)
        std::memcpy(buffer, text.data(), count);
    buffer[count] = '\0';
    return static_cast<DWORD>(count);
}

// The default as the platform uses it: none is empty, trailing spaces are dropped.
std::string_view DefaultText(LPCSTR defaultValue)
{
    std::string_view text = defaultValue != nullptr ? defaultValue : "";
    while (!text.empty() && text.back() == ' ')
        text.remove_suffix(1);
    return text;
}

struct TemporaryFile {
    int descriptor;
    std::string path;
};

// A new, empty file beside path with a name no other file has.
std::optional<TemporaryFile> CreateTemporaryBeside(const std::string& path)
{
    static std::atomic<unsigned> counter { 0 };
    const std::string base = path.substr(path.rfind('/') + 1);
    for (int attempt = 0; attempt < 100; ++attempt) {
        std::string name = FolderOf(path) + "/." + base + "." + std::to_string(::getpid()) + "."
            + std::to_string(counter++) + ".tmp";
        const int descriptor = ::open(name.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0644);
        if (descriptor >= 0)
            return TemporaryFile { descriptor, std::move(name) };
        if (errno != EEXIST)
            return std::nullopt;
    }
    return std::nullopt;
}

// Gives the new file the old one's permissions, and its owner where that is
// allowed: only root may give a file away, so a failure there is no failure.
bool TakeOver(int descriptor, const struct stat& old)
{
    if (::fchown(descriptor, old.st_uid, old.st_gid) != 0 && errno != EPERM)
        return false;
    return ::fchmod(descriptor, old.st_mode & 07777) == 0;
}

void SyncFolder(const std::string& path)
{
    const int folder = ::open(FolderOf(path).c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (folder >= 0) {
        ::fsync(folder);
        ::close(folder);
    }
}

// Replaces the file at path by one holding bytes, so that a reader or a
// crash sees the old file or the new one whole, never a mix of both.
bool ReplaceFile(const std::string& path, std::string_view bytes, const struct stat* old)
{
    const std::optional<TemporaryFile> temporary = CreateTemporaryBeside(path);
    if (!temporary)
        return false;
    bool written = (!old || TakeOver(temporary->descriptor, *old)) && WriteAll(temporary->descriptor, bytes)
        && ::fsync(temporary->descriptor) == 0;
    written = ::close(temporary->descriptor) == 0 && written;
    if (!written || ::rename(temporary->path.c_str(), path.c_str()) != 0) {
        ::unlink(temporary->path.c_str());
        return false;
    }
    SyncFolder(path);
    return true;
}

BOOL WriteProfile(LPCSTR section, LPCSTR key, LPCSTR value, const std::string& path)
{
    // Opened for writing too: a file that may not be written must stay as
    // it is, although its folder would let a new file replace it.
    const ExistingFile old = ReadRegularFile(path, O_RDWR);
    if (old.state == FileState::Unusable)
        return FALSE;
    const bool exists = old.state == FileState::Read;
    const std::string newBytes = forms::profile::SetValue(old.bytes, section, key, value);
    if (exists && newBytes == old.bytes)
        return TRUE;
    return ReplaceFile(path, newBytes, exists ? &old.status : nullptr) ? TRUE : FALSE;
}

} // namespace

DWORD GetPrivateProfileStringA(
    LPCSTR section, LPCSTR key, LPCSTR defaultValue, LPSTR buffer, DWORD size, LPCSTR fileName)
{
    if (buffer == nullptr || size == 0)
        return 0;
    if (section == nullptr || key == nullptr)
        return CopyOut({}, buffer, size);
    try {
        std::optional<std::string> value;
        if (fileName != nullptr && *fileName != '\0') {
            const ExistingFile file = ReadRegularFile(forms::winapi::LocateSettings(fileName).path, O_RDONLY);
            if (file.state == FileState::Read)
                value = forms::profile::FindValue(file.bytes, section, key);
        }
        return CopyOut(value ? std::string_view(*value) : DefaultText(defaultValue), buffer, size);
    } catch (...) {
        return CopyOut(DefaultText(defaultValue), buffer, size); // out of memory for a huge file
    }
}

BOOL WritePrivateProfileStringA(LPCSTR section, LPCSTR key, LPCSTR value, LPCSTR fileName)
{
    if (section == nullptr || key == nullptr || value == nullptr || fileName == nullptr || *fileName == '\0')
        return FALSE;
    try {
        const forms::winapi::SettingsPath settings = forms::winapi::LocateSettings(fileName);
        // Made when a value is first stored, never merely by reading.
        if (settings.perUser && !forms::winapi::MakeUserFolders(FolderOf(settings.path)))
            return FALSE;
        return WriteProfile(section, key, value, LinkTarget(settings.path));
    } catch (...) {
        return FALSE; // out of memory for a huge file
    }
}
