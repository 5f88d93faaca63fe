#!/usr/bin/env bash
# Runs the README's shell examples as a reader would: every ```sh block in
# order, in one shell, in a scratch folder where build/ is this build,
# samples/ and examples/ are the sources' and /opt/morva6 is the scratch
# installation. A block right after a line "<!-- not run: why -->" is left out;
# one right after "<!-- needs the Python module -->" runs only in builds that
# made the module, one right after "<!-- not in sanitizer builds -->" only in
# builds without them (a plain program cannot load a sanitized library).
#   run_readme_commands.sh README SOURCE_DIR BUILD_DIR PREFIX WORK_DIR
set -euo pipefail
readme=$1 source=$2 build=$3 prefix=$4 work=$5

rm -rf "$work"
mkdir -p "$work"
cd "$work"
ln -s "$build" build
ln -s "$source/samples" samples
ln -s "$source/examples" examples

# Each block is announced by its line, so a failure names it.
python=0
compgen -G "$build/python/morva6*.so" >/dev/null && python=1
sanitized=0
grep -q '^MORVA6_SANITIZE:BOOL=ON' "$build/CMakeCache.txt" && sanitized=1
awk -v prefix="$prefix" -v python="$python" -v sanitized="$sanitized" '
  /^<!-- not run:/ { skip = 1; next }
  /^<!-- needs the Python module -->/ { skip = !python; next }
  /^<!-- not in sanitizer builds -->/ { skip = sanitized; next }
  /^```sh$/ { inside = 1; if (!skip) printf "echo \"== README.md line %d\"\n", NR; next }
  /^```/ { if (inside) { inside = 0; skip = 0 } next }
  inside && !skip { gsub("/opt/morva6", prefix); print }
  !inside && NF { skip = skip && /^<!--/ }
' "$readme" > commands.sh
[ "$(grep -c '^echo "== README' commands.sh)" -ge 8 ] || { echo "too few README blocks found"; exit 1; }
bash -euo pipefail commands.sh
