"""The package's tables as validation takes them and as Windows Installer
2.0 reads them, set after wixl and kit_msi.sql, and checked:

- a _Validation table with a row for every column (msi_schema.py), each
  row nullable as its column is, and every value within its row: null
  only where the column may be, each number between MinValue and
  MaxValue, each value of a Set in it;
- every feature with Attributes 16 (it cannot be set absent), which
  wixl drops from the source;
- File.Version and File.Language of each file that has a version
  resource, read from it, and no MsiFileHash row for a versioned file;
  every program (.exe) has its version;
- each program the key path of a component of its own, so that a missing
  program is repaired;
- no table or column newer than the schema that the package declares
  (its Page Count); the newer columns that wixl writes go while they
  hold nothing.
"""

import os
import re
import subprocess
import sys
import tempfile

import pefile

import msi_schema

# Tables and columns that came after Windows Installer 2.0, each with the
# Page Count of the release that brought it (None: the whole table).
NEWER = {
    ("CustomAction", "ExtendedType"): 450,
    ("Shortcut", "DisplayResourceDLL"): 400,
    ("Shortcut", "DisplayResourceId"): 400,
    ("Shortcut", "DescriptionResourceDLL"): 400,
    ("Shortcut", "DescriptionResourceId"): 400,
    ("MsiPackageCertificate", None): 300,
    ("MsiPatchCertificate", None): 300,
    ("MsiEmbeddedChainer", None): 450,
    ("MsiEmbeddedUI", None): 450,
    ("MsiLockPermissionsEx", None): 500,
    ("MsiServiceConfig", None): 500,
    ("MsiServiceConfigFailureActions", None): 500,
    ("MsiShortcutProperty", None): 500,
}
# The feature that cannot be set absent (msidbFeatureAttributesUIDisallowAbsent).
DISALLOW_ABSENT = 16
VERSION = re.compile(r"\d+(\.\d+){0,3}$")


def run(*command, cwd=None):
    done = subprocess.run(command, cwd=cwd, capture_output=True, text=True, check=False)
    # wixl and msibuild print GLib warnings about what they pass over.
    if done.returncode != 0:
        sys.exit(f"make_msi: {' '.join(command)} failed:\n{done.stdout}{done.stderr}")
    return done.stdout


def export(msi, name):
    """A table as msiinfo exports it: its column names, their types, the
    line of its name and keys, and its rows, each a list of fields. msiinfo
    writes the streams of a binary column into the current folder, a
    throwaway one here."""
    with tempfile.TemporaryDirectory() as folder:
        lines = run("msiinfo", "export", os.path.abspath(msi), name, cwd=folder).split("\n")
    rows = [line.split("\t") for line in lines[3:] if line]
    return lines[0].split("\t"), lines[1].split("\t"), lines[2], rows


def table(msi, name):
    """The rows of a table."""
    return export(msi, name)[3]


def columns(msi):
    """Each table's columns, in order."""
    found = {}
    for name, _, column, _ in table(msi, "_Columns"):
        found.setdefault(name, []).append(column)
    return found


def declared_schema(msi):
    """The package's Page Count: the least Windows Installer that takes it."""
    return int(re.search(r"^Version: (\d+)", run("msiinfo", "suminfo", msi), re.MULTILINE).group(1))


def release(schema):
    return f"{schema // 100}.{schema % 100 // 10}"


def file_version(path):
    """A file's version and its languages ("1033"), from its version
    resource; None for a file that has none."""
    try:
        image = pefile.PE(path, fast_load=True)
    except pefile.PEFormatError:
        return None
    with image:
        image.parse_data_directories([pefile.DIRECTORY_ENTRY["IMAGE_DIRECTORY_ENTRY_RESOURCE"]])
        if not getattr(image, "VS_FIXEDFILEINFO", None):
            return None
        fixed = image.VS_FIXEDFILEINFO[0]
        parts = (fixed.FileVersionMS >> 16, fixed.FileVersionMS & 0xFFFF, fixed.FileVersionLS >> 16,
                 fixed.FileVersionLS & 0xFFFF)
        languages = []
        for info in (entry for group in getattr(image, "FileInfo", []) for entry in group):
            for var in getattr(info, "Var", []):
                # Each translation: "0xLANG 0xCODEPAGE".
                languages += [str(int(pair.split()[0], 16)) for pair in var.entry.values()]
    return ".".join(map(str, parts)), ",".join(dict.fromkeys(languages))


def fill_versions(msi, sources):
    """Sets File.Version and File.Language of each file that has a version
    resource, from its source (file key: path), and takes away its
    MsiFileHash row: Windows Installer compares versioned files by version."""
    for key, path in sorted(sources.items()):
        found = file_version(path)
        if found:
            run("msibuild", msi, "-q", f"UPDATE `File` SET `Version` = '{found[0]}', `Language` = '{found[1]}' "
                f"WHERE `File` = '{key}'")
            run("msibuild", msi, "-q", f"DELETE FROM `MsiFileHash` WHERE `File_` = '{key}'")


