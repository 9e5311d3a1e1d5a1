#!/usr/bin/env bash
# Installs what is missing, builds the program (Release) and starts it on a
# working folder: dist/ (or dist-demo/ with --demo). The folder holds the
# program, its report layouts and forms, and ARVENTA.FDB, which is made on
# the first run. The program works in that folder, as it always does.
set -euo pipefail
root="$(cd "$(dirname "$0")/.." && pwd)"
demo=0
program_args=()
while [ $# -gt 0 ]; do
  case "$1" in
    --demo) demo=1 ;;
    # A server's register (see "Several seats" in the README), passed on.
    --database) [ $# -ge 2 ] || { echo "usage: scripts/run.sh [--demo] [--database NAME]" >&2; exit 2; }
                program_args+=(--database "$2"); shift ;;
    --database=*) program_args+=("$1") ;;
    *) echo "usage: scripts/run.sh [--demo] [--database NAME]" >&2; exit 2 ;;
  esac
  shift
done

# Without a display Qt can only abort; say so before building or making anything.
if [ -z "${DISPLAY:-}" ] && [ -z "${WAYLAND_DISPLAY:-}" ] && [ -z "${QT_QPA_PLATFORM:-}" ]; then
  echo "run.sh: Arventa needs a graphical display (neither DISPLAY nor WAYLAND_DISPLAY is set)." >&2
  echo "run.sh: start it from a desktop session, or under a virtual one: xvfb-run -a scripts/run.sh (package xvfb)." >&2
  echo "run.sh: програмата има нужда от графичен дисплей." >&2
  exit 1
fi

"$root/scripts/setup.sh"
build="$root/build-release"
cmake -S "$root" -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=Release >/dev/null
targets=(arventa arventa-newdb)
[ "$demo" = 1 ] && targets+=(arventa-demo)
cmake --build "$build" --target "${targets[@]}"

folder="$root/dist"
[ "$demo" = 1 ] && folder="$root/dist-demo"
mkdir -p "$folder"
cp -f "$build/src/app/arventa" "$folder/"
for dir in layouts forms; do
  if [ -d "$root/$dir" ]; then cp -rf "$root/$dir/." "$folder/"; fi
done

if [ ! -f "$folder/ARVENTA.FDB" ]; then
  "$build/tools/newdb/arventa-newdb" "$folder/ARVENTA.FDB"
  if [ "$demo" = 1 ]; then
    # A failed fill leaves no half-made demo behind: the next run starts over.
    "$build/tools/demo/arventa-demo" "$folder/ARVENTA.FDB" --owners 300 --plots 1000 ||
      { rm -f "$folder/ARVENTA.FDB"; exit 1; }
  fi
fi

cd "$folder"
exec ./arventa "${program_args[@]}"
