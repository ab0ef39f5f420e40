#!/usr/bin/python3
"""What a panel shows, read from the accessibility bus: each menu entry as it is shown and each
tooltip as it appears, a line each, "ROLE|NAME|ACCESS KEY|STATES" (enabled, checked). Prints
"ready" first."""
import gi

gi.require_version("Atspi", "2.0")
from gi.repository import Atspi, GLib  # noqa: E402

ENTRIES = {"menu item", "check menu item", "radio menu item", "menu", "separator"}


def shown(event):
    if not event.detail1:
        return
    try:
        item = event.source
        role, name = item.get_role_name(), item.get_name()
        # GTK makes a tooltip window visible, at times already showing.
        if role not in (ENTRIES if event.type.endswith("showing") else {"tool tip"}) or role == "menu" and not name:
            return  # a menu without a name is the popup itself, not a submenu entry
        states = item.get_state_set()
        flags = [name for name in ("enabled", "checked") if states.contains(getattr(Atspi.StateType, name.upper()))]
        key = ""
        if "Action" in item.get_interfaces() and Atspi.Action.get_n_actions(item):
            key = Atspi.Action.get_key_binding(item, 0).split(";")[0]
        print(f"{role}|{name}|{key}|{' '.join(flags)}", flush=True)
    except GLib.Error:
        pass  # gone before it could be read


listener = Atspi.EventListener.new(shown)
listener.register("object:state-changed:showing")
listener.register("object:state-changed:visible")
print("ready", flush=True)
Atspi.event_main()
