#!/usr/bin/env python3
"""Line coverage of a reader's functions from llvm-cov's export and show output.

Usage: fuzz-coverage-lines.py KIND FILE NAME_REGEX MINIMUM EXPORT_JSON SHOW_TXT
Prints the share of the functions' lines that ran, then each line and branch that never did.
Fails when the share is below MINIMUM per cent.
"""
import json
import re
import subprocess
import sys

COUNT = r"([0-9.]+[kMGTE]?)"
LINE = re.compile(r"^\s*(\d+)\|\s*" + COUNT + r"?\|(.*)$")
BRANCH = re.compile(r"Branch \((\d+):(\d+)\): \[True: " + COUNT + r", False: " + COUNT + r"\]")


def number(text):
    scale = {"k": 1e3, "M": 1e6, "G": 1e9, "T": 1e12, "E": 1e18}
    return float(text[:-1]) * scale[text[-1]] if text[-1] in scale else float(text)


def bare_name(demangled):
    """'(anonymous namespace)::StartTrack(TrackReader*)' -> 'StartTrack'."""
    name = demangled.split(":", 1)[1] if demangled.count(".cpp:") else demangled
    depth, cut = 0, len(name)
    for i, c in enumerate(name):  # the parameter list is the last top-level '(' group
        if c == "(" and depth == 0 and i > 0 and name[:i].rstrip() != "(anonymous namespace)":
            cut = i
        depth += c == "(" or c == "<"
        depth -= c == ")" or c == ">"
    name = re.sub(r"<.*>$", "", name[:cut])
    return name.split("::")[-1]


def function_ranges(export_path, source, pattern):
    data = json.load(open(export_path))
    functions = data["data"][0]["functions"]
    mangled = [f["name"] for f in functions]
    demangled = subprocess.run(["c++filt"], input="\n".join(mangled), capture_output=True,
                               text=True, check=True).stdout.splitlines()
    ranges = {}
    for f, name in zip(functions, demangled):
        files = f["filenames"]
        if not files or not files[0].endswith(source):
            continue
        bare = bare_name(name)
        if not re.search(pattern, bare):
            continue
        lines = [(r[0], r[2]) for r in f["regions"] if r[5] == 0]
        start, end = min(a for a, _ in lines), max(b for _, b in lines)
        ranges.setdefault(bare, (start, end))
    return ranges


def main():
    kind, source, pattern, minimum, export_path, show_path = sys.argv[1:7]
    ranges = function_ranges(export_path, source, pattern)
    counts, text, branches = {}, {}, {}
    for raw in open(show_path, encoding="utf-8", errors="replace"):
        m = LINE.match(raw)
        if m and not raw.lstrip().startswith("|"):
            line = int(m.group(1))
            text[line] = m.group(3).strip()
            if m.group(2):
                counts[line] = max(counts.get(line, 0), number(m.group(2)))
            continue
        b = BRANCH.search(raw)
        if b:
            key = (int(b.group(1)), int(b.group(2)))
            t, f = number(b.group(3)), number(b.group(4))
            old = branches.get(key, (0, 0))
            branches[key] = (old[0] + t, old[1] + f)

    def inside(line):
        return any(a <= line <= b for a, b in ranges.values())

    lines = sorted(line for line in counts if inside(line))
    missed = [line for line in lines if counts[line] == 0]
    share = 100.0 * (len(lines) - len(missed)) / len(lines) if lines else 0.0
    print(f"== {kind}: {source}, {len(ranges)} functions, "
          f"{len(lines) - len(missed)}/{len(lines)} lines ran ({share:.1f} %)")
    for line in missed:
        print(f"  line {line} never ran: {text.get(line, '')}")
    for (line, col), (t, f) in sorted(branches.items()):
        if not inside(line) or (t > 0 and f > 0) or counts.get(line, 0) == 0:
            continue
        side = "true" if t == 0 else "false"
        print(f"  branch {line}:{col} never {side}: {text.get(line, '')}")
    return 0 if share >= float(minimum) else 1


if __name__ == "__main__":
    sys.exit(main())
