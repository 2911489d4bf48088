#!/usr/bin/env bash
# The project's own mutation run: plants one fault at a time in the engine, the platform layer
# or the command line and asks whether the engine and command-line suites notice.
#
#   scripts/mutation.sh [-j JOBS] [-s SHARDS] [-t SECONDS] [-d SCRATCH] [-n] [PATCH...]
#
# Each scripts/mutants/*.patch (or each PATCH named) is a one-line change in the form of a
# unified diff (`patch -p1`); text above its first "---" line says what it plants. The run
# copies the tree (without build folders and .git) into a scratch folder, kept between runs so
# that builds stay incremental (default: $TMPDIR/pairscout-mutation-$USER), builds and runs
# the unchanged suites once (they must pass), then per mutant: applies the patch, builds
# engine_tests (and pairscout-cli when the patch is under cli/), runs engine_tests with a
# timeout (a hang counts as caught; the suite runs as SHARDS processes side by side, default 3:
# most of its time is spent waiting), and puts the file back. -n only prepares the scratch build
# and checks the unchanged suites. It prints one line per mutant:
#   caught | survived | did-not-apply | did-not-build | equivalent
# and the score: caught / (caught + survived). Mutants named in scripts/mutants/EQUIVALENT.md
# (a line "- name.patch: why") are equivalent: reported, not run, not counted.
#
# Mutants of the window's code are kept in scripts/mutants/window/: this driver builds without
# the window, so they are run by hand (apply, build gui_tests, run it under Xvfb, put back).
#
# CPU-heavy (one build and one suite run per mutant): run it on demand, not in CI, e.g.
#   nice scripts/mutation.sh > mutation.log 2>&1 &
# Exit status: 0 when no mutant survived, 1 when one did, 2 when the run could not start.
set -u

here=$(cd "$(dirname "$0")" && pwd)
root=$(cd "$here/.." && pwd)
jobs=1
shards=3
prepare_only=0
timeout_s=""
scratch="${TMPDIR:-/tmp}/pairscout-mutation-${USER:-$(id -u)}"
while getopts "j:s:t:d:nh" opt; do
  case $opt in
    j) jobs=$OPTARG ;;
    s) shards=$OPTARG ;;
    n) prepare_only=1 ;;
    t) timeout_s=$OPTARG ;;
    d) scratch=$OPTARG ;;
    *) sed -n '2,25p' "$0"; exit 2 ;;
  esac
