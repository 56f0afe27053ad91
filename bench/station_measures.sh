#!/usr/bin/env bash
# SPDX-License-Identifier: MIT
# The production line's measures, through veltrane-cli station on simulated
# keyboards (NIRVEX_DEVICE=simdir:DIR):
#  1. Throughput on paced firmware (product=V0412X, real time): 8 keyboards
#     plugged in at once against one alone; the goal is at most 1.25 x.
#  2. A line on one PostgreSQL server (a throwaway cluster, socket only):
#     4 station processes, 16 paced keyboards each: 64 PASS, 64 distinct
#     consecutive serials, the run at most 1.25 x one keyboard's time.
#  3. The same with SQLite and one station of 64 keyboards.
#  4. Reserve + commit per keyboard on PostgreSQL over the socket and on
#     SQLite (bench_station_store; goals 5 ms and 2 ms).
#  5. 200 keyboards across restarts and kill -9 at random points (virtual
#     time): 0 duplicate serials, 0 keyboards programmed twice, 0 PASS rows
#     whose keyboard does not hold their serial.
# usage: bench/station_measures.sh [path/to/veltrane-cli]
set -euo pipefail
cli=$(realpath "${1:-build/cli/veltrane-cli}")
store_bench=$(dirname "$cli")/../bench/bench_station_store
work=$(mktemp -d)
pg_pid=""
cleanup() {
  [ -n "$pg_pid" ] && kill -INT "$pg_pid" 2>/dev/null && wait "$pg_pid" 2>/dev/null
  rm -rf "$work"
}
trap cleanup EXIT
cd "$work"

fail() { echo "FAILED: $*" >&2; exit 1; }
now() { date +%s.%N; }
ratio_at_most() {  # value base goal what
  awk -v a="$1" -v b="$2" -v g="$3" -v w="$4" \
    'BEGIN { r = a / b; printf "%s: ratio %.3f (goal at most %.2f)\n", w, r, g; exit r > g }'
}

head -c 8192 /dev/zero | tr '\0' '\377' >erased.BIN
"$cli" decode erased.BIN --version-text V0412X -o line.DAT >/dev/null 2>&1 || fail "no definition"

# Seconds from start to exit of a station that programs N keyboards plugged in at once.
batch() {  # n name [station options...]
  local n=$1 name=$2 dir=$work/$2 start end
  shift 2
  mkdir -p "$dir"
  for i in $(seq 1 "$n"); do : >"$dir/k$i.sim"; done
  start=$(now)
  NIRVEX_DEVICE=simdir:$dir,product=V0412X "$cli" station line.DAT --serial B0001 --count "$n" \
    --log "$dir.csv" "$@" 2>"$dir.err" || fail "the batch $name did not pass: $(tail -3 "$dir.err")"
  end=$(now)
  awk -v s="$start" -v e="$end" 'BEGIN { printf "%.2f", e - s }'
}

echo "== throughput on paced firmware (product=V0412X, real time)"
one=$(batch 1 one --db one.sqlite)
eight=$(batch 8 eight --db eight.sqlite)
echo "1 keyboard:  ${one} s for the run; 8 keyboards: ${eight} s"
ratio_at_most "$eight" "$one" 1.25 "8 keyboards against one" || fail "8 keyboards took more than 1.25 x one"

echo "== one station, 64 keyboards, SQLite"
sixty_four=$(batch 64 sqlite64 --db sqlite64.sqlite)
serials=$(tail -n +2 sqlite64.csv | awk -F, '$5 == "PASS" { print $4 }' | sort -u | wc -l)
echo "64 keyboards: ${sixty_four} s, $serials distinct PASS serials"
[ "$serials" -eq 64 ] || fail "64 keyboards on SQLite"
ratio_at_most "$sixty_four" "$one" 1.25 "64 keyboards against one" || fail "64 keyboards on SQLite"

