#!/usr/bin/env bash
# The main job: the command-line tool runs the settings-class example script
# in a new temporary folder, then lists the sections and one section of the
# file the script wrote. Each step is announced on a line starting "==".
#
# Usage: examples/main-job.sh [TOOL]   (TOOL: default build/tools/cli/zidevuv10)
set -euo pipefail
root="$(cd "$(dirname "$0")/.." && pwd)"
tool="$(realpath "${1:-$root/build/tools/cli/zidevuv10}")"
work="$(mktemp -d)"
cd "$work"
echo "== zidevuv10 run examples/scripts/settings.vbs, in $work"
echo "   The script writes demo.ini through the settings class and prints what it"
echo "   reads back. Its last step reads with no section chosen, on purpose: the"
echo "   class answers that with a message box, printed as the [MsgBox] line."
"$tool" run "$root/examples/scripts/settings.vbs"
echo "== zidevuv10 get demo.ini: the file's sections"
"$tool" get demo.ini
echo "== zidevuv10 entries demo.ini Window: that section's key=value lines"
"$tool" entries demo.ini Window
echo "== done; demo.ini stays in $work"
