#!/usr/bin/env python3
"""Mutation check: puts realistic single-point faults into the sources one at a time, rebuilds what
the suites of that source need, runs those suites (the fast core suites first) and tells which
faults no test noticed. Run through scripts/mutate.sh; see its --help."""

import argparse
import json
import os
import random
import re
import shutil
import signal
import subprocess
import sys
import time
from dataclasses import dataclass, field
from pathlib import Path

ROOT = Path(__file__).resolve().parent.parent
EQUIVALENT_FILE = ROOT / "scripts" / "mutate-equivalent.txt"


@dataclass
class Mutant:
    path: str  # relative to the root
    line: int  # 1-based
    original: str
    mutated: str
    kind: str

    def describe(self):
        return f"{self.path}:{self.line} {self.kind}"


@dataclass
class Outcome:
    mutant: Mutant
    verdict: str  # killed, survived, equivalent, unbuilt
    detail: str = ""
    seconds: float = 0.0


# ---------------------------------------------------------------------------------------------
# Finding faults to put in a line


def masked(line):
    """The line with the content of string and character literals replaced by '_' and a trailing
    // comment removed, same length up to the comment, so that positions match the original."""
    out = []
    quote = None
    i = 0
    while i < len(line):
        c = line[i]
        if quote:
            if c == "\\" and i + 1 < len(line):
                out.append("__")
                i += 2
                continue
            if c == quote:
                quote = None
                out.append(c)
            else:
                out.append("_")
        else:
            if c == "/" and line.startswith("//", i):
                break
            if c in "\"'":
                # A digit separator (1'000) is not a character literal.
                if c == "'" and i > 0 and line[i - 1].isalnum():
                    out.append(c)
                    i += 1
                    continue
                quote = c
            out.append(c)
        i += 1
    return "".join(out)


def balanced_end(text, start):
    """Index just past the parenthesis that closes the one at start, or -1."""
    depth = 0
    for i in range(start, len(text)):
        if text[i] == "(":
            depth += 1
        elif text[i] == ")":
            depth -= 1
            if depth == 0:
                return i + 1
    return -1


COMPARISONS = {" < ": " <= ", " <= ": " < ", " > ": " >= ", " >= ": " > ", " == ": " != ",
               " != ": " == "}
LOGIC = {" && ": " || ", " || ": " && "}
ARITHMETIC = {" + ": " - ", " - ": " + "}
NUMBER = re.compile(r"(?<![\w.])(0[xX][0-9a-fA-F]+|\d+)(?![\w.])")
CALL = re.compile(r"\b([A-Za-z_]\w*)\(([^(),]+), ([^(),]+)\)")
TYPE_START = re.compile(
    r"^(const |constexpr |static |auto |int |bool |char |double |unsigned |long |short |"
    r"qsizetype |size_t |std::|Q[A-Z]\w* |struct |using |typedef )")


def replacements(code, table, kind):
    for old, new in table.items():
        start = 0
        while (i := code.find(old, start)) >= 0:
            yield i, i + len(old), new, f"{kind} '{old.strip()}' -> '{new.strip()}'"
            start = i + 1


