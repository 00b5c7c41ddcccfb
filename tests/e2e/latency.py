#!/usr/bin/env python3
"""Latency and processor use of the resident program under Wine.

For each way of waiting between idle passes (the message-aware wait, and a
plain Sleep for comparison, chosen by FLICKO_IDLE_WAIT=sleep) it measures:
- the time from a real X motion event (XTest, during a right drag over the
  fixture's edit) to the edit's receipt of the resulting WM_VSCROLL, over
  many moves: the fixture stamps the receipt with the performance counter,
  which under Wine runs on the host's CLOCK_MONOTONIC_RAW;
- the round trip of a hook message to the resident window, idle and while a
  drag is held still (the loop polls then);
- the processor time the program uses idle and during the drag;
- the floor under all of it: the time from an X motion over the edit to the
  edit's own WM_MOUSEMOVE with the program not running, so that the table
  can say what the program adds.

With --compare it measures instead, in one run and --runs times over: the
floor, the relay (tools/relay.exe with relayhook.dll: a global hook that
sends every move synchronously to a window of another process, which sends
one WM_VSCROLL back to the window under the point and answers; the least
this architecture can do per move), and the program with the message-aware
wait; each as the X motion to WM_VSCROLL (WM_MOUSEMOVE for the floor)
median and 99th percentile, and what the relay and the program add.

With --glide-stop it measures instead, --runs times: a fast right flick
(12 moves of --flick-step px, 4 ms apart) over the fixture's panel (range 100,000, a line per 10 dragged pixels, the
rules of the end-to-end case fast_flick_glides) glides; after --glide-for seconds a
left press over the fixture's list is put into X, and the figure is the time from
that press to the panel's last line request (the glide's stop), read once
the panel has been quiet for a second. A glide still going 30 s after the
press counts as not stopped. With --right-click the press is instead a
plain right click on the panel itself, 0.3 s into the glide, and the note
says whether the click reached the panel (it must not: it stops the glide
and stays out of the window); --endscroll MS makes the panel take that long
over each end-of-scroll notice.

Usage: latency.py --release DIR --fixture EXE --tools DIR --work DIR --out FILE [--moves N]
                  [--compare [--runs N]] [--glide-stop [--runs N] [--right-click] [--endscroll MS]]
"""
import argparse
import ctypes
import os
import statistics
import subprocess
import sys
import time

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
import harness  # noqa: E402

CLK_TCK = os.sysconf("SC_CLK_TCK")


class XTest:
    def __init__(self):
        self.x11 = ctypes.CDLL("libX11.so.6")
        self.xtst = ctypes.CDLL("libXtst.so.6")
        self.x11.XOpenDisplay.restype = ctypes.c_void_p
        self.dpy = ctypes.c_void_p(self.x11.XOpenDisplay(None))
        if not self.dpy:
            raise harness.Failure("cannot open the X display")

    def move(self, x, y):
        self.xtst.XTestFakeMotionEvent(self.dpy, -1, x, y, 0)
        self.x11.XFlush(self.dpy)

    def button(self, button, down):
        self.xtst.XTestFakeButtonEvent(self.dpy, button, 1 if down else 0, 0)
        self.x11.XFlush(self.dpy)


def now_us():
    return time.clock_gettime(time.CLOCK_MONOTONIC_RAW) * 1e6


def cpu_seconds(pid):
    with open(f"/proc/{pid}/stat") as f:
        fields = f.read().rsplit(")", 1)[1].split()
    return (int(fields[11]) + int(fields[12])) / CLK_TCK


def cpu_percent(pid, seconds):
    a = cpu_seconds(pid)
    time.sleep(seconds)
    return 100.0 * (cpu_seconds(pid) - a) / seconds


def percentile(values, p):
    s = sorted(values)
    return s[min(len(s) - 1, int(len(s) * p / 100))]


class LogTail:
    """Reads only what the fixture appended since the last call."""

    def __init__(self, path):
        self.f = open(path, encoding="latin-1")
        self.f.seek(0, os.SEEK_END)
        self.rest = ""

    def new_lines(self):
        self.rest += self.f.read()
        *lines, self.rest = self.rest.split("\n")
        return [l.split() for l in lines if l.strip()]


def is_line_request(l):
    # A line request (0 up, 1 down), not the end-of-scroll notice of a run of lines.
    return len(l) >= 5 and l[1] == "edit" and l[2] == "vscroll" and l[3] in ("0", "1")


