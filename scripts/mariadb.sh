#!/usr/bin/env bash
# Starts or stops a private MariaDB server with its own data folder, socket and port,
# listening on loopback only. A known user is created with every privilege.
#   scripts/mariadb.sh start DIR PORT USER PASSWORD
#   scripts/mariadb.sh stop DIR
#   scripts/mariadb.sh ping DIR
set -euo pipefail

cmd=${1:?start, stop or ping}
dir=$(realpath -m "${2:?data folder}")
sock="$dir/mysqld.sock"
pidfile="$dir/mysqld.pid"

find_bin() {
  for b in "$@"; do
    if command -v "$b" >/dev/null 2>&1; then command -v "$b"; return; fi
    if [ -x "/usr/sbin/$b" ]; then echo "/usr/sbin/$b"; return; fi
  done
  echo "missing: $*" >&2
  exit 1
}

ping_server() {
  "$(find_bin mariadb-admin mysqladmin)" --no-defaults --protocol=socket --socket="$sock" \
    -uroot ping >/dev/null 2>&1
}

running() { [ -f "$pidfile" ] && kill -0 "$(cat "$pidfile")" 2>/dev/null; }

case "$cmd" in
  start)
    port=${3:?port}
    user=${4:?user}
    password=${5:?password}
    if running && ping_server; then
      echo "MariaDB already running in $dir (port $port)"
      exit 0
    fi
    mkdir -p "$dir"
    if [ ! -d "$dir/data/mysql" ]; then
      "$(find_bin mariadb-install-db mysql_install_db)" --no-defaults --datadir="$dir/data" \
        --user="$(id -un)" --auth-root-authentication-method=socket \
        --skip-test-db >"$dir/install.log" 2>&1 || { cat "$dir/install.log" >&2; exit 1; }
    fi
    "$(find_bin mariadbd mysqld)" --no-defaults --datadir="$dir/data" --socket="$sock" \
      --port="$port" --bind-address=127.0.0.1 --pid-file="$pidfile" --log-error="$dir/error.log" \
      --user="$(id -un)" --skip-name-resolve --innodb-buffer-pool-size=64M \
      --max-allowed-packet=64M --character-set-server=utf8mb4 \
      --collation-server=utf8mb4_general_ci >/dev/null 2>&1 &
    for _ in $(seq 1 120); do
      if ping_server; then break; fi
      sleep 0.5
    done
    if ! ping_server; then
      echo "MariaDB did not start; its log:" >&2
      tail -n 40 "$dir/error.log" >&2 || true
      exit 1
    fi
    "$(find_bin mariadb mysql)" --no-defaults --protocol=socket --socket="$sock" -uroot <<SQL
CREATE USER IF NOT EXISTS '$user'@'localhost' IDENTIFIED BY '$password';
CREATE USER IF NOT EXISTS '$user'@'127.0.0.1' IDENTIFIED BY '$password';
CREATE USER IF NOT EXISTS '$user'@'::1' IDENTIFIED BY '$password';
GRANT ALL PRIVILEGES ON *.* TO '$user'@'localhost' WITH GRANT OPTION;
GRANT ALL PRIVILEGES ON *.* TO '$user'@'127.0.0.1' WITH GRANT OPTION;
GRANT ALL PRIVILEGES ON *.* TO '$user'@'::1' WITH GRANT OPTION;
SQL
    echo "MariaDB running in $dir: 127.0.0.1:$port, socket $sock"
    ;;
  stop)
    if running; then
      pid=$(cat "$pidfile")
      kill "$pid" 2>/dev/null || true
      for _ in $(seq 1 60); do
        kill -0 "$pid" 2>/dev/null || break
        sleep 0.5
      done
      kill -9 "$pid" 2>/dev/null || true
    fi
    ;;
  ping)
    ping_server
    ;;
  *)
    echo "usage: $0 start|stop|ping DIR ..." >&2
    exit 2
    ;;
esac
