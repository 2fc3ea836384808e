"""Checks a driver package before the setup program and the Windows
Installer package carry it: both editions hold the four INF files that
Quorlin.exe stages, each reads as an INF file, names a handset id, and
every file it names in [SourceDisksFiles] and as its CatalogFile is in the
package, where Windows will look for it. Each problem is printed as
"FILE:LINE: what is wrong" (or "FILE: ..." when it is about no one line);
the exit code is 1 when there is one.

usage: check_package.py PACKAGE_DIR [STAMP]

STAMP, when given, is written once the package passed.
"""

import codecs
import os
import re
import sys

INF_FILES = ("android_usb.inf", "qcmdm.inf", "qcser.inf", "qcnet.inf")
# The 32-bit edition at the top, the 64-bit edition in 64_inf.
EDITIONS = (("", "32-bit"), ("64_inf", "64-bit"))
HANDSET_IDS = ("VID_3A8D&PID_6C31", "VID_3A8D&PID_6C32")
SIGNATURES = ("$windows nt$", "$chicago$", "$windows 95$")
# [SourceDisksNames] and [SourceDisksFiles], undecorated or for a platform.
DISKS_SECTION = re.compile(r"sourcedisks(names|files)(\.[a-z0-9]+)?$")
CATALOG_KEY = re.compile(r"catalogfile(\.[a-z0-9]+)?$")
STRING_TOKEN = re.compile(r"%([^%]+)%")


class Inf:
    """An INF file as SetupAPI reads it: sections of (line, key, values)."""

    def __init__(self, path):
        self.path = path
        self.sections = {}
        self.names = {}  # each section's name as the file spells it
        self.problems = []
        self.text = ""

    def problem(self, message, line=None):
        where = f"{self.path}:{line}" if line else self.path
        self.problems.append(f"{where}: {message}")


def decode(data):
    """The text of an INF file: UTF-16 with its byte-order mark, or bytes of
    the ANSI code page; None when it is not text."""
    if data.startswith(codecs.BOM_UTF16_LE):
        try:
            return data[2:].decode("utf-16-le")
        except UnicodeDecodeError:
            return None
    if data.startswith(codecs.BOM_UTF8):
        data = data[3:]
    if b"\0" in data:
        return None
    return data.decode("latin-1")


def strip_comment(line):
    """The line without its comment: a ";" outside quotes starts one."""
    quoted = False
    for index, char in enumerate(line):
        if char == '"':
            quoted = not quoted
        elif char == ";" and not quoted:
            return line[:index]
    return line


def split_values(text):
    """The comma-separated fields of a line's right-hand side, unquoted."""
    fields = []
    for field in text.split(","):
        field = field.strip()
        if len(field) >= 2 and field[0] == field[-1] == '"':
            field = field[1:-1]
        fields.append(field)
    return fields


def read_inf(path):
    inf = Inf(path)
    try:
        with open(path, "rb") as file:
            data = file.read()
    except OSError as error:
        inf.problem(f"cannot be read: {error.strerror}")
        return inf
    text = decode(data)
    if text is None:
        inf.problem("does not read as an INF file: it is not text")
        return inf
    inf.text = text
    section = None
    pending = ""
    first = 0
    for number, raw in enumerate(text.splitlines(), 1):
        line = strip_comment(raw).strip()
        # A backslash at the end of a line continues it on the next.
        if line.endswith("\\"):
            pending += line[:-1]
            first = first or number
            continue
        line = pending + line
        number, first, pending = first or number, 0, ""
        if not line:
            continue
        if line.startswith("["):
            if not line.endswith("]") or len(line) < 3:
                inf.problem("does not read as an INF file: a section name without its closing ]", number)
                return inf
            section = line[1:-1].strip().lower()
            inf.sections.setdefault(section, [])
            inf.names.setdefault(section, line[1:-1].strip())
            continue
        if section is None:
            # SetupAPI passes over what comes before the first section.
            continue
        key, equals, value = line.partition("=")
        if equals:
            inf.sections[section].append((number, key.strip().strip('"').lower(), split_values(value)))
        else:
            inf.sections[section].append((number, "", split_values(line)))
    signatures = [values[0].lower() for _, key, values in inf.sections.get("version", []) if key == "signature"]
    if not any(signature in SIGNATURES for signature in signatures):
        inf.problem('does not read as an INF file: its [Version] section has no Signature of "$Windows NT$" '
                    'or "$Chicago$"')
    return inf


