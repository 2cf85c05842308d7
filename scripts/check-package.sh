#!/usr/bin/env bash
# Installs a built tree into a temporary prefix and checks what a desktop takes from it (desktop
# entry, AppStream metainfo, icons, man pages, copyright, changelog, user guide); then makes the
# Debian package, unpacks it and runs the programs it carries. Any fault ends the script with status 1.
# Usage: bash scripts/check-package.sh [BUILD_FOLDER]   (default build, already built)
set -euo pipefail
cd "$(dirname "$0")/.."
build=${1:-build}
work=$(mktemp -d /tmp/zembrel-package.XXXXXX)
trap 'rm -rf "$work"' EXIT

fail() {
    echo "check-package: $*" >&2
    exit 1
}

version=$(sed -n 's/^CMAKE_PROJECT_VERSION:STATIC=//p' "$build/CMakeCache.txt")
[ -n "$version" ] || fail "no project version in $build/CMakeCache.txt"

# --- cmake --install ---
prefix=$work/prefix
cmake --install "$build" --prefix "$prefix" >/dev/null
for file in bin/zembrel bin/zembrel-cli share/applications/zembrel.desktop \
    share/metainfo/org.zembrel.zembrel.metainfo.xml \
    share/icons/hicolor/scalable/apps/zembrel.svg share/man/man1/zembrel-cli.1 \
    share/man/man1/zembrel.1 share/doc/zembrel/copyright share/doc/zembrel/changelog.gz \
    share/doc/zembrel/guide.md; do
    [ -f "$prefix/$file" ] || fail "not installed: $file"
done
for size in 16 22 24 32 48 64 128 256; do
    png=$prefix/share/icons/hicolor/${size}x${size}/apps/zembrel.png
    [ "$(identify -format '%wx%h' "$png")" = "${size}x${size}" ] || fail "$png is not ${size} px"
done
desktop-file-validate "$prefix/share/applications/zembrel.desktop" || fail "desktop entry"
# validate-tree also checks that the metainfo's desktop entry is installed beside it.
appstreamcli validate --no-net "$prefix/share/metainfo/org.zembrel.zembrel.metainfo.xml" ||
    fail "metainfo"
appstreamcli validate-tree --no-net "$prefix" || fail "installed tree"

# The documentation: a copyright file in Debian's machine-readable format under the licence of
# the sources, a changelog whose last entry is this version, and every picture the guide shows.
doc=$prefix/share/doc/zembrel
/usr/bin/python3 - "$doc/copyright" <<'PYTHON' || fail "copyright is not in copyright-format 1.0"
import sys
from debian.copyright import Copyright
with open(sys.argv[1], encoding="utf-8") as f:
    copyright = Copyright(f, strict=True)
licence = copyright.find_files_paragraph("src/gui/app/main.cpp").license.synopsis
sys.exit(0 if licence == "GPL-3.0-or-later" else f"licence {licence}")
PYTHON
changelog_version=$(zcat "$doc/changelog.gz" | dpkg-parsechangelog -l - -S Version)
[ "$changelog_version" = "$version" ] || fail "the changelog's last entry is $changelog_version"
pictures=$(grep -oE '!\[[^]]*\]\([^)]+\)' "$doc/guide.md" | sed -E 's/.*\((.*)\)/\1/')
[ -n "$pictures" ] || fail "the installed guide shows no pictures"
for picture in $pictures; do
    [ "$(identify -format '%m' "$doc/$picture")" = PNG ] || fail "guide picture $picture"
done

# The man pages render cleanly; zembrel-cli's names every option of every command.
for man_page in "$prefix"/share/man/man1/zembrel.1 "$prefix"/share/man/man1/zembrel-cli.1; do
    warnings=$(LC_ALL=C.UTF-8 MANWIDTH=80 man --warnings -l "$man_page" 2>&1 >/dev/null)
    [ -z "$warnings" ] || fail "man page $(basename "$man_page"): $warnings"
done
man_page=$prefix/share/man/man1/zembrel-cli.1
cli=$prefix/bin/zembrel-cli
commands=$("$cli" --help | sed -n '/^Subcommands:/,$p' | awk 'NR > 1 && NF { print $1 }')
[ -n "$commands" ] || fail "zembrel-cli --help lists no commands"
for command in "" $commands; do
    # Taken apart from the loop: a failing --help inside "for ... in $(...)" would pass unseen.
    # shellcheck disable=SC2086 # no command: the program's own options
    options=$("$cli" $command --help | grep -oE -- '--[a-z][a-z0-9-]*' | sort -u) ||
        fail "zembrel-cli $command --help failed"
    for option in $options; do
        grep -qF -- "\\fB$option\\fR" "$man_page" ||
            fail "the man page does not describe $option of zembrel-cli $command"
    done
done

# --- the Debian package ---
cmake --build "$build" --target package >/dev/null
deb=$build/zembrel_${version}_$(dpkg --print-architecture).deb
[ -f "$deb" ] || fail "no package $deb"
depends=$(dpkg-deb -f "$deb" Depends)
for library in libqt6widgets6 libqt6multimedia6 libfftw3 qt6-qpa-plugins; do
    [[ $depends == *"$library"* ]] || fail "the package does not depend on $library: $depends"
done
dpkg-deb -x "$deb" "$work/deb"
diff <(cd "$prefix" && find . -type f | sort) <(cd "$work/deb/usr" && find . -type f | sort) ||
    fail "the package does not hold what cmake --install installs"

unpacked=$work/deb/usr/bin
[ "$("$unpacked/zembrel-cli" --version)" = "$version" ] || fail "zembrel-cli --version"
"$unpacked/zembrel-cli" sine --sine 1000 --level -6 --rate 48000 --length 0.5 --channels 2 \
    -o "$work/sine.wav"
[ "$(sox --i -r "$work/sine.wav") $(sox --i -c "$work/sine.wav") $(sox --i -s "$work/sine.wav")" \
    = "48000 2 24000" ] || fail "the packaged zembrel-cli wrote a wrong format"
"$unpacked/zembrel-cli" stats "$work/sine.wav" | grep -q 'Peak Level: *-6.000 dBFS' ||
    fail "the packaged zembrel-cli measured a wrong level"
# --help and --version answer on a terminal without a display; the man page names each option.
no_display=(env -u DISPLAY -u WAYLAND_DISPLAY -u QT_QPA_PLATFORM)
"${no_display[@]}" "$unpacked/zembrel" --version | grep -qx "Zembrel $version" ||
    fail "zembrel --version"
help=$("${no_display[@]}" "$unpacked/zembrel" --help) || fail "zembrel --help"
for option in $(grep -oE -- '--[a-z][a-z0-9-]*' <<<"$help" | sort -u); do
    grep -qF -- "\\fB$option\\fR" "$prefix/share/man/man1/zembrel.1" ||
        fail "the man page of zembrel does not describe $option"
done

echo "check-package: $(basename "$deb") ($(du -k "$deb" | cut -f1) KiB) installs and runs"