def is_edit_move(l):
    return len(l) >= 4 and l[1] == "edit" and l[2] == "move"


def scroll_latencies(args, log, xt, x, y, wanted=is_line_request, stamp=4):
    """Moves the pointer between y and y - 16 over the edit args.moves
    times and returns each move's time to the first fixture line that
    wanted() accepts, in ms. Each move starts from an idle fixture: after
    the measured line it waits for the edit's own WM_MOUSEMOVE (the hook
    has answered and the thread went on), then 10 ms; otherwise a slow
    scroll of the edit would delay the next move's hook and be counted as
    that move's latency."""
    tail = LogTail(log.path)
    latencies = []
    for i in range(args.moves):
        target_y = y - 16 if i % 2 == 0 else y
        sent = now_us()
        xt.move(x, target_y)
        deadline = time.monotonic() + 5.0
        got, moved = None, False
        while not (got is not None and moved) and time.monotonic() < deadline:
            for l in tail.new_lines():
                if got is None and wanted(l):
                    got = int(l[stamp])
                if got is not None and is_edit_move(l):
                    moved = True
            if not (got is not None and moved):
                time.sleep(0.0005)
        if got is None:
            raise harness.Failure(f"move {i}: nothing arrived within 5 s", log)
        latencies.append((got - sent) / 1000.0)
        time.sleep(0.01)
    return latencies


def measure(args, mode):
    ns = argparse.Namespace(**vars(args))
    ns.case = "latency-" + mode
    h = harness.Harness(ns)
    h.env["FLICKO_IDLE_WAIT"] = mode
    try:
        log = h.start_fixture()
        # The fixture's clock must be the host's: compare at a known moment.
        ready_us = int(log.events("top", "ready", since_mark=False)[-1][4])
        flicko = h.start_flicko()
        h.wait_hooked(log)
        skew_ms = (now_us() - ready_us) / 1000.0
        if not 0 <= skew_ms < 60000:
            raise harness.Failure(f"the fixture's clock is not the host's (skew {skew_ms:.0f} ms)")
        time.sleep(1.0)
        result = {"mode": mode}
        result["cpu_idle"] = cpu_percent(flicko.pid, 5.0)
        rc, out = h.tool("roundtrip", "500")
        result["rt_idle"] = tuple(int(v) for v in out.split())

        xt = XTest()
        x, y = harness.inside(log.rects["edit"], 0.5, 0.7)
        xt.move(x, y)
        time.sleep(0.3)
        xt.button(3, True)
        harness.wait_for(lambda: h.block()["SendMove"] != 0, 20, "the drag to start", log)
        result["cpu_held"] = cpu_percent(flicko.pid, 5.0)
        rc, out = h.tool("roundtrip", "500")
        result["rt_held"] = tuple(int(v) for v in out.split())

        cpu_a, t_a = cpu_seconds(flicko.pid), time.monotonic()
        latencies = scroll_latencies(args, log, xt, x, y)
        result["cpu_drag"] = 100.0 * (cpu_seconds(flicko.pid) - cpu_a) / (time.monotonic() - t_a)
        xt.button(3, False)
        result["lat"] = latencies
        return result
    finally:
        h.stop()


def measure_floor(args):
    ns = argparse.Namespace(**vars(args))
    ns.case = "latency-floor"
    h = harness.Harness(ns)
    try:
        log = h.start_fixture()
        time.sleep(1.0)
        xt = XTest()
        x, y = harness.inside(log.rects["edit"], 0.5, 0.7)
        xt.move(x, y)
        time.sleep(0.3)
        return scroll_latencies(args, log, xt, x, y, is_edit_move, stamp=3)
    finally:
        h.stop()


def measure_relay(args):
    ns = argparse.Namespace(**vars(args))
    ns.case = "latency-relay"
    h = harness.Harness(ns)
    try:
        log = h.start_fixture()
        relay = subprocess.Popen(
            [os.path.join(harness.ROOT, "scripts", "wine-run.sh"), os.path.join(args.tools, "relay.exe"),
             harness.winpath(os.path.join(args.tools, "relayhook.dll"))],
            env=h.env, stdout=subprocess.PIPE, stderr=subprocess.DEVNULL, text=True, start_new_session=True)
        h.procs.append(relay)
        if relay.stdout.readline().strip() != "ready":
            raise harness.Failure("the relay did not install its hook", log)
        time.sleep(1.0)
        xt = XTest()
        x, y = harness.inside(log.rects["edit"], 0.5, 0.7)
        xt.move(x, y)
        time.sleep(0.3)
        return scroll_latencies(args, log, xt, x, y)
    finally:
        # Closed, the relay removes its hook; killed, it might leave it for
        # a moment into the next measurement.
        h.tool("close", "FlickoLatencyRelay", "5000")
        h.stop()


