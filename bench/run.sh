#!/bin/bash
# Benchmark: KR-Mirrorix against a naive Win32 mirror, rsync, Wine's xcopy
# and, for the large files of tree B, cp -a.
#   bash bench/run.sh [--with-c] [--repeat N] [--only TREE] [--tools "T ..."] [--before EXE]
# --tools picks tools among naive, failsafe, flushed, program, rsync, xcopy,
# cp (and before); failsafe and flushed are the naive mirror replacing
# through a temporary file, flushed before its rename for the second;
# --before adds another build of KR-Mirrorix (say, of an earlier version)
# as the tool "before", driven and timed as the program is.
# Generates the trees itself (fixed seed): A, 20,000 small files in 445
# folders; B, 8 files of 64 MiB; C (with --with-c), 100,000 small files.
# For each tree and tool it times the first mirror into an empty target, an
# unchanged re-run, and a re-run after touching 10 % and deleting 5 % of the
# source files; checks every target against its source; prints medians and
# ratios to the naive mirror, tree B's throughput against cp -a, the cost per
# file from tree A to tree C, and the program's peak working set per tree.
set -euo pipefail
source "$(dirname "$0")/../scripts/common.sh"
trees=(A B)
repeat=3
chosen=""
before=""
while [ $# -gt 0 ]; do
    case "$1" in
    --with-c) trees+=(C) ;;
    --repeat) repeat="$2"; shift ;;
    --only) trees=("$2"); shift ;;
    --tools) chosen="$2"; shift ;;
    --before) before="$(realpath "$2")"; shift ;;
    esac
    shift
done
install_packages "${BASE_PACKAGES[@]}" rsync python3
choose_wine
build_arch "$TEST_ARCH" KR-Mirrorix bench_driver naive_mirror
bin="$ROOT/build/$TEST_ARCH"
make_run_root
start_display
start_wine
wine_run() { "$WINE_LOADER" "$@" </dev/null 2>/dev/null; }

# Generated trees are kept between runs (they take minutes to make).
work="${MIRRORIX_BENCH_WORK:-${XDG_CACHE_HOME:-$HOME/.cache}/mirrorix-bench}"
mkdir -p "$work"
aside="$work/aside-$$"
mkdir -p "$aside"
results="$work/results.txt"
: > "$results"
: > "$work/program.log"
: > "$work/before.log"

# Makes tree <name> under $work/<name>/pristine once.
make_tree() {
    local name="$1" dir="$work/$1/pristine"
    [ -f "$dir/.complete" ] && return 0
    rm -rf "$dir"
    mkdir -p "$dir"
    python3 - "$name" "$dir" <<'PY'
import os, random, sys
name, root = sys.argv[1], sys.argv[2]
rng = random.Random(1234)
if name == "B":
    for i in range(8):
        with open(os.path.join(root, "gross%d.bin" % i), "wb") as f:
            chunk = bytes(rng.getrandbits(8) for _ in range(65536))
            for _ in range(1024):
                f.write(chunk)
else:
    files = 20000 if name == "A" else 100000
    folders = 445 if name == "A" else 2225
    paths = [root]
    for i in range(folders - 1):
        parent = paths[rng.randrange(len(paths))] if len(paths) > 1 and rng.random() < 0.6 else root
        path = os.path.join(parent, "ordner%04d" % i)
        os.mkdir(path)
        paths.append(path)
    for i in range(files):
        size = rng.randint(1024, 8192)
        with open(os.path.join(paths[i % folders], "datei%06d.txt" % i), "wb") as f:
            f.write(rng.randbytes(size))
PY
    touch "$dir/.complete"
}

