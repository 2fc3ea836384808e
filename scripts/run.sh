#!/bin/bash
# The main job: the kit's life as a handset owner sees it, in a throwaway
# Wine prefix (32-bit Windows 7). The setup program installs silently, a
# handset appears as Windows leaves it once installed, and the uninstall
# runs through the command that the Uninstall key names. tracecap's
# listen mode catches the traces of both programs meanwhile; they are
# printed with what changed on the machine after each step.
set -euo pipefail
root="$(cd "$(dirname "$0")/.." && pwd)"
cd "$root"

bash scripts/setup.sh
cmake --preset windows >/dev/null
cmake --build --preset windows --target setup tracecap >/dev/null
bin="$root/build/windows/bin"

source scripts/throwaway_prefix.sh

drive="$WINEPREFIX/drive_c"
infdir="$drive/windows/inf"
package="$drive/Program Files/NORDAL_5120_USB_DRIVER"
temp="$drive/Program Files/Orvane_M4730_Temp"
uninstall_key='HKLM\SOFTWARE\Microsoft\Windows\CurrentVersion\Uninstall\Orvane_M4730_Driver'
mkdir -p "$drive/kit"
cp "$bin/NORDAL_5120_USB_Driver_Setup.exe" "$bin/tracecap.exe" "$drive/kit/"

# The copies of the package's INF files in the INF store, found by content:
# Windows names them oemN.inf, Wine keeps the file's own name when it is free.
staged_copies() {
  for inf in "$infdir"/*.inf; do
    for sample in "$root"/samples/package/*.inf; do
      if cmp -s "$inf" "$sample"; then
        echo "$(basename "$inf") $(basename "$sample")"
      fi
    done
  done
}

account() {
  echo "   INF store, copies of the package's INF files:"
  local copies
  copies="$(staged_copies)"
  if [ -n "$copies" ]; then
    echo "$copies" | while read -r copy sample; do echo "     C:\\windows\\inf\\$copy (of $sample)"; done
  else
    echo "     (none)"
  fi
  echo "   Keys:"
  for key in 'HKLM\SOFTWARE\Orvane_M4730_Driver' "$uninstall_key"; do
    if wine reg query "$key" >/dev/null 2>&1; then echo "     present: $key"; else echo "     gone:    $key"; fi
  done
  echo "   Folders:"
  for dir in "$package" "$temp"; do
    if [ -d "$dir" ]; then
      echo "     present: C:${dir#"$drive"} ($(find "$dir" -type f | wc -l) files)" | tr / '\\'
    else
      echo "     gone:    C:${dir#"$drive"}" | tr / '\\'
    fi
  done
}

# Runs a step while tracecap listens, then prints what it caught of the
# kit's programs: one message a line, after its trace tag (the joined
# view), with the time since listening began and the process.
listened() {
  local caught="$work/caught.txt" said="$work/said.txt"
  : >"$said"
  wine 'C:\kit\tracecap.exe' --listen --joined >"$caught" 2>"$said" &
  local listener=$! tries=0
  until grep -q listening "$said" || ((++tries > 100)); do sleep 0.1; done
  local status=0
  "$@" || status=$?
  kill -INT "$listener" 2>/dev/null || true
  wait "$listener" || true
  tr -d '\r' <"$caught" | awk -F '\t' '$3 == "Quorlin.exe" || $3 == "Veskot.exe" {
      printf "   %6s ms  %s #%s  %s\n", $1, $3, $2, $4 }'
  echo "   (exit code $status)"
}

setup_silently() { wine 'C:\kit\NORDAL_5120_USB_Driver_Setup.exe' /S; }

# The command Add/Remove Programs and fleet tools run, exactly as the
# Uninstall key holds it, from a batch file of that one line.
uninstall_quietly() {
  local command
  command="$(wine reg query "$uninstall_key" /v QuietUninstallString 2>/dev/null | tr -d '\r' |
    sed -n 's/^ *QuietUninstallString *REG_SZ *//p')"
  printf '@%s\r\n' "$command" >"$drive/kit/quiet_uninstall.cmd"
  wine cmd /c 'C:\kit\quiet_uninstall.cmd'
}

echo
echo "== Before"
account

echo
echo "== The setup program, silently (NORDAL_5120_USB_Driver_Setup.exe /S): what tracecap caught"
listened setup_silently

echo
echo "== After the setup"
account
echo "   Add/Remove Programs entry:"
wine reg query "$uninstall_key" 2>/dev/null | tr -d '\r' | sed -n 's/^    /     /p'

# Windows installs the handset's diagnostic port from the staged copy of
# qcser.inf and records it as a device instance with a driver key.
staged="$(staged_copies | awk '$2 == "qcser.inf" { print $1 }')"
class='{4D36E978-E325-11CE-BFC1-08002BE10318}'
instance='HKLM\System\CurrentControlSet\Enum\USB\VID_3A8D&PID_6C31&MI_02\7&2F1B3C&0&0002'
wine reg add "$instance" /v HardwareID /t REG_MULTI_SZ \
  /d 'USB\VID_3A8D&PID_6C31&REV_0232&MI_02\0USB\VID_3A8D&PID_6C31&MI_02' /f >/dev/null 2>&1
wine reg add "$instance" /v ClassGUID /d "$class" /f >/dev/null 2>&1
wine reg add "$instance" /v Class /d Ports /f >/dev/null 2>&1
wine reg add "$instance" /v Driver /d "$class\\0001" /f >/dev/null 2>&1
wine reg add "HKLM\\System\\CurrentControlSet\\Control\\Class\\$class\\0001" /v InfPath /d "${staged:-oem0.inf}" /f \
  >/dev/null 2>&1
echo
echo "== The handset appears: USB\\VID_3A8D&PID_6C31&MI_02, installed from ${staged:-(nothing staged)}"

echo
echo "== The uninstall, through the Uninstall key's QuietUninstallString: what tracecap caught"
listened uninstall_quietly

echo
echo "== After the uninstall"
account
if wine reg query "$instance" >/dev/null 2>&1; then
  echo "   Device instance still present: Wine 8 does not implement SetupDiSetClassInstallParamsA,"
  echo "   so the removal itself fails there (\"Remove failed!\")."
fi
