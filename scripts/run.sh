#!/usr/bin/env bash
# The run command: installs what is missing, builds Tabulix, makes sure a MariaDB server
# answers where the window's defaults look (host "localhost", which the client library reaches
# through the socket /run/mysqld/mysqld.sock, port 3306, user root) and starts the window; a
# table file as argument opens with it loaded. Arguments that are a command of tabulix-cli
# (inspect, dump, import, import-dir, help) run that instead. Running it again reuses the build
# and the running server.
#
# When no server answers there, a private one is started in .run/mariadb on 127.0.0.1 port
# 3306 (TABULIX_PORT), its socket linked to /run/mysqld/mysqld.sock, with the accounts root and
# tabulix, both with the password "tabulix" (TABULIX_PASSWORD). Stop it with
# scripts/mariadb.sh stop .run/mariadb.
set -euo pipefail
cd "$(dirname "$0")/.."
root=$(pwd)

scripts/install-deps.sh

build="$root/build"
cmake -S . -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo -DTABULIX_TESTS=OFF >/dev/null
cmake --build "$build" -j"$(nproc)"

case "${1:-}" in
  inspect | dump | help | --help | -h)
    # Reading a table needs no server.
    exec "$build/app/tabulix-cli" "$@"
    ;;
esac

standard_socket=/run/mysqld/mysqld.sock
private_dir="$root/.run/mariadb"
private_socket="$private_dir/mysqld.sock"
port=${TABULIX_PORT:-3306}
password=${TABULIX_PASSWORD:-tabulix}

# mariadb-admin ping succeeds whenever a server answers, whatever it thinks of the account.
answers() { mariadb-admin --no-defaults --connect-timeout=2 "$@" ping >/dev/null 2>&1; }

if [ -S "$standard_socket" ] && [ "$(readlink -f "$standard_socket")" != "$private_socket" ] &&
  answers --socket="$standard_socket"; then
  echo "Using the MariaDB server on $standard_socket: log in with an account of that server"
elif ! [ -S "$private_socket" ] && answers --protocol=tcp --host=127.0.0.1 --port="$port"; then
  echo "A MariaDB server answers on 127.0.0.1 port $port but not on $standard_socket:" \
    "type the host 127.0.0.1 in the window and log in with an account of that server"
else
  scripts/mariadb.sh start "$private_dir" "$port" tabulix "$password"
  # root keeps its login through the socket for the machine's root, and takes the password
  # as well, also over TCP, so the window's user "root" can log in from anywhere here.
  mariadb --no-defaults --protocol=socket --socket="$private_socket" -uroot <<SQL
ALTER USER root@localhost IDENTIFIED VIA unix_socket OR mysql_native_password
  USING PASSWORD('$password');
CREATE USER IF NOT EXISTS root@'127.0.0.1' IDENTIFIED BY '$password';
CREATE USER IF NOT EXISTS root@'::1' IDENTIFIED BY '$password';
GRANT ALL PRIVILEGES ON *.* TO root@'127.0.0.1' WITH GRANT OPTION;
GRANT ALL PRIVILEGES ON *.* TO root@'::1' WITH GRANT OPTION;
SQL
  if mkdir -p "$(dirname "$standard_socket")" 2>/dev/null &&
    ln -sfn "$private_socket" "$standard_socket" 2>/dev/null; then
    echo "Private server in .run/mariadb: host localhost ($standard_socket) or 127.0.0.1," \
      "port $port, user root or tabulix, password $password"
  else
    echo "Private server in .run/mariadb: $standard_socket cannot be made here, so type the" \
      "host 127.0.0.1 in the window; port $port, user root or tabulix, password $password"
  fi
  echo "Stop it with: scripts/mariadb.sh stop .run/mariadb"
fi

if [ "${1:-}" = import ] || [ "${1:-}" = import-dir ]; then
  exec "$build/app/tabulix-cli" "$@"
fi
if [ -z "${DISPLAY:-}" ] && [ -z "${WAYLAND_DISPLAY:-}" ]; then
  echo "No display: starting the window under Xvfb"
  exec xvfb-run -a -s "-screen 0 1280x800x24 -dpi 96" "$build/app/tabulix" "$@"
fi
exec "$build/app/tabulix" "$@"
