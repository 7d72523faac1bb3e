#!/usr/bin/env bash
# Starts Tarvo from a build folder.
set -euo pipefail
exec "$1/tarvo"