def is_panel_line(l):
    return len(l) >= 5 and l[1] == "panel" and l[2] == "vscroll" and l[3] in ("0", "1")


def glide_stop(args):
    """Press-to-stop times of a glide on a slow, long pane, args.runs times."""
    import cases_resident
    ns = argparse.Namespace(**vars(args))
    ns.case = "latency-glide-stop"
    h = harness.Harness(ns)
    rows = []
    try:
        h.write_settings(scroll_dat=cases_resident.LONG_PANE_DAT)
        extra = ("range=100000",) + ((f"endscroll={args.endscroll}",) if args.endscroll else ())
        log = h.start_hooked(extra=extra)
        harness.wait_for(lambda: harness.panel_pos(log) == 50000, 20, "the panel in the middle of its range", log)
        start = harness.inside(log.rects["panel"], 0.5, 0.9)
        click_at = start if args.right_click else harness.inside(log.rects["list"])
        button = 3 if args.right_click else 1
        xt = XTest()
        for run in range(1, args.runs + 1):
            harness.settle(log)
            before = harness.panel_pos(log)
            harness.flick(start, step=args.flick_step)
            # Past what the drag itself scrolls: only a glide goes on.
            glided = before + 12 * args.flick_step // 10 + 20
            if not harness.wait_for_or_none(lambda: harness.panel_pos(log) > glided, 4):
                rows.append((run, None, None, "no glide"))
                continue
            xt.move(*click_at)
            time.sleep(0.3 if args.right_click else args.glide_for)
            tail = LogTail(log.path)
            log.mark()
            pressed = now_us()
            xt.button(button, True)
            xt.button(button, False)
            last, quiet_since, count = None, time.monotonic(), 0
            deadline = time.monotonic() + 30
            while time.monotonic() - quiet_since < 1.0 and time.monotonic() < deadline:
                new = [l for l in tail.new_lines() if is_panel_line(l)]
                if new:
                    last, count, quiet_since = int(new[-1][4]), count + len(new), time.monotonic()
                time.sleep(0.01)
            if time.monotonic() >= deadline:
                rows.append((run, None, count, "still gliding 30 s after the press"))
                cases_resident.fresh_flicko(h, log)
                continue
            stop_ms = max(0.0, (last - pressed) / 1000.0) if last is not None else 0.0
            # When the press reached the list, after the hook: what of the
            # wait was the fixture's thread getting to its input at all.
            if args.right_click:
                reached = [l[2] for l in log.since_mark() if l[1] == "panel" and l[2] in ("rdown", "rup", "contextmenu")]
                arrived = "the click reached the panel: " + " ".join(reached) if reached else "kept out"
                if reached:
                    harness.xdo("key", "Escape")
            else:
                downs = log.events("list", "ldown", since_mark=False)
                arrived = f"press at the list after {(int(downs[-1][3]) - pressed) / 1000.0:.0f} ms" if downs else ""
            rows.append((run, stop_ms, count, arrived))
            print(f"run {run}: {stop_ms:.0f} ms, {count} lines after the press; {arrived}", flush=True)
    finally:
        h.stop()
    if args.right_click:
        reached = sum(1 for r in rows if r[3].startswith("the click reached"))
        print(f"the click reached the panel in {reached} of {len(rows)} runs", flush=True)
    lines = ["| run | press to the glide's last line (ms) | lines after the press | note |", "|---|---|---|---|"]
    for run, ms, n, note in rows:
        lines.append(f"| {run} | {'-' if ms is None else f'{ms:.0f}'} | {'-' if n is None else n} | {note} |")
    stopped = sorted(r[1] for r in rows if r[1] is not None)
    if stopped:
        lines.append(f"\nstopped {len(stopped)} of {len(rows)}; median {statistics.median(stopped):.0f} ms, "
                     f"worst {stopped[-1]:.0f} ms")
    return "\n".join(lines) + "\n"


