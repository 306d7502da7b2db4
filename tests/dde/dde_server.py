#!/usr/bin/env python3
"""A DDE server on the D-Bus session bus that records what it receives.
    dde_server.py APP LOG READY [--topics A,B] [--delay MS] [--refuse CMD]
                  [--mute-initiate] [--mute-execute]
Each call is appended to LOG as one line; READY is created once the bus
name is owned."""
import argparse

import dbus
import dbus.mainloop.glib
import dbus.service
from gi.repository import GLib

IFACE = "org.tilmor.dde.Server"

p = argparse.ArgumentParser()
p.add_argument("app")
p.add_argument("log")
p.add_argument("ready")
p.add_argument("--topics", default="System")
p.add_argument("--delay", type=int, default=0)
p.add_argument("--refuse", default=None)
p.add_argument("--mute-initiate", action="store_true")
p.add_argument("--mute-execute", action="store_true")
a = p.parse_args()
topics = a.topics.split(",")


def record(*words):
    with open(a.log, "a", encoding="utf-8") as f:
        f.write(" ".join(words) + "\n")


class Server(dbus.service.Object):
    @dbus.service.method(IFACE, in_signature="s", out_signature="b", async_callbacks=("ok", "err"))
    def Initiate(self, topic, ok, err):
        record("Initiate", topic)
        if not a.mute_initiate:
            ok(topic in topics)

    @dbus.service.method(IFACE, in_signature="ss", out_signature="b", async_callbacks=("ok", "err"))
    def Execute(self, topic, command, ok, err):
        record("Execute", topic, command)
        if a.mute_execute:
            return

        def answer():
            ok(command != a.refuse)
            return False

        GLib.timeout_add(a.delay, answer)

    @dbus.service.method(IFACE, in_signature="s", out_signature="")
    def Terminate(self, topic):
        record("Terminate", topic)


dbus.mainloop.glib.DBusGMainLoop(set_as_default=True)
bus = dbus.SessionBus()
name = dbus.service.BusName("org.tilmor.dde." + a.app, bus)
server = Server(bus, "/org/tilmor/dde")
open(a.ready, "w").close()
GLib.MainLoop().run()
