#!/bin/sh
# The program's core must run without a display: the test program built from
# ledger_app alone (linked with --no-as-needed, so every library it was
# given is recorded) may need QtCore but never QtGui or QtWidgets.
set -eu
program="$1"
needed=$(readelf -d "$program" | grep NEEDED) || { echo "cannot read $program"; exit 1; }
echo "$needed" | grep -q 'libQt6Core' || { echo "$program does not link QtCore: the check reads the wrong file"; exit 1; }
if echo "$needed" | grep -E 'libQt6(Gui|Widgets)'; then
  echo "ledger_app links a window library"
  exit 1
fi
