"""Start-up of the real program: one instance only, the first start at the
top edge of the screen, centred, and later starts where the settings file
says. The command line changes nothing."""

import os
import pwd
import shutil
import subprocess
import tempfile
import time
import unittest

from peerkin_e2e import (FIGURE_SIZE, Figure, exe_path, file_state, runs_natively, screen_size, start_program,
                         visible_windows, wait_until)


class SecondStart(unittest.TestCase):
    def start_again(self, figure):
        """Starts the same program once more; returns whether it ended within a
        few seconds and whether it showed a window of its own meanwhile."""
        others = set(visible_windows())
        second = start_program(figure.exe)
        showed_window = False
        deadline = time.monotonic() + 15
        while second.poll() is None and time.monotonic() < deadline:
            showed_window |= bool(set(visible_windows()) - others)
            time.sleep(0.1)
        ended = second.poll() is not None
        if not ended:
            second.kill()
            second.wait()
        showed_window |= bool(set(visible_windows()) - others)
        return ended, showed_window

    def test_second_start_ends_without_window_or_settings_change(self):
        # Neither rewritten where there is a settings file, nor made where there is none.
        for what, text in [("a settings file", "[Orlo's Peerkin]\r\nTop=1500\r\nLeft=3000\r\n"), ("none", None)]:
            with self.subTest(what), Figure(ini_text=text) as figure:
                before = file_state(figure.ini_path), figure.geometry()
                time.sleep(1.1)  # a rewrite within the same second would keep the time
                ended, showed_window = self.start_again(figure)
                self.assertTrue(ended, "the second start did not end")
                self.assertFalse(showed_window, "the second start showed a window")
                self.assertEqual((file_state(figure.ini_path), figure.geometry()), before)
                self.assertEqual(visible_windows(), [figure.window_id], "the first figure went away")


# Run as another user: makes each lock file named on its command line first,
# with its folder, open to all, and holds a lock on each.
_OTHER_USERS_LOCKS = """
import fcntl, os, sys, time
os.umask(0)
held = []
for path in sys.argv[1:]:
    os.makedirs(os.path.dirname(path), 0o777, exist_ok=True)
    held.append(open(path, "w"))
    fcntl.flock(held[-1], fcntl.LOCK_EX)
print("held", flush=True)
time.sleep(120)
"""


