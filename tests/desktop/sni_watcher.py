#!/usr/bin/python3
"""A stand-in for a panel's org.kde.StatusNotifierWatcher on the session bus.

As a watcher (with --late: taking its name half a second before it answers,
as a slow panel may) it prints "ready", then "register SERVICE SENDER" for
each RegisterStatusNotifierItem and "signal NAME SENDER" for each NewIcon,
NewToolTip or NewStatus. With "icon SERVICE" it prints the size and colour of
each picture of the item's IconPixmap; with "menu SERVICE" the item's exported
menu (GetLayout) one entry a line, indented by depth: id, then name=value
sorted; with "about-to-show SERVICE" what AboutToShow(0) answers; with
"click SERVICE ID" it sends the entry a "clicked" Event.
"""
import sys

import dbus
import dbus.mainloop.glib
import dbus.service
from gi.repository import GLib

WATCHER = "org.kde.StatusNotifierWatcher"


def say(line):
    print(line, flush=True)


class Watcher(dbus.service.Object):
    def __init__(self, bus):
        super().__init__(bus, "/StatusNotifierWatcher")
        self.items = []

    @dbus.service.method(WATCHER, in_signature="s", out_signature="", sender_keyword="sender")
    def RegisterStatusNotifierItem(self, service, sender=None):
        say(f"register {service} {sender}")
        if service not in self.items:
            self.items.append(service)
        self.StatusNotifierItemRegistered(service)

    @dbus.service.method(WATCHER, in_signature="s", out_signature="")
    def RegisterStatusNotifierHost(self, service):
        pass

    @dbus.service.signal(WATCHER, signature="s")
    def StatusNotifierItemRegistered(self, service):
        pass

    @dbus.service.method(dbus.PROPERTIES_IFACE, in_signature="ss", out_signature="v")
    def Get(self, interface, name):
        return self.GetAll(interface)[name]

    @dbus.service.method(dbus.PROPERTIES_IFACE, in_signature="s", out_signature="a{sv}")
    def GetAll(self, interface):
        return {
            "RegisteredStatusNotifierItems": dbus.Array(self.items, signature="s"),
            "IsStatusNotifierHostRegistered": True,
            "ProtocolVersion": dbus.Int32(0),
        }


def icon_colours(service):
    bus = dbus.SessionBus()
    item = bus.get_object(service, "/StatusNotifierItem")
    pixmaps = item.Get("org.kde.StatusNotifierItem", "IconPixmap", dbus_interface=dbus.PROPERTIES_IFACE)
    for width, height, data in pixmaps:
        data = bytes(data)
        if len(data) != width * height * 4:
            print(f"{width}x{height} wrong-length {len(data)}")
            continue
        blue = red = 0
        for i in range(0, len(data), 4):
            a, r, b = data[i], data[i + 1], data[i + 3]
            if a < 200:
                continue
            blue += b > 120 and b > 2 * r
            red += r > 120 and r > 2 * b
        colour = "blue" if blue > 10 * max(red, 1) else "red" if red > 10 * max(blue, 1) else f"mixed-{blue}-{red}"
        print(f"{width}x{height} {colour}")


def exported_menu(service):
    bus = dbus.SessionBus()
    item = bus.get_object(service, "/StatusNotifierItem")
    path = item.Get("org.kde.StatusNotifierItem", "Menu", dbus_interface=dbus.PROPERTIES_IFACE)
    return dbus.Interface(bus.get_object(service, path), "com.canonical.dbusmenu")


def print_entry(entry, depth):
    entry_id, properties, children = entry
    shown = " ".join(f"{name}={properties[name]}" for name in sorted(properties))
    print(f"{'  ' * depth}{entry_id} {shown}")
    for child in children:
        print_entry(child, depth + 1)


def menu_command(command, service, *args):
    menu = exported_menu(service)
    if command == "menu":
        revision, layout = menu.GetLayout(0, -1, dbus.Array([], signature="s"))
        print(f"revision {revision}")
        print_entry(layout, 0)
    elif command == "about-to-show":
        print("update" if menu.AboutToShow(0) else "unchanged")
    else:
        menu.Event(int(args[0]), "clicked", dbus.Int32(0, variant_level=1), dbus.UInt32(0))


def main():
    if len(sys.argv) == 3 and sys.argv[1] == "icon":
        return icon_colours(sys.argv[2])
    if len(sys.argv) >= 3 and sys.argv[1] in ("menu", "about-to-show", "click"):
        return menu_command(*sys.argv[1:])
    dbus.mainloop.glib.DBusGMainLoop(set_as_default=True)
    bus = dbus.SessionBus()
    late = sys.argv[1:] == ["--late"]
    objects = []
    if late:
        objects.append(dbus.service.BusName(WATCHER, bus, do_not_queue=True))
        GLib.timeout_add(500, lambda: objects.append(Watcher(bus)) and False)
    else:
        objects.append(Watcher(bus))
    for name in ("NewIcon", "NewToolTip", "NewStatus"):
        bus.add_signal_receiver(
            lambda *args, sender=None, signal=name: say(f"signal {signal} {sender}"),
            signal_name=name, dbus_interface="org.kde.StatusNotifierItem", sender_keyword="sender")
    if not late:
        # The name last, as a real watcher does: whoever sees it finds the methods there.
        objects.append(dbus.service.BusName(WATCHER, bus, do_not_queue=True))
    say("ready")
    GLib.MainLoop().run()


if __name__ == "__main__":
    sys.exit(main())
