#!/usr/bin/env python3
# Stands in for the Plasma shell on a test's session bus: owns org.kde.plasmashell,
# appends every script that org.kde.PlasmaShell.evaluateScript receives to the file
# named by the first argument, and prints "ready" once the name is owned. A script
# asking for the screens' geometry is answered with the second argument, when given.
import sys

import dbus
import dbus.mainloop.glib
import dbus.service
from gi.repository import GLib


class PlasmaShell(dbus.service.Object):
    @dbus.service.method("org.kde.PlasmaShell", in_signature="s", out_signature="s")
    def evaluateScript(self, script):
        if "screenGeometry" in script and len(sys.argv) > 2:
            return sys.argv[2]
        with open(sys.argv[1], "a", encoding="utf-8") as log:
            log.write(script)
        return ""


dbus.mainloop.glib.DBusGMainLoop(set_as_default=True)
bus = dbus.SessionBus()
name = dbus.service.BusName("org.kde.plasmashell", bus, do_not_queue=True)
shell = PlasmaShell(bus, "/PlasmaShell")
print("ready", flush=True)
GLib.MainLoop().run()
