#!/usr/bin/env python3
"""End-to-end cases: the real flicko.exe with the real hook library under
Wine, a fixture program whose controls log what they receive, and real X
pointer input from xdotool.

Every case runs in a scratch copy of the release folder with its own
settings file, waits for conditions with deadlines (it polls the fixture's
log and the shared block) and fails with the log tail when a deadline
passes. Nothing is retried.

Usage: e2e.py --case NAME --release DIR --fixture EXE --tools DIR --work DIR
       e2e.py --list       (the case names, one a line)

The harness is harness.py; the cases sit in one file per area (cases_*.py),
each case a function case_NAME.
"""
import argparse
import os
import shutil
import subprocess
import sys
import time

from harness import *  # noqa: F401,F403
import cases_resident, cases_boundary, cases_tray, cases_fprobe, cases_packages, cases_shipped


def demo(h, out):
    """The scripted session of scripts/run.sh: a slow drag and a flick over
    the fixture's edit, with screenshots before and after each."""
    os.makedirs(out, exist_ok=True)
    log = h.start_hooked()

    def shot(name):
        subprocess.run(["import", "-window", "root", os.path.join(out, name)], check=False)

    summary = []
    time.sleep(0.5)
    shot("1-before.png")
    before = edit_pos(log)
    drag(inside(log.rects["edit"], 0.5, 0.85), 0, -16 * 12, steps=24)
    wait_for(lambda: edit_pos(log) == before + 12, 30, "the slow drag's 12 lines", log)
    time.sleep(0.5)
    shot("2-after-drag.png")
    summary.append(f"slow right drag of 192 px up over the edit: first visible line {before} -> {edit_pos(log)}"
                   f" ({edit_pos(log) - before} lines at 16 px per line)")

    after_drag = edit_pos(log)
    edit_flick(log)
    time.sleep(0.05)
    at_release = edit_pos(log)
    last = [None, time.monotonic()]

    def settled():
        p = edit_pos(log)
        if p != last[0]:
            last[0], last[1] = p, time.monotonic()
        return time.monotonic() - last[1] > 1.0

    wait_for(settled, 60, "the glide to end", log)
    shot("3-after-flick.png")
    summary.append(f"flick of 140 px up: line {after_drag} -> {at_release} when released, glided on to {edit_pos(log)}"
                   f" ({edit_pos(log) - at_release} lines after the release)")
    with open(os.path.join(out, "summary.txt"), "w") as f:
        f.write("\n".join(summary) + "\n")
    shutil.copy(log.path, os.path.join(out, "fixture.log"))
    print("\n".join(summary))


CASES = {name[5:]: fn for module in (cases_resident, cases_boundary, cases_tray, cases_fprobe, cases_packages,
                                                cases_shipped)
         for name, fn in vars(module).items() if name.startswith("case_")}


# Cases written ahead of the code they check: --list leaves them out, so the
# build registers no test for them until that code is wired in; --case still
# runs them. Remove a name here when its code lands.
PENDING = {}


# Cases that need a tool the machine may lack: --list leaves them out when
# the tool is not on the PATH.
NEEDS_TOOL = {
    "package_install_upgrade_uninstall": "makensis",
}


def main():
    ap = argparse.ArgumentParser()
    ap.add_argument("--list", action="store_true", help="print the case names, one a line, and exit")
    ap.add_argument("--case", choices=sorted(CASES))
    ap.add_argument("--demo", metavar="OUTDIR")
    ap.add_argument("--release")
    ap.add_argument("--fixture")
    ap.add_argument("--tools")
    ap.add_argument("--work")
    args = ap.parse_args()
    if args.list:
        # The build registers one test per name printed here.
        listed = [name for name in CASES
                  if name not in PENDING and (name not in NEEDS_TOOL or shutil.which(NEEDS_TOOL[name]))]
        print("\n".join(listed))
        return 0
    missing = [f"--{n}" for n in ("release", "fixture", "tools", "work") if not getattr(args, n)]
    if missing:
        ap.error("the following arguments are required: " + ", ".join(missing))
    h = None
    try:
        if args.demo:
            args.case = "demo"
        elif not args.case:
            ap.error("--case or --demo is required")
        h = Harness(args)
        if args.demo:
            demo(h, args.demo)
        else:
            CASES[args.case](h)
    except Failure as e:
        print(f"FAIL {args.case}: {e}")
        if h:
            print("the screen at the failure: " + shot(h, "failure"))
        return 1
    finally:
        if h:
            h.stop()
    print(f"PASS {args.case}")
    return 0


if __name__ == "__main__":
    sys.exit(main())
