"""The driver package check refuses each kind of broken package with a
message naming the file (and the line), passes the sample package and
its sound variants, and, with --build, stops both setups' builds.

usage: check_package_test.py CHECK_PACKAGE SAMPLE_PACKAGE [--build SOURCE_DIR WORK_DIR]
"""

import os
import re
import shutil
import subprocess
import sys
import tempfile


def replace(relative, old, new):
    def change(package):
        path = os.path.join(package, relative)
        with open(path, encoding="latin-1") as file:
            text = file.read()
        assert old in text, f"{old!r} is not in {relative}"
        with open(path, "w", encoding="latin-1", newline="") as file:
            file.write(text.replace(old, new))
    return change


def write(relative, data):
    def change(package):
        with open(os.path.join(package, relative), "wb") as file:
            file.write(data)
    return change


def remove(relative):
    return lambda package: os.remove(os.path.join(package, relative))


def in_utf16(relative):
    def change(package):
        path = os.path.join(package, relative)
        with open(path, encoding="latin-1") as file:
            text = file.read()
        with open(path, "wb") as file:
            file.write(b"\xff\xfe" + text.encode("utf-16-le"))
    return change


def both(*changes):
    def change(package):
        for one in changes:
            one(package)
    return change


CATALOG = replace("qcser.inf", "DriverVer", "CatalogFile = orvane.cat\nDriverVer")
# Each case: what is done to a copy of the sample package, and the
# message expected (None: the package passes).
CASES = [
    ("the sample package", lambda package: None, None),
    ("an INF file in UTF-16", in_utf16("64_inf/qcmdm.inf"), None),
    ("a handset id in lower case", replace("qcnet.inf", "VID_3A8D&PID_6C31", "vid_3a8d&pid_6c31"), None),
    ("a catalog that is there", both(CATALOG, write("orvane.cat", b"catalog")), None),
    ("a driver file named in other case", both(remove("x86/orvser.sys"), write("x86/ORVSER.SYS", b"driver")), None),
    ("an INF file missing", remove("64_inf/qcnet.inf"),
     r"/64_inf/qcnet\.inf: missing: the 64-bit edition needs android_usb\.inf, qcmdm\.inf, qcser\.inf and qcnet\.inf"),
    ("an INF file that is not text", write("android_usb.inf", b"MZ\x90\x00\x03\x00\x00\x00"),
     r"/android_usb\.inf: does not read as an INF file: it is not text"),
    ("a section name cut short", replace("qcmdm.inf", "[Manufacturer]", "[Manufacturer"),
     r"/qcmdm\.inf:\d+: does not read as an INF file: a section name without its closing \]"),
    ("no signature", replace("64_inf/qcser.inf", 'Signature   = "$Windows NT$"', "Signature = none"),
     r"/64_inf/qcser\.inf: does not read as an INF file: its \[Version\] section has no Signature"),
    ("neither handset id", replace("qcnet.inf", "VID_3A8D&PID_6C31", "VID_3A8D&PID_6C33"),
     r"/qcnet\.inf: names neither handset id \(VID_3A8D&PID_6C31 nor VID_3A8D&PID_6C32\)"),
    ("a driver file missing", remove("64_inf/amd64/orvadb64.sys"),
     r"/64_inf/android_usb\.inf:\d+: names orvadb64\.sys in \[SourceDisksFiles\], which is not in the package "
     r"\(looked for amd64/orvadb64\.sys beside the INF file\)"),
    ("a disk that is not named", replace("qcser.inf", "orvser.sys = 1", "orvser.sys = 2"),
     r"/qcser\.inf:\d+: \[SourceDisksFiles\] puts orvser\.sys on disk 2, which \[SourceDisksNames\] does not name"),
    ("a catalog that is not there", CATALOG,
     r"/qcser\.inf:\d+: names the CatalogFile orvane\.cat, which is not in the package"),
]


def run_cases(check, sample):
    failed = 0
    for name, change, expected in CASES:
        with tempfile.TemporaryDirectory() as top:
            package = os.path.join(top, "package")
            shutil.copytree(sample, package)
            change(package)
            done = subprocess.run([sys.executable, check, package], capture_output=True, text=True, check=False)
            refused = done.returncode != 0
            if expected is None and refused:
                print(f"FAIL {name}: refused:\n{done.stderr}")
                failed = 1
            elif expected is not None and (not refused or not re.search(expected, done.stderr)):
                print(f"FAIL {name}: exit code {done.returncode}, expected a message matching {expected!r}:\n"
                      f"{done.stderr}")
                failed = 1
            else:
                print(f"{'refused' if refused else 'passed'}, as it should be: {name}")
    return failed


def run_build(source, work, sample):
    """A build with a broken package makes neither setup, and says why."""
    shutil.rmtree(work, ignore_errors=True)
    package = os.path.join(work, "package")
    shutil.copytree(sample, package)
    remove("qcmdm.inf")(package)
    build = os.path.join(work, "build")
    configure = subprocess.run(["cmake", "-S", source, "-B", build, "-G", "Unix Makefiles",
                                f"-DCMAKE_TOOLCHAIN_FILE={source}/cmake/mingw-i686.cmake",
                                "-DCMAKE_BUILD_TYPE=MinSizeRel", "-DBUILD_TESTING=OFF",
                                f"-DKIT_PACKAGE_DIR={package}"], capture_output=True, text=True, check=False)
    if configure.returncode != 0:
        print(f"FAIL the configuration failed:\n{configure.stdout}{configure.stderr}")
        return 1
    failed = 0
    for target, output in (("setup", "NORDAL_5120_USB_Driver_Setup.exe"), ("kit_msi", "NORDAL_5120_USB_Driver.msi")):
        done = subprocess.run(["cmake", "--build", build, "--target", target, "-j2"], capture_output=True,
                              text=True, check=False)
        said = re.search(re.escape(package) + r"/qcmdm\.inf: missing", done.stdout + done.stderr)
        if done.returncode == 0 or not said or os.path.exists(os.path.join(build, "bin", output)):
            print(f"FAIL the {target} target was built, or failed without naming the missing file:\n"
                  f"{done.stdout[-2000:]}{done.stderr[-2000:]}")
            failed = 1
        else:
            print(f"refused, as it should be: the {target} target with a package that has no qcmdm.inf")
    return failed


def main(argv):
    if len(argv) not in (3, 6) or (len(argv) == 6 and argv[3] != "--build"):
        print(__doc__, file=sys.stderr)
        return 2
    failed = run_cases(argv[1], argv[2])
    if len(argv) == 6:
        failed |= run_build(argv[4], argv[5], argv[2])
    return failed


if __name__ == "__main__":
    sys.exit(main(sys.argv))
