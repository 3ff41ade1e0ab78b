#!/usr/bin/env bash
# Builds the number-reading fuzzer with clang++ (libFuzzer, ASan, UBSan) and
# runs it for a bounded time on the committed seeds. New inputs that the run
# finds go to a scratch corpus in the work folder, never into the seeds.
#   run-fuzz.sh [WORK_FOLDER] [SECONDS]
set -euo pipefail
here=$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)
root=$(cd "$here/../../.." && pwd)
work=${1:-$root/build/fuzz}
seconds=${2:-20}
compiler=${CLANGXX:-clang++}

mkdir -p "$work/corpus"
"$compiler" -std=c++20 -O1 -g -fsanitize=fuzzer,address,undefined -fno-sanitize-recover=all \
  -Wall -Wextra -Wpedantic -Wshadow -Wconversion -Wsign-conversion -Wold-style-cast -Werror \
  -I"$root/runtime/portable" \
  "$here/number_text_fuzz.cpp" "$root/runtime/portable/NumberText.cpp" "$root/runtime/portable/DecimalConversion.cpp" \
  "$root/runtime/portable/Checked.cpp" "$root/runtime/portable/Failure.cpp" -o "$work/number_text_fuzz"

cd "$work"
./number_text_fuzz -max_total_time="$seconds" -max_len=2048 -timeout=10 -print_final_stats=1 \
  corpus "$here/corpus"
