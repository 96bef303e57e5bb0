# Shared steps of the set-up scripts: packages, builds and generated data.
# Sourced by scripts/run.sh and scripts/test.sh; every step is idempotent.

set -euo pipefail
ROOT="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
JOBS="$(nproc)"

# Debian packages the project needs to build, test and run.
PACKAGES=(build-essential cmake ninja-build pkg-config clang libclang-rt-14-dev
          libgtest-dev libgmock-dev libbenchmark-dev libcli11-dev nlohmann-json3-dev
          libboost-dev libwxgtk3.2-dev xvfb xauth util-linux
          imagemagick xdotool locales
          dpkg-dev lintian desktop-file-utils)

log() { printf '\033[1m[varnel]\033[0m %s\n' "$*" >&2; }

ensure_packages() {
    install_packages
    ensure_locale ru_RU.UTF-8
}

# The console logger switches the character classes to this locale (tests check it).
ensure_locale() {
    locale -a 2>/dev/null | grep -qix "${1/UTF-8/utf8}" && return 0
    log "generating the locale $1"
    local sudo=()
    [ "$(id -u)" -eq 0 ] || sudo=(sudo)
    "${sudo[@]}" sed -i "s/^# *\($1 UTF-8\)/\1/" /etc/locale.gen
    grep -q "^$1 UTF-8" /etc/locale.gen || echo "$1 UTF-8" | "${sudo[@]}" tee -a /etc/locale.gen >/dev/null
    "${sudo[@]}" locale-gen >/dev/null
}

