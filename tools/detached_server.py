"""Start and stop plumbing of the tests' loopback servers (tools/page-server, tools/feed-server).

A server script calls main(): "start DIR" runs the script again as "serve DIR", detached,
and waits until it has written DIR/port; "stop DIR" ends it by the pid in DIR/pid and
removes DIR/port. The serving process publishes its port with serve() and ends by itself
after its lifetime.
"""
import os
import signal
import subprocess
import sys
import threading
import time

START_TIMEOUT = 20


def serve(server, directory, lifetime):
    threading.Timer(lifetime, server.shutdown).start()
    port_file = os.path.join(directory, "port")
    with open(port_file + ".tmp", "w") as f:
        f.write("%d\n" % server.server_address[1])
    os.replace(port_file + ".tmp", port_file)
    server.serve_forever()
    os._exit(0)


def start(script, name, directory, prepare):
    os.makedirs(directory, exist_ok=True)
    stop(script, directory)
    if prepare:
        prepare(directory)
    with open(os.path.join(directory, "server.log"), "w") as log:
        process = subprocess.Popen([sys.executable, script, "serve", directory], stdin=subprocess.DEVNULL,
                                   stdout=log, stderr=log, start_new_session=True)
    with open(os.path.join(directory, "pid"), "w") as f:
        f.write("%d\n" % process.pid)
    deadline = time.time() + START_TIMEOUT
    while time.time() < deadline:
        if os.path.exists(os.path.join(directory, "port")):
            return 0
        if process.poll() is not None:
            break
        time.sleep(0.05)
    print("%s did not start" % name, file=sys.stderr)
    return 1


def stop(script, directory):
    try:
        os.remove(os.path.join(directory, "port"))
    except FileNotFoundError:
        pass
    pid_file = os.path.join(directory, "pid")
    try:
        with open(pid_file) as f:
            pid = int(f.read())
        os.remove(pid_file)
        # The server may have ended by itself and its pid gone to another process.
        with open("/proc/%d/cmdline" % pid, "rb") as f:
            if os.path.basename(script).encode() in f.read():
                os.kill(pid, signal.SIGTERM)
    except (FileNotFoundError, ValueError, ProcessLookupError):
        pass
    return 0


def main(script, name, serve_directory, prepare=None):
    """Runs the command line of a server script; serve_directory(DIR) serves (never returns)."""
    command, directory = sys.argv[1], os.path.abspath(sys.argv[2])
    if command == "serve":
        serve_directory(directory)
    return start(script, name, directory, prepare) if command == "start" else stop(script, directory)
