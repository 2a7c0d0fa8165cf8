"""A private X server and the means to drive a program in it as a user would.

How the parts meet: XSession starts its own Xvfb on a free display (found by
Xvfb itself through -displayfd), starts programs on it with a clean
environment and ends, by pid, exactly the processes it started, also when a
check fails. Input goes through xdotool (real XTest pointer and key events),
window titles come from xdotool, geometry from xwininfo, the clipboard from
xclip. What those tools cannot do, a window manager's close request and
waiting for a window to be mapped or drawn, XConnection does over libX11 (and
libXdamage) with ctypes.
Every wait polls against a deadline; nothing sleeps for a fixed time.

    with XSession() as x:
        program = x.start(["/path/to/program"])
        window = x.wait_for_window(program, "传动比计算（作者：Velnor）")
        x.click(window, 72, 40)
"""

import contextlib
import ctypes
import os
import select
import shutil
import subprocess
import sys
import tempfile
import time

SCREEN = (1280, 1024)
TWIPS_PER_PIXEL = 15


class CheckFailed(Exception):
    """A check did not hold, or something did not happen in time."""


def wait_until(what, probe, timeout=10.0, interval=0.01):
    """Polls probe() until it returns a true value and returns that value.

    Raises CheckFailed naming `what` when `timeout` seconds pass first.
    """
    deadline = time.monotonic() + timeout
    while True:
        value = probe()
        if value:
            return value
        if time.monotonic() > deadline:
            raise CheckFailed(f"gave up after {timeout:g} s waiting for {what}")
        time.sleep(interval)


