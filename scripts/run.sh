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

work="$(mktemp -d)"
export WINEPREFIX="$work/prefix" WINEARCH=win32 WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml="
cleanup() {
  wineserver -k >/dev/null 2>&1 || true
  wineserver -w >/dev/null 2>&1 || true
  rm -rf "$work"
}
trap cleanup EXIT

echo "== Creating a throwaway Wine prefix (32-bit Windows 7)"
wineboot -i >/dev/null 2>&1
wineserver -w
wine reg add 'HKCU\Software\Wine' /v Version /d win7 /f >/dev/null 2>&1

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

account() {
  echo "   INF store (oem*.inf):"
  local found=0
  for inf in "$infdir"/oem*.inf; do
    [ -e "$inf" ] || continue
    found=1
    echo "     $(basename "$inf"): $(grep -m1 -i '^; *[a-z_]*\.inf' "$inf" | tr -d '\r')"
  done
  [ "$found" = 1 ] || echo "     (none)"
  echo "   Keys:"
  for key in 'HKLM\SOFTWARE\Orvane_M4730_Driver' \
    'HKLM\SOFTWARE\Microsoft\Windows\CurrentVersion\Uninstall\Orvane_M4730_Driver'; do
    if wine reg query "$key" >/dev/null 2>&1; then echo "     present: $key"; else echo "     gone:    $key"; fi
  done
  echo "   Folders:"
  for dir in "$package" "$temp"; do
    if [ -d "$dir" ]; then
      echo "     present: C:${dir#"$drive"} ($(find "$dir" -type f | wc -l) files)"
    else
      echo "     gone:    C:${dir#"$drive"}"
    fi
  done
}

trace() {
  # tracecap prints each debug string on a line of its own, then the exit code.
  wine 'C:\kit\tracecap.exe' "$@" 2>/dev/null | tr -d '\r' | sed 's/^/   | /' || true
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
staged=""
for inf in "$infdir"/oem*.inf; do
  if [ -e "$inf" ] && cmp -s "$inf" "$package/INF/qcser.inf"; then staged="$(basename "$inf")"; fi
done
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
