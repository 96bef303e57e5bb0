# Shared steps of the set-up scripts: packages, builds and generated data.
# Sourced by scripts/run.sh and scripts/test.sh; every step is idempotent.

set -euo pipefail
ROOT="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
JOBS="$(nproc)"

# Debian packages the project needs to build, test and run.
PACKAGES=(build-essential cmake ninja-build pkg-config clang libclang-rt-14-dev
          libgtest-dev libgmock-dev libbenchmark-dev libcli11-dev nlohmann-json3-dev
          libboost-dev libwxgtk3.2-dev xvfb xauth
          imagemagick xdotool)

log() { printf '\033[1m[varnel]\033[0m %s\n' "$*" >&2; }

ensure_packages() {
    local missing=()
    for p in "${PACKAGES[@]}"; do
        dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
    done
    [ ${#missing[@]} -eq 0 ] && return 0
    log "installing packages: ${missing[*]}"
    local sudo=""
    [ "$(id -u)" -eq 0 ] || sudo="sudo"
    $sudo apt-get update -qq
    DEBIAN_FRONTEND=noninteractive $sudo apt-get install -y -qq --no-install-recommends "${missing[@]}" >/dev/null
}

# build PRESET [TARGET...]
build() {
    local preset="$1"; shift
    local dir="$ROOT/build/$preset"
    if [ ! -f "$dir/build.ninja" ]; then
        log "configuring the $preset build"
        cmake --preset "$preset" -S "$ROOT" -DVARNEL_DATA_DIR="$ROOT/build/data" >/dev/null
    fi
    log "building ($preset${1:+: $*})"
    if [ $# -gt 0 ]; then
        cmake --build "$dir" -j "$JOBS" --target "$@"
    else
        cmake --build "$dir" -j "$JOBS"
    fi
}

# Generated data live in a cache outside the work tree, keyed by the sources of the generators,
# so that a fresh clone on the same machine reuses them; build/data links to them.
CACHE_ROOT="${VARNEL_CACHE_DIR:-${XDG_CACHE_HOME:-$HOME/.cache}/varnel}"
DATA_DIR="$ROOT/build/data"

generator_key() {
    (cd "$ROOT" && cat "$@" | sha1sum | cut -c1-16)
}

# link_data FILE CACHE_SUBDIR: make build/data/FILE point at the cached copy.
link_data() {
    mkdir -p "$DATA_DIR"
    ln -sfn "$2/$1" "$DATA_DIR/$1"
}

# The evaluator table, omaha-7.bin.
ensure_table() {
    build release varnel-gen-table
    local key cache
    key=$(generator_key tools/gen-table/*.cpp tools/gen-table/*.h tools/five-card/*.cpp \
                        tools/five-card/*.h eval/table_format.*)
    cache="$CACHE_ROOT/table-$key"
    mkdir -p "$cache"
    "$ROOT/build/release/tools/gen-table/varnel-gen-table" --out "$cache/omaha-7.bin"
    link_data omaha-7.bin "$cache"
}

# The four hand orderings (class file .bin and hand file .64 for 4 to 7 hole cards). The
# generator skips orderings whose files are already valid and writes each file atomically.
ORDERING_NAMES=(oh6maxordering oh56maxordering oh6vsrandomordering oh7vsrandomordering)
ensure_orderings() {
    build release varnel-gen-orderings
    local key cache name
    key=$(generator_key tools/gen-orderings/*.cpp tools/gen-orderings/*.h tools/five-card/*.cpp \
                        tools/five-card/*.h range/ordering_format.h)
    cache="$CACHE_ROOT/orderings-$key"
    mkdir -p "$cache"
    log "hand orderings in $cache (the first generation takes several minutes)"
    "$ROOT/build/release/tools/gen-orderings/varnel-gen-orderings" --out "$cache"
    for name in "${ORDERING_NAMES[@]}"; do
        link_data "$name.bin" "$cache"
        link_data "$name.64" "$cache"
    done
}

# The run directory: the program, its card images and links to the data files. The program reads
# "omaha-7.bin", the ordering files and "cards/" from its working directory and keeps
# "varnel.cfg" and "varnel.log" beside its executable, so it is copied here rather than linked.
RUN_DIR="$ROOT/run"

ensure_run_dir() {
    build release varnel
    mkdir -p "$RUN_DIR"
    cp -f "$ROOT/build/release/app/varnel" "$RUN_DIR/varnel"
    ln -sfn "$ROOT/build/release/cards" "$RUN_DIR/cards"
    local f
    for f in "$DATA_DIR"/*; do
        [ -e "$f" ] && ln -sfn "$(readlink -f "$f")" "$RUN_DIR/$(basename "$f")"
    done
    return 0
}
