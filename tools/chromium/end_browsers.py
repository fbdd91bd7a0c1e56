#!/usr/bin/env python3
"""Ends the browsers a run left behind, found through the DevToolsActivePort of their user-data folders.

  end_browsers.py FOLDER...   each FOLDER is a user-data folder, or a folder of them

For each browser that still answers there: its process ids from SystemInfo.getProcessInfo, then
Browser.close; a browser process still there after a few seconds is killed by that id. Never by name.
"""
import base64
import json
import os
import signal
import socket
import struct
import sys
import time

PORT_FILE = "DevToolsActivePort"
CLOSE_WAIT = 3.0


class DevTools:
    def __init__(self, port, path):
        self.sock = socket.create_connection(("127.0.0.1", port), timeout=3)
        key = base64.b64encode(os.urandom(16)).decode()
        self.sock.sendall(("GET %s HTTP/1.1\r\nHost: 127.0.0.1:%d\r\nUpgrade: websocket\r\nConnection: Upgrade\r\n"
                           "Sec-WebSocket-Key: %s\r\nSec-WebSocket-Version: 13\r\n\r\n" % (path, port, key)).encode())
        reply = b""
        while b"\r\n\r\n" not in reply:
            chunk = self.sock.recv(4096)
            if not chunk:
                raise OSError("no upgrade")
            reply += chunk
        if b" 101 " not in reply.split(b"\r\n")[0]:
            raise OSError("upgrade refused")
        self.buffer = reply.split(b"\r\n\r\n", 1)[1]
        self.next_id = 0

    def send(self, method):
        self.next_id += 1
        data = json.dumps({"id": self.next_id, "method": method}).encode()
        mask = os.urandom(4)
        header = bytes([0x81])
        if len(data) < 126:
            header += bytes([0x80 | len(data)])
        else:
            header += bytes([0x80 | 126]) + struct.pack(">H", len(data))
        self.sock.sendall(header + mask + bytes(b ^ mask[i % 4] for i, b in enumerate(data)))
        return self.next_id

    def read(self, count):
        while len(self.buffer) < count:
            chunk = self.sock.recv(65536)
            if not chunk:
                raise OSError("closed")
            self.buffer += chunk
        out, self.buffer = self.buffer[:count], self.buffer[count:]
        return out

    def reply(self, wanted):
        while True:
            first, second = self.read(2)
            length = second & 0x7F
            if length == 126:
                length = struct.unpack(">H", self.read(2))[0]
            elif length == 127:
                length = struct.unpack(">Q", self.read(8))[0]
            payload = self.read(length)
            if first & 0x0F == 8:
                raise OSError("closed")
            if first & 0x0F == 1:
                message = json.loads(payload)
                if message.get("id") == wanted:
                    return message


def alive(pid):
    try:
        os.kill(pid, 0)
        return True
    except OSError:
        return False


def end_browser(folder):
    port_file = os.path.join(folder, PORT_FILE)
    try:
        with open(port_file) as f:
            port, path = int(f.readline()), f.readline().strip()
    except (OSError, ValueError):
        return
    pids = []
    try:
        devtools = DevTools(port, path)
        info = devtools.reply(devtools.send("SystemInfo.getProcessInfo"))
        pids = [p["id"] for p in info.get("result", {}).get("processInfo", []) if p.get("type") == "browser"]
        devtools.send("Browser.close")
        print("Closing the browser left in %s" % folder)
    except (OSError, ValueError):
        pass
    deadline = time.time() + CLOSE_WAIT
    while any(alive(p) for p in pids) and time.time() < deadline:
        time.sleep(0.1)
    for pid in pids:
        if alive(pid):
            print("Killing browser process %d" % pid)
            os.kill(pid, signal.SIGKILL)
    try:
        os.remove(port_file)
    except OSError:
        pass


def main(folders):
    for folder in folders:
        if not os.path.isdir(folder):
            continue
        end_browser(folder)
        for name in sorted(os.listdir(folder)):
            child = os.path.join(folder, name)
            if os.path.isdir(child):
                end_browser(child)
    return 0


if __name__ == "__main__":
    sys.exit(main(sys.argv[1:]))
