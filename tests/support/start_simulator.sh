# Sourced by the test scripts: starts the simulated instrument in the background.
#
#   start_simulator K720SIM LOG [OPTIONS...]
#
# Sets sim_pid (for the caller's clean-up) and device (the path k720-sim printed as its first
# line). Returns 1, with k720-sim's output on stderr, when no device appeared within 10 s.
start_simulator() {
    local program=$1 log=$2
    shift 2
    "$program" "$@" >"$log" 2>&1 &
    sim_pid=$!
    for _ in $(seq 100); do
        [ -s "$log" ] && break
        sleep 0.1
    done
    device=$(head -n 1 "$log")
    [ -c "$device" ] || { echo "k720-sim printed no device: $(cat "$log")" >&2; return 1; }
}
