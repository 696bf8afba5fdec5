#!/usr/bin/python3
"""A stand-in for the desktop's notification service on a private session bus.

    dbus-run-session -- notification_service.py MODE RECORD

Prints the bus address as its first line once it is ready, writes each call it
answers to RECORD as one JSON line, and ends when its standard input closes.
MODE:
  invoke  offers actions and takes "show-log" 100 ms after each Notify that has it
  ignore  offers actions and takes none
  markup  reads body markup, offers no actions
  hang    owns the name and never answers
  none    no service on the bus at all
"""
import json
import os
import sys

import dbus
import dbus.service
from dbus.mainloop.glib import DBusGMainLoop
from gi.repository import GLib

NAME = "org.freedesktop.Notifications"
PATH = "/org/freedesktop/Notifications"
mode, record = sys.argv[1], sys.argv[2]


def plain(value):
    if isinstance(value, dbus.Dictionary):
        return {str(k): plain(v) for k, v in value.items()}
    if isinstance(value, (dbus.Array, list)):
        return [plain(v) for v in value]
    if isinstance(value, (dbus.String, str)):
        return str(value)
    return int(value)


def write(method, args):
    with open(record, "a") as f:
        f.write(json.dumps({"method": method, "args": [plain(a) for a in args]}) + "\n")


class Service(dbus.service.Object):
    last_id = 0

    @dbus.service.method(NAME, in_signature="", out_signature="as")
    def GetCapabilities(self):
        write("GetCapabilities", [])
        return {"invoke": ["actions", "body"], "ignore": ["actions", "body"], "markup": ["body", "body-markup"]}[mode]

    @dbus.service.method(NAME, in_signature="susssasa{sv}i", out_signature="u")
    def Notify(self, app, replaces, icon, summary, body, actions, hints, expire):
        write("Notify", [app, replaces, icon, summary, body, actions, hints, expire])
        nid = replaces or Service.last_id + 1
        Service.last_id = max(Service.last_id, nid)
        if mode == "invoke" and "show-log" in actions:
            GLib.timeout_add(100, lambda: self.ActionInvoked(nid, "show-log") and False)
        return nid

    @dbus.service.method(NAME, in_signature="u", out_signature="")
    def CloseNotification(self, nid):
        write("CloseNotification", [nid])

    @dbus.service.method(NAME, in_signature="", out_signature="ssss")
    def GetServerInformation(self):
        return ("stand-in", "kelvaro tests", "1", "1.2")

    @dbus.service.signal(NAME, signature="us")
    def ActionInvoked(self, nid, key):
        pass


DBusGMainLoop(set_as_default=True)
bus = dbus.SessionBus()
if mode != "none":
    bus.request_name(NAME)
print(os.environ["DBUS_SESSION_BUS_ADDRESS"], flush=True)
if mode in ("none", "hang"):
    sys.stdin.read()  # no main loop: a call to the name is never answered
    sys.exit(0)
service = Service(bus, PATH)
loop = GLib.MainLoop()
GLib.io_add_watch(sys.stdin.fileno(), GLib.IO_IN | GLib.IO_HUP, lambda *_: loop.quit() or False)
loop.run()
