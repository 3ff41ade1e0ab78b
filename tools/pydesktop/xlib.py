"""A direct libX11 connection (ctypes), where xdotool is too slow or cannot
do it: finding the figure's window within a millisecond of its showing,
reading a few pixels without a screenshot, and asking a window to close as
a window manager does."""

import ctypes
import ctypes.util
import functools

from . import figure

IS_VIEWABLE = 2
Z_PIXMAP = 2
CLIENT_MESSAGE = 33
ALL_PLANES = ctypes.c_ulong(0xFFFFFFFF)
ERROR_HANDLER = ctypes.CFUNCTYPE(ctypes.c_int, ctypes.c_void_p, ctypes.c_void_p)


class XWindowAttributes(ctypes.Structure):
    _fields_ = [("x", ctypes.c_int), ("y", ctypes.c_int), ("width", ctypes.c_int), ("height", ctypes.c_int),
                ("border_width", ctypes.c_int), ("depth", ctypes.c_int), ("visual", ctypes.c_void_p),
                ("root", ctypes.c_ulong), ("class_", ctypes.c_int), ("bit_gravity", ctypes.c_int),
                ("win_gravity", ctypes.c_int), ("backing_store", ctypes.c_int),
                ("backing_planes", ctypes.c_ulong), ("backing_pixel", ctypes.c_ulong),
                ("save_under", ctypes.c_int), ("colormap", ctypes.c_ulong), ("map_installed", ctypes.c_int),
                ("map_state", ctypes.c_int), ("all_event_masks", ctypes.c_long),
                ("your_event_mask", ctypes.c_long), ("do_not_propagate_mask", ctypes.c_long),
                ("override_redirect", ctypes.c_int), ("screen", ctypes.c_void_p)]


class XClientMessageEvent(ctypes.Structure):
    _fields_ = [("type", ctypes.c_int), ("serial", ctypes.c_ulong), ("send_event", ctypes.c_int),
                ("display", ctypes.c_void_p), ("window", ctypes.c_ulong), ("message_type", ctypes.c_ulong),
                ("format", ctypes.c_int), ("data", ctypes.c_long * 5)]


class XEvent(ctypes.Union):
    _fields_ = [("xclient", XClientMessageEvent), ("pad", ctypes.c_long * 24)]


def _declare(function, result, *arguments):
    function.restype = result
    function.argtypes = list(arguments)


@functools.cache
def library():
    """libX11 with the signatures used here, loaded once."""
    x = ctypes.CDLL(ctypes.util.find_library("X11") or "libX11.so.6")
    pointer, window, c_int = ctypes.c_void_p, ctypes.c_ulong, ctypes.c_int
    _declare(x.XOpenDisplay, pointer, ctypes.c_char_p)
    _declare(x.XCloseDisplay, c_int, pointer)
    _declare(x.XDefaultRootWindow, window, pointer)
    _declare(x.XQueryTree, c_int, pointer, window, ctypes.POINTER(window), ctypes.POINTER(window),
             ctypes.POINTER(ctypes.POINTER(window)), ctypes.POINTER(ctypes.c_uint))
    _declare(x.XFetchName, c_int, pointer, window, ctypes.POINTER(ctypes.c_char_p))
    _declare(x.XGetWindowAttributes, c_int, pointer, window, ctypes.POINTER(XWindowAttributes))
    _declare(x.XGetImage, pointer, pointer, window, c_int, c_int, ctypes.c_uint, ctypes.c_uint, ctypes.c_ulong,
             c_int)
    _declare(x.XGetPixel, ctypes.c_ulong, pointer, c_int, c_int)
    _declare(x.XDestroyImage, c_int, pointer)
    _declare(x.XTranslateCoordinates, c_int, pointer, window, window, c_int, c_int, ctypes.POINTER(c_int),
             ctypes.POINTER(c_int), ctypes.POINTER(window))
    _declare(x.XFree, c_int, pointer)
    _declare(x.XQueryPointer, c_int, pointer, window, ctypes.POINTER(window), ctypes.POINTER(window),
             ctypes.POINTER(c_int), ctypes.POINTER(c_int), ctypes.POINTER(c_int), ctypes.POINTER(c_int),
             ctypes.POINTER(ctypes.c_uint))
    _declare(x.XInternAtom, ctypes.c_ulong, pointer, ctypes.c_char_p, c_int)
    _declare(x.XSendEvent, c_int, pointer, window, c_int, ctypes.c_long, ctypes.POINTER(XEvent))
    _declare(x.XSync, c_int, pointer, c_int)
    _declare(x.XGetSelectionOwner, window, pointer, ctypes.c_ulong)
    return x


