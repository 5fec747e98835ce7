#!/usr/bin/env bash
# Reading speed: dumps a 200,000-record dBase table as CSV with tabulix-cli and with a
# dbfread script that writes the same CSV, and prints both times, their ratio and the peak
# memory of each. Builds tabulix-cli (Release) into build-bench/ when needed; the generated
# table is kept in build-bench/bench-data/ for later runs.
set -euo pipefail

ROOT="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
BUILD="$ROOT/build-bench"
DATA="$BUILD/bench-data"
RECORDS=200000
TABLE="$DATA/read${RECORDS}.dbf"
PY=/usr/bin/python3  # the Debian interpreter that has python3-dbf and python3-dbfread

mkdir -p "$DATA"

if [[ ! -f "$BUILD/build.ninja" ]]; then
  cmake -S "$ROOT" -B "$BUILD" -G Ninja -DCMAKE_BUILD_TYPE=Release \
    -DTABULIX_TESTS=OFF -DTABULIX_GUI=OFF >/dev/null
fi
cmake --build "$BUILD" --target tabulix-cli -j2 >/dev/null
CLI="$BUILD/app/tabulix-cli"

if [[ ! -f "$TABLE" ]]; then
  echo "writing $TABLE ($RECORDS records) ..."
  "$PY" - "$TABLE" "$RECORDS" <<'EOF'
import datetime, sys
import dbf

path, count = sys.argv[1], int(sys.argv[2])
table = dbf.Table(path, 'NAME C(30); QTY N(9,0); PRICE N(12,2); DAY D; ACTIVE L',
                  dbf_type='db3')
table.open(dbf.READ_WRITE)
start = datetime.date(1990, 1, 1)
for i in range(count):
    name = 'Item %06d' % i if i % 7 else 'O\'Neil, "Pat" %d' % i
    qty = (i * 7919) % 1000000 - 500000
    price = ((i * 104729) % 10000000 - 5000000) / 100.0
    table.append((name, qty, price, start + datetime.timedelta(days=i % 12000), i % 3 == 0))
table.close()
EOF
fi

# The dbfread side: the same CSV as tabulix-cli writes (RFC 4180, CR LF, quoted empty texts,
# shortest round-trip floats, ISO dates, true/false, empty field for null).
READER="$DATA/dbfread_csv.py"
cat >"$READER" <<'EOF'
import base64, datetime, sys
from dbfread import DBF

def text(s):
    if s == '' or any(c in s for c in ',"\r\n'):
        return '"' + s.replace('"', '""') + '"'
    return s

def value(v):
    if v is None:
        return ''
    if isinstance(v, bool):
        return 'true' if v else 'false'
    if isinstance(v, int):
        return str(v)
    if isinstance(v, float):
        r = repr(v)
        return r[:-2] if r.endswith('.0') else r
    if isinstance(v, datetime.datetime):
        return v.isoformat(' ')
    if isinstance(v, datetime.date):
        return v.isoformat()
    if isinstance(v, bytes):
        return text(base64.b64encode(v).decode())
    return text(v)

table = DBF(sys.argv[1], load=False)
out = sys.stdout
out.write(','.join(text(n) for n in table.field_names) + '\r\n')
for record in table:
    out.write(','.join(value(v) for v in record.values()) + '\r\n')
EOF

# Runs a command RUNS times with its output into a file and prints the median wall-clock
# seconds, the median CPU seconds (user + system) and the largest peak memory in kilobytes,
# each run's figures taken from the kernel's accounting of that child (wait4).
RUNS=${RUNS:-7}
measure() {
  local out="$1"
  shift
  "$PY" - "$RUNS" "$out" "$@" <<'EOF'
import os, statistics, subprocess, sys, time
runs, out, cmd = int(sys.argv[1]), sys.argv[2], sys.argv[3:]
walls, cpus, peak = [], [], 0
for _ in range(runs):
    with open(out, 'wb') as f:
        start = time.perf_counter()
        # /usr/bin/time reports the peak of the command alone; the fork of this interpreter
        # that starts it would otherwise count with its own memory.
        child = subprocess.Popen(['/usr/bin/time', '-f', '%M', '-o', out + '.rss'] + cmd, stdout=f)
        _, status, usage = os.wait4(child.pid, 0)
        walls.append(time.perf_counter() - start)
    if status != 0:
        sys.exit('%s failed with status %d' % (cmd[0], status))
    cpus.append(usage.ru_utime + usage.ru_stime)
    with open(out + '.rss') as f:
        peak = max(peak, int(f.read().split()[-1]))
print('%.4f %.4f %d' % (statistics.median(walls), statistics.median(cpus), peak))
EOF
}

read -r cli_wall cli_cpu cli_kb < <(measure "$DATA/tabulix.csv" "$CLI" dump --format csv "$TABLE")
read -r py_wall py_cpu py_kb < <(measure "$DATA/dbfread.csv" "$PY" "$READER" "$TABLE")

if cmp -s "$DATA/tabulix.csv" "$DATA/dbfread.csv"; then same="identical"; else same="DIFFERENT"; fi
lines=$(wc -l <"$DATA/tabulix.csv")

awk -v cw="$cli_wall" -v cc="$cli_cpu" -v ck="$cli_kb" -v pw="$py_wall" -v pc="$py_cpu" \
  -v pk="$py_kb" -v runs="$RUNS" -v n="$RECORDS" -v same="$same" -v lines="$lines" 'BEGIN {
  rw = pw / cw
  rc = pc / cc
  printf "table:   %d records, 5 fields (C, N integer, N 2 decimals, D, L)\n", n
  printf "                                wall s   cpu s   peak MB   (median of %d runs)\n", runs
  printf "tabulix-cli dump --format csv  %7.3f %7.3f %9.1f\n", cw, cc, ck / 1024
  printf "dbfread script, same CSV       %7.3f %7.3f %9.1f\n", pw, pc, pk / 1024
  printf "ratio:   %.1fx faster by wall clock, %.1fx by CPU time (target >= 20x)\n", rw, rc
  printf "memory:  tabulix-cli peak %.1f MB (target < 50 MB: %s)\n", ck / 1024,
         ck < 51200 ? "met" : "NOT met"
  printf "outputs: %s (%d lines each)\n", same, lines
}'
