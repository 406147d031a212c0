#!/usr/bin/env python3
"""Applies each fault of faults.txt to the source in turn, rebuilds, runs the test suite and
records whether it was caught, then puts the file back.

    nice -n 10 python3 tools/mutation/run_mutants.py BUILD_DIR [ID ...]

BUILD_DIR is a configured build folder (cmake -S . -B BUILD_DIR). With IDs only those faults
run. The suite is run as the test command runs it (ctest --test-dir BUILD_DIR), every test, so
the table says which tests catch each fault; --stop-on-failure stops at the first failing test
instead (faster, and names only the tests that failed by then).

Results: a table on standard output, and BUILD_DIR/mutation/results.md and results.csv (or
--out PREFIX for PREFIX.md and PREFIX.csv); the build and test output of each fault in
BUILD_DIR/mutation/logs/. --compare tools/mutation/baseline.csv lists the faults that an
earlier run caught and this one did not. --check only checks that every fault's text is still
found.

A fault whose text is no longer found exactly once is reported as stale, not run: update it in
faults.txt. A file is always put back as it was, also on Ctrl-C or an error, and the run ends
by checking that git sees no change in the files it touched.
"""
import argparse
import csv
import datetime
import os
import re
import signal
import subprocess
import sys
import time
from dataclasses import dataclass, field
from pathlib import Path

HERE = Path(__file__).resolve().parent


@dataclass
class Fault:
    id: str
    area: str = ""
    file: str = ""
    what: str = ""
    original: str = ""
    replacement: str = ""
    note: str = ""
    line: int = 0  # where the block starts in the faults file


@dataclass
class Result:
    fault: Fault
    status: str  # caught, survived, not compiled, stale
    detail: str = ""  # failing tests, or why the fault is stale or survives
    failed_tests: list = field(default_factory=list)
    seconds: float = 0.0


class FaultFileError(Exception):
    pass


def parse_faults(path):
    """Reads the blocks of faults.txt; repeated from:/to: lines are consecutive lines."""
    faults = []
    current = None
    from_lines, to_lines = [], []

    def finish():
        if current is None:
            return
        current.original = "\n".join(from_lines)
        current.replacement = "\n".join(to_lines)
        for name in ("area", "file", "what"):
            if not getattr(current, name):
                raise FaultFileError(f"{path}:{current.line}: [{current.id}] has no {name}:")
        if not from_lines or not to_lines:
            raise FaultFileError(f"{path}:{current.line}: [{current.id}] needs from: and to:")
        if current.original == current.replacement:
            raise FaultFileError(f"{path}:{current.line}: [{current.id}] changes nothing")
        faults.append(current)

    for number, raw in enumerate(Path(path).read_text(encoding="utf-8").splitlines(), 1):
        if raw.startswith("#") or not raw.strip():
            continue
        header = re.fullmatch(r"\[([A-Za-z0-9_.-]+)\]\s*", raw)
        if header:
            finish()
            current = Fault(id=header.group(1), line=number)
            from_lines, to_lines = [], []
            continue
        key, colon, value = raw.partition(":")
        if current is None or not colon:
            raise FaultFileError(f"{path}:{number}: expected [id] or key: value, got {raw!r}")
        value = value[1:] if value.startswith(" ") else value
        if key == "from":
            from_lines.append(value)
        elif key == "to":
            to_lines.append(value)
        elif key in ("area", "file", "what", "note"):
            setattr(current, key, value.strip())
        else:
            raise FaultFileError(f"{path}:{number}: unknown key {key!r}")
    finish()
    ids = [f.id for f in faults]
    repeated = sorted({i for i in ids if ids.count(i) > 1})
    if repeated:
        raise FaultFileError(f"{path}: ids used twice: {', '.join(repeated)}")
    return faults


def why_stale(repo, fault):
    """None when the fault applies cleanly, else what is wrong."""
    path = repo / fault.file
    if not path.is_file():
        return f"file {fault.file} not found"
    count = path.read_text(encoding="utf-8").count(fault.original)
    if count == 0:
        return f"original text no longer found in {fault.file}"
    if count > 1:
        return f"original text found {count} times in {fault.file}: make it unique"
    return None


