"""Release check of the built Windows programs, read with pefile.

Every program must be a 32-bit x86 image that Windows 2000 loads: OS and
subsystem version 5.0 or lower, imports only from the system DLLs Windows
2000 has and only functions listed in the allowed-imports file (each with
where its minimum Windows version was read), IsWow64Process looked up at
run time rather than imported, and no manifest. The two kit programs are
GUI programs with their version resource and a size budget, as is the
setups' library of actions; the tools are
console programs with a size budget. The setup program, made by NSIS with
imports of its own, must be a 32-bit x86 GUI image that Windows 2000
loads, within its size budget. A budget counts the image without the
Authenticode signatures appended to it, whose size is the vendor
certificate chain's.

usage: check_release.py ALLOWED_IMPORTS
           [--program FILE DESCRIPTION VERSION BUDGET_BYTES]...
           [--tool FILE BUDGET_BYTES]...
           [--setup FILE BUDGET_BYTES]...
"""

import os
import re
import sys

import pefile

ALLOWED_DLLS = {"kernel32.dll", "advapi32.dll", "user32.dll", "setupapi.dll", "msvcrt.dll", "msi.dll"}
# What a Win32 row must say of its function: a Windows release no later
# than Windows 2000 (a Windows NT version, Windows 95, or the date of a
# reference published by then).
WINDOWS_2000_OR_EARLIER = re.compile(r"(Windows|Win) (2000|NT|95)|version [345]\.\d|\b(1992|1998|April 2000)\b")
RT_MANIFEST = 24
IMAGE_FILE_MACHINE_I386 = 0x14C
IMAGE_SUBSYSTEM_WINDOWS_GUI = 2
IMAGE_SUBSYSTEM_WINDOWS_CUI = 3


def load_allowed(path):
    """Reads dll<TAB>function<TAB>minimum<TAB>source lines."""
    allowed = set()
    problems = []
    with open(path, encoding="utf-8") as lines:
        for number, line in enumerate(lines, 1):
            line = line.rstrip("\n")
            if not line or line.startswith("#"):
                continue
            fields = line.split("\t")
            if len(fields) != 4 or not all(fields):
                problems.append(f"{path}:{number}: needs dll, function, minimum and source")
                continue
            dll, function, minimum, _ = fields
            # The C run-time reference gives no Windows version: its rows
            # say which Microsoft page documents the export of msvcrt.dll.
            if dll.lower() == "msvcrt.dll":
                known = minimum.startswith("msvcrt.dll: ")
            else:
                known = WINDOWS_2000_OR_EARLIER.search(minimum) is not None
            if not known:
                problems.append(f"{path}:{number}: {function} is not known to be on Windows 2000: {minimum}")
                continue
            allowed.add((dll.lower(), function))
    return allowed, problems


def imports_of(pe):
    entries = list(getattr(pe, "DIRECTORY_ENTRY_IMPORT", []))
    entries += list(getattr(pe, "DIRECTORY_ENTRY_DELAY_IMPORT", []))
    for entry in entries:
        dll = entry.dll.decode("ascii", "replace").lower()
        for symbol in entry.imports:
            name = symbol.name.decode("ascii", "replace") if symbol.name else f"#{symbol.ordinal}"
            yield dll, name


def resource_types(pe):
    if not hasattr(pe, "DIRECTORY_ENTRY_RESOURCE"):
        return set()
    return {entry.id for entry in pe.DIRECTORY_ENTRY_RESOURCE.entries}


def version_strings(pe):
    strings = {}
    for info in getattr(pe, "FileInfo", []):
        for block in info:
            if getattr(block, "Key", b"") == b"StringFileInfo":
                for table in block.StringTable:
                    for key, value in table.entries.items():
                        strings[key.decode("utf-8")] = value.decode("utf-8")
    return strings


def fixed_version(ms, ls):
    return f"{ms >> 16}.{ms & 0xFFFF}.{ls >> 16}.{ls & 0xFFFF}"


def signature_size(path):
    """The size of the Authenticode signatures appended to the image."""
    pe = pefile.PE(path, fast_load=True)
    security = pe.OPTIONAL_HEADER.DATA_DIRECTORY[pefile.DIRECTORY_ENTRY["IMAGE_DIRECTORY_ENTRY_SECURITY"]]
    return security.Size if security.VirtualAddress else 0


def image_size(path):
    """The file's size without its signatures: their size depends on the
    vendor's certificate chain, not on the program."""
    return os.path.getsize(path) - signature_size(path)


def check_budget(path, budget):
    size = image_size(path)
    return [f"{size} bytes without its signatures, over its budget of {budget}"] if size > budget else []