# Touches 10 % and deletes 5 % of the files of a source, the same ones every time.
change_source() {
    python3 - "$1" <<'PY'
import os, random, sys, time
root = sys.argv[1]
files = sorted(os.path.join(d, f) for d, _, fs in os.walk(root) for f in fs if f != ".complete")
rng = random.Random(99)
rng.shuffle(files)
n = len(files)
now = time.time()
for path in files[: n // 10]:
    os.utime(path, (now, now))
for path in files[n // 10 : n // 10 + n // 20]:
    os.remove(path)
PY
}

winpath() { echo "Z:${1//\//\\}\\"; }

# Milliseconds a sync takes. Tree B's steps count until their data is on
# disk: without it they would time the page cache, whose state swings the
# figures of every tool between 0.1 and 1 s.
durable_ms() {
    [ "$1" = B ] || { echo 0; return; }
    local start end
    start=$(date +%s%N)
    sync
    end=$(date +%s%N)
    echo $(( (end - start) / 1000000 ))
}

# Prints the milliseconds one tool takes for one step.
run_tool() {
    local tool="$1" src="$2" dst="$3" box="$4" start end
    case "$tool" in
    program|before)
        local output line exe="$bin/KR-Mirrorix.exe"
        [ "$tool" = before ] && exe="$before"
        output="$(wine_run "$bin/bench_driver.exe" "Z:$exe" "$(winpath "$box")" | tr -d '\r')" || true
        line="$(echo "$output" | grep '^bench' || true)"
        if [ -z "$line" ]; then
            echo "KR-Mirrorix was not run to its closing note in $box: $output" >&2
            return 1
        fi
        echo "$box $line" >> "$work/$tool.log"
        echo "$line" | sed 's/.*ms=\([0-9]*\).*/\1/'
        return ;;
    esac
    start=$(date +%s%N)
    case "$tool" in
    naive) wine_run "$bin/naive_mirror.exe" "$(winpath "$src")" "$(winpath "$dst")" ;;
    failsafe) wine_run "$bin/naive_mirror.exe" --fail-safe "$(winpath "$src")" "$(winpath "$dst")" ;;
    flushed) wine_run "$bin/naive_mirror.exe" --fail-safe-flushed "$(winpath "$src")" "$(winpath "$dst")" ;;
    listing) wine_run "$bin/naive_mirror.exe" --list-only "$(winpath "$src")" "$(winpath "$dst")" ;;
    cp) cp -a "$src/." "$dst/" ;;
    rsync) rsync -a --delete "$src/" "$dst/" ;;
    xcopy) wine_run xcopy /E /I /D /Y "$(winpath "$src")*" "$(winpath "$dst")" >/dev/null ;;
    esac
    end=$(date +%s%N)
    echo $(( (end - start) / 1000000 ))
}

# Checks a target against its source (xcopy deletes nothing: extra files allowed).
verify() {
    local tool="$1" src="$2" dst="$3" out
    [ "$tool" = listing ] && return 0
    out="$(diff -r "$src" "$dst" 2>&1 || true)"
    [ "$tool" = xcopy ] && out="$(echo "$out" | grep -v "^Only in $dst" || true)"
    if [ -n "$out" ]; then
        echo "VERIFY FAILED for $tool: $(echo "$out" | head -3)" >&2
        exit 1
    fi
}

