#!/usr/bin/env bash
# Import speed: makes a dBase III table with a memo file (int, char(30), char(60), numeric with
# 2 decimals, date, logical, memo of about 100 characters) of 100,000 rows, and in one run on a
# private MariaDB server imports it with tabulix-cli import and with dbf2mysql (the Debian
# package, run as a black box in its default mode) into separate databases. Prints the rows per
# second of each, their ratio, what each left on the server, the rate of tabulix-cli with its
# progress line drawn on a terminal, and the peak memory of tabulix-cli for 100,000 and for
# 1,000,000 rows. The runs at 100,000 rows alternate RUNS times (3 when unset), medians count.
#
# Both tools send one INSERT per row in auto-commit mode, so both wait for the server's log
# flush of every row: the figures say what the server allows as much as what the tools do.
#
# Builds tabulix-cli (Release) into build-bench/ when needed; the generated tables are kept in
# build-bench/bench-data/ for later runs (the million-row table takes a few minutes to write).
# The server's data goes to build-bench/mariadb-import, on port TABULIX_BENCH_PORT (33307 when
# unset), and is stopped at the end.
set -euo pipefail

ROOT="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
BUILD="$ROOT/build-bench"
DATA="$BUILD/bench-data"
SERVER="$BUILD/mariadb-import"
PORT=${TABULIX_BENCH_PORT:-33307}
DB_USER=tabulix
DB_PASSWORD=tabulix-bench
PY=/usr/bin/python3  # the Debian interpreter that has python3-dbf
SIZES=(100000 1000000)

mkdir -p "$DATA"

if [[ ! -f "$BUILD/build.ninja" ]]; then
  cmake -S "$ROOT" -B "$BUILD" -G Ninja -DCMAKE_BUILD_TYPE=Release \
    -DTABULIX_TESTS=OFF -DTABULIX_GUI=OFF >/dev/null
fi
cmake --build "$BUILD" --target tabulix-cli -j2 >/dev/null
CLI="$BUILD/app/tabulix-cli"

# The timing baseline, installed for this script only.
if ! command -v dbf2mysql >/dev/null 2>&1; then
  SUDO=""
  if [[ "$(id -u)" -ne 0 ]]; then SUDO=sudo; fi
  DEBIAN_FRONTEND=noninteractive $SUDO apt-get install -y -qq dbf2mysql >/dev/null
fi

table_path() { echo "$DATA/import$1.dbf"; }

for rows in "${SIZES[@]}"; do
  table=$(table_path "$rows")
  [[ -f "$table" ]] && continue
  echo "writing $table ($rows rows) ..."
  # Written under another name first, so an interrupted run leaves no half table behind.
  "$PY" - "$DATA/partial.dbf" "$rows" <<'EOF'
import datetime, os, sys
import dbf

path, count = sys.argv[1], int(sys.argv[2])
table = dbf.Table(path, 'ID N(9,0); NAME C(30); STREET C(60); AMOUNT N(12,2); DAY D; '
                  'ACTIVE L; NOTES M', dbf_type='db3', codepage='cp1252')
table.open(dbf.READ_WRITE)
start = datetime.date(1990, 1, 1)
for i in range(count):
    name = 'Name %06d' % i if i % 7 else 'O\'Neil, "Pat" %d' % i
    street = 'Hauptstraße %d, Köln' % (i % 500) if i % 5 == 0 else 'Street %d' % i
    amount = ((i * 104729) % 10000000 - 5000000) / 100.0
    notes = ('Memo %d: ' % i).ljust(100, 'x')
    table.append((i + 1, name, street, amount, start + datetime.timedelta(days=i % 12000),
                  i % 3 == 0, notes))
table.close()
# python3-dbf leaves the last memo block short; a reader that reads whole blocks (dbf2mysql)
# then loses the last memo.
memo = os.path.splitext(path)[0] + '.dbt'
size = os.path.getsize(memo)
with open(memo, 'ab') as f:
    f.write(b'\0' * (-size % 512))
EOF
  mv "$DATA/partial.dbt" "${table%.dbf}.dbt"
  mv "$DATA/partial.dbf" "$table"
done

"$ROOT/scripts/mariadb.sh" start "$SERVER" "$PORT" "$DB_USER" "$DB_PASSWORD" >/dev/null
trap '"$ROOT/scripts/mariadb.sh" stop "$SERVER"' EXIT
SQL=(mariadb --no-defaults --protocol=socket --socket="$SERVER/mysqld.sock" -u"$DB_USER"
  -p"$DB_PASSWORD" -N -B)

