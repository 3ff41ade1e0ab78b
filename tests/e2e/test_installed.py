"""The Debian package as a user installs it: apt-get installs it (or, where
nothing may be installed, it is unpacked into a throwaway root), the
installed program starts with a fresh home, a double-click stores its place
under that home's .config/peerkin/, the next start puts it back there, and
nothing is written beside the program."""

import glob
import os
import shutil
import subprocess
import tempfile
import unittest

from peerkin_e2e import Figure, native_environment, run

PACKAGE_NAME = "peerkin"


def package_file():
    """The .deb the package check made, in the folder the test command names."""
    found = glob.glob(os.path.join(os.environ.get("PEERKIN_PACKAGES", ""), "peerkin_*.deb"))
    if len(found) != 1:
        raise unittest.SkipTest(f"PEERKIN_PACKAGES names no folder with one .deb: {found}")
    return found[0]


def installed(package):
    return subprocess.run(["dpkg", "-s", package], capture_output=True).returncode == 0


class InstalledPackage(unittest.TestCase):
    def setUp(self):
        deb = package_file()
        if not os.environ.get("DISPLAY"):
            self.skipTest("the program needs an X display")
        self.scratch = tempfile.mkdtemp(prefix="peerkin-installed-")
        self.addCleanup(shutil.rmtree, self.scratch, ignore_errors=True)
        # Installed for real where this may install, and no copy of the
        # user's own would be replaced; otherwise unpacked.
        if os.geteuid() == 0 and shutil.which("apt-get") and not installed(PACKAGE_NAME):
            run("apt-get", "install", "-y", "-qq", "--no-install-recommends", deb)
            self.addCleanup(run, "apt-get", "remove", "-y", "-qq", PACKAGE_NAME)
            self.program = "/usr/bin/peerkin"
        else:
            run("dpkg-deb", "-x", deb, os.path.join(self.scratch, "root"))
            self.program = os.path.join(self.scratch, "root", "usr", "bin", "peerkin")
        self.home = os.path.join(self.scratch, "home")
        os.mkdir(self.home)
        self.environment = dict(native_environment(), HOME=self.home, XDG_CONFIG_HOME=None)

    def start(self):
        """The installed program started as it lies, found by its window."""
        figure = Figure(self.program, copy=False, env=self.environment).__enter__()
        self.addCleanup(figure.__exit__)
        return figure

    def test_stores_its_place_in_the_users_configuration_folder(self):
        beside = set(os.listdir(os.path.dirname(self.program)))
        figure = self.start()
        self.assertEqual(os.listdir(self.home), [], "starting wrote into the home folder")
        x, y = figure.place()
        self.assertTrue(figure.double_click(10), "the double-click did not end it")

        with open(os.path.join(self.home, ".config", "peerkin", "peerkin.ini"), newline="") as settings:
            self.assertEqual(settings.read(), f"[Orlo's Peerkin]\r\nTop={y * 15}\r\nLeft={x * 15}\r\n")
        self.assertEqual(set(os.listdir(os.path.dirname(self.program))), beside, "written beside the program")
        self.assertEqual(self.start().place(), (x, y), "the next start did not put it back")


if __name__ == "__main__":
    unittest.main()
