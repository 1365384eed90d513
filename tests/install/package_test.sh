#!/usr/bin/env bash
# tools/package.sh on this build tree: the .deb has its Debian name, computed library
# dependencies, no maintainer scripts, the installed files owned by root, and its
# unpacked velmora runs. Nothing is installed into the machine: the package is only
# unpacked with dpkg-deb -x into a temporary folder.
# usage: package_test.sh SOURCE_DIR BUILD_DIR VERSION
set -euo pipefail
source_dir=$1
build=$2
version=$3
source "$(dirname "$0")/check.sh"
out=$(mktemp -d)
trap 'rm -rf "$out"' EXIT

deb=$("$source_dir/tools/package.sh" --build-dir "$build" --output "$out/dist" | tail -n 1)
expect_equal "package file" "$(basename "$deb")" "velmora_${version}_$(dpkg --print-architecture).deb"

expect_equal "Package" "$(dpkg-deb -f "$deb" Package)" velmora
expect_equal "Version" "$(dpkg-deb -f "$deb" Version)" "$version"
expect_equal "Section" "$(dpkg-deb -f "$deb" Section)" graphics
depends=$(dpkg-deb -f "$deb" Depends)
for library in libc6 libstdc++6 libqt6core6 libqt6gui6 libqt6widgets6 libsqlite3-0 libjpeg62-turbo \
  qt6-qpa-plugins qt6-image-formats-plugins; do
  [[ ", $depends," == *", $library "[\(,]* || ", $depends," == *", $library,"* ]] || fail "Depends lacks $library: $depends"
done

[[ ", $(dpkg-deb -f "$deb" Recommends)," == *", xdg-utils,"* ]] || fail "Recommends lacks xdg-utils"

expect_equal "control files" "$(dpkg-deb --ctrl-tarfile "$deb" | tar -t | LC_ALL=C sort | tr '\n' ' ')" \
  "./control ./md5sums "
owners=$(dpkg-deb -c "$deb" | awk '{print $2}' | LC_ALL=C sort -u)
expect_equal "owners" "$owners" "root/root"

dpkg-deb -x "$deb" "$out/unpacked"
expect_equal "packaged files" "$(file_list "$out/unpacked")" "$(expected_files)"
expect_equal "unpacked velmora --version" "$(without_display "$out/unpacked/usr/bin/velmora" --version)" \
  "velmora $version"

finish
