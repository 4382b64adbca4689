#!/usr/bin/env bash
# Runs the corvel binary, as a user would, on the bundled example with its
# answers on standard input, and compares the console and every file written
# byte for byte with the expected ones.
set -euo pipefail
corvel=$1
examples=$2
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
cp "$examples/bridge.lis" "$work/"
cd "$work"
"$corvel" < "$examples/answers.txt" > console.txt
cmp console.txt "$examples/expected/console.txt"
written=$(ls *_stressTH.dat | sort)
expected=$(cd "$examples/expected" && ls *_stressTH.dat | sort)
[ "$written" = "$expected" ] || { echo "files differ: $written vs $expected"; exit 1; }
for f in $written; do cmp "$f" "$examples/expected/$f"; done
echo "example: console and $(echo "$written" | wc -l) files match"
