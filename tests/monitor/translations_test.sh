#!/usr/bin/env bash
# Every text of the monitor window has its translation: lupdate is run over the sources into a
# copy of each .ts file, and a text it finds untranslated (new, or changed since) fails the test.
#   translations_test.sh LUPDATE SOURCE_FOLDER TS_FILE...
set -euo pipefail
lupdate=$1
sources=$2
shift 2
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
status=0
for ts in "$@"; do
  copy="$work/$(basename "$ts")"
  cp "$ts" "$copy"
  "$lupdate" -silent -no-obsolete -locations none "$sources" -ts "$copy"
  if grep -n -B2 'type="unfinished"' "$copy"; then
    echo "FAIL: $(basename "$ts") lacks the translations above" >&2
    status=1
  fi
done
exit $status
