#!/usr/bin/env bash
# The production line's two measures, through veltrane-cli station on
# simulated keyboards (NIRVEX_DEVICE=simdir:DIR):
#  1. Throughput on paced firmware (product=V0412X, real time): 8 keyboards
#     plugged in at once against one alone; the goal is at most 1.25 x.
#  2. 100 keyboards plugged in one after another (virtual time), the station
#     restarted after 50: 100 rows, 100 distinct consecutive serials, each
#     keyboard's memory holding its own serial at 0x630, no serial twice.
# usage: bench/station_measures.sh [path/to/veltrane-cli]
set -euo pipefail
cli=$(realpath "${1:-build/cli/veltrane-cli}")
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
cd "$work"

fail() { echo "FAILED: $*" >&2; exit 1; }
now() { date +%s.%N; }

head -c 8192 /dev/zero | tr '\0' '\377' >erased.BIN
"$cli" decode erased.BIN --version-text V0412X -o line.DAT >/dev/null 2>&1 || fail "no definition"

# Seconds from start to exit of a station that programs N keyboards plugged in at once.
batch() {  # n
  local n=$1 dir=$work/batch$1 start end
  mkdir "$dir"
  for i in $(seq 1 "$n"); do : >"$dir/k$i.sim"; done
  start=$(now)
  NIRVEX_DEVICE=simdir:$dir,product=V0412X "$cli" station line.DAT --serial B0001 --count "$n" \
    --log "$dir.csv" 2>/dev/null || fail "the batch of $n did not pass"
  end=$(now)
  awk -v s="$start" -v e="$end" 'BEGIN { printf "%.2f", e - s }'
}

echo "== throughput on paced firmware (product=V0412X, real time)"
one=$(batch 1)
eight=$(batch 8)
longest=$(tail -n +2 "$work/batch8.csv" | awk -F, '$7 > m { m = $7 } END { print m }')
alone=$(tail -n +2 "$work/batch1.csv" | awk -F, '{ print $7 }')
echo "1 keyboard:  ${one} s for the run, ${alone} s for the keyboard"
echo "8 keyboards: ${eight} s for the run, ${longest} s for the slowest keyboard"
awk -v a="$one" -v b="$eight" 'BEGIN { r = b / a; printf "ratio %.3f (goal at most 1.25; one after another: 8)\n", r; exit r > 1.25 }' ||
  fail "8 keyboards took more than 1.25 x one"

# Plugs keyboards first..last one after another into a station that handles
# them, each unplugged (moved to done/) once its row is in the log.
shift_of() {  # first last
  local first=$1 last=$2 dir=$work/line pid rows
  NIRVEX_DEVICE=simdir:$dir,time=virtual,product=V0412X "$cli" station line.DAT \
    --serial SN000001 --count $((last - first + 1)) --log hundred.csv 2>>stations.err &
  pid=$!
  for i in $(seq "$first" "$last"); do
    name=$(printf 'k%03d.sim' "$i")
    : >"$dir/$name"
    for _ in $(seq 1 600); do
      rows=$(($(wc -l <hundred.csv 2>/dev/null || echo 1) - 1))
      [ "$rows" -ge "$i" ] && break
      sleep 0.05
    done
    [ "$rows" -ge "$i" ] || { kill "$pid"; fail "no row for keyboard $i"; }
    mv "$dir/$name" done/
  done
  wait "$pid" || fail "the station for keyboards $first..$last did not pass"
}

echo "== 100 keyboards one after another (virtual time), restart after 50"
mkdir line done
start=$(now)
shift_of 1 50
shift_of 51 100
end=$(now)
rows=$(tail -n +2 hundred.csv | wc -l)
passed=$(tail -n +2 hundred.csv | awk -F, '$5 == "PASS"' | wc -l)
distinct=$(tail -n +2 hundred.csv | cut -d, -f4 | sort -u | wc -l)
expected=$(for i in $(seq 1 100); do printf 'SN%06d\n' "$i"; done)
consecutive=no
[ "$(tail -n +2 hundred.csv | cut -d, -f4 | sort)" = "$expected" ] && consecutive=yes
held=0
while IFS=, read -r _ identity _ serial _; do
  in_memory=$(dd if="done/$(basename "$identity")" bs=1 skip=$((8 + 0x630)) count=31 2>/dev/null |
    tr -d '\000\377')
  [ "$in_memory" = "$serial" ] && held=$((held + 1))
done < <(tail -n +2 hundred.csv)
echo "rows $rows, PASS $passed, distinct serials $distinct, consecutive SN000001..SN000100 $consecutive"
echo "keyboards holding their own serial at 0x630: $held; repeats: $((rows - distinct))"
awk -v s="$start" -v e="$end" 'BEGIN { printf "%.1f s for 100 keyboards, restart included\n", e - s }'
[ "$rows" -eq 100 ] && [ "$passed" -eq 100 ] && [ "$distinct" -eq 100 ] &&
  [ "$consecutive" = yes ] && [ "$held" -eq 100 ] || fail "the 100 keyboards"
echo "station measures: all met"
