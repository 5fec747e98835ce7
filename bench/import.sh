#!/usr/bin/env bash
# Import speed: makes a dBase III table with a memo file (int, char(30), char(60), numeric with
# 2 decimals, date, logical, memo of about 100 characters) of 100,000 and of 1,000,000 rows, and
# in one run on a private MariaDB server measures, in rows per second:
# - the specified path (tabulix-cli import, one INSERT per row in auto-commit mode) and
#   dbf2mysql (the Debian package, run as a black box in its default mode) at 100,000 rows,
#   with the rate of tabulix-cli with its progress line drawn on a terminal; these runs
#   alternate RUNS times (3 when unset), medians count;
# - at 1,000,000 rows the bulk path (tabulix-cli import --bulk) and LOAD DATA LOCAL INFILE of a
#   prepared file (the same rows, as the mariadb client writes them out) through the mariadb
#   client, alternating RUNS times, medians count; the specified path too unless
#   SPECIFIED_LARGE=0 (it takes a few minutes);
# - a folder of 20 tables of 20,000 rows of the same shape through tabulix-cli import-dir on
#   the specified path, with --jobs 1 and with --jobs 4.
# It prints the peak memory of tabulix-cli, the ratios against their targets, and what each
# run left on the server (rows, sum of IDs, memo characters, CHECKSUM TABLE: the bulk path
# must leave exactly what the specified path leaves).
#
# The specified path and dbf2mysql send one INSERT per row in auto-commit mode, so both wait
# for the server's log flush of every row: the figures say what the server allows as much as
# what the tools do.
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
FOLDER_ROWS=20000  # rows of each of the folder's 20 tables
FOLDER_TABLES=20

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

for rows in "${SIZES[@]}" "$FOLDER_ROWS"; do
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
# The server's checksum of a table's rows: equal for equal rows in equal table definitions.
checksum() { "${SQL[@]}" -e "CHECKSUM TABLE $1.imported" | cut -f2; }

small=$(table_path "${SIZES[0]}")
large=$(table_path "${SIZES[1]}")
median() { printf '%s\n' "$@" | sort -g | awk '{ v[NR] = $1 } END { print v[int((NR + 1) / 2)] }'; }

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
t_wall=$(median "${t_walls[@]}")
d_wall=$(median "${d_walls[@]}")
p_wall=$(median "${p_walls[@]}")

# The specified path at 1,000,000 rows, for its memory and as the reference of the bulk
# path's contents.
l_wall=0 l_kb=0 l_contents="(not run)" l_sum="(not run)"
if [[ "${SPECIFIED_LARGE:-1}" != 0 ]]; then
  read -r l_wall l_kb < <(measure "$DATA/tabulix-large.log" "${TABULIX[@]}" "$large" \
    "${TARGET[@]}")
  l_contents=$(contents bench_tabulix)
  l_sum=$(checksum bench_tabulix)
fi

# The bulk path and the client's LOAD DATA of a prepared file, both over TCP, alternating.
# The file holds the rows the bulk path stored, as the client writes them in batch mode
# (tab-separated, with \t, \n, \\ and \0 escaped), in utf8mb4.
CLIENT=(mariadb --no-defaults --protocol=tcp -h 127.0.0.1 -P "$PORT" -u"$DB_USER"
  -p"$DB_PASSWORD" --default-character-set=utf8mb4)
BULK_TARGET=(--database bench_bulk --table imported --host 127.0.0.1 --port "$PORT"
  --user "$DB_USER")
TSV="$DATA/client-load.tsv"
b_walls=() c_walls=() b_kb=0
for ((run = 1; run <= RUNS; ++run)); do
  read -r wall kb < <(measure "$DATA/tabulix-bulk.log" "${TABULIX[@]}" "$large" --bulk \
    "${BULK_TARGET[@]}")
  b_walls+=("$wall")
  ((kb > b_kb)) && b_kb=$kb
  if [[ $run == 1 ]]; then
    b_contents=$(contents bench_bulk)
    b_sum=$(checksum bench_bulk)
    "${CLIENT[@]}" -N -B -e "SELECT * FROM bench_bulk.imported" >"$TSV"
  fi
  "${SQL[@]}" -e "DROP DATABASE IF EXISTS bench_client; CREATE DATABASE bench_client;
                  CREATE TABLE bench_client.imported LIKE bench_bulk.imported"
  read -r wall _ < <(measure "$DATA/client-load.log" "${CLIENT[@]}" --local-infile=1 bench_client \
    -e "LOAD DATA LOCAL INFILE '$TSV' INTO TABLE imported CHARACTER SET utf8mb4")
  c_walls+=("$wall")
done
b_wall=$(median "${b_walls[@]}")
c_wall=$(median "${c_walls[@]}")
c_contents=$(contents bench_client)
c_sum=$(checksum bench_client)
rm -f "$TSV"

