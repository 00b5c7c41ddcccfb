"""End-to-end cases: drags, clicks and flicks of the resident program over the fixture's controls."""
import os
import shutil
import signal
import struct
import time

from harness import *  # noqa: F401,F403 (the cases' shared vocabulary)


# The panel as a long document that scrolls a line per 10 dragged pixels.
LONG_PANE_DAT = r"""Class(FixturePanel)
{
    HIsScroll: False;
    VMethod: scrollline;
    VScrollWidth: 10 dot;
    IsInertia: True;
}
else
{
    IsScroll: False;
}
"""


def fresh_flicko(h, log):
    """Ends a glide the hard way: over a target this slow one tick can owe
    thousands of lines, so a click may not stop it soon."""
    for p in flicko_pids(h):
        os.kill(p, signal.SIGKILL)
    h.flicko.wait(timeout=30)
    settle(log)
    h.start_flicko()
    h.wait_hooked(log)


def f32(x):
    """x rounded to a single-precision float, as the engine computes."""
    return struct.unpack("f", struct.pack("f", x))[0]


def wheel_pixels(delta, width):
    """The whole number of dragged pixels that one wheel message of this
    delta stands for at this unit width: each message carries the pixels
    moved since the last one, divided by the width and rounded away from
    zero; None when no whole number of pixels gives this delta."""
    for px in range(1, 10000):
        q = f32(px / f32(width))
        units = int(q) + (q != int(q))
        if units == abs(delta):
            return px if delta < 0 else -px
        if units > abs(delta):
            return None
    return None


# --- the cases ---------------------------------------------------------------

def case_drag_scrolls_edit(h):
    log = h.start_hooked()
    lines = 10
    before = edit_pos(log)
    log.mark()
    drag(inside(log.rects["edit"]), 0, -16 * lines, steps=20)
    wait_for(lambda: edit_pos(log) == before + lines, 20, f"edit at line {before + lines}", log)
    check(stays(lambda: edit_pos(log) == before + lines, 1.0), "the edit went on scrolling after a slow release", log)
    check(not log.events("edit", "rdown"), "the press of a drag reached the edit", log)
    requests = [l[3] for l in log.events("edit", "vscroll") if l[3] != "8"]  # 8: end of a scroll
    check(requests == ["1"] * lines, f"expected {lines} line-down requests, got {requests}", log)


def case_disabled_axis_still(h):
    log = h.start_hooked()
    before_h = log.last_value("edit", "pos", 1)
    before_v = edit_pos(log)
    log.mark()
    start = inside(log.rects["edit"], 0.8)
    hover(start)
    xdo("mousedown", "3")
    moves(start, -200, 0, 20, 0.03)
    time.sleep(0.3)
    check(not log.events("edit", "rdown"), "the press of a drag reached the edit while held", log)
    xdo("mouseup", "3")
    # Along the disabled axis nothing counts as dragged: the release gives
    # the click back, so the context menu shows when all is done.
    wait_for(lambda: log.events("edit", "contextmenu"), 20, "the replayed click", log)
    check(not log.events("edit", "hscroll") and not log.events("edit", "vscroll"), "the drag sent scrolling", log)
    check(log.last_value("edit", "pos", 1) == before_h and edit_pos(log) == before_v, "the edit moved", log)
    xdo("key", "Escape")


def case_right_click_replayed(h):
    """A right click without a drag arrives whole: press, release, menu, in
    order and at the place clicked, three times over."""
    log = h.start_hooked()
    for attempt in range(3):
        x, y = inside(log.rects["edit"], 0.3 + 0.2 * attempt)
        hover((x, y))
        log.mark()
        xdo("mousedown", "3")
        # While the button is held the press is swallowed: nothing arrives yet.
        check(stays(lambda: not log.events("edit", "rdown") and not log.events("edit", "rdbl"), 0.7),
              "the press reached the edit before the release", log)
        xdo("mouseup", "3")
        wait_for(lambda: log.events("edit", "contextmenu"), 20, "the edit's context menu", log)
        time.sleep(0.3)
        xdo("key", "Escape")
        mine = [l for l in log.since_mark() if l[1] == "edit" and l[2] in ("rdown", "rdbl", "rup", "contextmenu")]
        # A plain press: given back as a double click it would mean another
        # thing to many programs.
        check([l[2] for l in mine] == ["rdown", "rup", "contextmenu"],
              f"click {attempt + 1}: expected press, release, menu; got {[l[2] for l in mine]}", log)
        at = (int(mine[0][3]) + log.client["edit"][0], int(mine[0][4]) + log.client["edit"][1])
        check(at == (x, y), f"click {attempt + 1}: the press came at {at}, not at {(x, y)}", log)
        time.sleep(0.6)  # past the double-click time


