#!/usr/bin/env bash
# The Debian package unpacked into a temporary root and used as a user would, with a temporary
# HOME: its files and computed dependencies, the menu entry, lintian's errors, the command line
# without data (it must say what to run), the window's first start from a read-only program
# folder (the table made by the unpacked generator, the configuration and the log in the
# user's folders, the orderings started in the background), then the command line with that
# table (a known equity).
# Arguments: the folder holding varnel_<version>_<arch>.deb, and the version.
set -u
deb="$1/varnel_$2_$(dpkg --print-architecture).deb"
if [ ! -f "$deb" ]; then
    echo "no package $deb: scripts/package.sh makes it"
    exit 77
fi
tmp=$(mktemp -d)
window=""
cleanup() {
    [ -n "$window" ] && kill "$window" 2>/dev/null && wait "$window" 2>/dev/null
    chmod -R u+w "$tmp"
    rm -rf "$tmp"
}
trap cleanup EXIT
failures=0
check() {  # check NAME COMMAND...
    if ! "${@:2}"; then
        echo "FAIL $1"
        failures=$((failures + 1))
    fi
}
contains() { grep -qF -- "$2" <<<"$1"; }  # contains TEXT PART

root="$tmp/root"
dpkg-deb -x "$deb" "$root"
for f in bin/varnel bin/varnel-cli lib/varnel/varnel-gen-table lib/varnel/varnel-gen-orderings \
    share/varnel/cards/As.bmp share/varnel/cards/varnel.ico share/applications/varnel.desktop \
    share/icons/hicolor/48x48/apps/varnel.png share/icons/hicolor/256x256/apps/varnel.png \
    share/man/man1/varnel-cli.1.gz share/doc/varnel/copyright share/doc/varnel/README.md; do
    check "packaged: $f" test -s "$root/usr/$f"
done
depends=$(dpkg-deb -f "$deb" Depends)
check "dependencies computed from the programs: $depends" contains "$depends" "libwxgtk3.2-1"
check "menu entry valid" desktop-file-validate "$root/usr/share/applications/varnel.desktop"
lintian_out=$(lintian --fail-on error "$deb" 2>&1)
check "lintian finds no error: $lintian_out" test $? -eq 0

# A user's environment: nothing but the temporary HOME and a path.
home="$tmp/home"
data="$home/.cache/varnel/data"
mkdir -p "$home/work"
as_user() {
    (cd "$home/work" && env -i HOME="$home" PATH=/usr/bin:/bin DISPLAY="${DISPLAY:-}" \
        XAUTHORITY="${XAUTHORITY:-}" "$@")
}
cli="$root/usr/bin/varnel-cli"
no_data=$(as_user "$cli" equity AhAdJc3c KhKd8c4c 2>&1)
check "command line without data fails" test $? -ne 0
check "command line says how to make the table: $no_data" contains "$no_data" \
    "mkdir -p $data && $root/usr/lib/varnel/varnel-gen-table --out $data/omaha-7.bin"
version=$(as_user "$cli" --version)
check "version and folders shown: $version" \
    test "$version" = "varnel-cli $2"$'\nconfiguration: '"$home/.config/varnel"$'\nlog: '"$home/.local/state/varnel"$'\ndata: none (no omaha-7.bin)'

# The window's first start, from a program folder the user may not write: it makes the table
# with the unpacked generator. The orderings' generator is replaced by a stub that notes whether
# the folder is marked while it runs, so that the test does not make 1.5 GB of orderings.
if [ -z "${DISPLAY:-}" ]; then
    echo "FAIL the window needs a display (run under xvfb-run)"
    exit 1
fi
cat >"$root/usr/lib/varnel/varnel-gen-orderings" <<'STUB'
#!/bin/sh
[ "${3:-}" = --check ] && exit 1
[ -e "$2/orderings.generating" ] && echo marked >"$2/stub-ran"
STUB
chmod -R a-w "$root/usr"
as_user "$root/usr/bin/varnel" >"$tmp/window.out" 2>&1 &
window=$!
# A bounded wait for the start-up (the table takes seconds); the checks below decide.
for _ in $(seq 1800); do
    kill -0 "$window" 2>/dev/null || break
    [ -e "$data/stub-ran" ] && grep -q "Hand orderings" "$home/.local/state/varnel/varnel.log" \
        2>/dev/null && break
    sleep 0.1
done
check "window still running: $(cat "$tmp/window.out")" kill -0 "$window"
check "configuration in the user's folder" grep -q "GameType=Omaha" "$home/.config/varnel/varnel.cfg"
check "log in the user's folder" grep -q -- "-----Start" "$home/.local/state/varnel/varnel.log"
check "table made on the first start" test -s "$data/omaha-7.bin"
check "cards linked into the data folder" test -e "$data/cards/As.bmp"
check "orderings started, folder marked meanwhile" test "$(cat "$data/stub-ran" 2>/dev/null)" = marked
check "nothing written beside the program" test -z "$(find "$root" -name 'varnel.cfg' -o -name 'varnel.log')"
grep -h "Evaluator table made" "$home/.local/state/varnel/varnel.log"

# The command line now finds the table the window made. Board K Q 7 2: the first hand wins with
# a ten (a straight) or one of the two other aces, 6 of the 40 rivers; the set of kings with the
# rest.
equity=$(as_user "$cli" equity --mode exact --board1 KsQs7d2c AhAdJc3c KhKd8c4c 2>&1)
check "known equity from the user's data: $equity" contains "$equity" $'AhAdJc3c\t15.00%'

[ "$failures" -eq 0 ] && echo "all package checks passed"
exit "$failures"