def run_logged(command, log, cwd, timeout=None):
    """Runs the command with its output appended to the log; returns its status and output."""
    log.write(f"$ {' '.join(str(c) for c in command)}\n")
    log.flush()
    # A session of its own, so a timeout can end the command with everything it started.
    process = subprocess.Popen(command, cwd=cwd, stdout=subprocess.PIPE,
                               stderr=subprocess.STDOUT, text=True, errors="replace",
                               start_new_session=True)
    try:
        output, _ = process.communicate(timeout=timeout)
    except subprocess.TimeoutExpired:
        os.killpg(process.pid, signal.SIGKILL)
        output, _ = process.communicate()
        output += f"\n(stopped after {timeout} s)\n"
        log.write(output)
        return None, output
    except BaseException:
        os.killpg(process.pid, signal.SIGKILL)
        process.wait()
        raise
    log.write(output)
    log.flush()
    return process.returncode, output


def failed_tests_in(output):
    """The tests ctest lists under 'The following tests FAILED:'."""
    names = []
    listing = False
    for line in output.splitlines():
        if line.startswith("The following tests FAILED:"):
            listing = True
            continue
        if listing:
            # "12 - Suite.Name (Failed)"; a parameterised test adds "  # GetParam() = ...".
            match = re.match(r"\s*\d+ - (\S+)(?:\s+#.*?)? \(([^()]+)\)\s*$", line)
            if not match:
                break
            kind = match.group(2)
            names.append(match.group(1) + ("" if kind == "Failed" else f" ({kind})"))
    return names


def build(build_dir, jobs, log):
    status, output = run_logged(["cmake", "--build", str(build_dir), f"-j{jobs}"], log,
                                cwd=build_dir)
    return status == 0, output


def run_suite(build_dir, jobs, stop_on_failure, timeout, log):
    """Runs ctest; the failing tests' names, or None when every test passed."""
    command = ["ctest", "--test-dir", str(build_dir), f"-j{jobs}"]
    if stop_on_failure:
        command.append("--stop-on-failure")
        # Without the timings of earlier runs ctest runs the tests in the order they were
        # added, the quick screen tests first, so a failure is found sooner.
        cost = build_dir / "Testing" / "Temporary" / "CTestCostData.txt"
        if cost.exists():
            cost.unlink()
    status, output = run_logged(command, log, cwd=build_dir, timeout=timeout)
    if status is None:
        return [f"(the whole run took more than {timeout} s)"]
    if status == 0:
        return None
    return failed_tests_in(output) or ["(ctest failed; see the log)"]


class Interrupted(Exception):
    pass


def on_terminate(signum, frame):
    raise Interrupted(f"signal {signum}")


def apply_fault(repo, fault, original):
    """Writes the fault into its file, whose content is `original`."""
    text = original.decode("utf-8")
    (repo / fault.file).write_bytes(
        text.replace(fault.original, fault.replacement, 1).encode("utf-8"))


def put_back(repo, fault, original):
    path = repo / fault.file
    if path.read_bytes() != original:
        path.write_bytes(original)


def git_changed(repo, files):
    """The files among these that git sees as changed."""
    if not files:
        return []
    output = subprocess.run(["git", "diff", "--name-only", "--", *sorted(files)], cwd=repo,
                            capture_output=True, text=True, check=True).stdout
    return output.split()


def run_fault(repo, build_dir, fault, args, log_dir):
    started = time.monotonic()
    stale = why_stale(repo, fault)
    if stale:
        return Result(fault, "stale", stale)
    with open(log_dir / f"{fault.id}.log", "w", encoding="utf-8") as log:
        log.write(f"{fault.id}: {fault.what}\n{fault.file}\n--- from\n{fault.original}\n"
                  f"--- to\n{fault.replacement}\n\n")
        original = (repo / fault.file).read_bytes()
        try:
            apply_fault(repo, fault, original)
            built, output = build(build_dir, args.jobs, log)
            if not built:
                errors = [l for l in output.splitlines() if "error" in l.lower()]
                detail = errors[0].strip() if errors else "the build failed; see the log"
                return Result(fault, "not compiled", detail, seconds=time.monotonic() - started)
            failed = run_suite(build_dir, args.jobs, args.stop_on_failure, args.timeout, log)
        finally:
            put_back(repo, fault, original)
    seconds = time.monotonic() - started
    if failed is None:
        return Result(fault, "survived", fault.note or "(no note yet: say why)", seconds=seconds)
    return Result(fault, "caught", ", ".join(failed), failed, seconds)


