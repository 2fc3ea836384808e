#!/bin/bash
# Builds both presets from scratch and runs every test: the host unit and
# flow tests against the simulated Windows, then the real programs under
# Wine in a 32-bit and a 64-bit (WOW64) prefix.
set -euo pipefail
cd "$(dirname "$0")/.."

bash scripts/setup.sh
rm -rf build/host build/windows
cmake --workflow --preset host
cmake --workflow --preset fuzz
cmake --workflow --preset windows
