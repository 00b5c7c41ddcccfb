#!/usr/bin/env python3
"""Runs fcheck over every rules and settings example of the documentation.

Examples are fenced code blocks whose info string names their kind:

    ```rules          a scroll-data file: fcheck reads it without a report
    ```settings       a settings file: fcheck --ini reads it without a report
    ```rules wrong    wrong on purpose: the next fenced block must be a
    ```settings wrong ```report block, the report fcheck prints (standard
                      error) for the example saved as scroll.dat or flicko.ini

Every other fenced block names what it is (sh, text, ...), so an example can
not escape the check by carrying no tag. Usage:
check_doc_examples.py FCHECK ROOT"""
import os
import re
import subprocess
import sys
import tempfile

DOCS = ["README.md", "BENCHMARKS.md", "docs"]
FENCE = re.compile(r"^(\s*)```(.*)$")


def doc_files(root):
    for name in DOCS:
        path = os.path.join(root, name)
        if os.path.isdir(path):
            for f in sorted(os.listdir(path)):
                if f.endswith(".md"):
                    yield os.path.join(path, f)
        else:
            yield path


def blocks(path):
    """(line, info, text) of every fenced block; the fence's indentation is
    taken off the block's lines."""
    with open(path, encoding="utf-8") as f:
        lines = f.read().split("\n")
    i = 0
    while i < len(lines):
        m = FENCE.match(lines[i])
        if not m:
            i += 1
            continue
        indent, info, start = len(m.group(1)), m.group(2).strip(), i + 1
        body = []
        i += 1
        while i < len(lines) and not re.match(r"^\s*```\s*$", lines[i]):
            body.append(lines[i][indent:] if lines[i][:indent].strip() == "" else lines[i])
            i += 1
        i += 1
        yield start, info, "\n".join(body) + "\n"


def run_fcheck(fcheck, kind, text, work):
    name = "scroll.dat" if kind == "rules" else "flicko.ini"
    with open(os.path.join(work, name), "w", newline="\r\n", encoding="latin-1") as f:
        f.write(text)
    args = [fcheck, name] if kind == "rules" else [fcheck, "--ini", name]
    env = dict(os.environ, APPDATA=os.path.join(work, "appdata"))
    r = subprocess.run(args, cwd=work, env=env, capture_output=True, text=True, timeout=60)
    return r.returncode, r.stderr


def main():
    fcheck, root = os.path.abspath(sys.argv[1]), sys.argv[2]
    failures, checked = [], 0
    for path in doc_files(root):
        rel = os.path.relpath(path, root)
        pending = None  # a wrong example waiting for its report
        for line, info, text in blocks(path):
            words = info.split()
            where = f"{rel}:{line}"
            if not words:
                failures.append(f"{where}: fenced block without a kind (rules, settings, report, sh, text, ...)")
                continue
            if pending and words[0] != "report":
                failures.append(f"{pending[0]}: wrong-on-purpose example without a report block after it")
                pending = None
            if words[0] == "report":
                if not pending:
                    failures.append(f"{where}: report block that follows no wrong-on-purpose example")
                    continue
                ex_where, kind, status, err = pending
                pending = None
                checked += 1
                if status == 0:
                    failures.append(f"{ex_where}: marked wrong, but fcheck reads it cleanly")
                elif err.strip() != text.strip():
                    failures.append(f"{ex_where}: fcheck reports\n{err}  where the text shows\n{text}")
                continue
            if words[0] not in ("rules", "settings"):
                continue
            with tempfile.TemporaryDirectory() as work:
                status, err = run_fcheck(fcheck, words[0], text, work)
            if words[1:] == ["wrong"]:
                pending = (where, words[0], status, err)
                continue
            checked += 1
            if status != 0 or err:
                failures.append(f"{where}: {words[0]} example does not read cleanly (exit {status}):\n{err}")
        if pending:
            failures.append(f"{pending[0]}: wrong-on-purpose example without a report block after it")
    for f in failures:
        print(f)
    print(f"doc examples: {checked} checked, {len(failures)} failed")
    return 1 if failures else 0


if __name__ == "__main__":
    sys.exit(main())
