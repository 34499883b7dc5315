#!/usr/bin/env bash
# Checks that no folder of src/ includes a header of a folder above it.
# The floors, lowest first; a folder may include its own headers and those
# of the floors below it, never those of its own floor's other folders:
#   0  base                the ground floor: console, files, hex digits, little-endian, flash geometry
#   1  catalogue output    the catalogue and crc.ini; loader records, flash image, bank loader files;
#      disk                the drives' disk images, written and read
#   2  rom                 ROM files and their blocks, into the catalogue and the outputs
#   3  inspect             the inspector's checks and reports
#   4  run                 the top: the three programs' command lines and runs
set -euo pipefail
cd "$(dirname "$0")/../src"
declare -A floor=([base]=0 [catalogue]=1 [output]=1 [disk]=1 [rom]=2 [inspect]=3 [run]=4)
status=0
for dir in "${!floor[@]}"; do
    while IFS=: read -r file line include; do
        used=${include#*\"}
        used=${used%%/*}
        [ "$used" = "$dir" ] && continue
        if [ -z "${floor[$used]+set}" ] || [ "${floor[$used]}" -ge "${floor[$dir]}" ]; then
            echo "src/$file:$line: $dir/ (floor ${floor[$dir]}) includes $used/ (floor ${floor[$used]:-unknown})" >&2
            status=1
        fi
    done < <(grep -rn -E '^#include "[a-z_]+/' "$dir" || true)
done
[ "$status" -eq 0 ] && echo "layers: no folder includes a header from a folder above it"
exit "$status"
