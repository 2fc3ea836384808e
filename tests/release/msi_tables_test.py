"""make_msi.py --check refuses each broken copy of the built Windows
Installer package, made with msibuild, with its message, and passes the
package itself.

usage: msi_tables_test.py MAKE_MSI PACKAGE WORK_DIR
"""

import os
import re
import shutil
import subprocess
import sys

HASH = ("INSERT INTO `MsiFileHash` (`File_`, `Options`, `HashPart1`, `HashPart2`, `HashPart3`, `HashPart4`) "
        "VALUES ('Quorlin.exe', 0, 1, 2, 3, 4)")
# Each case: the statements that break a copy, and the message expected
# (None: the copy passes, with nothing said).
CASES = [
    ("the package", [], None),
    ("no _Validation table", ["DROP TABLE `_Validation`"],
     r"make_msi: the package has no _Validation table"),
    ("Feature attributes 0", ["UPDATE `Feature` SET `Attributes` = 0"],
     r"make_msi: the feature Kit has Attributes 0, without 16"),
    ("an empty File.Version", ["UPDATE `File` SET `Version` = '' WHERE `File` = 'Veskot.exe'"],
     r"make_msi: Veskot\.exe has no File\.Version"),
    ("two programs in one component", ["UPDATE `File` SET `Component_` = 'Quorlin' WHERE `File` = 'Veskot.exe'"],
     r"make_msi: the component Quorlin holds Quorlin\.exe, Veskot\.exe, its key path Quorlin\.exe"),
    ("a versioned program hashed", [HASH], r"make_msi: Quorlin\.exe has a version and a MsiFileHash row"),
    ("an ExtendedType column", ["ALTER TABLE `CustomAction` ADD `ExtendedType` LONG"],
     r"make_msi: CustomAction\.ExtendedType came with Windows Installer 4\.5, after the 2\.0"),
    ("a table with no _Validation row", ["CREATE TABLE `Extra` (`Name` CHAR(72) NOT NULL PRIMARY KEY `Name`)"],
     r"make_msi: _Validation has no row for Extra\.Name"),
    ("a value outside its _Validation row", ["UPDATE `RegLocator` SET `Type` = 40"],
     r"make_msi: RegLocator\.Type is 40: outside 0 to 18"),
]


def main(argv):
    if len(argv) != 4:
        print(__doc__, file=sys.stderr)
        return 2
    make_msi, package, work = argv[1:]
    shutil.rmtree(work, ignore_errors=True)
    os.makedirs(work)
    failed = 0
    for index, (name, statements, expected) in enumerate(CASES):
        copy = os.path.join(work, f"{index}.msi")
        shutil.copyfile(package, copy)
        for statement in statements:
            subprocess.run(["msibuild", copy, "-q", statement], check=True)
        done = subprocess.run([sys.executable, make_msi, "--check", copy], capture_output=True, text=True,
                              check=False)
        said = done.stdout + done.stderr
        if expected is None and (done.returncode != 0 or said):
            print(f"FAIL {name}: exit code {done.returncode}:\n{said}")
            failed = 1
        elif expected is not None and (done.returncode == 0 or not re.search(expected, said)):
            print(f"FAIL {name}: exit code {done.returncode}, expected a message matching {expected!r}:\n{said}")
            failed = 1
        else:
            print(f"{'refused' if expected else 'passed'}, as it should be: {name}")
    return failed


if __name__ == "__main__":
    sys.exit(main(sys.argv))
