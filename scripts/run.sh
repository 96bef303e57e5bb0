#!/usr/bin/env bash
# Installs what is needed, builds, generates the evaluator table, starts generating the hand
# orderings in the background, lays out the run directory and starts the program from it. The
# window does not wait for the orderings: percentage ranges work as each ordering appears.
source "$(dirname "${BASH_SOURCE[0]}")/common.sh"

ensure_packages
build_release_programs
ensure_table
start_orderings
ensure_run_dir
log "starting varnel in $RUN_DIR"
cd "$RUN_DIR"
exec ./varnel "$@"
