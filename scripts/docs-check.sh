#!/usr/bin/env bash
# Checks the user documentation against a built rostrix:
#   - the manual page renders without a warning (groff -man -ww);
#   - scripts/demo.sh runs on the build and shows the round trip;
#   - every README shell block marked "<!-- docs-check: run -->" runs, and
#     prints what the block marked "<!-- docs-check: output -->" after it shows;
#   - every "$ command" of the manual page's EXAMPLES runs and prints the
#     lines shown under it;
#   - the bash completion offers what rostrix takes at the cursor;
#   - cpack makes a .deb holding the executable, the manual page and the
#     completion (not for a sanitizer build).
# Usage: scripts/docs-check.sh BUILD_DIR   (rostrix and samples/ built there)
# Exit status: 0 when every check passed or was skipped, 1 otherwise.
set -uo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
if [[ $# -ne 1 || ! -x $1/rostrix || ! -d $1/samples ]]; then
  echo "usage: $0 BUILD_DIR (a build directory with rostrix and samples/ built)" >&2
  exit 2
fi
build=$(cd "$1" && pwd)
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
# The examples run as in a usual terminal: UTF-8, with English system error
# texts (where the C.UTF-8 locale is missing, the C locale).
if locale -a 2>/dev/null | grep -qixE 'c\.utf-?8'; then
  export LC_ALL=C.UTF-8
else
  export LC_ALL=C
fi

failures=0
ok() { echo "ok: $*"; }
fail() {
  echo "FAIL: $*"
  failures=$((failures + 1))
}
skip() { echo "skipped: $*"; }

# The date stamped into every written file changes the checksum that -V shows.
mask_checksums() { sed -E 's/Checksum:[0-9a-f]{8}/Checksum:XXXXXXXX/'; }
# Automatic team names are drawn at random: column 10 of a team-script line
# and the name in an "add Team" message.
mask_team_names() {
  awk -F'\t' -v OFS='\t' 'NF == 13 { $10 = "*" } { print }' |
    sed -E 's/^(add Team [0-9]+:).*\(/\1*(/'
}

# Compares the output of one example ($3) with what the document shows ($2);
# $1 names the example, $4 is "vary" when team names may differ.
compare() {
  local name=$1 shown=$2 got=$3 vary=${4-}
  if [[ $vary == vary ]]; then
    mask_checksums <"$shown" | mask_team_names >"$shown.masked"
    mask_checksums <"$got" | mask_team_names >"$got.masked"
  else
    mask_checksums <"$shown" >"$shown.masked"
    mask_checksums <"$got" >"$got.masked"
  fi
  if diff -u --label "$name (shown)" --label "$name (printed)" "$shown.masked" "$got.masked" >"$work/diff"; then
    return 0
  fi
  fail "$name: the output differs from the one shown"
  cat "$work/diff"
  return 1
}

# A scratch copy of a build directory: the executable and the sample saves.
scratch() {
  mkdir -p "$1"
  ln -s "$build/rostrix" "$1/rostrix"
  ln -s "$build/samples" "$1/samples"
}

# --- the manual page renders without warnings --------------------------------
if command -v groff >/dev/null; then
  warnings=$(groff -man -ww -z "$root/docs/rostrix.1" 2>&1)
  if [[ -z $warnings ]]; then
    ok "groff -man -ww renders docs/rostrix.1 without a warning"
  else
    fail "groff -man -ww warns about docs/rostrix.1:"
    echo "$warnings"
  fi
else
  skip "groff is not installed: the manual page is not rendered"
fi

# --- scripts/demo.sh -----------------------------------------------------------
"$root/scripts/demo.sh" --no-build "$build" >"$work/demo.out" 2>&1
status=$?
demo_lines=(
  $'samples/knights.sqd\t0\t1\t1\t0\t4\t2\t7\t'  # -l of a sample
  $'samples/sky.sqd\t4\t1\t'                     # -k of a sample
  $'add Team 3:Dragoons(Skyler)'                 # -m under -V
  $'demo/made.sqd\t2\t6\t1\t7\t4\t8\t7\t'         # -l of the -m result
  $'[Automatic TeamName Enabled]'                # -b -a2 under -V
  $'demo/built.sqd\t0\t0\t4\t1\t5\t2\t3\t'        # -l of the -b result, cells repaired
)
missing=()
for line in "${demo_lines[@]}"; do
  grep -qF -- "$line" "$work/demo.out" || missing+=("$line")
done
if [[ $status -eq 0 && ${#missing[@]} -eq 0 && $(grep -c '^Completed$' "$work/demo.out") -eq 2 ]]; then
  ok "scripts/demo.sh runs the round trip on the sample saves"
else
  fail "scripts/demo.sh: exit status $status; lines missing: ${missing[*]-none}"
  cat "$work/demo.out"
fi

# --- the README's examples -----------------------------------------------------
# Each marked block goes to a numbered file: NNN.run, NNN.output or NNN.vary.
mkdir -p "$work/readme-blocks"
if ! awk -v dir="$work/readme-blocks" '
    /^<!-- docs-check: run -->$/ { mode = "run"; next }
    /^<!-- docs-check: output -->$/ { mode = "output"; next }
    /^<!-- docs-check: output, team names vary -->$/ { mode = "vary"; next }
    /^<!-- docs-check:/ { print "README.md:" NR ": unknown marker"; bad = 1; next }
    mode != "" && !inside {
      if ($0 !~ /^```/) { print "README.md:" NR ": a marker must stand right above a block"; bad = 1; mode = ""; next }
      inside = 1; n++; file = sprintf("%s/%03d.%s", dir, n, mode); printf "" >file; next
    }
    inside && /^```$/ { inside = 0; mode = ""; close(file); next }
    inside { print >file }
    END { exit bad }' "$root/README.md"; then
  fail "README.md: misplaced docs-check markers"
fi
scratch "$work/readme/build"
ln -s "$root/examples" "$work/readme/examples"
ran=0 last= before=$failures
for block in "$work"/readme-blocks/*; do
  [[ -e $block ]] || break
  name="README block $(basename "$block")"
  case $block in
    *.run)
      ran=$((ran + 1))
      last=$block.printed
      (cd "$work/readme/build" && bash -o pipefail "$block") >"$last" 2>&1
      status=$?
      [[ $status -eq 0 ]] || { fail "$name: exit status $status"; cat "$last"; }
      ;;
    *.output | *.vary)
      if [[ -z $last ]]; then
        fail "$name: an output block without a run block before it"
      else
        compare "$name" "$block" "$last" "${block##*.}"
      fi
      last=
      ;;
  esac
done
if [[ $ran -eq 0 ]]; then
  fail "README.md: no example marked to run"
elif [[ $failures -eq $before ]]; then
  ok "README.md: $ran example blocks run and print what is shown"
fi

# --- the manual page's examples ------------------------------------------------
# In EXAMPLES, between .EX and .EE, a line "$ command" is run in one shell
# session; the lines after it, up to the next command, are its output.
mkdir -p "$work/man/bin" "$work/man-examples"
ln -s "$build/rostrix" "$work/man/bin/rostrix"
for sample in "$build"/samples/*.sqd; do ln -s "$sample" "$work/man/"; done
awk -v dir="$work/man-examples" '
    /^\.SH / { examples = ($0 ~ /^\.SH "?EXAMPLES"?$/); next }
    !examples { next }
    /^\.EX/ { inside = 1; next }
    /^\.EE/ { inside = 0; next }
    !inside { next }
    { gsub(/\\&/, ""); gsub(/\\-/, "-"); gsub(/\\\(aq/, "\047"); gsub(/\\\(dq/, "\""); gsub(/\\e/, "\\") }
    /^\$ / { n++; file = sprintf("%s/%03d", dir, n); print substr($0, 3) >(file ".run"); printf "" >(file ".output"); next }
    n { print >(file ".output") }' "$root/docs/rostrix.1"
count=0 before=$failures
for command in "$work"/man-examples/*.run; do
  [[ -e $command ]] || break
  count=$((count + 1))
  shown=${command%.run}.output
  (cd "$work/man" && PATH="$work/man/bin:$PATH" bash -o pipefail "$command") >"$command.printed" 2>&1
  status=$?
  if [[ $status -ne 0 ]]; then
    fail "rostrix.1 example \"$(cat "$command")\": exit status $status"
    cat "$command.printed"
  else
    compare "rostrix.1 example \"$(cat "$command")\"" "$shown" "$command.printed"
  fi
done
if [[ $count -eq 0 ]]; then
  fail "docs/rostrix.1: no example command found in EXAMPLES"
elif [[ $failures -eq $before ]]; then
  ok "docs/rostrix.1: $count example commands run and print what is shown"
fi

# --- the bash completion -------------------------------------------------------
mkdir -p "$work/complete/dir"
touch "$work/complete/a.sqd" "$work/complete/b.txt"
completion_cases=(
  # words before the cursor | what is offered
  "rostrix -a|-a -a4 -a3 -a2"
  "rostrix -l |a.sqd dir"
  "rostrix -V -k a.sqd |a.sqd dir"
  "rostrix -l a.sqd -- |"
  "rostrix -o |a.sqd b.txt dir"
  "rostrix -o -l |-v -h -V -e -a -a4 -a3 -a2 -o -l -k -m -b -rv -rh"
  "rostrix -b |a.sqd b.txt dir"
  "rostrix -v |"
)
bad_completion=0
for case in "${completion_cases[@]}"; do
  line=${case%%|*} want=${case#*|}
  got=$(cd "$work/complete" && bash --norc --noprofile -c '
    source "$1"
    read -ra COMP_WORDS <<<"$2"
    [[ $2 == *" " ]] && COMP_WORDS+=("")
    COMP_CWORD=$((${#COMP_WORDS[@]} - 1))
    _rostrix
    printf "%s\n" "${COMPREPLY[@]}" | sort | paste -s -d " " -' _ "$root/completions/rostrix" "$line" 2>&1)
  want_sorted=$(tr ' ' '\n' <<<"$want" | sed '/^$/d' | sort | paste -s -d ' ' -)
  if [[ $got != "$want_sorted" ]]; then
    fail "completion of \"$line\": offers \"$got\", expected \"$want_sorted\""
    bad_completion=1
  fi
done
[[ $bad_completion -eq 0 ]] && ok "completions/rostrix: ${#completion_cases[@]} command lines complete as rostrix reads them"

# --- the Debian package --------------------------------------------------------
if grep -q '^ROSTRIX_SANITIZE:BOOL=ON' "$build/CMakeCache.txt" 2>/dev/null; then
  skip "a sanitizer build is not packaged"
elif ! command -v cpack >/dev/null || ! command -v dpkg-deb >/dev/null; then
  skip "cpack or dpkg-deb is missing: the package is not built"
elif [[ ! -f $build/CPackConfig.cmake ]]; then
  fail "no CPackConfig.cmake in $build"
elif ! (cd "$build" && cpack -G DEB -B "$work/package") >"$work/cpack.out" 2>&1; then
  fail "cpack -G DEB failed:"
  cat "$work/cpack.out"
else
  deb=$(ls "$work"/package/rostrix_*.deb 2>/dev/null | head -n 1)
  contents=$(dpkg-deb -c "$deb" 2>&1 | awk '{ print $NF }')
  missing=()
  # The manual page is gzipped where the build found gzip.
  for path in './usr/bin/rostrix' './usr/share/man/man1/rostrix\.1(\.gz)?' \
    './usr/share/bash-completion/completions/rostrix'; do
    grep -qxE "$path" <<<"$contents" || missing+=("$path")
  done
  package=$(dpkg-deb -f "$deb" Package 2>/dev/null)
  depends=$(dpkg-deb -f "$deb" Depends 2>/dev/null)
  # A dynamically linked executable needs the C library named in Depends; a
  # statically linked one needs nothing.
  dynamic=false
  if command -v readelf >/dev/null &&
    dpkg-deb --fsys-tarfile "$deb" | tar -xOf - ./usr/bin/rostrix >"$work/packaged-rostrix" &&
    readelf -d "$work/packaged-rostrix" 2>/dev/null | grep -q NEEDED; then
    dynamic=true
  fi
  if $dynamic && [[ $depends != *libc6* ]]; then
    missing+=("libc6 in Depends")
  fi
  if [[ -n $deb && ${#missing[@]} -eq 0 && $package == rostrix ]]; then
    ok "cpack -G DEB: $(basename "$deb") installs rostrix, its manual page and its completion"
  else
    fail "package ${deb:-(none)}: Package '$package', Depends '$depends', missing: ${missing[*]-none}"
    echo "$contents"
  fi
fi

if [[ $failures -ne 0 ]]; then
  echo "docs-check: $failures check(s) failed"
  exit 1
fi
echo "docs-check: all checks passed"