def short_list(names, most=6):
    if len(names) <= most:
        return ", ".join(names)
    return ", ".join(names[:most]) + f" and {len(names) - most} more"


def markdown_table(results, heading):
    lines = [heading, "",
             "| id | area | fault | result | caught by, or why not |",
             "|---|---|---|---|---|"]
    for r in results:
        detail = short_list(r.failed_tests) if r.status == "caught" else r.detail
        cells = [r.fault.id, r.fault.area, r.fault.what, r.status, detail]
        lines.append("| " + " | ".join(c.replace("|", "\\|") for c in cells) + " |")
    return "\n".join(lines) + "\n"


def summary(results):
    counts = {}
    for r in results:
        counts[r.status] = counts.get(r.status, 0) + 1
    order = ["caught", "survived", "not compiled", "stale"]
    return ", ".join(f"{counts[s]} {s}" for s in order if s in counts) + f" of {len(results)}"


def git_head(repo):
    return subprocess.run(["git", "rev-parse", "--short=12", "HEAD"], cwd=repo,
                          capture_output=True, text=True).stdout.strip()


def write_results(results, prefix, repo, elapsed, mode):
    prefix.parent.mkdir(parents=True, exist_ok=True)
    stamp = datetime.datetime.now().strftime("%Y-%m-%d %H:%M")
    heading = (f"Measured {stamp} on commit {git_head(repo)} ({mode}); "
               f"{summary(results)}; {elapsed / 60:.0f} min.")
    Path(f"{prefix}.md").write_text(markdown_table(results, heading), encoding="utf-8")
    with open(f"{prefix}.csv", "w", newline="", encoding="utf-8") as out:
        writer = csv.writer(out)
        writer.writerow(["id", "area", "file", "fault", "result", "failed tests or note",
                         "seconds"])
        for r in results:
            detail = "; ".join(r.failed_tests) if r.status == "caught" else r.detail
            writer.writerow([r.fault.id, r.fault.area, r.fault.file, r.fault.what, r.status,
                             detail, f"{r.seconds:.0f}"])
    return heading


def lost_since(baseline, results):
    """The faults the earlier run (a results CSV) caught that this run did not."""
    with open(baseline, newline="", encoding="utf-8") as source:
        caught_before = {row["id"] for row in csv.DictReader(source) if row["result"] == "caught"}
    return [r for r in results if r.fault.id in caught_before and r.status != "caught"]


