"""Classroom side of the local institute: the directory server and the chat server.

Packets
    46-byte header: signed 16-bit code, signed 32-bit body length (both
    little-endian), the marker "KW.TOVEN", the command name padded with spaces
    to 32 bytes; then the body. Every received packet is checked against that
    layout and against the client's request table REQUESTS (name, body
    encoding, fixed bodies, escaped fields); anything else is an institute
    fault, also logged as kind "fault". Log kinds: "packet" for every packet
    received (code, name, body, hex, user, conn; "ignored" when the server is
    silent or the connection was ended; "keepalive" on a 45), "sent" and
    "withheld" (while silent) for what the server sends, "connect" and
    "disconnect" (by "client" or "server", user), "pm" for each private
    message (user, to, text, status), "scripted" for requests of scripted
    users. Everything this server sends is CP-1256.

Directory server ("directory" in the READY line)
    -3 "zaire" (body "MacOS") or -3 "3odaw" (empty body) is answered by -6 with
    the same name and the body "Velmar|chat|127.0.0.1:<chat port>"; the third
    field can be replaced with the "redirect" command.

Chat server ("chat")
    1 (blank name) "nickname:<user>|Password:<pwd>|stat:1|Os:MacOS", member
    -2 (blank name) "nickname:سمرل|Password:سمرل|stat:1|Os:MacOS", visitor
    The login is answered by
    1 "login"  "nickname:<nick>|id:<id>|type:<type>|group:<group>|email:<email>"
    followed by 2 "list" with the contact list, or refused by -5 with the
    word as name and an empty body: "usr" (unknown user), "pwd" (wrong
    password), "ban" (barred account) or any word set with "refuse-next".
    A second login of the same nickname sends -5 "rec" to the first
    connection, which then counts as ended. Visitors are named "زائر1",
    "زائر2", ... (type 0, id 0, group 0, empty e-mail).

    Keep-alive: every interval (option --keepalive, default 20 s, or the
    "keepalive" command) each logged-in connection gets 45 "test" whose body is
    the number of users online. A 45 "test" from the client answers one of
    those ("reply"); any other is the client's own probe and is answered with
    45 "test" ("probe"). The log entry of a client's 45 carries keepalive=
    "reply" or "probe".

    Contacts: each account keeps an ordered contact list with a blocked mark
    for the life of the process. A contact record is "<nick>:<1|0 online>:<1|0
    blocked>".
        2 "block" / "unblock" <nick>  -> 4 "1" / "0" <nick> (contacts only)
        3 "Del" <nick>                -> 6 "Del" <nick>
        3 "Add" <nick>                -> 2 "list" "<record>" (known users only)
        3 "Rechercher" <text>         -> 5 "Rechercher" "<nick>|<nick>|..."
                                         (case-insensitive substring of members
                                         and online visitors; empty when none)
    When a user comes online or goes offline every online user who lists them
    gets 3 "stat" "<record>".

    Private messages: 4 "pm" "<Entxt peer>|<Entxt text>" is answered with
    7 <word> "<peer>": "non" when the peer is offline, "block" when the peer
    blocked the sender (nothing is delivered), "lock" when the peer takes
    messages from its own contacts only and the sender is not one, otherwise
    "ok" after the peer got 7 "pm" "<Entxt sender>|<Entxt text>".

Demo accounts (nickname / password / id / type / group / e-mail / contacts;
a leading "!" marks a blocked contact)
    ali     ali123     101    1  1 ali@velmar.test     sara, أحمد, !omar
    sara    sara123    102    2  1 sara@velmar.test    ali, مريم
    omar    omar123    103    3  2 omar@velmar.test    ali
    أحمد    ahmad123   201 -101  1 ahmad@velmar.test   ali, sara
    مريم    maryam123  202 -100  2 maryam@velmar.test  أحمد   (messages from contacts only)
    مدير    admin123   301 -104  3 admin@velmar.test   (none)
    banned  banned123  104    1  2 banned@velmar.test  (login refused with "ban")

Control commands (POST /control). Every command may name "service":
"directory" or "chat"; a command naming another service is left to the other
modules. Replies are {"ok": true, ...} or {"ok": false, "error": "..."}.
    {"command": "silent"[, "service": s]}
        stop answering and stop the keep-alive (both servers, or service s);
        packets are still read and logged, connections stay open.
    {"command": "speak"[, "service": s]}
        answer again; the keep-alive restarts a full interval later.
    {"command": "drop", "user": nick}
        log the user out at once and close their connection.
    {"command": "login-elsewhere", "user": nick}
        log a scripted user in under that nickname; a connected user gets -5
        "rec" first. Reply {"user", "replaced"}.
    {"command": "scripted-login"[, "user": nick]}
        the same; without "user" a scripted visitor is logged in.
    {"command": "keepalive"[, "interval": seconds][, "now": true][, "user": nick]}
        set the interval (0 stops it); "now" sends 45 "test" at once to every
        connected user or to the one named. Reply {"interval"}.
    {"command": "refuse-next", "word": w[, "user": nick]}
        the next login of nick (the login name as sent, "سمرل" for visitors;
        without "user" the next login of anyone) is refused with -5 w.
    {"command": "pm", "from": nick, "to": nick2, "text": t}
        the scripted user nick sends t to nick2. Reply {"status"}: the word
        of the 7 answer.
    {"command": "as", "user": nick, "code": c, "name": n, "body": b}
        the scripted user nick sends any request of the client (body as text,
        not escaped for you). Reply {"replies": [packets it got]}.
    {"command": "inbox", "user": nick[, "clear": true]}
        packets the scripted user received: {"code", "name", "body"} and for
        7 "pm" also "from" and "text" unescaped.
    {"command": "sessions"}
        {"sessions": [{"user", "id", "type", "scripted", "service", "conn"}]}
    {"command": "contacts", "user": nick}
        {"contacts": [{"user", "online", "blocked"}]} of any known account.
    {"command": "redirect"[, "target": text]}
        third field of the -6 body ("" sends the client back to the directory
        server, which then takes the login too); without "target", the chat
        server again.
"""

