# Sourced first, with the test's arguments, by a test that needs a D-Bus
# session of its own: it runs the test again inside one.
if [ -z "${KELVARO_E2E_DBUS:-}" ]; then
    command -v dbus-run-session >/dev/null || { echo "missing tool: dbus-run-session (scripts/deps.sh)" >&2; exit 2; }
    KELVARO_E2E_DBUS=1 exec dbus-run-session -- bash "$0" "$@" 2> >(grep -v 'Failed to set fd limit' >&2)
fi