def main():
    parser = argparse.ArgumentParser(description=__doc__.split("\n\n")[0])
    parser.add_argument("build_dir", type=Path)
    parser.add_argument("ids", nargs="*", help="only these faults")
    parser.add_argument("--faults", type=Path, default=HERE / "faults.txt")
    parser.add_argument("--out", type=Path, help="results as OUT.md and OUT.csv")
    parser.add_argument("--jobs", type=int, default=2)
    parser.add_argument("--stop-on-failure", action="store_true",
                        help="stop each suite run at the first failing test")
    parser.add_argument("--timeout", type=int, default=1800,
                        help="seconds one suite run may take before the fault counts as caught")
    parser.add_argument("--compare", type=Path, metavar="CSV",
                        help="name the faults this earlier results file has as caught and "
                        "this run does not")
    parser.add_argument("--check", action="store_true",
                        help="only check that every fault's text is found once")
    parser.add_argument("--skip-clean-run", action="store_true",
                        help="do not run the suite on the unchanged source first")
    args = parser.parse_intermixed_args()

    repo = Path(subprocess.run(["git", "rev-parse", "--show-toplevel"], cwd=HERE,
                               capture_output=True, text=True, check=True).stdout.strip())
    try:
        faults = parse_faults(args.faults)
    except FaultFileError as error:
        sys.exit(str(error))
    if args.ids:
        unknown = sorted(set(args.ids) - {f.id for f in faults})
        if unknown:
            sys.exit(f"no such fault: {', '.join(unknown)}")
        faults = [f for f in faults if f.id in args.ids]

    stale = [(f, why_stale(repo, f)) for f in faults]
    stale = [(f, why) for f, why in stale if why]
    for fault, why in stale:
        print(f"STALE {fault.id} ({args.faults.name}:{fault.line}): {why}")
    if args.check:
        print(f"{len(faults) - len(stale)} of {len(faults)} faults apply")
        sys.exit(1 if stale else 0)

    build_dir = args.build_dir.resolve()
    if not (build_dir / "CMakeCache.txt").is_file():
        sys.exit(f"{build_dir} is not a configured build folder (cmake -S . -B {args.build_dir})")
    files = {f.file for f in faults}
    dirty = git_changed(repo, files)
    if dirty:
        sys.exit("commit or stash these first, so the run can prove it put them back: "
                 + " ".join(dirty))

    signal.signal(signal.SIGTERM, on_terminate)
    signal.signal(signal.SIGHUP, on_terminate)
    out_dir = build_dir / "mutation"
    log_dir = out_dir / "logs"
    log_dir.mkdir(parents=True, exist_ok=True)
    prefix = args.out.resolve() if args.out else out_dir / "results"
    mode = "first failure only" if args.stop_on_failure else "every test"

    started = time.monotonic()
    results = []
    interrupted = None
    try:
        if not args.skip_clean_run:
            print("unchanged source: building and running the suite ...", flush=True)
            with open(log_dir / "_unchanged.log", "w", encoding="utf-8") as log:
                built, _ = build(build_dir, args.jobs, log)
                failed = run_suite(build_dir, args.jobs, False, args.timeout, log) if built \
                    else ["(the build failed)"]
            if failed:
                sys.exit("the unchanged source fails already, so faults cannot be told apart: "
                         + ", ".join(failed))
        for number, fault in enumerate(faults, 1):
            print(f"[{number}/{len(faults)}] {fault.id} ...", end=" ", flush=True)
            result = run_fault(repo, build_dir, fault, args, log_dir)
            results.append(result)
            print(f"{result.status} ({result.seconds:.0f} s) {result.detail}", flush=True)
    except (KeyboardInterrupt, Interrupted) as error:
        interrupted = str(error) or "Ctrl-C"
        print(f"\ninterrupted ({interrupted}); every file is back as it was", flush=True)
    finally:
        changed = git_changed(repo, files)
        if changed:
            print("ERROR: git sees changes left in " + " ".join(changed), file=sys.stderr)
    elapsed = time.monotonic() - started

    if results:
        heading = write_results(results, prefix, repo, elapsed, mode)
        print()
        print(markdown_table(results, heading))
        print(f"written: {prefix}.md and {prefix}.csv; logs in {log_dir}")
    lost = lost_since(args.compare, results) if args.compare and results else []
    if args.compare and results:
        print(f"caught in {args.compare.name} and not now: "
              + (", ".join(f"{r.fault.id} ({r.status})" for r in lost) or "none"))
    if not interrupted and not changed:
        # The build folder holds the last fault's objects: build the true source again.
        with open(log_dir / "_restored.log", "w", encoding="utf-8") as log:
            if not build(build_dir, args.jobs, log)[0]:
                print("ERROR: the restored source did not build; see _restored.log",
                      file=sys.stderr)
                sys.exit(1)
    elif interrupted:
        print(f"the build folder may hold a fault's objects: cmake --build {args.build_dir}")
    if changed or interrupted or lost:
        sys.exit(1)
    if stale:
        print(f"{len(stale)} stale fault(s): update {args.faults}")
        sys.exit(2)


if __name__ == "__main__":
    main()