import itertools
import queue
import re
import socket
import socketserver
import struct
import threading
import time

HEADER_SIZE = 46
MARKER = b"KW.TOVEN"
NAME_SIZE = 32
MAX_BODY = 1048576
CP = "cp1256"
U8 = "utf-8"
EMPTY = "empty"

OS_NAME = "MacOS"
GUEST = "سمرل"
GUEST_BODY = ("nickname:%s|Password:%s|stat:1|Os:%s" % (GUEST, GUEST, OS_NAME)).encode(CP)
LOGIN_BODY = re.compile(r"nickname:(.*?)\|Password:(.*)\|stat:1\|Os:" + OS_NAME, re.S)
VISITOR_PREFIX = "زائر"
SEARCH_LIMIT = 100
END_WAIT = 30.0        # seconds an ended connection may stay open before we close it
SERVICES = ("directory", "chat")

# Every request of the client: (code, name) -> body encoding.
REQUESTS = {
    (-3, "zaire"): U8, (-3, "3odaw"): EMPTY,
    (1, ""): CP, (-2, ""): CP,
    (45, "test"): EMPTY,
    (2, "block"): CP, (2, "unblock"): CP,
    (3, "Del"): CP, (3, "Add"): CP, (3, "Rechercher"): CP, (3, "RechercherCo"): CP,
    (4, "pm"): CP,
    (5, "Group"): EMPTY, (5, "GroupCoA"): EMPTY, (5, "GroupCoU"): EMPTY,
    (5, "Rooms"): CP, (5, "RoomsCoA"): CP, (5, "RoomsCoU"): CP,
    (6, "entre"): CP, (6, "sorte"): U8,
    (7, "all"): CP, (7, "wisbar"): CP,
    (8, "mic"): CP, (8, "mic-no"): CP, (8, "man"): CP, (8, "man-no"): CP,
    (8, "Mobachir"): U8, (8, "Mobachir-no"): U8, (8, "sabora"): U8, (8, "sabora-no"): U8,
    (8, "Reddot"): CP, (8, "UnReddot"): CP, (8, "ettMic"): CP, (8, "ettNoMic"): CP,
    (11, "NewGroup"): CP, (11, "EditGroup"): CP, (11, "DelGroup"): CP,
    (12, "New Room"): CP, (12, "Edit Room"): CP, (12, "Del Room"): CP, (12, "Move Room"): CP,
    (13, "ListAdmin"): U8,
    (14, "AddUsrAdmin"): CP, (14, "AddUsrAdminCo"): CP,
    (15, "DelUsrAdmin"): CP, (15, "DelUsrAdminCo"): CP,
    (25, "Permissions"): EMPTY,
    (26, "SavePermissions"): CP,
}
LOGINS = (1, -2)

