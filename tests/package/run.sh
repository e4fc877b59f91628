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
    # The installed qel-find: a grab of the screen, the colour of one of its pixels, and that
    # colour found again in the grab, all through the system's GDI.
    echo "== qel-find.exe"
    cp "$prefix/bin/qel-find.exe" "$work/user/"
    xvfb-run -a -s "-screen 0 640x480x24" bash -c '
      set -euo pipefail
      wine ./qel-find.exe grab --area 0,0,8,8 --bits 24 -o grab.bmp
      [[ "$(head -c 2 grab.bmp)" == BM ]] || { echo "grab.bmp is no BMP file"; exit 1; }
      read -r hex decimal < <(wine ./qel-find.exe pixel 3 3 | tr -d "\r")
      echo "pixel 3 3: $hex $decimal"
      found=$(wine ./qel-find.exe color "$hex" --in grab.bmp --all | tr -d "\r")
      grep -qx "3 3" <<<"$found" || { echo "3 3 not among the places of $hex: $found"; exit 1; }'
    ;;
  *)
    echo "usage: $0 BUILD_DIR linux|windows [CMAKE_ARGUMENT...]" >&2
    exit 2
    ;;
esac
