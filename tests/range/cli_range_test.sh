#!/usr/bin/env bash
# varnel-cli range: counts, listing, defaults and errors. Usage: cli_range_test.sh VARNEL_CLI
set -u
cli="$1"
failures=0
checks=0
check() {  # check NAME EXPECTED ACTUAL
    checks=$((checks + 1))
    if [ "$2" != "$3" ]; then
        printf 'FAIL %s\n  expected: %q\n  actual:   %q\n' "$1" "$2" "$3"
        failures=$((failures + 1))
    fi
}

check "default four cards" "1225" "$("$cli" range AsKsXxXx)"
check "single card" "20825" "$("$cli" range As)"
check "five cards" "2598960" "$("$cli" range --cards 5 '*')"
check "listing in list order, cards ascending" $'2\nKsAs\nJhQh' "$("$cli" range --cards 2 --list 'AsKs,QhJh')"
check "intersection ascends" $'2\nJhQh\nKsAs' "$("$cli" range --cards 2 --list '(as ks , qh jh) : ( QhJh , AsKs )')"
check "comma-led text" "0" "$("$cli" range ',AsKs')"

out=$("$cli" range --list 'AK(' 2>/tmp/varnel-cli-range-err.$$); rc=$?
err=$(cat /tmp/varnel-cli-range-err.$$); rm -f /tmp/varnel-cli-range-err.$$
check "failed parse prints -1" "-1" "$out"
check "failed parse exits non-zero" "1" "$([ $rc -ne 0 ] && echo 1 || echo 0)"
check "message names the text" "1" "$(grep -q 'AK(' <<<"$err" && grep -q 'does not parse' <<<"$err" && echo 1 || echo 0)"

"$cli" range --cards 9 A >/dev/null 2>&1; rc=$?
check "hand size out of range is refused" "1" "$([ $rc -ne 0 ] && echo 1 || echo 0)"
"$cli" range >/dev/null 2>&1; rc=$?
check "missing expression is refused" "1" "$([ $rc -ne 0 ] && echo 1 || echo 0)"

echo "$((checks - failures)) passed, $failures failed"
[ "$failures" -eq 0 ]
