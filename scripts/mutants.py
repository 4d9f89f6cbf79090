#!/usr/bin/env python3
"""Plants single faults in the code one at a time and runs the test suite against each.

    python3 scripts/mutants.py [--build DIR] [--only ID,...] MUTANTS_FILE

MUTANTS_FILE holds blocks separated by lines of "====":
    id: link-data-limit
    file: src/link/DeviceLink.cpp
    --- old
    kDataBlockLimit = 3.0
    --- new
    kDataBlockLimit = 1.5
Each fault must match its file exactly once. Prints one line per fault (caught, survived,
not applicable, does not build) and a summary; the tree is restored after each fault.
"""
import argparse
import os
import pathlib
import signal
import subprocess
import sys
import time

ROOT = pathlib.Path(__file__).resolve().parent.parent


def parse(path):
    faults = []
    for block in pathlib.Path(path).read_text(encoding="utf-8").split("\n====\n"):
        if not block.strip():
            continue
        head, rest = block.split("--- old\n", 1)
        old, new = rest.split("--- new", 1)
        new = new[1:] if new.startswith("\n") else new
        fields = dict(line.split(": ", 1) for line in head.strip().splitlines() if ": " in line)
        faults.append({"id": fields["id"], "file": fields["file"],
                       "old": old.rstrip("\n"), "new": new.rstrip("\n")})
    return faults


def run(cmd, timeout):
    try:
        return subprocess.run(cmd, cwd=ROOT, stdout=subprocess.DEVNULL,
                              stderr=subprocess.DEVNULL, timeout=timeout).returncode
    except subprocess.TimeoutExpired:
        return -1


def main():
    ap = argparse.ArgumentParser()
    ap.add_argument("mutants")
    ap.add_argument("--build", default=str(ROOT / "build-mutants"))
    ap.add_argument("--only", default="")
    args = ap.parse_args()
    # A stopped run must still put the planted fault back.
    signal.signal(signal.SIGTERM, lambda *_: sys.exit("stopped"))
    only = set(filter(None, args.only.split(",")))
    env = dict(os.environ, QT_QPA_PLATFORM="offscreen")
    os.environ.update(env)
    build = args.build
    subprocess.run(["cmake", "-S", str(ROOT), "-B", build, "-DCMAKE_BUILD_TYPE=Debug",
                    "-DORVA_WERROR=OFF"], cwd=ROOT, check=True, stdout=subprocess.DEVNULL)
    if run(["cmake", "--build", build, "-j2"], 3600) != 0:
        sys.exit("the unchanged tree does not build")
    if run(["ctest", "--test-dir", build, "-j2", "--timeout", "60", "-LE", "packaging"],
           1200) != 0:
        sys.exit("the unchanged tree does not pass its tests")
    counts = {}
    for fault in parse(args.mutants):
        if only and fault["id"] not in only:
            continue
        path = ROOT / fault["file"]
        text = path.read_text(encoding="utf-8") if path.exists() else ""
        started = time.time()
        if text.count(fault["old"]) != 1:
            outcome = "not applicable"
        else:
            path.write_text(text.replace(fault["old"], fault["new"]), encoding="utf-8")
            try:
                if run(["cmake", "--build", build, "-j2"], 1800) != 0:
                    outcome = "does not build"
                else:
                    # The quick tests first, so that a caught fault stops early. The package
                    # test checks install rules and installed files, not behaviour: it runs
                    # alone for a fault in those, and not for the others.
                    if fault["file"].startswith(("packaging/", "docs/")):
                        stages = [["-L", "packaging"]]
                    else:
                        stages = [["-LE", "e2e|packaging"], ["-L", "e2e"]]
                    code = 0
                    for stage in stages:
                        if code == 0:
                            code = run(["ctest", "--test-dir", build, "-j2", "--timeout", "60",
                                        "--stop-on-failure", *stage], 1200)
                    outcome = "survived" if code == 0 else "caught"
            finally:
                path.write_text(text, encoding="utf-8")
        counts[outcome] = counts.get(outcome, 0) + 1
        print(f"{fault['id']:<40} {outcome:<15} {time.time() - started:6.1f} s", flush=True)
    run(["cmake", "--build", build, "-j2"], 3600)  # back to the unchanged tree
    print("summary: " + ", ".join(f"{k} {v}" for k, v in sorted(counts.items())), flush=True)


if __name__ == "__main__":
    main()
