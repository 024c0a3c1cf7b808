#!/usr/bin/env bash
# Installs what is missing, builds Corvanta in Release and starts it.
# Without a display it starts a virtual one and saves a screenshot after start-up.
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/install-deps.sh
build=${CORVANTA_BUILD_DIR:-build-release}
cmake -S . -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=Release -DCORVANTA_BUILD_TESTS=OFF -DCORVANTA_BUILD_BENCHMARKS=OFF
cmake --build "$build" --parallel "$(nproc)" --target corvanta
exec bash scripts/launch.sh "$build"
