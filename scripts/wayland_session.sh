# Sourced by the scripts that run Qel and its tests on a headless GNOME Wayland desktop of their
# own: private session and system buses, PipeWire with WirePlumber, gnome-shell on a virtual
# monitor, and the desktop portal with its GNOME back-end. Needs begin_session (x_session.sh).

# start_gnome_wayland WIDTHxHEIGHT: starts the desktop in `work` and exports what a program of the
# session sees (WAYLAND_DISPLAY, the buses, XDG_*); a non-interactive screenshot is allowed, as a
# user who had said so once. Returns 1, having said why on standard error, when it does not start.
start_gnome_wayland() {
  export WAYLAND_DISPLAY=qel-wayland XDG_SESSION_TYPE=wayland XDG_CURRENT_DESKTOP=GNOME
  unset DISPLAY
  # A home of its own: the portal keeps its grants there, and gnome-shell its settings.
  export HOME="$work/home" XDG_CONFIG_HOME="$work/home/.config" XDG_DATA_HOME="$work/home/.local/share"
  mkdir -p "$XDG_CONFIG_HOME" "$XDG_DATA_HOME"
  # This portal version reads its back-ends' descriptions only from here: GNOME's, and GTK's for
  # the access dialogs the screenshot portal needs.
  export XDG_DESKTOP_PORTAL_DIR="$work/portals"
  mkdir -p "$XDG_DESKTOP_PORTAL_DIR"
  cp /usr/share/xdg-desktop-portal/portals/{gnome,gtk}.portal "$XDG_DESKTOP_PORTAL_DIR/"

  # gnome-shell will not start without a system bus; an empty one of its own does.
  cat >"$work/system-bus.conf" <<CONF
<!DOCTYPE busconfig PUBLIC "-//freedesktop//DTD D-Bus Bus Configuration 1.0//EN"
 "http://www.freedesktop.org/standards/dbus/1.0/busconfig.dtd">
<busconfig>
  <type>system</type>
  <listen>unix:path=$work/system-bus</listen>
  <policy context="default">
    <allow user="*"/><allow own="*"/>
    <allow send_type="method_call"/><allow send_type="signal"/><allow send_requested_reply="true"/>
    <allow receive_type="method_call"/><allow receive_type="method_return"/>
    <allow receive_type="error"/><allow receive_type="signal"/>
  </policy>
</busconfig>
CONF
  # What the buses start on demand writes to their logs, not to the caller's output.
  children+=("$(dbus-daemon --config-file="$work/system-bus.conf" --fork --print-pid \
    </dev/null 2>"$work/system-bus.log")")
  export DBUS_SYSTEM_BUS_ADDRESS="unix:path=$work/system-bus"
  # Started after the environment is set: the services it starts on demand (the portals) inherit it.
  children+=("$(dbus-daemon --session --address="unix:path=$work/session-bus" --fork --print-pid \
    </dev/null 2>"$work/session-bus.log")")
  export DBUS_SESSION_BUS_ADDRESS="unix:path=$work/session-bus"

  pipewire </dev/null >"$work/pipewire.log" 2>&1 &
  children+=($!)
  wireplumber </dev/null >"$work/wireplumber.log" 2>&1 &
  children+=($!)
  gnome-shell --headless --wayland --no-x11 --virtual-monitor "$1" \
    --wayland-display="$WAYLAND_DISPLAY" </dev/null >"$work/gnome-shell.log" 2>&1 &
  children+=($!)
  local _
  for _ in $(seq 300); do
    gdbus introspect --session --dest org.gnome.Mutter.ScreenCast \
      --object-path /org/gnome/Mutter/ScreenCast >/dev/null 2>&1 && break
    sleep 0.1
  done
  if ! gdbus introspect --session --dest org.gnome.Mutter.ScreenCast \
    --object-path /org/gnome/Mutter/ScreenCast >/dev/null 2>&1; then
    echo "gnome-shell did not start: $(tail -n 5 "$work/gnome-shell.log")" >&2
    return 1
  fi
  gdbus call --session --dest org.freedesktop.impl.portal.PermissionStore \
    --object-path /org/freedesktop/impl/portal/PermissionStore \
    --method org.freedesktop.impl.portal.PermissionStore.SetPermission \
    screenshot true screenshot "" "['yes']" >/dev/null
}
