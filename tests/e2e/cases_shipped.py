"""End-to-end cases: the release folder exactly as shipped (its own default
rules and settings) over Wine's own programs and over the fixture standing
for the kinds of window the shipped rules name or leave alone."""
import os
import shutil
import signal
import subprocess
import time

from harness import *  # noqa: F401,F403 (the cases' shared vocabulary)


def shipped(h):
    """Puts the release's own default files back over the test settings."""
    for name in ("flicko.ini", "scroll.dat"):
        shutil.copy(os.path.join(h.args.release, "default", name), os.path.join(h.rel, "default", name))


def end(h, p):
    """Ends one program this case started."""
    try:
        os.killpg(p.pid, signal.SIGKILL)
    except ProcessLookupError:
        pass
    p.wait(timeout=30)


def content(band):
    """The pixels of a band of the screen (left, top, right, bottom), as
    bytes: what a scroll moves. Another program's bar cannot be read here
    (Wine answers no GetScrollInfo across processes)."""
    l, t, r, b = band
    return subprocess.run(["import", "-window", "root", "-crop", f"{r - l}x{b - t}+{l}+{t}", "rgb:-"],
                          capture_output=True, check=False).stdout


def menu_open(h):
    return h.tool("exists", "#32768")[0] == 0


def scrolls_and_clicks(h, what, rect, point):
    """A right drag at point moves the content of the window (a band
    around the point, clear of carets and prompts): up, or down where the
    content already shows its end; a plain right click there opens a menu."""
    l, t, r, b = rect
    x = point[0]
    band = (x - (r - l) // 8, t + (b - t) * 7 // 20, x + (r - l) // 8, t + (b - t) * 3 // 5)
    before = content(band)
    for dy in (-160, 160):
        drag(point, 0, dy, steps=16)
        time.sleep(0.5)
        if content(band) != before:
            break
        time.sleep(0.8)  # past the double-click time
    check(content(band) != before, f"{what}: a right drag did not move its content")
    time.sleep(0.8)  # past the double-click time
    hover(point)
    xdo("click", "3")
    wait_for(lambda: menu_open(h), 20, f"{what}: a menu after a plain right click")
    xdo("key", "Escape")
    wait_for(lambda: not menu_open(h), 20, f"{what}: the menu closed")


def top_rect(h, cls):
    rc, out = h.tool("rect", cls)
    return tuple(int(v) for v in out.split()) if rc == 0 else None


def case_shipped_rules_scroll_wine_programs(h):
    shipped(h)
    long_text = os.path.join(h.work, "long.txt")
    with open(long_text, "w", newline="\r\n") as f:
        # Every line differs along its whole width: any band shows a scroll.
        f.write("".join(f"{i:04} " * 14 + "\n" for i in range(400)))
    h.start_flicko()
    h.wait_hooked()
    # (what, command line, top-level class, where in the window: fractions)
    programs = [
        ("notepad", ("notepad", winpath(long_text)), "Notepad", (0.5, 0.75)),
        ("wordpad", (r"C:\Program Files\Windows NT\Accessories\wordpad.exe", winpath(long_text)), "WORDPADTOP",
         (0.5, 0.75)),
        ("winefile", ("winefile",), "WFS_Frame", (0.15, 0.75)),  # its folder tree
        ("a console window", ("wineconsole", "cmd", "/k", "type", winpath(long_text)), "WineConsoleClass",
         (0.3, 0.75)),
    ]
    for what, argv, cls, (fx, fy) in programs:
        p = h.wine(*argv)
        wait_for(lambda: top_rect(h, cls), 60, f"{what}'s window")
        h.tool("move", cls, "40", "40")
        l, t, r, b = wait_for(lambda: (lambda r: r if r and r[0] == 40 else None)(top_rect(h, cls)), 20,
                              f"{what}'s window in place")
        time.sleep(1.0)  # drawn in its new place
        scrolls_and_clicks(h, what, (l, t, r, b), (int(l + (r - l) * fx), int(t + (b - t) * fy)))
        end(h, p)


def fixture_kind(h, name, *extra):
    """One fixture at a time, each with its own log."""
    log = h.start_fixture(name, extra=extra)
    return log, h.procs[-1]


def case_shipped_rules_scroll_fixture_windows(h):
    """An unknown class with a standard bar, a toolkit's class without a
    bar, and a XAML class that reads only queued wheel input."""
    shipped(h)
    h.start_flicko()
    h.wait_hooked()

    # Any class with a bar of its own: line requests, one per 16 pixels.
    log, p = fixture_kind(h, "bar", "panelclass=OldCustomView", "range=1000")
    before = panel_pos(log)
    drag(inside(log.rects["panel"]), 0, -160, steps=16)
    wait_for(lambda: panel_pos(log) == before + 10, 20, "the unknown class scrolled 10 lines", log)
    check(not log.events("panel", "rdown", since_mark=False), "the press reached the panel", log)
    end(h, p)

    # A toolkit's class, no bar: whole notches only (this one drops what is
    # below a notch), one per 60 dragged pixels.
    log, p = fixture_kind(h, "toolkit", "panelclass=SunAwtCanvas", "nobar")
    before = panel_pos(log)
    drag(inside(log.rects["panel"], 0.5, 0.9), 0, -180, steps=30)
    wait_for(lambda: panel_pos(log) == before + 3, 20, "the toolkit window moved three notches", log)
    deltas = [int(l[3]) for l in log.events("panel", "wheel", since_mark=False)]
    check(deltas and all(d % 120 == 0 for d in deltas), f"not whole notches: {deltas}", log)
    end(h, p)

    # A XAML class: sent wheel messages are ignored, the wheel input at the
    # cursor is not; none of that input comes back as a press or a drag.
    log, p = fixture_kind(h, "xaml", "panelclass=Windows.UI.Core.CoreWindow", "queuewheel", "range=1000")
    before = panel_pos(log)
    drag(inside(log.rects["panel"], 0.5, 0.9), 0, -120, steps=12)
    wait_for(lambda: panel_pos(log) >= before + 2, 20, "the XAML window scrolled by wheel input", log)
    time.sleep(0.5)
    wheels = log.events("panel", "wheel", since_mark=False)
    check(all(l[4] == "queued" for l in wheels), f"wheel messages sent, not input: {wheels}", log)
    check(not log.events("panel", "rdown", since_mark=False), "the press reached the panel", log)
    check(h.block()["SendMove"] == 0, "a drag is left running", log)
    end(h, p)


def whole_drag(h, log, what):
    """A right drag over the panel arrives as it was made: one press, a move
    to every place the pointer went, one release, and nothing scrolled."""
    x, y = inside(log.rects["panel"], 0.3, 0.3)
    log.mark()
    drag((x, y), 120, 60, steps=12, pause=0.05)
    wait_for(lambda: log.events("panel", "rup"), 20, f"{what}: the release", log)
    time.sleep(0.5)
    got = [l[2] for l in log.since_mark() if l[1] == "panel" and l[2] in ("rdown", "rup", "rdbl")]
    check(got == ["rdown", "rup"], f"{what}: expected one press and one release, got {got}", log)
    cx, cy = log.client["panel"]
    seen = {(int(l[3]) + cx, int(l[4]) + cy) for l in log.events("panel", "pmove")}
    wanted = {(x + 120 * i // 12, y + 60 * i // 12) for i in range(1, 13)}
    check(wanted <= seen, f"{what}: moves missing at {sorted(wanted - seen)}", log)
    check(not log.events("panel", "vscroll") and not log.events("panel", "wheel"), f"{what}: scrolled", log)
    xdo("key", "Escape")


def case_right_drag_stays_the_applications(h):
    """A drawing surface of no known kind, and a window that would scroll
    but whose program confines the cursor, as a game does."""
    shipped(h)
    h.start_flicko()
    h.wait_hooked()
    log, p = fixture_kind(h, "surface", "panelclass=CanvasOfSomeCad", "nobar")
    whole_drag(h, log, "the drawing surface")
    end(h, p)
    log, p = fixture_kind(h, "game", "panelclass=GameView", "clip")
    wait_for(lambda: log.events("top", "clip", since_mark=False), 20, "the cursor confined", log)
    whole_drag(h, log, "the confining program")
    end(h, p)
