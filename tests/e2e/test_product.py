"""The shipped program file: a 32-bit Windows GUI program in one file that
imports only system DLLs and carries its icon and version information."""

import os
import re
import struct
import subprocess
import unittest

from peerkin_e2e import ROOT

PRODUCT = os.environ.get("PEERKIN_PRODUCT", os.path.join(ROOT, "dist", "Peerkin.exe"))
SYSTEM_DLLS = {"kernel32.dll", "user32.dll", "gdi32.dll", "msvcrt.dll", "advapi32.dll", "shell32.dll",
               "comctl32.dll", "ole32.dll"}
MACHINE_I386 = 0x14C
SUBSYSTEM_WINDOWS_GUI = 2
RT_ICON, RT_GROUP_ICON, RT_VERSION = 3, 14, 16


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
        self.assertEqual(machine, MACHINE_I386)
        self.assertEqual(optional_magic, 0x10B)  # PE32, not PE32+
        self.assertEqual(subsystem, SUBSYSTEM_WINDOWS_GUI)

    def test_imports_only_system_dlls(self):
        out = subprocess.run(["i686-w64-mingw32-objdump", "-p", PRODUCT], capture_output=True,
                             text=True, check=True).stdout
        dlls = {name.lower() for name in re.findall(r"DLL Name: (\S+)", out)}
        self.assertTrue({"kernel32.dll", "user32.dll", "gdi32.dll"} <= dlls, dlls)
        self.assertEqual(dlls - SYSTEM_DLLS, set())

    def test_carries_icon_and_version_information(self):
        text = self.data.decode("utf-16-le", errors="ignore") + self.data[1:].decode("utf-16-le", errors="ignore")
        self.assertIn("Orlo's Peerkin", text)
        out = subprocess.run(["i686-w64-mingw32-objdump", "-h", PRODUCT], capture_output=True,
                             text=True, check=True).stdout
        self.assertIn(".rsrc", out)


if __name__ == "__main__":
    unittest.main()
