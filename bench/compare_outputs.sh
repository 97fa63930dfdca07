#!/usr/bin/env bash
# Checks that two pallisk builds write byte-identical results, for performance work:
#   bench/compare_outputs.sh OLD_PALLISK NEW_PALLISK FILE_OR_DIR...
# Every .bmp given (directories are searched) is run through both at thresholds -1, 0, 30 and
# 765, whole and cut short at several points (inside the headers, the palette and the rows), so
# that short and hostile files are covered as well as whole ones. Prints the first difference
# and exits 1 when any result or exit status differs.
set -euo pipefail
old=$1 new=$2
shift 2
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
files=()
while IFS= read -r f; do files+=("$f"); done < <(find "$@" -name '*.bmp' -type f | sort)

checked=0
run_both() {  # source threshold label
  local rc_old=0 rc_new=0
  rm -f "$work/old.bmp" "$work/new.bmp"
  "$old" "$1" "$work/old.bmp" "$2" >/dev/null 2>&1 || rc_old=$?
  "$new" "$1" "$work/new.bmp" "$2" >/dev/null 2>&1 || rc_new=$?
  if [ "$rc_old" != "$rc_new" ]; then
    echo "DIFFERENT exit status ($rc_old, $rc_new): $3 threshold $2"
    exit 1
  fi
  if [ -e "$work/old.bmp" ] || [ -e "$work/new.bmp" ]; then
    if ! cmp -s "$work/old.bmp" "$work/new.bmp"; then
      echo "DIFFERENT result: $3 threshold $2"
      cmp "$work/old.bmp" "$work/new.bmp" | head -1 || true
      exit 1
    fi
  fi
  checked=$((checked + 1))
}

for f in "${files[@]}"; do
  for t in -1 0 30 765; do run_both "$f" "$t" "$f"; done
  size=$(stat -c %s "$f")
  for cut in 2 40 60 100 1100 $((size / 3)) $((size / 2 + 1)) $((size - 1)); do
    [ "$cut" -lt "$size" ] || continue
    head -c "$cut" "$f" >"$work/short.bmp"
    run_both "$work/short.bmp" 30 "$f cut at $cut bytes"
  done
done
echo "identical: $checked runs over ${#files[@]} files"