class Connection:
    """A connection to an X display (default: DISPLAY). Close it, or use it
    as a context manager."""

    def __init__(self, display=None):
        self.x = library()
        # Windows come and go while they are looked at: ignore those errors.
        self.on_error = ERROR_HANDLER(lambda display, event: 0)
        self.x.XSetErrorHandler(self.on_error)
        self.display = self.x.XOpenDisplay(display.encode() if display else None)
        if not self.display:
            raise RuntimeError(f"cannot open the X display {display or ''}".rstrip())
        self.root = self.x.XDefaultRootWindow(self.display)
        screen = XWindowAttributes()
        self.x.XGetWindowAttributes(self.display, self.root, ctypes.byref(screen))
        self.screen = (screen.width, screen.height)

    def __enter__(self):
        return self

    def __exit__(self, *exc):
        self.close()

    def close(self):
        if self.display:
            self.x.XCloseDisplay(self.display)
            self.display = None

    def figure_windows(self):
        """(x, y) of every shown window with the figure's caption."""
        return [self.window_place(window) for window in self.figure_window_ids()]

    def figure_window_ids(self, parent_window=None, shown_only=True):
        """The ids of the windows with the figure's caption, at any depth (a
        window manager may have put the figure into a frame): the viewable
        ones, or with shown_only False every one."""
        root, parent = ctypes.c_ulong(), ctypes.c_ulong()
        children, count = ctypes.POINTER(ctypes.c_ulong)(), ctypes.c_uint()
        if not self.x.XQueryTree(self.display, parent_window or self.root, ctypes.byref(root), ctypes.byref(parent),
                                 ctypes.byref(children), ctypes.byref(count)):
            return []
        found = []
        for window in [children[i] for i in range(count.value)]:
            attributes = XWindowAttributes()
            if not self.x.XGetWindowAttributes(self.display, window, ctypes.byref(attributes)) or \
                    shown_only and attributes.map_state != IS_VIEWABLE:
                continue
            if self._name(window) == figure.CAPTION.encode():
                found.append(window)
            else:
                found += self.figure_window_ids(window, shown_only)
        if children:
            self.x.XFree(children)
        return found

    def pointer(self):
        """(x, y) of the pointer on the root window, as the X server has it."""
        root, child = ctypes.c_ulong(), ctypes.c_ulong()
        x, y, window_x, window_y, mask = ctypes.c_int(), ctypes.c_int(), ctypes.c_int(), ctypes.c_int(), ctypes.c_uint()
        self.x.XQueryPointer(self.display, self.root, ctypes.byref(root), ctypes.byref(child), ctypes.byref(x),
                             ctypes.byref(y), ctypes.byref(window_x), ctypes.byref(window_y), ctypes.byref(mask))
        return x.value, y.value

    def window_place(self, window):
        """(x, y) of a window's top-left corner on the screen."""
        x, y, child = ctypes.c_int(), ctypes.c_int(), ctypes.c_ulong()
        self.x.XTranslateCoordinates(self.display, window, self.root, 0, 0, ctypes.byref(x), ctypes.byref(y),
                                     ctypes.byref(child))
        return x.value, y.value

    def _name(self, window):
        name = ctypes.c_char_p()
        if not self.x.XFetchName(self.display, window, ctypes.byref(name)) or not name.value:
            return None
        value = name.value
        self.x.XFree(name)
        return value

    def rgb_at(self, points):
        """(r, g, b) of each screen point, from one image of their bounding box;
        None when the box is not all on the screen."""
        xs, ys = [x for x, _ in points], [y for _, y in points]
        if min(xs) < 0 or min(ys) < 0 or max(xs) >= self.screen[0] or max(ys) >= self.screen[1]:
            return None
        return self.window_rgb(self.root, points)

    def window_rgb(self, window, points):
        """(r, g, b) of each point of a window, from one image of their
        bounding box, read from the window itself (where the X server keeps
        its content, as Xwayland does); None when the server gives no image."""
        xs, ys = [x for x, _ in points], [y for _, y in points]
        left, top = min(xs), min(ys)
        image = self.x.XGetImage(self.display, window, left, top, max(xs) - left + 1, max(ys) - top + 1,
                                 ALL_PLANES, Z_PIXMAP)
        if not image:
            return None
        try:
            pixels = [self.x.XGetPixel(image, x - left, y - top) for x, y in points]
        finally:
            self.x.XDestroyImage(image)
        return [((pixel >> 16) & 0xFF, (pixel >> 8) & 0xFF, pixel & 0xFF) for pixel in pixels]

    def request_close(self, window_id):
        """Asks a window to close as a window manager or a taskbar does: the
        ICCCM WM_DELETE_WINDOW message, sent to the window's own client."""
        event = XEvent()
        event.xclient.type = CLIENT_MESSAGE
        event.xclient.window = window_id
        event.xclient.message_type = self.x.XInternAtom(self.display, b"WM_PROTOCOLS", 0)
        event.xclient.format = 32
        event.xclient.data[0] = self.x.XInternAtom(self.display, b"WM_DELETE_WINDOW", 0)
        event.xclient.data[1] = 0  # CurrentTime
        if not self.x.XSendEvent(self.display, window_id, 0, 0, ctypes.byref(event)):
            raise RuntimeError("the close request could not be sent")
        self.x.XSync(self.display, 0)
