#!/usr/bin/env python3
"""The reference for setup authors agrees with the DLLs' export lists.

Every export heading of docs/reference.md ("### `Name` — ordinal N, K
arguments" under the section of its DLL) must name an export of that DLL's
exports.list with that ordinal and argument count, and every export of the
seven lists must have its heading. The NSIS, Inno Setup and InstallShield
declarations must declare every export of install.dll with its argument
count. The string ids the reference lists for "sxinsres.dll" must be exactly
those of the sample string table."""
import os
import re
import sys

ROOT = os.path.dirname(os.path.dirname(os.path.dirname(os.path.abspath(__file__))))
LISTS = {
    "install": "install/exports.list",
    "eudoralink": "integrations/eudoralink/exports.list",
    "browserlink": "integrations/browserlink/exports.list",
    "netmaillink": "integrations/netmaillink/exports.list",
    "msmaillink": "integrations/msmaillink/exports.list",
    "pluginlink": "integrations/pluginlink/exports.list",
    "filemgrlink": "integrations/filemgrlink/exports.list",
}
HEADING = re.compile(r"^###\s+(?:[\d.]+\s+)?`(\w+)` — ordinal (\d+), (\d+) arguments?$")


def export_lists():
    exports = {}
    for dll, path in LISTS.items():
        rows = {}
        for line in open(os.path.join(ROOT, path)):
            line = line.split("#", 1)[0].split()
            if line:
                rows[line[1]] = (int(line[0]), int(line[2]))
        exports[dll] = rows
    return exports


def split_top_level(text, separator):
    """Splits at separators outside quotes and brackets."""
    parts, depth, quote, current = [], 0, None, ""
    for c in text:
        if quote:
            quote = None if c == quote else quote
        elif c in "\"'":
            quote = c
        elif c in "([":
            depth += 1
        elif c in ")]":
            depth -= 1
        elif c == separator and depth == 0:
            parts.append(current)
            current = ""
            continue
        current += c
    if current.strip():
        parts.append(current)
    return parts


def code_blocks(text, language):
    return re.findall(r"```" + language + r"\n(.*?)```", text, re.S)


def declared_counts(blocks, pattern, count):
    found = {}
    for block in blocks:
        for match in re.finditer(pattern, block):
            found.setdefault(match.group(1), set()).add(count(match.group(2)))
    return found


def pascal_count(parameters):
    return sum(len(group.split(":")[0].replace("var ", "").split(","))
               for group in split_top_level(parameters, ";"))


def main():
    path = os.path.join(ROOT, "docs", "reference.md")
    text = open(path, encoding="utf-8").read()
    exports = export_lists()
    faults = []

    dll = None
    seen = set()
    for number, line in enumerate(text.splitlines(), 1):
        if line.startswith("## "):
            named = re.search(r"(\w+)\.dll", line)
            dll = named.group(1) if named and named.group(1) in LISTS else None
            continue
        heading = HEADING.match(line)
        if line.startswith("### ") and "ordinal" in line and not heading:
            faults.append(f"line {number}: an export heading not in the form "
                          f"### `Name` — ordinal N, K arguments: {line}")
        if not heading:
            continue
        name, ordinal, count = heading.group(1), int(heading.group(2)), int(heading.group(3))
        if dll is None:
            faults.append(f"line {number}: {name} stands under no DLL's section")
        elif name not in exports[dll]:
            faults.append(f"line {number}: {dll}.dll has no export {name}")
        elif exports[dll][name] != (ordinal, count):
            faults.append(f"line {number}: {dll}.dll exports {name} at ordinal {exports[dll][name][0]} "
                          f"with {exports[dll][name][1]} arguments, not {ordinal} and {count}")
        else:
            seen.add((dll, name))
    for dll, rows in exports.items():
        for name in rows:
            if (dll, name) not in seen:
                faults.append(f"{dll}.dll's export {name} has no heading in the reference")

    install = exports["install"]
    engines = {
        "NSIS": declared_counts(code_blocks(text, "nsis"), r"::(\w+)\((.*)\)",
                                lambda p: len(split_top_level(p, ","))),
        "Inno Setup": declared_counts(code_blocks(text, "pascal"), r"function (\w+)\((.*?)\): Integer;",
                                      pascal_count),
        "InstallShield": declared_counts(code_blocks(text, "c"), r"prototype INT install\.(\w+)\((.*)\);",
                                         lambda p: len(split_top_level(p, ","))),
    }
    for engine, declared in engines.items():
        for name, (ordinal, count) in install.items():
            if name not in declared:
                faults.append(f"{engine}: no declaration of {name}")
            elif declared[name] != {count}:
                faults.append(f"{engine}: {name} declared with {sorted(declared[name])} arguments, "
                              f"the DLL takes {count}")
        for name in declared:
            if name not in install:
                faults.append(f"{engine}: {name} is no export of install.dll")

    listed = set(int(i) for i in re.findall(r"^\| (\d+) \|", text[text.index("### 3.2"):text.index("### 3.3")],
                                            re.M))
    sample = open(os.path.join(ROOT, "docs", "sxinsres-sample.rc")).read()
    in_sample = set(int(i) for i in re.findall(r"^\s+(\d+)\s+\"", sample, re.M))
    if not listed or listed != in_sample:
        faults.append(f"string ids: the reference lists {sorted(listed)}, the sample table holds "
                      f"{sorted(in_sample)}")

    for fault in faults:
        print("reference: " + fault)
    if not faults:
        print(f"reference: {len(seen)} export headings and the declarations of "
              f"{len(install)} exports for {len(engines)} installers agree with the export lists")
    return 1 if faults else 0


if __name__ == "__main__":
    sys.exit(main())
