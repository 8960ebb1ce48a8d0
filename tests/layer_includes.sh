#!/usr/bin/env bash
# Each folder of src is a layer that may include its own headers and those
# of the layers before it, never one after it:
#   engine < figures < ledger < transfer < access < app < ui
# Lists every include that points up and fails when there is one.
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
exit $found