def case_double_click_untouched(h):
    log = h.start_hooked()
    # The list box: it takes double clicks and opens no menu of its own.
    x, y = inside(log.rects["list"])
    hover((x, y))
    log.mark()
    xdo("click", "--repeat", "2", "--delay", "80", "3")
    # The second press comes within the double-click time: it passes through
    # as the system delivers it, so the list sees a double click.
    wait_for(lambda: log.events("list", "rdbl"), 20, "a right double click at the list", log)
    wait_for(lambda: len(log.events("list", "rup")) >= 2, 20, "two right releases at the list", log)
    time.sleep(0.3)
    check(log.last_value("list", "pos") == 0, "a double click scrolled", log)
    check(h.block()["SendMove"] == 0, "a drag is left running", log)


def case_isscroll_off_passes(h):
    log = h.start_hooked()
    x, y = inside(log.rects["panel"])
    hover((x, y))
    log.mark()
    xdo("mousedown", "3")
    # The original press arrives while the button is still held.
    wait_for(lambda: log.events("panel", "rdown"), 20, "the press at the panel while held", log)
    check(not log.events("panel", "rup"), "a release arrived before the button was let go", log)
    check(h.block()["SendMove"] == 0, "a press on a window without scrolling started a drag")
    xdo("mousemove", str(x), str(y - 60))
    time.sleep(0.2)
    xdo("mouseup", "3")
    wait_for(lambda: log.events("panel", "rup"), 20, "the release at the panel", log)
    check(len(log.events("panel", "rdown")) == 1, "the press was delivered more than once", log)
    check(not log.events("panel", "vscroll"), "the panel was scrolled", log)
    xdo("key", "Escape")


def case_flick_glides_left_click_stops(h):
    log = h.start_hooked()
    edit_flick(log)
    released_at = time.monotonic()
    dragged_lines = (20 * 7) // 16
    wait_for(lambda: (edit_pos(log) or 0) > dragged_lines + 3, 20, "the edit gliding past the dragged distance", log)
    check(time.monotonic() - released_at < 20, "glide too late")
    check(edit_pos(log) < 280, "the glide reached the end before it could be stopped", log)
    x, y = inside(log.rects["list"])
    xdo("mousemove", str(x), str(y))
    xdo("click", "1")
    wait_for(lambda: log.events("list", "ldown", since_mark=False), 20, "the left click at the list", log)
    time.sleep(0.3)
    stopped = edit_pos(log)
    check(stays(lambda: edit_pos(log) == stopped, 1.0), "the glide went on after the left click", log)


def case_fast_flick_glides(h):
    h.write_settings(scroll_dat=LONG_PANE_DAT)
    log = h.start_hooked(extra=("range=100000",))
    wait_for(lambda: panel_pos(log) == 50000, 20, "the panel in the middle of its range", log)
    start = inside(log.rects["panel"], 0.5, 0.9)
    dragged_lines = 12 * 25 // 10
    # Each move's lines keep the program busy while the next moves and the
    # release wait; the drag itself scrolls 30 lines, only a glide goes on.
    glides = 0
    for attempt in range(10):
        if attempt:
            fresh_flicko(h, log)
        before = panel_pos(log)
        flick(start)
        if wait_for_or_none(lambda: panel_pos(log) > before + dragged_lines + 20, 4):
            glides += 1
    print(f"fast flicks that glided: {glides} of 10")
    check(glides >= 8, f"only {glides} of 10 fast flicks glided", log)
    # The same flick held still for half a second before the release.
    fresh_flicko(h, log)
    before = panel_pos(log)
    flick(start, rest=0.5)
    check(not wait_for_or_none(lambda: panel_pos(log) > before + dragged_lines + 20, 4),
          "a flick held still before the release glided", log)
    settle(log)
    check(panel_pos(log) - before <= dragged_lines + 2, f"a held flick scrolled {panel_pos(log) - before} lines", log)