def drop_newer_columns(msi, work):
    """Takes out each column newer than the package's schema that holds
    nothing. msibuild cannot drop a column: the table is exported, dropped,
    and imported without it. A newer column with values stays, for the
    check to refuse."""
    schema = declared_schema(msi)
    for name, names in sorted(columns(msi).items()):
        newer = {column for column in names if NEWER.get((name, column), 0) > schema}
        if not newer:
            continue
        header, types, keys, rows = export(msi, name)
        keep = [index for index, column in enumerate(header) if column not in newer]
        if any(row[index] for row in rows for index in range(len(header)) if index not in keep):
            continue
        lines = ["\t".join(fields[index] for index in keep) for fields in [header, types]]
        lines += [keys] + ["\t".join(row[index] for index in keep) for row in rows]
        path = os.path.join(work, f"{name}.idt")
        with open(path, "w", encoding="utf-8", newline="\n") as file:
            file.write("\n".join(lines) + "\n")
        run("msibuild", msi, "-q", f"DROP TABLE `{name}`")
        run("msibuild", msi, "-i", path)


def add_validation(msi, work):
    path = os.path.join(work, "_Validation.idt")
    with open(path, "w", encoding="utf-8", newline="\n") as file:
        file.write(msi_schema.idt())
    run("msibuild", msi, "-i", path)


def validation_problems(msi, found):
    if "_Validation" not in found:
        return ["the package has no _Validation table, so validation refuses every table (ICE03)"]
    rows = {(row[0], row[1]): row for row in table(msi, "_Validation")}
    problems = []
    for name in sorted(found):
        header, types, _, values = export(msi, name)
        for index, (column, kind) in enumerate(zip(header, types)):
            row = rows.get((name, column))
            if not row:
                problems.append(f"_Validation has no row for {name}.{column}")
                continue
            if (row[2] == "Y") != kind[0].isupper():
                problems.append(f"_Validation says {name}.{column} is {'' if row[2] == 'Y' else 'not '}"
                                f"nullable, and its type {kind} says otherwise")
            problems += [f"{name}.{column} is {fields[index] or 'null'}: {bad}" for fields in values
                         if (bad := value_problem(fields[index], kind, row))]
    return problems


def value_problem(value, kind, row):
    """What is wrong with a value of a column of type `kind` (i2, S72, ...)
    by the column's _Validation row, or None."""
    nullable, low, high, allowed = row[2], row[3], row[4], row[8]
    if value == "":
        return None if nullable == "Y" else "null, which the column may not be"
    if allowed and value not in allowed.split(";"):
        return f"not one of {allowed}"
    if kind[0] in "iI" and (low and int(value) < int(low) or high and int(value) > int(high)):
        return f"outside {low} to {high}"
    return None


def feature_problems(msi):
    return [f"the feature {feature} has Attributes {attributes}, without {DISALLOW_ABSENT}: a person could set it "
            f"absent and leave the product installed with nothing of it" for feature, *_, attributes
            in table(msi, "Feature") if not int(attributes) & DISALLOW_ABSENT]


def file_problems(msi):
    """Every program has its version and is the key path of a component of
    its own; no versioned file is hashed."""
    files = {row[0]: row for row in table(msi, "File")}
    hashed = {row[0] for row in table(msi, "MsiFileHash")}
    key_paths = {row[0]: row[5] for row in table(msi, "Component")}
    held = {}
    problems = []
    for key, (_, component, name, _, version, *_) in sorted(files.items()):
        held.setdefault(component, []).append(key)
        if is_program(name) and not VERSION.match(version):
            problems.append(f"{key} has no File.Version ({version or 'empty'}), so the file versioning rules do "
                            "not apply to it")
        if version and version not in files and key in hashed:
            problems.append(f"{key} has a version and a MsiFileHash row: only unversioned files are hashed")
    for component, keys in sorted(held.items()):
        programs = [key for key in keys if is_program(files[key][2])]
        if programs and (len(keys) > 1 or key_paths.get(component) != programs[0]):
            problems.append(f"the component {component} holds {', '.join(keys)}, its key path "
                            f"{key_paths.get(component) or 'none'}: each program must be the key path of a "
                            "component of its own")
    return problems


def is_program(name):
    """A file name of the File table ("short|long" or one name) that ends in .exe."""
    return name.split("|")[-1].lower().endswith(".exe")


def schema_problems(msi, found):
    schema = declared_schema(msi)
    problems = []
    for name, names in sorted(found.items()):
        for column in [None] + names:
            brought = NEWER.get((name, column), 0)
            if brought > schema:
                what = f"the table {name}" if column is None else f"{name}.{column}"
                problems.append(f"{what} came with Windows Installer {release(brought)}, after the "
                                f"{release(schema)} that the package declares (Page Count {schema})")
    return problems


def check_tables(msi):
    """Exits with every problem of the package's tables, each on a line."""
    found = columns(msi)
    problems = (validation_problems(msi, found) + feature_problems(msi) + file_problems(msi)
                + schema_problems(msi, found))
    if problems:
        sys.exit("\n".join(f"make_msi: {problem}" for problem in problems))