# Runs a command with its standard output into a file; prints wall-clock seconds and the peak
# memory in kilobytes of the command itself (/usr/bin/time).
measure() {
  local out="$1"
  shift
  "$PY" - "$out" "$@" <<'EOF'
import subprocess, sys, time
out, cmd = sys.argv[1], sys.argv[2:]
with open(out, 'wb') as f:
    start = time.perf_counter()
    status = subprocess.call(['/usr/bin/time', '-f', '%M', '-o', out + '.rss'] + cmd, stdout=f)
    wall = time.perf_counter() - start
if status != 0:
    sys.exit('%s failed with status %d' % (cmd[0], status))
with open(out + '.rss') as f:
    peak = int(f.read().split()[-1])
print('%.3f %d' % (wall, peak))
EOF
}

TABULIX=(env TABULIX_PASSWORD="$DB_PASSWORD" "$CLI" import)
TARGET=(--database bench_tabulix --table imported --host 127.0.0.1 --port "$PORT"
  --user "$DB_USER")

# What a database holds of the table: rows, the sum of the IDs and the memo characters.
contents() {
  "${SQL[@]}" -e "SELECT COUNT(*), COALESCE(SUM(ID), 0), COALESCE(SUM(CHAR_LENGTH(NOTES)), 0)
                  FROM $1.imported" | tr '\t' ' '
}

small=$(table_path "${SIZES[0]}")
large=$(table_path "${SIZES[1]}")

# The machine may be shared: the three runs at 100,000 rows alternate RUNS times and the
# median of each counts.
RUNS=${RUNS:-3}
t_walls=() d_walls=() p_walls=() t_kb=0
for ((run = 1; run <= RUNS; ++run)); do
  "${SQL[@]}" -e "DROP DATABASE IF EXISTS bench_tabulix; DROP DATABASE IF EXISTS bench_dbf2mysql;
                  CREATE DATABASE bench_dbf2mysql"
  read -r wall kb < <(measure "$DATA/tabulix.log" "${TABULIX[@]}" "$small" "${TARGET[@]}")
  t_walls+=("$wall")
  ((kb > t_kb)) && t_kb=$kb
  t_contents=$(contents bench_tabulix)

  # dbf2mysql has no port option; the client library takes the port from MYSQL_TCP_PORT.
  read -r wall _ < <(measure "$DATA/dbf2mysql.log" env MYSQL_TCP_PORT="$PORT" dbf2mysql \
    -h 127.0.0.1 -U "$DB_USER" -P "$DB_PASSWORD" -d bench_dbf2mysql -t imported -c "$small")
  d_walls+=("$wall")
  d_contents=$(contents bench_dbf2mysql)

  # The same import with standard error on a terminal, so that the progress line is drawn.
  read -r wall _ < <(measure "$DATA/progress.out" script -qec \
    "$(printf '%q ' "${TABULIX[@]}" "$small" "${TARGET[@]}") >/dev/null" /dev/null)
  p_walls+=("$wall")
done
median() { printf '%s\n' "$@" | sort -g | awk '{ v[NR] = $1 } END { print v[int((NR + 1) / 2)] }'; }
t_wall=$(median "${t_walls[@]}")
d_wall=$(median "${d_walls[@]}")
p_wall=$(median "${p_walls[@]}")

read -r l_wall l_kb < <(measure "$DATA/tabulix-large.log" "${TABULIX[@]}" "$large" "${TARGET[@]}")
l_contents=$(contents bench_tabulix)

awk -v runs="$RUNS" -v n="${SIZES[0]}" -v big="${SIZES[1]}" -v tw="$t_wall" -v tk="$t_kb" -v dw="$d_wall" \
  -v pw="$p_wall" -v lw="$l_wall" -v lk="$l_kb" -v tc="$t_contents" -v dc="$d_contents" \
  -v lc="$l_contents" 'BEGIN {
  tr = n / tw; dr = n / dw; pr = n / pw; lr = big / lw
  printf "table: dBase III with memo file, 7 fields (N 9, C 30, C 60, N 12.2, D, L, M ~100 chars)\n"
  printf "                                   rows    wall s    rows/s   peak MB   (median of %d runs at %d rows)\n", runs, n
  printf "tabulix-cli import              %7d %9.2f %9.0f %9.1f\n", n, tw, tr, tk / 1024
  printf "dbf2mysql -c (default mode)     %7d %9.2f %9.0f\n", n, dw, dr
  printf "tabulix-cli, progress drawn     %7d %9.2f %9.0f\n", n, pw, pr
  printf "tabulix-cli import              %7d %9.2f %9.0f %9.1f\n", big, lw, lr, lk / 1024
  printf "ratio: tabulix-cli %.2fx the rows per second of dbf2mysql (target >= 1)\n", tr / dr
  printf "progress: drawn on a terminal, %.2fx the rate without it\n", pr / tr
  printf "memory: peak %.1f MB at %d rows, %.1f MB at %d rows (target < 64 MB: %s)\n",
         tk / 1024, n, lk / 1024, big, (tk < 65536 && lk < 65536) ? "met" : "NOT met"
  printf "on the server (rows, sum of IDs, memo characters):\n"
  printf "  tabulix-cli %s\n  dbf2mysql   %s\n  tabulix-cli %s (%d rows)\n", tc, dc, lc, big
}'