install_packages() {
    local missing=()
    for p in "${PACKAGES[@]}"; do
        dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
    done
    [ ${#missing[@]} -eq 0 ] && return 0
    log "installing packages: ${missing[*]}"
    local sudo=()
    [ "$(id -u)" -eq 0 ] || sudo=(sudo)
    "${sudo[@]}" env DEBIAN_FRONTEND=noninteractive apt-get update -qq
    "${sudo[@]}" env DEBIAN_FRONTEND=noninteractive \
        apt-get install -y -qq --no-install-recommends "${missing[@]}" >/dev/null
}

# build PRESET [TARGET...]
build() {
    local preset="$1"; shift
    local dir="$ROOT/build/$preset"
    if [ ! -f "$dir/build.ninja" ]; then
        log "configuring the $preset build"
        cmake --preset "$preset" -S "$ROOT" >/dev/null
    fi
    log "building ($preset${1:+: $*})"
    if [ $# -gt 0 ]; then
        cmake --build "$dir" -j "$JOBS" --target "$@"
    else
        cmake --build "$dir" -j "$JOBS"
    fi
}

# The release programs the README uses: the window, the command line, the generators and the
# evaluator benchmark.
build_release_programs() {
    build release varnel varnel-cli varnel-gen-table varnel-gen-orderings bench-eval
}

# Generated data live in a cache outside the work tree, keyed by the sources of the generators,
# so that a fresh clone on the same machine reuses them; build/data links to them. Each key's
# folder has a lock file: whoever generates into the folder holds it (flock), and temporaries
# ("*.tmp.<pid>") found there while the lock is free were left by an interrupted run.
CACHE_ROOT="${VARNEL_CACHE_DIR:-${XDG_CACHE_HOME:-$HOME/.cache}/varnel}"
DATA_DIR="$ROOT/build/data"
RELEASE_DIR="$ROOT/build/release"  # the build whose records name the generators' sources
TABLE_MB=150          # omaha-7.bin: about 98 MiB
ORDERINGS_MB=1700     # the four orderings: about 1.5 GB, the 7-card hand file 1 GB of it
# Present in a key's folder while the orderings are being generated; the program looks for it
# under this name in its working directory (range/ordering_files.h).
GENERATING_MARKER=orderings.generating

# generator_sources TARGET: every file under the root that the release build compiles into
# TARGET, one a line, relative to the root and sorted: the sources and headers that the compiler
# reported for each object among the target's inputs (ninja's records, so they exist only once
# the target is built). Fails when an object has no record.
generator_sources() {
    local objects deps
    objects=$(ninja -C "$RELEASE_DIR" -t inputs "$1" | grep '\.o$') || return 1
    # shellcheck disable=SC2086 # one object a word
    deps=$(cd "$RELEASE_DIR" && ninja -t deps $objects) || return 1
    if grep '^[^ ]' <<<"$deps" | grep -qv '(VALID)$'; then
        log "the build holds no valid dependency record for every object of $1"
        return 1
    fi
    grep '^ ' <<<"$deps" | (cd "$RELEASE_DIR" && xargs realpath -e --relative-base="$ROOT") |
        { grep -v '^/' || true; } | sort -u
}

# generator_key TARGET: the key of generator TARGET's sources, names and contents.
generator_key() {
    local files
    files=$(generator_sources "$1") && [ -n "$files" ] || { log "no sources recorded for $1"; return 1; }
    # shellcheck disable=SC2086 # one path a word; the paths hold no blanks
    (cd "$ROOT" && sha1sum $files) | sha1sum | cut -c1-16
}

# Removes the folders of other keys of generator $1 than the folder $2, except one whose lock is
# held (a run of another checkout is generating there).
remove_old_keys() {
    local dir
    for dir in "$CACHE_ROOT/$1"-*; do
        [ -d "$dir" ] && [ "$dir" != "$2" ] || continue
        (
            flock -n 9 || exit 0
            log "removing outdated generated data $dir"
            rm -rf "$dir"
        ) 9>>"$dir/lock"
    done
}

# Removes what an interrupted run left in the cache folder $1; call it holding the lock.
sweep_temporaries() {
    local f
    for f in "$1"/*.tmp.* "$1/$GENERATING_MARKER"; do
        [ -e "$f" ] || continue
        log "removing $(basename "$f") left by an interrupted run"
        rm -f "$f"
    done
}

# enough_space DIR MB WHAT: false (with a message) when DIR's file system has less than MB free.
enough_space() {
    local free
    free=$(df -Pk "$1" | awk 'NR == 2 { print int($4 / 1024) }')
    if [ "$free" -lt "$2" ]; then
        log "not enough disk space for $3 in $1: needs about $2 MB, $free MB free"
        return 1
    fi
}

# cache_folder NAME TARGET: creates and prints the folder of the current key of generator NAME,
# built as TARGET, removing the folders of its older keys.
cache_folder() {
    local name="$1" key cache
    key=$(generator_key "$2") || return 1
    cache="$CACHE_ROOT/$name-$key"
    mkdir -p "$cache"
    remove_old_keys "$name" "$cache"
    echo "$cache"
}

# link_data FILE CACHE_FOLDER: make build/data/FILE point at the cached copy (which may not
# exist yet).
link_data() {
    mkdir -p "$DATA_DIR"
    ln -sfn "$2/$1" "$DATA_DIR/$1"
}

TABLE_GENERATOR="$ROOT/build/release/tools/gen-table/varnel-gen-table"

# The evaluator table, omaha-7.bin, generated in the foreground (about a minute). The generator
# leaves a file alone only when it loads (size, checksum, entries) and agrees with a plain
# evaluator on a sample of hands.
ensure_table() {
    build release varnel-gen-table
    local cache
    cache=$(cache_folder table varnel-gen-table) || return 1
    (
        flock 9
        sweep_temporaries "$cache"
        if [ ! -e "$cache/omaha-7.bin" ]; then enough_space "$cache" "$TABLE_MB" "the evaluator table"; fi
        "$TABLE_GENERATOR" --out "$cache/omaha-7.bin"
    ) 9>>"$cache/lock"
    link_data omaha-7.bin "$cache"
}

# The four hand orderings (class file .bin and hand file .64 for 4 to 7 hole cards), generated
# in the background by a detached process that logs to generate.log in the cache folder. The
# generator skips orderings whose files are already valid (read in full: sizes, checksums and
# every hand) and writes each file atomically, so the program can use each ordering as soon as
# its files appear.
ORDERINGS_GENERATOR="$ROOT/build/release/tools/gen-orderings/varnel-gen-orderings"
ORDERING_NAMES=(oh6maxordering oh56maxordering oh6vsrandomordering oh7vsrandomordering)
start_orderings() {
    build release varnel-gen-orderings
    local cache name
    cache=$(cache_folder orderings varnel-gen-orderings) || return 1
    for name in "${ORDERING_NAMES[@]}"; do
        link_data "$name.bin" "$cache"
        link_data "$name.64" "$cache"
    done
    link_data "$GENERATING_MARKER" "$cache"
    if ! (flock -n 9 && sweep_temporaries "$cache") 9>>"$cache/lock"; then
        log "the hand orderings are being generated by another run (log: $cache/generate.log)"
        return 0
    fi
    "$ORDERINGS_GENERATOR" --out "$cache" --check 2>/dev/null && return 0
    enough_space "$cache" "$ORDERINGS_MB" "the hand orderings" || return 0
    log "generating the hand orderings in the background (several minutes; log: $cache/generate.log)"
    # Takes the lock (or leaves, when another run took it first), marks the folder while it
    # works, and unmarks it however it ends.
    # shellcheck disable=SC2016
    setsid nohup bash -c '
        exec 9>>"$1/lock"
        flock -n 9 || exit 0
        touch "$1/$3"
        trap "rm -f \"$1/$3\"" EXIT
        nice -n 10 "$2" --out "$1"
    ' generate-orderings "$cache" "$ORDERINGS_GENERATOR" "$GENERATING_MARKER" \
        >"$cache/generate.log" 2>&1 </dev/null &
}

# The Debian package, made from the release build with CPack: build/varnel_<version>_<arch>.deb.
# Its dependencies are computed by dpkg-shlibdeps (dpkg-dev).
build_package() {
    build release varnel varnel-cli varnel-gen-table varnel-gen-orderings varnel_docs
    log "making the Debian package"
    rm -f "$ROOT"/build/varnel_*.deb "$ROOT"/build/release/varnel_*.deb
    (cd "$ROOT/build/release" && cpack -G DEB >/dev/null)
    mv "$ROOT"/build/release/varnel_*.deb "$ROOT/build/"
    log "package: $(ls "$ROOT"/build/varnel_*.deb)"
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
        [ -L "$f" ] && ln -sfn "$(readlink "$f")" "$RUN_DIR/$(basename "$f")"
    done
    return 0
}
