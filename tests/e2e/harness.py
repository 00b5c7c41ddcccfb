"""Shared by the end-to-end cases: the harness that starts the programs under
Wine in a scratch copy of the release folder, the fixture's log, waits with
deadlines, real X input through xdotool, and the tray helpers."""
import glob
import os
import re
import shutil
import signal
import subprocess
import tempfile
import time

ROOT = os.path.dirname(os.path.dirname(os.path.dirname(os.path.abspath(__file__))))


WINE_RUN = os.path.join(ROOT, "scripts", "wine-run.sh")


FIXTURE_POS = (100, 100)


OTHER_FIXTURE_POS = (100, 560)


SETTINGS = """[Files]
WriteExitStatus={write_exit}
{files}
[TaskbarIcon]
Tooltip=Flicko under test
[Scroll]
Enable={enable}
InertiaMin=50
CheckMouseInterval=0.01
InertiaInterval=0.01
{extra}
"""


# Rules for the fixture's controls: the edit scrolls vertically only, one
# line per 16 dragged pixels; the panel has a rule that switches scrolling
# off, so its presses pass untouched.
SCROLL_DAT = r"""// Rules of the end-to-end tests.
ClassI(Edit)
{
    HIsScroll: False;
    VMethod: scrollline;
    VScrollWidth: 16 dot;
    IsInertia: True;
}
ClassI(ListBox)
{
    HIsScroll: False;
    VMethod: scrollline;
    VScrollWidth: 16 dot;
}
Class(FixturePanel)
{
    IsScroll: False;
}
else
{
    IsScroll: False;
}
"""


class Failure(Exception):
    pass


def wine_bits(exe):
    """32 or 64, as a string: the bitness of a Windows program."""
    r = subprocess.run([WINE_RUN, "--bits", exe], capture_output=True, text=True, check=False)
    if r.returncode != 0:
        raise Failure(f"cannot tell the bitness of {exe}: {r.stderr.strip()}")
    return r.stdout.strip()


def winpath(path):
    return "Z:" + os.path.abspath(path).replace("/", "\\")


def quoted(path):
    """A Windows path as one word of a command line, whatever it holds."""
    return '"' + winpath(path) + '"'


def ansi_codepage(prefix):
    """The ANSI code page Wine runs the prefix's programs in (it follows the
    locale): what the tool's narrow output and argv are written in."""
    try:
        with open(os.path.join(prefix, "system.reg"), encoding="latin-1") as f:
            m = re.search(r'\[System\\\\CurrentControlSet\\\\Control\\\\Nls\\\\CodePage\][^\[]*?"ACP"="(\d+)"',
                          f.read(), re.IGNORECASE)
    except OSError:
        m = None
    return "cp" + m.group(1) if m else "cp1252"


class Log:
    """The fixture's event log: lines of "<ms> <control> <event> [values]"."""

    def __init__(self, path):
        self.path = path
        self.mark_at = 0

    def lines(self):
        try:
            with open(self.path, encoding="latin-1") as f:
                return [l.split() for l in f.read().splitlines() if l.strip()]
        except FileNotFoundError:
            return []

    def mark(self):
        """Later queries look only at lines written after this call."""
        self.mark_at = len(self.lines())

    def since_mark(self):
        return self.lines()[self.mark_at:]

    def events(self, control, event, since_mark=True):
        src = self.since_mark() if since_mark else self.lines()
        return [l for l in src if len(l) >= 3 and l[1] == control and l[2] == event]

    def last_value(self, control, event, index=0):
        found = self.events(control, event, since_mark=False)
        return int(found[-1][3 + index]) if found else None

    def tail(self, n=25):
        return "\n".join(" ".join(l) for l in self.lines()[-n:])


