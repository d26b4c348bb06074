#!/usr/bin/env python3
# SPDX-License-Identifier: GPL-3.0-or-later
"""Checks the layers and the file lengths of src/ and tools/.

The layers, from the bottom: base; model and profile (beside each other,
neither using the other); clone; app; ui; the tools (tools/, with
tools/common) and the benches on top. A file may include the project's
headers of its own layer and of the layers below it, never of one above.
tests/ and bench/ may include anything. No file in src/ or tools/ may be
longer than MAX_LINES lines.

Prints every offence, one a line, and exits 1 when there is any.
"""
import pathlib
import re
import sys

MAX_LINES = 450

# What each folder of src/ may include, its own layer among them.
ALLOWED = {
    "base": {"base"},
    "model": {"base", "model"},
    "profile": {"base", "profile"},
    "clone": {"base", "model", "profile", "clone"},
    "app": {"base", "model", "profile", "clone", "app"},
    "ui": {"base", "model", "profile", "clone", "app", "ui"},
}
LAYERS = set(ALLOWED)
INCLUDE = re.compile(r'^\s*#\s*include\s+"([^"]+)"')
SOURCES = {".h", ".cpp"}


def layer_of(path: pathlib.Path) -> str:
    """The layer a file of src/ or tools/ belongs to."""
    if path.parts[0] == "tools":
        return "tools"
    return path.parts[1]


def included_layer(header: str, own: str) -> str:
    """The layer of a project header as it is included; a name without a
    folder is its includer's neighbour."""
    first = header.split("/", 1)[0]
    if "/" in header and first in LAYERS:
        return first
    return own


def main() -> int:
    root = pathlib.Path(__file__).resolve().parent.parent
    problems = []
    for top in ("src", "tools"):
        for path in sorted((root / top).rglob("*")):
            if not path.is_file() or path.suffix not in SOURCES:
                continue
            relative = path.relative_to(root)
            own = layer_of(relative)
            lines = path.read_text(encoding="utf-8").splitlines()
            if len(lines) > MAX_LINES:
                problems.append(f"{relative}: {len(lines)} lines, more than {MAX_LINES}")
            if own == "tools":
                continue  # the top layer includes whatever it needs
            for number, line in enumerate(lines, 1):
                match = INCLUDE.match(line)
                if not match:
                    continue
                target = included_layer(match.group(1), own)
                if target not in ALLOWED[own]:
                    problems.append(
                        f"{relative}:{number}: the {own} layer includes {match.group(1)}, "
                        f"from {target}, which is not below it")
    for problem in problems:
        print(problem, file=sys.stderr)
    if problems:
        print(f"check_layers: {len(problems)} problem(s); the layers and the limit are in "
              "docs/developing.md", file=sys.stderr)
        return 1
    print("check_layers: every include goes down the layers, every file within "
          f"{MAX_LINES} lines")
    return 0


if __name__ == "__main__":
    sys.exit(main())
