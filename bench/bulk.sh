#!/usr/bin/env bash
# Bulk writer speed: posts ROWS rows of seven columns (int, char(30), char(60), double, date,
# tinyint, a memo of about 100 characters) through TZMySqlTable with a TZBulkWriter, once with
# LOAD DATA LOCAL INFILE units and once with multi-row INSERT units, and loads the same rows
# from a prepared file with LOAD DATA LOCAL INFILE through the mariadb command-line client, all
# over TCP to the same server. Prints rows per second of each, their ratio to the client, and
# the writer's peak memory.
#   bench/bulk.sh [rows]   (default 1,000,000)
# Uses the server of TABULIX_TEST_HOST/_PORT/_USER/_PASSWORD when they are set, else starts a
# private one in build-bench-bulk/mariadb on port TABULIX_BENCH_PORT (default 33391).
set -euo pipefail

ROOT="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
BUILD="$ROOT/build-bench-bulk"
ROWS=${1:-1000000}
DB=tabulix_bench_bulk

cmake -S "$ROOT" -B "$BUILD" -G Ninja -DCMAKE_BUILD_TYPE=Release -DTABULIX_BENCH=ON \
  -DTABULIX_TESTS=OFF -DTABULIX_GUI=OFF >/dev/null
if ! cmake --build "$BUILD" --target bulk_bench -j2 >"$BUILD/build.log" 2>&1; then
  tail -n 40 "$BUILD/build.log" >&2
  exit 1
fi

started=0
cleanup() {
  rm -f "$BUILD/client_rows.tsv"
  if [[ $started == 1 ]]; then "$ROOT/scripts/mariadb.sh" stop "$BUILD/mariadb"; fi
}
trap cleanup EXIT
if [[ -n "${TABULIX_TEST_HOST:-}" && -n "${TABULIX_TEST_PORT:-}" ]]; then
  HOST=$TABULIX_TEST_HOST PORT=$TABULIX_TEST_PORT
  USER=${TABULIX_TEST_USER:-tabulix} PASSWORD=${TABULIX_TEST_PASSWORD:-tabulix-test-pw}
else
  HOST=127.0.0.1 PORT=${TABULIX_BENCH_PORT:-33391} USER=tabulix PASSWORD=tabulix-bench-pw
  "$ROOT/scripts/mariadb.sh" start "$BUILD/mariadb" "$PORT" "$USER" "$PASSWORD" >/dev/null
  started=1
fi
CLIENT=(mariadb --no-defaults --protocol=tcp -h "$HOST" -P "$PORT" -u "$USER" -p"$PASSWORD")
"${CLIENT[@]}" -e "CREATE DATABASE IF NOT EXISTS $DB"

# The client's rows: the values bulk_bench posts, as a tab-separated file.
TSV="$BUILD/client_rows.tsv"
python3 - "$TSV" "$ROWS" <<'PY'
import datetime, sys
path, rows = sys.argv[1], int(sys.argv[2])
start = datetime.date(1990, 1, 1)
with open(path, 'w', encoding='utf-8') as out:
    for i in range(1, rows + 1):
        day = start + datetime.timedelta(days=i % 10000)
        out.write(f"{i}\tKunde {i} Müller\tHauptstraße {i % 997}, {10000 + i % 89999} Köln\t"
                  f"{i * 1.25 + 0.5!r}\t{day.isoformat()}\t{i % 2}\tNotiz {i}: Lieferung an die "
                  "Filiale Süd, bitte vor 10 Uhr zustellen und quittieren lassen. Danke!\n")
PY
"${CLIENT[@]}" "$DB" -e "DROP TABLE IF EXISTS client_rows; CREATE TABLE client_rows (id INT,
  name CHAR(30), street CHAR(60), amount DOUBLE, day DATE, flag TINYINT, memo MEDIUMTEXT)
  CHARACTER SET utf8mb4"
now() { date +%s.%N; }
t0=$(now)
"${CLIENT[@]}" --local-infile=1 "$DB" -e "LOAD DATA LOCAL INFILE '$TSV' INTO TABLE client_rows
  CHARACTER SET utf8mb4 (id, name, street, amount, day, flag, memo)"
t1=$(now)
client_rate=$(python3 -c "print(round($ROWS / ($t1 - $t0), 1))")

run() {  # method -> the RESULT line's fields
  "$BUILD/bench/bulk_bench" "$HOST" "$PORT" "$USER" "$PASSWORD" "$DB" "$ROWS" "$1" |
    tee /dev/stderr | sed -n 's/^RESULT //p'
}
echo "--- bulk writer, LOAD DATA LOCAL INFILE units" >&2
load=$(run load)
echo "--- bulk writer, multi-row INSERT units" >&2
insert=$(run insert)
for table in client_rows bulk_rows_load bulk_rows_insert; do
  count=$("${CLIENT[@]}" -N -e "SELECT COUNT(*) FROM $DB.$table")
  if [[ "$count" != "$ROWS" ]]; then
    echo "$table holds $count rows, not $ROWS" >&2
    exit 1
  fi
done

python3 - "$ROWS" "$client_rate" "$load" "$insert" <<'PY'
import sys
rows, client = int(sys.argv[1]), float(sys.argv[2])
def fields(line):
    return {k: float(v) for k, v in (p.split('=') for p in line.split())}
load, insert = fields(sys.argv[3]), fields(sys.argv[4])
print(f"rows:                            {rows}")
print(f"mariadb client, LOAD DATA file:  {client:.0f} rows/s")
for name, r in (("writer, LOAD DATA units:", load), ("writer, INSERT units:", insert)):
    print(f"{name:33}{r['rate']:.0f} rows/s = {r['rate'] / client:.2f} of the client; "
          f"peak {r['peak_kib'] / 1024:.1f} MiB")
faster = "LOAD DATA" if load['rate'] >= insert['rate'] else "INSERT"
print(f"faster:                          {faster} ({max(load['rate'], insert['rate']) / min(load['rate'], insert['rate']):.2f}x)")
PY
