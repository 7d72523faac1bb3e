#!/usr/bin/env bash
# Starts Tarvo from a build folder, with any further arguments (--demo).
set -euo pipefail
folder="$1"
shift
exec "$folder/tarvo" "$@"