# nickname, password, id, type, group, e-mail, contacts ("!" = blocked),
# messages from contacts only, refusal word
DEMO_ACCOUNTS = [
    ("ali", "ali123", 101, 1, 1, "ali@velmar.test", ["sara", "أحمد", "!omar"], False, None),
    ("sara", "sara123", 102, 2, 1, "sara@velmar.test", ["ali", "مريم"], False, None),
    ("omar", "omar123", 103, 3, 2, "omar@velmar.test", ["ali"], False, None),
    ("أحمد", "ahmad123", 201, -101, 1, "ahmad@velmar.test", ["ali", "sara"], False, None),
    ("مريم", "maryam123", 202, -100, 2, "maryam@velmar.test", ["أحمد"], True, None),
    ("مدير", "admin123", 301, -104, 3, "admin@velmar.test", [], False, None),
    ("banned", "banned123", 104, 1, 2, "banned@velmar.test", [], False, "ban"),
]


class PacketError(Exception):
    pass


class CommandError(Exception):
    pass


def entxt(text):
    return text.replace("@", "@arp;").replace(":", "@n;").replace("|", "@l;")


def detxt(text):
    return text.replace("@n;", ":").replace("@l;", "|").replace("@arp;", "@")


def build_packet(code, name, body=b""):
    raw_name = name.encode("ascii")
    if len(raw_name) > NAME_SIZE:
        raise ValueError("command name longer than %d bytes: %r" % (NAME_SIZE, name))
    return struct.pack("<hi", code, len(body)) + MARKER + raw_name.ljust(NAME_SIZE, b" ") + body


def parse_header(header):
    """(code, body length, name) of a 46-byte header; PacketError when malformed."""
    code, length = struct.unpack_from("<hi", header)
    if header[6:14] != MARKER:
        raise PacketError("marker is %s, not KW.TOVEN" % header[6:14].hex(" "))
    if length < 0 or length > MAX_BODY:
        raise PacketError("body length %d out of range" % length)
    field = header[14:HEADER_SIZE]
    bad = [b for b in field if b < 0x20 or b > 0x7E]
    if bad:
        raise PacketError("name field holds byte %02X (names are ASCII padded with spaces)" % bad[0])
    name = field.rstrip(b" ")
    if name.startswith(b" "):
        raise PacketError("name field %r does not start with the name" % field.decode("ascii"))
    return code, length, name.decode("ascii")


def looks_utf8(body):
    """True when a body meant to be CP-1256 is Arabic text encoded as UTF-8."""
    if all(b < 0x80 for b in body):
        return False
    try:
        text = body.decode("utf-8")
    except UnicodeDecodeError:
        return False
    return any("\u0600" <= ch <= "\u06ff" for ch in text)


def decode_body(code, name, body):
    """(text, problems) of a received body, checked against REQUESTS."""
    encoding = REQUESTS.get((code, name))
    if encoding is None:
        return body.decode(CP), ["code %d with name %r is not a request of the client" % (code, name)]
    if encoding == EMPTY:
        problems = [] if not body else ["%d %r carries a body of %d bytes; it has none" % (code, name, len(body))]
        return body.decode(CP), problems
    if encoding == U8:
        try:
            return body.decode(U8), []
        except UnicodeDecodeError:
            return body.decode(CP), ["%d %r body is not UTF-8" % (code, name)]
    problems = ["%d %r body is UTF-8, not CP-1256" % (code, name)] if looks_utf8(body) else []
    return body.decode(CP), problems


