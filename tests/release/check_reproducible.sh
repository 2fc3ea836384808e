#!/bin/sh
# Builds the release twice from one source tree, in two folders of
# different names and some seconds apart, and compares the files of the
# two release folders byte for byte; neither may carry the path it was
# built in.
#
#   check_reproducible.sh SOURCE_DIR WORK_DIR
set -eu

src=${1:?source folder}
work=${2:?work folder}
rm -rf "$work"
mkdir -p "$work"

build() {
  dir="$work/$1"
  if ! { cmake -S "$src" -B "$dir" -G "Unix Makefiles" -DCMAKE_TOOLCHAIN_FILE="$src/cmake/mingw-i686.cmake" \
    -DCMAKE_BUILD_TYPE=MinSizeRel -DBUILD_TESTING=OFF && cmake --build "$dir" --target dist -j2; } \
    >"$work/$1.log" 2>&1; then
    echo "FAIL the build in $dir failed:"
    cat "$work/$1.log"
    exit 1
  fi
}

build first
sleep 2
build "second build"

failed=0
for file in "$work/first/dist"/*; do
  name=$(basename "$file")
  if cmp -s "$file" "$work/second build/dist/$name"; then
    echo "same: $name ($(wc -c <"$file") bytes)"
  else
    echo "FAIL $name differs between the two builds"
    failed=1
  fi
  for dir in "$work/first" "$work/second build"; do
    if grep -q -a -F "$dir" "$file" "$work/second build/dist/$name"; then
      echo "FAIL $name carries the build folder $dir"
      failed=1
    fi
  done
done
if [ "$(ls "$work/first/dist" | wc -l)" -ne 6 ]; then
  echo "FAIL the release folder holds $(ls "$work/first/dist" | wc -l) files, not 6"
  failed=1
fi
exit $failed
