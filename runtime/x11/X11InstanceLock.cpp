// The single-instance marker on X11: a lock on a file of the user's own.
#include "Platform.h"

#include "Ansi.h"

#include <fcntl.h>
#include <sys/file.h>
#include <unistd.h>

#include <cstdlib>
#include <string>

namespace forms::platform {
namespace {

// The folder for the instance lock: the user's runtime folder, where only
// the user may write, else the temporary folder.
std::string LockFolder()
{
    const char* runtime = std::getenv("XDG_RUNTIME_DIR");
    if (runtime && *runtime)
        return runtime;
    return "/tmp";
}

} // namespace

// An exclusive lock on a file named after the program and the user, held
// as long as the process lives: the system drops it when the process ends
// in any way, so a killed instance never blocks a start.
bool AnotherInstanceRuns(const std::wstring& programName)
{
    std::string path
        = LockFolder() + "/orlos-peerkin-" + std::to_string(::getuid()) + "-" + ToAnsi(programName) + ".lock";
    int file = ::open(path.c_str(), O_RDWR | O_CREAT | O_CLOEXEC | O_NOFOLLOW, 0600);
    if (file < 0)
        return false; // no lock to be had: run rather than refuse to start
    if (::flock(file, LOCK_EX | LOCK_NB) == 0)
        return false; // kept open for the life of the process
    ::close(file);
    return true;
}

} // namespace forms::platform
