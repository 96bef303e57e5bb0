#!/usr/bin/env bash
# Installs what is needed, builds, generates the data and runs the program.
source "$(dirname "${BASH_SOURCE[0]}")/common.sh"

ensure_packages
ensure_table
ensure_orderings
build release varnel-cli
log "example: Omaha hand values on the board As Kd 7h 2c 9s"
"$ROOT/build/release/tools/cli/varnel-cli" --data "$DATA_DIR" eval AsKd7h2c9s AhAdKsQc 8s6s5d4h "$@"
