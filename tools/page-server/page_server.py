#!/usr/bin/env python3
"""HTTP page server for the tests and the main job that run a real browser, on 127.0.0.1 only.

  page_server.py start DIR   starts the server detached, waits until it listens and writes DIR/port
  page_server.py stop DIR    stops the server started from DIR (by its pid) and removes DIR/port

Pages:
  /colour/RRGGBB            the whole page in that colour
  /close/RRGGBB             that colour, then window.close() once loaded
  /redirect/RRGGBB          302 to /colour/RRGGBB
  /agent                    the request's User-Agent header as the page's text
  /feed?port=N&path=P       defines json_decode (keeps its value, turns the page green) and loads
                            the script mem://localhost:N + P
  /media                    two looping audio elements that play by themselves, one muted
  /tone.wav                 two seconds of a 440 Hz tone
  /animated                 a page whose colour changes every frame
  /show/N                   page N of the main job's show: a full-screen coloured card

Every request's path is appended to DIR/requests.log. The server also ends by itself after
LIFETIME seconds.
"""
import http.server
import math
import os
import struct
import sys
import urllib.parse
from html import escape

sys.path.insert(0, os.path.join(os.path.dirname(os.path.abspath(__file__)), ".."))
import detached_server  # start and stop, shared with the other test server

LIFETIME = 900
SHOW_COLOURS = ["1e6fd9", "d9441e", "2bb24c", "8e44ad", "f1c40f"]


def page(body, head=""):
    return ("<!DOCTYPE html><html><head><meta charset=\"utf-8\">%s"
            "<style>html,body{margin:0;height:100%%;overflow:hidden}</style></head>"
            "<body>%s</body></html>" % (head, body)).encode()


def coloured(colour, extra=""):
    return page(extra, "<style>body{background:#%s}</style>" % colour)


def tone():
    rate, seconds = 8000, 2
    samples = b"".join(struct.pack("<h", int(8000 * math.sin(2 * math.pi * 440 * i / rate)))
                       for i in range(rate * seconds))
    header = b"RIFF" + struct.pack("<I", 36 + len(samples)) + b"WAVEfmt " + \
        struct.pack("<IHHIIHH", 16, 1, 1, rate, rate * 2, 2, 16) + b"data" + struct.pack("<I", len(samples))
    return header + samples


TONE = tone()


def show_card(number):
    colour = SHOW_COLOURS[(number - 1) % len(SHOW_COLOURS)]
    return page("<div style=\"display:flex;flex-direction:column;height:100%%;align-items:center;"
                "justify-content:center;font:bold 12vh DejaVu Sans,sans-serif;color:#fff\">Page %d"
                "<span id=\"clock\" style=\"font-size:5vh\"></span>"
                "<span style=\"font:2.5vh DejaVu Sans,sans-serif\">A web page served on loopback, "
                "drawn by headless Chromium</span></div>"
                "<script>setInterval(()=>{document.getElementById('clock').textContent="
                "new Date().toLocaleTimeString()},1000)</script>" % number,
                "<style>body{background:#%s}</style>" % colour)


class Handler(http.server.BaseHTTPRequestHandler):
    request_log = None

    def do_GET(self):
        if self.request_log:
            with open(self.request_log, "a") as log:
                log.write(self.path + "\n")
        url = urllib.parse.urlsplit(self.path)
        parts = [p for p in url.path.split("/") if p]
        query = dict(urllib.parse.parse_qsl(url.query))
        kind = "text/html; charset=utf-8"
        status = 200
        headers = {}
        if len(parts) == 2 and parts[0] == "colour":
            body = coloured(parts[1])
        elif len(parts) == 2 and parts[0] == "close":
            body = coloured(parts[1], "<script>addEventListener('load',()=>setTimeout(()=>window.close(),50))"
                                      "</script>")
        elif len(parts) == 2 and parts[0] == "redirect":
            status, body = 302, b""
            headers["Location"] = "/colour/" + parts[1]
        elif parts == ["agent"]:
            body = page(escape(self.headers.get("User-Agent", "")))
        elif parts == ["feed"]:
            source = "mem://localhost:%s%s" % (query.get("port", "0"), query.get("path", "/"))
            # The request may start, and the answer run, before the parser has made the body
            # (the browser fetches scripts ahead of it): the colour waits for the body.
            body = page("<script>function json_decode(v){window.feed=v;(function paint(){document.body?"
                        "document.body.style.background='#00ff00':setTimeout(paint,10)})()}"
                        "</script><script src=\"%s\"></script>" % escape(source))
        elif parts == ["media"]:
            body = page("<audio id=\"quiet\" src=\"/tone.wav\" autoplay loop muted></audio>"
                        "<audio id=\"loud\" src=\"/tone.wav\" autoplay loop></audio>")
        elif parts == ["tone.wav"]:
            body, kind = TONE, "audio/wav"
        elif parts == ["animated"]:
            body = page("<script>let n=0;function f(){document.body.style.background="
                        "'hsl('+(n++%360)+',90%,50%)';requestAnimationFrame(f)}f()</script>")
        elif len(parts) == 2 and parts[0] == "show" and parts[1].isdigit():
            body = show_card(int(parts[1]))
        else:
            status, body = 404, page("not found")
        self.send_response(status)
        for name, value in headers.items():
            self.send_header(name, value)
        self.send_header("Content-Type", kind)
        self.send_header("Content-Length", str(len(body)))
        self.send_header("Cache-Control", "no-store")
        self.end_headers()
        self.wfile.write(body)

    def log_message(self, *args):
        pass


def serve(directory):
    Handler.request_log = os.path.join(directory, "requests.log")
    server = http.server.ThreadingHTTPServer(("127.0.0.1", 0), Handler)
    detached_server.serve(server, directory, LIFETIME)


if __name__ == "__main__":
    sys.exit(detached_server.main(__file__, "page server", serve))
