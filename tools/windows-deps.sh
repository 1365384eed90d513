#!/usr/bin/env bash
# tools/windows-deps.sh PREFIX: builds static SQLite, libjpeg-turbo, libpq and GoogleTest
# for 64-bit Windows into PREFIX, from Debian's own source packages (SQLite's
# amalgamation is generated with tclsh, libjpeg-turbo's SIMD code assembled with
# nasm; libpq from the PostgreSQL source of the installed libpq-dev, without TLS, as
# Debian builds no OpenSSL for mingw) and GoogleTest's sources in libgtest-dev. Does
# nothing when PREFIX already holds them all (libpq is added to a PREFIX made before
# it was); a deb-src entry is added to APT when none is configured.
# tools/windows-deps.sh --apt-sources only adds that entry (it may need sudo, so
# tools/test-windows.sh does it before building in the background).
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
if [[ $1 != --apt-sources ]]; then
  prefix=$(mkdir -p "$1" && cd "$1" && pwd)
  toolchain=$root/cmake/mingw-w64-x86_64.cmake
  stamp=$prefix/.complete
  libpq_stamp=$prefix/.libpq-complete
  [[ -f $stamp && -f $libpq_stamp ]] && exit 0
fi

sudo=""
[[ $(id -u) -eq 0 ]] || sudo="sudo"

