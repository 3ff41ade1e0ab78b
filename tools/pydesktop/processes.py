"""Linux processes as /proc shows them: CPU time, memory, command lines, and
the processes that run a program from a given folder."""

import os
import signal


def cpu_seconds(pid):
    """(precise, ticks) CPU seconds of a process, all its threads: the
    scheduler's own count in nanoseconds, and utime + stime from
    /proc/PID/stat, which is the same time counted in clock ticks."""
    precise = 0.0
    for task in os.listdir(f"/proc/{pid}/task"):
        try:
            with open(f"/proc/{pid}/task/{task}/schedstat") as f:
                precise += int(f.read().split()[0]) / 1e9
        except OSError:
            pass  # a thread that just ended
    with open(f"/proc/{pid}/stat") as f:
        fields = f.read().rsplit(")", 1)[1].split()
    ticks = (int(fields[11]) + int(fields[12])) / os.sysconf("SC_CLK_TCK")
    return precise, ticks


def memory_kb(pid, *keys):
    """The named memory figures of /proc/PID/status in KB, in the order asked
    (VmRSS resident, VmHWM its peak, RssAnon resident anonymous memory...)."""
    values = {}
    with open(f"/proc/{pid}/status") as f:
        for line in f:
            key, _, rest = line.partition(":")
            if key in keys:
                values[key] = int(rest.split()[0])
    return tuple(values[key] for key in keys)


def arguments(pid):
    """A process's command line, one argument each; [] once it is gone."""
    try:
        with open(f"/proc/{pid}/cmdline", "rb") as f:
            return [part.decode(errors="replace") for part in f.read().split(b"\0") if part]
    except OSError:
        return []


def cmdline(pid):
    """A process's command line, its arguments joined by spaces; "" once it is gone."""
    return " ".join(arguments(pid))


def environment_of(pid):
    try:
        with open(f"/proc/{pid}/environ", "rb") as f:
            return dict(item.split(b"=", 1) for item in f.read().split(b"\0") if b"=" in item)
    except OSError:
        return {}


def all_pids():
    return [int(name) for name in os.listdir("/proc") if name.isdigit()]


def wineserver_pid(prefix):
    """The wineserver that serves this Wine prefix (others may run beside it)."""
    for pid in all_pids():
        if "wineserver" in cmdline(pid).split(" ")[0] and \
                environment_of(pid).get(b"WINEPREFIX", b"").decode() == prefix:
            return pid
    return None


def windows_process(exe_name, launched_pid, prefix):
    """The Linux process that runs the Windows program: Wine's loader turns
    into it, so the launched process normally is it; otherwise the process of
    that name in this Wine prefix (other prefixes may run the same name)."""
    if exe_name.lower() in cmdline(launched_pid).lower():
        return launched_pid
    for pid in all_pids():
        if exe_name.lower() in cmdline(pid).lower() and "wineserver" not in cmdline(pid) and \
                environment_of(pid).get(b"WINEPREFIX", b"").decode() == prefix:
            return pid
    raise RuntimeError(f"no process runs {exe_name}")


def end_processes_from(folder):
    """Kills every process running from the folder: a program whose loader
    was ended may live on under Wine, and would hold the instance lock. They
    are those whose command line names the folder: a program started from
    it, natively or under Wine (which shows it as a Windows path), and
    whatever that program started there."""
    mark = os.path.basename(os.path.normpath(os.fsdecode(folder))).lower()
    for pid in [pid for pid in all_pids() if pid != os.getpid() and mark in cmdline(pid).lower()]:
        try:
            os.kill(pid, signal.SIGKILL)
        except OSError:
            pass  # ended meanwhile