def line_mutations(line, next_line, starts_statement=True):
    """(mutated line, description) for each fault this line can take."""
    stripped = line.strip()
    if (not stripped or stripped.startswith(("#", "//", "/*", "*", "static_assert", "Q_OBJECT",
                                             "template", "namespace", "case ", "default:")) or
            "Q_DECLARE" in stripped):
        return
    code = masked(line)
    edits = []
    edits += replacements(code, COMPARISONS, "comparison")
    edits += replacements(code, LOGIC, "condition")
    edits += replacements(code, ARITHMETIC, "arithmetic")
    for match in NUMBER.finditer(code):
        text = match.group(1)
        value = int(text, 16) if text.lower().startswith("0x") else int(text)
        for delta in (1, -1):
            if value + delta < 0:
                continue
            new = hex(value + delta) if text.lower().startswith("0x") else str(value + delta)
            edits.append((match.start(1), match.end(1), new, f"constant {text} -> {new}"))
    for word, other in (("true", "false"), ("false", "true")):
        for match in re.finditer(rf"\b{word}\b", code):
            edits.append((match.start(), match.end(), other, f"constant {word} -> {other}"))
    for match in CALL.finditer(code):
        a, b = match.group(2).strip(), match.group(3).strip()
        # Plain arguments only: a space means a declaration ("int flags") or an expression.
        if a != b and " " not in a + b and match.group(1) not in ("if", "while", "for", "switch", "return", "sizeof"):
            edits.append((match.start(2), match.end(3), f"{b}, {a}",
                          f"arguments of {match.group(1)} swapped"))
    for keyword in ("if", "while"):
        for match in re.finditer(rf"\b{keyword} \(", code):
            open_at = match.end() - 1
            close_at = balanced_end(code, open_at)
            if close_at > 0:
                inner = line[open_at + 1:close_at - 1]
                edits.append((open_at + 1, close_at - 1, f"!({inner})",
                              f"{keyword} condition negated"))
    for start, end, new, description in edits:
        yield line[:start] + new + line[end:], description

    # Dropped statements and checks: the whole line goes.
    indent = line[: len(line) - len(line.lstrip())]
    if stripped in ("continue;", "break;"):
        yield indent + "\n", f"'{stripped}' dropped"
    elif re.match(r"^if \(.*\) (return|continue|break)\b.*;$", masked(stripped).strip()):
        yield indent + "\n", "check dropped"
    elif (re.match(r"^if \(.*\)$", masked(stripped).strip()) and next_line is not None and
          not next_line.strip().startswith("{") and next_line.rstrip().endswith(";")):
        # The body then runs whatever the condition.
        yield indent + "\n", "check dropped (its body always runs)"
    elif (stripped.endswith(";") and starts_statement and
          not stripped.startswith(("return", "}", "else", "while", "public", "private",
                                    "protected")) and
          not TYPE_START.match(stripped)):
        yield indent + "\n", "statement dropped"


def file_mutants(path, wanted_lines=None):
    text = (ROOT / path).read_text(encoding="utf-8")
    lines = text.splitlines(keepends=True)
    in_block_comment = False
    for number, line in enumerate(lines, start=1):
        stripped = line.strip()
        if in_block_comment:
            if "*/" in stripped:
                in_block_comment = False
            continue
        if stripped.startswith("/*") and "*/" not in stripped:
            in_block_comment = True
            continue
        if wanted_lines is not None and number not in wanted_lines:
            continue
        next_line = lines[number] if number < len(lines) else None
        previous = masked(lines[number - 2]).strip() if number > 1 else ""
        starts_statement = (not previous or previous.startswith(("//", "/*", "*")) or
                            previous.endswith((";", "{", "}", ")", "else", ":")))
        for mutated, description in line_mutations(line, next_line, starts_statement):
            if not mutated.endswith("\n") and line.endswith("\n"):
                mutated += "\n"
            if mutated != line:
                yield Mutant(path, number, line, mutated, description)


def changed_lines(base):
    """{path: set of line numbers} touched since base (committed or not), in src/."""
    diff = subprocess.run(["git", "diff", "-U0", base, "--", "src/"], cwd=ROOT, check=True,
                          capture_output=True, text=True).stdout
    result = {}
    current = None
    for row in diff.splitlines():
        if row.startswith("+++ "):
            name = row[4:]
            current = name[2:] if name.startswith("b/") else None
        elif row.startswith("@@") and current:
            match = re.search(r"\+(\d+)(?:,(\d+))?", row)
            first, count = int(match.group(1)), int(match.group(2) or "1")
            result.setdefault(current, set()).update(range(first, first + count))
    return {p: s for p, s in result.items() if p.endswith((".cpp", ".h")) and s}


