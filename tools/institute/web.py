"""Web endpoint of the local institute.

Answers the classroom launcher's two queries on any path:
    ?Code=info      the server-entry list: "<|" entries joined by "||" "|>",
                    each entry 16 fields joined by "|"
    ?Ver=MacOS      the version record: "<|" 8 fields joined by "|" "|>"
Another Code or system word is a fault of the client (answered all the same).
and serves the entries' pictures as /site<N>/<name> from the pictures folder,
and the conversation page's files <web path>chat/list.css (text/css) and
<web path>chat/chat.js for the web path (field 3) of every entry listed.
A form post to <any path>/imtihan.php, the exam endpoint as the classroom
client hands it to the exam program, goes on to the exam service
("exam" in the READY line) as a post of its own, with the first item naming
that service; its answer, or its silence, comes back as it is.
The entries point at the institute's own directory server and stream server.

Room pages, below the web path of every entry listed, built from the chat
server's rooms (404 for no such room or a query that is not one number):
    station.php?Idrom=<room id>     the room's station: its name, the player
                                    object (application/x-shockwave-flash,
                                    station.swf?Idrom=<id>) and whether a live
                                    broadcast runs
    ghiyab.php?id=<user id>         the user's attendance: every stay in a
                                    room with its entry and exit times
    PublicLive.php?idroom=<room id> the room's public live page: name, group,
                                    teacher, banner, broadcast, head count;
                                    idroom=0 lists the rooms broadcasting
Every text from the rooms is HTML-escaped.

Control commands (POST /control):
    {"command": "web-versions", "client", "client_data", "client_extra", "qt",
     "mode", "exam", "exam_data": text}   set fields of the version record
    {"command": "web-entries", "count": n, "locked": [index, ...],
     "fields": n, "override": {"<index>": {"<field>": text}}, "raw": text}
                                          shape the entry list ("raw" replaces
                                          the whole body; null clears it)
    {"command": "web-fault", "target": "list" | "version" | "pictures",
     "mode": "silent" | "status" | "none", "status": code}
                                          never answer, or answer an error
    {"command": "web-reset"}              back to the defaults
"""

import copy
import html
import http.client
import http.server
import os
import threading
import time
import urllib.parse

from institute import ThreadingServer, serve

PICTURES = os.path.join(os.path.dirname(os.path.abspath(__file__)), "pictures")
CHAT = os.path.join(os.path.dirname(os.path.abspath(__file__)), "chat")
CHAT_FILES = {"list.css": "text/css; charset=utf-8",
              "chat.js": "application/javascript; charset=utf-8"}

ENTRY_NAMES = ["قاعة الأطلس::Atlas", "قاعة النور::Nour", "قاعة الريف::Rif", "قاعة السلام::Salam"]

DEFAULT_VERSIONS = {
    "client": "3.0.0",        # field 0: newest classroom client
    "unused": "",             # field 1
    "client_data": "dastrel-3.0.0.zip",  # field 2
    "client_extra": "",       # field 3
    "qt": "5.15.8",           # field 4: Qt version the client is built with
    "mode": "u",              # field 5
    "exam": "2.0.16",         # field 6: newest exam program
    "exam_data": "tallivor-2.0.16.zip",  # field 7
}
VERSION_ORDER = ["client", "unused", "client_data", "client_extra", "qt", "mode", "exam",
                 "exam_data"]

EXAM_PAGE = "/imtihan.php"
EXAM_PATH = "/velmar.php"

DEFAULT_ENTRIES = {"count": 3, "locked": [], "fields": 16, "override": {}, "raw": None}

TARGETS = ("list", "version", "pictures")


class WebState:
    def __init__(self):
        self.lock = threading.Lock()
        self.reset()

    def reset(self):
        with self.lock:
            self.versions = dict(DEFAULT_VERSIONS)
            self.entries = copy.deepcopy(DEFAULT_ENTRIES)
            self.faults = {target: {"mode": "none", "status": 500} for target in TARGETS}
            # Set while nothing is silent; silent handlers wait on it.
            self.wake = threading.Event()
            self.wake.set()


