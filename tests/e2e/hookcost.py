#!/usr/bin/env python3
"""What the hook costs a hooked application under Wine, in two figures that
do not depend on the machine's load as much as a latency does.

- Server round trips per mouse event: the wineserver runs with its request
  trace (-d1) and every request that a thread of the fixture makes is
  counted, over one scripted run: moves over the fixture's panel and left
  clicks on it (no drag: the panel's rule does not scroll), then a right drag
  over the edit with one line step per move. The same run with no program
  hooked gives Wine's own share (the floor).
- Back-to-back moves over a line-scrolled target: during a right drag over
  the edit, an X motion every --interval ms for --seconds; the moves the edit
  got (each one passed the hook and its line request) per second.

Usage: hookcost.py --release DIR --fixture EXE --tools DIR --work DIR --out FILE
                   [--label NAME] [--floor] [--events N] [--seconds S] [--interval MS]
"""
import argparse
import os
import re
import subprocess
import sys
import time

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
import harness  # noqa: E402
from latency import XTest, LogTail  # noqa: E402

REQUEST = re.compile(r"^([0-9a-f]{4,8}): (\w+)\(")
UNIX_TID = re.compile(r"^([0-9a-f]{4,8}): init_(?:first_)?thread\(.*?unix_tid=(\d+)")


class Trace:
    """The wineserver's request trace, read from a mark onwards."""

    def __init__(self, path):
        self.path = path
        self.tids = {}  # unix thread id -> wine thread id

    def size(self):
        return os.path.getsize(self.path)

    def requests(self, start, end, unix_pid):
        """Requests of the process's threads between two offsets, by name."""
        with open(self.path, encoding="latin-1") as f:
            text = f.read()
        for line in text.splitlines():
            m = UNIX_TID.match(line)
            if m:
                self.tids[int(m.group(2))] = m.group(1)
        ours = {self.tids[int(t)] for t in os.listdir(f"/proc/{unix_pid}/task") if int(t) in self.tids}
        counts = {}
        for line in text[start:end].splitlines():
            m = REQUEST.match(line)
            # A reply reads "name() = STATUS ...", a request "name( ... )".
            if not m or m.group(1) not in ours or line[m.end():].startswith(") ="):
                continue
            counts[m.group(2)] = counts.get(m.group(2), 0) + 1
        return counts


def fixture_unix_pid(h):
    # wine-run.sh execs the loader, which keeps the process.
    return h.procs[-1].pid if h.procs else None


def counted(trace, pid, action, settle=1.0, resident=None):
    """Requests per event of the fixture (and of the resident, when given)
    over what action does; action returns the number of events."""
    time.sleep(settle)
    start = trace.size()
    n = action()
    time.sleep(settle)
    c = trace.requests(start, trace.size(), pid)
    r = trace.requests(start, trace.size(), resident) if resident else {}
    return sum(c.values()) / n, c, n, sum(r.values()) / n, r


