#!/usr/bin/env bash
# Checks that what the README shows simhost printing is what it prints now.
# A fenced sample preceded by the line "<!-- output of: simhost ARGS -->"
# (a comment, which the rendered README does not show) is compared with
# the output of `simhost ARGS` in the build's tree: each of its lines must
# appear in that output, in order and exactly; "..." (indented or not) stands for lines left
# out, and a line "$ COMMAND" for the command itself. Run from the build
# folder. Usage: readme_output.sh SIMHOST README
set -uo pipefail
simhost=$1 readme=$2
work=$(mktemp -d "${TMPDIR:-/tmp}/kvt-readme.XXXXXX")
trap 'rm -rf "$work"' EXIT
failed=0 samples=0

# Each sample as a file, and its arguments in args.N.
awk -v dir="$work" '
  /^<!-- output of: simhost .* -->$/ { sub(/^<!-- output of: simhost /, ""); sub(/ -->$/, ""); args = $0; next }
  args != "" && /^```/ && !inside { inside = 1; n++; print args > (dir "/args." n); next }
  inside && /^```/ { inside = 0; args = ""; next }
  inside { print > (dir "/sample." n) }
' "$readme"

for args_file in "$work"/args.*; do
  [ -f "$args_file" ] || continue
  n=${args_file##*.}
  samples=$((samples + 1))
  eval "set -- $(cat "$args_file")"
  "$simhost" "$@" >"$work/output.$n" 2>&1
  # The sample's lines, in order, must be lines of the output.
  if ! awk '
    NR == FNR { t = $0; gsub(/^[ \t]+|[ \t]+$/, "", t); if (t != "..." && $0 !~ /^\$ /) want[++w] = $0; next }
    i < w && $0 == want[i + 1] { i++ }
    END { if (i < w) { print "missing from the output: " want[i + 1]; exit 1 } }
  ' "$work/sample.$n" "$work/output.$n"; then
    echo "README sample $n (simhost $(cat "$args_file")) is not what simhost prints:"
    cat "$work/output.$n"
    failed=1
  fi
done
[ "$samples" -gt 0 ] || { echo "no checked samples in $readme"; exit 1; }
[ "$failed" -eq 0 ] && echo "$samples README samples are what simhost prints"
exit "$failed"
