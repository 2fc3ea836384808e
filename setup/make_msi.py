"""Makes the kit's Windows Installer package, NORDAL_5120_USB_Driver.msi,
with wixl, and then sets what wixl cannot, as msibuild and msiinfo see
the tables:

- the actions in kit_msi.sql (RemoveKit.exe from the Binary table, the
  administrator check) and the conditions of the package's components:
  each edition on its Windows;
- the tables as validation and Windows Installer 2.0 take them
  (msi_tables.py): the _Validation table, the files' versions, no column
  newer than the schema;
- a check that every deferred action stands between InstallInitialize and
  InstallFinalize, where Windows Installer runs it, and that the tables
  are as msi_tables.py wants them;
- the same bytes for the same inputs: the files go into the cabinet with
  the time SOURCE_DATE_EPOCH, the summary carries that time, and the
  package code is drawn from the package's own bytes.

usage: make_msi.py --wxs FILE --sql FILE --programs DIR --package DIR
                   --version X.Y.Z --upgrade-code {GUID} --epoch SECONDS
                   --work DIR --out FILE.msi
       make_msi.py --check FILE.msi

--check runs the checks alone on a package made already.
"""

import argparse
import hashlib
import os
import re
import shutil
import struct
import sys
import uuid
import xml.etree.ElementTree

import olefile

from msi_tables import add_validation, check_tables, drop_newer_columns, fill_versions, run, table

PROGRAMS = ("Quorlin.exe", "Veskot.exe", "RemoveKit.exe", "KitActions.dll")
EDITIONS = (("32", "", "NOT VersionNT64"), ("64", "64_inf", "VersionNT64"))
SUMMARY = "\x05SummaryInformation"
# The summary's creation and last-saved times, as FILETIMEs.
SUMMARY_TIMES = (12, 13)
VT_FILETIME = 64
FILETIME_EPOCH = 116444736000000000  # 1970-01-01 in 100 ns since 1601
# Deferred actions: in-script (0x400), and not rollback or commit only.
IN_SCRIPT = 0x400


def guid(namespace, name):
    return "{" + str(uuid.uuid5(namespace, name)).upper() + "}"


def identifier(prefix, relative, taken):
    """A table key for a path of the package: its name where it fits and
    no other path has it already, else one drawn from the path."""
    readable = prefix + re.sub(r"[^A-Za-z0-9_.]", "_", relative)
    if len(readable) > 64 or readable in taken:
        readable = prefix + hashlib.sha1(relative.encode("utf-8")).hexdigest()[:24]
    taken.add(readable)
    return readable


def stage(arguments, work):
    """Copies the programs and the package into the work folder, each file
    with the time SOURCE_DATE_EPOCH, which the cabinet records."""
    shutil.rmtree(work, ignore_errors=True)
    os.makedirs(os.path.join(work, "programs"))
    for name in PROGRAMS:
        shutil.copyfile(os.path.join(arguments.programs, name), os.path.join(work, "programs", name))
    shutil.copytree(arguments.package, os.path.join(work, "package"), copy_function=shutil.copyfile)
    for folder, _, files in os.walk(work):
        for name in files:
            os.utime(os.path.join(folder, name), (arguments.epoch, arguments.epoch))


def write_package_includes(work, namespace):
    """Writes the package's folders, components and files, each edition
    under INF: the 32-bit edition at the top, the 64-bit one in 64_inf.
    Returns each component with the condition of its edition."""
    package = os.path.join(work, "package")
    conditions = {}
    refs = []
    taken = set()

    def folder_xml(edition, relative, condition, depth):
        here = os.path.join(package, relative)
        names = sorted(os.listdir(here))
        files = [name for name in names if os.path.isfile(os.path.join(here, name))]
        folders = [name for name in names if os.path.isdir(os.path.join(here, name))
                   and not (relative == "" and name == "64_inf")]
        pad = "  " * depth
        lines = []
        if files:
            component = identifier(f"Package{edition}.", relative, taken) if relative else f"Package{edition}"
            conditions[component] = condition
            refs.append(f'      <ComponentRef Id="{component}"/>')
            code = guid(namespace, f"component {edition}/{relative}")
            lines.append(f'{pad}<Component Id="{component}" Guid="{code}">')
            for index, name in enumerate(files):
                path = "/".join(part for part in (relative, name) if part)
                key = ' KeyPath="yes"' if index == 0 else ""
                lines.append(f'{pad}  <File Id="{identifier(f"f{edition}.", path, taken)}" Name="{escape(name)}" '
                             f'Source="package/{escape(path)}"{key}/>')
            lines.append(f"{pad}</Component>")
        for name in folders:
            path = "/".join(part for part in (relative, name) if part)
            lines.append(f'{pad}<Directory Id="{identifier(f"d{edition}.", path, taken)}" Name="{escape(name)}">')
            lines += folder_xml(edition, path, condition, depth + 1)
            lines.append(f"{pad}</Directory>")
        return lines

    lines = ['<?xml version="1.0" encoding="utf-8"?>', "<Include>",
             '  <Directory Id="PackageFolder" Name="INF">']
    for edition, relative, condition in EDITIONS:
        if relative:
            lines.append(f'    <Directory Id="PackageFolder{edition}" Name="{relative}">')
            lines += folder_xml(edition, relative, condition, 3)
            lines.append("    </Directory>")
        else:
            lines += folder_xml(edition, relative, condition, 2)
    lines += ["  </Directory>", "</Include>", ""]
    with open(os.path.join(work, "package_files.wxi"), "w", encoding="utf-8") as file:
        file.write("\n".join(lines))
    with open(os.path.join(work, "package_components.wxi"), "w", encoding="utf-8") as file:
        file.write("\n".join(['<?xml version="1.0" encoding="utf-8"?>', "<Include>"] + refs + ["</Include>", ""]))
    return conditions


