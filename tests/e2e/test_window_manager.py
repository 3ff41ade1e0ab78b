"""The native program under a window manager (openbox): the manager keeps it
above other windows and moves it when it is dragged, and everything the
handling and placement tests check without one still holds."""

import atexit
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
    # tearDownModule runs only after a setUpModule that succeeded.
    atexit.register(stop_manager)
    if not wait_until(manager_running, 10):
        stop_manager()
        raise RuntimeError(WINDOW_MANAGER + " did not start")


def stop_manager():
    """Ends the window manager, if it runs, and waits for it to let go of the display."""
    global _manager
    if _manager is None:
        return
    _manager.terminate()
    try:
        _manager.wait(10)
    except subprocess.TimeoutExpired:
        _manager.kill()
        _manager.wait()
    _manager = None
    wait_until(lambda: not manager_running(), 10)


def tearDownModule():
    stop_manager()


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

