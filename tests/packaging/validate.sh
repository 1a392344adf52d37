#!/bin/sh
# Validates the desktop entry or the AppStream metainfo.
#   validate.sh desktop FILE | validate.sh metainfo FILE
# Exits 77 (skipped) only when the validator itself is not installed.
set -u
kind=$1
file=$2
case $kind in
  desktop) tool=desktop-file-validate ;;
  metainfo) tool=appstreamcli ;;
  *) echo "validate.sh: unknown kind $kind" >&2; exit 2 ;;
esac
if ! command -v "$tool" >/dev/null 2>&1; then
  echo "SKIPPED: $tool is not installed (apt-get install desktop-file-utils appstream)"
  exit 77
fi
if [ "$kind" = desktop ]; then
  # desktop-file-validate prints hints and warnings but exits 0 for them;
  # any output at all counts as a failure here.
  out=$(desktop-file-validate "$file" 2>&1)
  rc=$?
  [ -n "$out" ] && echo "$out"
  [ $rc -eq 0 ] && [ -z "$out" ]
  exit $?
fi
appstreamcli validate --no-net --explain "$file"
