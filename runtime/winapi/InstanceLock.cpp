// The single-instance marker on Linux: a lock on a file of the user's own, in
// a folder only the user can write. Anywhere else another user could make
// the file first and hold a lock on it, and every start would end at once
// as if a copy were running.
#include "Platform.h"

#include "Ansi.h"
#include "ProductIdentity.h"

#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#include <string>

namespace forms::platform {
namespace {

// True for a folder of this user's own that no one else may write into; a
// symbolic link does not count.
bool IsPrivateFolder(const std::string& path)
{
    struct stat status {};
    return ::lstat(path.c_str(), &status) == 0 && S_ISDIR(status.st_mode) && status.st_uid == ::getuid()
        && (status.st_mode & (S_IWGRP | S_IWOTH)) == 0;
}

// The user's runtime folder when it is private, as it should be; else a
// folder of the user's own in /tmp, made on first use. Empty when neither
// can be had.
std::string LockFolder()
{
    const char* runtime = std::getenv("XDG_RUNTIME_DIR");
    if (runtime && *runtime == '/' && IsPrivateFolder(runtime))
        return runtime;
    std::string own = "/tmp/" + std::string(product::LockName) + "-" + std::to_string(::getuid());
    ::mkdir(own.c_str(), 0700); // fails when it is there already: checked below
    return IsPrivateFolder(own) ? own : std::string();
}

// An open descriptor of the user's own regular file at path, or -1.
int OpenOwnFile(const std::string& path)
{
    int file = ::open(path.c_str(), O_RDWR | O_CREAT | O_CLOEXEC | O_NOFOLLOW | O_NONBLOCK, 0600);
    if (file < 0)
        return -1;
    struct stat status {};
    if (::fstat(file, &status) != 0 || !S_ISREG(status.st_mode) || status.st_uid != ::getuid()) {
        ::close(file);
        return -1;
    }
    return file;
}

} // namespace

// An exclusive lock held as long as the process lives: the system drops it
// when the process ends in any way, so a killed instance never blocks a
// start. Only a lock another process holds means a copy runs; where no lock
// can be had at all (no locks on that file system, none left) the program
// runs rather than refuse to.
bool AnotherInstanceRuns(const std::wstring& programName)
{
    std::string folder = LockFolder();
    if (folder.empty())
        return false;
    int file = OpenOwnFile(
        folder + "/" + product::LockName + "-" + std::to_string(::getuid()) + "-" + ToAnsi(programName) + ".lock");
    if (file < 0)
        return false;
    if (::flock(file, LOCK_EX | LOCK_NB) == 0)
        return false; // kept open for the life of the process
    bool heldByAnother = errno == EWOULDBLOCK;
    ::close(file);
    return heldByAnother;
}

} // namespace forms::platform