def default_base():
    def git(*args):
        return subprocess.run(["git", *args], cwd=ROOT, capture_output=True, text=True)
    head = git("rev-parse", "HEAD").stdout.strip()
    base = git("merge-base", "HEAD", "main").stdout.strip()
    if not base or base == head:
        base = git("rev-parse", "--verify", "-q", "HEAD~1").stdout.strip()
    return base


def load_equivalents():
    """{(path, original, mutated): reason} from the list of faults that change nothing a test can
    see; each entry is four lines: path, original line, mutated line, reason; blank lines and #
    comments between entries."""
    entries = {}
    if not EQUIVALENT_FILE.exists():
        return entries
    rows = [r.rstrip("\n") for r in EQUIVALENT_FILE.read_text(encoding="utf-8").splitlines()]
    rows = [r for r in rows if r.strip() and not r.startswith("#")]
    for i in range(0, len(rows) - 3, 4):
        path, original, mutated, reason = rows[i:i + 4]
        mutated = "" if mutated.strip() == "(line removed)" else mutated
        entries[(path.strip(), original.strip(), mutated.strip())] = reason.strip()
    return entries


# ---------------------------------------------------------------------------------------------
# Building and running


class Runner:
    def __init__(self, build, factor, verbose):
        self.build = build
        self.factor = factor
        self.verbose = verbose
        self.tests = self.list_tests()
        self.clean_seconds = {}

    def run(self, command, timeout=None):
        return subprocess.run(command, cwd=ROOT, capture_output=True, text=True, timeout=timeout)

    def configure(self):
        """Configures (the first time) and builds everything, so that the tests' commands name
        their programs."""
        if not (self.build / "CMakeCache.txt").exists():
            print(f"mutate: configuring {self.build}/ (Debug, ccache)", flush=True)
            launcher = ["-DCMAKE_CXX_COMPILER_LAUNCHER=ccache"] if shutil.which("ccache") else []
            # Every fault relinks the suites: mold links them in a fraction of the time.
            if shutil.which("mold"):
                launcher += ["-DCMAKE_EXE_LINKER_FLAGS=-fuse-ld=mold",
                             "-DCMAKE_SHARED_LINKER_FLAGS=-fuse-ld=mold"]
            result = self.run(["cmake", "-S", ".", "-B", str(self.build),
                               "-DCMAKE_BUILD_TYPE=Debug", "-DHANLEXO_BUILD_TESTS=ON", *launcher])
            if result.returncode:
                sys.exit(f"mutate: configuring failed:\n{result.stdout}{result.stderr}")
        print(f"mutate: building {self.build}/", flush=True)
        result = self.run(["cmake", "--build", str(self.build), "-j", str(os.cpu_count() or 2)])
        if result.returncode:
            sys.exit(f"mutate: the unchanged sources do not build:\n{result.stdout[-3000:]}"
                     f"{result.stderr[-3000:]}")

    def list_tests(self):
        self.configure()
        result = self.run(["ctest", "--test-dir", str(self.build), "-N", "--show-only=json-v1"])
        if result.returncode:
            sys.exit(f"mutate: ctest cannot list the tests:\n{result.stderr}")
        tests = []
        for test in json.loads(result.stdout)["tests"]:
            labels = []
            for prop in test.get("properties", []):
                if prop["name"] == "LABELS":
                    labels = prop["value"]
            targets = [Path(a).name for a in test.get("command", [])
                       if str(a).startswith(str(self.build.resolve())) and Path(a).name]
            tests.append({"name": test["name"], "labels": labels, "targets": targets})
        return tests

    def suites_for(self, path):
        """The suites that test the folder of path, the fast core suites first."""
        folder = "/".join(Path(path).parts[:2])
        chosen = [t for t in self.tests if folder in t["labels"]]
        chosen.sort(key=lambda t: (0 if "core-suite" in t["labels"] else
                                   2 if "display-suite" in t["labels"] else 1))
        return chosen

    def build_targets(self, suites):
        targets = sorted({t for s in suites for t in s["targets"]})
        result = self.run(["cmake", "--build", str(self.build), "-j", str(os.cpu_count() or 2),
                           "--target", *targets])
        return result.returncode == 0, result.stdout[-3000:] + result.stderr[-3000:]

    def run_suite(self, suite, timeout):
        command = ["ctest", "--test-dir", str(self.build), "-R", f"^{re.escape(suite['name'])}$",
                   "--timeout", str(int(timeout) + 1)]
        try:
            result = self.run(command, timeout=timeout + 60)
        except subprocess.TimeoutExpired:
            return False, "timed out"
        passed = result.returncode == 0 and "100% tests passed" in result.stdout
        detail = "timed out" if "Timeout" in result.stdout else "failed"
        return passed, detail

    def measure(self, suites):
        """Runs the suites on the unchanged sources once: they must pass, and their times set the
        per-fault timeouts."""
        ok, log = self.build_targets(suites)
        if not ok:
            sys.exit(f"mutate: the unchanged sources do not build:\n{log}")
        for suite in suites:
            if suite["name"] in self.clean_seconds:
                continue
            start = time.monotonic()
            passed, _ = self.run_suite(suite, 600)
            if not passed:
                sys.exit(f"mutate: {suite['name']} fails on the unchanged sources")
            self.clean_seconds[suite["name"]] = time.monotonic() - start

    def try_mutant(self, mutant, suites, equivalents):
        source = ROOT / mutant.path
        original_text = source.read_text(encoding="utf-8")
        lines = original_text.splitlines(keepends=True)
        if lines[mutant.line - 1] != mutant.original:
            return Outcome(mutant, "unbuilt", "the line changed since the faults were drawn")
        lines[mutant.line - 1] = mutant.mutated
        start = time.monotonic()
        try:
            source.write_text("".join(lines), encoding="utf-8")
            # Kind by kind, so that a fault the fast core suites find costs only their build.
            for kind in ("core-suite", "window-suite", "display-suite"):
                group = [s for s in suites if kind in s["labels"]]
                if not group:
                    continue
                ok, _ = self.build_targets(group)
                if not ok:
                    return Outcome(mutant, "unbuilt", "does not compile",
                                   time.monotonic() - start)
                for suite in group:
                    timeout = max(10.0, self.factor * self.clean_seconds[suite["name"]])
                    passed, detail = self.run_suite(suite, timeout)
                    if not passed:
                        return Outcome(mutant, "killed", f"{detail}: {suite['name']}",
                                       time.monotonic() - start)
        finally:
            source.write_text(original_text, encoding="utf-8")
        key = (mutant.path, mutant.original.strip(), mutant.mutated.strip())
        if key in equivalents:
            return Outcome(mutant, "equivalent", equivalents[key], time.monotonic() - start)
        return Outcome(mutant, "survived", "", time.monotonic() - start)


