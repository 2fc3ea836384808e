# Sourced by the scripts that run the programs in a throwaway Wine prefix
# of 32-bit Windows 7: makes it under $work (a fresh temporary folder),
# and ends its server and removes it all when the script exits.
work="$(mktemp -d)"
export WINEPREFIX="$work/prefix" WINEARCH=win32 WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml="
cleanup() {
  wineserver -k >/dev/null 2>&1 || true
  wineserver -w >/dev/null 2>&1 || true
  rm -rf "$work"
}
trap cleanup EXIT

echo "== Creating a throwaway Wine prefix (32-bit Windows 7)"
wineboot -i </dev/null >/dev/null 2>&1
wineserver -w
wine reg add 'HKCU\Software\Wine' /v Version /d win7 /f </dev/null >/dev/null 2>&1
