#!/usr/bin/env bash
# Builds the release programs and makes the Debian package build/varnel_<version>_<arch>.deb.
# Install it with `apt install ./build/varnel_*.deb`, remove it with `apt remove varnel`.
source "$(dirname "${BASH_SOURCE[0]}")/common.sh"

ensure_packages
build_package