def entry_fields(index, ports):
    """The 16 fields of entry index (0-based) before overrides."""
    n = index + 1
    web = "http://127.0.0.1:%d/site%d/" % (ports.get("web", 0), n)
    stream = "http://127.0.0.1:%d" % ports.get("stream", 0)
    return [
        ENTRY_NAMES[index % len(ENTRY_NAMES)] if index < len(ENTRY_NAMES) else "Site %d" % n,
        "127.0.0.1",
        str(ports.get("directory", 0)),
        web,
        "station.swf",
        "live%d-room" % n,
        "site%d" % n,
        "icon%d.png" % (index % 3 + 1),
        "قاعة دروس مباشرة::Site %d" % n,
        "http://127.0.0.1:%d/register?site=%d" % (ports.get("web", 0), n),
        "0",
        "logo%d.png" % (index % 3 + 1),
        stream,
        stream,
        "hackme",
        "group%d" % n,
    ]


def entry_records(entries, ports):
    """The fields of every entry listed, overrides applied."""
    records = []
    for index in range(entries["count"]):
        fields = entry_fields(index, ports)
        if index in entries["locked"]:
            fields[10] = "1"
        for key, value in entries["override"].get(str(index), {}).items():
            fields[int(key)] = str(value)
        records.append(fields)
    return records


def entry_list(state, ports):
    with state.lock:
        entries = copy.deepcopy(state.entries)
    if entries["raw"] is not None:
        return entries["raw"]
    texts = ["|".join(fields[: entries["fields"]]) for fields in entry_records(entries, ports)]
    return "<|" + "||".join(texts) + "|>"


def listed_web_paths(state, ports):
    """The paths of the web addresses (field 3) of every entry listed."""
    with state.lock:
        entries = copy.deepcopy(state.entries)
    if entries["raw"] is not None:
        raw = entries["raw"]
        if raw.startswith("<|") and raw.endswith("|>"):
            raw = raw[2:-2]
        records = [entry.split("|") for entry in raw.split("||")]
    else:
        records = entry_records(entries, ports)
    return {urllib.parse.urlsplit(fields[3]).path for fields in records if len(fields) > 3}


def chat_file(state, ports, path):
    """(name, content type) of the conversation file at path, or None."""
    folder, _, name = path.rpartition("/chat/")
    if name not in CHAT_FILES:
        return None
    return (name, CHAT_FILES[name]) if folder + "/" in listed_web_paths(state, ports) else None


# -- room pages ---------------------------------------------------------------

ROOM_PAGES = ("station.php", "ghiyab.php", "PublicLive.php")
PAGE_STYLE = ("body{margin:0;padding:6px;font-family:tahoma,sans-serif;font-size:13px;"
              "background:%s;color:%s;text-align:center}table{margin:auto;border-collapse:collapse}"
              "td,th{border:1px solid #8a8;padding:3px 8px}")


def page(title, body, background="#f4f8f0", color="#123"):
    return ('<!DOCTYPE html>\n<html dir="rtl" lang="ar"><head><meta charset="utf-8">'
            "<title>%s</title><style>%s</style></head>\n<body>%s</body></html>\n"
            % (html.escape(title), PAGE_STYLE % (background, color), body))


def number(query, key):
    values = query.get(key, [])
    return int(values[0]) if len(values) == 1 and values[0].isdigit() else None


def live_state(room):
    if not room["mobachir"]:
        return "لا يوجد بث مباشر الآن"
    return "البث المباشر جار: %s" % ("مرئي" if room["live_kind"] == "video" else "صوتي")


def clock(seconds):
    return time.strftime("%Y-%m-%d %H:%M:%S", time.localtime(seconds))


