#!/usr/bin/env bash
# The desktop entry and the file types validate, the types map .dv3 and .dv
# files to the program, and an install puts everything where a desktop looks.
# Arguments: the source folder and the build folder.
set -euo pipefail
source=$1
build=$2
desktop="$source/src/shell/desktop/ktdravune3d.desktop"
mime="$source/src/shell/desktop/ktdravune3d-mime.xml"
scratch=$(mktemp -d)
trap 'rm -rf "$scratch"' EXIT
passed=0
failed=0
check() {
    local what=$1
    shift
    if "$@" >"$scratch/out" 2>&1; then
        passed=$((passed + 1))
    else
        failed=$((failed + 1))
        echo "FAILED: $what"
        cat "$scratch/out"
    fi
}

check "the desktop entry validates" desktop-file-validate "$desktop"
check "the entry opens files" grep -qx 'Exec=ktdravune3d %f' "$desktop"
check "the MIME file is well-formed" xmllint --noout "$mime"

mkdir -p "$scratch/mime/packages"
cp "$mime" "$scratch/mime/packages/ktdravune3d.xml"
check "update-mime-database takes the types" update-mime-database "$scratch/mime"
check ".dv3 files are parameter files" grep -q 'application/x-ktdravune3d-parameters:\*\.dv3' "$scratch/mime/globs2"
check ".dv files are parameter files" grep -q 'application/x-ktdravune-parameters:\*\.dv$' "$scratch/mime/globs2"
for type in x-ktdravune3d-parameters x-ktdravune-parameters; do
    check "the entry handles $type" grep -q "application/$type;" "$desktop"
done

DESTDIR="$scratch/root" cmake --install "$build" --prefix /usr/local >"$scratch/install.log"
for file in bin/ktdravune3d bin/ktdravune3d-render share/applications/ktdravune3d.desktop \
    share/mime/packages/ktdravune3d.xml share/icons/hicolor/128x128/apps/ktdravune3d.png; do
    check "install puts $file in place" test -e "$scratch/root/usr/local/$file"
done

echo "$passed passed, $failed failed"
[ "$failed" -eq 0 ]
