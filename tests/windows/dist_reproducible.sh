#!/usr/bin/env bash
# The archive is reproducible: packing this build tree's quorvel.exe gives the same bytes, zip
# and sums, as the dist target of the clean build in another folder, made earlier and apart.
#   dist_reproducible.sh SOURCE_DIR VERSION BUILT_EXE CLEAN_DIST_DIR SCRATCH_DIR
set -euo pipefail
source_dir=$1 version=$2 built=$3 clean=$4 scratch=$5
zip=quorvel-$version-win64.zip
rm -rf "$scratch"
"$source_dir/tools/make-dist" --exe "$built" --version "$version" --source "$source_dir" \
    --out "$scratch" >/dev/null
failed=0
for file in "$zip" SHA256SUMS; do
    if ! cmp "$clean/$file" "$scratch/$file"; then
        echo "$file differs between two packings of the same sources"
        failed=1
    fi
done
[ $failed = 0 ] || exit 1
echo "2 passed, 0 failed"
rm -rf "$scratch"
