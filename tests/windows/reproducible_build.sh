#!/usr/bin/env bash
# The same sources give the same quorvel.exe: build it again from clean in another folder and
# compare the bytes with the one this build tree made. The clean build also makes the archive
# (its dist target, into SCRATCH_DIR/dist) and stays for the archive checks; the next run
# starts it afresh.
#   reproducible_build.sh SOURCE_DIR SCRATCH_DIR BUILT_EXE
set -euo pipefail
source_dir=$1 scratch=$2 built=$3
rm -rf "$scratch"
cmake -S "$source_dir" -B "$scratch" -G Ninja -DCMAKE_BUILD_TYPE=Release \
    -DCMAKE_TOOLCHAIN_FILE="$source_dir/cmake/mingw-w64-x86_64.cmake" \
    -DQUORVEL_DIST_DIR="$scratch/dist" >/dev/null
cmake --build "$scratch" --target quorvel dist >/dev/null
if cmp "$built" "$scratch/quorvel.exe"; then
    echo "1 passed, 0 failed"
else
    echo "quorvel.exe differs between two builds of the same sources"
    exit 1
fi
