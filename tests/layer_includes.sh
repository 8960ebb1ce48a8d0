#!/usr/bin/env bash
# Each folder of src is a layer that may include its own headers and those
# of the layers before it, never one after it:
#   engine < figures < ledger < transfer < access < app < ui
# The window layer (ui) goes below the core only for the engine's read-only
# recordsets and their values and errors; and the write gate's hooks
# (ledger/change_hooks.h) are included only by the gate and the two files
# that define them.
# Lists every include that breaks a rule and fails when there is one.
# Usage: layer_includes.sh <src-dir>
set -euo pipefail
src=$1
layers=(engine figures ledger transfer access app ui)
rank() {
  local i
  for i in "${!layers[@]}"; do [ "${layers[$i]}" = "$1" ] && { echo "$i"; return; }; done
  echo -1
}
found=0
for layer in "${layers[@]}"; do
  own=$(rank "$layer")
  [ -d "$src/$layer" ] || { echo "no folder $src/$layer" >&2; exit 1; }
  while IFS=: read -r file line text; do
    included=$(sed -E 's/^[[:space:]]*#[[:space:]]*include[[:space:]]*"([^/"]+)\/.*/\1/' <<<"$text")
    target=$(rank "$included")
    if [ "$target" -gt "$own" ]; then
      echo "${file#"$src"/}:$line includes a header of $included, a layer above $layer: $text"
      found=1
    fi
  done < <(grep -rnE '^[[:space:]]*#[[:space:]]*include[[:space:]]*"[^/"]+/' "$src/$layer" || true)
done

ui_may_include='^(ui|app)/|^engine/(recordset|database|value|db_error)\.h$'
while IFS=: read -r file line text; do
  header=$(sed -E 's/^[[:space:]]*#[[:space:]]*include[[:space:]]*"([^"]+)".*/\1/' <<<"$text")
  if ! grep -qE "$ui_may_include" <<<"$header"; then
    echo "${file#"$src"/}:$line: the windows reach $header only through the core: $text"
    found=1
  fi
done < <(grep -rnE '^[[:space:]]*#[[:space:]]*include[[:space:]]*"[^/"]+/' "$src/ui" || true)

while IFS=: read -r file line text; do
  case "${file#"$src"/}" in
    ledger/ledger_change.cpp | ledger/kept_figures.cpp | ledger/undo_journal.cpp) ;;
    *)
      echo "${file#"$src"/}:$line: only the write gate uses its hooks: $text"
      found=1
      ;;
  esac
done < <(grep -rnE '^[[:space:]]*#[[:space:]]*include[[:space:]]*"ledger/change_hooks\.h"' "$src" || true)

exit $found
