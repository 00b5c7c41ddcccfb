"""End-to-end cases: fprobe: the window tree, the rule view and the scroll check, and its saved geometry."""
import os
import subprocess
import time

from harness import *  # noqa: F401,F403 (the cases' shared vocabulary)


# --- fprobe -------------------------------------------------------------------

FPROBE = "TFProbeForm"


FPROBE_IDS = {"rule": 112, "state": 113, "tree": 107, "copy": 111, "scroll": 114, "cursor": 105}


FPROBE_PLACE = (660, 530, 600, 480)  # below the fixture, clear of it


def start_fprobe(h, scroll=False, place=FPROBE_PLACE, write=True):
    """fprobe from the release folder, its settings taking [Files] from the
    resident program's file as shipped; ready once the timer has ticked."""
    ini = os.path.join(h.rel, "default", "fprobe.ini")
    if write:
        with open(ini, "w", newline="\r\n") as f:
            f.write("[Files]\nFlickoIni=<appdir>\\default\\flicko.ini\n"
                    f"[Forms]\nLeft={place[0]}\nTop={place[1]}\nWidth={place[2]}\nHeight={place[3]}\n"
                    f"[Checks]\nCheckInterval=0.02\nScroll={scroll}\n")
    p = h.wine(os.path.join(h.rel, "fprobe.exe"))
    wait_for(lambda: fprobe_text(h, "cursor").startswith("CursorPos:"), 90, "fprobe's first tick")
    return p


def fprobe_text(h, control):
    rc, out = h.tool("text", FPROBE, str(FPROBE_IDS[control]))
    return out if rc == 0 else ""


def shoot(h, name):
    path = os.path.join(h.work, name)
    subprocess.run(["import", "-window", "root", path], check=False)
    return path


def scroll_info_line(h, axis_lines, pos):
    """The ScrollInfo line that the state view must show for the axis whose
    lines are given, its bar at pos. Wine reads no scroll bar of another
    program's window (GetScrollInfo fails there), so where the tool cannot
    either the view shows what it shows for an unreadable bar."""
    bar = next(l for l in axis_lines if l.startswith(" Scrollbar : ")).split(" : ")[1]
    rc, info = h.tool("scrollinfo", bar, "1")
    if rc != 0:
        return " ScrollInfo : the bar cannot be read"
    lo, hi, at, page = (int(v) for v in info.split())
    check(at == pos, f"the bar reads {at}, the edit says it is at {pos}")
    return f" ScrollInfo : Min:{lo}, Max:{hi}, Pos:{at}, Page:{page}"


def case_fprobe_shows_and_scrolls_edit(h):
    log = h.start_fixture()
    start_fprobe(h)
    point = inside(log.rects["edit"])
    hover(point)
    xdo("mousedown", "3")
    wait_for(lambda: fprobe_text(h, "rule").startswith("ClassI(Edit){"), 20, "the edit's rule in the rule view", log)
    time.sleep(0.3)
    shoot(h, "fprobe-held.png")
    xdo("mouseup", "3")
    time.sleep(0.3)
    xdo("key", "Escape")  # the edit's own context menu: nothing swallowed the click

    rule = fprobe_text(h, "rule").splitlines()
    check(rule[-2] == "}" and rule[-1].startswith("// ") and rule[-1].endswith("scroll.dat:2"),
          f"the rule view does not end with the rule's place: {rule[-2:]}")
    check("VMethod: ScrollLine;" in rule and "HIsScroll: False;" in rule, f"not the edit's rule: {rule}")
    state = fprobe_text(h, "state").splitlines()
    vertical = state[state.index("Vertical : "):]
    check(" Is scroll : True" in vertical and " Method: ScrollLine" in vertical and " Dot/Scroll : 16" in vertical,
          f"state view: {state}")
    check(scroll_info_line(h, vertical, edit_pos(log)) in vertical, f"the edit's scroll information is missing: {vertical}")
    rc, selected = h.tool("treesel", FPROBE, str(FPROBE_IDS["tree"]))
    check(rc == 0 and selected.startswith("*hWnd = ") and selected.endswith(" : Edit"),
          f"selected tree item: {selected!r}")
    check(state[0] == "Window from point : " + selected[8:16], f"tree and state disagree: {selected} / {state[0]}")

    check(h.tool("click", FPROBE, str(FPROBE_IDS["copy"]))[0] == 0, "Copy did not answer")
    rc, copied = h.tool("clipboard")
    check(rc == 0 and "  property" in copied and selected in copied and "ClassI(Edit){" in copied
          and "Window from point : " in copied, f"clipboard: {copied[:400]!r}")
    check(any(l.startswith("hWnd = ") and l.endswith(" : FlickoFixture") for l in copied.splitlines()),
          "the fixture's top-level window is not at the top of the tree")

    # With Scroll checked the same drag sends what the resident program sends.
    check(h.tool("click", FPROBE, str(FPROBE_IDS["scroll"]))[0] == 0, "Scroll check did not answer")
    lines = 10
    before = edit_pos(log)
    log.mark()
    drag(point, 0, -16 * lines, steps=20, pause=0.05, settle=0.5)
    time.sleep(0.3)
    xdo("key", "Escape")
    wait_for(lambda: edit_pos(log) == before + lines, 20, f"edit at line {before + lines}", log)
    requests = [l[3] for l in log.events("edit", "vscroll") if l[3] != "8"]
    check(requests == ["1"] * lines, f"expected {lines} line-down requests, got {requests}", log)
    vertical = fprobe_text(h, "state").splitlines()
    vertical = vertical[vertical.index("Vertical : "):]
    check(scroll_info_line(h, vertical, before + lines) in vertical, "the state view missed the new position", log)
    shoot(h, "fprobe-scrolled.png")


