#!/usr/bin/env bash
# Fails when a C++ file differs from .clang-format's layout.
set -euo pipefail
cd "$(dirname "$0")/.."
files=$(git ls-files '*.cpp' '*.h')
[ -n "$files" ] || exit 0
clang-format --dry-run --Werror $files
