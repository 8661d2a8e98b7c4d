# Sourced by the page tests: headless Chromium with a fresh profile and without its background
# network traffic, and the check of its log.
#
#   begin_page_test OUTDIR                       exits 77 (skipped) without chromium; sets out
#                                                (OUTDIR made, absolute) and profile (a fresh
#                                                folder); at exit removes it and stops the
#                                                simulator the test started (sim_pid)
#   chromium_run PROFILE [CHROMIUM OPTIONS...]   prints Chromium's log on stderr
#   page_loaded_cleanly LOG WHAT                 fails unless LOG is free of the page's faults
#   fail MESSAGE                                 prints it and exits 1
#
# Chromium's own complaints about the missing system bus and GPU are expected here; a console
# line (the pages have no script, so any is an error) or a failed load is the page's fault.
chromium_run() {
    local profile=$1
    shift
    timeout 120 chromium --headless --no-sandbox --disable-gpu --disable-quic --no-first-run \
        --disable-background-networking --disable-component-update --disable-sync \
        --user-data-dir="$profile" --enable-logging=stderr --v=0 "$@"
}

page_loaded_cleanly() {
    if grep -E ':CONSOLE[:(]|Page load failed|net::ERR_' "$1" >&2; then
        echo "FAIL: chromium reported the lines above while loading $2" >&2
        exit 1
    fi
}

begin_page_test() {
    if ! command -v chromium >/dev/null; then
        echo "skipped: chromium is not installed (apt-get install chromium)" >&2
        exit 77
    fi
    mkdir -p "$1"
    out=$(cd "$1" && pwd)
    sim_pid=
    profile=$(mktemp -d)
    trap end_page_test EXIT
}

end_page_test() {
    if [ -n "$sim_pid" ]; then
        kill "$sim_pid" 2>/dev/null || true
        wait "$sim_pid" 2>/dev/null || true
    fi
    rm -rf "$profile"
}

fail() {
    echo "FAIL: $*" >&2
    exit 1
}