def case_fprobe_geometry_persists(h):
    start_fprobe(h)
    check(h.tool("move", FPROBE, "120", "80")[0] == 0, "move failed")
    time.sleep(0.3)
    check(h.tool("close", FPROBE, "20000")[0] == 0, "fprobe did not close")
    with open(os.path.join(h.rel, "default", "fprobe.ini"), encoding="latin-1") as f:
        text = f.read()
    check("Left=120" in text and "Top=80" in text and "CheckInterval=0.02" in text, f"written settings:\n{text}")
    start_fprobe(h, write=False)
    rc, rect = h.tool("rect", FPROBE)
    check(rc == 0 and rect.split()[:2] == ["120", "80"], f"second start at {rect}")


FPROBE_ACTIONS = {"leave_alone": 116, "undo": 119}


def case_fprobe_rule_actions_take_effect_by_themselves(h):
    # The shipped settings and rules, the user's own files in the case's
    # folder instead of the prefix's shared %APPDATA%; not there yet.
    own = os.path.join(h.work, "own")
    with open(os.path.join(h.args.release, "default", "flicko.ini"), encoding="latin-1") as f:
        shipped = f.read().replace("Ini=%APPDATA%\\Flicko\\flicko.ini",
                                   "Ini=" + winpath(os.path.join(own, "flicko.ini")))
    with open(h.ini, "w", newline="\r\n", encoding="latin-1") as f:
        f.write(shipped)
    shutil.copy(os.path.join(h.args.release, "default", "scroll.dat"), os.path.join(h.rel, "default", "scroll.dat"))
    log = h.start_hooked()
    point = inside(log.rects["edit"])

    def drag_lines(px, lines, what):
        before = edit_pos(log)
        log.mark()
        drag(point, 0, -px, steps=8)
        wait_for(lambda: edit_pos(log) == before + lines, 20, what, log)

    def drag_passes(what):
        before = edit_pos(log)
        log.mark()
        drag(point, 0, -64, steps=8)
        wait_for(lambda: log.events("edit", "rup"), 20, what, log)
        xdo("key", "Escape")  # the edit's own context menu
        check(len(log.events("edit", "rdown")) == 1 and edit_pos(log) == before, f"{what}: the edit scrolled", log)

    drag_lines(16 * 4, 4, "the shipped rules scroll the edit")
    start_fprobe(h)
    hover(point)
    xdo("mousedown", "3")
    wait_for(lambda: fprobe_text(h, "rule"), 20, "the edit's rule in fprobe", log)
    xdo("mouseup", "3")
    time.sleep(0.3)
    xdo("key", "Escape")

    check(h.tool("click", FPROBE, str(FPROBE_ACTIONS["leave_alone"]))[0] == 0, "Leave alone did not answer")
    check(fprobe_text(h, "rule").startswith("ProcessI(fixture.exe){"), "fprobe does not show the new rule", log)
    shoot(h, "fprobe-rule-actions.png")
    time.sleep(1.0)
    drag_passes("after Leave alone")
    check(h.tool("click", FPROBE, str(FPROBE_ACTIONS["undo"]))[0] == 0, "Undo did not answer")
    time.sleep(1.0)
    drag_lines(16 * 4, 4, "Undo brings scrolling back")

    # A save from an editor: a plain write of the user's file.
    mine = os.path.join(own, "scroll.dat")
    with open(mine, encoding="latin-1") as f:
        text = f.read()
    check("#include <appdir>\\default\\scroll.dat" in text and "fprobe" not in text.split("#include")[1],
          f"the user's file after Undo:\n{text}")
    with open(mine, "w", newline="\r\n") as f:
        f.write(text + "ClassI(Edit) { VScrollWidth: 32 dot; }\n")
    time.sleep(1.0)
    drag_lines(32 * 3, 3, "the edited rules scroll by them")
    # A broken edit: the rules in force stay, one report.
    with open(mine, "w", newline="\r\n") as f:
        f.write(text + "ClassI(Edit) { VScrollWidth: 64 dot; NoSuchKey: 1; }\n")
    wait_for(lambda: h.tool("exists", "#32770")[0] == 0, 10, "the report of the broken edit", log)
    check(h.tool("close", "#32770", "10000")[0] == 0, "the report did not close")
    check(stays(lambda: h.tool("exists", "#32770")[0] != 0, 2), "the broken edit was reported twice", log)
    drag_lines(32 * 3, 3, "the rules from before the broken edit")
