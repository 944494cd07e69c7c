"""Stream service of the local institute: a real Icecast 2 on 127.0.0.1.

The institute writes the server's configuration into a temporary folder,
starts `icecast2 -c` on a free port and stops it when the institute ends.
Sources log in as "source" with the password of the server entries (field
14, "hackme"); listeners fetch /<mount> from the same port, which the entries
give as both the read and the write address (fields 12 and 13).

Control commands (POST /control):
    {"command": "stream-mounts"}   the mounts that have a source now:
                                   {"ok": true, "mounts": ["/live1-room12", ...]}
"""

import atexit
import ctypes
import os
import re
import shutil
import signal
import socket
import subprocess
import tempfile
import time
import urllib.request

SOURCE_PASSWORD = "hackme"
ADMIN_PASSWORD = "institute-admin"

CONFIG = """<icecast>
  <location>Local institute</location>
  <admin>institute@localhost</admin>
  <limits>
    <clients>200</clients>
    <sources>50</sources>
    <queue-size>524288</queue-size>
    <client-timeout>30</client-timeout>
    <header-timeout>15</header-timeout>
    <source-timeout>10</source-timeout>
    <burst-on-connect>1</burst-on-connect>
    <burst-size>65535</burst-size>
  </limits>
  <authentication>
    <source-password>{source}</source-password>
    <relay-password>{admin}</relay-password>
    <admin-user>admin</admin-user>
    <admin-password>{admin}</admin-password>
  </authentication>
  <hostname>127.0.0.1</hostname>
  <listen-socket>
    <port>{port}</port>
    <bind-address>{host}</bind-address>
  </listen-socket>
  <fileserve>0</fileserve>
  <paths>
    <basedir>{base}</basedir>
    <logdir>{logs}</logdir>
    <webroot>/usr/share/icecast2/web</webroot>
    <adminroot>/usr/share/icecast2/admin</adminroot>
  </paths>
  <logging>
    <accesslog>access.log</accesslog>
    <errorlog>error.log</errorlog>
    <loglevel>3</loglevel>
  </logging>
{security}</icecast>
"""

# As root Icecast refuses to run unless it gives up its rights.
SECURITY = """  <security>
    <chroot>0</chroot>
    <changeowner><user>nobody</user><group>nogroup</group></changeowner>
  </security>
"""


def add_arguments(parser):
    parser.add_argument("--stream-port", type=int, default=0,
                        help="Icecast port (default: a free one)")
    parser.add_argument("--no-stream", action="store_true",
                        help="do not start Icecast")


def free_port(host):
    with socket.socket() as s:
        s.bind((host, 0))
        return s.getsockname()[1]


def accepts(host, port):
    try:
        with socket.create_connection((host, port), timeout=0.5):
            return True
    except OSError:
        return False


# Icecast runs under a shell that ends it when the shell is told to end. The
# institute's death tells the shell (below), not Icecast itself: the kernel
# forgets that wish when Icecast gives up root's rights for nobody's.
GUARD = """trap 'kill -TERM "$child" 2>/dev/null' TERM INT HUP
"$@" & child=$!
wait "$child"; status=$?
while kill -0 "$child" 2>/dev/null; do wait "$child"; status=$?; done
exit "$status"
"""


def die_with_parent(parent):
    """The guard shell gets SIGTERM when the institute dies, even by SIGKILL."""
    try:
        libc = ctypes.CDLL("libc.so.6", use_errno=True)
        libc.prctl(1, signal.SIGTERM)  # PR_SET_PDEATHSIG
    except OSError:
        pass
    if os.getppid() != parent:  # it died before the wish was made
        os._exit(1)


class Icecast:
    def __init__(self, host, port):
        self.host = host
        self.folder = tempfile.mkdtemp(prefix="velmar-icecast-")
        self.logs = os.path.join(self.folder, "log")
        os.makedirs(self.logs)
        self.process = None
        self.port = port

    def start(self, wanted_port):
        root = os.geteuid() == 0
        if root:
            # The server writes its logs as nobody.
            os.chmod(self.folder, 0o755)
            os.chmod(self.logs, 0o777)
        for _ in range(5):
            port = wanted_port or free_port(self.host)
            config = os.path.join(self.folder, "icecast.xml")
            with open(config, "w") as f:
                f.write(CONFIG.format(source=SOURCE_PASSWORD, admin=ADMIN_PASSWORD, port=port,
                                      host=self.host, base=self.folder, logs=self.logs,
                                      security=SECURITY if root else ""))
            parent = os.getpid()
            # Its own process group, so that a kill reaches Icecast too.
            self.process = subprocess.Popen(
                ["sh", "-c", GUARD, "guard", "icecast2", "-c", config],
                stdin=subprocess.DEVNULL, stdout=subprocess.DEVNULL, stderr=subprocess.PIPE,
                start_new_session=True, preexec_fn=lambda: die_with_parent(parent))
            deadline = time.time() + 15
            while time.time() < deadline and self.process.poll() is None:
                # The port was free when chosen; another process may have
                # taken it since, and this server then ends.
                if accepts(self.host, port) and self.answers(port):
                    self.port = port
                    return port
                time.sleep(0.05)
            self.stop()
            if wanted_port:
                break
        raise RuntimeError("icecast2 did not start: " + self.error_text())

    def error_text(self):
        path = os.path.join(self.logs, "error.log")
        try:
            with open(path, errors="replace") as f:
                return f.read()[-2000:]
        except OSError:
            return ""

    def stop(self):
        if self.process is not None and self.process.poll() is None:
            self.process.terminate()
            try:
                self.process.wait(5)
            except subprocess.TimeoutExpired:
                try:
                    os.killpg(self.process.pid, signal.SIGKILL)
                except OSError:
                    pass
                self.process.wait(5)
        self.process = None

    def cleanup(self):
        self.stop()
        shutil.rmtree(self.folder, ignore_errors=True)

    def status(self, port, timeout=5):
        """The server's own list of mounts, asked with its admin password."""
        request = urllib.request.Request("http://%s:%d/admin/listmounts" % (self.host, port))
        auth = ("admin:" + ADMIN_PASSWORD).encode()
        import base64
        request.add_header("Authorization", "Basic " + base64.b64encode(auth).decode())
        with urllib.request.urlopen(request, timeout=timeout) as reply:
            return reply.read().decode("utf-8", "replace")

    def answers(self, port):
        """True when the server on port is this one."""
        try:
            return "<icestats" in self.status(port, timeout=2)
        except Exception:
            return False

    def mounts(self):
        """Mounts with a source, from the server's own status page."""
        return re.findall(r'<source mount="([^"]*)"', self.status(self.port))


def start(institute, host, args):
    if getattr(args, "no_stream", False) or shutil.which("icecast2") is None:
        if not getattr(args, "no_stream", False):
            institute.fault("stream", "icecast2 is not installed")
        return {}
    server = Icecast(host, 0)
    port = server.start(getattr(args, "stream_port", 0))
    atexit.register(server.cleanup)
    institute.icecast = server
    return {"stream": port}


def control(institute, command):
    if command.get("command") != "stream-mounts":
        return None
    server = getattr(institute, "icecast", None)
    if server is None:
        return {"ok": False, "error": "no stream server"}
    try:
        return {"ok": True, "mounts": server.mounts()}
    except OSError as error:
        return {"ok": False, "error": str(error)}
