#!/usr/bin/env bash
# Whole-process benchmark: bench/run.sh [RUNS]   (RUNS per command, default 7)
# Builds the bench preset, writes the benchmark scene at every depth (4000x3000 and 1000x1000)
# and times, on the same files and in one run, `pallisk SOURCE TARGET 30` and one call of the
# exported Pallisk (bench/call_pallisk.cpp) against `cp` (the
# floor) and against the round trip (decode, encode at the same depth) of ImageMagick's
# /usr/bin/convert and of Pillow. Prints medians, the ratios against their targets, pallisk's peak
# resident memory, how the cost grows from 1000x1000 to 4000x3000, and batch mode on one and two
# cores, as a Markdown table (also left in $KORVEL_BENCH_DIR/results.md).
set -euo pipefail
cd "$(dirname "$0")/.."
runs=${1:-7}
work=${KORVEL_BENCH_DIR:-/tmp/korvel-bench}

tools/install-packages.sh cmake g++ make libbenchmark-dev hyperfine imagemagick python3-pil time

cmake --preset bench >/dev/null
cmake --build --preset bench -j"$(nproc)" >/dev/null
pallisk=$PWD/build/bench/cli/pallisk
call=$PWD/build/bench/bench/call_pallisk  # the exported Pallisk, without the command's file handling
convert=/usr/bin/convert  # not whatever convert comes first on PATH
python=/usr/bin/python3

mkdir -p "$work/pictures" "$work/out" "$work/json" "$work/batch-out"
generator=build/bench/bench/make_pictures
for size in "4000 3000" "1000 1000"; do
  set -- $size
  last=$work/pictures/picture_$1x$2_32.bmp
  if [ ! -e "$last" ] || [ "$generator" -nt "$last" ]; then
    echo "writing the $1x$2 pictures" >&2
    "$generator" "$work/pictures" "$1" "$2" >/dev/null
  fi
done

for size in 4000x3000 1000x1000; do
  for depth in 1 4 8 16 24 32; do
    src=$work/pictures/picture_${size}_$depth.bmp
    cmds=(-n cp "cp $src $work/out/cp.bmp" -n pallisk "$pallisk $src $work/out/pallisk.bmp 30"
      -n call "$call $src $work/out/call.bmp 30")
    if [ "$size" = 4000x3000 ]; then
      # BMP3 has no 32-bit form in ImageMagick; its BMP (v5) writer keeps alpha at 32 bits.
      case $depth in
        16) im="$convert $src -define bmp:subtype=RGB565 -compress None BMP3:$work/out/im.bmp" ;;
        32) im="$convert $src -alpha on -compress None BMP:$work/out/im.bmp" ;;
        *) im="$convert $src -compress None BMP3:$work/out/im.bmp" ;;
      esac
      cmds+=(-n imagemagick "$im" -n pillow "$python bench/pillow_roundtrip.py $src $work/out/pil.bmp")
    fi
    echo "timing $size at $depth bits" >&2
    hyperfine -N --style none --warmup 2 --runs "$runs" \
      --export-json "$work/json/${size}_$depth.json" "${cmds[@]}" >/dev/null 2>>"$work/hyperfine.log"
    if [ "$size" = 4000x3000 ]; then
      peak=0
      for _ in 1 2 3; do
        kib=$(/usr/bin/time -f %M "$pallisk" "$src" "$work/out/pallisk.bmp" 30 2>&1 >/dev/null)
        [ "$kib" -gt "$peak" ] && peak=$kib
      done
      echo "$peak" >"$work/json/${size}_$depth.rss"
    fi
  done
done

# Batch mode: twelve pictures (every depth, twice) on one core and on two.
batch=()
for depth in 1 4 8 16 24 32; do
  for copy in a b; do
    ln -sf "$work/pictures/picture_4000x3000_$depth.bmp" "$work/pictures/batch_${depth}_$copy.bmp"
    batch+=("$work/pictures/batch_${depth}_$copy.bmp")
  done
done
echo "timing batch mode" >&2
hyperfine -N --style none --warmup 1 --runs "$runs" --export-json "$work/json/batch.json" \
  -n "one core" "$pallisk --out-dir $work/batch-out -j 1 30 ${batch[*]}" \
  -n "two cores" "$pallisk --out-dir $work/batch-out -j 2 30 ${batch[*]}" >/dev/null 2>>"$work/hyperfine.log"

commit=$(git rev-parse --short HEAD)
compiler=$(sed -n 's/^CMAKE_CXX_COMPILER:[A-Z]*=//p' build/bench/CMakeCache.txt)
"$python" bench/summarise.py "$work" "$commit" "$("$compiler" --version | head -1)" |
  tee "$work/results.md"