# A folder of 20 copies of the 20,000-row table on the specified path, one table at a time and
# four at a time.
FOLDER="$DATA/folder"
rm -rf "$FOLDER"
mkdir -p "$FOLDER"
folder_table=$(table_path "$FOLDER_ROWS")
for ((i = 1; i <= FOLDER_TABLES; ++i)); do
  cp "$folder_table" "$FOLDER/$(printf 'T%02d' "$i").dbf"
  cp "${folder_table%.dbf}.dbt" "$FOLDER/$(printf 'T%02d' "$i").dbt"
done
DIR=(env TABULIX_PASSWORD="$DB_PASSWORD" "$CLI" import-dir "$FOLDER" --database bench_folder
  --host 127.0.0.1 --port "$PORT" --user "$DB_USER")
folder_rows() {
  local total=0
  for ((i = 1; i <= FOLDER_TABLES; ++i)); do
    total=$((total + $("${SQL[@]}" -e "SELECT COUNT(*) FROM bench_folder.$(printf 'T%02d' "$i")")))
  done
  echo "$total"
}
"${SQL[@]}" -e "DROP DATABASE IF EXISTS bench_folder"
read -r f1_wall _ < <(measure "$DATA/folder-jobs1.out" "${DIR[@]}" --jobs 1)
f1_rows=$(folder_rows)
"${SQL[@]}" -e "DROP DATABASE IF EXISTS bench_folder"
read -r f4_wall _ < <(measure "$DATA/folder-jobs4.out" "${DIR[@]}" --jobs 4)
f4_rows=$(folder_rows)
rm -rf "$FOLDER"

awk -v runs="$RUNS" -v n="${SIZES[0]}" -v big="${SIZES[1]}" -v tw="$t_wall" -v tk="$t_kb" \
  -v dw="$d_wall" -v pw="$p_wall" -v lw="$l_wall" -v lk="$l_kb" -v bw="$b_wall" -v bk="$b_kb" \
  -v cw="$c_wall" -v tc="$t_contents" -v dc="$d_contents" -v lc="$l_contents" -v bc="$b_contents" \
  -v cc="$c_contents" -v ls="$l_sum" -v bs="$b_sum" -v cs="$c_sum" -v ft="$FOLDER_TABLES" \
  -v fr="$FOLDER_ROWS" -v f1="$f1_wall" -v f4="$f4_wall" -v f1r="$f1_rows" -v f4r="$f4_rows" 'BEGIN {
  tr = n / tw; dr = n / dw; pr = n / pw; br = big / bw; cr = big / cw
  printf "table: dBase III with memo file, 7 fields (N 9, C 30, C 60, N 12.2, D, L, M ~100 chars)\n"
  printf "                                   rows    wall s    rows/s   peak MB   (medians of %d runs)\n", runs
  printf "tabulix-cli import              %7d %9.2f %9.0f %9.1f\n", n, tw, tr, tk / 1024
  printf "dbf2mysql -c (default mode)     %7d %9.2f %9.0f\n", n, dw, dr
  printf "tabulix-cli, progress drawn     %7d %9.2f %9.0f\n", n, pw, pr
  if (lw > 0) printf "tabulix-cli import              %7d %9.2f %9.0f %9.1f   (1 run)\n", big, lw, big / lw, lk / 1024
  printf "tabulix-cli import --bulk       %7d %9.2f %9.0f %9.1f\n", big, bw, br, bk / 1024
  printf "mariadb LOAD DATA LOCAL INFILE  %7d %9.2f %9.0f\n", big, cw, cr
  printf "ratio: tabulix-cli %.2fx the rows per second of dbf2mysql (target >= 1)\n", tr / dr
  printf "ratio: --bulk %.2f of the client'"'"'s LOAD DATA rate (target >= 0.8: %s), %.0fx the specified path\n",
         br / cr, br / cr >= 0.8 ? "met" : "NOT met", br / tr
  printf "progress: drawn on a terminal, %.2fx the rate without it\n", pr / tr
  printf "memory: peak %.1f MB at %d rows, %.1f MB with --bulk at %d rows", tk / 1024, n, bk / 1024, big
  if (lw > 0) printf ", %.1f MB at %d rows", lk / 1024, big
  printf " (target < 64 MB: %s)\n", (tk < 65536 && bk < 65536 && lk < 65536) ? "met" : "NOT met"
  printf "folder: %d tables of %d rows, specified path: --jobs 1 %.2f s (%.0f rows/s), --jobs 4 %.2f s (%.0f rows/s)\n",
         ft, fr, f1, ft * fr / f1, f4, ft * fr / f4
  printf "ratio: --jobs 4 %.2fx as fast as --jobs 1 (target >= 1.5: %s); rows on the server %d and %d of %d\n",
         f1 / f4, f1 / f4 >= 1.5 ? "met" : "NOT met", f1r, f4r, ft * fr
  printf "on the server (rows, sum of IDs, memo characters; checksum):\n"
  printf "  tabulix-cli  %s (%d rows)\n  dbf2mysql    %s (%d rows)\n", tc, n, dc, n
  printf "  tabulix-cli  %s; %s (%d rows)\n", lc, ls, big
  printf "  --bulk       %s; %s (%d rows)\n", bc, bs, big
  printf "  LOAD DATA    %s; %s (%d rows)\n", cc, cs, big
}'