def room_page(classroom, name, query):
    """(status, html) of a room page of the web endpoint."""
    missing = (404, page("غير موجود", "<p>الحلقة غير موجودة</p>"))
    if name == "station.php":
        room_id = number(query, "Idrom")
        room = classroom.room_page(room_id) if room_id is not None else None
        if room is None:
            return missing
        # The room's station: the player the client's station view embeds.
        body = ('<div id="room">%s</div>\n<object id="sample" type="application/x-shockwave-flash" '
                'data="station.swf?Idrom=%d" width="275" height="200">'
                '<param name="flashvars" value="Idrom=%d"></object>\n<div id="state">%s</div>'
                % (html.escape(room["name"]), room["id"], room["id"], html.escape(live_state(room))))
        return 200, page("إذاعة " + room["name"], body, "#0b3d91", "#fff")
    if name == "ghiyab.php":
        user_id = number(query, "id")
        if user_id is None:
            return missing
        rows = ["<tr><td>%s</td><td>%s</td><td>%s</td></tr>" % (
            html.escape(r["name"]), clock(r["entered"]),
            clock(r["left"]) if r["left"] is not None else "ما زال في الحلقة")
            for r in classroom.attendance_of(user_id)]
        if rows:
            body = ("<h3>سجل الحضور</h3><table><tr><th>الحلقة</th><th>الدخول</th><th>الخروج</th></tr>"
                    "%s</table>" % "".join(rows))
        else:
            body = "<h3>سجل الحضور</h3><p>لا يوجد حضور مسجل</p>"
        return 200, page("سجل الحضور", body)
    room_id = number(query, "idroom")
    if room_id == 0:
        rooms = classroom.live_rooms()
        items = "".join('<li><a href="PublicLive.php?idroom=%d">%s</a> (%s)</li>' % (
            r["id"], html.escape(r["name"]), "مرئي" if r["live_kind"] == "video" else "صوتي") for r in rooms)
        body = "<h3>البث المباشر</h3>" + ("<ul>%s</ul>" % items if rooms else "<p>لا يوجد بث مباشر الآن</p>")
        return 200, page("البث المباشر", body)
    room = classroom.room_page(room_id) if room_id is not None else None
    if room is None:
        return missing
    body = ('<h3 id="room">%s</h3><p>%s</p><p id="owner">%s</p><p id="banner">%s</p>'
            '<p id="state">%s</p><p>عدد الحاضرين: %d</p>' % (
                html.escape(room["name"]), html.escape(room["group_name"]),
                html.escape(room["owner"]), html.escape(room["banner"]),
                html.escape(live_state(room)), len(room["members"])))
    return 200, page(room["name"], body)


def version_record(state):
    with state.lock:
        return "<|" + "|".join(state.versions[key] for key in VERSION_ORDER) + "|>"