def show_diff(mutant):
    return (f"    - {mutant.original.rstrip()}\n"
            f"    + {mutant.mutated.rstrip() or '(line removed)'}")


def main():
    parser = argparse.ArgumentParser(
        prog="scripts/mutate.sh",
        description="Puts single-point faults (comparison and boundary flips, && and ||, a dropped "
        "statement, continue or check, swapped arguments, a constant changed by one, a negated "
        "condition) one at a time into the C++ sources, rebuilds, runs the suites that test the "
        "source's folder (CTest label src/<folder>, core suites first) and lists the faults no "
        "suite noticed. Without PATH: the src/ lines changed since BASE. With PATH (files or "
        "folders under src/): faults drawn from all their lines.")
    parser.add_argument("paths", nargs="*", metavar="PATH")
    parser.add_argument("--base", help="compare with this revision (default: where the branch "
                        "left main, or the last commit on main itself)")
    parser.add_argument("--count", type=int, default=40,
                        help="faults drawn per PATH (default 40; 0: all)")
    parser.add_argument("--seed", type=int, help="seed of the draw (default: a new one, printed)")
    parser.add_argument("--build", default="build-mutate",
                        help="build directory (default build-mutate/, Debug with ccache)")
    parser.add_argument("--timeout-factor", type=float, default=3.0,
                        help="a suite that runs this many times longer than on the unchanged "
                        "sources counts as failing (default 3)")
    parser.add_argument("--list", action="store_true", help="only list the faults drawn")
    parser.add_argument("--verbose", action="store_true")
    args = parser.parse_args()

    seed = args.seed if args.seed is not None else random.SystemRandom().randrange(1, 10**6)
    draw = random.Random(seed)
    mutants = []
    if args.paths:
        for given in args.paths:
            target = (ROOT / given).resolve()
            files = sorted(target.rglob("*.cpp")) + sorted(target.rglob("*.h")) \
                if target.is_dir() else [target]
            pool = []
            for f in files:
                pool += file_mutants(str(f.relative_to(ROOT)))
            draw.shuffle(pool)
            mutants += pool if args.count == 0 else pool[:args.count]
        print(f"mutate: {len(mutants)} faults drawn from {', '.join(args.paths)} with seed {seed} "
              f"(again: --seed {seed})", flush=True)
    else:
        base = args.base or default_base()
        touched = changed_lines(base)
        for path, numbers in sorted(touched.items()):
            mutants += file_mutants(path, numbers)
        print(f"mutate: {len(mutants)} faults in the src/ lines changed since {base[:12]}",
              flush=True)
    if args.list:
        for m in mutants:
            print(f"{m.describe()}\n{show_diff(m)}")
        return 0
    if not mutants:
        return 0

    runner = Runner((ROOT / args.build), args.timeout_factor, args.verbose)
    equivalents = load_equivalents()

    # A fault is always taken out again, even on Ctrl-C.
    def stop(signum, _frame):
        raise KeyboardInterrupt
    signal.signal(signal.SIGTERM, stop)

    outcomes = []
    try:
        for index, mutant in enumerate(mutants, start=1):
            suites = runner.suites_for(mutant.path)
            if not suites:
                print(f"mutate: no suite is labelled {Path(mutant.path).parts[:2]}; skipped")
                continue
            runner.measure(suites)
            outcome = runner.try_mutant(mutant, suites, equivalents)
            outcomes.append(outcome)
            print(f"[{index}/{len(mutants)}] {outcome.verdict:10} {mutant.describe()}"
                  f"{'  (' + outcome.detail + ')' if outcome.detail else ''} "
                  f"{outcome.seconds:.0f} s", flush=True)
    except KeyboardInterrupt:
        print("mutate: interrupted; the sources are as they were", flush=True)
    finally:
        # Leaves the build matching the sources again (ccache makes this cheap).
        if outcomes:
            runner.build_targets([s for s in runner.tests
                                  if s["name"] in runner.clean_seconds])

    def count(verdict):
        return [o for o in outcomes if o.verdict == verdict]
    survived, killed = count("survived"), count("killed")
    if count("equivalent"):
        print("\nEquivalent faults (no test can tell them apart), not counted:")
        for o in count("equivalent"):
            print(f"  {o.mutant.describe()}: {o.detail}\n{show_diff(o.mutant)}")
    if survived:
        print("\nSurvivors:")
        for o in survived:
            print(f"  {o.mutant.describe()}\n{show_diff(o.mutant)}")
    folders = sorted({"/".join(Path(o.mutant.path).parts[:2]) for o in outcomes})
    for folder in folders:
        mine = [o for o in outcomes if o.mutant.path.startswith(folder + "/")]
        k = sum(o.verdict == "killed" for o in mine)
        s = sum(o.verdict == "survived" for o in mine)
        share = f" ({100 * k / (k + s):.0f} % killed)" if k + s else ""
        print(f"{folder}: {k} killed, {s} survived{share}")
    print(f"\n{len(killed)} killed, {len(survived)} survived "
          f"({len(count('equivalent'))} equivalent, {len(count('unbuilt'))} did not build; "
          f"seed {seed})")
    return 1 if survived else 0


if __name__ == "__main__":
    sys.exit(main())