def case_aborted_rules_keep_what_was_read(h):
    # The edit's rule comes first; the list's rule then aborts the reading.
    with open(os.path.join(h.rel, "default", "scroll.dat"), "w", newline="\r\n") as f:
        f.write(SCROLL_DAT.split("ClassI(ListBox)")[0] + "ClassI(ListBox)\n{\n    VScrollBarType: Sideways;\n}\n")
    log = h.start_fixture()
    h.start_flicko()
    wait_for(lambda: h.tool("exists", "#32770")[0] == 0, 90, "the box that reports the aborted reading", log)
    # Scrolling is not on until the box is answered; then the hook goes in.
    check(h.tool("close", "#32770", "10000")[0] == 0, "the box did not close")
    h.wait_hooked(log)
    check(h.flicko.poll() is None, "flicko ended after the aborted reading")
    before = edit_pos(log)
    drag(inside(log.rects["edit"]), 0, -16 * 4, steps=8)
    wait_for(lambda: edit_pos(log) == before + 4, 20, "the rule read before the error still scrolls", log)


def case_caret_and_capture_replies(h):
    # The edit's rule asks the hook to place the caret at the press point and
    # to capture the mouse for the pressed window, in the edit's own thread.
    with open(os.path.join(h.rel, "default", "scroll.dat"), "w", newline="\r\n") as f:
        f.write(SCROLL_DAT.replace("IsInertia: True;", "IsInertia: True;\n    SetCaret: True;\n    SetCapture: True;"))
    log = h.start_fixture()
    origin = [int(v) for v in log.events("edit", "client", since_mark=False)[-1][3:5]]
    h.start_flicko()
    h.wait_hooked(log)
    x, y = inside(log.rects["edit"], 0.3, 0.55)
    xdo("mousemove", str(x), str(y))
    time.sleep(0.2)
    log.mark()
    xdo("mousedown", "3")
    wait_for(lambda: log.events("edit", "capture"), 20, "the edit capturing the mouse", log)
    caret = wait_for(lambda: log.events("edit", "caret"), 20, "the caret moving", log)[-1]
    check([int(caret[3]), int(caret[4])] == [x - origin[0], y - origin[1]],
          f"caret at {caret[3:5]}, expected the press point {[x - origin[0], y - origin[1]]}", log)
    check(not log.events("edit", "rdown"), "the press reached the edit", log)
    xdo("mouseup", "3")
    wait_for(lambda: log.events("edit", "contextmenu"), 20, "the replayed click", log)
    xdo("key", "Escape")


def case_process_rule_turns_one_program_off(h):
    # The same program under another image name stands for any other program.
    other_exe = os.path.join(h.work, "otherapp.exe")
    shutil.copy(h.args.fixture, other_exe)
    with open(os.path.join(h.rel, "default", "scroll.dat"), "w", newline="\r\n") as f:
        f.write(SCROLL_DAT.replace("else\n", "ProcessI(FIXTURE.EXE)\n{\n    IsScroll: False;\n}\nelse\n"))
    off = h.start_fixture()
    on = h.start_fixture("other", OTHER_FIXTURE_POS, exe=other_exe)
    h.start_flicko()
    h.wait_hooked(off)
    before = edit_pos(on)
    drag(inside(on.rects["edit"]), 0, -16 * 4, steps=8)
    wait_for(lambda: edit_pos(on) == before + 4, 20, "the other program's edit scrolled", on)
    before = edit_pos(off)
    x, y = inside(off.rects["edit"])
    hover((x, y))
    off.mark()
    xdo("mousedown", "3")
    wait_for(lambda: off.events("edit", "rdown"), 20, "the press at the excluded program while held", off)
    moves((x, y), 0, -64, 8, 0.03)
    xdo("mouseup", "3")
    time.sleep(0.5)
    xdo("key", "Escape")
    check(edit_pos(off) == before and not off.events("edit", "vscroll"), "the excluded program scrolled", off)


