"""Unit tests of the stream service (python3 -m unittest test_stream, from this folder)."""

import argparse
import base64
import os
import socket
import sys
import threading
import unittest

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))

import stream  # noqa: E402
from endpoint_case import WAIT  # noqa: E402


class FakeInstitute:
    def __init__(self):
        self.lock = threading.RLock()
        self.faults = []

    def fault(self, service, message):
        self.faults.append(message)


def source(port, mount, password):
    """Announces a source; the socket and the server's first answer."""
    sock = socket.create_connection(("127.0.0.1", port), timeout=WAIT)
    auth = base64.b64encode(("source:" + password).encode()).decode()
    sock.sendall(("SOURCE /%s HTTP/1.0\nAuthorization: Basic %s\n"
                  "Content-Type: audio/mpeg\n\n" % (mount, auth)).encode())
    answer = b""
    while b"\r\n\r\n" not in answer and b"\n\n" not in answer:
        data = sock.recv(4096)
        if not data:
            break
        answer += data
    return sock, answer


@unittest.skipIf(stream.shutil.which("icecast2") is None, "icecast2 is not installed")
class StreamTest(unittest.TestCase):
    def setUp(self):
        self.institute = FakeInstitute()
        parser = argparse.ArgumentParser()
        stream.add_arguments(parser)
        self.port = stream.start(self.institute, "127.0.0.1", parser.parse_args([]))["stream"]
        self.server = self.institute.icecast
        self.addCleanup(self.server.cleanup)

    def test_sources_and_mounts(self):
        self.assertEqual(stream.control(self.institute, {"command": "stream-mounts"}),
                         {"ok": True, "mounts": []})
        sock, answer = source(self.port, "live1-room7", stream.SOURCE_PASSWORD)
        self.addCleanup(sock.close)
        self.assertEqual(answer, b"HTTP/1.0 200 OK\r\n\r\n")
        self.assertEqual(stream.control(self.institute, {"command": "stream-mounts"})["mounts"],
                         ["/live1-room7"])
        refused, answer = source(self.port, "live1-room8", "wrong")
        refused.close()
        self.assertTrue(answer.startswith(b"HTTP/1.0 401"), answer)
        self.assertIsNone(stream.control(self.institute, {"command": "other"}))

    def test_cleanup_stops_the_server(self):
        folder = self.server.folder
        self.server.cleanup()
        self.assertFalse(os.path.exists(folder))
        self.assertFalse(stream.accepts("127.0.0.1", self.port))


@unittest.skipIf(stream.shutil.which("icecast2") is None, "icecast2 is not installed")
class PortTest(unittest.TestCase):
    def test_port_held_by_another_server_is_not_taken(self):
        other = socket.socket()
        self.addCleanup(other.close)
        other.bind(("127.0.0.1", 0))
        other.listen(1)
        server = stream.Icecast("127.0.0.1", 0)
        self.addCleanup(server.cleanup)
        with self.assertRaises(RuntimeError):
            server.start(other.getsockname()[1])


if __name__ == "__main__":
    unittest.main()
