#!/bin/bash
# Builds the three presets from scratch and runs every test: the host unit
# and flow tests against the simulated Windows, the fuzz targets for a
# bounded time each, then the real programs under Wine in a 32-bit and a
# 64-bit (WOW64) prefix, the release check and the static analysis.
set -euo pipefail
cd "$(dirname "$0")/.."

bash scripts/setup.sh
rm -rf build/host build/fuzz build/windows
cmake --workflow --preset host
cmake --workflow --preset fuzz
cmake --workflow --preset windows
