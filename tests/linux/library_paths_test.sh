#!/usr/bin/env bash
# The programs the build makes search no folder by chance: an empty entry in an ELF file's RPATH or
# RUNPATH is the working folder, where any file of a library's name would be loaded.
# Usage: library_paths_test.sh FILE...
set -euo pipefail
failures=0
for file in "$@"; do
  paths=$(readelf -d "$file" | sed -n 's/.*(\(RPATH\|RUNPATH\)).*\[\(.*\)\]/\2/p')
  # Empty entries: a path that is empty, starts or ends with ':', or holds '::'.
  if [[ -n "$paths" && ( "$paths" == :* || "$paths" == *: || "$paths" == *::* ) ]] ||
     readelf -d "$file" | grep -qE '\((RPATH|RUNPATH)\).*\[\]'; then
    echo "FAIL $file: an empty search path entry in [$paths]" >&2
    failures=$((failures + 1))
  else
    echo "ok   $file: [${paths}]"
  fi
done
echo "$(( $# - failures )) passed, $failures failed"
(( failures == 0 ))