def make_handler(institute, state):
    class Handler(http.server.BaseHTTPRequestHandler):
        protocol_version = "HTTP/1.0"

        def log_message(self, *args):
            pass

        def send(self, status, body, content_type):
            self.send_response(status)
            self.send_header("Content-Type", content_type)
            self.send_header("Content-Length", str(len(body)))
            self.end_headers()
            self.wfile.write(body)

        def faulted(self, target):
            """Applies the fault set for target; True when it answered."""
            with state.lock:
                fault = dict(state.faults[target])
                wake = state.wake
            if fault["mode"] == "silent":
                wake.wait(300)
                return True
            if fault["mode"] == "status":
                page = b"<html><body><h1>Server error</h1><p>a|b|c</p></body></html>"
                self.send(int(fault["status"]), page, "text/html")
                return True
            return False

        def do_GET(self):
            url = urllib.parse.urlsplit(self.path)
            query = urllib.parse.parse_qs(url.query, keep_blank_values=True)
            institute.record("web", "get", path=self.path)
            if "Code" in query:
                if query["Code"] != ["info"]:
                    institute.fault("web", "entry list asked with Code=%s" % query["Code"])
                if not self.faulted("list"):
                    body = entry_list(state, institute.ports).encode("utf-8")
                    self.send(200, body, "text/html; charset=utf-8")
                return
            if "Ver" in query:
                if query["Ver"] != ["MacOS"]:
                    institute.fault("web", "version record asked for system %s" % query["Ver"])
                if not self.faulted("version"):
                    self.send(200, version_record(state).encode("utf-8"),
                              "text/html; charset=utf-8")
                return
            folder, _, page_name = url.path.rpartition("/")
            classroom = getattr(institute, "classroom", None)
            if (page_name in ROOM_PAGES and classroom is not None
                    and folder + "/" in listed_web_paths(state, institute.ports)):
                status, text = room_page(classroom, page_name, query)
                self.send(status, text.encode("utf-8"), "text/html; charset=utf-8")
                return
            chat = chat_file(state, institute.ports, url.path)
            if chat is not None:
                with open(os.path.join(CHAT, chat[0]), "rb") as f:
                    self.send(200, f.read(), chat[1])
                return
            parts = url.path.split("/")
            if (len(parts) == 3 and parts[1].startswith("site") and parts[2].endswith(".png")
                    and "/" not in parts[2] and not parts[2].startswith(".")):
                if self.faulted("pictures"):
                    return
                path = os.path.join(PICTURES, parts[2])
                if os.path.isfile(path):
                    with open(path, "rb") as f:
                        self.send(200, f.read(), "image/png")
                    return
            self.send(404, b"<html><body>not found</body></html>", "text/html")

        def do_POST(self):
            body = self.rfile.read(int(self.headers.get("Content-Length") or 0))
            exam = institute.ports.get("exam")
            if not urllib.parse.urlsplit(self.path).path.endswith(EXAM_PAGE) or not exam:
                institute.record("web", "post", path=self.path)
                institute.fault("web", "POST to %s" % self.path)
                self.send(404, b"<html><body>not found</body></html>", "text/html")
                return
            institute.record("web", "exam-post", path=self.path)
            host = self.server.server_address[0]
            first, sep, rest = body.partition(b"&")
            if first.startswith(b"?http") and first.endswith(EXAM_PAGE.encode()):
                first = ("?http://%s:%d%s" % (host, exam, EXAM_PATH)).encode()
            try:
                connection = http.client.HTTPConnection(host, exam, timeout=600)
                connection.request("POST", EXAM_PATH, first + sep + rest,
                                   {"Content-Type": self.headers.get("Content-Type", "")})
                reply = connection.getresponse()
                data = reply.read()
            except (OSError, http.client.HTTPException):
                # The exam service dropped the post: so does the web host.
                self.close_connection = True
                return
            self.send(reply.status, data, reply.getheader("Content-Type", "text/html"))

    return Handler


def add_arguments(parser):
    parser.add_argument("--web-port", type=int, default=0, help="port of the web endpoint")


def start(institute, host, args):
    state = WebState()
    institute.web_state = state
    server = ThreadingServer((host, getattr(args, "web_port", 0)), make_handler(institute, state))
    return {"web": serve(server)}


def control(institute, command):
    state = getattr(institute, "web_state", None)
    name = command.get("command")
    if state is None or not isinstance(name, str) or not name.startswith("web-"):
        return None
    if name == "web-reset":
        wake = state.wake
        state.reset()
        wake.set()
        return {"ok": True}
    if name == "web-versions":
        with state.lock:
            for key in DEFAULT_VERSIONS:
                if key in command:
                    state.versions[key] = str(command[key])
            return {"ok": True, "versions": dict(state.versions)}
    if name == "web-entries":
        with state.lock:
            for key in ("count", "locked", "fields", "override", "raw"):
                if key in command:
                    state.entries[key] = command[key]
        return {"ok": True}
    if name == "web-fault":
        target, mode = command.get("target"), command.get("mode", "none")
        if target not in TARGETS or mode not in ("silent", "status", "none"):
            return {"ok": False, "error": "bad fault"}
        with state.lock:
            state.faults[target] = {"mode": mode, "status": int(command.get("status", 500))}
            silent = any(f["mode"] == "silent" for f in state.faults.values())
            if silent and state.wake.is_set():
                state.wake = threading.Event()
            elif not silent:
                state.wake.set()
        return {"ok": True}
    return None
