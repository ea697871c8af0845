#!/usr/bin/env bash
# Runs fuzz campaigns: `fuzz.sh TARGET SECONDS [RUNS]` runs one libFuzzer
# target for SECONDS (or RUNS executions, whichever ends first); `fuzz.sh all
# SECONDS [RUNS]` runs every target in turn. Builds the fuzz preset first.
# Each campaign starts from the committed seeds in fuzz/corpus/TARGET and
# grows a working corpus under build/fuzz/campaign/TARGET (never committed).
# A finding stops the script with a failure and prints the input as hex.
set -euo pipefail
cd "$(dirname "$0")/.."

targets=(text_fuzz numbers_fuzz five_star_fuzz url_fuzz dsr_fuzz announcement_fuzz fetch_fuzz)
target=${1:?usage: fuzz.sh TARGET|all SECONDS [RUNS]}
seconds=${2:?usage: fuzz.sh TARGET|all SECONDS [RUNS]}
runs=${3:--1}
jobs=${FUZZ_BUILD_JOBS:-$(nproc)}

if [[ "$target" == all ]]; then
  selected=()
  for t in "${targets[@]}"; do
    [[ -d fuzz/corpus/$t ]] && selected+=("$t")
  done
else
  selected=("$target")
fi

cmake --preset fuzz >/dev/null
cmake --build --preset fuzz -j"$jobs" --target "${selected[@]}"

for t in "${selected[@]}"; do
  binary=$(find build/fuzz -type f -name "$t" -perm -u+x | head -n 1)
  [[ -n "$binary" ]] || { echo "no binary for $t" >&2; exit 1; }
  work=build/fuzz/campaign/$t
  artifacts=build/fuzz/artifacts/$t
  rm -rf "$artifacts"
  mkdir -p "$work" "$artifacts"
  options=(-max_total_time="$seconds" -runs="$runs" -print_final_stats=1 -timeout=10
           -artifact_prefix="$artifacts/")
  [[ -f fuzz/$t.dict ]] && options+=(-dict="fuzz/$t.dict")
  [[ -f fuzz/$t.options ]] && read -r -a extra < "fuzz/$t.options" && options+=("${extra[@]}")
  echo "== $t for ${seconds}s"
  if ! "$binary" "${options[@]}" "$work" "fuzz/corpus/$t"; then
    for f in "$artifacts"/*; do
      [[ -f "$f" ]] || continue
      echo "== finding of $t: $f (hex)"
      od -An -tx1 -v "$f"
    done
    exit 1
  fi
done
