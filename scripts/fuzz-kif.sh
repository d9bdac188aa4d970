#!/bin/bash
# Runs the KIF reader fuzzer at low priority, then merges what it found into the kept corpus
# (tests/fuzz/kif_corpus), which app_tests replays with every build.
#   scripts/fuzz-kif.sh [SECONDS]      default 600
set -euo pipefail
cd "$(dirname "$0")/.."
seconds=${1:-600}
cmake -S . -B build >/dev/null
cmake --build build --target kif_read_fuzzer
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
mkdir -p "$work/found" "$work/merged"
cp tests/fuzz/kif_corpus/* "$work/found/" 2>/dev/null || true
nice -n 19 build/bin/kif_read_fuzzer -max_total_time="$seconds" -max_len=4096 -timeout=10 -rss_limit_mb=2048 \
  -dict=tests/fuzz/kif.dict -print_final_stats=1 "$work/found" tests/fuzz/seeds tests/kif/files
# Keep the smallest set of found inputs that adds edges beyond the hand-made seeds: merge into a
# directory that starts with the seeds, then leave the seeds out.
cp tests/fuzz/seeds/* "$work/merged/"
nice -n 19 build/bin/kif_read_fuzzer -merge=1 -use_counters=0 -max_len=4096 "$work/merged" "$work/found"
for seed in tests/fuzz/seeds/*; do rm -f "$work/merged/$(basename "$seed")"; done
rm -f tests/fuzz/kif_corpus/*
cp "$work/merged"/* tests/fuzz/kif_corpus/
echo "kept $(ls tests/fuzz/kif_corpus | wc -l) inputs in tests/fuzz/kif_corpus"
