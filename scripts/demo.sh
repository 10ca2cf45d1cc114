#!/usr/bin/env bash
# Builds rostrix into build/ and runs its main job on the bundled sample
# saves: lists their teams (-l) and units (-k), makes a new save file from a
# team-script cut out of the -l listing (-m), builds another from a vek-script
# put together from -k lines (-b, with automatic names), and lists both new
# files. Installs nothing; needs cmake, g++ and libgtest-dev.
#
# Usage: scripts/demo.sh [--no-build] [BUILD_DIR]
#   BUILD_DIR   where to build and run (default: build/ in the source tree)
#   --no-build  use BUILD_DIR as it is (rostrix and samples/ already built)
# What it writes goes to BUILD_DIR/demo/.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)

build=true
if [[ ${1-} == --no-build ]]; then
  build=false
  shift
fi
dir=${1:-$root/build}

if $build; then
  # The same settings as scripts/test.sh, so both can share build/.
  cmake -S "$root" -B "$dir" -DCMAKE_BUILD_TYPE=RelWithDebInfo -DROSTRIX_WERROR=ON \
    -DCMAKE_C_COMPILER=gcc -DCMAKE_CXX_COMPILER=g++ >/dev/null
  cmake --build "$dir" -j"$(nproc)" --target rostrix samples >/dev/null
fi
cd "$dir"
[[ -x ./rostrix && -d samples ]] || { echo "demo.sh: no rostrix or samples/ in $dir" >&2; exit 1; }
mkdir -p demo
rm -f demo/teams.txt demo/made.sqd demo/slots.txt demo/units.txt demo/built.sqd

# Names in save files are Shift_JIS bytes, which rostrix prints as they are;
# shown here in UTF-8 where iconv can do it.
if command -v iconv >/dev/null && iconv -f SHIFT_JIS -t UTF-8 </dev/null >/dev/null 2>&1; then
  show() { iconv -c -f SHIFT_JIS -t UTF-8 || true; }
else
  show() { cat; }
fi
# Prints a command, then runs it with its messages and output shown.
run() {
  printf '\n$ %s\n' "$*"
  "$@" 2>&1 | show
}
say() { printf '\n# %s\n' "$*"; }

say "The teams of the three sample saves: one team-script line each."
run ./rostrix -l samples/knights.sqd samples/ronin.sqd samples/sky.sqd

say "The units standing in those teams: one unit line each."
run ./rostrix -k samples/knights.sqd samples/ronin.sqd samples/sky.sqd

say "A team-script: the -l lines of knights team 0, ronin team 0 and sky team 1."
./rostrix -l samples/knights.sqd samples/ronin.sqd samples/sky.sqd |
  awk -F'\t' '$2 == 0 && $1 != "samples/sky.sqd" || $1 == "samples/sky.sqd" && $2 == 1' >demo/teams.txt
show <demo/teams.txt
run ./rostrix -V -o demo/made.sqd -m demo/teams.txt
run ./rostrix -l demo/made.sqd

say "A vek-script from -k lines: their first three columns are ready slots."
./rostrix -k samples/knights.sqd samples/sky.sqd | cut -f 1-3 >demo/slots.txt
{
  # An unnamed team of three units that all stand on cell 4: -b moves two of
  # them within their row and, with -a2, names the team from their names.
  printf -- '-\t-\t'
  sed -n '2p;6p;12p' demo/slots.txt | paste -s -
  # A named team of two units, its player given.
  printf 'Kay\tOutriders\t'
  sed -n '3p;9p' demo/slots.txt | paste -s -
} >demo/units.txt
show <demo/units.txt
run ./rostrix -V -a2 -o demo/built.sqd -b demo/units.txt
run ./rostrix -l demo/built.sqd

say "The new save files: $PWD/demo/made.sqd and $PWD/demo/built.sqd"