for tree in "${trees[@]}"; do
    make_tree "$tree"
    for round in $(seq 1 "$repeat"); do
        tools=(naive failsafe flushed listing program rsync xcopy)
        [ "$tree" = B ] && tools+=(cp)
        [ -n "$before" ] && tools+=(before)
        if [ -n "$chosen" ]; then
            tools=()
            for tool in $chosen; do
                [ "$tool" = cp ] && [ "$tree" != B ] && continue
                tools+=("$tool")
            done
        fi
        # Each round starts with another tool, so that no tool always meets
        # the disk just after the same neighbour.
        shift_by=$(( (round - 1) % ${#tools[@]} ))
        tools=("${tools[@]:shift_by}" "${tools[@]:0:shift_by}")
        for tool in "${tools[@]}"; do
            box="$work/$tree/$tool"
            [ -e "$box" ] && mv "$box" "$aside/$tree-$tool-$round-$(date +%s%N)"
            mkdir -p "$box/target"
            cp -a "$work/$tree/pristine" "$box/source"
            rm -f "$box/source/.complete"
            src="$box/source" dst="$box/target"
            printf "@@'%s' -> '%s'\0" "$(winpath "$src")" "$(winpath "$dst")" > "$box/Ini.dat"
            sync
            first=$(run_tool "$tool" "$src" "$dst" "$box")
            first=$(( first + $(durable_ms "$tree") ))
            verify "$tool" "$src" "$dst"
            if [ "$tool" = cp ]; then
                # cp -a has no re-run worth timing: it copies everything again.
                echo "$tree $round $tool $first - -" | tee -a "$results"
                continue
            fi
            again=$(run_tool "$tool" "$src" "$dst" "$box")
            again=$(( again + $(durable_ms "$tree") ))
            change_source "$src"
            sync
            changed=$(run_tool "$tool" "$src" "$dst" "$box")
            changed=$(( changed + $(durable_ms "$tree") ))
            verify "$tool" "$src" "$dst"
            echo "$tree $round $tool $first $again $changed" | tee -a "$results"
        done
    done
done

python3 - "$results" "$work/program.log" <<'PY'
import collections, re, statistics, sys
FILES = {"A": 20000, "C": 100000}
B_MIB = 8 * 64
rows = collections.defaultdict(dict)  # (tree, tool) -> round -> [first, again, changed]
for line in open(sys.argv[1]):
    tree, round_, tool, *ms = line.split()
    rows[(tree, tool)][round_] = [None if x == "-" else int(x) for x in ms]
order = ["naive", "failsafe", "flushed", "listing", "program", "before", "rsync", "xcopy", "cp"]
names = {"program": "KR-Mirrorix", "before": "KR-Mirrorix before", "cp": "cp -a",
         "failsafe": "naive fail-safe", "flushed": "naive fail-safe, flushed",
         "listing": "one listing of the source"}

def median(tree, tool, step):
    values = [r[step] for r in rows.get((tree, tool), {}).values() if r[step] is not None]
    return statistics.median(values) if values else None

# Ratio to the naive mirror (or another tool): the median of the ratios of each round, whose
# runs met the machine in the same state.
def ratio(tree, tool, step, against="naive"):
    base = rows.get((tree, against), {})
    values = [r[step] / base[k][step] for k, r in rows.get((tree, tool), {}).items()
              if r[step] is not None and k in base and base[k][step]]
    return "%.2f" % statistics.median(values) if values else "-"

def seconds(v):
    return "-" if v is None else "%.2f" % (v / 1000)

print("| tree | tool | first mirror | unchanged re-run | 10 % touched, 5 % deleted | ratios to naive |")
print("|---|---|---|---|---|---|")
for tree, tool in sorted(rows, key=lambda k: (k[0], order.index(k[1]))):
    med = [median(tree, tool, i) for i in range(3)]
    ratios = " / ".join(ratio(tree, tool, i) for i in range(3))
    print("| %s | %s | %s | %s | %s | %s |" % (tree, names.get(tool, tool), *map(seconds, med), ratios))
print()
for tree in sorted({t for t, tool in rows if tool == "before"}):
    print("Tree %s, KR-Mirrorix against the build before (medians of the rounds' ratios): %s"
          % (tree, " / ".join(ratio(tree, "program", i, "before") for i in range(3))))
# The floors: a baseline plus one listing of the source (the count pass the
# status line needs), per round.
def over_listing(tree, step, against):
    base, listing, program = rows.get((tree, against), {}), rows.get((tree, "listing"), {}), rows.get((tree, "program"), {})
    values = [program[k][step] / (base[k][step] + listing[k][step]) for k in program if k in base and k in listing]
    return "%.2f" % statistics.median(values) if values else None
for tree in sorted({t for t, tool in rows if tool == "listing"}):
    if over_listing(tree, 1, "naive"):
        print("Tree %s, KR-Mirrorix's unchanged re-run against the naive mirror plus one listing of the source: %s"
              % (tree, over_listing(tree, 1, "naive")))
for against in ("failsafe", "flushed"):
    for tree in sorted({t for t, tool in rows if tool == against}):
        print("Tree %s, KR-Mirrorix's changed re-run against the %s mirror: %s (plus one listing of the source: %s)"
              % (tree, names[against], ratio(tree, "program", 2, against), over_listing(tree, 2, against) or "-"))
if median("B", "program", 0) and median("B", "cp", 0):
    program, cp = B_MIB * 1000 / median("B", "program", 0), B_MIB * 1000 / median("B", "cp", 0)
    def share(tool):
        cps = rows[("B", "cp")]
        values = [cps[k][0] / r[0] for k, r in rows.get(("B", tool), {}).items() if k in cps]
        return "%.2f" % statistics.median(values) if values else "-"
    print("Tree B first mirror, data on disk: KR-Mirrorix %.0f MiB/s, cp -a %.0f MiB/s "
          "(KR-Mirrorix has %s of cp -a's throughput, the naive mirror %s, medians of the rounds)"
          % (program, cp, share("program"), share("naive")))
if ("A", "program") in rows and ("C", "program") in rows:
    for tool in ("program", "naive"):
        per = []
        for step in range(3):
            a, c = median("A", tool, step), median("C", tool, step)
            per.append("%.3f / %.3f ms (C/A %.2f)" % (a / FILES["A"], c / FILES["C"],
                                                       (c / FILES["C"]) / (a / FILES["A"])))
        print("Cost per file A / C, %s: first %s; unchanged %s; changed %s" % (names.get(tool, tool), *per))
peaks = collections.defaultdict(int)
for line in open(sys.argv[2]):
    m = re.search(r"/([ABC])/program bench .*peak_kib=(\d+)", line)
    if m:
        peaks[m.group(1)] = max(peaks[m.group(1)], int(m.group(2)))
print("Peak working set of KR-Mirrorix: " +
      ", ".join("tree %s %.1f MiB" % (t, peaks[t] / 1024) for t in sorted(peaks)))
PY
echo "Machine: $(nproc) cores, Linux $(uname -r), $("$WINE_LOADER" --version), $TEST_ARCH build, $(date -u +%Y-%m-%d)"
rm -rf "$aside"
