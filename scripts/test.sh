#!/usr/bin/env bash
# The test command: installs what is missing, builds with AddressSanitizer and
# UndefinedBehaviorSanitizer, starts a private MariaDB test server, runs every test with CTest
# and a short fuzz run, stops the server and exits non-zero on any failure.
set -euo pipefail
cd "$(dirname "$0")/.."
root=$(pwd)

scripts/install-deps.sh

build="$root/build-test"
cmake -S . -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=Debug -DTABULIX_SANITIZE=ON -DTABULIX_WERROR=ON \
  -DCMAKE_CXX_FLAGS="-O1" >/dev/null
cmake --build "$build" -j"$(nproc)"

# The fuzz run comes first so that CTest's summary closes the output.
status=0
if [ "${TABULIX_SKIP_FUZZ:-0}" != 1 ]; then
  scripts/fuzz.sh || status=1
fi

export TABULIX_TEST_HOST=127.0.0.1
export TABULIX_TEST_PORT=${TABULIX_TEST_PORT:-33306}
export TABULIX_TEST_SOCKET="$build/mariadb/mysqld.sock"
export TABULIX_TEST_USER=tabulix
export TABULIX_TEST_PASSWORD=tabulix-test-pw

scripts/mariadb.sh start "$build/mariadb" "$TABULIX_TEST_PORT" "$TABULIX_TEST_USER" \
  "$TABULIX_TEST_PASSWORD"
trap 'scripts/mariadb.sh stop "$build/mariadb"' EXIT

export ASAN_OPTIONS=detect_leaks=1:abort_on_error=0:detect_stack_use_after_return=1
export UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1
ctest --test-dir "$build" --output-on-failure -j2 --timeout 900 || status=1

exit $status
