#!/usr/bin/env bash
# Sets up what is missing, builds the program folder build/bin and starts
# the program.
set -euo pipefail
source "$(dirname "$0")/scripts/prepare.sh"
cd "$QEV_ROOT"

qev_install_packages
qev_build_program

echo "Built build/bin. The program arrives with the main window."
