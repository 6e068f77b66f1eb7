#!/usr/bin/env python3
"""Reads a built 32-bit DLL with objdump and fails on any difference from its
export list, the allowed imports, or the Windows 95 / NT 4 header versions."""
import argparse
import re
import subprocess
import sys


def read_export_list(path):
    rows = {}
    with open(path) as f:
        for line in f:
            line = line.split("#", 1)[0].strip()
            if not line:
                continue
            ordinal, name, _ = line.split()
            rows[int(ordinal)] = name
    return rows


def read_allowed(path, allowed_dlls):
    allowed = set()
    with open(path) as f:
        for line in f:
            line = line.split("#", 1)[0].strip()
            if not line:
                continue
            dll, function = line.split()
            if dll.upper() in allowed_dlls:
                allowed.add((dll.upper(), function))
    return allowed


def parse(dump):
    headers = dict(re.findall(r"^(Major\w+|Minor\w+)\s+(\w+)$", dump, re.M))
    fmt = re.search(r"file format (\S+)", dump)
    base = re.search(r"^Ordinal Base\s+(\d+)", dump, re.M)
    base = int(base.group(1)) if base else None
    addresses = [int(i) for i in re.findall(r"^\s+\[\s*\d+\] \+base\[\s*(\d+)\]", dump, re.M)]
    names = {}
    table = dump.split("[Ordinal/Name Pointer] Table", 1)
    if len(table) == 2:
        for index, name in re.findall(r"^\s+\[\s*(\d+)\] (\S+)$", table[1], re.M):
            names[base + int(index)] = name
    imports = []
    current = None
    for line in dump.splitlines():
        m = re.match(r"^\s+DLL Name: (\S+)", line)
        if m:
            current = m.group(1).upper()
            continue
        if current is None:
            continue
        m = re.match(r"^\s+[0-9a-f]+\s+(\d+)\s+(\S+)$", line)
        if m:
            imports.append((current, m.group(2)))
        elif re.match(r"^\s+[0-9a-f]+\s+<none>", line) or "Ordinal" in line and "<none>" in line:
            imports.append((current, "<by ordinal>"))
        elif line.strip() == "" or line.startswith(" 0000"):
            continue
        elif re.match(r"^\S", line):
            current = None
    return fmt.group(1) if fmt else None, headers, addresses, names, imports


def main():
    parser = argparse.ArgumentParser()
    parser.add_argument("--objdump", required=True)
    parser.add_argument("--dll", required=True)
    parser.add_argument("--exports", required=True)
    parser.add_argument("--allowed", required=True)
    parser.add_argument("--allow-dll", action="append", default=[],
                        help="a further DLL whose allowed functions this module may import")
    args = parser.parse_args()

    dump = subprocess.run([args.objdump, "-p", args.dll], check=True,
                          capture_output=True, text=True).stdout
    fmt, headers, addresses, names, imports = parse(dump)
    errors = []

    if fmt != "pei-i386":
        errors.append(f"file format {fmt}, expected pei-i386")
    for field in ("MajorOSystemVersion", "MajorSubsystemVersion"):
        if headers.get(field) != "4":
            errors.append(f"{field} is {headers.get(field)}, expected 4")
    for field in ("MinorOSystemVersion", "MinorSubsystemVersion"):
        if headers.get(field) != "0":
            errors.append(f"{field} is {headers.get(field)}, expected 0")

    expected = read_export_list(args.exports)
    if names != expected:
        for ordinal in sorted(set(names) | set(expected)):
            if names.get(ordinal) != expected.get(ordinal):
                errors.append(f"export @{ordinal}: built {names.get(ordinal)!r}, "
                              f"listed {expected.get(ordinal)!r}")
    unnamed = sorted(set(addresses) - set(names))
    if unnamed:
        errors.append(f"exports without a name at ordinals {unnamed}")

    allowed_dlls = {"KERNEL32.DLL", "USER32.DLL", "ADVAPI32.DLL"} | {d.upper() for d in args.allow_dll}
    allowed = read_allowed(args.allowed, allowed_dlls)
    for dll, function in imports:
        if (dll, function) not in allowed:
            errors.append(f"import {dll}!{function} is not allowed")
    if not imports:
        errors.append("no imports found: objdump output not understood")

    label = args.dll.rsplit("/", 1)[-1]
    if errors:
        for e in errors:
            print(f"{label}: {e}")
        return 1
    print(f"{label}: {len(names)} exports, {len(imports)} imports, headers 4.0: as listed")
    return 0


if __name__ == "__main__":
    sys.exit(main())