def run(args):
    ns = argparse.Namespace(**vars(args))
    ns.case = "hookcost-" + args.label
    h = harness.Harness(ns)
    trace_path = os.path.join(h.work, "server.trace")
    try:
        with open(trace_path, "w") as trace_file:
            server = subprocess.Popen([harness.WINE_RUN, "--server", "-f", "-d1"], env=h.env,
                                      stdout=subprocess.DEVNULL, stderr=trace_file, start_new_session=True)
        h.procs.append(server)
        time.sleep(1.0)
        log = h.start_fixture()
        pid = fixture_unix_pid(h)
        if not args.floor:
            h.start_flicko()
            h.wait_hooked(log)
        trace = Trace(trace_path)
        xt = XTest()
        px, py = harness.inside(log.rects["panel"], 0.5, 0.5)
        ex, ey = harness.inside(log.rects["edit"], 0.5, 0.7)
        result = {}

        def panel_moves():
            for i in range(args.events):
                xt.move(px + (i % 2) * 3, py)
                time.sleep(0.01)
            return args.events

        def panel_clicks():
            xt.move(px, py)
            time.sleep(0.05)
            for _ in range(args.events // 2):
                xt.button(1, True)
                time.sleep(0.01)
                xt.button(1, False)
                time.sleep(0.05)
            return 2 * (args.events // 2)

        def drag_moves():
            xt.move(ex, ey)
            time.sleep(0.3)
            xt.button(3, True)
            harness.wait_for(lambda: (h.block() or {}).get("SendMove", 0) != 0 or args.floor, 20,
                             "the drag to start", log)
            time.sleep(0.3)
            return 0

        result["moves"] = counted(trace, pid, panel_moves)
        result["clicks"] = counted(trace, pid, panel_clicks)
        drag_moves()

        def dragging():
            for i in range(args.events):
                xt.move(ex, ey - 16 if i % 2 == 0 else ey)
                time.sleep(0.02)
            return args.events

        result["drag"] = counted(trace, pid, dragging, resident=None if args.floor else h.flicko.pid)
        xt.button(3, False)
        time.sleep(0.5)
        # Throughput without the trace would be fairer, but the trace is
        # what makes the counts; the rate is measured in a run of its own.
        return result
    finally:
        h.stop()


def throughput(args):
    ns = argparse.Namespace(**vars(args))
    ns.case = "hookrate-" + args.label
    h = harness.Harness(ns)
    try:
        log = h.start_fixture()
        h.start_flicko()
        h.wait_hooked(log)
        xt = XTest()
        x, y = harness.inside(log.rects["edit"], 0.5, 0.7)
        xt.move(x, y)
        time.sleep(0.3)
        xt.button(3, True)
        harness.wait_for(lambda: (h.block() or {}).get("SendMove", 0) != 0, 20, "the drag to start", log)
        time.sleep(0.3)
        tail = LogTail(log.path)
        sent = 0
        start = time.monotonic()
        while time.monotonic() - start < args.seconds:
            xt.move(x, y - 16 if sent % 2 == 0 else y)
            sent += 1
            time.sleep(args.interval / 1000.0)
        time.sleep(1.0)
        lines = tail.new_lines()
        moves = sum(1 for l in lines if len(l) >= 4 and l[1] == "edit" and l[2] == "move")
        steps = sum(1 for l in lines if len(l) >= 5 and l[1] == "edit" and l[2] == "vscroll" and l[3] in ("0", "1"))
        ends = sum(1 for l in lines if len(l) >= 5 and l[1] == "edit" and l[2] == "vscroll" and l[3] == "8")
        xt.button(3, False)
        elapsed = time.monotonic() - start - 1.0
        return {"sent": sent / elapsed, "moves": moves / elapsed, "lines": steps / elapsed, "ends": ends}
    finally:
        h.stop()


def main():
    ap = argparse.ArgumentParser()
    for name in ("release", "fixture", "tools", "work", "out"):
        ap.add_argument("--" + name, required=True)
    ap.add_argument("--label", default="program")
    ap.add_argument("--floor", action="store_true", help="no program: Wine's own requests")
    ap.add_argument("--events", type=int, default=100)
    ap.add_argument("--seconds", type=float, default=3.0)
    ap.add_argument("--interval", type=float, default=3.0)
    ap.add_argument("--rate-only", action="store_true")
    ap.add_argument("--counts-only", action="store_true")
    args = ap.parse_args()
    out = [f"## {args.label}"]
    if not args.rate_only:
        r = run(args)
        for key, what in (("moves", "move over the panel (no drag)"), ("clicks", "left button event on the panel"),
                          ("drag", "move of a right drag over the edit (one line step)")):
            per, counts, n, rper, rcounts = r[key]
            top = ", ".join(f"{k} {v}" for k, v in sorted(counts.items(), key=lambda kv: -kv[1])[:8])
            out.append(f"- fixture's requests per {what}: {per:.1f} over {n} events ({top})")
            if rcounts:
                top = ", ".join(f"{k} {v}" for k, v in sorted(rcounts.items(), key=lambda kv: -kv[1])[:8])
                out.append(f"- resident's requests per {what}: {rper:.1f} ({top})")
    if not args.counts_only and not args.floor:
        t = throughput(args)
        out.append(f"- back-to-back moves every {args.interval:g} ms for {args.seconds:g} s: "
                   f"{t['sent']:.0f} X motions/s sent, {t['moves']:.0f} moves/s reached the edit, "
                   f"{t['lines']:.0f} line requests/s, {t['ends']} end-of-scroll notices in all")
    text = "\n".join(out) + "\n"
    with open(args.out, "a") as f:
        f.write(text)
    print(text)
    return 0


if __name__ == "__main__":
    try:
        sys.exit(main())
    except harness.Failure as e:
        print("FAIL:", e)
        sys.exit(1)
