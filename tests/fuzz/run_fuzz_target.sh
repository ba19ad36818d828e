#!/bin/sh
# Runs one fuzz target for CTest and scripts/fuzz.
#   run_fuzz_target.sh replay  <binary> <corpus> <work>            every seed once
#   run_fuzz_target.sh bounded <binary> <corpus> <work> <inputs>   fixed seed and input count
#   run_fuzz_target.sh timed   <binary> <corpus> <work> <seconds>  as long as asked
# New inputs go to <work>/new and findings to <work>/findings, never into the corpus in git.
# A dictionary <corpus>.dict (the format's words, one "..." a line) is used when there is one.
# The targets' own output (bad data is reported on standard error and output) is dropped while
# fuzzing; libFuzzer and the sanitizers keep their own copy of standard error for findings.
set -eu
mode=$1 binary=$2 corpus=$3 work=$4
# CI's runs start from nothing each time, so a commit always does the same work; longer runs
# keep what they found for the next one.
if [ "$mode" != timed ]; then rm -rf "$work"; fi
mkdir -p "$work/new" "$work/findings"
common="-timeout=25 -rss_limit_mb=2560 -artifact_prefix=$work/findings/"
if [ -f "$corpus.dict" ]; then common="$common -dict=$corpus.dict"; fi
case "$mode" in
  replay)
    # shellcheck disable=SC2086
    exec "$binary" $common -close_fd_mask=3 "$corpus"/*
    ;;
  bounded)
    # Without address randomisation the comparisons libFuzzer learns from (pointers among them)
    # repeat from run to run, so the same seed explores the same way.
    norandom=""
    if setarch "$(uname -m)" -R true 2>/dev/null; then norandom="setarch $(uname -m) -R"; fi
    # shellcheck disable=SC2086
    exec $norandom "$binary" $common -close_fd_mask=3 -seed=1 -runs="$5" -print_final_stats=1 "$work/new" "$corpus"
    ;;
  timed)
    # shellcheck disable=SC2086
    exec "$binary" $common -close_fd_mask=3 -max_total_time="$5" -print_final_stats=1 "$work/new" "$corpus"
    ;;
  *)
    echo "run_fuzz_target.sh: unknown mode $mode" >&2
    exit 2
    ;;
esac
