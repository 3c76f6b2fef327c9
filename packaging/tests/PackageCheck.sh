#!/usr/bin/env bash
# SPDX-License-Identifier: MIT
# Builds the Debian package twice from a finished build and checks it as a packager and a desktop would:
# both runs give the same bytes, under 480,000 bytes, lintian without errors or warnings, AppStream metainfo
# without a single note, a valid menu entry, no installed executable carrying debug sections or missing its
# help archive, and the risk chart and the several-bets window each in its own module, the joint-stakes core
# in the latter alone.
# Usage: PackageCheck.sh BUILD_DIR WORK_DIR
set -uo pipefail
build=$1
work=$2
rm -rf "$work"
mkdir -p "$work"
failures=0
fail() {
    echo "FAIL: $*" >&2
    failures=$((failures + 1))
}

# Twice, with no SOURCE_DATE_EPOCH given: the package takes its times from the sources, so both runs must
# give the same bytes.
unset SOURCE_DATE_EPOCH
for run in 1 2; do
    if ! cpack --config "$build/CPackConfig.cmake" -B "$work/run$run" >"$work/cpack$run.log" 2>&1; then
        cat "$work/cpack$run.log" >&2
        echo "FAIL: cpack" >&2
        exit 1
    fi
done
deb=$(ls "$work"/run1/*.deb)
cmp "$deb" "$work/run2/$(basename "$deb")" || fail "two runs of cpack gave different packages"
size=$(stat -c %s "$deb")
echo "package: $(basename "$deb"), $size bytes"
((size < 480000)) || fail "the package is $size bytes, not under 480,000"

if ! lintian --fail-on error,warning --tag-display-limit 0 \
    "$deb"; then
    fail "lintian"
fi

root=$work/root
dpkg-deb -x "$deb" "$root"
# Not even an info note.
appstreamcli validate --no-net --pedantic "$root"/usr/share/metainfo/*.metainfo.xml >"$work/appstream.log" 2>&1 ||
    fail "appstreamcli validate: $(cat "$work/appstream.log")"
grep -qE '^[IW]:' "$work/appstream.log" && fail "appstreamcli notes: $(grep -E '^[IW]:' "$work/appstream.log")"
desktop-file-validate "$root"/usr/share/applications/*.desktop || fail "desktop-file-validate"

while IFS= read -r -d '' f; do
    if [[ $(head -c4 "$f" | od -An -c | tr -d ' ') == 177ELF ]]; then
        if readelf -SW "$f" | grep -q '\.debug_'; then
            fail "${f#"$root"} carries debug sections"
        fi
        [[ $f == *.so || -x $f ]] || fail "${f#"$root"} is not executable"
    fi
done < <(find "$root" -type f -print0)

[[ $(ls "$root/usr/bin") == Brelmont ]] || fail "usr/bin holds $(ls "$root/usr/bin" | tr '\n' ' ')"
[[ -x $root/usr/libexec/brelmont/brelmont-help ]] || fail "the help viewer is not in usr/libexec/brelmont"
# The risk chart's module lies where the program looks for it, and the program itself does not load the chart's
# libraries at start.
[[ -f $root/usr/lib/brelmont/modules/brelmont-riskchart.so ]] ||
    fail "the risk chart module is not in usr/lib/brelmont/modules"
[[ -f $root/usr/lib/brelmont/modules/brelmont-several.so ]] ||
    fail "the several-bets module is not in usr/lib/brelmont/modules"
if readelf -d "$root/usr/bin/Brelmont" | grep -q 'NEEDED.*libQt6Charts'; then
    fail "the program loads Qt Charts at start"
fi
# The command line's --bets and --fair borrow the module's core; a second copy in the program is what made the
# package heavy. The core's own words for a set too large tell whether it is there.
if grep -q 'Одновременных независимых событий не больше' "$root/usr/bin/Brelmont"; then
    fail "the program carries its own copy of the joint-stakes core"
fi
for size in 16 22 24 32 48 64 128 256; do
    icon=$(ls "$root"/usr/share/icons/hicolor/${size}x$size/apps/*.png)
    [[ $(identify -format %wx%h "$icon" 2>/dev/null) == "${size}x$size" ]] || fail "no ${size}x$size icon"
done
# The packaged program is the built one, archive and all.
cmp -s "$root/usr/bin/Brelmont" "$build/app/Brelmont" || fail "the packaged program differs from the built one"

exit $((failures > 0))
