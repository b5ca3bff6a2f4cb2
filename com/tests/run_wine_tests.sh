#!/usr/bin/env bash
# Runs the component's tests under wine, headless, in a fresh prefix:
# registers Vornexa.dll (and the test-only ADO stand-in) with regsvr32, runs
# the early-bound client, then each script through cscript: VBScript ones
# between the shared prelude and epilogue, the JScript client as it is.
#
#   run_wine_tests.sh BITS BINARY_DIR SCRIPTS_DIR PREFIX
#
# BITS is 64 or 32. The database scripts need VORNEXA_TEST_PG (an ODBC
# connection string, as scripts/with-postgres exports); without it the script
# is skipped, or fails when CI=true. wine's cscript exits 0 even on syntax
# errors, so a script passes only with exit status 0 AND its summary line
# reporting 0 failures.
#
# Where 32-bit programs cannot run (32-bit wine needs the package wine32 and
# a kernel that runs them), the 32-bit DLL is checked without running it:
# its export table here, its type library and version resource by the 64-bit
# client, beside the 64-bit DLL of BINARY_DIR/../com64.
set -uo pipefail

bits=$1 bin=$(cd "$2" && pwd) scripts=$3 prefix=$4
export WINEPREFIX=$prefix WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml=" DISPLAY=
wine=/usr/lib/wine/wine64
system=C:\\windows\\system32
client_arguments=(--gtest_brief=1)
if [ "$bits" = 32 ]; then
  if /usr/lib/wine/wine --version >/dev/null 2>&1; then
    system=C:\\windows\\syswow64
  else
    dll32=$bin/Vornexa.dll bin=$(cd "$bin/../com64" && pwd)
  fi
fi
failed=0 part_skipped=0
fail() { echo "FAILED: $*"; failed=1; }

# The wine daemon must not hold CTest's output pipe: start it detached, and
# stop it on the way out whatever happens.
stop_server() { /usr/lib/wine/wineserver -k </dev/null >/dev/null 2>&1 || true; }
trap stop_server EXIT
rm -rf "$prefix"
/usr/lib/wine/wineserver -p </dev/null >/dev/null 2>&1
"$wine" wineboot -i </dev/null >/dev/null 2>&1 || { echo "wineboot failed"; exit 1; }

win_path() { echo "Z:${1//\//\\}"; }
if [ -n "${dll32:-}" ]; then
  exports=$(i686-w64-mingw32-objdump -p "$dll32" |
    sed -n '/\[Ordinal\/Name Pointer\] Table/,/^$/p' | awk '$1 == "[" {printf "%s ", $3}')
  [ "$exports" = "DllCanUnloadNow DllGetClassObject DllRegisterServer DllUnregisterServer " ] ||
    fail "32-bit exports: $exports"
  export VORNEXA_DLL32=$(win_path "$dll32")
  client_arguments+=(--gtest_filter=Dll32.*)
fi
for dll in Vornexa.dll tests/AdoStandin.dll; do
  "$wine" "$system\\regsvr32.exe" /s "$(win_path "$bin/$dll")" </dev/null 2>&1 ||
    fail "regsvr32 $dll"
done

"$wine" "$(win_path "$bin/tests/early_bound_test.exe")" "${client_arguments[@]}" </dev/null 2>&1 ||
  fail "early-bound client"
[ -n "${dll32:-}" ] && exit $failed

for script in surface.vbs database.vbs client.js; do
  arguments=()
  if [ "$script" != surface.vbs ]; then
    if [ -z "${VORNEXA_TEST_PG:-}" ]; then
      [ "${CI:-}" = true ] && fail "$script: VORNEXA_TEST_PG is not set (run under scripts/with-postgres)"
      echo "SKIPPED $script: VORNEXA_TEST_PG is not set"
      part_skipped=1
      continue
    fi
    arguments=("$VORNEXA_TEST_PG")
  fi
  # One file per run, in the platform's ANSI code page as cscript reads it.
  whole="$prefix/$script"
  if [ "${script%.js}" = "$script" ]; then
    cat "$scripts/prelude.vbs" "$scripts/$script" "$scripts/epilogue.vbs"
  else
    cat "$scripts/$script"
  fi | iconv -f UTF-8 -t CP1252 > "$whole"
  output=$("$wine" "$system\\cscript.exe" //nologo "$(win_path "$whole")" "${arguments[@]}" </dev/null 2>&1)
  status=$?
  echo "$output" | iconv -f CP437 -t UTF-8  # the console's code page
  summary=$(echo "$output" | tr -d '\r' | grep -E '^RESUMEN: [0-9]+ comprobaciones, 0 fallos$')
  [ $status -eq 0 ] && [ -n "$summary" ] || fail "$script (exit status $status)"
done

# A part left out makes the whole test read as skipped (77), so CTest names it.
[ $failed -eq 0 ] && [ $part_skipped -eq 1 ] && exit 77
exit $failed
