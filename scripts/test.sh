#!/usr/bin/env bash
# Installs what is needed, builds (the release programs the README uses, their Debian package
# and the test build), generates the data the tests read, and runs every test (except those
# labelled 'long') under AddressSanitizer and UndefinedBehaviorSanitizer. A test that hangs
# fails after 15 minutes.
source "$(dirname "${BASH_SOURCE[0]}")/common.sh"

ensure_packages
build_release_programs
ensure_table
build_package  # checked by the test "package"
build test
log "running the tests"
cd "$ROOT/build/test"
# -noreset: the server must not reset when a window test leaves it without clients, or the
# next test that connects during the reset is turned away.
xvfb-run -a -s "-noreset -screen 0 1280x1024x24" \
    ctest --output-on-failure -j "$JOBS" -LE long --no-tests=error --timeout 900 "$@"
