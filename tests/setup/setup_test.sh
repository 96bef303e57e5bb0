#!/usr/bin/env bash
# The set-up's cache handling (scripts/common.sh) against a temporary cache, with the builds
# stubbed and the generators replaced by small scripts: keys that follow every source the build
# recorded for a generator, outdated keys removed unless another run holds their lock,
# temporaries of interrupted runs swept, the orderings generated in the background under the
# lock with the folder marked meanwhile, a held lock respected, and too little disk space
# refused. Another "run" holds a lock through flock waiting on a fifo, so nothing here depends
# on timing. Argument: the project's build directory, whose records name the real sources.
set -u
root="$(cd "$(dirname "${BASH_SOURCE[0]}")/../.." && pwd)"
project_build="$1"
tmp=$(mktemp -d)
holders=()
cleanup() {
    for fifo in "${holders[@]}"; do [ -n "$fifo" ] && echo >"$fifo"; done
    rm -rf "$tmp"
}
trap cleanup EXIT
export VARNEL_CACHE_DIR="$tmp/cache" SIGNAL="$tmp/generated"
source "$root/scripts/common.sh"
set +e
DATA_DIR="$tmp/data"
build() { :; }

failures=0
check() {  # check NAME CONDITION...
    if ! "${@:2}"; then
        echo "FAIL $1"
        failures=$((failures + 1))
    fi
}
lists() { grep -qx "$2" <<<"$1"; }  # lists LIST LINE

# The project's own build records the headers the generators include, eval/ and core/ too.
RELEASE_DIR="$project_build"
table_sources=$(generator_sources varnel-gen-table)
check "table key covers the table layout" lists "$table_sources" eval/omaha_eval.h
check "table key covers the header format" lists "$table_sources" eval/table_format.h
check "table key covers the card codes" lists "$table_sources" core/cards.h
ordering_sources=$(generator_sources varnel-gen-orderings)
check "orderings key covers the file reader" lists "$ordering_sources" range/ordering_files.cpp
check "orderings key covers the class names" lists "$ordering_sources" range/hand_class.h

# A small project of its own, built by ninja with the compiler's dependency records: a key
# changes with any file the generator includes, and with nothing else.
ROOT="$tmp/src" RELEASE_DIR="$tmp/release"
mkdir -p "$ROOT/eval" "$ROOT/ui" "$ROOT/tools/gen" "$RELEASE_DIR"
echo 'inline constexpr int kStartState = 52;' >"$ROOT/eval/layout.h"
echo 'int window();' >"$ROOT/ui/window.h"
printf '#include "eval/layout.h"\nint main() { return kStartState; }\n' >"$ROOT/tools/gen/main.cpp"
cat >"$RELEASE_DIR/build.ninja" <<NINJA
rule cc
  command = c++ -MD -MF \$out.d -I$ROOT -c \$in -o \$out
  depfile = \$out.d
  deps = gcc
rule link
  command = touch \$out
build main.o: cc $ROOT/tools/gen/main.cpp
build varnel-gen-table: link main.o
build varnel-gen-orderings: link main.o
NINJA
ninja -C "$RELEASE_DIR" varnel-gen-table >/dev/null
key=$(generator_key varnel-gen-table)
echo 'int other();' >>"$ROOT/ui/window.h"
check "key kept when an unused file changes" test "$(generator_key varnel-gen-table)" = "$key"
echo '// the layout changed' >>"$ROOT/eval/layout.h"
check "key changed with a header under eval/" test "$(generator_key varnel-gen-table)" != "$key"

# hold_lock FOLDER: another process holds FOLDER's lock until release_lock.
hold_lock() {
    mkdir -p "$1"
    mkfifo "$1.release" "$1.held"
    flock "$1/lock" bash -c 'echo >"$1.held"; read -r _ <"$1.release"' holder "$1" &
    read <"$1.held"
    holders+=("$1.release")
}
release_lock() {
    echo >"$1.release"
    holders=("${holders[@]/$1.release/}")
    flock "$1/lock" true
}

TABLE_GENERATOR="$tmp/gen-table"
cat >"$TABLE_GENERATOR" <<'GEN'
#!/usr/bin/env bash
[ -e "$2" ] || { echo table >"$2.tmp.$$" && mv "$2.tmp.$$" "$2"; }
GEN
ORDERINGS_GENERATOR="$tmp/gen-orderings"
cat >"$ORDERINGS_GENERATOR" <<'GEN'
#!/usr/bin/env bash
out="$2"
if [ "${3:-}" = --check ]; then [ -e "$out/oh7vsrandomordering.64" ]; exit; fi
[ -e "$out/orderings.generating" ] && echo "marked while generating"
for f in oh6maxordering oh56maxordering oh6vsrandomordering oh7vsrandomordering; do
    for ext in bin 64; do echo "$f" >"$out/$f.$ext.tmp.$$" && mv "$out/$f.$ext.tmp.$$" "$out/$f.$ext"; done
done
echo done >"$SIGNAL"
GEN
chmod +x "$TABLE_GENERATOR" "$ORDERINGS_GENERATOR"
mkfifo "$SIGNAL"

# The table: an outdated key goes, one whose lock is held stays, a temporary is swept.
table_key=$(generator_key varnel-gen-table)
mkdir -p "$CACHE_ROOT/table-old" "$CACHE_ROOT/table-$table_key"
touch "$CACHE_ROOT/table-old/omaha-7.bin" "$CACHE_ROOT/table-$table_key/omaha-7.bin.tmp.99999"
hold_lock "$CACHE_ROOT/table-busy"
ensure_table 2>"$tmp/log"
check "outdated table key removed" test ! -e "$CACHE_ROOT/table-old"
check "key in use by another run kept" test -d "$CACHE_ROOT/table-busy"
check "stale temporary swept" test ! -e "$CACHE_ROOT/table-$table_key/omaha-7.bin.tmp.99999"
check "table linked" test "$(cat "$DATA_DIR/omaha-7.bin")" = table
release_lock "$CACHE_ROOT/table-busy"

# The orderings: not started while another run holds the lock, nor without the disk space.
cache="$CACHE_ROOT/orderings-$(generator_key varnel-gen-orderings)"
hold_lock "$cache"
touch "$cache/oh7vsrandomordering.64.tmp.99999"
start_orderings 2>"$tmp/log"
check "held lock respected" grep -q "being generated by another run" "$tmp/log"
check "nothing swept under another run's lock" test -e "$cache/oh7vsrandomordering.64.tmp.99999"
release_lock "$cache"
ORDERINGS_MB=$((1 << 40)) start_orderings 2>"$tmp/log"
check "disk space checked" grep -q "needs about $((1 << 40)) MB" "$tmp/log"
check "not started without space" test ! -e "$cache/generate.log"

# Generated in the background: marked meanwhile, unmarked after, every file linked.
start_orderings 2>"$tmp/log"
read <"$SIGNAL"
flock "$cache/lock" true
check "stale temporary swept before generating" test ! -e "$cache/oh7vsrandomordering.64.tmp.99999"
check "marked while generating" grep -q "marked while generating" "$cache/generate.log"
check "unmarked after" test ! -e "$cache/$GENERATING_MARKER"
check "orderings linked" test "$(cat "$DATA_DIR/oh7vsrandomordering.64")" = oh7vsrandomordering
start_orderings 2>"$tmp/log"
check "valid orderings not generated again" test ! -s "$tmp/log"

[ "$failures" -eq 0 ] && echo "all set-up checks passed"
exit "$failures"
