#!/usr/bin/env bash
# Checks the package as a client sees it: installs the main project from its
# build folder into STAGING_DIR, builds examples/client against that prefix
# with find_package and runs it, then compiles and runs pkgconfig_check.c
# with nothing but `pkg-config --cflags --libs` of zidevuv10 and of
# zidevuv10-profile; when the build has
# the Python package, imports it from the prefix and uses it.
#
# Usage: examples/client/check-installed-package.sh STAGING_DIR [BUILD_DIR]
#   STAGING_DIR  install prefix; must be absent or empty
#   BUILD_DIR    the main project's build folder (default: build at the top
#                of the repository); configured here if it is not yet, and
#                only the installed targets are built
set -euo pipefail

if [ $# -lt 1 ] || [ $# -gt 2 ]; then
  echo "usage: $0 STAGING_DIR [BUILD_DIR]" >&2
  exit 2
fi
here="$(cd "$(dirname "$0")" && pwd)"
root="$(cd "$here/../.." && pwd)"
stage="$1"
build="${2:-$root/build}"

if [ -e "$stage" ] && [ -n "$(ls -A "$stage")" ]; then
  echo "$0: $stage is not empty; give an absent or empty folder to install into" >&2
  exit 2
fi
mkdir -p "$stage"
stage="$(cd "$stage" && pwd)"
work="$(mktemp -d)"
trap 'rm -rf "$work"' EXIT
# Keep the library's drive C away from the user's own files.
export ZIDEVUV10_DRIVE_C="$work/drive_c"

# Install.
[ -f "$build/CMakeCache.txt" ] || cmake -S "$root" -B "$build"
cmake --build "$build" --target zidevuv10_installables -j"$(nproc)"
cmake --install "$build" --prefix "$stage"
echo "Installed into $stage:"
(cd "$stage" && find . ! -type d | sort)

libdir="$(sed -n 's/^CMAKE_INSTALL_LIBDIR:PATH=//p' "$build/CMakeCache.txt")"
case "$libdir" in
  /*) ;;
  *) libdir="$stage/$libdir" ;;
esac

# The CMake package.
cmake -S "$here" -B "$work/client" -DCMAKE_PREFIX_PATH="$stage"
found="$(sed -n 's/^zidevuv10_DIR:PATH=//p' "$work/client/CMakeCache.txt")"
if [ "$found" != "$libdir/cmake/zidevuv10" ]; then
  echo "$0: find_package found $found, not the package in $stage" >&2
  exit 1
fi
cmake --build "$work/client"
LD_LIBRARY_PATH="$libdir" "$work/client/client"

# The pkg-config files: the whole library and the C functions alone.
export PKG_CONFIG_PATH="$libdir/pkgconfig"
for module in zidevuv10 zidevuv10-profile; do
  version="$(pkg-config --modversion "$module")"
  # shellcheck disable=SC2046  # the flags are meant to split into words
  "${CC:-cc}" -std=c11 -Wall -Wextra -Wpedantic -Werror "$here/pkgconfig_check.c" \
    -o "$work/pkgconfig_check" $(pkg-config --cflags --libs "$module")
  LD_LIBRARY_PATH="$libdir" "$work/pkgconfig_check" "$work" "$version"
done

# The Python package, found through PYTHONPATH alone: the module reaches the
# library through its own RPATH, without LD_LIBRARY_PATH.
pydir="$(sed -n 's/^ZIDEVUV10_PYTHON_INSTALL_DIR:[A-Z]*=//p' "$build/CMakeCache.txt")"
if [ -n "$pydir" ]; then
  python="$(sed -n 's/^_Python3_EXECUTABLE:INTERNAL=//p' "$build/CMakeCache.txt")"
  (cd "$work" && PYTHONPATH="$stage/$pydir" "$python" - "$stage/$pydir" <<'PY'
import sys
import zidevuv10
from zidevuv10 import win32api
assert zidevuv10.__file__.startswith(sys.argv[1]), zidevuv10.__file__
settings = zidevuv10.Dispatch("VEZEzoro10.clsOrviInifINIFilesObjC")
settings.FullPath = ".\\python.ini"
settings.SectionName = "Check"
assert settings.PutInt("Answer", 42) == 1
assert win32api.GetProfileVal("Check", "Answer", 0, "./python.ini") == 42
assert zidevuv10.Profile("./python.ini")["check"]["ANSWER"] == "42"
print("Python package imported from", zidevuv10.__file__)
PY
  )
  echo "check-installed-package: the installed Python package works"
fi
echo "check-installed-package: the installed package works through find_package and pkg-config"
