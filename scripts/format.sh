#!/usr/bin/env bash
# Formats every C and C++ source of the repository with its .clang-format;
# with --check, changes nothing and fails naming each file that differs.
set -euo pipefail
ROOT="$(cd "$(dirname "$0")/.." && pwd)"
cd "$ROOT"
mapfile -t files < <(git ls-files '*.cpp' '*.h' '*.c')
if [ "${1:-}" = "--check" ]; then
  bad=0
  for f in "${files[@]}"; do
    if ! clang-format --dry-run -Werror "$f" >/dev/null 2>&1; then
      echo "not formatted: $f" >&2
      bad=1
    fi
  done
  exit $bad
fi
clang-format -i "${files[@]}"