def escape(text):
    return text.replace("&", "&amp;").replace('"', "&quot;").replace("<", "&lt;")


def statements(path):
    """The SQL statements of a file: one a line, "--" lines are comments."""
    with open(path, encoding="utf-8") as file:
        return [line.strip() for line in file if line.strip() and not line.lstrip().startswith("--")]


def file_sources(work, names):
    """Each file of the package, by its key, with the file wixl read it
    from, as the WiX sources in the work folder name them."""
    sources = {}
    for name in names:
        for element in xml.etree.ElementTree.parse(os.path.join(work, name)).iter():
            if element.tag.rsplit("}", 1)[-1] == "File":
                sources[element.get("Id")] = os.path.join(work, element.get("Source"))
    return sources


def check_sequence(msi):
    """Every deferred action stands inside the script, between
    InstallInitialize and InstallFinalize."""
    types = {row[0]: int(row[1]) for row in table(msi, "CustomAction")}
    sequence = {row[0]: int(row[2]) for row in table(msi, "InstallExecuteSequence")}
    first, last = sequence["InstallInitialize"], sequence["InstallFinalize"]
    for action, kind in sorted(types.items()):
        if kind & IN_SCRIPT and action not in sequence:
            sys.exit(f"make_msi: the deferred action {action} has no place in InstallExecuteSequence")
        if kind & IN_SCRIPT and not first < sequence[action] < last:
            sys.exit(f"make_msi: the deferred action {action} stands at {sequence[action]}, outside "
                     f"InstallInitialize ({first}) to InstallFinalize ({last}), where it would never run")


def set_summary_times(msi, epoch):
    """Sets the summary's creation and last-saved times, in place."""
    filetime = FILETIME_EPOCH + epoch * 10000000
    with olefile.OleFileIO(msi, write_mode=True) as ole:
        data = bytearray(ole.openstream(SUMMARY).read())
        # The property set: its header, then the first section's offset.
        section = struct.unpack_from("<I", data, 44)[0]
        count = struct.unpack_from("<I", data, section + 4)[0]
        for index in range(count):
            pid, offset = struct.unpack_from("<II", data, section + 8 + 8 * index)
            if pid in SUMMARY_TIMES and struct.unpack_from("<I", data, section + offset)[0] == VT_FILETIME:
                struct.pack_into("<Q", data, section + offset + 4, filetime)
        ole.write_stream(SUMMARY, bytes(data))


def set_package_code(msi, code):
    run("msibuild", msi, "-s", "NORDAL 5120 USB Driver", "Orvane", "Intel;1033", code)


def main(argv):
    parser = argparse.ArgumentParser(description=__doc__.splitlines()[0])
    options = ("--wxs", "--sql", "--programs", "--package", "--version", "--upgrade-code", "--work", "--out")
    for option in options:
        parser.add_argument(option)
    parser.add_argument("--epoch", type=int)
    parser.add_argument("--check", metavar="FILE.msi")
    arguments = parser.parse_args(argv[1:])
    if arguments.check:
        check_sequence(arguments.check)
        check_tables(arguments.check)
        return 0
    missing = [name for name, value in vars(arguments).items() if value is None and name != "check"]
    if missing:
        parser.error("the following arguments are required: " + ", ".join("--" + name.replace("_", "-")
                                                                          for name in missing))
    namespace = uuid.UUID(arguments.upgrade_code.strip("{}"))
    work = os.path.abspath(arguments.work)
    stage(arguments, work)
    conditions = write_package_includes(work, namespace)
    shutil.copyfile(arguments.wxs, os.path.join(work, "kit.wxs"))
    msi = os.path.join(work, "kit.msi")
    defines = {
        "Version": arguments.version,
        "UpgradeCode": arguments.upgrade_code,
        # A new version is a new product; the components keep their codes.
        "ProductCode": guid(namespace, "product " + arguments.version),
        "QuorlinGuid": guid(namespace, "component Quorlin"),
        "VeskotGuid": guid(namespace, "component Veskot"),
        "ProductKeyGuid": guid(namespace, "component product key"),
        "TemporaryFolderGuid": guid(namespace, "component temporary folder"),
    }
    definitions = [word for name, value in defines.items() for word in ("-D", f"{name}={value}")]
    run("wixl", "-o", msi, *definitions, "kit.wxs", cwd=work)
    for statement in statements(arguments.sql):
        run("msibuild", msi, "-q", statement)
    for component, condition in sorted(conditions.items()):
        run("msibuild", msi, "-q", f"UPDATE `Component` SET `Condition` = '{condition}' "
            f"WHERE `Component` = '{component}'")
    fill_versions(msi, file_sources(work, ("kit.wxs", "package_files.wxi")))
    drop_newer_columns(msi, work)
    add_validation(msi, work)
    check_sequence(msi)
    check_tables(msi)
    set_package_code(msi, "{00000000-0000-0000-0000-000000000000}")
    set_summary_times(msi, arguments.epoch)
    with open(msi, "rb") as file:
        digest = hashlib.sha256(file.read()).hexdigest()
    set_package_code(msi, guid(namespace, "package " + digest))
    set_summary_times(msi, arguments.epoch)
    shutil.copyfile(msi, arguments.out)
    return 0


if __name__ == "__main__":
    sys.exit(main(sys.argv))
