#!/usr/bin/env python3
"""Packs what a setup author needs into one zip: the seven 32-bit DLLs, the
reference for setup authors (as the zip's README.md), the 32-bit setup script
host with the demo's setup and removal scripts and the files they name, the
example installer scripts (examples/, when the tree has them), a sample string
table for "sxinsres.dll", and a manifest.

The manifest gives for each DLL its exports (ordinal, name, argument bytes),
its imports, its size and its SHA-256, and the size and SHA-256 of every other
file. The zip holds no time stamps and lists its files in a fixed order, so
two builds of one commit give the same bytes."""
import argparse
import hashlib
import os
import subprocess
import sys
import zipfile

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
from check_dll import parse  # noqa: E402

DELIVERABLES = [
    ("install", "install/exports.list"),
    ("eudoralink", "integrations/eudoralink/exports.list"),
    ("browserlink", "integrations/browserlink/exports.list"),
    ("netmaillink", "integrations/netmaillink/exports.list"),
    ("msmaillink", "integrations/msmaillink/exports.list"),
    ("pluginlink", "integrations/pluginlink/exports.list"),
    ("filemgrlink", "integrations/filemgrlink/exports.list"),
]
FIXED_TIME = (1980, 1, 1, 0, 0, 0)

# The demo's setup, in the zip's demo/ folder: (path in the tree, name in the zip).
DEMO_FILES = [
    ("demo/typical.script", "typical.script"),
    ("demo/compact.script", "compact.script"),
    ("demo/remove.script", "remove.script"),
    ("demo/registration-setup.ini", "setup.ini"),
    ("demo/configuration/install.ini", "install.ini"),
    ("demo/configuration/version.ini", "version.ini"),
    ("demo/configuration/PLUGINLINK.INI", "PLUGINLINK.INI"),
    ("demo/whole-setup/depend.ini", "depend.ini"),
]


def windows_text(data):
    """Text files of the zip with the line ends Windows tools expect."""
    return data.replace(b"\r\n", b"\n").replace(b"\n", b"\r\n")


def tree_files(root, folder):
    """Every file below folder, as (path in the zip, bytes), in name order."""
    found = []
    base = os.path.join(root, folder)
    for directory, subdirectories, names in os.walk(base):
        subdirectories.sort()
        for name in sorted(names):
            path = os.path.join(directory, name)
            found.append((os.path.relpath(path, root).replace(os.sep, "/"), open(path, "rb").read()))
    return found


def argument_counts(path):
    counts = {}
    with open(path) as f:
        for line in f:
            line = line.split("#", 1)[0].strip()
            if line:
                ordinal, name, count = line.split()
                counts[name] = int(count)
    return counts


def manifest_entry(objdump, root, binaries, name, exports_list):
    path = os.path.join(binaries, name + ".dll")
    data = open(path, "rb").read()
    dump = subprocess.run([objdump, "-p", path], check=True, capture_output=True, text=True).stdout
    _, _, _, exports, imports = parse(dump)
    counts = argument_counts(os.path.join(root, exports_list))
    lines = [f"{name}.dll",
             f"  size: {len(data)} bytes",
             f"  sha256: {hashlib.sha256(data).hexdigest()}",
             "  exports:"]
    for ordinal in sorted(exports):
        export = exports[ordinal]
        lines.append(f"    @{ordinal} {export} ({counts[export] * 4} argument bytes)")
    lines.append("  imports:")
    for dll, function in imports:
        lines.append(f"    {dll}!{function}")
    return data, "\n".join(lines) + "\n"


def add(archive, name, data):
    info = zipfile.ZipInfo(name, date_time=FIXED_TIME)
    info.compress_type = zipfile.ZIP_DEFLATED
    info.external_attr = 0o644 << 16
    info.create_system = 3
    archive.writestr(info, data)


def main():
    parser = argparse.ArgumentParser()
    parser.add_argument("--objdump", default="i686-w64-mingw32-objdump")
    parser.add_argument("--binaries", required=True, help="the 32-bit build's bin folder")
    parser.add_argument("--out", required=True)
    args = parser.parse_args()
    root = os.path.dirname(os.path.dirname(os.path.abspath(__file__)))

    missing = [n for n, _ in DELIVERABLES if not os.path.exists(os.path.join(args.binaries, n + ".dll"))]
    if missing:
        print("release: not built: " + ", ".join(m + ".dll" for m in missing), file=sys.stderr)
        return 1

    os.makedirs(args.out, exist_ok=True)
    manifest = ("Sorbix setup libraries: 32-bit DLLs for Windows 95 and Windows NT 4\n"
                "README.md is the reference for setup authors.\n\n")
    files = []
    for name, exports_list in DELIVERABLES:
        data, entry = manifest_entry(args.objdump, root, args.binaries, name, exports_list)
        files.append((name + ".dll", data))
        manifest += entry + "\n"
    host = os.path.join(args.binaries, "setuphost.exe")
    if not os.path.exists(host):
        print("release: not built: setuphost.exe", file=sys.stderr)
        return 1
    extras = [("setuphost.exe", open(host, "rb").read()),
              ("README.md", windows_text(open(os.path.join(root, "docs/reference.md"), "rb").read())),
              ("sxinsres-sample.rc", windows_text(open(os.path.join(root, "docs/sxinsres-sample.rc"), "rb").read()))]
    for path, name in DEMO_FILES:
        extras.append(("demo/" + name, windows_text(open(os.path.join(root, path), "rb").read())))
    if os.path.isdir(os.path.join(root, "examples")):
        extras.extend(tree_files(root, "examples"))
    manifest += "Other files\n"
    for name, data in extras:
        manifest += f"  {name}: {len(data)} bytes, sha256 {hashlib.sha256(data).hexdigest()}\n"
    files.extend(extras)
    files.append(("MANIFEST.txt", manifest.encode()))

    zip_path = os.path.join(args.out, "sorbix-setup.zip")
    with zipfile.ZipFile(zip_path, "w") as archive:
        for name, data in files:
            add(archive, name, data)
    with open(os.path.join(args.out, "MANIFEST.txt"), "w") as f:
        f.write(manifest)
    digest = hashlib.sha256(open(zip_path, "rb").read()).hexdigest()
    for name, data in files:
        print(f"  {len(data):8d}  {name}")
    print(f"{zip_path}: {os.path.getsize(zip_path)} bytes, sha256 {digest}")
    return 0


if __name__ == "__main__":
    sys.exit(main())
