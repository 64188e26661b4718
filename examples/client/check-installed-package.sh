#!/usr/bin/env bash
# Checks the package as a client sees it: builds examples/client with
# find_package and runs it, then compiles and runs pkgconfig_check.c with
# nothing but `pkg-config --cflags --libs` of zidevuv10 and of
# zidevuv10-profile; when the Python package is there, imports it and uses
# it.
#
# Usage: examples/client/check-installed-package.sh STAGING_DIR [BUILD_DIR]
#        examples/client/check-installed-package.sh --system
#   STAGING_DIR  install prefix; must be absent or empty. The main project is
#                installed there from BUILD_DIR (default: build at the top of
#                the repository; configured here if it is not yet, and only
#                the installed targets are built), and the clients are
#                pointed at it.
#   --system     checks what the Debian packages installed under /usr,
#                found with no path given: CMake's, pkg-config's, the
#                loader's and /usr/bin/python3's own search paths.
set -euo pipefail

if [ $# -lt 1 ] || [ $# -gt 2 ] || { [ "$1" = --system ] && [ $# -ne 1 ]; }; then
  echo "usage: $0 STAGING_DIR [BUILD_DIR] | $0 --system" >&2
  exit 2
fi
here="$(cd "$(dirname "$0")" && pwd)"
root="$(cd "$here/../.." && pwd)"
work="$(mktemp -d)"
trap 'rm -rf "$work"' EXIT
# Keep the library's drive C away from the user's own files.
export ZIDEVUV10_DRIVE_C="$work/drive_c"

if [ "$1" = --system ]; then
  libdir="/usr/lib/$(dpkg-architecture -qDEB_HOST_MULTIARCH)"
  pydir=/usr/lib/python3/dist-packages
  python=/usr/bin/python3
  # Nothing but the system's own search paths.
  unset CMAKE_PREFIX_PATH PKG_CONFIG_PATH LD_LIBRARY_PATH PYTHONPATH
  cmake_prefix=()
  library_path=()
  python_path=()
else
  stage="$1"
  build="${2:-$root/build}"
  if [ -e "$stage" ] && [ -n "$(ls -A "$stage")" ]; then
    echo "$0: $stage is not empty; give an absent or empty folder to install into" >&2
    exit 2
  fi
  mkdir -p "$stage"
  stage="$(cd "$stage" && pwd)"

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
  pydir="$(sed -n 's/^ZIDEVUV10_PYTHON_INSTALL_DIR:[A-Z]*=//p' "$build/CMakeCache.txt")"
  [ -z "$pydir" ] || pydir="$stage/$pydir"
  python="$(sed -n 's/^_Python3_EXECUTABLE:INTERNAL=//p' "$build/CMakeCache.txt")"
  export PKG_CONFIG_PATH="$libdir/pkgconfig"
  cmake_prefix=(-DCMAKE_PREFIX_PATH="$stage")
  library_path=(env LD_LIBRARY_PATH="$libdir")
  python_path=(env PYTHONPATH="$pydir")
fi

# The CMake package.
cmake -S "$here" -B "$work/client" "${cmake_prefix[@]}"
found="$(sed -n 's/^zidevuv10_DIR:PATH=//p' "$work/client/CMakeCache.txt")"
if [ "$found" != "$libdir/cmake/zidevuv10" ]; then
  echo "$0: find_package found $found, not the package in $libdir" >&2
  exit 1
fi
cmake --build "$work/client"
"${library_path[@]}" "$work/client/client"

# The pkg-config files: the whole library and the C functions alone.
for module in zidevuv10 zidevuv10-profile; do
  version="$(pkg-config --modversion "$module")"
  # shellcheck disable=SC2046  # the flags are meant to split into words
  "${CC:-cc}" -std=c11 -Wall -Wextra -Wpedantic -Werror "$here/pkgconfig_check.c" \
    -o "$work/pkgconfig_check" $(pkg-config --cflags --libs "$module")
  "${library_path[@]}" "$work/pkgconfig_check" "$work" "$version"
done

# The Python package, found through PYTHONPATH (or the interpreter's own
# folders) alone: the module reaches the library through its own RPATH or
# the loader's search path, without LD_LIBRARY_PATH.
if [ -n "$pydir" ] && { [ "$1" != --system ] || [ -d "$pydir/zidevuv10" ]; }; then
  (cd "$work" && "${python_path[@]}" "$python" - "$pydir" <<'PY'
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
