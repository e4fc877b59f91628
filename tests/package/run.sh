#!/usr/bin/env bash
# Installs a build of Qel into a fresh prefix and builds and runs tests/package against what was
# installed there, not against the build tree: through the CMake package (shared and static) and,
# on Linux, through pkg-config. Linux programs run on a private X server, Windows ones under Wine.
#
#   tests/package/run.sh BUILD_DIR linux|windows [CMAKE_ARGUMENT...]
#
# The arguments after the platform go to the consumer's configuration (the sanitizer build passes
# its flags, so that the consumer links the same runtime).
set -euo pipefail
source="$(cd "$(dirname "$0")" && pwd)"
root="$(cd "$source/../.." && pwd)"
build="$(cd "$1" && pwd)"
platform="$2"
shift 2
source "$root/scripts/x_session.sh"
begin_session

prefix="$work/prefix"
cmake --install "$build" --prefix "$prefix" >"$work/install.log"
libdir="$(dirname "$(find "$prefix" -name QelConfig.cmake -printf '%h')")"
libdir="$(dirname "$libdir")"

case "$platform" in
  linux)
    cmake -S "$source" -B "$work/user" -G Ninja -DCMAKE_PREFIX_PATH="$prefix" "$@" >"$work/configure.log" ||
      { cat "$work/configure.log"; exit 1; }
    cmake --build "$work/user" >"$work/build.log" || { cat "$work/build.log"; exit 1; }
    # A plain compiler line, as a Makefile would have it.
    flags=$(PKG_CONFIG_PATH="$libdir/pkgconfig" pkg-config --cflags --libs qel)
    extra=()
    for argument in "$@"; do
      case "$argument" in -DCMAKE_CXX_FLAGS=*) read -ra extra <<<"${argument#*=}" ;; esac
    done
    # shellcheck disable=SC2086
    g++ -std=c++20 -Wall -Wextra -Werror "${extra[@]}" "$source/package_user.cpp" $flags \
      -o "$work/user/package_user_pkgconfig"
    start_xvfb 640x480 "$work"
    children+=("$xvfb_pid")
    cd "$work"
    for user in package_user package_user_static package_user_pkgconfig; do
      echo "== $user"
      LD_LIBRARY_PATH="$libdir" "$work/user/$user"
    done
    ;;
  windows)
    cmake -S "$source" -B "$work/user" -G Ninja \
      -DCMAKE_TOOLCHAIN_FILE="$root/cmake/mingw-w64-x86_64.cmake" \
      -DQel_DIR="$libdir/cmake/Qel" "$@" >"$work/configure.log" ||
      { cat "$work/configure.log"; exit 1; }
    cmake --build "$work/user" >"$work/build.log" || { cat "$work/build.log"; exit 1; }
    # The installed DLL goes beside the program, as Windows finds it.
    cp "$prefix/bin/libqel_bitmap"*.dll "$work/user/"
    cd "$work/user"
    for user in package_user package_user_static; do
      echo "== $user.exe"
      xvfb-run -a -s "-screen 0 640x480x24" wine "./$user.exe"
    done
    ;;
  *)
    echo "usage: $0 BUILD_DIR linux|windows [CMAKE_ARGUMENT...]" >&2
    exit 2
    ;;
esac
