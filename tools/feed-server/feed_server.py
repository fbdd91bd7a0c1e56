#!/usr/bin/env python3
"""HTTPS feed server for the protocol tests, on 127.0.0.1 only.

  feed_server.py start DIR   makes DIR/cert.pem and cert.der once (CN=localhost), starts the
                             server detached, waits until it listens and writes DIR/port
  feed_server.py stop DIR    stops the server started from DIR (by its pid) and removes DIR/port

The server also ends by itself after LIFETIME seconds.
"""
import http.server
import os
import ssl
import subprocess
import sys
from xml.sax.saxutils import escape

sys.path.insert(0, os.path.join(os.path.dirname(os.path.abspath(__file__)), ".."))
import detached_server  # start and stop, shared with the other test server

LIFETIME = 900
NUL_CHUNK = 39999


def nul_body():
    # The first read chunk holds a NUL; the rest of that chunk is dropped, the next kept.
    head = b"<r><a>1</a>\0<c>dropped</c>"
    return head + b" " * (NUL_CHUNK - len(head)) + b"<b>2</b></r>"


def big_body():
    return ("<r>" + "".join("<i>%d</i>" % i for i in range(2000)) + "</r>").encode()


class Handler(http.server.BaseHTTPRequestHandler):
    def do_GET(self):
        path = self.path.split("?")[0]
        status = 200
        if path == "/echo":
            body = ("<r><path>%s</path></r>" % escape(self.path)).encode()
        elif path == "/nul":
            body = nul_body()
        elif path == "/malformed":
            body = b"<r><a></r>"
        elif path == "/big":
            body = big_body()
        else:
            status = 404
            body = b"<error><code>404</code></error>"
        self.send_response(status)
        self.send_header("Content-Type", "text/xml")
        self.send_header("Content-Length", str(len(body)))
        self.end_headers()
        self.wfile.write(body)

    def log_message(self, *args):
        pass


def serve(directory):
    server = http.server.ThreadingHTTPServer(("127.0.0.1", 0), Handler)
    context = ssl.SSLContext(ssl.PROTOCOL_TLS_SERVER)
    context.load_cert_chain(os.path.join(directory, "cert.pem"), os.path.join(directory, "key.pem"))
    server.socket = context.wrap_socket(server.socket, server_side=True)
    detached_server.serve(server, directory, LIFETIME)


def make_certificate(directory):
    pem = os.path.join(directory, "cert.pem")
    if os.path.exists(pem) and os.path.exists(os.path.join(directory, "cert.der")):
        return
    quiet = dict(stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL, check=True)
    subprocess.run(["openssl", "req", "-x509", "-newkey", "rsa:2048", "-nodes", "-days", "3650",
                    "-subj", "/CN=localhost", "-addext", "subjectAltName=DNS:localhost",
                    "-keyout", os.path.join(directory, "key.pem"), "-out", pem], **quiet)
    subprocess.run(["openssl", "x509", "-in", pem, "-outform", "DER",
                    "-out", os.path.join(directory, "cert.der")], **quiet)


if __name__ == "__main__":
    sys.exit(detached_server.main(__file__, "feed server", serve, make_certificate))