def expand(inf, text):
    """The text with its %strkey% tokens replaced from [Strings]."""
    strings = {key: values[0] for _, key, values in inf.sections.get("strings", []) if key and values}
    return STRING_TOKEN.sub(lambda match: strings.get(match.group(1).lower(), match.group(0)), text)


def find_file(folder, relative):
    """The file at `relative` below `folder`, each name matched without
    regard to case as Windows does; None when there is none."""
    path = folder
    for name in [part for part in re.split(r"[\\/]", relative) if part and part != "."]:
        try:
            entries = os.listdir(path)
        except OSError:
            return None
        matches = [entry for entry in entries if entry.lower() == name.lower()]
        if not matches:
            return None
        path = os.path.join(path, matches[0])
    return path if os.path.isfile(path) else None


def check_named_files(inf):
    folder = os.path.dirname(inf.path)
    disks = {}
    for section, lines in inf.sections.items():
        match = DISKS_SECTION.match(section)
        if match and match.group(1) == "names":
            for _, key, values in lines:
                disks.setdefault(key, set()).add(expand(inf, values[3]) if len(values) > 3 else "")
    for section, lines in sorted(inf.sections.items()):
        match = DISKS_SECTION.match(section)
        if not match or match.group(1) != "files":
            continue
        for number, key, values in lines:
            name = expand(inf, key)
            disk = values[0] if values else ""
            subfolder = expand(inf, values[1]) if len(values) > 1 else ""
            spelt = inf.names[section]
            if disk not in disks:
                inf.problem(f"[{spelt}] puts {name} on disk {disk or '(none)'}, which [SourceDisksNames] "
                            "does not name", number)
                continue
            places = [os.path.join(path, subfolder, name).replace("\\", "/").lstrip("/") for path in disks[disk]]
            if not any(find_file(folder, place) for place in places):
                inf.problem(f"names {name} in [{spelt}], which is not in the package (looked for "
                            f"{' or '.join(sorted(places))} beside the INF file)", number)
    for number, key, values in inf.sections.get("version", []):
        if CATALOG_KEY.match(key) and values and values[0]:
            catalog = expand(inf, values[0])
            if not find_file(folder, catalog):
                inf.problem(f"names the CatalogFile {catalog}, which is not in the package", number)


def problems_of(package):
    problems = []
    if not os.path.isdir(package):
        return [f"{package}: the driver package folder does not exist"]
    for subfolder, edition in EDITIONS:
        folder = os.path.join(package, subfolder) if subfolder else package
        for name in INF_FILES:
            path = find_file(folder, name)
            if path is None:
                problems.append(f"{os.path.join(folder, name)}: missing: the {edition} edition needs "
                                f"{', '.join(INF_FILES[:-1])} and {INF_FILES[-1]} in {folder}")
                continue
            inf = read_inf(path)
            if not inf.problems:
                if not any(handset.lower() in inf.text.lower() for handset in HANDSET_IDS):
                    inf.problem(f"names neither handset id ({' nor '.join(HANDSET_IDS)})")
                check_named_files(inf)
            problems += inf.problems
    return problems


def main(argv):
    if len(argv) not in (2, 3):
        print(__doc__, file=sys.stderr)
        return 2
    if len(argv) == 3 and os.path.exists(argv[2]):
        os.remove(argv[2])
    problems = problems_of(os.path.abspath(argv[1]))
    for problem in problems:
        print(f"check_package: {problem}", file=sys.stderr)
    if problems:
        print(f"check_package: the driver package in {argv[1]} cannot be carried: {len(problems)} problems",
              file=sys.stderr)
        return 1
    if len(argv) == 3:
        with open(argv[2], "w", encoding="utf-8") as stamp:
            stamp.write("checked\n")
    return 0


if __name__ == "__main__":
    sys.exit(main(sys.argv))
