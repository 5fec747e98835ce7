#!/usr/bin/env bash
# Insert speed: appends and posts 100,000 rows of seven columns (int, char(30), char(60),
# double, date, tinyint, a memo of about 100 characters) into a fresh table through
# TZMySqlTable, and sends the same rows as one INSERT per row from a prepared file through the
# mariadb command-line client, both over TCP to the same server. Prints the rows per second of
# both and their ratio, the rate of the first and the last 10,000 rows of the dataset, and its
# peak memory with and without DiscardAppliedInserts. Fails when a target is missed: at least
# 0.8 of the client's rate, the last 10,000 rows at least 0.9 of the first, and a peak under
# 64 MiB with DiscardAppliedInserts.
#   bench/insert.sh [rows]   (default 100,000)
# Uses the server of TABULIX_TEST_HOST/_PORT/_USER/_PASSWORD when they are set, else starts a
# private one in build-bench-insert/mariadb on port TABULIX_BENCH_PORT (default 33390).
set -euo pipefail

ROOT="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
BUILD="$ROOT/build-bench-insert"
ROWS=${1:-100000}
DB=tabulix_bench_insert

cmake -S "$ROOT" -B "$BUILD" -G Ninja -DCMAKE_BUILD_TYPE=Release -DTABULIX_BENCH=ON \
  -DTABULIX_TESTS=OFF -DTABULIX_GUI=OFF >/dev/null
if ! cmake --build "$BUILD" --target insert_bench -j2 >"$BUILD/build.log" 2>&1; then
  tail -n 40 "$BUILD/build.log" >&2
  exit 1
fi

started=0
flush=""
cleanup() {
  if [[ -n "$flush" ]]; then
    "${CLIENT[@]}" -e "SET GLOBAL innodb_flush_log_at_trx_commit = $flush" || true
  fi
  if [[ $started == 1 ]]; then "$ROOT/scripts/mariadb.sh" stop "$BUILD/mariadb"; fi
}
trap cleanup EXIT
if [[ -n "${TABULIX_TEST_HOST:-}" && -n "${TABULIX_TEST_PORT:-}" ]]; then
  HOST=$TABULIX_TEST_HOST PORT=$TABULIX_TEST_PORT
  USER=${TABULIX_TEST_USER:-tabulix} PASSWORD=${TABULIX_TEST_PASSWORD:-tabulix-test-pw}
else
  HOST=127.0.0.1 PORT=${TABULIX_BENCH_PORT:-33390} USER=tabulix PASSWORD=tabulix-bench-pw
  "$ROOT/scripts/mariadb.sh" start "$BUILD/mariadb" "$PORT" "$USER" "$PASSWORD" >/dev/null
  started=1
fi
CLIENT=(mariadb --no-defaults --protocol=tcp -h "$HOST" -P "$PORT" -u "$USER" -p"$PASSWORD")
"${CLIENT[@]}" -e "CREATE DATABASE IF NOT EXISTS $DB"
# Every statement commits; with the log flushed to disk at each commit the disk's sync time
# (milliseconds) would hide what the two clients themselves cost. Put back at the end.
previous=$("${CLIENT[@]}" -N -e "SELECT @@GLOBAL.innodb_flush_log_at_trx_commit")
"${CLIENT[@]}" -e "SET GLOBAL innodb_flush_log_at_trx_commit = 2"
flush=$previous

# The client's rows: the values of insert_bench's MakeRow, one INSERT per line.
SQL="$BUILD/client_rows.sql"
python3 - "$SQL" "$ROWS" <<'EOF'
import datetime, sys
path, rows = sys.argv[1], int(sys.argv[2])
start = datetime.date(1990, 1, 1)
with open(path, 'w', encoding='utf-8') as out:
    out.write('DROP TABLE IF EXISTS client_rows;\n')
    out.write('CREATE TABLE client_rows (id INT, name CHAR(30), street CHAR(60), amount DOUBLE, '
              'day DATE, flag TINYINT, memo MEDIUMTEXT) CHARACTER SET utf8mb4;\n')
    for i in range(1, rows + 1):
        name = f'Kunde {i} Müller'
        street = f'Hauptstraße {i % 997}, {10000 + i % 89999} Köln'
        memo = (f'Notiz {i}: Lieferung an die Filiale Süd, bitte vor 10 Uhr zustellen und '
                'quittieren lassen. Danke!')
        day = start + datetime.timedelta(days=i % 10000)
        out.write(f"INSERT INTO client_rows (id, name, street, amount, day, flag, memo) VALUES "
                  f"({i}, '{name}', '{street}', {i * 1.25 + 0.5!r}, '{day.isoformat()}', "
                  f"{i % 2}, '{memo}');\n")
EOF

now() { date +%s.%N; }
t0=$(now)
"${CLIENT[@]}" "$DB" <"$SQL"
t1=$(now)
client_count=$("${CLIENT[@]}" -N -e "SELECT COUNT(*) FROM $DB.client_rows")
client_rate=$(python3 -c "print(round($ROWS / ($t1 - $t0), 1))")

run() {  # mode -> the RESULT line's fields
  "$BUILD/bench/insert_bench" "$HOST" "$PORT" "$USER" "$PASSWORD" "$DB" "$ROWS" "$1" | tee /dev/stderr |
    sed -n 's/^RESULT //p'
}
echo "--- dataset, keeping applied inserts" >&2
keep=$(run keep)
echo "--- dataset, discarding applied inserts (as the import does)" >&2
discard=$(run discard)
for table in dataset_rows_keep dataset_rows_discard; do
  count=$("${CLIENT[@]}" -N -e "SELECT COUNT(*) FROM $DB.$table")
  if [[ "$count" != "$ROWS" ]]; then
    echo "$table holds $count rows, not $ROWS" >&2
    exit 1
  fi
done

python3 - "$ROWS" "$client_count" "$client_rate" "$keep" "$discard" <<'EOF'
import sys
rows, client_count, client_rate = int(sys.argv[1]), int(sys.argv[2]), float(sys.argv[3])
def fields(line):
    return {k: float(v) for k, v in (p.split('=') for p in line.split())}
keep, discard = fields(sys.argv[4]), fields(sys.argv[5])
print(f"rows:                         {rows}")
print(f"mariadb client:               {client_rate:.0f} rows/s ({client_count} rows stored)")
for name, r in (("dataset, keeping", keep), ("dataset, discarding", discard)):
    print(f"{name + ':':30}{r['rate']:.0f} rows/s = {r['rate'] / client_rate:.2f} of the client; "
          f"first 10,000 {r['first']:.0f}/s, last 10,000 {r['last']:.0f}/s "
          f"({r['last'] / r['first']:.2f}); peak {r['peak_kib'] / 1024:.1f} MiB")
failures = []
if discard['rate'] < 0.8 * client_rate:
    failures.append('rate below 0.8 of the client')
if discard['last'] < 0.9 * discard['first'] or keep['last'] < 0.9 * keep['first']:
    failures.append('last 10,000 rows slower than 0.9 of the first')
if discard['peak_kib'] / 1024 >= 64:
    failures.append('peak memory with DiscardAppliedInserts not under 64 MiB')
if client_count != rows:
    failures.append('the client stored another number of rows')
print('targets:                      ' + ('met' if not failures else 'MISSED: ' + '; '.join(failures)))
sys.exit(1 if failures else 0)
EOF
