"""A test case with the local institute running in a process of its own, and
the requests its tests make of the control and exam ports."""

import http.client
import json
import os
import subprocess
import sys
import unittest

import exam

HERE = os.path.dirname(os.path.abspath(__file__))
URL = "http://127.0.0.1:8086/velmar.php"
# Bound of every wait on the institute: a busy machine may take long to
# answer or to end a process, and a wait ends as soon as it may.
WAIT = 60


def end_institute(proc):
    """Stops an institute process and waits until it has ended (Icecast
    stopped too); kills it and fails when it does not end in time."""
    proc.terminate()
    try:
        proc.wait(WAIT)
    except subprocess.TimeoutExpired:
        proc.kill()
        proc.wait(WAIT)
        raise AssertionError("the institute did not end within %d s of SIGTERM; it wrote: %s"
                             % (WAIT, proc.stderr.read()[-2000:]))
    finally:
        proc.stdout.close()
        proc.stderr.close()


class InstituteCase(unittest.TestCase):
    @classmethod
    def setUpClass(cls):
        cls.proc = subprocess.Popen([sys.executable, os.path.join(HERE, "institute.py")],
                                    stdout=subprocess.PIPE, stderr=subprocess.PIPE, text=True)
        line = cls.proc.stdout.readline()
        assert line.startswith("READY "), line
        cls.ports = json.loads(line[6:])

    @classmethod
    def tearDownClass(cls):
        end_institute(cls.proc)

    def request(self, port, method, path, body=b"", headers=None):
        conn = http.client.HTTPConnection("127.0.0.1", port, timeout=WAIT)
        conn.request(method, path, body, headers or {})
        reply = conn.getresponse()
        data = reply.read()
        conn.close()
        return reply.status, data

    def control(self, command):
        return json.loads(self.request(self.ports["control"], "POST", "/control",
                                       json.dumps(command).encode())[1])

    def errors(self):
        return json.loads(self.request(self.ports["control"], "GET", "/errors")[1])

    def post_form(self, items, content_type=exam.CONTENT_TYPE):
        """Posts the items as the exam program does; gives (status, body)."""
        body = "?" + URL + "".join("&%s=%s" % (k, v) for k, v in items)
        return self.request(self.ports["exam"], "POST", exam.PATH, body.encode(),
                            {"Content-Type": content_type})
