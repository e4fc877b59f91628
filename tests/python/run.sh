#!/usr/bin/env bash
# Installs the Python module of a build of Qel into a fresh prefix and runs test_qel.py with
# Debian's Python against the installed module, on a private X server showing the scene that
# qel-find's test searches too.
#
#   tests/python/run.sh BUILD_DIR SCENE_PICTURE_PROGRAM
set -euo pipefail
source="$(cd "$(dirname "$0")" && pwd)"
root="$(cd "$source/../.." && pwd)"
build="$(cd "$1" && pwd)"
scene_picture="$(realpath "$2")"
source "$root/scripts/x_session.sh"
source "$root/tests/tools/scene.sh"
begin_session

cache_value() { sed -n "s/^$1:[A-Z]*=//p" "$build/CMakeCache.txt"; }
install_dir=$(cache_value QEL_PYTHON_INSTALL_DIR)
configured_prefix=$(cache_value CMAKE_INSTALL_PREFIX)
# Installed under Debian's own prefixes, the module must land where Debian's Python looks.
case "$configured_prefix" in
  /usr | /usr/local)
    /usr/bin/python3 -c 'import sys; sys.exit(sys.argv[1] not in sys.path)' \
      "$configured_prefix/$install_dir" ||
      { echo "Debian's Python does not read $configured_prefix/$install_dir" >&2; exit 1; } ;;
esac

prefix="$work/prefix"
cmake --install "$build" --prefix "$prefix" --component python >"$work/install.log"
module_dir="$prefix/$install_dir"
[[ -n $(find "$module_dir" -maxdepth 1 -name 'qel.cpython-*.so') ]] ||
  { echo "the module is not in $module_dir:" >&2; find "$prefix" >&2; exit 1; }
export PYTHONPATH="$module_dir"

start_xvfb 1920x1080 "$work"
children+=("$xvfb_pid")
show_scene "$scene_picture"
cd "$work"
/usr/bin/python3 -m pytest -q -p no:cacheprovider "$source/test_qel.py"
