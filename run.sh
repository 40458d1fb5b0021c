#!/usr/bin/env bash
# Sets up what is missing, builds the program folder build/bin, then starts
# a virtual QEV instrument with its demo herd and the program. Press START
# and the herd arrives. Closing the program ends the instrument.
set -euo pipefail
source "$(dirname "$0")/scripts/prepare.sh"
cd "$QEV_ROOT"

qev_install_packages
qev_build_program

# The instrument announces itself in the user's private runtime folder,
# where the program looks for devices; a session without one gets its own.
if [ -z "${XDG_RUNTIME_DIR:-}" ] || [ ! -d "$XDG_RUNTIME_DIR" ] || [ ! -w "$XDG_RUNTIME_DIR" ]; then
  XDG_RUNTIME_DIR=$(mktemp -d)
  chmod 700 "$XDG_RUNTIME_DIR"
  export XDG_RUNTIME_DIR
  own_runtime=$XDG_RUNTIME_DIR
fi

"$QEV_ROOT/build/bin/qev-instrument" 2> >(sed -u 's/^/[virtual instrument] /' >&2) &
instrument=$!

end_instrument() {
  kill "$instrument" 2>/dev/null || true
  wait "$instrument" 2>/dev/null || true
  if [ -n "${own_runtime:-}" ]; then rm -rf "$own_runtime"; fi
}
trap end_instrument EXIT

# The program finds the instrument only once it is announced.
for _ in $(seq 50); do
  [ -n "$(ls -A "$XDG_RUNTIME_DIR/qev-devices" 2>/dev/null)" ] && break
  kill -0 "$instrument" 2>/dev/null || { echo "The virtual instrument did not start." >&2; exit 1; }
  sleep 0.1
done

"$QEV_ROOT/build/bin/QEV_Data"