has_deb_src() {
  grep -Eqs '^[[:space:]]*Types:.*deb-src' /etc/apt/sources.list.d/*.sources ||
    grep -Eqs '^[[:space:]]*deb-src[[:space:]]' /etc/apt/sources.list /etc/apt/sources.list.d/*.list
}
if ! has_deb_src; then
  # The same archive as the binary packages, for source packages.
  main=/etc/apt/sources.list.d/debian.sources
  [[ -f $main ]] || { echo "windows-deps: no deb-src entry and no $main to derive one from" >&2; exit 1; }
  echo "windows-deps: adding deb-src entries to APT"
  sed -E 's/^Types:.*/Types: deb-src/' "$main" | $sudo tee /etc/apt/sources.list.d/debian-src.sources >/dev/null
  $sudo apt-get update -qq
fi
[[ $1 == --apt-sources ]] && exit 0

work=$prefix/src
rm -rf "$work"
mkdir -p "$work"
cd "$work"
jobs=$(nproc)
build() { nice -n 10 "$@"; }
# The compiler cache, as in tools/build.sh: a second clone compiles nothing again.
cache=()
launcher=()
if command -v ccache >/dev/null; then
  cache=(env "CCACHE_BASEDIR=$root" CCACHE_NOHASHDIR=true ccache)
  launch="env;CCACHE_BASEDIR=$root;CCACHE_NOHASHDIR=true;ccache"
  launcher=(-DCMAKE_C_COMPILER_LAUNCHER="$launch" -DCMAKE_CXX_COMPILER_LAUNCHER="$launch")
fi

build_libpq() {
  echo "windows-deps: libpq"
  # The source of the libpq installed here; the archive may hold only that version.
  local version
  version=$(dpkg-query -W -f='${source:Version}' libpq-dev)
  apt-get source -qq "postgresql-15=$version" 2>&1 | grep -v '^W: Download is performed unsandboxed' || true
  local src
  src=$(find "$work" -maxdepth 1 -type d -name 'postgresql-15-*' | head -1)
  mkdir -p "$work/pq-build"
  (cd "$work/pq-build" && build "$src/configure" --host=x86_64-w64-mingw32 CC="${cache[*]} x86_64-w64-mingw32-gcc-posix" \
    --without-readline --without-zlib --without-icu --without-openssl --without-ldap --without-gssapi \
    --disable-nls >/dev/null &&
    for dir in src/include src/port src/common src/interfaces/libpq; do build make -s -j "$jobs" -C "$dir" >/dev/null; done)
  # libpq.a of a mingw build is the DLL's import library: its objects make the static one.
  local objects
  objects=$(find "$work/pq-build/src/interfaces/libpq" -maxdepth 1 -name '*.o' ! -name 'win32ver.o')
  mkdir -p "$prefix/include" "$prefix/lib"
  # shellcheck disable=SC2086
  x86_64-w64-mingw32-ar rcs "$prefix/lib/libpq_static.a" $objects
  # libpq brings its own small pthread functions (over critical sections), which would
  # clash with winpthreads' when linked statically: they get names of their own.
  local renames=()
  for symbol in pthread_getspecific pthread_mutex_init pthread_mutex_lock pthread_mutex_unlock pthread_self \
    pthread_setspecific; do
    renames+=(--redefine-sym "$symbol=pq_$symbol")
  done
  x86_64-w64-mingw32-objcopy "${renames[@]}" "$prefix/lib/libpq_static.a"
  install -m 644 "$work/pq-build/src/common/libpgcommon_shlib.a" "$work/pq-build/src/port/libpgport_shlib.a" "$prefix/lib/"
  install -m 644 "$src/src/interfaces/libpq/libpq-fe.h" "$src/src/include/postgres_ext.h" \
    "$work/pq-build/src/include/pg_config_ext.h" "$prefix/include/"
  touch "$libpq_stamp"
}

if [[ -f $stamp ]]; then
  build_libpq
  rm -rf "$work"
  echo "windows-deps: done in $prefix"
  exit 0
fi
apt-get source -qq sqlite3 libjpeg-turbo 2>&1 | grep -v '^W: Download is performed unsandboxed' || true

echo "windows-deps: SQLite"
sqlite_src=$(find "$work" -maxdepth 1 -type d -name 'sqlite3-*' | head -1)
mkdir -p "$work/sqlite-amalgamation"
(cd "$work/sqlite-amalgamation" && build "$sqlite_src/configure" --disable-tcl >/dev/null &&
  build make -s sqlite3.c >/dev/null)
mkdir -p "$prefix/include" "$prefix/lib"
build "${cache[@]}" x86_64-w64-mingw32-gcc-posix -O2 -DSQLITE_THREADSAFE=1 -DSQLITE_OMIT_LOAD_EXTENSION \
  -c "$work/sqlite-amalgamation/sqlite3.c" -o "$work/sqlite3.o"
x86_64-w64-mingw32-ar rcs "$prefix/lib/libsqlite3.a" "$work/sqlite3.o"
cp "$work/sqlite-amalgamation/sqlite3.h" "$sqlite_src/src/sqlite3ext.h" "$prefix/include/" 2>/dev/null ||
  cp "$work/sqlite-amalgamation/sqlite3.h" "$prefix/include/"

echo "windows-deps: libjpeg-turbo"
jpeg_src=$(find "$work" -maxdepth 1 -type d -name 'libjpeg-turbo-*' | head -1)
build cmake -S "$jpeg_src" -B "$work/jpeg-build" -G Ninja -DCMAKE_TOOLCHAIN_FILE="$toolchain" "${launcher[@]}" \
  -DCMAKE_BUILD_TYPE=Release -DCMAKE_INSTALL_PREFIX="$prefix" -DENABLE_SHARED=OFF -DENABLE_STATIC=ON \
  -DWITH_TURBOJPEG=OFF -DREQUIRE_SIMD=ON >/dev/null
build cmake --build "$work/jpeg-build" -j "$jobs" --target jpeg-static >/dev/null
install -m 644 "$work/jpeg-build/libjpeg.a" "$prefix/lib/"
install -m 644 "$jpeg_src/jpeglib.h" "$jpeg_src/jmorecfg.h" "$jpeg_src/jerror.h" "$work/jpeg-build/jconfig.h" \
  "$prefix/include/"

echo "windows-deps: GoogleTest"
build cmake -S /usr/src/googletest -B "$work/gtest-build" -G Ninja -DCMAKE_TOOLCHAIN_FILE="$toolchain" "${launcher[@]}" \
  -DCMAKE_BUILD_TYPE=Release -DCMAKE_INSTALL_PREFIX="$prefix" -DBUILD_GMOCK=OFF >/dev/null
build cmake --build "$work/gtest-build" -j "$jobs" >/dev/null
cmake --install "$work/gtest-build" >/dev/null

build_libpq
rm -rf "$work"
touch "$stamp"
echo "windows-deps: done in $prefix"
