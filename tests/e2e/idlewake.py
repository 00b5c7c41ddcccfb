"""Measures how often an idle flicko.exe wakes up: the voluntary context
switches of each of its threads over a minute with nothing to do, the
rules file and the settings file watched for changes. Not a test: the
numbers go into BENCHMARKS.md.

Run (DISPLAY set, Windows build done): python3 tests/e2e/idlewake.py
--release build/win64/release --fixture build/win64/e2e/fixture.exe
--tools build/win64/tools --work build/win64/e2e/work [--seconds 60]"""
import argparse
import glob
import os
import time

from harness import Harness, flicko_pids, wait_for


def switches(pid):
    """{thread id: (voluntary, involuntary) context switches}."""
    out = {}
    for status in glob.glob(f"/proc/{pid}/task/*/status"):
        fields = {}
        with open(status) as f:
            for line in f:
                key, _, value = line.partition(":")
                fields[key] = value.strip()
        out[int(status.split("/")[4])] = (int(fields["voluntary_ctxt_switches"]),
                                           int(fields["nonvoluntary_ctxt_switches"]))
    return out


def main():
    ap = argparse.ArgumentParser()
    for name in ("release", "fixture", "tools", "work"):
        ap.add_argument("--" + name, required=True)
    ap.add_argument("--seconds", type=int, default=60)
    args = ap.parse_args()
    args.case = "idlewake"
    h = Harness(args)
    try:
        h.start_flicko()
        h.wait_hooked()
        pid = flicko_pids(h)[0]
        time.sleep(5)  # the start-up's own work is over
        before = switches(pid)
        time.sleep(args.seconds)
        after = switches(pid)
        for tid in sorted(after):
            v0, n0 = before.get(tid, (0, 0))
            v1, n1 = after[tid]
            print(f"thread {tid}{' (main)' if tid == pid else ''}: {v1 - v0} voluntary, {n1 - n0} involuntary"
                  f" switches in {args.seconds} s")
    finally:
        h.stop()


if __name__ == "__main__":
    main()
