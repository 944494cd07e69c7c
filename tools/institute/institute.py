#!/usr/bin/env python3
"""The local institute: stands in for the institute's servers on 127.0.0.1.

Each service lives in a module of this folder that provides
    add_arguments(parser)            its command-line options (optional)
    start(institute, host, args)     starts its servers, returns {name: port}
    control(institute, command)      answers a control command or returns None
The services start in SERVICES order; each sees the ports of those before it
in institute.ports.

On start the program prints one line "READY {json of ports}" and serves until
it is stopped, or until the process that started it ends (even by SIGKILL):
a test that crashes leaves no institute behind. The control port answers:
    POST /control   JSON command, dispatched to the services -> JSON reply
    GET  /log       JSON array of everything received, in order
    GET  /errors    JSON array of protocol faults seen in what clients sent
"""

import argparse
import http.server
import importlib
import json
import os
import signal
import socketserver
import sys
import threading
import time

SERVICES = ["classroom", "web", "exam", "stream"]


class Institute:
    def __init__(self, args):
        self.args = args
        self.lock = threading.RLock()
        self.entries = []      # the request log
        self.faults = []       # protocol faults
        self.ports = {}
        self.modules = []
        self.started = time.time()

    def record(self, service, kind, **fields):
        entry = {"service": service, "kind": kind, "time": round(time.time() - self.started, 3)}
        entry.update(fields)
        with self.lock:
            self.entries.append(entry)
        if self.args.verbose:
            print("LOG", json.dumps(entry, ensure_ascii=False), flush=True)

    def fault(self, service, message):
        text = "%s: %s" % (service, message)
        with self.lock:
            self.faults.append(text)
        print("FAULT", text, file=sys.stderr, flush=True)

    def control(self, command):
        if command.get("command") == "ping":
            return {"ok": True}
        if command.get("command") == "clear-log":
            with self.lock:
                self.entries.clear()
            return {"ok": True}
        for module in self.modules:
            handler = getattr(module, "control", None)
            if handler is None:
                continue
            reply = handler(self, command)
            if reply is not None:
                return reply
        return {"ok": False, "error": "unknown command"}


class ThreadingServer(socketserver.ThreadingMixIn, socketserver.TCPServer):
    daemon_threads = True
    allow_reuse_address = True


def serve(server):
    thread = threading.Thread(target=server.serve_forever, daemon=True)
    thread.start()
    return server.server_address[1]


def control_server(institute, host, port):
    class Handler(http.server.BaseHTTPRequestHandler):
        def log_message(self, *args):
            pass

        def reply(self, value):
            data = json.dumps(value, ensure_ascii=False).encode("utf-8")
            self.send_response(200)
            self.send_header("Content-Type", "application/json")
            self.send_header("Content-Length", str(len(data)))
            self.end_headers()
            self.wfile.write(data)

        def do_GET(self):
            with institute.lock:
                if self.path == "/log":
                    return self.reply(list(institute.entries))
                if self.path == "/errors":
                    return self.reply(list(institute.faults))
            self.send_error(404)

        def do_POST(self):
            length = int(self.headers.get("Content-Length") or 0)
            try:
                command = json.loads(self.rfile.read(length) or b"{}")
            except ValueError:
                return self.reply({"ok": False, "error": "bad json"})
            if self.path == "/control":
                return self.reply(institute.control(command))
            self.send_error(404)

    return serve(ThreadingServer((host, port), Handler))


def main(argv=None):
    # The process that started us: once it is gone we are another's child.
    parent = os.getppid()
    parser = argparse.ArgumentParser(description=__doc__.splitlines()[0])
    parser.add_argument("--host", default="127.0.0.1")
    parser.add_argument("--control-port", type=int, default=0)
    parser.add_argument("--verbose", action="store_true", help="print every log entry")
    modules = []
    for name in SERVICES:
        try:
            module = importlib.import_module(name)
        except ModuleNotFoundError as error:
            if error.name != name:
                raise
            continue
        modules.append(module)
        if hasattr(module, "add_arguments"):
            module.add_arguments(parser)
    args = parser.parse_args(argv)
    if args.host not in ("127.0.0.1", "localhost"):
        parser.error("the institute serves on 127.0.0.1 only")

    institute = Institute(args)
    institute.modules = modules
    for module in modules:
        institute.ports.update(module.start(institute, args.host, args) or {})
    institute.ports["control"] = control_server(institute, args.host, args.control_port)
    print("READY " + json.dumps(institute.ports), flush=True)

    stop = threading.Event()
    signal.signal(signal.SIGTERM, lambda *a: stop.set())
    signal.signal(signal.SIGINT, lambda *a: stop.set())
    while not stop.is_set() and os.getppid() == parent:
        stop.wait(0.2)
    return 0


if __name__ == "__main__":
    sys.path.insert(0, __import__("os").path.dirname(__import__("os").path.abspath(__file__)))
    sys.exit(main())