def check_loads_on_windows_2000(pe, gui):
    problems = []
    if pe.FILE_HEADER.Machine != IMAGE_FILE_MACHINE_I386:
        problems.append(f"machine is {pe.FILE_HEADER.Machine:#x}, not i386")
    if pe.OPTIONAL_HEADER.Magic != pefile.OPTIONAL_HEADER_MAGIC_PE:
        problems.append("not a PE32 image")
    header = pe.OPTIONAL_HEADER
    if gui and header.Subsystem != IMAGE_SUBSYSTEM_WINDOWS_GUI:
        problems.append(f"subsystem is {header.Subsystem}, not Windows GUI")
    if not gui and header.Subsystem != IMAGE_SUBSYSTEM_WINDOWS_CUI:
        problems.append(f"subsystem is {header.Subsystem}, not Windows console")
    for what, major, minor in (
        ("OS", header.MajorOperatingSystemVersion, header.MinorOperatingSystemVersion),
        ("subsystem", header.MajorSubsystemVersion, header.MinorSubsystemVersion),
    ):
        if (major, minor) > (5, 0):
            problems.append(f"{what} version is {major}.{minor}, above 5.0")
    return problems


def check_setup(path, budget):
    pe = pefile.PE(path)
    header = pe.OPTIONAL_HEADER
    print(f"{os.path.basename(path)}: machine i386, subsystem {header.Subsystem}, OS "
          f"{header.MajorOperatingSystemVersion}.{header.MinorOperatingSystemVersion}, subsystem version "
          f"{header.MajorSubsystemVersion}.{header.MinorSubsystemVersion}, {image_size(path)} of {budget} bytes "
          f"and {signature_size(path)} bytes of signatures")
    return check_loads_on_windows_2000(pe, gui=True) + check_budget(path, budget)


def check_image(path, allowed, gui):
    pe = pefile.PE(path)
    name = os.path.basename(path)
    header = pe.OPTIONAL_HEADER
    problems = check_loads_on_windows_2000(pe, gui)
    count = 0
    for dll, function in imports_of(pe):
        count += 1
        if dll not in ALLOWED_DLLS:
            problems.append(f"imports {function} from {dll}")
        elif function == "IsWow64Process":
            problems.append("imports IsWow64Process, which Windows 2000 lacks")
        elif (dll, function) not in allowed:
            problems.append(f"imports {dll}!{function}, which the allowed list does not hold")
    if RT_MANIFEST in resource_types(pe):
        problems.append("carries a manifest resource")
    print(f"{name}: machine i386, subsystem {header.Subsystem}, OS {header.MajorOperatingSystemVersion}."
          f"{header.MinorOperatingSystemVersion}, subsystem version {header.MajorSubsystemVersion}."
          f"{header.MinorSubsystemVersion}, {count} imports, {image_size(path)} bytes and "
          f"{signature_size(path)} bytes of signatures")
    return pe, problems


def check_program(path, description, version, budget, allowed):
    pe, problems = check_image(path, allowed, gui=True)
    size = image_size(path)
    problems += check_budget(path, budget)
    if not hasattr(pe, "VS_FIXEDFILEINFO"):
        problems.append("has no version resource")
        return problems
    fixed = pe.VS_FIXEDFILEINFO[0]
    for what, ms, ls in (
        ("fixed file version", fixed.FileVersionMS, fixed.FileVersionLS),
        ("fixed product version", fixed.ProductVersionMS, fixed.ProductVersionLS),
    ):
        if fixed_version(ms, ls) != version:
            problems.append(f"{what} is {fixed_version(ms, ls)}, not {version}")
    strings = version_strings(pe)
    for key, want in (("FileDescription", description), ("FileVersion", version), ("ProductVersion", version)):
        if strings.get(key) != want:
            problems.append(f"{key} is {strings.get(key)!r}, not {want!r}")
    print(f"{os.path.basename(path)}: \"{strings.get('FileDescription')}\" {strings.get('FileVersion')}, "
          f"{size} of {budget} bytes")
    return problems


def main(argv):
    if len(argv) < 2:
        print(__doc__, file=sys.stderr)
        return 2
    allowed, failures = load_allowed(argv[1])
    rest = argv[2:]
    checked = 0
    while rest:
        if rest[0] == "--program" and len(rest) >= 5:
            path, description, version, budget = rest[1:5]
            problems = check_program(path, description, version, int(budget), allowed)
            rest = rest[5:]
        elif rest[0] == "--setup" and len(rest) >= 3:
            path, budget = rest[1:3]
            problems = check_setup(path, int(budget))
            rest = rest[3:]
        elif rest[0] == "--tool" and len(rest) >= 3:
            path, budget = rest[1:3]
            problems = check_image(path, allowed, gui=False)[1] + check_budget(path, int(budget))
            rest = rest[3:]
        else:
            print(__doc__, file=sys.stderr)
            return 2
        checked += 1
        failures += [f"{os.path.basename(path)}: {problem}" for problem in problems]
    for failure in failures:
        print(f"FAIL {failure}")
    if checked == 0:
        print("FAIL nothing was checked")
        return 1
    return 1 if failures else 0


if __name__ == "__main__":
    sys.exit(main(sys.argv))
