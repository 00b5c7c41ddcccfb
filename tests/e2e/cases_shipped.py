"""End-to-end cases: the release folder as shipped over Wine's own programs
and over the fixture dressed as the kinds of window the rules name or not."""
import os
import shutil
import signal
import subprocess
import time

from harness import *  # noqa: F401,F403 (the cases' shared vocabulary)


def shipped_flicko(h):
    """Flicko with the release's own default files, not the test settings."""
    for name in ("flicko.ini", "scroll.dat"):
        shutil.copy(os.path.join(h.args.release, "default", name), os.path.join(h.rel, "default", name))
    h.start_flicko()
    h.wait_hooked()


def end(p):
    os.killpg(p.pid, signal.SIGKILL)
    p.wait(timeout=30)

def content(l, t, r, b):
    """The pixels of a band of the screen: another program's bar cannot be
    read from here (Wine answers no GetScrollInfo across processes)."""
    return subprocess.run(["import", "-window", "root", "-crop", f"{r - l}x{b - t}+{l}+{t}", "rgb:-"],
                          capture_output=True, check=False).stdout


def case_shipped_rules_scroll_wine_programs(h):
    text = os.path.join(h.work, "long.txt")
    with open(text, "w", newline="\r\n") as f:
        f.write("".join(f"{i:04} " * 14 + "\n" for i in range(400)))  # every band of it differs
    shipped_flicko(h)
    wordpad = r"C:\Program Files\Windows NT\Accessories\wordpad.exe"
    # (what, command line, top-level class, where to drag in the window)
    for what, argv, cls, (fx, fy) in [("notepad", ("notepad", winpath(text)), "Notepad", (0.5, 0.75)),
                                      ("wordpad", (wordpad, winpath(text)), "WORDPADTOP", (0.5, 0.75)),
                                      ("winefile", ("winefile",), "WFS_Frame", (0.15, 0.75)),  # its tree
                                      ("a console", ("wineconsole", "cmd", "/k", "type", winpath(text)),
                                       "WineConsoleClass", (0.3, 0.75))]:
        p = h.wine(*argv)
        wait_for(lambda: h.tool("rect", cls)[0] == 0, 60, f"{what}'s window")
        # Winefile's tree lists the machine's root folder: kept low, the
        # window makes it overflow whatever that folder holds.
        h.tool("move", cls, "40", "40", *(("900", "360") if what == "winefile" else ()))
        time.sleep(1.0)
        l, t, r, b = (int(v) for v in h.tool("rect", cls)[1].split())
        x, y = int(l + (r - l) * fx), int(t + (b - t) * fy)
        band = (x - (r - l) // 8, t + (b - t) * 7 // 20, x + (r - l) // 8, t + (b - t) * 3 // 5)
        before = content(*band)
        for dy in (-160, 160):  # down the text, or back where it shows its end
            drag((x, y), 0, dy, steps=16)
            time.sleep(1.3)  # drawn, and past the double-click time
            if content(*band) != before:
                break
        check(content(*band) != before, f"{what}: a right drag did not move its content")
        hover((x, y))
        xdo("click", "3")
        wait_for(lambda: h.tool("exists", "#32768")[0] == 0, 20, f"{what}: a menu after a plain right click")
        xdo("key", "Escape")
        end(p)


def case_shipped_rules_fixture_windows(h):
    # An unknown class with a bar; a toolkit's class without one, whose
    # window drops what is below a notch; a XAML class reading only input.
    shipped_flicko(h)
    for name, panel, lines, dy in [("bar", ("panelclass=OldCustomView", "range=1000"), 10, -160),
                                   ("toolkit", ("panelclass=SunAwtCanvas", "nobar"), 3, -180),
                                   ("xaml", ("panelclass=Windows.UI.Core.CoreWindow", "queuewheel", "range=1000"),
                                    2, -120)]:
        log = h.start_fixture(name, extra=panel)
        before = panel_pos(log)
        drag(inside(log.rects["panel"], 0.5, 0.9), 0, dy, steps=-dy // 6)
        wait_for(lambda: panel_pos(log) == before + lines, 20, f"{name}: {lines} lines or notches", log)
        wheels = log.events("panel", "wheel")
        check(name != "toolkit" or all(int(l[3]) % 120 == 0 for l in wheels), f"not whole notches: {wheels}", log)
        check(name != "xaml" or all(l[4] == "queued" for l in wheels), f"sent, not input: {wheels}", log)
        check(not log.events("panel", "rdown"), f"{name}: the press reached the panel", log)
        wait_for(lambda: h.block()["SendMove"] == 0, 10, f"{name}: the drag ended", log)
        end(h.procs[-1])
    # A drawing surface of no known kind, and a window that would scroll but
    # whose program confines the cursor as a game does, each get their right
    # drag whole.
    for name, panel in [("surface", ("panelclass=CanvasOfSomeCad", "nobar")),
                        ("game", ("panelclass=GameView", "clip"))]:
        drag_reaches_panel_whole(h, name, panel)


def drag_reaches_panel_whole(h, name, panel):
    """A right drag over the panel reaches it whole, as without Flicko."""
    log = h.start_fixture(name, extra=panel)
    x, y = inside(log.rects["panel"], 0.3, 0.3)
    drag((x, y), 120, 60, steps=12, pause=0.05)
    wait_for(lambda: log.events("panel", "rup"), 20, f"{name}: the release", log)
    time.sleep(0.5)
    got = [l[2] for l in log.lines() if l[1] == "panel" and l[2] in ("rdown", "rup", "rdbl")]
    check(got == ["rdown", "rup"], f"{name}: expected one press and one release, got {got}", log)
    cx, cy = log.client["panel"]
    seen = {(int(l[3]) + cx, int(l[4]) + cy) for l in log.events("panel", "pmove")}
    missing = {(x + 10 * i, y + 5 * i) for i in range(1, 13)} - seen
    check(not missing, f"{name}: no moves at {sorted(missing)}", log)
    scrolled = [l for l in log.lines() if l[1] == "panel" and l[2] in ("vscroll", "hscroll", "wheel")]
    check(not scrolled, f"{name}: scrolled: {scrolled}", log)
    xdo("key", "Escape")
    end(h.procs[-1])


def case_shipped_rules_framework_windows(h):
    # Windows that behave as common frameworks' windows do. A forms view
    # with a bar of its own drops line requests that name a bar control.
    shipped_flicko(h)
    log = h.start_fixture("forms", extra=("panelclass=WindowsForms10.Window.8.app.0.2bf8098_r6_ad1", "forms",
                                          "range=1000"))
    before = panel_pos(log)
    drag(inside(log.rects["panel"], 0.5, 0.9), 0, -160, steps=26)
    wait_for(lambda: panel_pos(log) == before + 10, 20, "forms: 10 lines", log)
    end(h.procs[-1])
    # A resizable window whose only bar child is its size grip: no bar.
    drag_reaches_panel_whole(h, "grip", ("panelclass=ResizableDialog", "grip"))
    # A toolkit view that moves by one step per wheel message: 300 px in
    # moves of 100 px are five notches, so five messages.
    log = h.start_fixture("permsg", extra=("panelclass=SunAwtCanvas", "permsg"))
    before = panel_pos(log)
    drag(inside(log.rects["panel"], 0.5, 0.9), 0, -300, steps=3, pause=0.3)
    wait_for(lambda: panel_pos(log) == before + 5, 20, "permsg: five steps", log)
    time.sleep(0.5)
    wheels = [int(l[3]) for l in log.events("panel", "wheel")]
    check(wheels == [-120] * 5, f"permsg: not one message per notch: {wheels}", log)
