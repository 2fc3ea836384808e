"""Fails when a build or test file of the repository refers to a path
outside it: a relative path whose ".." steps lead out of the repository,
or an absolute path into the folder that holds it. A clone with nothing
beside it must build and pass its tests, wherever it is made: a system
path that merely begins with the folder that holds the repository (the X
server's sockets in /tmp for a clone right under /tmp, /usr/bin for one
under /usr) is not a path beside it.

usage: check_self_contained.py REPOSITORY
       check_self_contained.py --self-test [REPOSITORY]

With REPOSITORY, the self-test also checks a clone of it made right
under /tmp.
"""

import os
import re
import subprocess
import sys
import tempfile

# The files that build and test: CMake, presets, scripts, NSIS, WiX and its SQL.
BUILD_FILE = re.compile(r"(^|/)(CMakeLists\.txt|CMakePresets\.json|[^/]+\.(cmake|sh|py|nsi|nsh|wxs|sql)|\.ci/[^/]+"
                        r"|scripts/[^/]+)$")
# A path with ".." steps, and what it is relative to: the repository's
# root for the variables that name it, else the file's own folder.
RELATIVE = re.compile(r"(?P<base>\$\{CMAKE_SOURCE_DIR\}|\$\{sourceDir\}|\$\{CMAKE_CURRENT_SOURCE_DIR\}"
                      r"|\$\{CMAKE_CURRENT_LIST_DIR\}|\"?\$root\"?|\$\(dirname \"\$0\"\))?"
                      r"(?P<path>(?<![\w.])(?:[/\\]?\.\.)(?:[/\\][^\s\"'`;)]*)?)")
ROOT_BASES = {"${CMAKE_SOURCE_DIR}", "${sourceDir}", "$root", '"$root"', '"$root'}


# This file, whose own examples of paths that lead out are data.
SELF = "tests/repository/check_self_contained.py"
# System places inside folders that may hold a clone: what the build and
# test files name there is the system's, not something beside the clone.
SYSTEM_PLACES = {
    "/tmp": re.compile(r"\.(X11|ICE|XIM|font|Test)-unix$"),
    "/usr": re.compile(r"(bin|sbin|lib|lib32|lib64|libx32|libexec|include|share|src|local|games"
                       r"|[a-z0-9_]+-[a-z0-9_]+-[a-z0-9_]+)$"),
    "/var": re.compile(r"(backups|cache|lib|local|lock|log|mail|opt|run|spool|tmp)$"),
}
BESIDE = re.compile(r"(?<![\w.-])(?P<path>/[^\s\"'`;:)]*)")


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


def beside_repository(root, path):
    """Whether an absolute path leads into the folder that holds the
    repository, to something other than the repository or a system place."""
    beside = os.path.dirname(root)
    if beside == "/" or not path.startswith(beside + "/") or path == root or path.startswith(root + "/"):
        return False
    first = path[len(beside) + 1:].split("/")[0]
    system = SYSTEM_PLACES.get(beside)
    return not (system and system.match(first))


def line_problems(root, folder, line):
    """What leads out of the repository `root` in a line of a file in `folder`."""
    problems = []
    for match in RELATIVE.finditer(line):
        base = root if (match.group("base") or "").rstrip('"') in {b.rstrip('"') for b in ROOT_BASES} else folder
        path = match.group("path").replace("\\", "/").lstrip("/")
        if outside(root, os.path.join(base, path)):
            problems.append(f"{match.group(0).strip()} leads out of the repository")
    for match in BESIDE.finditer(line):
        if beside_repository(root, match.group("path")):
            problems.append(f"{match.group('path')} names a path beside the repository")
    return problems


def problems_of(repository):
    root = os.path.realpath(repository)
    problems = []
    for name in build_files(repository):
        try:
            with open(os.path.join(repository, name), encoding="utf-8") as lines:
                text = lines.read()
        except (OSError, UnicodeDecodeError):
            continue
        folder = os.path.dirname(os.path.join(root, name))
        for number, line in enumerate(text.splitlines(), 1):
            problems += [f"{name}:{number}: {problem}" for problem in line_problems(root, folder, line)]
    return problems


def self_test(repository):
    """The check refuses what it should, and passes what it should: in
    repositories made in a folder of their own, right under /tmp, and, as
    lines alone, right under /usr."""
    cases = [
        ("cmake/x.cmake", "set(DATA ${CMAKE_SOURCE_DIR}/../shared/inf-corpus)\n", True),
        ("tests/CMakeLists.txt", "set(DATA ${CMAKE_CURRENT_SOURCE_DIR}/../../shared)\n", True),
        ("scripts/run.sh", 'cp "$root"/../shared/x.inf .\n', True),
        ("setup/kit.nsi", '!include "../../shared/x.nsh"\n', True),
        ("scripts/beside.sh", "cp {beside}/shared/x.inf .\n", True),
        ("tests/ok/CMakeLists.txt", "set(DATA ${CMAKE_CURRENT_SOURCE_DIR}/../data)\n", False),
        ("scripts/ok.sh", 'cd "$(dirname "$0")/.."\n', False),
        ("scripts/own.sh", "ls {root}/tests\n", False),
        ("notes.md", "see ../shared\n", False),
    ]
    failed = 0
    for top in (None, "/tmp"):
        for name, text, refused in cases:
            with tempfile.TemporaryDirectory(dir=top) as folder:
                root = os.path.realpath(os.path.join(folder, "repository") if top is None else folder)
                os.makedirs(os.path.dirname(os.path.join(root, name)), exist_ok=True)
                text = text.replace("{root}", root).replace("{beside}", os.path.dirname(root))
                with open(os.path.join(root, name), "w", encoding="utf-8") as file:
                    file.write(text)
                failed |= expect(f"{name} in {root}", text, bool(problems_of(root)), refused)
    lines = [
        ("/tmp/kit", 'while [ ! -S "/tmp/.X11-unix/X$number" ]; do', False),
        ("/tmp/kit", "cp /tmp/shared/x.inf .", True),
        ("/usr/kit", "set(RELEASE_PYTHON /usr/bin/python3)", False),
        ("/usr/kit", "add_subdirectory(/usr/src/googletest/googletest ${CMAKE_BINARY_DIR}/googletest)", False),
        ("/usr/kit", "set(CMAKE_FIND_ROOT_PATH /usr/i686-w64-mingw32)", False),
        ("/usr/kit", "set(DATA /usr/shared/inf-corpus)", True),
    ]
    for root, line, refused in lines:
        failed |= expect(f"a line of a repository in {root}", line, bool(line_problems(root, root, line)), refused)
    if repository:
        with tempfile.TemporaryDirectory(dir="/tmp") as clone:
            subprocess.run(["git", "clone", "-q", repository, clone], check=True)
            problems = problems_of(clone)
            for problem in problems:
                print(f"FAIL in a clone right under /tmp, {clone}: {problem}")
            print(f"a clone right under /tmp, {clone}: {len(problems)} paths outside")
            failed |= 1 if problems else 0
    return failed


def expect(what, text, refused, should):
    if refused != should:
        print(f"FAIL {what} ({text.strip()}): {'refused' if refused else 'passed'}")
        return 1
    print(f"{'refused' if refused else 'passed'}, as it should be: {what}: {text.strip()}")
    return 0


def main(argv):
    if argv[1:2] == ["--self-test"] and len(argv) <= 3:
        return self_test(argv[2] if len(argv) == 3 else None)
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
