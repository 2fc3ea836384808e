"""Fails when a build or test file of the repository refers to a path
outside it: a relative path whose ".." steps lead out of the repository,
or an absolute path into the folder that holds it. A clone with nothing
beside it must build and pass its tests.

usage: check_self_contained.py REPOSITORY
       check_self_contained.py --self-test
"""

import os
import re
import subprocess
import sys
import tempfile

# The files that build and test: CMake, presets, scripts, NSIS.
BUILD_FILE = re.compile(r"(^|/)(CMakeLists\.txt|CMakePresets\.json|[^/]+\.(cmake|sh|py|nsi|nsh)|\.ci/[^/]+"
                        r"|scripts/[^/]+)$")
# A path with ".." steps, and what it is relative to: the repository's
# root for the variables that name it, else the file's own folder.
RELATIVE = re.compile(r"(?P<base>\$\{CMAKE_SOURCE_DIR\}|\$\{sourceDir\}|\$\{CMAKE_CURRENT_SOURCE_DIR\}"
                      r"|\$\{CMAKE_CURRENT_LIST_DIR\}|\"?\$root\"?|\$\(dirname \"\$0\"\))?"
                      r"(?P<path>(?<![\w.])(?:[/\\]?\.\.)(?:[/\\][^\s\"'`;)]*)?)")
ROOT_BASES = {"${CMAKE_SOURCE_DIR}", "${sourceDir}", "$root", '"$root"', '"$root'}


# This file, whose own examples of paths that lead out are data.
SELF = "tests/repository/check_self_contained.py"


def build_files(repository):
    try:
        listed = subprocess.run(["git", "-C", repository, "ls-files"], capture_output=True, text=True, check=True)
        names = listed.stdout.splitlines()
    except (OSError, subprocess.CalledProcessError):
        names = []
        for folder, subfolders, files in os.walk(repository):
            subfolders[:] = [name for name in subfolders if name not in (".git", "build")]
            names += [os.path.relpath(os.path.join(folder, name), repository) for name in files]
    return sorted(name for name in names if BUILD_FILE.search(name) and name != SELF)


def outside(repository, path):
    root = os.path.realpath(repository)
    resolved = os.path.normpath(path)
    return os.path.commonpath([root, resolved]) != root


def problems_of(repository):
    root = os.path.realpath(repository)
    beside = os.path.dirname(root)
    problems = []
    for name in build_files(repository):
        try:
            with open(os.path.join(repository, name), encoding="utf-8") as lines:
                text = lines.read()
        except (OSError, UnicodeDecodeError):
            continue
        folder = os.path.dirname(os.path.join(root, name))
        for number, line in enumerate(text.splitlines(), 1):
            for match in RELATIVE.finditer(line):
                base = root if (match.group("base") or "").rstrip('"') in {b.rstrip('"') for b in ROOT_BASES} \
                    else folder
                path = match.group("path").replace("\\", "/").lstrip("/")
                if outside(root, os.path.join(base, path)):
                    problems.append(f"{name}:{number}: {match.group(0).strip()} leads out of the repository")
            if beside != "/" and (beside + "/") in line and (root + "/") not in line:
                problems.append(f"{name}:{number}: names a path beside the repository")
    return problems


def self_test():
    """The check refuses what it should, and passes what it should."""
    cases = {
        "cmake/x.cmake": ("set(DATA ${CMAKE_SOURCE_DIR}/../shared/inf-corpus)\n", True),
        "tests/CMakeLists.txt": ("set(DATA ${CMAKE_CURRENT_SOURCE_DIR}/../../shared)\n", True),
        "scripts/run.sh": ('cp "$root"/../shared/x.inf .\n', True),
        "setup/kit.nsi": ('!include "../../shared/x.nsh"\n', True),
        "tests/ok/CMakeLists.txt": ("set(DATA ${CMAKE_CURRENT_SOURCE_DIR}/../data)\n", False),
        "scripts/ok.sh": ('cd "$(dirname "$0")/.."\n', False),
        "notes.md": ("see ../shared\n", False),
    }
    failed = 0
    for name, (text, refused) in cases.items():
        with tempfile.TemporaryDirectory() as top:
            repository = os.path.join(top, "repository")
            os.makedirs(os.path.dirname(os.path.join(repository, name)))
            with open(os.path.join(repository, name), "w", encoding="utf-8") as file:
                file.write(text)
            problems = problems_of(repository)
            if bool(problems) != refused:
                print(f"FAIL {name} ({text.strip()}): {'refused' if problems else 'passed'}")
                failed = 1
            else:
                print(f"{'refused' if refused else 'passed'}, as it should be: {name}: {text.strip()}")
    return failed


def main(argv):
    if argv[1:] == ["--self-test"]:
        return self_test()
    if len(argv) != 2:
        print(__doc__, file=sys.stderr)
        return 2
    problems = problems_of(argv[1])
    for problem in problems:
        print(f"FAIL {problem}")
    print(f"{len(build_files(argv[1]))} build and test files looked at, {len(problems)} paths outside")
    return 1 if problems else 0


if __name__ == "__main__":
    sys.exit(main(sys.argv))
