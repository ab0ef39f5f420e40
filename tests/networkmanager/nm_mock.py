#!/usr/bin/python3
"""Drives the stand-in NetworkManager (nm_dialup_mock.py) on a private bus:

  nm_mock.py ADDRESS profile NAME TYPE [BLUETOOTH_TYPE]   prints the profile's path
  nm_mock.py ADDRESS modem NAME IP_INTERFACE              a modem whose link is IP_INTERFACE
  nm_mock.py ADDRESS interface NAME IP_INTERFACE          the modem's link is IP_INTERFACE again
  nm_mock.py ADDRESS state ACTIVE_PATH STATE [REASON]     moves an active connection on
  nm_mock.py ADDRESS refuse ERROR_NAME MESSAGE            ActivateConnection answers with that error
  nm_mock.py ADDRESS stall                                ActivateConnection never answers
  nm_mock.py ADDRESS refuse-hangup ERROR_NAME MESSAGE     DeactivateConnection answers with that error
  nm_mock.py ADDRESS active                               prints the active connections' paths
"""
import sys
import time
import uuid

import dbus

NM = 'org.freedesktop.NetworkManager'
MANAGER = '/org/freedesktop/NetworkManager'
DEVICE = 'org.freedesktop.NetworkManager.Device'
MOCK = 'org.freedesktop.DBus.Mock'

address, command, *args = sys.argv[1:]
bus = dbus.bus.BusConnection(address)
# The mock started in the background a moment ago may not have taken its name yet.
for _ in range(100):
    if bus.name_has_owner(NM):
        break
    time.sleep(0.1)
manager = bus.get_object(NM, MANAGER)
mock = dbus.Interface(manager, MOCK)

if command == 'profile':
    name, kind = args[0], args[1]
    settings = {'connection': {'id': name, 'type': kind, 'uuid': str(uuid.uuid4())}}
    if len(args) > 2:
        settings['bluetooth'] = {'type': args[2]}
    settings_object = dbus.Interface(bus.get_object(NM, MANAGER + '/Settings'), NM + '.Settings')
    print(settings_object.AddConnection(dbus.Dictionary(settings, signature='sa{sv}')))
elif command in ('modem', 'interface'):
    path = mock.AddModemDevice(args[0], 'ttyUSB2') if command == 'modem' else MANAGER + '/Devices/' + args[0]
    mock.SetProperty(path, DEVICE, 'IpInterface', dbus.String(args[1], variant_level=1))
elif command == 'state':
    reason = int(args[2]) if len(args) > 2 else 1
    mock.SetActiveConnectionState(args[0], dbus.UInt32(int(args[1])), dbus.UInt32(reason))
elif command == 'stall':
    mock.AddMethod(NM, 'ActivateConnection', 'ooo', 'o', "__import__('time').sleep(60)")
elif command in ('refuse', 'refuse-hangup'):
    method, signature, out = ('ActivateConnection', 'ooo', 'o') if command == 'refuse' else ('DeactivateConnection', 'o', '')
    mock.AddMethod(NM, method, signature, out,
                   f"raise dbus.exceptions.DBusException({args[1]!r}, name={args[0]!r})")
elif command == 'active':
    for path in dbus.Interface(manager, dbus.PROPERTIES_IFACE).Get(NM, 'ActiveConnections'):
        print(path)
else:
    sys.exit(f'nm_mock.py: unknown command {command}')