echo "== a line of 4 stations on one PostgreSQL server, 16 keyboards each"
pg_bin=$(ls -d /usr/lib/postgresql/*/bin 2>/dev/null | sort -V | tail -1)
[ -n "$pg_bin" ] || fail "PostgreSQL is not installed (./dev installs it)"
as_postgres=()
if [ "$(id -u)" -eq 0 ]; then
  as_postgres=(setpriv --reuid=postgres --regid=postgres --clear-groups)
  chown postgres: "$work"
fi
port=$(python3 -c 'import socket; s=socket.socket(); s.bind(("127.0.0.1", 0)); print(s.getsockname()[1])' 2>/dev/null || echo 55432)
"${as_postgres[@]}" "$pg_bin/initdb" -D "$work/pg" -U veltrane -A trust -N >"$work/initdb.log" 2>&1 ||
  fail "initdb: $(tail -3 "$work/initdb.log")"
"${as_postgres[@]}" "$pg_bin/postgres" -D "$work/pg" -k "$work" -p "$port" -c listen_addresses= \
  >"$work/pg.log" 2>&1 &
pg_pid=$!
db="host=$work port=$port user=veltrane dbname=postgres"
for _ in $(seq 1 100); do "$pg_bin/pg_isready" -q -h "$work" -p "$port" && break; sleep 0.1; done
"$pg_bin/pg_isready" -q -h "$work" -p "$port" || fail "the server did not start: $(tail -3 "$work/pg.log")"
for s in 1 2 3 4; do
  mkdir "line$s"
  for i in $(seq 1 16); do : >"line$s/k$i.sim"; done
done
start=$(now)
pids=()
for s in 1 2 3 4; do
  NIRVEX_DEVICE=simdir:$work/line$s,product=V0412X "$cli" station line.DAT --serial L0001 \
    --count 16 --db "$db" --station "station-$s" --log "line$s.csv" 2>"line$s.err" &
  pids+=($!)
done
for p in "${pids[@]}"; do wait "$p" || fail "a station of the line did not pass"; done
line=$(awk -v s="$start" -v e="$(now)" 'BEGIN { printf "%.2f", e - s }')
passed=$(cat line?.csv | awk -F, '$5 == "PASS" { print $4 }' | sort -u)
expected=$(for i in $(seq 1 64); do printf 'L%04d\n' "$i"; done)
echo "4 x 16 keyboards: ${line} s, $(echo "$passed" | wc -l) distinct PASS serials"
[ "$passed" = "$expected" ] || fail "the line's serials are not L0001..L0064 once each"
ratio_at_most "$line" "$one" 1.25 "the line against one keyboard" || fail "the line took too long"

echo "== reserve + commit per keyboard"
if [ -x "$store_bench" ]; then
  VELTRANE_STORE="$db" "$store_bench" --benchmark_min_time=2 2>/dev/null | grep ReserveAndCommit |
    awk '{ printf "PostgreSQL over the socket: %s ms (goal under 5)\n", $2 }'
  TMPDIR=$work "$store_bench" --benchmark_min_time=2 2>/dev/null | grep ReserveAndCommit |
    awk '{ printf "SQLite: %s ms (goal under 2; the reservation is synced, so the disk fsync bounds it)\n", $2 }'
else
  echo "(bench_station_store not built: skipped)"
fi

echo "== 200 keyboards, restarts and kill -9 at random points (virtual time)"
mkdir crash
for i in $(seq 1 200); do : >"crash/$(printf 'k%03d.sim' "$i")"; done
passes() { sqlite3 crash.sqlite "SELECT count(*) FROM station_keyboards WHERE state = 'passed'" 2>/dev/null || echo 0; }
kills=0
RANDOM=25
while [ "$(passes)" -lt 200 ] && [ $kills -lt 40 ]; do
  NIRVEX_DEVICE=simdir:$work/crash,time=virtual "$cli" station line.DAT --serial K0001 \
    --db crash.sqlite --log crash.csv 2>>crash.err &
  pid=$!
  sleep "0.$((RANDOM % 6))$((RANDOM % 10))"
  kill -9 "$pid" 2>/dev/null || true
  wait "$pid" 2>/dev/null || true
  kills=$((kills + 1))
done
NIRVEX_DEVICE=simdir:$work/crash,time=virtual "$cli" station line.DAT --serial K0001 \
  --db crash.sqlite --log crash.csv 2>>crash.err &
pid=$!
for _ in $(seq 1 600); do [ "$(passes)" -ge 200 ] && break; sleep 0.1; done
kill -TERM "$pid"
wait "$pid" || fail "the last run did not end cleanly: $(tail -3 crash.err)"
sqlite3 -separator ' ' crash.sqlite \
  "SELECT serial, identity FROM station_keyboards WHERE state = 'passed'" >passed.txt
duplicates=$(cut -d' ' -f1 passed.txt | sort | uniq -d | wc -l)
twice=$(cut -d' ' -f2 passed.txt | sort | uniq -d | wc -l)
replaced=$(sqlite3 crash.sqlite "SELECT count(*) FROM station_keyboards WHERE state = 'replaced'")
wrong=0
while read -r serial keyboard; do
  held=$(dd if="$keyboard" bs=1 skip=$((8 + 0x630)) count=31 2>/dev/null | tr -d '\000\377')
  [ "$held" = "$serial" ] || wrong=$((wrong + 1))
done <passed.txt
reserved=$(sqlite3 crash.sqlite "SELECT count(*) FROM station_keyboards WHERE state = 'reserved'")
echo "$kills kill -9s; $(wc -l <passed.txt) PASS rows; $reserved reservations left (gaps)"
echo "duplicate serials: $duplicates; keyboards programmed twice: $((twice + replaced)); PASS rows their keyboard does not hold: $wrong"
[ "$(wc -l <passed.txt)" -eq 200 ] && [ "$duplicates" -eq 0 ] && [ "$twice" -eq 0 ] &&
  [ "$replaced" -eq 0 ] && [ "$wrong" -eq 0 ] || fail "the 200 keyboards"
echo "station measures: all met"
