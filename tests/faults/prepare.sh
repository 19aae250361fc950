#!/bin/bash
# Linux-side preparation for the fault suite: things a Windows program under
# Wine cannot make itself. Each mode prints what it did or why it could not.
set -u
mode="$1"
case "$mode" in
names)
    # Names the platform cannot take as they are, and paths around the length limit.
    base=/tmp/mirrorix-names
    rm -rf "$base"
    mkdir -p "$base/source/Ordner mit Leerzeichen" "$base/source/ä ß é €" "$base/target"
    echo plain > "$base/source/normal.txt"
    echo spaces > "$base/source/Ordner mit Leerzeichen/Datei mit Leerzeichen.txt"
    echo letters > "$base/source/ä ß é €/Größe €.txt"
    echo dots > "$base/source/..punkte..txt"
    echo trailing > "$base/source/endet mit punkt."
    echo blank > "$base/source/endet mit blank "
    echo japanese > "$base/source/日本語.txt"
    # "Z:\tmp\mirrorix-names\source\" is 29 characters.
    for total in 258 259 260 261; do
        n=$((total - 29 - 4))
        printf 'long %s' "$total" > "$base/source/$(printf 'L%.0s' $(seq 1 $n)).txt"
    done
    # Target entries the source lacks whose names cannot be asked for: kept.
    echo keep > "$base/target/endet mit punkt."
    echo keep > "$base/target/日本語 alt.txt"
    mkdir -p "$base/target/ordner."
    echo keep > "$base/target/ordner./inhalt.txt"
    echo "prepared $base"
    ;;
names-check)
    # After the suite: the folder whose name ends in a dot was never entered.
    if [ "$(cat /tmp/mirrorix-names/target/ordner./inhalt.txt 2>/dev/null)" != keep ]; then
        echo "FAILED: /tmp/mirrorix-names/target/ordner./inhalt.txt was touched"
        exit 1
    fi
    rm -rf /tmp/mirrorix-names
    echo "the folder ending in a dot kept its content"
    ;;
vanish)
    # A source reached through a symbolic link in a folder of its own, which
    # the test renames away while the run lists the linked folder (the listed
    # folder itself stays open, so it cannot be renamed).
    base=/tmp/mirrorix-vanish
    rm -rf "$base" "$base-weg" "$base-real"
    mkdir -p "$base" "$base-real"
    for i in 0 1 2 3 4 5 6 7 8 9; do echo "file $i" > "$base-real/f$i.txt"; done
    ln -s "$base-real" "$base/link"
    echo "prepared $base"
    ;;
full-mount)
    dir=/tmp/mirrorix-full
    umount "$dir" 2>/dev/null
    rm -rf "$dir"
    mkdir -p "$dir"
    if mount -t tmpfs -o size=1m tmpfs "$dir" 2>/dev/null; then
        touch "$dir/.mounted"
        echo "mounted a 1 MiB tmpfs at $dir"
    else
        echo "cannot mount a tmpfs here; the disk-full test will skip"
    fi
    ;;
full-umount)
    umount /tmp/mirrorix-full 2>/dev/null
    rm -rf /tmp/mirrorix-full
    ;;
load-tree)
    # 100,000 files and folders, nested 60 deep: a chain of 60 folders, each
    # with side folders of 66 files; the file count goes to expected-files.txt.
    base=/tmp/mirrorix-load
    rm -rf "$base"
    mkdir -p "$base/source" "$base/target"
    python3 - "$base/source" <<'PY'
import os, sys
root = sys.argv[1]
entries = files = 0
path = root
for depth in range(60):
    path = os.path.join(path, "d")  # short names keep the deepest paths below 260 characters
    os.mkdir(path)
    entries += 1
    for side in range(25):
        if entries >= 100000:
            break
        folder = os.path.join(path, "s%02d" % side)
        os.mkdir(folder)
        entries += 1
        for f in range(66):
            if entries >= 100000:
                break
            with open(os.path.join(folder, "f%02d.txt" % f), "w") as out:
                out.write("%d %d %d" % (depth, side, f))
            entries += 1
            files += 1
with open(os.path.join(os.path.dirname(root), "expected-files.txt"), "w") as out:
    out.write(str(files))
print("created", entries, "entries,", files, "files")
PY
    ;;
load-check)
    # After the load test: the target equals the source, file by file.
    base=/tmp/mirrorix-load
    if ! diff -r "$base/source" "$base/target" >/dev/null; then
        echo "FAILED: the mirrored load tree differs from its source"
        diff -rq "$base/source" "$base/target" | head -5
        exit 1
    fi
    rm -rf "$base"
    echo "the mirrored load tree equals its source"
    ;;
esac
