#!/bin/sh
# Imports a chart of N detail accounts (and their four upper levels) with
# `vornexa importar` into a fresh embedded database and prints, for each N,
# the wall time, the accounts saved per second and the peak resident memory
# (/usr/bin/time); then the same for `cuenta listar --json` over them. CPU
# seconds (user and system) vary less than wall time on a busy machine.
#
#   bench/import_memory.sh [BUILD_DIR] [ACCOUNTS...]
#
# BUILD_DIR holds the built tool (default build); ACCOUNTS defaults to
# 300000 1000000. Memory should stay flat as N grows.
set -eu
build=${1:-build}
[ $# -gt 0 ] && shift
sizes=${*:-300000 1000000}
cmake --build "$build" --target vornexa_cli >/dev/null
program=$(realpath "$build/tools/vornexa")
work=$(mktemp -d "${TMPDIR:-/tmp}/vornexa-import-XXXXXX")
trap 'rm -rf "$work"' EXIT
cd "$work"

# "elapsed-seconds peak-KiB cpu-seconds" of a command, its output discarded.
measure() {
  /usr/bin/time -f '%e %M %U %S' -o time.txt "$@" >/dev/null 2>errors.txt ||
    { cat errors.txt >&2; exit 1; }
  awk '{ print $1, $2, $3 + $4 }' time.txt
}

# One line of the table: the command's name, then what measure printed.
report() {
  awk -v a="$total" -v c="$1" -v s="$2" -v k="$3" -v u="$4" \
    'BEGIN { printf "%-10d %-8s %8.1f %12.0f %8.1f %10.1f\n", a, c, s, a / s, u, k / 1024 }'
}

printf '%-10s %-8s %8s %12s %8s %10s\n' accounts command seconds accounts/s "CPU s" "peak MiB"
for accounts in $sizes; do
  rm -f cuentas.db*
  "$program" --db cuentas.db --ejercicio 2025 init >/dev/null
  # 430 to 439 and 4300 to 4399, each 4-digit one followed by up to 10,000
  # detail accounts of its own.
  awk -v n="$accounts" 'BEGIN {
    print "Cuenta,Nombre,Nif,Telefono"
    print "4,Acreedores y deudores,,"; print "43,Clientes,,"
    for (i = 0; i < n; i++) {
      if (i % 100000 == 0) printf "%d,Clientes %d,,\n", 430 + i / 100000, i / 100000
      if (i % 10000 == 0) printf "%d,Clientes %d,,\n", 4300 + i / 10000, i / 10000
      printf "%d,Cliente %d S.L.,B%08d,96%07d\n", 43000000 + i, i, i, i
    }
  }' >cuentas.csv
  total=$((accounts + 2 + (accounts + 99999) / 100000 + (accounts + 9999) / 10000))
  set -- $(measure "$program" --db cuentas.db importar cuentas.csv)
  report importar "$@"
  set -- $(measure "$program" --db cuentas.db --json cuenta listar)
  report listar "$@"
done