done
shift $((OPTIND - 1))
if [ $# -gt 0 ]; then
  patches=("$@")
else
  patches=("$root"/scripts/mutants/*.patch)
fi
[ -e "${patches[0]}" ] || { echo "no mutants found" >&2; exit 2; }

src="$scratch/src"
build="$scratch/build"
logs="$scratch/logs"
mkdir -p "$src" "$build" "$logs" || exit 2

# Copies the tree into the scratch folder, only the files whose bytes differ (with a new time,
# so that make rebuilds them); unchanged files keep their time and their objects.
sync_tree() {
  (cd "$root" && find . \( -path './build*' -o -path './.git' \) -prune -o -type f -print) |
    while IFS= read -r f; do
      if ! cmp -s "$root/$f" "$src/$f"; then
        mkdir -p "$(dirname "$src/$f")" && cp "$root/$f" "$src/$f"
      fi
    done
}

# One target at a time: make given two targets at once may link a shared one twice side by
# side, and the test discovery then runs a file the other link is still writing.
build_targets() {  # targets...
  local t
  for t in "$@"; do cmake --build "$build" -j"$jobs" --target "$t" || return; done
}

# Runs engine_tests in $shards processes side by side; the first failure stops the others.
# Returns 0, or the status of the shard that failed first (124: timed out).
run_suite() {  # seconds log
  local pids=() rc=0 r k
  for ((k = 0; k < shards; k++)); do
    (cd "$build/tests" && exec env GTEST_TOTAL_SHARDS=$shards GTEST_SHARD_INDEX=$k \
      timeout -k 10 "$1" ./engine_tests --gtest_brief=1 --gtest_fail_fast) > "$2.$k" 2>&1 &
    pids+=($!)
  done
  # Polled rather than `wait -n`: a shard killed after another failed may already be reaped,
  # and waiting for it by name then fails.
  local left=("${pids[@]}")
  while [ ${#left[@]} -gt 0 ]; do
    local rest=() q
    for q in "${left[@]}"; do
      if kill -0 "$q" 2> /dev/null; then
        rest+=("$q")
        continue
      fi
      wait "$q" 2> /dev/null
      r=$?
      if [ $r -ne 0 ] && [ $r -ne 127 ] && [ $rc -eq 0 ]; then rc=$r; fi
    done
    left=("${rest[@]}")
    if [ $rc -ne 0 ] && [ ${#left[@]} -gt 0 ]; then kill "${left[@]}" 2> /dev/null; fi
    [ ${#left[@]} -eq 0 ] || sleep 0.2
  done
  wait 2> /dev/null
  cat "$2".* > "$2" && rm -f "$2".*
  return $rc
}

echo "scratch: $scratch"
sync_tree
if [ ! -f "$build/CMakeCache.txt" ]; then
  launcher=()
  command -v ccache > /dev/null && launcher=(-DCMAKE_CXX_COMPILER_LAUNCHER=ccache)
  cmake -S "$src" -B "$build" -DCMAKE_BUILD_TYPE=RelWithDebInfo -DPAIRSCOUT_GUI=OFF \
    -DPAIRSCOUT_BENCH=OFF "${launcher[@]}" > "$logs/configure.log" 2>&1 ||
    { echo "configure failed: $logs/configure.log" >&2; exit 2; }
fi
if ! build_targets engine_tests pairscout-cli > "$logs/baseline-build.log" 2>&1; then
  echo "the unchanged tree does not build: $logs/baseline-build.log" >&2
  exit 2
fi
start=$(date +%s)
if ! run_suite 1800 "$logs/baseline.log"; then
  echo "the unchanged suites fail: $logs/baseline.log" >&2
  exit 2
fi
took=$(( $(date +%s) - start ))
[ -n "$timeout_s" ] || timeout_s=$(( took * 3 + 60 ))
echo "baseline: suites pass in ${took}s; timeout per mutant ${timeout_s}s"
[ $prepare_only -eq 0 ] || exit 0

equivalent_list="$root/scripts/mutants/EQUIVALENT.md"
backup="$scratch/backup"
current_files=()
restore() {
  for f in "${current_files[@]}"; do
    [ -f "$backup/$f" ] && cp "$backup/$f" "$src/$f" && touch "$src/$f"
  done
  current_files=()
}
trap 'restore; exit 2' INT TERM

caught=0 survived=0 unapplied=0 unbuilt=0 equivalent=0
survivors=()
for p in "${patches[@]}"; do
  name=$(basename "$p")
  if [ -f "$equivalent_list" ] && grep -q -- "^- $name:" "$equivalent_list"; then
    printf '%-48s equivalent\n' "$name"
    equivalent=$((equivalent + 1))
    continue
  fi
  mapfile -t current_files < <(sed -n 's#^+++ [ab]/\([^[:space:]]*\).*#\1#p' "$p")
  if [ ${#current_files[@]} -eq 0 ] ||
     ! (cd "$src" && patch -p1 -F0 --dry-run -s < "$p") > "$logs/$name.apply" 2>&1; then
    printf '%-48s did-not-apply\n' "$name"
    unapplied=$((unapplied + 1))
    current_files=()
    continue
  fi
  rm -rf "$backup" && mkdir -p "$backup"
  for f in "${current_files[@]}"; do
    mkdir -p "$(dirname "$backup/$f")" && cp "$src/$f" "$backup/$f"
  done
  (cd "$src" && patch -p1 -F0 -s --no-backup-if-mismatch < "$p") > "$logs/$name.apply" 2>&1
  targets=(engine_tests)
  for f in "${current_files[@]}"; do
    case $f in cli/*) targets+=(pairscout-cli) ;; esac
  done
  if ! build_targets "${targets[@]}" > "$logs/$name.build" 2>&1; then
    printf '%-48s did-not-build\n' "$name"
    unbuilt=$((unbuilt + 1))
  else
    run_suite "$timeout_s" "$logs/$name.run"
    rc=$?
    if [ $rc -eq 0 ]; then
      printf '%-48s survived\n' "$name"
      survived=$((survived + 1))
      survivors+=("$name")
    else
      how="fails"
      [ $rc -eq 124 ] || [ $rc -eq 137 ] && how="hangs"
      first=$(grep -m1 '^\[  FAILED  \]' "$logs/$name.run" | sed 's/^\[  FAILED  \] //')
      printf '%-48s caught (%s%s)\n' "$name" "$how" "${first:+: $first}"
      caught=$((caught + 1))
    fi
  fi
  restore
done
trap - INT TERM
# Leaves the scratch build matching the tree again.
build_targets engine_tests pairscout-cli > "$logs/final-build.log" 2>&1

counted=$((caught + survived))
echo "mutants: ${#patches[@]}; caught $caught, survived $survived, equivalent $equivalent," \
     "did not apply $unapplied, did not build $unbuilt"
if [ $counted -gt 0 ]; then
  echo "score: $caught/$counted = $(( caught * 1000 / counted / 10 )).$(( caught * 1000 / counted % 10 ))%"
fi
[ ${#survivors[@]} -eq 0 ] || echo "survivors: ${survivors[*]}"
[ $survived -eq 0 ]
