'''NetworkManager for the tests (--template nm_dialup_mock.py): dbusmock's stock
template, where ActivateConnection(profile, "/", "/") picks a free device that
fits the profile and leaves it activating until SetActiveConnectionState moves it
on, DeactivateConnection signals deactivating and deactivated, and AddModemDevice
adds a modem with no IP interface until its pppd has a link.
'''

import dbus

import dbusmock
from dbusmock import MOCK_IFACE
from dbusmock.templates import networkmanager as stock
# The stock template's names, its mock methods among them, become this
# template's: dbusmock adds every D-Bus method it finds in the module.
from dbusmock.templates.networkmanager import *  # noqa: F401,F403 pylint: disable=wildcard-import,unused-wildcard-import
from dbusmock.templates.networkmanager import (ACTIVE_CONNECTION_IFACE, DEVICE_IFACE, MANAGER_IFACE, MANAGER_OBJ,
                                               DeviceState, NMActiveConnectionState)

MODEM_IFACE = 'org.freedesktop.NetworkManager.Device.Modem'

# NMDeviceType of the devices that carry each kind of dial-up profile.
DEVICE_TYPE_FOR = {'gsm': 8, 'cdma': 8, 'bluetooth': 5, 'pppoe': 1}
# NMActiveConnectionStateReason: the user asked for the deactivation.
REASON_USER_DISCONNECTED = 2


def _set_state(path, state, reason):
    active = dbusmock.get_object(path)
    active.Set(ACTIVE_CONNECTION_IFACE, 'State', dbus.UInt32(state))
    active.EmitSignal(ACTIVE_CONNECTION_IFACE, 'StateChanged', 'uu', [dbus.UInt32(state), dbus.UInt32(reason)])


def _pick_device(manager, profile_path):
    kind = dbusmock.get_object(profile_path).settings['connection']['type']
    for path in manager.Get(MANAGER_IFACE, 'Devices'):
        device = dbusmock.get_object(path)
        if (device.Get(DEVICE_IFACE, 'DeviceType') == DEVICE_TYPE_FOR.get(str(kind))
                and device.Get(DEVICE_IFACE, 'State') == DeviceState.DISCONNECTED):
            return path
    raise dbus.exceptions.DBusException('No suitable device found for this connection.',
                                        name=MANAGER_IFACE + '.UnknownDevice')


def activate_connection(self, profile, device, specific_object):
    if str(device) == '/':
        device = _pick_device(self, profile)
    active_connections = self.Get(MANAGER_IFACE, 'ActiveConnections')
    count = 0
    while f'/org/freedesktop/NetworkManager/ActiveConnection/{count}' in active_connections:
        count += 1
    path = f'/org/freedesktop/NetworkManager/ActiveConnection/{count}'
    settings = dbusmock.get_object(profile).settings['connection']
    # Complete before it is announced: a client reads it when it sees it listed.
    self.AddObject(path, ACTIVE_CONNECTION_IFACE, {
        'Connection': dbus.ObjectPath(profile),
        'SpecificObject': dbus.ObjectPath(specific_object),
        'Id': settings['id'],
        'Type': settings['type'],
        'Devices': dbus.Array([dbus.ObjectPath(device)], signature='o'),
        'State': dbus.UInt32(NMActiveConnectionState.NM_ACTIVE_CONNECTION_STATE_ACTIVATING),
    }, [])
    self.object_manager_emit_added(path)
    device_obj = dbusmock.get_object(device)
    device_obj.Set(DEVICE_IFACE, 'ActiveConnection', dbus.ObjectPath(path))
    device_obj.Set(DEVICE_IFACE, 'State', dbus.UInt32(DeviceState.PREPARE))
    active_connections.append(dbus.ObjectPath(path))
    self.SetProperty(MANAGER_OBJ, MANAGER_IFACE, 'ActiveConnections', active_connections)
    return dbus.ObjectPath(path)


def deactivate_connection(self, path):
    if str(path) not in self.Get(MANAGER_IFACE, 'ActiveConnections'):
        raise dbus.exceptions.DBusException('The connection was not active.',
                                            name=MANAGER_IFACE + '.ConnectionNotActive')
    devices = dbusmock.get_object(path).Get(ACTIVE_CONNECTION_IFACE, 'Devices')
    _set_state(path, NMActiveConnectionState.NM_ACTIVE_CONNECTION_STATE_DEACTIVATING, REASON_USER_DISCONNECTED)
    _set_state(path, NMActiveConnectionState.NM_ACTIVE_CONNECTION_STATE_DEACTIVATED, REASON_USER_DISCONNECTED)
    for device in devices:
        dbusmock.get_object(device).Set(DEVICE_IFACE, 'IpInterface', '')
        self.SetDeviceDisconnected(device)
    active_connections = self.Get(MANAGER_IFACE, 'ActiveConnections')
    active_connections.remove(dbus.ObjectPath(path))
    self.SetProperty(MANAGER_OBJ, MANAGER_IFACE, 'ActiveConnections', active_connections)
    self.object_manager_emit_removed(path)
    self.RemoveObject(path)


def load(mock, parameters):
    stock.load(mock, parameters)
    manager = dbusmock.get_object(MANAGER_OBJ)
    manager.activate_connection = activate_connection
    manager.deactivate_connection = deactivate_connection


@dbus.service.method(MOCK_IFACE, in_signature='ss', out_signature='s')
def AddModemDevice(self, device_name, control_interface):
    '''A disconnected GSM modem on control_interface (e.g. ttyUSB2); returns its path.'''
    path = '/org/freedesktop/NetworkManager/Devices/' + device_name
    self.AddObject(path, MODEM_IFACE, {'ModemCapabilities': dbus.UInt32(4)}, [])  # GSM/UMTS
    # What this template and the stock one read and set of a device.
    dbusmock.get_object(path).AddProperties(DEVICE_IFACE, {
        'DeviceType': dbus.UInt32(8),
        'State': dbus.UInt32(DeviceState.DISCONNECTED),
        'StateReason': (dbus.UInt32(DeviceState.DISCONNECTED), dbus.UInt32(0)),
        'Interface': control_interface,
        'IpInterface': '',
        'ActiveConnection': dbus.ObjectPath('/'),
    })
    self.object_manager_emit_added(path)
    manager = dbusmock.get_object(MANAGER_OBJ)
    devices = manager.Get(MANAGER_IFACE, 'Devices')
    devices.append(dbus.ObjectPath(path))
    manager.Set(MANAGER_IFACE, 'Devices', devices)
    manager.EmitSignal(MANAGER_IFACE, 'DeviceAdded', 'o', [path])
    return path


@dbus.service.method(MOCK_IFACE, in_signature='suu', out_signature='')
def SetActiveConnectionState(_self, path, state, reason):
    '''Moves an active connection to state (NMActiveConnectionState) for reason,
    with PropertiesChanged and StateChanged; activated also activates its devices.'''
    _set_state(path, state, reason)
    if state == NMActiveConnectionState.NM_ACTIVE_CONNECTION_STATE_ACTIVATED:
        for device in dbusmock.get_object(path).Get(ACTIVE_CONNECTION_IFACE, 'Devices'):
            dbusmock.get_object(MANAGER_OBJ).SetDeviceActive(device, path)
