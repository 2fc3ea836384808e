#!/bin/bash
# The main job, end to end, in a throwaway Wine prefix (32-bit Windows 7):
# the installer stages the sample package, a handset appears as Windows
# would leave it once installed, then the uninstaller cleans the machine.
# Prints both traces (through tracecap) and what changed.
set -euo pipefail
root="$(cd "$(dirname "$0")/.." && pwd)"
cd "$root"

bash scripts/setup.sh
cmake --preset windows >/dev/null
cmake --build --preset windows --target Quorlin Veskot tracecap >/dev/null
bin="$root/build/windows/bin"

source scripts/throwaway_prefix.sh

drive="$WINEPREFIX/drive_c"
infdir="$drive/windows/inf"
package="$drive/Program Files/NORDAL_5120_USB_DRIVER"
temp="$drive/Program Files/Orvane_M4730_Temp"
mkdir -p "$drive/kit" "$package/INF" "$temp/logs"
cp "$bin/Quorlin.exe" "$bin/Veskot.exe" "$bin/tracecap.exe" "$drive/kit/"
cp samples/package/*.inf "$package/INF/"
echo "installed by the kit" >"$temp/logs/setup.log"
wine reg add 'HKLM\SOFTWARE\Orvane_M4730_Driver' /v version /d V1.7.0 /f >/dev/null 2>&1
wine reg add 'HKLM\SOFTWARE\Microsoft\Windows\CurrentVersion\Uninstall\Orvane_M4730_Driver' \
  /v DisplayName /d "NORDAL 5120 USB Driver" /f >/dev/null 2>&1

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
  for key in 'HKLM\SOFTWARE\Orvane_M4730_Driver' \
    'HKLM\SOFTWARE\Microsoft\Windows\CurrentVersion\Uninstall\Orvane_M4730_Driver'; do
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

trace() {
  # tracecap prints each debug string on a line of its own, then the exit code.
  # Each message follows the program's trace tag: shown here on one line.
  wine 'C:\kit\tracecap.exe' "$@" 2>/dev/null | tr -d '\r' |
    awk '/ - Zenor$/ { tag = $0; next } { print "   " (tag == "" ? "" : tag " | ") $0; tag = "" }' || true
}

echo
echo "== Before"
account

echo
echo "== Quorlin.exe (installer) trace"
trace 'C:\kit\Quorlin.exe'

echo
echo "== After the installer"
account

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
echo "== Veskot.exe (uninstaller) trace"
trace 'C:\kit\Veskot.exe'

echo
echo "== After the uninstaller"
account
if wine reg query "$instance" >/dev/null 2>&1; then
  echo "   Device instance still present: Wine 8 does not implement SetupDiSetClassInstallParamsA,"
  echo "   so the removal itself fails there (\"Remove failed!\")."
fi
