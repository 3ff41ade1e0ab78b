"""The shipped program file: a 32-bit Windows GUI program in one file that
imports only system DLLs and carries its icon and version information; the
native program needs only the system's C and X libraries and gives its
window a class, an icon and its process."""

import os
import re
import struct
import subprocess
import unittest

from peerkin_e2e import ROOT, Figure, exe_path, run, runs_natively, wine

PRODUCT = os.environ.get("PEERKIN_PRODUCT", os.path.join(ROOT, "dist", "Peerkin.exe"))
SUBSYSTEM_WINDOWS_GUI = 2
RT_GROUP_ICON, RT_VERSION = 14, 16
VS_FIXEDFILEINFO_SIGNATURE = struct.pack("<I", 0xFEEF04BD)
# The C++ runtime is linked in; these come with every X desktop (libsystemd
# carries sd-bus, which talks to the desktop's pointer helper on Wayland).
NATIVE_SYSTEM_LIBRARIES = {"libc.so.6", "libm.so.6", "libX11.so.6", "libXext.so.6", "libXrandr.so.2", "libSM.so.6",
                           "libICE.so.6", "libsystemd.so.0"}
# A test build with sanitizers needs their runtimes as well.
SANITIZER_RUNTIME = re.compile(r"lib(asan|ubsan|lsan|tsan)\.so")


@unittest.skipIf(runs_natively(), "PE file checks of the Windows product; the program under test is native")
class Product(unittest.TestCase):
    @classmethod
    def setUpClass(cls):
        with open(PRODUCT, "rb") as exe:
            cls.data = exe.read()
        cls.pe = struct.unpack_from("<I", cls.data, 0x3C)[0]
        print(f"\n{PRODUCT}: {len(cls.data)} bytes")

    def test_is_a_32_bit_gui_program(self):
        self.assertEqual(self.data[self.pe:self.pe + 4], b"PE\0\0")
        machine = struct.unpack_from("<H", self.data, self.pe + 4)[0]
        optional_magic, = struct.unpack_from("<H", self.data, self.pe + 24)
        subsystem, = struct.unpack_from("<H", self.data, self.pe + 24 + 68)
        self.assertEqual(machine, wine.MACHINE_I386)
        self.assertEqual(optional_magic, 0x10B)  # PE32, not PE32+
        self.assertEqual(subsystem, SUBSYSTEM_WINDOWS_GUI)

    def test_imports_only_system_dlls(self):
        dlls = wine.imported_dlls(PRODUCT)
        self.assertTrue({"kernel32.dll", "user32.dll", "gdi32.dll"} <= dlls, dlls)
        self.assertEqual(dlls - wine.SYSTEM_DLLS, set())

    def test_carries_its_icon_and_version_information(self):
        # The icon group as an .ico file: a small image for the taskbar, a
        # large one for switchers, each of them there.
        icon = resource(["--type=%d" % RT_GROUP_ICON])
        reserved, kind, count = struct.unpack_from("<HHH", icon)
        sizes = {(icon[6 + 16 * entry] or 256, icon[7 + 16 * entry] or 256) for entry in range(count)}
        self.assertEqual((reserved, kind), (0, 1), "no icon group")
        self.assertTrue({(16, 16), (32, 32)} <= sizes, sizes)
        version = resource(["--raw", "--type=%d" % RT_VERSION])
        fixed = version.find(VS_FIXEDFILEINFO_SIGNATURE)
        self.assertGreater(fixed, 0, "no fixed version information")
        file_version = struct.unpack_from("<II", version, fixed + 8)
        self.assertEqual((file_version[0] >> 16, file_version[0] & 0xFFFF, file_version[1] >> 16), PROJECT_VERSION)
        strings = dict(re.findall(r"\x01(\w+)\x00+([^\x00]+)\x00", version.decode("utf-16-le", errors="replace")))
        dotted = ".".join(map(str, PROJECT_VERSION))
        self.assertEqual({key: strings.get(key) for key in ("ProductName", "FileDescription", "FileVersion",
                                                            "ProductVersion", "OriginalFilename")},
                         {"ProductName": "Orlo's Peerkin", "FileDescription": "Orlo's Peerkin", "FileVersion": dotted,
                          "ProductVersion": dotted, "OriginalFilename": "Peerkin.exe"})


def resource(options):
    """The program's resources that wrestool (icoutils) extracts with options."""
    return subprocess.run(["wrestool", "-x", *options, PRODUCT], capture_output=True, check=True).stdout


def project_version():
    """The version the top-level CMakeLists.txt gives the project."""
    with open(os.path.join(ROOT, "CMakeLists.txt")) as lists:
        return tuple(int(part) for part in re.search(r"project\(\w+ VERSION (\d+)\.(\d+)\.(\d+)",
                                                       lists.read()).groups())


PROJECT_VERSION = project_version()


def needed_libraries(path):
    """The shared libraries an ELF program names as needed."""
    out = subprocess.run(["readelf", "-d", path], capture_output=True, text=True, check=True).stdout
    return set(re.findall(r"\(NEEDED\)\s+Shared library: \[([^\]]+)\]", out))


def icon_sizes(window_id):
    """The (width, height) of each image in the window's _NET_WM_ICON."""
    out = run("xprop", "-id", str(window_id), "-notype", "32c", "_NET_WM_ICON")
    items = [int(item) for item in re.findall(r"\d+", out.partition("=")[2])]
    sizes = []
    while len(items) >= 2:
        width, height = items[0], items[1]
        sizes.append((width, height))
        items = items[2 + width * height:]
    return sizes


@unittest.skipUnless(runs_natively(), "checks of the native program; the program under test is a Windows one")
class NativeProduct(unittest.TestCase):
    def test_is_an_elf_program_needing_only_system_libraries(self):
        with open(exe_path(), "rb") as program:
            self.assertEqual(program.read(4), b"\x7fELF")
        needed = needed_libraries(exe_path())
        runtimes = {name for name in needed if name.startswith("ld-linux") or SANITIZER_RUNTIME.match(name)}
        self.assertTrue({"libc.so.6", "libX11.so.6"} <= needed, needed)
        self.assertEqual(needed - runtimes - NATIVE_SYSTEM_LIBRARIES, set())

    def test_window_carries_class_icon_and_process(self):
        with Figure() as figure:
            window = str(figure.window_id)
            self.assertIn('"peerkin", "Peerkin"', run("xprop", "-id", window, "WM_CLASS"))
            self.assertIn(f"= {figure.process.pid}", run("xprop", "-id", window, "_NET_WM_PID"))
            # A small image for the taskbar and a large one for switchers.
            sizes = icon_sizes(figure.window_id)
            self.assertIn((16, 16), sizes)
            self.assertTrue(any(width >= 32 for width, _ in sizes), sizes)


if __name__ == "__main__":
    unittest.main()
