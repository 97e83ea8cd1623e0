#!/usr/bin/env bash
# What a user downloads works: the archive holds exactly quorvel.exe, README.txt and
# LICENSE.txt, packed without dates or attributes of the packing machine; SHA256SUMS matches
# the archive and the unpacked exe; both texts have Windows line ends and the README no
# Markdown left in it; the unpacked quorvel.exe runs under Wine ("--exit" with none running
# ends with 0).
#   dist_unpacked_runs.sh TOOLS_DIR WINE_STATE VERSION DIST_DIR SCRATCH_DIR
set -uo pipefail
tools=$1 state=$2 version=$3 dist=$4 scratch=$5
zip=quorvel-$version-win64.zip
passed=0 failed=0
check() {  # DESCRIPTION COMMAND...: one row
    local description=$1
    shift
    if "$@"; then passed=$((passed + 1)); else echo "FAILED: $description"; failed=$((failed + 1)); fi
}

rm -rf "$scratch"
mkdir -p "$scratch"
cp "$dist/$zip" "$dist/SHA256SUMS" "$scratch/" || exit 1
cd "$scratch" || exit 1
unzip -q "$zip" || { echo "unzip failed"; exit 1; }

check "the archive holds quorvel.exe, README.txt and LICENSE.txt, in that order" \
    test "$(unzip -Z1 "$zip" | tr '\n' ' ')" = "quorvel.exe README.txt LICENSE.txt "
# What makes the same sources give the same bytes: nothing of when or where it was packed.
same_everywhere() {
    python3 - "$1" <<'PY'
import sys, zipfile
members = zipfile.ZipFile(sys.argv[1]).infolist()
sys.exit(not all(m.date_time == (1980, 1, 1, 0, 0, 0) and m.extra == b"" and
                 m.create_system == 0 and m.external_attr == 0x20 for m in members))
PY
}
check "every member has the one fixed date, no extra field and the archive bit alone" \
    same_everywhere "$zip"
check "SHA256SUMS names the archive and the exe" \
    test "$(awk '{print $2}' SHA256SUMS | tr '\n' ' ')" = "$zip quorvel.exe "
check "SHA256SUMS matches the archive and the unpacked exe" sha256sum --quiet -c SHA256SUMS

lines_end_in_crlf() {  # the last line too
    [ -s "$1" ] && [ "$(tail -c 2 "$1" | od -An -tx1 | tr -d ' ')" = 0d0a ] &&
        awk '!/\r$/ { bad = 1 } END { exit bad }' "$1"
}
check "README.txt has Windows line ends" lines_end_in_crlf README.txt
check "LICENSE.txt has Windows line ends" lines_end_in_crlf LICENSE.txt
check "README.txt has no Markdown marks left" \
    bash -c '! grep -qE "\*\*|\`|\]\(|^!\[|^#|^\|" README.txt'
check "LICENSE.txt is the MIT licence of the Quorvel authors" \
    grep -q "Copyright (c) 2026 the Quorvel authors" LICENSE.txt

QUORVEL_WINE_TIMEOUT=120 "$tools/wine-run" "$state" "$scratch/quorvel.exe" --exit
check "the unpacked quorvel.exe --exit ends with 0" test $? = 0

echo "$passed passed, $failed failed"
[ $failed = 0 ] && rm -rf "$scratch"
[ $failed = 0 ]
