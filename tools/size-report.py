#!/usr/bin/env python3
"""Prints what takes the space in a program, from the GNU ld map of its link, as
Markdown tables: the program's size against its budget, the size by output section
and by library or object file, largest first.

Only the memory map counts (the list of discarded input sections is skipped).
Library rows are archives (libstdc++.a, with every member it gave) and single
object files; the link-time optimised unit of our own libraries is one row. Rows
below 1 % of the program are summed into one. Sizes are bytes in memory; the file
rounds each section up to 512 bytes and adds its headers, which the last row of
the section table holds.

Usage: size-report.py PROGRAM MAP BUDGET_BYTES
"""
import os
import re
import sys

OUTPUT_SECTION = re.compile(r"^(\.\S+)(?:\s+0x([0-9a-f]+)\s+0x([0-9a-f]+))?\s*$")
INPUT_SECTION = re.compile(r"^ (\S+)(?:\s+0x([0-9a-f]+)\s+0x([0-9a-f]+)\s*(.*))?$")
CONTINUATION = re.compile(r"^\s+0x([0-9a-f]+)\s+0x([0-9a-f]+)\s+(\S.*)$")
OWN_CODE = "our libraries (one link-time optimised unit)"


def owner(path):
    """The row an input file belongs to."""
    path = path.strip()
    if path == "dll stuff":  # ld's name for the base relocations it makes
        return "base relocations (made by the linker)"
    if ".ltrans" in path:
        return OWN_CODE
    archive = re.match(r"^(.*\.a)\((.*)\)$", path)
    if archive:
        return os.path.basename(archive.group(1))
    return os.path.basename(path) or "(linker)"


def read_map(path):
    """Output sections (name -> size) and input bytes per owner, in file sections."""
    sections = {}
    owners = {}
    current = None
    pending_input = None  # an input section whose address and size are on the next line
    in_memory_map = False
    with open(path, encoding="utf-8", errors="replace") as lines:
        for line in lines:
            line = line.rstrip("\n")
            if line.startswith("Linker script and memory map"):
                in_memory_map = True
                continue
            if not in_memory_map or not line.strip():
                continue
            output = OUTPUT_SECTION.match(line)
            if output:
                current = output.group(1)
                if output.group(3):
                    sections[current] = int(output.group(3), 16)
                pending_input = None
                continue
            if current in (None, ".bss"):
                continue
            if pending_input:
                continuation = CONTINUATION.match(line)
                pending_input = None
                if continuation:
                    size = int(continuation.group(2), 16)
                    name = owner(continuation.group(3))
                    owners[name] = owners.get(name, 0) + size
                    continue
            entry = INPUT_SECTION.match(line)
            if not entry or entry.group(1).startswith("0x"):
                continue
            if entry.group(1) == "*fill*":
                if entry.group(3):
                    owners["(alignment)"] = owners.get("(alignment)", 0) + int(entry.group(3), 16)
                continue
            if entry.group(1).startswith("*"):
                continue  # a pattern of the linker script
            if entry.group(3) is None:
                pending_input = entry.group(1)
            elif entry.group(4):
                size = int(entry.group(3), 16)
                name = owner(entry.group(4))
                owners[name] = owners.get(name, 0) + size
    return {name: size for name, size in sections.items() if size}, owners


def table(rows, total, heading):
    print(f"| {heading} | bytes | share |")
    print("|---|---:|---:|")
    for name, size in rows:
        print(f"| {name} | {size:,} | {100 * size / total:.1f} % |")


def main():
    program, map_path, budget = sys.argv[1], sys.argv[2], int(sys.argv[3])
    size = os.path.getsize(program)
    sections, owners = read_map(map_path)
    if not sections or not owners:
        sys.exit(f"size-report: no memory map in {map_path}")
    name = os.path.basename(program)
    state = "within" if size <= budget else "OVER"
    print(f"### {name}: {size:,} bytes, budget {budget:,} ({state} budget, "
          f"{budget - size:+,} bytes left)\n")

    rows = sorted(sections.items(), key=lambda item: -item[1])
    in_file = sum(s for n, s in rows if n != ".bss")
    rows = [(f"`{n}`" + (" (not in the file)" if n == ".bss" else ""), s) for n, s in rows]
    rows.append(("headers", size - in_file))
    table(rows, size, "section")
    print()

    threshold = size // 100
    big = sorted(((n, s) for n, s in owners.items() if s >= threshold), key=lambda item: -item[1])
    small = sum(s for s in owners.values() if s < threshold)
    rows = big + ([("others, each below 1 %", small)] if small else [])
    rows.append(("headers", size - in_file))
    linker_made = in_file - sum(owners.values())
    if linker_made < 0:  # the input sections cannot outweigh the sections they fill
        sys.exit(f"size-report: {map_path} not understood: input sections exceed the sections")
    if linker_made > 0:
        rows.append(("sections rounded up to 512 bytes in the file", linker_made))
    table(rows, size, "library or object")


if __name__ == "__main__":
    main()
