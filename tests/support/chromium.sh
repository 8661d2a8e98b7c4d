# Sourced by the page tests: headless Chromium with a fresh profile and without its background
# network traffic, and the check of its log.
#
#   chromium_run PROFILE [CHROMIUM OPTIONS...]   prints Chromium's log on stderr
#   page_loaded_cleanly LOG WHAT                 fails unless LOG is free of the page's faults
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
