"""The native program under a window manager (openbox): the manager keeps it
above other windows and moves it when it is dragged, and everything the
handling and placement tests check without one still holds."""

import shutil
import subprocess
import unittest

import test_closing
import test_handling
import test_startup
from peerkin_e2e import Figure, exe_path, run, runs_natively, wait_until

WINDOW_MANAGER = "openbox"
_manager = None


def manager_running():
    """True while the check window a window manager names on the root exists
    (the name outlives the manager)."""
    out = run("xprop", "-root", "_NET_SUPPORTING_WM_CHECK", check=False)
    if "window id #" not in out:
        return False
    window = out.split("#")[-1].strip()
    return subprocess.run(["xwininfo", "-id", window], capture_output=True).returncode == 0


def setUpModule():
    global _manager
    exe_path()
    if not runs_natively():
        raise unittest.SkipTest("the Windows program's window manager is Wine's own")
    if not shutil.which(WINDOW_MANAGER):
        raise unittest.SkipTest(WINDOW_MANAGER + " is not installed")
    if manager_running():
        raise unittest.SkipTest("another window manager runs on this display")
    _manager = subprocess.Popen([WINDOW_MANAGER], stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
    if not wait_until(manager_running, 10):
        raise RuntimeError(WINDOW_MANAGER + " did not start")


def tearDownModule():
    if _manager is not None:
        _manager.terminate()
        _manager.wait(10)
        wait_until(lambda: not manager_running(), 10)


class HandlingUnderAWindowManager(test_handling.Handling):
    def test_the_window_manager_holds_the_window(self):
        """Proves the checks here ran with a managed window, not an
        override-redirect one: the manager has put it in a frame of its own."""
        with Figure() as figure:
            tree = run("xwininfo", "-tree", "-id", str(figure.window_id))
            parent = next(line for line in tree.splitlines() if "Parent window id" in line)
            self.assertNotIn("(the root window)", parent)


class PlacementUnderAWindowManager(test_startup.Placement):
    pass


class ClosingUnderAWindowManager(test_closing.ClosingStoresNothing):
    pass