def pixels(twips):
    """Twips to pixels at 96 dpi, rounded to nearest: 1695 -> 113."""
    return (twips + TWIPS_PER_PIXEL // 2) // TWIPS_PER_PIXEL


class Checker:
    """Prints each check as it is made and counts the failures."""

    def __init__(self):
        self.failures = 0

    def check(self, ok, description, detail=""):
        print(("ok    " if ok else "FAIL  ") + description +
              ("" if ok or not detail else f"  ({detail})"), flush=True)
        if not ok:
            self.failures += 1
        return ok

    def reached(self, description):
        """Reports a step whose wait would have raised CheckFailed."""
        print("ok    " + description, flush=True)

    def equal(self, actual, expected, description):
        return self.check(actual == expected, f"{description}: {expected!r}",
                          f"got {actual!r}")


# --- libX11 over ctypes ---------------------------------------------------

_Window = ctypes.c_ulong
_Atom = ctypes.c_ulong
_CLIENT_MESSAGE = 33
_MAP_NOTIFY = 19
_SUBSTRUCTURE_NOTIFY_MASK = 1 << 19
_DAMAGE_REPORT_RAW_RECTANGLES = 0


class _ClientMessageEvent(ctypes.Structure):
    _fields_ = [("type", ctypes.c_int), ("serial", ctypes.c_ulong),
                ("send_event", ctypes.c_int), ("display", ctypes.c_void_p),
                ("window", _Window), ("message_type", _Atom),
                ("format", ctypes.c_int), ("data", ctypes.c_long * 5)]


class _MapEvent(ctypes.Structure):
    _fields_ = [("type", ctypes.c_int), ("serial", ctypes.c_ulong),
                ("send_event", ctypes.c_int), ("display", ctypes.c_void_p),
                ("event", _Window), ("window", _Window),
                ("override_redirect", ctypes.c_int)]


class _Rectangle(ctypes.Structure):
    _fields_ = [("x", ctypes.c_short), ("y", ctypes.c_short),
                ("width", ctypes.c_ushort), ("height", ctypes.c_ushort)]


class _DamageNotifyEvent(ctypes.Structure):
    _fields_ = [("type", ctypes.c_int), ("serial", ctypes.c_ulong),
                ("send_event", ctypes.c_int), ("display", ctypes.c_void_p),
                ("drawable", ctypes.c_ulong), ("damage", ctypes.c_ulong),
                ("level", ctypes.c_int), ("more", ctypes.c_int), ("timestamp", ctypes.c_ulong),
                ("area", _Rectangle), ("geometry", _Rectangle)]


class _Event(ctypes.Union):
    _fields_ = [("type", ctypes.c_int), ("client", _ClientMessageEvent),
                ("map", _MapEvent), ("damage", _DamageNotifyEvent), ("pad", ctypes.c_long * 24)]


def _load_x11():
    x11 = ctypes.CDLL("libX11.so.6")
    x11.XOpenDisplay.restype = ctypes.c_void_p
    x11.XOpenDisplay.argtypes = [ctypes.c_char_p]
    x11.XCloseDisplay.argtypes = [ctypes.c_void_p]
    x11.XDefaultRootWindow.restype = _Window
    x11.XDefaultRootWindow.argtypes = [ctypes.c_void_p]
    x11.XInternAtom.restype = _Atom
    x11.XInternAtom.argtypes = [ctypes.c_void_p, ctypes.c_char_p, ctypes.c_int]
    x11.XSendEvent.argtypes = [ctypes.c_void_p, _Window, ctypes.c_int,
                               ctypes.c_long, ctypes.POINTER(_Event)]
    x11.XSelectInput.argtypes = [ctypes.c_void_p, _Window, ctypes.c_long]
    x11.XSync.argtypes = [ctypes.c_void_p, ctypes.c_int]
    x11.XFlush.argtypes = [ctypes.c_void_p]
    x11.XPending.argtypes = [ctypes.c_void_p]
    x11.XNextEvent.argtypes = [ctypes.c_void_p, ctypes.POINTER(_Event)]
    x11.XConnectionNumber.argtypes = [ctypes.c_void_p]
    x11.XGetInputFocus.argtypes = [ctypes.c_void_p, ctypes.POINTER(_Window),
                                   ctypes.POINTER(ctypes.c_int)]
    x11.XKeysymToKeycode.restype = ctypes.c_ubyte
    x11.XKeysymToKeycode.argtypes = [ctypes.c_void_p, ctypes.c_ulong]
    x11.XTranslateCoordinates.argtypes = [
        ctypes.c_void_p, _Window, _Window, ctypes.c_int, ctypes.c_int,
        ctypes.POINTER(ctypes.c_int), ctypes.POINTER(ctypes.c_int), ctypes.POINTER(_Window)]
    x11.XGetGeometry.argtypes = [
        ctypes.c_void_p, ctypes.c_ulong, ctypes.POINTER(_Window), ctypes.POINTER(ctypes.c_int),
        ctypes.POINTER(ctypes.c_int), ctypes.POINTER(ctypes.c_uint),
        ctypes.POINTER(ctypes.c_uint), ctypes.POINTER(ctypes.c_uint),
        ctypes.POINTER(ctypes.c_uint)]
    return x11


class XConnection:
    """One client connection to the session's X server."""

    def __init__(self, display):
        self._x11 = _load_x11()
        self._dpy = self._x11.XOpenDisplay(display.encode())
        if not self._dpy:
            raise CheckFailed(f"cannot open X display {display}")
        self._root = self._x11.XDefaultRootWindow(self._dpy)
        self._xtest = None
        self._damage_notify = None

    def close(self):
        if self._dpy:
            self._x11.XCloseDisplay(self._dpy)
            self._dpy = None

    def _atom(self, name):
        return self._x11.XInternAtom(self._dpy, name.encode(), 0)

    def request_close(self, window):
        """Asks `window` to close as a window manager does: a WM_PROTOCOLS
        ClientMessage holding WM_DELETE_WINDOW, sent to the window itself."""
        event = _Event()
        event.client.type = _CLIENT_MESSAGE
        event.client.window = window
        event.client.message_type = self._atom("WM_PROTOCOLS")
        event.client.format = 32
        event.client.data[0] = self._atom("WM_DELETE_WINDOW")
        event.client.data[1] = 0  # CurrentTime
        if not self._x11.XSendEvent(self._dpy, window, 0, 0, ctypes.byref(event)):
            raise CheckFailed("XSendEvent refused the WM_DELETE_WINDOW message")
        self._x11.XSync(self._dpy, 0)

    def focused_window(self):
        window, revert = _Window(), ctypes.c_int()
        self._x11.XGetInputFocus(self._dpy, ctypes.byref(window), ctypes.byref(revert))
        return window.value

    def watch_maps(self):
        """From now on, top-level windows being mapped are reported to
        next_map(); the request has reached the server when this returns."""
        self._x11.XSelectInput(self._dpy, self._root, _SUBSTRUCTURE_NOTIFY_MASK)
        self._x11.XSync(self._dpy, 0)

    def discard_events(self):
        """Drops the events received so far, so that next_map() sees only
        what happens from now on."""
        self._x11.XSync(self._dpy, 0)
        event = _Event()
        while self._x11.XPending(self._dpy):
            self._x11.XNextEvent(self._dpy, ctypes.byref(event))

    def _next_event(self, matches, timeout, what):
        """Reads events until matches(event) holds; returns the event and the
        monotonic time at which it was read. Raises CheckFailed naming `what`
        after `timeout` seconds."""
        event = _Event()
        deadline = time.monotonic() + timeout
        fd = self._x11.XConnectionNumber(self._dpy)
        while True:
            while self._x11.XPending(self._dpy):
                self._x11.XNextEvent(self._dpy, ctypes.byref(event))
                if matches(event):
                    return event, time.monotonic()
            left = deadline - time.monotonic()
            if left <= 0:
                raise CheckFailed(f"{what} within {timeout:g} s")
            select.select([fd], [], [], left)

    def next_map(self, timeout):
        """Waits for the next MapNotify of a top-level window; returns the
        window and the monotonic time at which its event was read."""
        event, read = self._next_event(lambda e: e.type == _MAP_NOTIFY, timeout,
                                       "no window was mapped")
        return event.map.window, read

    def watch_drawing(self):
        """From now on, what any client draws on the screen is reported to
        next_drawn(): a Damage object (XDamage) on the root window, which
        reports each drawing request's rectangle in root coordinates."""
        xdamage = ctypes.CDLL("libXdamage.so.1")
        xdamage.XDamageQueryExtension.argtypes = [ctypes.c_void_p, ctypes.POINTER(ctypes.c_int),
                                                  ctypes.POINTER(ctypes.c_int)]
        xdamage.XDamageCreate.restype = ctypes.c_ulong
        xdamage.XDamageCreate.argtypes = [ctypes.c_void_p, ctypes.c_ulong, ctypes.c_int]
        event_base, error_base = ctypes.c_int(), ctypes.c_int()
        if not xdamage.XDamageQueryExtension(self._dpy, ctypes.byref(event_base),
                                             ctypes.byref(error_base)):
            raise CheckFailed("the X server has no DAMAGE extension")
        self._damage_notify = event_base.value  # XDamageNotify is its first event
        xdamage.XDamageCreate(self._dpy, self._root, _DAMAGE_REPORT_RAW_RECTANGLES)
        self._x11.XSync(self._dpy, 0)

    def root_rect(self, window):
        """The window's (x, y, width, height) in root coordinates."""
        root, child = _Window(), _Window()
        x, y = ctypes.c_int(), ctypes.c_int()
        width, height, border, depth = (ctypes.c_uint() for _ in range(4))
        if not self._x11.XGetGeometry(self._dpy, window, ctypes.byref(root), ctypes.byref(x),
                                      ctypes.byref(y), ctypes.byref(width), ctypes.byref(height),
                                      ctypes.byref(border), ctypes.byref(depth)):
            raise CheckFailed(f"no geometry for window {window:#x}")
        self._x11.XTranslateCoordinates(self._dpy, window, self._root, 0, 0, ctypes.byref(x),
                                        ctypes.byref(y), ctypes.byref(child))
        return x.value, y.value, width.value, height.value

    def next_drawn(self, window, timeout):
        """After next_map() has returned `window`: waits for the first drawing
        inside it (its client's first picture reaching the screen) and returns
        the monotonic time at which that event was read. Needs watch_drawing()."""
        left, top, width, height = self.root_rect(window)

        def inside(event):
            area = event.damage.area
            return (event.type == self._damage_notify and
                    left <= area.x and area.x + area.width <= left + width and
                    top <= area.y and area.y + area.height <= top + height)
        _, read = self._next_event(inside, timeout, f"nothing was drawn in window {window:#x}")
        return read

    def press_key(self, keysym):
        """Presses and releases one key through XTest, then flushes."""
        if self._xtest is None:
            self._xtest = ctypes.CDLL("libXtst.so.6")
            self._xtest.XTestFakeKeyEvent.argtypes = [ctypes.c_void_p, ctypes.c_uint,
                                                      ctypes.c_int, ctypes.c_ulong]
        keycode = self._x11.XKeysymToKeycode(self._dpy, keysym)
        self._xtest.XTestFakeKeyEvent(self._dpy, keycode, 1, 0)
        self._xtest.XTestFakeKeyEvent(self._dpy, keycode, 0, 0)
        self._x11.XFlush(self._dpy)


KEYSYM_RETURN = 0xFF0D


# --- the session ----------------------------------------------------------

class XSession:
    """An Xvfb of its own and the programs started on it."""

    def __init__(self, screen=SCREEN):
        for tool in ("Xvfb", "xdotool", "xwininfo", "xclip"):
            if shutil.which(tool) is None:
                raise CheckFailed(f"{tool} is not installed")
        self._processes = []
        self._temp = tempfile.TemporaryDirectory(prefix="tr-xsession-")
        self._xvfb_log = open(os.path.join(self._temp.name, "xvfb.log"), "w+b")
        read_end, write_end = os.pipe()
        try:
            self.xvfb = self._spawn(
                ["Xvfb", "-displayfd", str(write_end), "-screen", "0",
                 f"{screen[0]}x{screen[1]}x24", "-nolisten", "tcp", "-noreset"],
                env=os.environ.copy(), pass_fds=(write_end,), stdout=subprocess.DEVNULL,
                stderr=self._xvfb_log)
            os.close(write_end)
            write_end = -1
            self.display = ":" + self._read_display_number(read_end)
            runtime = os.path.join(self._temp.name, "runtime")
            os.mkdir(runtime, 0o700)
            # A desktop session's environment: this display, no other, and
            # none of the caller's Qt scaling, which would change the sizes.
            dropped = {"WAYLAND_DISPLAY", "QT_QPA_PLATFORM", "XAUTHORITY", "QT_SCALE_FACTOR",
                       "QT_SCREEN_SCALE_FACTORS", "QT_FONT_DPI", "QT_ENABLE_HIGHDPI_SCALING",
                       "QT_AUTO_SCREEN_SCALE_FACTOR"}
            self.env = {key: value for key, value in os.environ.items() if key not in dropped}
            self.env.update(DISPLAY=self.display, XDG_RUNTIME_DIR=runtime)
            self.x = XConnection(self.display)
        except BaseException:
            self.close()
            raise
        finally:
            os.close(read_end)
            if write_end >= 0:
                os.close(write_end)

    def _read_display_number(self, read_end):
        text = b""
        deadline = time.monotonic() + 15
        while not text.endswith(b"\n"):
            left = deadline - time.monotonic()
            if self.xvfb.poll() is not None or left <= 0:
                raise CheckFailed("Xvfb did not start: " + self.xvfb_log())
            if select.select([read_end], [], [], left)[0]:
                chunk = os.read(read_end, 16)
                if not chunk:
                    raise CheckFailed("Xvfb closed -displayfd: " + self.xvfb_log())
                text += chunk
        return text.decode().strip()

    def xvfb_log(self):
        self._xvfb_log.seek(0)
        return self._xvfb_log.read().decode(errors="replace")[-2000:]

    def __enter__(self):
        return self

    def __exit__(self, *exc):
        self.close()

    def _spawn(self, argv, **kwargs):
        process = subprocess.Popen(argv, **kwargs)
        self._processes.append(process)
        return process

    def start(self, argv, extra_env=None, **kwargs):
        """Starts a program on the session's display, as from a desktop,
        with `extra_env` added to its environment."""
        kwargs.setdefault("stdin", subprocess.DEVNULL)
        return self._spawn(argv, env={**self.env, **(extra_env or {})}, **kwargs)

    def close(self):
        """Ends what this session started, newest first, by pid."""
        if getattr(self, "x", None) is not None:
            self.x.close()
        for process in reversed(self._processes):
            if process.poll() is None:
                process.terminate()
                try:
                    process.wait(timeout=5)
                except subprocess.TimeoutExpired:
                    process.kill()
                    process.wait()
        self._processes.clear()
        self._xvfb_log.close()
        self._temp.cleanup()

    # Tools run on the session's display.
    def tool(self, *argv, check=True):
        result = subprocess.run(argv, env=self.env, capture_output=True, timeout=20)
        if check and result.returncode != 0:
            raise CheckFailed(f"{' '.join(argv)} failed: "
                              f"{result.stderr.decode(errors='replace').strip()}")
        return result

    def visible_windows(self, process):
        """Ids of the process's mapped top-level windows (its _NET_WM_PID)."""
        result = self.tool("xdotool", "search", "--onlyvisible", "--pid",
                           str(process.pid), check=False)
        return [int(line) for line in result.stdout.split()]

    def title(self, window):
        result = self.tool("xdotool", "getwindowname", str(window), check=False)
        return result.stdout.decode("utf-8", errors="replace").rstrip("\n")

    def windows_titled(self, process, title):
        return [w for w in self.visible_windows(process) if self.title(w) == title]

    def wait_for_window(self, process, title, timeout=20):
        """The process's one mapped window titled exactly `title`."""
        def probe():
            if process.poll() is not None:
                raise CheckFailed(f"the program ended with status {process.returncode} "
                                  f"before showing {title!r}")
            return self.windows_titled(process, title)
        found = wait_until(f"a window titled {title!r}", probe, timeout)
        if len(found) != 1:
            raise CheckFailed(f"{len(found)} windows titled {title!r}")
        return found[0]

    def wait_for_new_window(self, process, known, timeout=10):
        """A mapped window of the process other than those in `known`."""
        def probe():
            if process.poll() is not None:
                raise CheckFailed(f"the program ended with status {process.returncode}")
            return [w for w in self.visible_windows(process) if w not in known]
        return wait_until("a new window", probe, timeout)[0]

    def wait_gone(self, process, window, timeout=10):
        wait_until(f"window {window:#x} to disappear",
                   lambda: window not in self.visible_windows(process), timeout)

    def geometry(self, window):
        """(x, y, width, height) of the window's client area on the screen."""
        info = {}
        for line in self.tool("xwininfo", "-id", str(window)).stdout.decode().splitlines():
            key, _, value = line.strip().partition(":")
            info[key] = value.strip()
        return (int(info["Absolute upper-left X"]), int(info["Absolute upper-left Y"]),
                int(info["Width"]), int(info["Height"]))

    def focus(self, window, timeout=5):
        """Gives the window the keyboard focus, as a window manager would."""
        self.tool("xdotool", "windowfocus", str(window))
        wait_until(f"the focus on window {window:#x}",
                   lambda: self.x.focused_window() == window, timeout)

    def click(self, window, x, y):
        """Left click at client pixel (x, y) of the window."""
        self.tool("xdotool", "mousemove", "--window", str(window), str(x), str(y),
                  "click", "1")

    def click_control(self, window, rect_twips):
        """Clicks inside a control given as (left, top, width, height) twips of
        the client area: a third of the way in, at mid-height, where an option
        button's caption and a button's face are."""
        left, top, width, height = rect_twips
        self.click(window, pixels(left + width // 3), pixels(top + height // 2))

    def keys(self, *names):
        self.tool("xdotool", "key", "--clearmodifiers", *names)

    def type_text(self, text):
        self.tool("xdotool", "type", "--delay", "5", text)

    def clipboard(self):
        result = self.tool("xclip", "-o", "-selection", "clipboard", check=False)
        return result.stdout.decode("utf-8", errors="replace") if result.returncode == 0 else None

    def wait_until_clipboard_changes(self, before, timeout=5):
        """The clipboard's text once it differs from `before` (None: empty)."""
        def changed():
            now = self.clipboard()
            return now if now is not None and now != before else None
        return wait_until("a new text on the clipboard", changed, timeout)

    def wait_exit(self, process, after, timeout=10):
        """The exit status of a program told to end by `after`."""
        try:
            return process.wait(timeout=timeout)
        except subprocess.TimeoutExpired:
            raise CheckFailed(f"the program still runs {timeout:g} s after {after}") from None

    def close_window(self, process, window, timeout=10):
        """Closes the window as a window manager's close box does; returns
        the program's exit status."""
        self.x.request_close(window)
        return self.wait_exit(process, "the close request (WM_DELETE_WINDOW)", timeout)

    def _capture(self, rect):
        x, y, width, height = rect
        return self.tool("import", "-window", "root", "-crop",
                         f"{width}x{height}+{x}+{y}", "+repage", "ppm:-").stdout

    def screenshot(self, path, rect, timeout=10):
        """Saves the screen's (x, y, width, height) area as a PNG once the
        program has finished painting it: two captures in a row agree."""
        previous = self._capture(rect)

        def settled():
            nonlocal previous
            current = self._capture(rect)
            same, previous = current == previous, current
            return same
        wait_until("the screen to stop changing", settled, timeout, interval=0.2)
        subprocess.run(["convert", "ppm:-", "-strip", f"png:{path}"], input=previous,
                       check=True, timeout=20)

    @staticmethod
    def bounding_box(*rects):
        """The smallest (x, y, width, height) holding all the rectangles."""
        left = min(r[0] for r in rects)
        top = min(r[1] for r in rects)
        right = max(r[0] + r[2] for r in rects)
        bottom = max(r[1] + r[3] for r in rects)
        return left, top, right - left, bottom - top


@contextlib.contextmanager
def reported_run(name):
    """Runs a test body: prints CheckFailed and other errors, exits non-zero
    on any failure; `checker.failures` counts the soft ones."""
    checker = Checker()
    try:
        yield checker
    except CheckFailed as failure:
        checker.check(False, str(failure))
    if checker.failures:
        print(f"{name}: {checker.failures} check(s) failed", flush=True)
        sys.exit(1)
    print(f"{name}: all checks passed", flush=True)
