#!/usr/bin/env bash
# Formats the C++ sources with the repository's .clang-format; with --check
# it changes nothing and fails, naming them, when a file is not formatted.
set -euo pipefail
root="$(cd "$(dirname "$0")/.." && pwd)"
cd "$root"
mapfile -t files < <(git ls-files 'src/*.cpp' 'src/*.h' 'tests/*.cpp' 'tests/*.h' 'tools/*.cpp' 'tools/*.h' \
                                  'bench/*.cpp' 'bench/*.h')
if [ "${1:-}" = "--check" ]; then
  unformatted=()
  for f in "${files[@]}"; do
    if ! clang-format --dry-run --Werror "$f" >/dev/null 2>&1; then
      unformatted+=("$f")
    fi
  done
  if [ ${#unformatted[@]} -gt 0 ]; then
    echo "format: not formatted (run scripts/format.sh): ${unformatted[*]}" >&2
    exit 1
  fi
  echo "format: ${#files[@]} files formatted"
else
  clang-format -i "${files[@]}"
fi
