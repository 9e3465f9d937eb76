#!/usr/bin/env bash
# Installs the Debian 12 packages the fuzz build needs beyond the ordinary
# ones: clang and its runtime libraries (libFuzzer, AddressSanitizer,
# UndefinedBehaviorSanitizer), only those missing.
exec "$(dirname "$0")/install-deps.sh" clang libclang-rt-14-dev