def check_content(code, name, body, text):
    """Problems of bodies whose form is fixed."""
    if (code, name) == (-3, "zaire") and body != OS_NAME.encode(U8):
        return ["visitor directory request body is %r, not %r" % (text, OS_NAME)]
    if code == -2 and body != GUEST_BODY:
        return ["visitor login body is %r" % text]
    if code == 1 and not LOGIN_BODY.fullmatch(text):
        return ["member login body %r is not nickname:..|Password:..|stat:1|Os:%s" % (text, OS_NAME)]
    if (code, name) == (3, "Rechercher") and len(text) < 3:
        return ["search text %r is shorter than 3 characters" % text]
    if (code, name) == (4, "pm"):
        return unescaped(text, 1, "private message")
    if (code, name) == (7, "all"):
        return unescaped(text, 2, "room line")
    return []


def unescaped(text, separators, what):
    """Problems of a body of escaped fields joined by separators "|"."""
    if text.count("|") != separators:
        return ["%s %r has %d | instead of %d" % (what, text, text.count("|"), separators)]
    if ":" in text or re.search(r"@(?!arp;|n;|l;)", text):
        return ["%s %r is not escaped" % (what, text)]
    return []


def representable(text, what):
    if not isinstance(text, str):
        raise CommandError("%s must be text" % what)
    try:
        text.encode(CP)
    except UnicodeEncodeError:
        raise CommandError("%s is not representable in CP-1256" % what)
    return text


class Account:
    def __init__(self, nickname, password="", user_id=0, user_type=0, group=0, email="",
                 contacts=(), contacts_only=False, refusal=None):
        self.nickname = nickname
        self.password = password
        self.id = user_id
        self.type = user_type
        self.group = group
        self.email = email
        self.contacts = {}                 # nickname -> blocked, in the order added
        for entry in contacts:
            self.contacts[entry.lstrip("!")] = entry.startswith("!")
        self.contacts_only = contacts_only
        self.refusal = refusal

    def identity(self):
        return "nickname:%s|id:%d|type:%d|group:%d|email:%s" % (
            self.nickname, self.id, self.type, self.group, self.email)


class Session:
    """One logged-in user: on a connection, or scripted (replies go to an inbox)."""

    def __init__(self, account, conn=None):
        self.account = account
        self.conn = conn
        self.inbox = []

    @property
    def nickname(self):
        return self.account.nickname

    def send(self, code, name, text=""):
        if self.conn is not None:
            self.conn.send(code, name, text)
            return
        entry = {"code": code, "name": name, "body": text}
        if (code, name) == (7, "pm"):
            sender, _, message = text.partition("|")
            entry.update({"from": detxt(sender), "text": detxt(message)})
        self.inbox.append(entry)


class Connection:
    numbers = itertools.count(1)

    def __init__(self, classroom, service, sock, peer):
        self.number = next(Connection.numbers)
        self.classroom = classroom
        self.service = service
        self.sock = sock
        self.peer = "%s:%d" % peer[:2]
        self.session = None
        self.nickname = None             # of the last login on this connection
        self.ended = False               # refused or replaced: nothing more is processed
        self.closed_by_server = False
        self.pending_tests = 0           # our 45 "test" not yet answered
        self.next_test = None
        self.outgoing = queue.Queue()
        self.writer = threading.Thread(target=self._write, daemon=True)
        self.writer.start()

    def _write(self):
        while True:
            packet = self.outgoing.get()
            if packet is None:
                return
            try:
                self.sock.sendall(packet)
            except OSError:
                return

    def send(self, code, name, text=""):
        body = text.encode(CP)
        packet = build_packet(code, name, body)
        user = self.session.nickname if self.session else None
        if self.service in self.classroom.silent:
            self.classroom.institute.record(self.service, "withheld", code=code, name=name, body=text,
                                            user=user, conn=self.number)
            return
        self.classroom.institute.record(self.service, "sent", code=code, name=name, body=text,
                                        hex=packet.hex(), user=user, conn=self.number)
        self.outgoing.put(packet)

    def end(self):
        """Stops processing; the client is expected to close, else we do after END_WAIT."""
        self.ended = True
        self.session = None
        timer = threading.Timer(END_WAIT, self.close)
        timer.daemon = True
        timer.start()

    def close(self):
        if self.closed_by_server:
            return
        self.closed_by_server = True
        try:
            self.sock.shutdown(socket.SHUT_RDWR)
        except OSError:
            pass


