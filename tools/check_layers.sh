#!/usr/bin/env bash
# Checks that the folders of src/ include one another downwards only.
#
# The folders stand in layers, from the bottom:
#   platform
#   records, db, net
#   core
#   sales, posting
#   fiscal, report, sync
#   ui
#   app
# A file may include headers of its own folder and of lower layers. It may
# not include a higher layer, nor a sibling folder of its own layer: what two
# siblings share belongs a layer below them.
#
# Usage: tools/check_layers.sh [src-folder]   (default: the src/ beside tools/)
# Prints every include against that order and fails when there is one.
set -euo pipefail

src=${1:-"$(dirname "$0")/../src"}
cd "$src"

declare -A layer=(
  [platform]=0
  [records]=1 [db]=1 [net]=1
  [core]=2
  [sales]=3 [posting]=3
  [fiscal]=4 [report]=4 [sync]=4
  [ui]=5
  [app]=6
)

# Sets `normalized` to the path with "." and ".." resolved (no file access).
normalize() {
  local -a parts out=()
  local part
  IFS=/ read -ra parts <<< "$1"
  for part in "${parts[@]}"; do
    case $part in
      '' | .) ;;
      ..) [ ${#out[@]} -gt 0 ] && unset 'out[-1]' ;;
      *) out+=("$part") ;;
    esac
  done
  normalized=
  for part in "${out[@]}"; do normalized+=${normalized:+/}$part; done
}

pattern='^[[:space:]]*#[[:space:]]*include[[:space:]]*(["<])([^">]+)[">]'
checked=0
wrong=0
while IFS= read -r hit; do
  file=${hit%%:*}
  rest=${hit#*:}
  line=${rest%%:*}
  text=${rest#*:}
  [[ $text =~ $pattern ]] || continue
  quote=${BASH_REMATCH[1]}
  target=${BASH_REMATCH[2]}
  file=${file#./}
  from=${file%%/*}

  # Resolve the header as the compiler does: a quoted name beside the file
  # first, then any name under src/. Headers found in neither place are not
  # ours (system and library headers).
  dir=${file%/*}
  resolved=
  if [ "$quote" = '"' ] && [ -f "$dir/$target" ]; then
    normalize "$dir/$target"
    resolved=$normalized
  elif [ -f "$target" ]; then
    normalize "$target"
    resolved=$normalized
  fi
  [ -n "$resolved" ] || continue
  to=${resolved%%/*}
  checked=$((checked + 1))

  if [ -z "${layer[$from]+set}" ]; then
    echo "src/$file:$line: the folder $from has no place in the layer order (tools/check_layers.sh)"
    wrong=$((wrong + 1))
  elif [ -z "${layer[$to]+set}" ]; then
    echo "src/$file:$line: includes $resolved, whose folder $to has no place in the layer order"
    wrong=$((wrong + 1))
  elif [ "$from" != "$to" ] && [ "${layer[$to]}" -ge "${layer[$from]}" ]; then
    if [ "${layer[$to]}" -eq "${layer[$from]}" ]; then how="its sibling"; else how="the higher"; fi
    echo "src/$file:$line: $from includes $resolved from $how folder $to"
    wrong=$((wrong + 1))
  fi
done < <(grep -rnIE "$pattern" . || true)

if [ "$wrong" -gt 0 ]; then
  echo "$wrong of $checked includes run against the layer order"
  exit 1
fi
echo "$checked includes, all within a folder or downwards"
