#!/usr/bin/python3
"""Drives the NetworkManager stand-in (python3-dbusmock's networkmanager
template) on a private bus, as the tests need it beyond the template:

  nm_mock.py ADDRESS profile NAME TYPE [BLUETOOTH_TYPE]   prints the profile's path
  nm_mock.py ADDRESS modem NAME IP_INTERFACE [activating] a modem; activations without a device use it
                                                          (and stay activating when asked so)
  nm_mock.py ADDRESS state ACTIVE_PATH STATE [REASON]     sets State and emits StateChanged
  nm_mock.py ADDRESS refuse ERROR_NAME MESSAGE            ActivateConnection answers with that error
  nm_mock.py ADDRESS refuse-hangup ERROR_NAME MESSAGE     DeactivateConnection answers with that error
  nm_mock.py ADDRESS active                               prints the active connections' paths
"""
import sys
import uuid

import dbus

NM = 'org.freedesktop.NetworkManager'
MANAGER = '/org/freedesktop/NetworkManager'
DEVICE = 'org.freedesktop.NetworkManager.Device'
ACTIVE = 'org.freedesktop.NetworkManager.Connection.Active'
MOCK = 'org.freedesktop.DBus.Mock'

address, command, *args = sys.argv[1:]
bus = dbus.bus.BusConnection(address)
manager = bus.get_object(NM, MANAGER)
mock = dbus.Interface(manager, MOCK)

if command == 'profile':
    name, kind = args[0], args[1]
    settings = {'connection': {'id': name, 'type': kind, 'uuid': str(uuid.uuid4())}}
    if len(args) > 2:
        settings['bluetooth'] = {'type': args[2]}
    settings_object = dbus.Interface(bus.get_object(NM, MANAGER + '/Settings'), NM + '.Settings')
    print(settings_object.AddConnection(dbus.Dictionary(settings, signature='sa{sv}')))
elif command == 'modem':
    path = MANAGER + '/Devices/' + args[0]
    mock.AddObject(path, DEVICE, {
        'DeviceType': dbus.UInt32(8),
        'State': dbus.UInt32(30),
        'StateReason': (dbus.UInt32(30), dbus.UInt32(0)),
        'Interface': 'ttyUSB2',
        'IpInterface': args[1],
        'ActiveConnection': dbus.ObjectPath('/'),
        'AvailableConnections': dbus.Array([], signature='o'),
        'Managed': True,
    }, [])
    properties = dbus.Interface(manager, dbus.PROPERTIES_IFACE)
    devices = properties.Get(NM, 'Devices')
    devices.append(dbus.ObjectPath(path))
    properties.Set(NM, 'Devices', dbus.Array(devices, signature='o'))
    # NetworkManager picks the device itself when asked with "/".
    code = f"ret = self.activate_connection(self, args[0], '{path}' if args[1] == '/' else args[1], args[2])"
    if args[2:] == ['activating']:
        code += f"; objects[ret].Set('{ACTIVE}', 'State', dbus.UInt32(1))"
    mock.AddMethod(NM, 'ActivateConnection', 'ooo', 'o', code)
elif command == 'state':
    path, state = args[0], int(args[1])
    reason = int(args[2]) if len(args) > 2 else 1
    mock.SetProperty(path, ACTIVE, 'State', dbus.UInt32(state, variant_level=1))
    dbus.Interface(bus.get_object(NM, path), MOCK).EmitSignal(ACTIVE, 'StateChanged', 'uu',
                                                              [dbus.UInt32(state), dbus.UInt32(reason)])
elif command in ('refuse', 'refuse-hangup'):
    method, signature, out = ('ActivateConnection', 'ooo', 'o') if command == 'refuse' else ('DeactivateConnection', 'o', '')
    mock.AddMethod(NM, method, signature, out,
                   f"raise dbus.exceptions.DBusException({args[1]!r}, name={args[0]!r})")
elif command == 'active':
    for path in dbus.Interface(manager, dbus.PROPERTIES_IFACE).Get(NM, 'ActiveConnections'):
        print(path)
else:
    sys.exit(f'nm_mock.py: unknown command {command}')