class Classroom:
    def __init__(self, institute, host, args):
        self.institute = institute
        self.host = host
        self.lock = threading.RLock()
        self.accounts = {}
        for nick, pwd, uid, utype, group, email, contacts, only, refusal in DEMO_ACCOUNTS:
            self.accounts[nick] = Account(nick, pwd, uid, utype, group, email, contacts, only, refusal)
        self.visitors = {}                 # online visitors: nickname -> Account
        self.visitor_count = 0
        self.sessions = {}                 # nickname -> Session
        self.connections = set()
        self.silent = set()
        self.keepalive = max(0.0, float(getattr(args, "keepalive", 20.0)))
        self.refusals = []                 # [(login name or None, word)]
        self.redirect = None
        self.ports = {}
        self.servers = []
        self.stopping = threading.Event()
        self.commands = {
            "silent": self.cmd_silent, "speak": self.cmd_speak, "drop": self.cmd_drop,
            "login-elsewhere": self.cmd_scripted_login, "scripted-login": self.cmd_scripted_login,
            "keepalive": self.cmd_keepalive, "refuse-next": self.cmd_refuse_next,
            "pm": self.cmd_pm, "as": self.cmd_as, "inbox": self.cmd_inbox,
            "sessions": self.cmd_sessions, "contacts": self.cmd_contacts,
            "redirect": self.cmd_redirect,
        }

    # -- servers ---------------------------------------------------------

    def start(self, args):
        self.ports["chat"] = self._listen("chat", getattr(args, "chat_port", 0))
        self.ports["directory"] = self._listen("directory", getattr(args, "directory_port", 0))
        threading.Thread(target=self._keepalive_loop, daemon=True).start()
        return dict(self.ports)

    def _listen(self, service, port):
        classroom = self

        class Handler(socketserver.BaseRequestHandler):
            def handle(self):
                classroom.serve(service, self.request, self.client_address)

        server = _Server((self.host, port), Handler)
        self.servers.append(server)
        threading.Thread(target=server.serve_forever, args=(0.1,), daemon=True).start()
        return server.server_address[1]

    def close(self):
        """Stops both servers and closes every connection."""
        self.stopping.set()
        for server in self.servers:
            server.shutdown()
            server.server_close()
        with self.lock:
            for conn in list(self.connections):
                conn.close()

    def serve(self, service, sock, peer):
        conn = Connection(self, service, sock, peer)
        with self.lock:
            self.connections.add(conn)
        self.institute.record(service, "connect", conn=conn.number, peer=conn.peer)
        try:
            while True:
                header = _read_exact(sock, HEADER_SIZE)
                if not header:
                    break
                if len(header) < HEADER_SIZE:
                    self._fault(conn, "connection ended inside a header", header)
                    break
                try:
                    code, length, name = parse_header(header)
                except PacketError as error:
                    self._fault(conn, str(error), header)
                    conn.close()
                    break
                body = _read_exact(sock, length)
                if len(body) < length:
                    self._fault(conn, "connection ended %d bytes into a body of %d"
                                % (len(body), length), header + body)
                    break
                self.receive(conn, code, name, header, body)
        except OSError:
            pass
        finally:
            self._disconnected(conn)

    def _fault(self, conn, message, raw):
        if conn.closed_by_server:
            return
        text = "connection %d: %s" % (conn.number, message)
        self.institute.record(conn.service, "fault", message=text, hex=raw.hex(), conn=conn.number)
        self.institute.fault(conn.service, text)

    def _disconnected(self, conn):
        with self.lock:
            self.connections.discard(conn)
            session = conn.session
            conn.session = None
            if session is not None and self.sessions.get(session.nickname) is session:
                self._logout(session)
        conn.outgoing.put(None)
        self.institute.record(conn.service, "disconnect", conn=conn.number,
                              by="server" if conn.closed_by_server else "client",
                              user=conn.nickname)
        try:
            conn.sock.close()
        except OSError:
            pass

    # -- packets ---------------------------------------------------------

    def receive(self, conn, code, name, header, body):
        with self.lock:
            text, problems = decode_body(code, name, body)
            if not problems:
                problems = check_content(code, name, body, text)
            if not problems and not conn.ended:
                problems = self._out_of_place(conn, code)
            extra = {}
            ignored = conn.ended or conn.service in self.silent
            if ignored:
                extra["ignored"] = True
            elif code == 45 and not problems:
                extra["keepalive"] = "reply" if conn.pending_tests > 0 else "probe"
            self.institute.record(conn.service, "packet", code=code, name=name, body=text,
                                  hex=(header + body).hex(),
                                  user=conn.session.nickname if conn.session else None,
                                  conn=conn.number, **extra)
            for problem in problems:
                self._fault(conn, problem, header + body)
            if problems or ignored:
                return
            if code == 45:
                if extra["keepalive"] == "reply":
                    conn.pending_tests -= 1
                else:
                    conn.pending_tests += 1
                    conn.send(45, "test", str(len(self.sessions)))
            elif code == -3:
                conn.send(-6, name, "Velmar|chat|%s" % self._redirect_target())
            elif code in LOGINS:
                self._login(conn, code, text)
            else:
                self.request(conn.session, code, name, text)

    def _out_of_place(self, conn, code):
        if code == 45:
            return []
        if code == -3:
            return [] if conn.service == "directory" else ["directory request sent to the chat server"]
        if code in LOGINS:
            if conn.session is not None:
                return ["second login on one connection"]
            if conn.service == "directory" and self.redirect != "":
                return ["login sent to the directory server"]
            return []
        if conn.session is None:
            return ["request %d before the login was accepted" % code]
        return []

    def _redirect_target(self):
        if self.redirect is not None:
            return self.redirect
        return "%s:%d" % (self.host, self.ports["chat"])

    # -- login -----------------------------------------------------------

    def _take_refusal(self, login_name):
        for i, (user, word) in enumerate(self.refusals):
            if user is None or user == login_name:
                del self.refusals[i]
                return word
        return None

    def _login(self, conn, code, text):
        if code == -2:
            word = self._take_refusal(GUEST)
            account = None if word else self._new_visitor()
        else:
            match = LOGIN_BODY.fullmatch(text)
            user, password = match.group(1), match.group(2)
            word = self._take_refusal(user)
            account = self.accounts.get(user)
            if word is None:
                if account is None:
                    word = "usr"
                elif account.password != password:
                    word = "pwd"
                elif account.refusal:
                    word = account.refusal
        if word:
            conn.send(-5, word, "")
            conn.end()
            return
        session = Session(account, conn)
        self._attach(session)
        conn.pending_tests = 0
        conn.next_test = time.monotonic() + self.keepalive

    def _new_visitor(self):
        self.visitor_count += 1
        account = Account("%s%d" % (VISITOR_PREFIX, self.visitor_count))
        self.visitors[account.nickname] = account
        return account

    def _attach(self, session):
        """Registers a new session (ending an older one of that nickname) and greets it."""
        old = self.sessions.get(session.nickname)
        if old is not None:
            old.send(-5, "rec", "")
            if old.conn is not None:
                old.conn.end()
        self.sessions[session.nickname] = session
        if session.conn is not None:
            session.conn.session = session
            session.conn.nickname = session.nickname
        session.send(1, "login", session.account.identity())
        session.send(2, "list", "|".join(self._record(session.account, nick)
                                         for nick in session.account.contacts))
        if old is None:
            self._push_state(session.nickname)
        return old is not None

    def _logout(self, session):
        del self.sessions[session.nickname]
        self.visitors.pop(session.nickname, None)
        self._push_state(session.nickname)

    def _push_state(self, nick):
        for other in list(self.sessions.values()):
            if other.nickname != nick and nick in other.account.contacts:
                other.send(3, "stat", self._record(other.account, nick))

    def _record(self, account, nick):
        return "%s:%d:%d" % (nick, nick in self.sessions, account.contacts.get(nick, False))

    def _known(self, nick):
        return self.accounts.get(nick) or self.visitors.get(nick)

    # -- requests of a logged-in user --------------------------------------

    def request(self, session, code, name, text):
        account = session.account
        if code == 2:
            if text in account.contacts:
                account.contacts[text] = name == "block"
                session.send(4, "1" if name == "block" else "0", text)
        elif (code, name) == (3, "Del"):
            account.contacts.pop(text, None)
            session.send(6, "Del", text)
        elif (code, name) == (3, "Add"):
            if text != session.nickname and self._known(text):
                account.contacts.setdefault(text, False)
                session.send(2, "list", self._record(account, text))
        elif (code, name) == (3, "Rechercher"):
            session.send(5, "Rechercher", "|".join(self._search(text)))
        elif code == 4:
            return self._pm(session, text)
        return None

    def _search(self, text):
        key = text.casefold()
        found = [nick for nick in list(self.accounts) + list(self.visitors) if key in nick.casefold()]
        return found[:SEARCH_LIMIT]

    def _pm(self, session, text):
        peer_part, _, message_part = text.partition("|")
        peer, message = detxt(peer_part), detxt(message_part)
        target = self.sessions.get(peer)
        if target is None:
            status = "non"
        elif target.account.contacts.get(session.nickname, False):
            status = "block"
        elif target.account.contacts_only and session.nickname not in target.account.contacts:
            status = "lock"
        else:
            target.send(7, "pm", entxt(session.nickname) + "|" + entxt(message))
            status = "ok"
        session.send(7, status, peer)
        self.institute.record("chat", "pm", user=session.nickname, to=peer, text=message, status=status)
        return status

    # -- keep-alive ------------------------------------------------------

    def _keepalive_loop(self):
        while not self.stopping.wait(0.05):
            now = time.monotonic()
            with self.lock:
                if self.keepalive <= 0:
                    continue
                for conn in list(self.connections):
                    if conn.session is None or conn.service in self.silent or conn.next_test is None:
                        continue
                    if now >= conn.next_test:
                        self._send_test(conn)
                        conn.next_test = now + self.keepalive

    def _send_test(self, conn):
        conn.pending_tests += 1
        conn.send(45, "test", str(len(self.sessions)))

    # -- control ---------------------------------------------------------

    def control(self, command):
        service = command.get("service")
        if service is not None and service not in SERVICES:
            return None
        handler = self.commands.get(command.get("command"))
        if handler is None:
            return None
        try:
            with self.lock:
                reply = handler(command)
        except CommandError as error:
            return {"ok": False, "error": str(error)}
        reply.setdefault("ok", True)
        return reply

    def _session(self, command, key="user", scripted=False):
        nick = command.get(key)
        session = self.sessions.get(nick)
        if session is None:
            raise CommandError("%r is not logged in" % (nick,))
        if scripted and session.conn is not None:
            raise CommandError("%r is not a scripted user" % (nick,))
        return session

    def cmd_silent(self, command):
        self.silent.update([command["service"]] if command.get("service") else SERVICES)
        return {"silent": sorted(self.silent)}

    def cmd_speak(self, command):
        services = [command["service"]] if command.get("service") else SERVICES
        self.silent.difference_update(services)
        now = time.monotonic()
        for conn in self.connections:
            if conn.service in services:
                conn.pending_tests = 0
                conn.next_test = now + self.keepalive
        return {"silent": sorted(self.silent)}

    def cmd_drop(self, command):
        session = self._session(command)
        conn = session.conn
        if conn is not None:
            conn.session = None
        self._logout(session)
        if conn is not None:
            conn.close()
        return {}

    def cmd_scripted_login(self, command):
        nick = command.get("user")
        if nick is None:
            account = self._new_visitor()
        else:
            account = self._known(representable(nick, "user"))
            if account is None:
                raise CommandError("no account %r" % nick)
        replaced = self._attach(Session(account))
        return {"user": account.nickname, "replaced": replaced}

    def cmd_keepalive(self, command):
        if "interval" in command:
            interval = command["interval"]
            if not isinstance(interval, (int, float)) or interval < 0:
                raise CommandError("interval must be a number of seconds, 0 or more")
            self.keepalive = float(interval)
            now = time.monotonic()
            for conn in self.connections:
                if conn.session is not None:
                    conn.next_test = now + self.keepalive
        if command.get("now"):
            if command.get("user") is not None:
                targets = [self._session(command).conn]
            else:
                targets = [c for c in self.connections if c.session is not None]
            for conn in targets:
                if conn is not None and conn.service not in self.silent:
                    self._send_test(conn)
        return {"interval": self.keepalive}

    def cmd_refuse_next(self, command):
        word = command.get("word")
        if not isinstance(word, str) or not word or len(word) > NAME_SIZE or not all(
                " " < ch <= "~" for ch in word):
            raise CommandError("word must be 1 to 32 printable ASCII characters without spaces")
        user = command.get("user")
        self.refusals.append((representable(user, "user") if user is not None else None, word))
        return {}

    def cmd_pm(self, command):
        session = self._session(command, "from", scripted=True)
        to = representable(command.get("to"), "to")
        text = representable(command.get("text"), "text")
        return {"status": self._pm(session, entxt(to) + "|" + entxt(text))}

    def cmd_as(self, command):
        session = self._session(command, scripted=True)
        code, name = command.get("code"), command.get("name", "")
        body = representable(command.get("body", ""), "body")
        if (code, name) not in REQUESTS or code in LOGINS or code == -3:
            raise CommandError("%r %r is not a request of a logged-in client" % (code, name))
        problems = check_content(code, name, body.encode(CP), body)
        if problems:
            raise CommandError(problems[0])
        before = len(session.inbox)
        self.institute.record("chat", "scripted", user=session.nickname, code=code, name=name, body=body)
        self.request(session, code, name, body)
        return {"replies": session.inbox[before:]}

    def cmd_inbox(self, command):
        session = self._session(command, scripted=True)
        packets = list(session.inbox)
        if command.get("clear"):
            session.inbox.clear()
        return {"packets": packets}

    def cmd_sessions(self, command):
        return {"sessions": [{
            "user": s.nickname, "id": s.account.id, "type": s.account.type,
            "scripted": s.conn is None,
            "service": s.conn.service if s.conn else None,
            "conn": s.conn.number if s.conn else None,
        } for s in self.sessions.values()]}

    def cmd_contacts(self, command):
        account = self._known(command.get("user"))
        if account is None:
            raise CommandError("no account %r" % (command.get("user"),))
        return {"contacts": [{"user": nick, "online": nick in self.sessions, "blocked": blocked}
                             for nick, blocked in account.contacts.items()]}

    def cmd_redirect(self, command):
        target = command.get("target")
        self.redirect = representable(target, "target") if target is not None else None
        return {"target": self._redirect_target()}


class _Server(socketserver.ThreadingMixIn, socketserver.TCPServer):
    daemon_threads = True
    allow_reuse_address = True


def _read_exact(sock, count):
    data = bytearray()
    while len(data) < count:
        chunk = sock.recv(min(65536, count - len(data)))
        if not chunk:
            break
        data += chunk
    return bytes(data)


def add_arguments(parser):
    group = parser.add_argument_group("classroom")
    group.add_argument("--directory-port", type=int, default=0, help="directory server port (0: free)")
    group.add_argument("--chat-port", type=int, default=0, help="chat server port (0: free)")
    group.add_argument("--keepalive", type=float, default=20.0, metavar="SECONDS",
                       help="interval of the chat server's 45 \"test\" (0: none)")


def start(institute, host, args):
    classroom = Classroom(institute, host, args)
    institute.classroom = classroom
    return classroom.start(args)


def control(institute, command):
    classroom = getattr(institute, "classroom", None)
    return classroom.control(command) if classroom is not None else None