def case_shipped_wheel_rule_follows_the_cursor(h):
    # The shipped rules, and the panel registered under the class of a web
    # browser's page view: a drag turns into wheel messages at one wheel
    # delta per 0.83 dragged pixels (one notch per 100 pixels). How many
    # messages that makes depends on how many of the moves the resident
    # sees, and each rounds up to whole units; but every message stands for
    # a whole number of pixels, and together they stand for the whole drag.
    shutil.copy(os.path.join(ROOT, "default", "scroll.dat"), os.path.join(h.rel, "default", "scroll.dat"))
    log = h.start_fixture(extra=("panelclass=Chrome_RenderWidgetHostHWND",))
    h.start_flicko()
    h.wait_hooked(log)
    x, y = inside(log.rects["panel"])
    log.mark()
    drag((x, y), 0, -100, steps=20)

    def pixels():
        return [wheel_pixels(int(l[3]), 0.83) for l in log.events("panel", "wheel")]

    wait_for(lambda: None in pixels() or sum(pixels()) >= 100, 20, "wheel messages for the dragged 100 pixels", log)
    time.sleep(0.5)
    deltas = [int(l[3]) for l in log.events("panel", "wheel")]
    check(all(d < 0 for d in deltas) and None not in pixels() and sum(pixels()) == 100,
          f"a drag of 100 px up gave the wheel deltas {deltas}, for the pixels {pixels()}", log)
    check(not log.events("panel", "rdown"), "the press of a drag reached the panel", log)
    check(not log.events("panel", "vscroll"), "the wheel rule sent scroll-bar messages", log)


def case_scaled_display_drag_follows_lines(h):
    """At 150 % a per-monitor-aware window draws its lines 24 pixels high;
    the rule's 16 dot lines are scaled to them, so a drag of ten such lines
    scrolls ten lines and the text stays under the cursor. The prefix is a
    copy of the case's own, set to 144 dpi."""
    h.run("cmd", "/c", "exit", "0", output=False)  # the tests' prefix, made at its first use
    h.wineserver("-k")
    h.wineserver("-w")
    scaled = os.path.join(h.work, "prefix-144dpi")
    shutil.copytree(h.prefix, scaled, symlinks=True)
    h.env["FLICKO_WINE_PREFIX"] = scaled
    h.codepage = None
    r = h.run("reg", "add", r"HKCU\Control Panel\Desktop", "/v", "LogPixels", "/t", "REG_DWORD", "/d", "144", "/f")
    check(r.returncode == 0, f"reg add LogPixels failed: {r.stdout} {r.stderr}")
    log = h.start_hooked(pos=(100, 400), extra=("dpiaware",))  # room above for ten tall lines
    check(log.last_value("top", "dpi") == 144, f"the fixture sees {log.last_value('top', 'dpi')} dpi, not 144", log)
    check(log.line_height == 24, f"the fixture's lines are {log.line_height} pixels high, not 24", log)
    lines = 10
    before = edit_pos(log)
    log.mark()
    drag(inside(log.rects["edit"]), 0, -24 * lines, steps=20)
    wait_for(lambda: edit_pos(log) == before + lines, 20, f"edit at line {before + lines}", log)
    check(stays(lambda: edit_pos(log) == before + lines, 1.0), "the edit scrolled past the dragged lines", log)
    requests = [l[3] for l in log.events("edit", "vscroll") if l[3] != "8"]
    check(requests == ["1"] * lines, f"expected {lines} line-down requests, got {requests}", log)


def case_write_exit_status(h):
    h.write_settings(enable=True, write_exit=True)
    log = h.start_hooked()
    rc, _ = h.tool("close", "Flicko", "30000")
    check(rc == 0, f"closing flicko: {rc}")
    check(h.flicko.wait(timeout=60) == 0, "flicko did not exit cleanly")
    with open(h.ini, encoding="latin-1") as f:
        text = f.read()
    # The state in force before the shut-down switched scrolling off.
    check("Enable=True" in text, "the exit status was not written as True:\n" + text)
    check(h.block() is None, "the shared block outlived the program")