class Harness:
    def __init__(self, args):
        self.args = args
        self.work = os.path.join(args.work, args.case)
        self.procs = []
        self.flicko = None
        # Every Windows program of a case, and Wine's own tools, run under
        # the Wine that matches the release folder's bitness, in the tests'
        # prefix of that bitness (scripts/wine-run.sh names it; never the
        # user's, whatever WINEPREFIX says).
        self.bits = wine_bits(os.path.join(args.release, "flicko.exe"))
        self.env = {k: v for k, v in os.environ.items()
                    if k not in ("WINEPREFIX", "WINEARCH", "WINESERVER", "WINELOADER", "FLICKO_WINE_SESSION")}
        self.env["FLICKO_WINE_BITS"] = self.bits
        if "FLICKO_WINE_PREFIX" not in self.env:
            self.env["FLICKO_WINE_PREFIX"] = subprocess.run([WINE_RUN, "--prefix"], env=self.env, capture_output=True,
                                                            text=True, check=True).stdout.strip()
        self.codepage = None
        if not self.env.get("DISPLAY"):
            raise Failure("no DISPLAY: the end-to-end cases need an X server (scripts/test.sh starts Xvfb)")
        # The cases move the pointer and press its buttons for minutes: on
        # someone's desktop they would take it over.
        if self.env["DISPLAY"] != self.env.get("FLICKO_TEST_DISPLAY") and self.env.get("FLICKO_E2E_ANY_DISPLAY") != "1":
            raise Failure(f"DISPLAY {self.env['DISPLAY']} is not a display the tests started (scripts/xvfb.sh marks "
                          "its own); set FLICKO_E2E_ANY_DISPLAY=1 to drive this one anyway")
        # Each case starts with a fresh wineserver. Wine keeps a global hook
        # whose program was killed (an earlier case's flicko.exe): its
        # procedure would find this case's shared block and drive this
        # case's resident, even one that installed no hook of its own.
        self.wineserver("-k")
        self.wineserver("-w")
        shutil.rmtree(self.work, ignore_errors=True)
        os.makedirs(self.work)
        self.rel = os.path.join(self.work, "rel")
        shutil.copytree(args.release, self.rel)
        self.ini = os.path.join(self.rel, "default", "flicko.ini")
        self.write_settings()

    # --- set-up -----------------------------------------------------------
    def write_settings(self, enable=True, write_exit=False, files="", extra="", scroll_dat=SCROLL_DAT):
        # The program reads its settings in the ANSI code page: a path with
        # an accented letter is written in it.
        with open(self.ini, "w", newline="\r\n", encoding=ansi_codepage(self.prefix)) as f:
            f.write(SETTINGS.format(enable="1" if enable else "0", write_exit="1" if write_exit else "0",
                                    files=files, extra=extra))
        with open(os.path.join(self.rel, "default", "scroll.dat"), "w", newline="\r\n") as f:
            f.write(scroll_dat)

    def shipped_menus(self, more_items=()):
        """The item sections of the shipped settings file, with more items
        put before the right menu's closing End; returns the text and the
        right menu's choosable labels in menu order."""
        with open(os.path.join(self.args.release, "default", "flicko.ini"), encoding="latin-1") as f:
            lines = [l.strip() for l in f.read().splitlines()]
        sections, name = {}, None
        for l in lines:
            if l.startswith("["):
                name = l.strip("[]")
                sections[name] = []
            elif name and l and not l.startswith(";"):
                sections[name].append(l)
        right = sections["TaskbarIconRButton"]
        right[len(right) - 1:len(right) - 1] = list(more_items)
        labels = []
        for item in right:
            key, _, value = item.partition("=")
            kind = key.rstrip("0123456789").lower()
            if kind in ("execute", "shell"):
                labels.append(value.split(" : ", 1)[-1].strip())
            elif kind not in ("menu", "end", "separator"):
                labels.append(value)
        text = "".join(f"[{n}]\n" + "\n".join(sections[n]) + "\n" for n in ("TaskbarIconLButton", "TaskbarIconRButton"))
        return text, labels

    def wine(self, *argv, **kw):
        """Starts a Windows program (or one of Wine's own) and leaves it running."""
        p = subprocess.Popen([WINE_RUN, *argv], env=self.env, stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL,
                             start_new_session=True, **kw)
        self.procs.append(p)
        return p

    def run(self, *argv, timeout=120, output=True):
        """Runs a Windows program (or one of Wine's own) to its end. Its
        output goes to files, never to a pipe: a program it starts (or a
        server) inherits its standard handles, and reading a pipe to its end
        would wait for that one too. The text is decoded in Wine's ANSI code
        page, where a path with an accented letter is written."""
        if not output:
            return subprocess.run([WINE_RUN, *argv], env=self.env, timeout=timeout, check=False,
                                  stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
        with tempfile.TemporaryFile() as out, tempfile.TemporaryFile() as err:
            r = subprocess.run([WINE_RUN, *argv], env=self.env, timeout=timeout, check=False, stdout=out, stderr=err)
            if self.codepage is None:
                self.codepage = ansi_codepage(self.prefix)
            out.seek(0)
            err.seek(0)
            return subprocess.CompletedProcess(r.args, r.returncode, out.read().decode(self.codepage, "replace"),
                                               err.read().decode(self.codepage, "replace"))

    @property
    def prefix(self):
        return self.env["FLICKO_WINE_PREFIX"]

    def wineserver(self, *argv):
        subprocess.run([WINE_RUN, "--server", *argv], env=self.env, check=False)

    def tool(self, *argv, timeout=60):
        r = self.run(os.path.join(self.args.tools, "flickotool.exe"), *argv, timeout=timeout)
        return r.returncode, r.stdout.strip()

    def start_fixture(self, name="fx", pos=FIXTURE_POS, extra=(), exe=None):
        log = Log(os.path.join(self.work, name + ".log"))
        p = self.wine(exe or self.args.fixture, winpath(log.path), str(pos[0]), str(pos[1]), *extra)
        wait_for(lambda: log.events("top", "ready", since_mark=False) or ended(p, "the fixture"), 90,
                 "fixture ready", log)
        log.rects = {l[1]: tuple(int(v) for v in l[3:7]) for l in log.lines() if len(l) >= 7 and l[2] == "rect"}
        log.client = {l[1]: (int(l[3]), int(l[4])) for l in log.lines() if len(l) >= 5 and l[2] == "client"}
        log.line_height = log.last_value("edit", "lineheight")
        return log

    def start_flicko(self):
        self.flicko = self.wine(os.path.join(self.rel, "flicko.exe"))
        return self.flicko

    def block(self):
        rc, out = self.tool("block")
        if rc != 0:
            return None
        wnd, hook, send_move = (int(v) for v in out.split())
        return {"Wnd": wnd, "Hook": hook, "SendMove": send_move}

    def wait_hooked(self, log=None):
        wait_for(lambda: (self.block() or {}).get("Hook", 0) != 0 or (self.flicko and ended(self.flicko, "flicko")),
                 90, "flicko installs its hook", log)

    def start_hooked(self, **fixture):
        """The fixture, then flicko, ready once the hook is in."""
        log = self.start_fixture(**fixture)
        self.start_flicko()
        self.wait_hooked(log)
        return log

    def stop(self):
        if self.flicko and self.flicko.poll() is None:
            self.tool("close", "Flicko", "10000")
        for p in self.procs:
            if p.poll() is None:
                try:
                    os.killpg(p.pid, signal.SIGKILL)
                except ProcessLookupError:
                    pass
        for p in self.procs:
            try:
                p.wait(timeout=10)
            except subprocess.TimeoutExpired:
                pass
        xdo("mouseup", "3")
        xdo("mouseup", "1")


def ended(p, what):
    """False while p runs; fails the case once it has ended."""
    if p.poll() is None:
        return False
    raise Failure(f"{what} ended with exit code {p.returncode} before it was ready")


def wait_for_or_none(pred, seconds):
    """pred's first true value within the deadline, polled; else None."""
    end = time.monotonic() + seconds
    while time.monotonic() < end:
        v = pred()
        if v:
            return v
        time.sleep(0.05)
    return None


def wait_for(pred, seconds, what, log=None):
    """Like wait_for_or_none, but a passed deadline fails the case."""
    v = wait_for_or_none(pred, seconds)
    if v:
        return v
    raise Failure("timed out waiting for: " + what + ("\nlog tail:\n" + log.tail() if log else ""))


def stays(pred, seconds):
    """pred holds at every poll for the whole period."""
    end = time.monotonic() + seconds
    while time.monotonic() < end:
        if not pred():
            return False
        time.sleep(0.05)
    return True


def check(cond, what, log=None):
    if not cond:
        raise Failure(what + ("\nlog tail:\n" + log.tail() if log else ""))


def xdo(*argv):
    subprocess.run(["xdotool", *argv], check=False)


def hover(point):
    """Puts the pointer on point and lets the move settle."""
    xdo("mousemove", str(point[0]), str(point[1]))
    time.sleep(0.2)


def inside(rect, fx=0.5, fy=0.4):
    """A point in a control's client area, clear of its scroll bars."""
    l, t, r, b = rect
    return int(l + (r - l - 24) * fx), int(t + (b - t - 24) * fy)


def moves(start, dx, dy, steps, pause):
    """One xdotool run that moves in steps: no process start between moves."""
    x, y = start
    argv = []
    for i in range(1, steps + 1):
        argv += ["mousemove", str(x + dx * i // steps), str(y + dy * i // steps), "sleep", str(pause)]
    xdo(*argv)


def drag(start, dx, dy, steps, pause=0.03, settle=0.3, button="3"):
    """A right drag: press, move in steps, rest, release."""
    x, y = start
    xdo("mousemove", str(x), str(y))
    time.sleep(0.2)
    xdo("mousedown", button)
    time.sleep(0.1)
    moves(start, dx, dy, steps, pause)
    time.sleep(settle)
    xdo("mouseup", button)


def edit_pos(log):
    return log.last_value("edit", "pos")


def tray_icons(h):
    """The rectangles of the icons in the notification area. Wine shows
    each as a window of its own (class __winex11_tray_icon), inside its
    stand-alone tray window when no desktop tray takes them."""
    rc, out = h.tool("trayicons")
    return [tuple(int(v) for v in l.split()) for l in out.splitlines()] if rc == 0 else []


def tray_icon(h, log=None):
    """The rectangle of the one icon in the notification area, Flicko's."""
    icons = wait_for(lambda: tray_icons(h), 60, "the tray icon", log)
    check(len(icons) == 1, f"more than Flicko's icon in the notification area: {icons}", log)
    return icons[0]


def click_tray(h, button, log=None):
    l, t, r, b = tray_icon(h, log)
    xdo("mousemove", str((l + r) // 2), str((t + b) // 2))
    time.sleep(0.2)
    xdo("click", button)


# Colours that only the tray pictures use (see host/res/make_icons.py).
PICTURES = {"enable": "#285AC8", "disable": "#D21E1E", "scroll": "#1E963C"}


def icon_picture(rect):
    """Which of the tray pictures is shown in rect, by the colours on the
    screen in its middle half; None for none or more than one. Only the
    middle counts: every picture paints all of it, while Wine leaves the
    previous picture where the new one is transparent."""
    l, t, r, b = rect
    w, h = (r - l) // 2, (b - t) // 2
    shot = subprocess.run(["import", "-window", "root", "-crop", f"{w}x{h}+{l + w // 2}+{t + h // 2}", "png:-"],
                          capture_output=True, check=False).stdout
    hist = subprocess.run(["convert", "-", "-format", "%c", "histogram:info:-"], input=shot, capture_output=True,
                          check=False).stdout.decode("latin-1")
    colours = {word.upper() for line in hist.splitlines() for word in line.split() if word.startswith("#")}
    shown = [name for name, colour in PICTURES.items() if colour in colours]
    return shown[0] if len(shown) == 1 else None


def wait_picture(h, name, seconds, log=None):
    """Waits until Flicko's icon shows the named picture; the icon stays
    where it is while it is shown, so its place is asked once."""
    rect = tray_icon(h, log)
    wait_for(lambda: icon_picture(rect) == name, seconds, f"the {name} picture in the notification area", log)


def open_tray_menu(h, log=None):
    """Opens the icon's menu with a right click; keys go to it only once it
    is open (a loaded machine may take a while to show it)."""
    click_tray(h, "3", log)
    wait_for(lambda: h.tool("exists", "#32768")[0] == 0, 20, "the tray menu open", log)
    time.sleep(0.5)


def choose(labels, label):
    """Picks a menu item with the keyboard: separators are skipped."""
    xdo(*(["key", "--delay", "60"] + ["Down"] * (labels.index(label) + 1) + ["Return"]))


def shot(h, name):
    path = os.path.join(h.work, name + ".png")
    subprocess.run(["import", "-window", "root", path], check=False)
    return path


def panel_pos(log):
    return log.last_value("panel", "pos")


def settle(log):
    """Waits until the panel's lines sent so far have all landed."""
    def still():
        at = panel_pos(log)
        return stays(lambda: panel_pos(log) == at, 0.5)
    wait_for(still, 30, "the panel at rest", log)


def flick(start, rest=0.0, moves=12, step=25, pause=0.004):
    """A right flick upwards: moves of step px, pause s apart, in one
    xdotool run, then the release after rest."""
    hover(start)
    xdo("mousedown", "3")
    time.sleep(0.1)
    xdo(*sum((["mousemove", str(start[0]), str(start[1] - step * i), "sleep", str(pause)]
              for i in range(1, moves + 1)), []),
        "sleep", str(rest), "mouseup", "3")


def edit_flick(log):
    """Fast and without a rest before the release over the fixture's edit:
    the velocity stays above the glide threshold."""
    flick(inside(log.rects["edit"], 0.5, 0.85), moves=7, step=20, pause=0.008)


def press_and_move_up(point, moves=5, step=16):
    """A right press at point and moves up from it, the button left held."""
    x, y = point
    hover(point)
    xdo("mousedown", "3")
    for i in range(1, moves + 1):
        xdo("mousemove", str(x), str(y - step * i))
        time.sleep(0.03)


def flicko_pids(h):
    """The process that runs this case's flicko.exe: the one the harness
    started (scripts/wine-run.sh becomes the program itself), checked to
    be flicko.exe still."""
    if not h.flicko or h.flicko.poll() is not None:
        return []
    try:
        with open(f"/proc/{h.flicko.pid}/cmdline", "rb") as f:
            cmdline = f.read().decode("utf-8", "replace")
    except OSError:
        return []
    return [h.flicko.pid] if "flicko.exe" in cmdline.lower() else []


def click_delay_ms(log, point):
    """From a left press put into X to the list's WM_LBUTTONDOWN, in ms."""
    hover(point)
    log.mark()
    sent = time.clock_gettime(time.CLOCK_MONOTONIC_RAW) * 1e6
    xdo("mousedown", "1")
    ev = wait_for(lambda: log.events("list", "ldown"), 30, "the press at the list", log)
    xdo("mouseup", "1")
    time.sleep(0.3)
    return (int(ev[-1][3]) - sent) / 1000.0


START_MENU = ("AppData", "Roaming", "Microsoft", "Windows", "Start Menu", "Programs")


def user_folder(prefix, *parts):
    """A folder of the prefix's user, whatever the user is called. Its
    names match without regard to case, as Windows matches them (Wine's
    prefix has "StartUp")."""
    for user in sorted(glob.glob(os.path.join(glob.escape(prefix), "drive_c", "users", "*"))):
        if os.path.basename(user) == "Public":
            continue
        path = user
        for part in parts:
            names = {n.lower(): n for n in os.listdir(path)} if os.path.isdir(path) else {}
            if part.lower() not in names:
                path = None
                break
            path = os.path.join(path, names[part.lower()])
        if path:
            return path
    return None
