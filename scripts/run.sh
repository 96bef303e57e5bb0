#!/usr/bin/env bash
# Installs what is needed, builds, generates the data, lays out the run directory and starts the
# program from it.
source "$(dirname "${BASH_SOURCE[0]}")/common.sh"

ensure_packages
ensure_table
ensure_orderings
ensure_run_dir
log "starting varnel in $RUN_DIR"
cd "$RUN_DIR"
exec ./varnel "$@"
