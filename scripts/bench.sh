#!/bin/bash
# Benchmarks of the kit against baselines of the platform's own quickest
# way to do the same work (bench/), in a throwaway Wine prefix (32-bit
# Windows 7). Prints every run and the table, and rewrites the block of
# figures in bench/README.md with it and the machine it was measured on.
#
#   bash scripts/bench.sh [rounds=N] [staging] [tree] [inf] [devices] [listening] [rolling]
#
# Arguments go to kitbench.exe; bench/README.md is rewritten only by a
# full run (no arguments).
set -euo pipefail
root="$(cd "$(dirname "$0")/.." && pwd)"
cd "$root"
started=$(date +%s)
# Other work on the machine slows every platform call: the load is noted
# with the figures.
load_before="$(cut -d' ' -f1 /proc/loadavg)"

bash scripts/setup.sh
cmake --preset windows >/dev/null
cmake --build --preset windows --target bench >/dev/null
bin="$root/build/windows/bin"

# No display: the uninstaller's prompt is not asked for, and nothing waits.
unset DISPLAY WAYLAND_DISPLAY
source scripts/throwaway_prefix.sh

# kitbench.exe finds the programs and its data beside itself.
kit="$WINEPREFIX/drive_c/bench"
mkdir -p "$kit/data/corpus" "$kit/data/inf_store" "$kit/data/package/64_inf"
cp "$bin"/{kitbench,Quorlin,Veskot,tracecap,bench_inf_open,bench_stage,bench_device_walk,bench_listener,bench_writers}.exe \
  "$kit/"
cp "$root"/tests/data/inf_corpus/*.inf "$kit/data/corpus/"
cp samples/inf_store/nordal_adb_legacy.inf samples/inf_store/nordal_modem_legacy.inf "$kit/data/inf_store/"
cp samples/package/*.inf "$kit/data/package/"
cp samples/package/64_inf/*.inf "$kit/data/package/64_inf/"

echo "== Running kitbench.exe"
wine 'C:\bench\kitbench.exe' "$@" </dev/null 2>/dev/null | sed -u 's/\r$//'
wineserver -w
elapsed=$(($(date +%s) - started))
load_after="$(cut -d' ' -f1 /proc/loadavg)"
echo "== bench.sh took $((elapsed / 60)) min $((elapsed % 60)) s"

if (($#)); then
  exit 0
fi
cpu="$(awk -F': ' '/^model name/ { print $2; exit }' /proc/cpuinfo)"
block="$work/block.md"
{
  echo "Measured by \`bash scripts/bench.sh\` on $(date -u +%Y-%m-%d): $cpu, $(nproc) cores," \
    "$(wine --version), 32-bit Windows 7 prefix; the whole run took $((elapsed / 60)) min $((elapsed % 60)) s," \
    "with a load average of $load_before at its start and $load_after at its end."
  echo
  tr -d '\r' <"$kit/results.md"
  echo
  cat bench/findings.md
} >"$block"
awk -v block="$block" '
  /<!-- bench:begin -->/ { print; while ((getline line <block) > 0) print line; skip = 1; next }
  /<!-- bench:end -->/ { skip = 0 }
  !skip { print }
' bench/README.md >"$work/README.md"
cp "$work/README.md" bench/README.md
echo "== bench/README.md: the block of figures rewritten"
