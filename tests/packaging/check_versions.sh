#!/bin/sh
# The version is written once, in project(); the Debian changelog and the
# AppStream metainfo keep a history, whose newest entry must be this version.
#   check_versions.sh VERSION CHANGELOG METAINFO
set -u
version=$1
changelog=$2
metainfo=$3
fail=0
newest_changelog=$(sed -n '1s/^saberline (\([^)]*\)).*/\1/p' "$changelog")
# Releases are listed newest first.
newest_release=$(sed -n 's/.*<release version="\([^"]*\)".*/\1/p' "$metainfo" | head -n 1)
for found in "changelog:$newest_changelog" "metainfo:$newest_release"; do
  if [ "${found#*:}" = "$version" ]; then
    echo "ok: the newest ${found%%:*} entry is $version"
  else
    echo "FAILED: the newest ${found%%:*} entry is \"${found#*:}\", the project is $version"
    fail=1
  fi
done
exit $fail