@unittest.skipUnless(runs_natively(), "the native program's instance lock; Windows has its own means")
class NativeInstanceLock(unittest.TestCase):
    def setUp(self):
        # A name of this run's own: the lock folder in /tmp is shared by every run of this user.
        self.name = f"peerkin-e2e-{os.getpid()}"
        self.folder = f"/tmp/orlos-peerkin-{os.getuid()}"
        self.lock = f"{self.folder}/orlos-peerkin-{os.getuid()}-{self.name}.lock"
        self.environment = {key: value for key, value in os.environ.items() if key != "XDG_RUNTIME_DIR"}
        self.addCleanup(lambda: os.path.exists(self.lock) and os.remove(self.lock))

    def test_without_a_runtime_folder_the_lock_in_a_private_folder_keeps_a_second_start_out(self):
        with Figure(name=self.name, env=self.environment) as figure:
            self.assertTrue(os.path.exists(self.lock), "no lock file in " + self.folder)
            self.assertEqual(os.stat(self.folder).st_mode & 0o777, 0o700)
            second = start_program(figure.exe, env=self.environment)
            ended = wait_until(lambda: second.poll() is not None, 15)
            self.assertTrue(ended, "the second start did not end")  # else ended with the figure's folder
            self.assertEqual(visible_windows(), [figure.window_id])
        with Figure(name=self.name, env=self.environment) as again:
            self.assertIsNotNone(again.window_id, "the lock of the ended figure kept the next start out")

    @unittest.skipUnless(os.geteuid() == 0 and shutil.which("setpriv"), "acting as another user needs root")
    def test_a_lock_another_user_made_first_does_not_keep_the_figure_out(self):
        # Where the user's lock lies, and where it lay in /tmp itself before.
        in_tmp = f"/tmp/orlos-peerkin-{os.getuid()}-{self.name}.lock"
        shutil.rmtree(self.folder, ignore_errors=True)
        self.addCleanup(shutil.rmtree, self.folder, ignore_errors=True)
        self.addCleanup(lambda: os.path.exists(in_tmp) and os.remove(in_tmp))
        other = subprocess.Popen(["setpriv", "--reuid=nobody", "--regid=nogroup", "--clear-groups", "/usr/bin/python3",
                                  "-c", _OTHER_USERS_LOCKS, self.lock, in_tmp], stdout=subprocess.PIPE, text=True)
        self.addCleanup(other.stdout.close)
        self.addCleanup(other.wait)
        self.addCleanup(other.kill)
        self.assertEqual(other.stdout.readline().strip(), "held")
        with Figure(name=self.name, env=self.environment) as figure:
            self.assertIsNotNone(figure.window_id)

    @unittest.skipUnless(os.geteuid() == 0, "a folder of another user's needs root to make")
    def test_a_runtime_folder_another_user_owns_is_not_taken_for_the_users_own(self):
        # Not writable by others, so only its owner tells it from the user's own.
        with tempfile.TemporaryDirectory() as parent:
            theirs = os.path.join(parent, "runtime")
            os.mkdir(theirs, 0o700)
            os.chown(theirs, pwd.getpwnam("nobody").pw_uid, -1)
            environment = dict(self.environment, XDG_RUNTIME_DIR=theirs)
            with Figure(name=self.name, env=environment) as figure:
                self.assertIsNotNone(figure.window_id)
                self.assertEqual(os.listdir(theirs), [], "the lock went into another user's folder")
                self.assertTrue(os.path.exists(self.lock), "no lock in the user's own folder")


@unittest.skipUnless(runs_natively(), "a Windows program always has a desktop")
class WithoutADisplay(unittest.TestCase):
    def test_a_start_without_a_display_says_so_and_fails(self):
        environment = {key: value for key, value in os.environ.items() if key != "DISPLAY"}
        with tempfile.TemporaryDirectory() as folder:
            program = os.path.join(folder, "peerkin")
            shutil.copy(exe_path(), program)
            result = subprocess.run([program], env=environment, capture_output=True, text=True, timeout=30)
            self.assertEqual(result.returncode, 1)
            self.assertIn("Cannot open the X display", result.stderr)
            self.assertEqual(os.listdir(folder), ["peerkin"], "nothing written beside the program")


class Placement(unittest.TestCase):
    def test_first_start_without_a_file_opens_at_the_top_centred(self):
        with Figure() as figure:
            # Its place whatever frame a window manager put round it (test_window_manager).
            (x, y), (width, height) = figure.place(), figure.geometry()[2:]
            self.assertEqual((width, height), FIGURE_SIZE)
            self.assertEqual(y, 0)
            self.assertLessEqual(abs(x - (screen_size()[0] - FIGURE_SIZE[0]) / 2), 1, f"x is {x}")
            self.assertFalse(os.path.exists(figure.ini_path), "starting wrote a settings file")


class CommandLine(unittest.TestCase):
    ARGUMENTS = ("/top", "1500", "--left=3000", "Top=1500", "C:\\Other.ini")

    # A first start with arguments: MainPlacement.KeepsTheCommandLineArgumentsAndNothingElse.
    def test_arguments_do_not_override_the_settings_file(self):
        text = "[Orlo's Peerkin]\r\nTop=300\r\nLeft=600\r\n"
        with Figure(ini_text=text, args=self.ARGUMENTS) as figure:
            self.assertEqual(figure.geometry()[:2], (40, 20))
            with open(figure.ini_path, "r", newline="") as ini:
                self.assertEqual(ini.read(), text)


if __name__ == "__main__":
    unittest.main()