def compare(args):
    """Floor, relay and program side by side, args.runs times."""
    lines = [
        "| run | floor median / p99 (ms) | relay median / p99 (ms) | program median / p99 (ms) "
        "| relay adds median / p99 (ms) | program adds median / p99 (ms) | program / relay (median added) |",
        "|---|---|---|---|---|---|---|",
    ]
    for run in range(1, args.runs + 1):
        floor = measure_floor(args)
        relay = measure_relay(args)
        program = measure(args, "wait")["lat"]
        fm, fp = statistics.median(floor), percentile(floor, 99)
        rm, rp = statistics.median(relay), percentile(relay, 99)
        pm, pp = statistics.median(program), percentile(program, 99)
        ratio = (pm - fm) / (rm - fm) if rm > fm else float("nan")
        lines.append(f"| {run} | {fm:.2f} / {fp:.2f} | {rm:.2f} / {rp:.2f} | {pm:.2f} / {pp:.2f} "
                     f"| {rm - fm:.2f} / {rp - fp:.2f} | {pm - fm:.2f} / {pp - fp:.2f} | {ratio:.2f} |")
        print(lines[-1], flush=True)
    return "\n".join(lines) + f"\n\n{args.moves} moves per measurement.\n"


def main():
    ap = argparse.ArgumentParser()
    for name in ("release", "fixture", "tools", "work", "out"):
        ap.add_argument("--" + name, required=True)
    ap.add_argument("--moves", type=int, default=500)
    ap.add_argument("--compare", action="store_true")
    ap.add_argument("--runs", type=int, default=3)
    ap.add_argument("--glide-stop", action="store_true")
    ap.add_argument("--flick-step", type=int, default=25, help="px per move of the glide-stop flick")
    ap.add_argument("--glide-for", type=float, default=3.0, help="seconds the glide goes on before the press")
    ap.add_argument("--right-click", action="store_true", help="stop the glide with a right click on the panel")
    ap.add_argument("--endscroll", type=int, default=0, help="ms the panel takes over an end-of-scroll notice")
    args = ap.parse_args()
    if args.glide_stop:
        text = glide_stop(args)
        with open(args.out, "w") as f:
            f.write(text)
        print(text)
        return 0
    if args.compare:
        text = compare(args)
        with open(args.out, "w") as f:
            f.write(text)
        print(text)
        return 0
    floor = measure_floor(args)
    rows = [measure(args, "wait"), measure(args, "sleep")]
    lines = [
        "| idle wait | X motion to WM_VSCROLL median / p99 (ms) | hook round trip idle median / p99 (us) |"
        " round trip, drag held still median / p99 (us) | CPU idle | CPU drag held still | CPU while dragging |",
        "|---|---|---|---|---|---|---|",
    ]
    for r in rows:
        lat = r["lat"]
        lines.append(
            f"| {'message-aware (MsgWaitForMultipleObjectsEx)' if r['mode'] == 'wait' else 'plain Sleep'} "
            f"| {statistics.median(lat):.2f} / {percentile(lat, 99):.2f} "
            f"| {r['rt_idle'][0]} / {r['rt_idle'][1]} | {r['rt_held'][0]} / {r['rt_held'][1]} "
            f"| {r['cpu_idle']:.1f} % | {r['cpu_held']:.1f} % | {r['cpu_drag']:.1f} % |")
    fm, fp = statistics.median(floor), percentile(floor, 99)
    lines += [
        "",
        "| | median (ms) | p99 (ms) |",
        "|---|---|---|",
        f"| floor: X motion to the edit's own WM_MOUSEMOVE, program not running | {fm:.2f} | {fp:.2f} |",
    ]
    for r in rows:
        lat = r["lat"]
        name = "message-aware wait" if r["mode"] == "wait" else "plain Sleep"
        lines.append(f"| added by the program ({name}): WM_VSCROLL minus the floor "
                     f"| {statistics.median(lat) - fm:.2f} | {percentile(lat, 99) - fp:.2f} |")
    text = "\n".join(lines) + f"\n\n{args.moves} moves per row; CPU in percent of one core.\n"
    with open(args.out, "w") as f:
        f.write(text)
    print(text)
    return 0


if __name__ == "__main__":
    try:
        sys.exit(main())
    except harness.Failure as e:
        print("FAIL:", e)
        sys.exit(1)
