"""scripts/setup.sh against a package mirror in each of its states, with
apt-get, dpkg, dpkg-query, locale and sleep stood in for by fakes that
play the mirror and record what they were asked: the update is tried
again while index files fail and then goes on, an install that mixes
the architectures' versions is tried again with the release's own, and
an install that still fails names its packages and the mirror.

usage: setup_script_test.py SETUP_SCRIPT
"""

import os
import stat
import subprocess
import sys
import tempfile

# The fakes: apt-get's update fails while $state/update_fails counts down,
# its install fails for $UNAVAILABLE packages, and for more than one
# package without -t when $MIXED is set; dpkg-query knows what was installed.
FAKES = {
    "apt-get": r"""#!/bin/sh
echo "apt-get $*" >>"$STATE/calls"
case "$1" in
  update)
    left=$(cat "$STATE/update_fails" 2>/dev/null || echo 0)
    if [ "$left" -gt 0 ]; then
      echo $((left - 1)) >"$STATE/update_fails"
      echo "E: Failed to fetch .../binary-i386/Packages.xz  File has unexpected size. Mirror sync in progress?" >&2
      exit 100
    fi
    exit 0 ;;
esac
shift
release=; packages=
while [ $# -gt 0 ]; do
  case "$1" in -t) release=$2; shift ;; -*) ;; *) packages="$packages $1" ;; esac
  shift
done
for package in $packages; do
  case " $UNAVAILABLE " in *" $package "*) echo "E: $package has no installation candidate" >&2; exit 100 ;; esac
done
if [ -n "$MIXED" ] && [ -z "$release" ] && [ "$(echo $packages | wc -w)" -gt 1 ]; then
  echo "E: Unable to correct problems, you have held broken packages." >&2
  exit 100
fi
for package in $packages; do echo "$package" >>"$STATE/installed"; done
""",
    "dpkg-query": r"""#!/bin/sh
for package; do :; done
if [ -n "$ALL_INSTALLED" ] || grep -qx "$package" "$STATE/installed" 2>/dev/null; then
  echo "install ok installed"
fi
""",
    "dpkg": "#!/bin/sh\n[ \"$1\" = --print-foreign-architectures ] && echo i386\nexit 0\n",
    "locale": "#!/bin/sh\necho zh_CN.utf8\n",
    "sleep": "#!/bin/sh\necho \"sleep $*\" >>\"$STATE/calls\"\n",
}

# Each case: the mirror, the exit code, what the calls and the error
# output must hold (and, with "!", must not).
CASES = [
    ("a mirror in order", {}, 0, ["apt-get update", "apt-get install -y -q"], ["!trying again"]),
    ("index files that fail twice", {"update_fails": "2"}, 0,
     ["apt-get update", "sleep 15", "apt-get update failed (try 2 of 4)", "apt-get install -y -q"],
     ["!going on with the indexes"]),
    ("index files that keep failing", {"update_fails": "9"}, 0,
     ["apt-get update failed (try 3 of 4)", "going on with the indexes there are", "apt-get install -y -q"], []),
    ("the architectures' versions mixed", {"MIXED": "1"}, 0,
     ["trying again with the versions of", "apt-get install -y -q --no-install-recommends -t "], []),
    ("a package the mirror lacks", {"UNAVAILABLE": "wixl"}, 1,
     ["these packages could not be installed: wixl", "the package mirror may be in the middle of a sync"],
     ["!could not be installed: cmake"]),
    ("everything installed", {"ALL_INSTALLED": "1"}, 0, [], ["!apt-get"]),
]


def run_case(script, mirror):
    with tempfile.TemporaryDirectory() as top:
        fakes = os.path.join(top, "bin")
        state = os.path.join(top, "state")
        os.makedirs(fakes)
        os.makedirs(state)
        for name, text in FAKES.items():
            path = os.path.join(fakes, name)
            with open(path, "w", encoding="utf-8") as file:
                file.write(text)
            os.chmod(path, stat.S_IRWXU)
        if "update_fails" in mirror:
            with open(os.path.join(state, "update_fails"), "w", encoding="utf-8") as file:
                file.write(mirror["update_fails"])
        environment = dict(os.environ, PATH=fakes + os.pathsep + os.environ["PATH"], STATE=state,
                           **{key: value for key, value in mirror.items() if key != "update_fails"})
        done = subprocess.run(["bash", script], capture_output=True, text=True, env=environment, check=False)
        calls = ""
        if os.path.exists(os.path.join(state, "calls")):
            with open(os.path.join(state, "calls"), encoding="utf-8") as file:
                calls = file.read()
        return done.returncode, calls + done.stderr


def main(argv):
    if len(argv) != 2:
        print(__doc__, file=sys.stderr)
        return 2
    failed = 0
    for name, mirror, exit_code, wanted, unwanted in CASES:
        code, said = run_case(argv[1], mirror)
        problems = [f"exit code {code}, not {exit_code}"] if code != exit_code else []
        problems += [f"no {text!r}" for text in wanted if text not in said]
        problems += [f"{text[1:]!r}" for text in unwanted if text[1:] in said]
        if problems:
            print(f"FAIL {name}: {'; '.join(problems)}\n{said}")
            failed = 1
        else:
            print(f"as it should be: {name}")
    return failed


if __name__ == "__main__":
    sys.exit(main(sys.argv))
