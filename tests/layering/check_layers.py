#!/usr/bin/env python3
"""Keeps the include graph of src and tools one-way.

Core code (the targets without widgets) stands in layers, lowest first, as
listed in LAYERS below; a core file includes its own folder or a core folder
below it, and never widget code. Widget code in src/ui includes data, the
shared core layer and ui only. A window (widget code in a feature folder)
includes ui, any core header and the windows of its own folder. src/app and
tools/wms-admin include anything; nothing includes them. The print tool
includes only its own folder. No two files include each other.

Edges the rules do not allow but that are accepted for a reason stand in
allowed_edges.txt beside this file, one "from -> to" a line (paths relative
to the repository, '#' starts a comment); "a <-> b" accepts two units (a
header with its source, named without extension) that include each other.

Usage: check_layers.py REPO TARGETS_FILE
TARGETS_FILE holds "kind path" lines (kind core, widget, top or tool), one
for every compiled source of the program's targets.
"""
import os
import re
import sys

# Core folders of src, lowest first. The shared layer (what every feature
# uses but none owns) stands between data and the first feature.
LAYERS = ["data", "sheets", "output", "numbering", "schema", "access", "master", "bills", "reports", "calendar"]
SHARED = {"sheets", "output", "numbering", "schema"}
FEATURES = {"access", "master", "bills", "reports", "calendar"}
TOP = {"app", "tools/wms-admin"}
# The one core file that speaks to the user: the message facade itself.
SPEAKING_CORE = {"src/data/msgbox.cpp"}

INCLUDE = re.compile(r'^\s*#\s*include\s*"([^"]+)"', re.M)
WIDGET_HEADER = re.compile(r'^\s*#\s*include\s*<(Q(Widget|Dialog|MainWindow|Abstract\w*View|\w*Edit|TableWidget|'
                           r'TreeWidget|ComboBox|Label|PushButton|ToolBar|Menu|Action|Shortcut)\b|QtWidgets)', re.M)


def folder(rel):
    """The folder a file belongs to: 'data', 'bills', 'ui', 'app', 'tools/kxprint'..."""
    parts = rel.split("/")
    if parts[0] == "src":
        return parts[1]
    return "/".join(parts[:2])


def main():
    repo, targets_file = sys.argv[1], sys.argv[2]
    here = os.path.dirname(os.path.abspath(__file__))
    kinds = {}
    for line in open(targets_file, encoding="utf-8"):
        kind, path = line.split(None, 1)
        rel = os.path.relpath(path.strip(), repo).replace(os.sep, "/")
        if rel.startswith(("src/", "tools/")) and rel.endswith((".cpp", ".h")):
            kinds[rel] = kind

    files = []
    for top in ("src", "tools"):
        for dirpath, _, names in os.walk(os.path.join(repo, top)):
            for n in names:
                if n.endswith((".cpp", ".h")):
                    files.append(os.path.relpath(os.path.join(dirpath, n), repo).replace(os.sep, "/"))
    texts = {f: open(os.path.join(repo, f), encoding="utf-8").read() for f in files}

    def kind_of(rel):
        if rel in kinds:
            return kinds[rel]
        twin = rel[:-2] + ".cpp" if rel.endswith(".h") else None
        if twin in kinds:
            return kinds[twin]
        f = folder(rel)
        if f in TOP:
            return "top"
        if f.startswith("tools/"):
            return "tool"
        # a header without a source of its own: widget code when it pulls in widgets
        return "widget" if f == "ui" or WIDGET_HEADER.search(texts[rel]) else "core"

    def resolve(src, inc):
        d = os.path.dirname(src)
        for base in (d, "src", "src/data", os.path.dirname(d)):
            cand = os.path.normpath(os.path.join(base, inc)).replace(os.sep, "/")
            if cand in texts:
                return cand
        return None

    edges = set()
    for f in files:
        for inc in INCLUDE.findall(texts[f]):
            to = resolve(f, inc)
            if to and to != f:
                edges.add((f, to))

    allowed = set()
    for line in open(os.path.join(here, "allowed_edges.txt"), encoding="utf-8"):
        line = line.split("#", 1)[0].strip()
        if line:
            a, b = [s.strip(" <") for s in line.split("->")]
            allowed.add((a, b))

    def level(fold):
        return LAYERS.index(fold) if fold in LAYERS else None

    def problem(a, b):
        ka, kb = kind_of(a), kind_of(b)
        fa, fb = folder(a), folder(b)
        if fb in TOP and fa != fb:
            return "includes the program's top (app or wms-admin)"
        if ka == "top":
            return None
        if ka == "tool" or kb == "tool":
            return None if fa == fb else "the print tool stands alone"
        if ka == "core":
            if kb != "core":
                return "core code includes widget code"
            la, lb = level(fa), level(fb)
            if la is None or lb is None:
                return "core file outside the known layers"
            if fa != fb and lb >= la:
                return "core file includes a core folder beside or above its own"
            return None
        # widget code
        if kb == "core":
            if fa == "ui" and not (fb == "data" or fb in SHARED):
                return "ui includes a feature"
            return None
        if fb == "ui" or fa == fb:
            return None
        return "a window includes another feature's windows (open them through the window registry)"

    failures = []
    # one way to fail: core code returns its result or throws, the windows
    # tell the user, and only the program's top ends the process
    for f in files:
        if kind_of(f) != "core" or f in SPEAKING_CORE:
            continue
        if re.search(r"\bMsgBox::(Show|Ask|Confirm|Input)", texts[f]):
            failures.append(f"{f}: core code shows a message (return the result; the window shows it)")
        if re.search(r"\b(std::exit|exit|abort|quick_exit)\s*\(|\bQ(Core)?Application::(exit|quit)\b", texts[f]):
            failures.append(f"{f}: core code ends the program (only src/app does)")
    for a, b in sorted(edges):
        why = problem(a, b)
        if why and (a, b) not in allowed:
            failures.append(f"{a} -> {b}: {why}")
    # a header and its source are one unit: bill.cpp including stocktake.h while
    # stocktake.cpp includes bill.h is a circle too
    unit = lambda p: p.rsplit(".", 1)[0]
    units = {(unit(a), unit(b)) for a, b in edges if unit(a) != unit(b)}
    for a, b in sorted(units):
        if a < b and (b, a) in units and (a, b) not in allowed:
            failures.append(f"{a} <-> {b}: the two include each other")
    stale = sorted(e for e in allowed if (e not in edges or not problem(*e)) and not (e in units and e[::-1] in units))
    for a, b in stale:
        failures.append(f"{a} -> {b}: listed in allowed_edges.txt but no longer needed; remove the line")

    if failures:
        print("\n".join(failures))
        print(f"{len(failures)} layering fault(s)")
        return 1
    print(f"{len(edges)} include edges checked, {len(allowed)} allowed by exception")
    return 0


if __name__ == "__main__":
    sys.exit(main())
