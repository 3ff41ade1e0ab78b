"""Windows programs on Linux: which files are ones, and how Wine runs them."""

import os
import re
import subprocess

MACHINE_I386 = 0x14C
MACHINE_AMD64 = 0x8664
# The DLLs every Windows system has: a program that imports only these is
# one file that runs anywhere.
SYSTEM_DLLS = frozenset({"kernel32.dll", "user32.dll", "gdi32.dll", "msvcrt.dll", "advapi32.dll", "shell32.dll",
                         "comctl32.dll", "ole32.dll"})


def pe_machine(path):
    """The machine type of a Windows (PE) program file, or None for any other file."""
    with open(path, "rb") as program:
        header = program.read(64)
        if len(header) < 64 or header[:2] != b"MZ":
            return None
        program.seek(int.from_bytes(header[60:64], "little"))
        signature = program.read(6)
    if len(signature) < 6 or signature[:4] != b"PE\0\0":
        return None
    return int.from_bytes(signature[4:6], "little")


def is_windows_program(path):
    """True when path is a Windows program file, which runs under Wine."""
    return pe_machine(path) is not None


def imported_dlls(path):
    """The names of the DLLs a Windows program imports, in lower case."""
    out = subprocess.run(["i686-w64-mingw32-objdump", "-p", path], capture_output=True, text=True,
                         check=True).stdout
    return {name.lower() for name in re.findall(r"DLL Name: (\S+)", out)}


def loader_for(path):
    """The Wine loader that fits the program's bitness (as tools/wine-run
    picks it): wine64 for a 64-bit program, wine for a 32-bit one."""
    if pe_machine(path) == MACHINE_AMD64:
        return os.environ.get("PEERKIN_WINE64", "/usr/lib/wine/wine64")
    return os.environ.get("PEERKIN_WINE32", "wine")


def wine_command(*args):
    """A command of the Wine that runs the programs under test (a wine
    subcommand or tool, such as wineserver): the host's, or the one of the
    Debian root PEERKIN_WINE_ROOT names, as tools/wine-run picks it."""
    root = os.environ.get("PEERKIN_WINE_ROOT")
    if not root:
        return list(args)
    tools = os.path.dirname(os.path.dirname(os.path.abspath(__file__)))
    return ["bash", os.path.join(tools, "debian-root.sh"), "run", root, *args]


def prefix_at_dpi(prefix, dpi, env):
    """The Wine prefix prefix, made once, with Windows set to show dpi dots
    per inch (LogPixels, as winecfg sets it); returns once its wineserver
    has ended and saved the setting."""
    marker = os.path.join(prefix, "peerkin-logpixels")
    env = dict(env, WINEPREFIX=prefix)
    if os.path.exists(os.path.join(prefix, "system.reg")) and os.path.exists(marker):
        with open(marker) as file:
            if file.read() == str(dpi):
                return prefix
    quiet = {"stdout": subprocess.DEVNULL, "stderr": subprocess.DEVNULL, "env": env}
    subprocess.run(wine_command("wine", "wineboot", "-i"), check=False, **quiet)
    subprocess.run(wine_command("wine", "reg", "add", r"HKCU\Control Panel\Desktop", "/v", "LogPixels", "/t",
                                "REG_DWORD", "/d", str(dpi), "/f"), check=True, **quiet)
    subprocess.run(wine_command("wineserver", "-w"), check=False, **quiet)  # the setting saved
    with open(marker, "w") as file:
        file.write(str(dpi))
    return prefix


def end_wineserver(prefix, env):
    """Ends the wineserver of prefix, and with it every program of the prefix."""
    subprocess.run(wine_command("wineserver", "-k"), env=dict(env, WINEPREFIX=prefix), stdout=subprocess.DEVNULL,
                   stderr=subprocess.DEVNULL, check=False)


def environment(loader, prefix=None):
    """The environment a Windows program runs in: quiet, without Wine's
    Mono, Gecko and menu builder (they would slow every start or write into
    the user's menus), with the given loader and, if given, prefix."""
    env = dict(os.environ)
    env.setdefault("WINEDEBUG", "-all")
    env["WINEDLLOVERRIDES"] = "mscoree,mshtml=;winemenubuilder.exe=d"
    env["WINELOADER"] = loader
    if prefix:
        env["WINEPREFIX"] = prefix
    return env


def prepare_prefix(env):
    """Makes the Wine prefix env names (WINEPREFIX) once, with env's loader,
    and keeps its wineserver up with its services started, so that each
    program then starts in seconds. The services start here, not with the
    first program: started from a test they would keep the test's output
    open, and the test runner would wait for them for ever."""
    quiet = {"env": env, "stdin": subprocess.DEVNULL, "stdout": subprocess.DEVNULL, "stderr": subprocess.DEVNULL}
    loader = env.get("WINELOADER", "wine")
    if not os.path.exists(os.path.join(env["WINEPREFIX"], "system.reg")):
        print(f"Preparing a private Wine prefix in {env['WINEPREFIX']}", flush=True)
        subprocess.run([loader, "wineboot", "-i"], check=False, **quiet)
    subprocess.run(["wineserver", "-p"], check=False, **quiet)
    subprocess.run([loader, "wineboot"], check=False, **quiet)
