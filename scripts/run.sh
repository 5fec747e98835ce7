#!/usr/bin/env bash
# The run command: installs what is missing, builds Tabulix, makes sure a MariaDB server
# answers (a private one in .run/ when no server answers on the standard local socket) and
# starts the window; a table file as argument opens with it loaded. Arguments that are a
# command of tabulix-cli (inspect, dump, import, import-dir, help) run that instead. Running it again
# reuses the build and the running server.
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
if [ -S "$standard_socket" ] && mariadb-admin --no-defaults --socket="$standard_socket" ping >/dev/null 2>&1; then
  echo "Using the MariaDB server on $standard_socket"
else
  port=${TABULIX_PORT:-3307}
  scripts/mariadb.sh start "$root/.run/mariadb" "$port" "${TABULIX_USER:-tabulix}" \
    "${TABULIX_PASSWORD:-tabulix}"
  echo "Private server: host 127.0.0.1, port $port, user ${TABULIX_USER:-tabulix}," \
    "password ${TABULIX_PASSWORD:-tabulix}; stop it with: scripts/mariadb.sh stop .run/mariadb"
fi

if [ "${1:-}" = import ] || [ "${1:-}" = import-dir ]; then
  exec "$build/app/tabulix-cli" "$@"
fi
if [ -z "${DISPLAY:-}" ] && [ -z "${WAYLAND_DISPLAY:-}" ]; then
  echo "No display: starting the window under Xvfb"
  exec xvfb-run -a -s "-screen 0 1280x800x24 -dpi 96" "$build/app/tabulix" "$@"
fi
exec "$build/app/tabulix" "$@"
