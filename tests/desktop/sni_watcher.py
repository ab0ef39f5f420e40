#!/usr/bin/python3
"""A stand-in for a panel's org.kde.StatusNotifierWatcher on the session bus.

As a watcher (its name taken half a second before it answers) it prints "ready", then
"register SERVICE SENDER" per registration. "menu SERVICE": the exported menu, an entry a line
indented by depth; "about-to-show SERVICE": AboutToShow(0)'s answer; "click SERVICE ID".
"""
import sys

import dbus
import dbus.mainloop.glib
import dbus.service
from gi.repository import GLib

WATCHER = "org.kde.StatusNotifierWatcher"
ITEM = "org.kde.StatusNotifierItem"


class Watcher(dbus.service.Object):
    def __init__(self, bus):
        super().__init__(bus, "/StatusNotifierWatcher")

    @dbus.service.method(WATCHER, in_signature="s", out_signature="", sender_keyword="sender")
    def RegisterStatusNotifierItem(self, service, sender=None):
        print(f"register {service} {sender}", flush=True)


def item_property(service, name):
    item = dbus.SessionBus().get_object(service, "/StatusNotifierItem")
    return item.Get(ITEM, name, dbus_interface=dbus.PROPERTIES_IFACE)


def print_entry(entry, depth):
    entry_id, properties, children = entry
    print("  " * depth + " ".join([str(entry_id)] + [f"{name}={properties[name]}" for name in sorted(properties)]))
    for child in children:
        print_entry(child, depth + 1)


def menu_command(command, service, *args):
    path = item_property(service, "Menu")
    menu = dbus.Interface(dbus.SessionBus().get_object(service, path), "com.canonical.dbusmenu")
    if command == "menu":
        print_entry(menu.GetLayout(0, -1, dbus.Array([], signature="s"))[1], 0)
    elif command == "about-to-show":
        print("update" if menu.AboutToShow(0) else "unchanged")
    else:
        menu.Event(int(args[0]), "clicked", dbus.Int32(0, variant_level=1), dbus.UInt32(0))


def main():
    if len(sys.argv) >= 3 and sys.argv[1] in ("menu", "about-to-show", "click"):
        return menu_command(*sys.argv[1:])
    dbus.mainloop.glib.DBusGMainLoop(set_as_default=True)
    bus = dbus.SessionBus()
    # The name first, the answers half a second later: a panel still starting.
    objects = [dbus.service.BusName(WATCHER, bus, do_not_queue=True)]
    GLib.timeout_add(500, lambda: objects.append(Watcher(bus)) and False)
    print("ready", flush=True)
    GLib.MainLoop().run()


if __name__ == "__main__":
    sys.exit(main())
