#!/usr/bin/env bash
# Usage: run_fuzz.sh FUZZER REPO_ROOT WORKDIR
# Seeds a scratch corpus in WORKDIR (never in the repository) and fuzzes for
# $ASG_FUZZ_SECONDS seconds (default 30) with memory caps.
set -euo pipefail
fuzzer=$1 root=$2 work=$3
seconds=${ASG_FUZZ_SECONDS:-30}
rm -rf "$work"
mkdir -p "$work/corpus" "$work/demo" "$work/artifacts"

python3 "$root/scripts/make_demo_sprites.py" "$work/demo" >/dev/null
cp "$work/demo"/* "$work/corpus/"
python3 "$root/tests/fuzz/make_seeds.py" "$work/corpus"

"$fuzzer" "$work/corpus" -max_total_time="$seconds" -rss_limit_mb=2048 -malloc_limit_mb=256 \
  -timeout=10 -max_len=65536 -print_final_stats=1 -artifact_prefix="$work/artifacts/" 2>&1 | tail -n 60
