#!/usr/bin/python3
"""An anonymous, read-only FTP server whose greeting comes late, for the update check's
tests: a client is still connecting for DELAY seconds. Every command it receives is
appended to LOG, one line each, and "DISCONNECT" when the client has let go.

    slow-ftp.py ADDRESS ROOT DELAY LOG

LOG is created once the server listens.
"""
import sys
import time

from pyftpdlib.authorizers import DummyAuthorizer
from pyftpdlib.handlers import FTPHandler
from pyftpdlib.servers import FTPServer

address, root, delay, log = sys.argv[1], sys.argv[2], float(sys.argv[3]), sys.argv[4]


class SlowHandler(FTPHandler):
    def on_connect(self):
        time.sleep(delay)

    def pre_process_command(self, line, cmd, arg):
        note(cmd)
        return super().pre_process_command(line, cmd, arg)

    def on_disconnect(self):
        note("DISCONNECT")


def note(line):
    with open(log, "a") as out:
        out.write(line + "\n")


authorizer = DummyAuthorizer()
authorizer.add_anonymous(root)
SlowHandler.authorizer = authorizer
server = FTPServer((address, 21), SlowHandler)
open(log, "w").close()
server.serve_forever()
