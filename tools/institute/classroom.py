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
    users, "room" for what happens in rooms (user, room, event: enter, leave,
    line and whisper with their text, a moderation word with its target,
    "refused" or "ignored" with the request and the reason). Everything this
    server sends is CP-1256.

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

    Rooms (the model is class Rooms; its packets are class RoomTraffic)
    Groups hold rooms. A room has an id, a name, a group, an owner (its
    teacher), a user limit, a banner (chat markup), an entry password (the
    room is locked), a supervisor password, its supervisors, whether visitors
    are admitted, whether its microphone queue serves itself, and its
    blackboard and live broadcast switches. Names travel unescaped, so room
    and group names never hold ":" or "|".
        5 "Group" (empty)       -> 8 "Group" "<gid>:<name>|..."
        5 "Rooms" "<gid>:<name>" -> 8 "Rooms" "<rid>:<name>:<users>:<1|0 locked>|..."
                                   (empty for a group without rooms)
        6 "entre" "<rid>|pwd_admin:<pwd>|pwd_lock:<pwd>"
            refused with 9 <word> and an empty body, checked in this order:
            a word set with "refuse-entry"; "noroom" (no such room); "ban"
            (barred from the room with "room-ban"); "nozowar" (a visitor in a
            room that admits none); with a supervisor password: "non_admin"
            (neither the owner nor among the supervisors), "pwd_admin" (wrong
            password); else "pwd_lock" (locked, wrong or no entry password).
            The client shows no message for "noroom" and "ban". The user
            limit is kept for the administration but not enforced: the client
            knows no refusal for a full room.
            Admitted: 10 "Lst_room" to the user, with the room record
            "id:|name:|owner:|banner:<Entxt>|sabora:|max:|count:|lock:|group:|mobachir:",
            "||" and one record per member in order of entry, joined by "<>":
            "nick:|admin:|type:|red:|cam:|mic:|man:|nomic:" (admin: supervisor
            here; nomic: barred from the microphone); the other members get
            10 "Lst_user" "id:|nick:|type:|admin:|nomic:|red:". The owner is a
            supervisor on every entry, anyone else only with the supervisor
            password. Entering a room one sits in sends the list again (and
            announces a new supervisor). Red dots and microphone bars stay
            with the room for the life of the process.
        6 "sorte" "<rid>"       -> 11 "sorte" "<nick>|<rid>" to the members
                                   left; the same on disconnect, drop, a login
                                   elsewhere, and "room-ban" (which tells the
                                   user too)
        7 "all" "<Entxt me>|<rid>|<Entxt text>"
                                -> 12 "all" "<Entxt me>|<rid>|<text>" to every
                                   member, the sender included
        7 "wisbar" "<me>|<nick>|<rid>|<Entxt text>"
                                -> 12 "wisbar" "<Entxt me>|<Entxt nick>|<rid>|<text>"
                                   to nick and to the sender (once when the
                                   same); nothing when nick is not in the room
        A red-dotted user's lines and whispers are dropped. Requests for a
        room one does not sit in are dropped (log kind "room", event "ignored").
    The microphone: one speaker per room, and a queue. "mic" takes the free
    microphone when the user may speak (not red-dotted or barred; a
    supervisor, or the room serves itself, or a supervisor gave this user a
    turn with "ettMic"); otherwise the user joins the queue and the hand goes
    up. When the speaker gives it back, leaves or loses it, the first one in
    the queue who may speak takes it. In a lesson room (free_mic false)
    asking raises the hand until the teacher's "ettMic" gives one turn.
    Code 13 bodies, nickname first: "mic" and "man" "<nick>|<rid>|<nomic>|<red>",
    "man-no" "<nick>|<rid>|<nomic>|<red>", "mic-no" "<nick>|<rid>|<nomic>|<red>|0",
    "NoMic" "<nick>|<rid>|<holds>|<nomic>|<hand>|0|<red>", "cam"/"cam-no"
    "<nick>|<rid>|0", "sabora"/"mobachir" "<1|0>|<rid>".
        8 "mic" / "mic-no"      -> 13 "mic", or 13 "man" when queued; 13
                                   "mic-no" (then the next speaker's "mic"),
                                   or 13 "man-no" when only waiting
        8 "man" / "man-no"      -> 13 "man" / "man-no" (nothing when unchanged)
    Supervisors only (others are refused, log event "refused"):
        8 "Reddot" / "UnReddot" "<rid>|<nick>"
                                -> 13 "NoMic": barred from writing and the
                                   microphone (taken away, out of the queue)
        8 "ettNoMic" / "ettMic" -> 13 "NoMic": barred from the microphone, or
                                   the bar lifted and one turn given
        8 "Mobachir" / "-no" "<rid>|audio|video"
                                -> 13 "mobachir"; a video broadcast turns the
                                   supervisor's camera on ("cam") and off
        8 "sabora" / "-no" "<rid>|null" -> 13 "sabora"
    Beyond the layout checks, the server faults a line or whisper sent under
    another nickname and a moderation request naming a member with the "@"
    of the user list.

Demo rooms (id, group, name: what they show)
    1 الحلقات العامة      1 المجلس العام     open, microphone serves itself
    2 الحلقات العامة      2 حلقة التجويد     teacher ostad, supervisors ostad
                                             and أحمد, supervisor password
                                             ostad1, a lesson (no free mic)
    3 الحلقات العامة      3 حلقة خاصة        locked: entry password sirr1
    4 حلقات العلوم        4 حلقة الفيزياء    teacher أحمد (password ahmad1),
                                             members only, live broadcast on
    5 حلقات العلوم        5 حلقة الرياضيات   blackboard on
    6 حلقات الإدارة       6 غرفة المشرفين    locked (staff1), supervisors مدير
                                             and مريم (password super1),
                                             members only

    Administration (administration.py, mixed into Classroom): the
    administrators and their permissions (16 after their login), the group,
    room, supervisor and administrator commands (codes 3 "RechercherCo", 5
    "...CoA" and "...CoU", 11 to 15, 25, 26) with their results and the
    refusal 20 "no_admin", and the day's exams (27 after every login once a
    schedule is set). Its control commands: "admin-set", "admins", "schedule".

Demo accounts (nickname / password / id / type / group / e-mail / contacts;
a leading "!" marks a blocked contact)
    ali     ali123     101    1  1 ali@velmar.test     sara, أحمد, !omar
    sara    sara123    102    2  1 sara@velmar.test    ali, مريم
    omar    omar123    103    3  2 omar@velmar.test    ali
    أحمد    ahmad123   201 -101  1 ahmad@velmar.test   ali, sara
    مريم    maryam123  202 -100  2 maryam@velmar.test  أحمد   (messages from contacts only)
    مدير    admin123   301 -104  3 admin@velmar.test   (none)
    banned  banned123  104    1  2 banned@velmar.test  (login refused with "ban")
    ostad   ostad123   203 -101  1 ostad@velmar.test   (none; teacher of room 2)

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
Room commands. A scripted user's requests are built as the client builds
them and checked alike; replies {"replies": [packets it got]}.
    {"command": "enter", "user": nick, "room": id[, "lock": pwd][, "admin": pwd]}
        6 "entre"; also {"refused": the code 9 word or null}.
    {"command": "leave", "user": nick, "room": id}           6 "sorte"
    {"command": "say", "user": nick, "room": id, "text": html}   7 "all"
    {"command": "whisper", "user": nick, "to": nick2, "room": id, "text": t}
    {"command": "act", "user": nick, "room": id, "word": w[, "target": nick2]
     [, "kind": "audio" | "video"]}
        a code 8 request: mic, mic-no, man, man-no, Reddot, UnReddot, ettMic,
        ettNoMic (on target), Mobachir, Mobachir-no (kind), sabora, sabora-no.
    {"command": "cam", "user": nick, "room": id, "on": bool}
        the user's camera mark (13 "cam" / "cam-no"); no client asks for it.
    {"command": "rooms"}
        {"groups": [{"id", "name", "rooms": [every field, the speaker, the
        queue, the banned, "members": [{"user", "type", "supervisor", "cam",
        "hand", "mic", "red", "no_mic", "allowed"}]]}]}
    {"command": "room-set", "room": id, field: value, ...}
        fields name, owner, banner, limit, password, admin_password,
        supervisors, visitors, free_mic, sabora, mobachir; a new name, owner
        or banner is sent as 12 "ChangeTitle" "<rid>|<name>|<Entxt owner>|<Entxt
        banner>", a switch as 13 "sabora" / "mobachir". Reply {"room"}.
    {"command": "room-ban", "room": id, "user": nick[, "final": true]}
        the user leaves the room (11 to all, the user too); final bars the
        room to the user ("ban").
    {"command": "refuse-entry", "word": w[, "user": nick]}
        the next room entry (of nick, or anyone's) is refused with 9 w.
"""

import itertools
import queue
import re
import socket
import socketserver
import struct
import threading
import time

import administration

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
    ("ostad", "ostad123", 203, -101, 1, "ostad@velmar.test", [], False, None),
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
        return unescaped(text, 2, "room line") or check_room_content(code, name, text)
    if (code, name) in administration.ADMIN_REQUESTS:
        return administration.admin_problems(code, name, text)
    return check_room_content(code, name, text)


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


# -- rooms model -----------------------------------------------------------
# Groups and rooms with every field the administration manages, and who sits
# where. No packets here: the room traffic below and the administration
# commands both work on this model.

DEMO_GROUPS = [(1, "الحلقات العامة"), (2, "حلقات العلوم"), (3, "حلقات الإدارة")]

# id, group, name, fields
DEMO_ROOMS = [
    (1, 1, "المجلس العام", dict(banner=":عنوان:مرحبا بكم في المجلس العام:ن:")),
    (2, 1, "حلقة التجويد", dict(owner="ostad", supervisors=["ostad", "أحمد"], admin_password="ostad1",
                               free_mic=False,
                               banner="درس التجويد كل يوم :وميض:مباشر:ض: مع الأستاذ")),
    (3, 1, "حلقة خاصة", dict(password="sirr1", limit=20)),
    (4, 2, "حلقة الفيزياء", dict(owner="أحمد", supervisors=["أحمد"], admin_password="ahmad1",
                                visitors=False, free_mic=False, mobachir=True,
                                banner=":رسالة:الحلقة للأعضاء فقط:ة:")),
    (5, 2, "حلقة الرياضيات", dict(sabora=True, limit=50)),
    (6, 3, "غرفة المشرفين", dict(password="staff1", admin_password="super1",
                                supervisors=["مدير", "مريم"], visitors=False)),
]


class Group:
    def __init__(self, group_id, name):
        self.id = group_id
        self.name = name


class Seat:
    """One user sitting in a room."""

    def __init__(self, account, supervisor):
        self.nickname = account.nickname
        self.type = account.type
        self.id = account.id
        self.supervisor = supervisor
        self.cam = False
        self.hand = False
        self.allowed = False      # one turn at the microphone, given by a supervisor


class Room:
    def __init__(self, room_id, group, name, owner="", limit=200, banner="", password="",
                 admin_password="", supervisors=(), visitors=True, free_mic=True,
                 sabora=False, mobachir=False):
        self.id = room_id
        self.group = group
        self.name = name
        self.owner = owner                    # the room's teacher
        self.limit = limit
        self.banner = banner                  # chat markup, unescaped
        self.password = password              # entry password: the room is locked
        self.admin_password = admin_password  # supervisor password
        self.supervisors = list(supervisors)  # who may enter with it
        self.visitors = visitors              # visitors admitted
        self.free_mic = free_mic              # the microphone queue serves itself
        self.sabora = sabora                  # blackboard shown
        self.mobachir = mobachir              # live broadcast on
        self.live_kind = "audio"
        self.live_cam = None                  # whose camera the video broadcast turned on
        self.seats = {}                       # nickname -> Seat, in order of entry
        self.speaker = None                   # nickname holding the microphone
        self.queue = []                       # nicknames waiting for the microphone
        self.red = set()                      # barred from writing and the microphone
        self.no_mic = set()                   # barred from the microphone
        self.banned = set()

    @property
    def locked(self):
        return bool(self.password)

    def may_speak(self, seat):
        if seat.nickname in self.red or seat.nickname in self.no_mic:
            return False
        return seat.supervisor or self.free_mic or seat.allowed

    def snapshot(self):
        return {
            "id": self.id, "group": self.group, "name": self.name, "owner": self.owner,
            "limit": self.limit, "banner": self.banner, "locked": self.locked,
            "password": self.password, "admin_password": self.admin_password,
            "supervisors": list(self.supervisors), "visitors": self.visitors,
            "free_mic": self.free_mic, "sabora": self.sabora, "mobachir": self.mobachir,
            "speaker": self.speaker, "queue": list(self.queue), "banned": sorted(self.banned),
            "members": [{
                "user": s.nickname, "type": s.type, "supervisor": s.supervisor, "cam": s.cam,
                "hand": s.hand, "mic": self.speaker == s.nickname, "red": s.nickname in self.red,
                "no_mic": s.nickname in self.no_mic, "allowed": s.allowed,
            } for s in self.seats.values()],
        }


def plain_name(text, what):
    """Names travel unescaped inside ":" and "|" fields."""
    if not isinstance(text, str) or not text or ":" in text or "|" in text:
        raise CommandError("%s must be a text without ':' or '|'" % what)
    return representable(text, what)


class Rooms:
    def __init__(self, groups=DEMO_GROUPS, rooms=DEMO_ROOMS):
        self.groups = {}                      # id -> Group, in list order
        self.rooms = {}                       # id -> Room, in list order
        self.attendance = []                  # one record per stay in a room
        for group_id, name in groups:
            self.add_group(name, group_id)
        for room_id, group, name, fields in rooms:
            self.add_room(group, name, room_id, **fields)

    def add_group(self, name, group_id=None):
        plain_name(name, "group name")
        if group_id is None:
            group_id = max(self.groups, default=0) + 1
        group = Group(group_id, name)
        self.groups[group_id] = group
        return group

    def add_room(self, group, name, room_id=None, **fields):
        plain_name(name, "room name")
        if fields.get("owner"):
            plain_name(fields["owner"], "owner")
        if group not in self.groups:
            raise CommandError("no group %r" % (group,))
        if room_id is None:
            room_id = max(self.rooms, default=0) + 1
        room = Room(room_id, group, name, **fields)
        self.rooms[room_id] = room
        return room

    def room(self, room_id):
        return self.rooms.get(room_id)

    def group_rooms(self, group_id):
        return [room for room in self.rooms.values() if room.group == group_id]

    def seated(self, nickname):
        return [room for room in self.rooms.values() if nickname in room.seats]

    def entered(self, room, seat):
        if seat.id <= 0:
            return                            # visitors have no attendance
        self.attendance.append({"id": seat.id, "user": seat.nickname, "room": room.id,
                                "name": room.name, "entered": time.time(), "left": None})

    def left(self, room, nickname):
        for record in reversed(self.attendance):
            if record["room"] == room.id and record["user"] == nickname and record["left"] is None:
                record["left"] = time.time()
                return

    def refusal(self, room, account, admin_password, lock_password):
        """The code 9 word that refuses this entry, or None."""
        if account.nickname in room.banned:
            return "ban"
        if account.type == 0 and not room.visitors:
            return "nozowar"
        if admin_password:
            if account.nickname not in room.supervisors and account.nickname != room.owner:
                return "non_admin"
            if admin_password != room.admin_password:
                return "pwd_admin"
            return None
        if room.locked and lock_password != room.password:
            return "pwd_lock"
        return None

    def snapshot(self):
        return [{"id": g.id, "name": g.name,
                 "rooms": [room.snapshot() for room in self.group_rooms(g.id)]}
                for g in self.groups.values()]


# -- room packets ------------------------------------------------------------
# What the chat server sends for the room requests of the client, and the
# control commands that let scripted users sit in rooms.

ROOM_REQUESTS = {(5, "Group"), (5, "Rooms"), (6, "entre"), (6, "sorte"), (7, "all"), (7, "wisbar"),
                 (8, "mic"), (8, "mic-no"), (8, "man"), (8, "man-no"), (8, "Mobachir"),
                 (8, "Mobachir-no"), (8, "sabora"), (8, "sabora-no"), (8, "Reddot"),
                 (8, "UnReddot"), (8, "ettMic"), (8, "ettNoMic")}
MODERATION = ("Reddot", "UnReddot", "ettMic", "ettNoMic")
ENTRE_BODY = re.compile(r"(\d+)\|pwd_admin:([^|:]*)\|pwd_lock:([^|:]*)")
ROOM_ID = re.compile(r"\d+")


def check_room_content(code, name, text):
    """Problems of the layout of a room request."""
    what = "%d %r body %r" % (code, name, text)
    if (code, name) == (5, "Rooms") and not re.fullmatch(r"-?\d+:[^|]*", text, re.S):
        return [what + " is not <group id>:<group name>"]
    if (code, name) == (6, "entre") and not ENTRE_BODY.fullmatch(text):
        return [what + " is not <room id>|pwd_admin:<password>|pwd_lock:<password> "
                "(passwords without | or :)"]
    if (code, name) == (6, "sorte") or (code == 8 and name in ("mic", "mic-no", "man", "man-no")):
        return [] if ROOM_ID.fullmatch(text) else [what + " is not a room id"]
    if (code, name) == (7, "all"):
        parts = text.split("|")
        if len(parts) == 3 and not ROOM_ID.fullmatch(parts[1]):
            return [what + " has no room id in its second field"]
    if (code, name) == (7, "wisbar"):
        parts = text.split("|", 3)
        if len(parts) < 4 or not parts[0] or not parts[1] or not ROOM_ID.fullmatch(parts[2]):
            return [what + " is not <me>|<nickname>|<room id>|<text>"]
        if not parts[3]:
            return [what + " whispers nothing"]
        return unescaped(parts[3], 0, "whisper text")
    if code == 8 and name in ("Mobachir", "Mobachir-no") and not re.fullmatch(r"\d+\|(audio|video)", text):
        return [what + " is not <room id>|audio or <room id>|video"]
    if code == 8 and name in ("sabora", "sabora-no") and not re.fullmatch(r"\d+\|null", text):
        return [what + " is not <room id>|null"]
    if code == 8 and name in MODERATION and not re.fullmatch(r"\d+\|[^|]+", text, re.S):
        return [what + " is not <room id>|<nickname>"]
    return []


def room_record(room):
    """The room part of code 10 "Lst_room": key:value fields by position."""
    return "|".join([
        "id:%d" % room.id, "name:%s" % room.name, "owner:%s" % room.owner,
        "banner:%s" % entxt(room.banner), "sabora:%d" % room.sabora, "max:%d" % room.limit,
        "count:%d" % len(room.seats), "lock:%d" % room.locked, "group:%d" % room.group,
        "mobachir:%d" % room.mobachir])


def seat_record(room, seat):
    nick = seat.nickname
    return "|".join([
        "nick:%s" % nick, "admin:%d" % seat.supervisor, "type:%d" % seat.type,
        "red:%d" % (nick in room.red), "cam:%d" % seat.cam, "mic:%d" % (room.speaker == nick),
        "man:%d" % seat.hand, "nomic:%d" % (nick in room.no_mic)])


class RoomTraffic:
    """Room requests of logged-in users; mixed into Classroom (self.lock held)."""

    def _init_rooms(self):
        self.rooms = Rooms()
        self.entry_refusals = []           # [(nickname or None, word)]

    def room_commands(self):
        return {
            "rooms": self.cmd_rooms, "enter": self.cmd_enter, "leave": self.cmd_leave,
            "say": self.cmd_say, "whisper": self.cmd_whisper, "act": self.cmd_act,
            "cam": self.cmd_cam, "room-set": self.cmd_room_set, "room-ban": self.cmd_room_ban,
            "refuse-entry": self.cmd_refuse_entry,
        }

    def room_problems(self, session, code, name, text):
        """Faults of a room request that only the model shows."""
        if (code, name) == (7, "all") and detxt(text.split("|", 1)[0]) != session.nickname:
            return ["room line of %r sent as %r" % (session.nickname, detxt(text.split("|", 1)[0]))]
        if (code, name) == (7, "wisbar") and text.split("|", 1)[0] != session.nickname:
            return ["whisper of %r sent as %r" % (session.nickname, text.split("|", 1)[0])]
        if code == 8 and name in MODERATION:
            rid, nick = text.split("|", 1)
            room = self.rooms.room(int(rid))
            if room and nick not in room.seats and nick.startswith("@") and nick[1:] in room.seats:
                return ["%d %r names %r with its supervisor mark" % (code, name, nick)]
        return []

    def room_request(self, session, code, name, text):
        if (code, name) == (5, "Group"):
            session.send(8, "Group", "|".join("%d:%s" % (g.id, g.name) for g in self.rooms.groups.values()))
        elif (code, name) == (5, "Rooms"):
            group = int(text.split(":", 1)[0])
            session.send(8, "Rooms", "|".join(
                "%d:%s:%d:%d" % (r.id, r.name, len(r.seats), r.locked) for r in self.rooms.group_rooms(group)))
        elif (code, name) == (6, "entre"):
            return self._enter(session, *ENTRE_BODY.fullmatch(text).groups())
        else:
            return self._in_room(session, code, name, text)
        return None

    def _in_room(self, session, code, name, text):
        nick = session.nickname
        if code == 7:
            room_id = int(text.split("|")[1] if name == "all" else text.split("|")[2])
        elif code == 8:
            room_id = int(text.split("|", 1)[0])
        else:
            room_id = int(text)
        room = self.rooms.room(room_id)
        seat = room.seats.get(nick) if room else None
        if seat is None:
            self._room_event("ignored", nick, room_id, request=name, reason="not in the room")
            return None
        if (code, name) == (6, "sorte"):
            self._leave(room, nick)
        elif code == 7:
            self._line(room, seat, name, text)
        elif name in ("mic", "mic-no", "man", "man-no"):
            self._turn(room, seat, name)
        elif not seat.supervisor:
            self._room_event("refused", nick, room.id, request=name, reason="not a supervisor")
        elif name in MODERATION:
            self._moderate(room, seat, text.split("|", 1)[1], name)
        else:
            self._switch(room, seat, name, text.split("|", 1)[1])
        return None

    # -- entry and departure ---------------------------------------------------

    def _room_event(self, event, user, room, **fields):
        self.institute.record("chat", "room", event=event, user=user, room=room, **fields)

    def _to_room(self, room, code, name, text):
        for nick in list(room.seats):
            session = self.sessions.get(nick)
            if session is not None:
                session.send(code, name, text)

    def _take_entry_refusal(self, nick):
        for i, (user, word) in enumerate(self.entry_refusals):
            if user is None or user == nick:
                del self.entry_refusals[i]
                return word
        return None

    def _enter(self, session, room_id, admin_password, lock_password):
        nick = session.nickname
        room = self.rooms.room(int(room_id))
        word = self._take_entry_refusal(nick)
        if word is None:
            word = "noroom" if room is None else self.rooms.refusal(
                room, session.account, admin_password, lock_password)
        if word:
            session.send(9, word, "")
            self._room_event("refused", nick, int(room_id), request="entre", word=word)
            return word
        supervisor = nick == room.owner or bool(admin_password)
        seat = room.seats.get(nick)
        if seat is None:
            seat = Seat(session.account, supervisor)
            room.seats[nick] = seat
            self.rooms.entered(room, seat)
            announce = True
        else:
            announce = supervisor and not seat.supervisor
            seat.supervisor = seat.supervisor or supervisor
        session.send(10, "Lst_room", room_record(room) + "||"
                     + "<>".join(seat_record(room, s) for s in room.seats.values()))
        if announce:
            body = "id:%d|nick:%s|type:%d|admin:%d|nomic:%d|red:%d" % (
                room.id, nick, seat.type, seat.supervisor, nick in room.no_mic, nick in room.red)
            for other in list(room.seats):
                if other != nick and other in self.sessions:
                    self.sessions[other].send(10, "Lst_user", body)
            # The new row starts plain: what it held comes after.
            if seat.cam:
                self._state(room, "cam", nick, 0)
            if room.speaker == nick:
                self._state(room, "mic", nick, 0, 0)
            elif seat.hand:
                self._state(room, "man", nick, nick in room.no_mic, nick in room.red)
        self._room_event("enter", nick, room.id, supervisor=seat.supervisor)
        return None

    def _leave(self, room, nick):
        seat = room.seats.pop(nick, None)
        if seat is None:
            return
        self.rooms.left(room, nick)
        if nick in room.queue:
            room.queue.remove(nick)
        if room.live_cam == nick:
            room.live_cam = None
        self._to_room(room, 11, "sorte", "%s|%d" % (nick, room.id))
        self._room_event("leave", nick, room.id)
        if room.speaker == nick:
            room.speaker = None
            self._serve_queue(room)

    def leave_all_rooms(self, nick):
        for room in self.rooms.seated(nick):
            self._leave(room, nick)

    # -- lines -----------------------------------------------------------------

    def _line(self, room, seat, name, text):
        nick = seat.nickname
        if nick in room.red:
            self._room_event("refused", nick, room.id, request=name, reason="red dot")
            return
        if name == "all":
            line = text.split("|", 2)[2]
            self._to_room(room, 12, "all", "%s|%d|%s" % (entxt(nick), room.id, line))
            self._room_event("line", nick, room.id, text=detxt(line))
            return
        _, to, _, line = text.split("|", 3)
        if to not in room.seats:
            self._room_event("ignored", nick, room.id, request=name, reason="%r is not in the room" % to)
            return
        body = "%s|%s|%d|%s" % (entxt(nick), entxt(to), room.id, line)
        for user in dict.fromkeys([to, nick]):
            if user in self.sessions:
                self.sessions[user].send(12, "wisbar", body)
        self._room_event("whisper", nick, room.id, to=to, text=detxt(line))

    def room_title(self, room):
        self._to_room(room, 12, "ChangeTitle", "%d|%s|%s|%s" % (
            room.id, room.name, entxt(room.owner), entxt(room.banner)))

    # -- microphone, hands and moderation --------------------------------------

    def _state(self, room, word, nick, *fields):
        self._to_room(room, 13, word, "|".join([nick, str(room.id)] + ["%d" % f for f in fields]))

    def _nomic(self, room, seat):
        nick = seat.nickname
        self._state(room, "NoMic", nick, room.speaker == nick, nick in room.no_mic, seat.hand, 0,
                    nick in room.red)

    def _give_mic(self, room, seat):
        room.speaker = seat.nickname
        seat.hand = False
        seat.allowed = False
        if seat.nickname in room.queue:
            room.queue.remove(seat.nickname)
        self._state(room, "mic", seat.nickname, 0, 0)

    def _serve_queue(self, room):
        for nick in list(room.queue):
            if room.speaker is not None:
                return
            seat = room.seats.get(nick)
            if seat is None:
                room.queue.remove(nick)
            elif room.may_speak(seat):
                self._give_mic(room, seat)

    def _turn(self, room, seat, word):
        nick = seat.nickname
        barred = nick in room.red or nick in room.no_mic
        if word == "mic":
            if room.speaker == nick or barred:
                return
            if room.speaker is None and room.may_speak(seat):
                self._give_mic(room, seat)
                return
            if nick not in room.queue:
                room.queue.append(nick)
            word = "man"
        if word == "man":
            if not seat.hand and room.speaker != nick:
                seat.hand = True
                self._state(room, "man", nick, nick in room.no_mic, nick in room.red)
        elif word == "mic-no" and room.speaker == nick:
            room.speaker = None
            self._state(room, "mic-no", nick, nick in room.no_mic, nick in room.red, 0)
            self._serve_queue(room)
        elif seat.hand and (word == "man-no" or nick in room.queue):   # "mic-no": stops waiting
            seat.hand = False
            if nick in room.queue:
                room.queue.remove(nick)
            self._state(room, "man-no", nick, nick in room.no_mic, nick in room.red)

    def _moderate(self, room, supervisor, nick, word):
        seat = room.seats.get(nick)
        if seat is None:
            self._room_event("ignored", supervisor.nickname, room.id, request=word,
                             reason="%r is not in the room" % nick)
            return
        released = False
        if word in ("Reddot", "ettNoMic"):
            (room.red if word == "Reddot" else room.no_mic).add(nick)
            seat.allowed = False
            if room.speaker == nick:
                room.speaker = None
                released = True
            if nick in room.queue:
                room.queue.remove(nick)
                seat.hand = False
        elif word == "UnReddot":
            room.red.discard(nick)
        else:                              # ettMic
            room.no_mic.discard(nick)
            seat.allowed = True
        self._nomic(room, seat)
        self._room_event(word, supervisor.nickname, room.id, target=nick)
        if released or word == "ettMic":
            self._serve_queue(room)

    def _switch(self, room, seat, word, arg):
        on = not word.endswith("-no")
        if word.startswith("sabora"):
            room.sabora = on
            self._to_room(room, 13, "sabora", "%d|%d" % (on, room.id))
            return
        room.mobachir = on
        self._to_room(room, 13, "mobachir", "%d|%d" % (on, room.id))
        if on:
            room.live_kind = arg
        if on and arg == "video" and not seat.cam:
            self._camera(room, seat, True)
            room.live_cam = seat.nickname
        elif not on and room.live_cam in room.seats:
            self._camera(room, room.seats[room.live_cam], False)
            room.live_cam = None

    def _camera(self, room, seat, on):
        seat.cam = on
        self._state(room, "cam" if on else "cam-no", seat.nickname, 0)

    # -- control commands --------------------------------------------------

    def _room_arg(self, command):
        room = self.rooms.room(command.get("room"))
        if room is None:
            raise CommandError("no room %r" % (command.get("room"),))
        return room

    def _scripted(self, session, code, name, body):
        """A request of the scripted user, checked as the client's are; its replies."""
        problems = check_content(code, name, body.encode(CP), body)
        problems = problems or self.room_problems(session, code, name, body)
        if problems:
            raise CommandError(problems[0])
        before = len(session.inbox)
        self.institute.record("chat", "scripted", user=session.nickname, code=code, name=name, body=body)
        self.request(session, code, name, body)
        return session.inbox[before:]

    def cmd_rooms(self, command):
        return {"groups": self.rooms.snapshot()}

    def cmd_enter(self, command):
        session = self._session(command, scripted=True)
        room_id = command.get("room")
        if not isinstance(room_id, int) or room_id < 0:
            raise CommandError("room must be a room id")
        body = "%d|pwd_admin:%s|pwd_lock:%s" % (room_id, representable(command.get("admin", ""), "admin"),
                                               representable(command.get("lock", ""), "lock"))
        replies = self._scripted(session, 6, "entre", body)
        refused = [p["name"] for p in replies if p["code"] == 9]
        return {"replies": replies, "refused": refused[0] if refused else None}

    def cmd_leave(self, command):
        session = self._session(command, scripted=True)
        return {"replies": self._scripted(session, 6, "sorte", str(self._room_arg(command).id))}

    def cmd_say(self, command):
        session = self._session(command, scripted=True)
        room = self._room_arg(command)
        text = representable(command.get("text"), "text")
        body = "%s|%d|%s" % (entxt(session.nickname), room.id, entxt(text))
        return {"replies": self._scripted(session, 7, "all", body)}

    def cmd_whisper(self, command):
        session = self._session(command, scripted=True)
        room = self._room_arg(command)
        to = representable(command.get("to"), "to")
        text = representable(command.get("text"), "text")
        body = "%s|%s|%d|%s" % (session.nickname, to, room.id, entxt(text))
        return {"replies": self._scripted(session, 7, "wisbar", body)}

    def cmd_act(self, command):
        session = self._session(command, scripted=True)
        room = self._room_arg(command)
        word = command.get("word")
        if (8, word) not in ROOM_REQUESTS:
            raise CommandError("word must be one of the room requests of code 8")
        body = str(room.id)
        if word in MODERATION:
            body += "|" + representable(command.get("target"), "target")
        elif word.startswith("Mobachir"):
            body += "|" + command.get("kind", "audio")
        elif word.startswith("sabora"):
            body += "|null"
        return {"replies": self._scripted(session, 8, word, body)}

    def cmd_cam(self, command):
        session = self._session(command, scripted=True)
        room = self._room_arg(command)
        seat = room.seats.get(session.nickname)
        if seat is None:
            raise CommandError("%r is not in room %d" % (session.nickname, room.id))
        on = command.get("on", True)
        if not isinstance(on, bool):
            raise CommandError("on must be true or false")
        before = len(session.inbox)
        if seat.cam != on:
            self._camera(room, seat, on)
        return {"replies": session.inbox[before:]}

    def cmd_room_set(self, command):
        room = self._room_arg(command)
        fields = {key: command[key] for key in (
            "name", "owner", "banner", "limit", "password", "admin_password", "supervisors",
            "visitors", "free_mic", "sabora", "mobachir") if key in command}
        if "name" in fields:
            plain_name(fields["name"], "room name")
        if fields.get("owner"):
            plain_name(fields["owner"], "owner")
        for key in ("banner", "password", "admin_password"):
            if key in fields:
                representable(fields[key], key)
        for key in ("password", "admin_password"):
            if ":" in fields.get(key, "") or "|" in fields.get(key, ""):
                raise CommandError("%s must be a text without ':' or '|'" % key)
        if "limit" in fields and (not isinstance(fields["limit"], int) or fields["limit"] < 0):
            raise CommandError("limit must be a number of users")
        if "supervisors" in fields and (not isinstance(fields["supervisors"], list) or not all(
                isinstance(n, str) for n in fields["supervisors"])):
            raise CommandError("supervisors must be a list of nicknames")
        for key in ("visitors", "free_mic", "sabora", "mobachir"):
            if key in fields and not isinstance(fields[key], bool):
                raise CommandError("%s must be true or false" % key)
        title = any(key in fields and fields[key] != getattr(room, key) for key in ("name", "owner", "banner"))
        switches = [key for key in ("sabora", "mobachir") if key in fields and bool(fields[key]) != getattr(room, key)]
        for key, value in fields.items():
            setattr(room, key, value)
        if title:
            self.room_title(room)
        for key in switches:
            self._to_room(room, 13, key, "%d|%d" % (bool(getattr(room, key)), room.id))
        if fields.get("free_mic"):
            self._serve_queue(room)
        return {"room": room.snapshot()}

    def cmd_room_ban(self, command):
        room = self._room_arg(command)
        nick = command.get("user")
        if nick not in room.seats and not command.get("final"):
            raise CommandError("%r is not in room %d" % (nick, room.id))
        if command.get("final"):
            room.banned.add(representable(nick, "user"))
        if nick in room.seats:
            self._leave_kicked(room, nick)
        return {"room": room.snapshot()}

    def _leave_kicked(self, room, nick):
        # The user hears of it too: its own row leaves its list.
        session = self.sessions.get(nick)
        self._leave(room, nick)
        if session is not None:
            session.send(11, "sorte", "%s|%d" % (nick, room.id))

    def cmd_refuse_entry(self, command):
        word = command.get("word")
        if not isinstance(word, str) or not word or len(word) > NAME_SIZE or not all(
                " " < ch <= "~" for ch in word):
            raise CommandError("word must be 1 to 32 printable ASCII characters without spaces")
        user = command.get("user")
        self.entry_refusals.append((representable(user, "user") if user is not None else None, word))
        return {}

    # -- pages of the web endpoint -------------------------------------------

    def room_page(self, room_id):
        """A snapshot of the room for the web pages, or None."""
        with self.lock:
            room = self.rooms.room(room_id)
            if room is None:
                return None
            page = room.snapshot()
            page["live_kind"] = room.live_kind
            page["group_name"] = self.rooms.groups[room.group].name if room.group in self.rooms.groups else ""
            return page

    def live_rooms(self):
        with self.lock:
            return [{"id": r.id, "name": r.name, "live_kind": r.live_kind, "count": len(r.seats)}
                    for r in self.rooms.rooms.values() if r.mobachir]

    def attendance_of(self, user_id):
        with self.lock:
            return [dict(record) for record in self.rooms.attendance if record["id"] == user_id]


class Classroom(RoomTraffic, administration.Administration):
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
        self._init_rooms()
        self.commands.update(self.room_commands())
        self._init_administration()
        self.commands.update(self.admin_commands())

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
            if not problems and conn.session is not None:
                problems = self.room_problems(conn.session, code, name, text)
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
            self.leave_all_rooms(old.nickname)
        self.sessions[session.nickname] = session
        if session.conn is not None:
            session.conn.session = session
            session.conn.nickname = session.nickname
        session.send(1, "login", session.account.identity())
        session.send(2, "list", "|".join(self._record(session.account, nick)
                                         for nick in session.account.contacts))
        if old is None:
            self._push_state(session.nickname)
        self.greet_admin(session)
        return old is not None

    def _logout(self, session):
        self.leave_all_rooms(session.nickname)
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
        if (code, name) in ROOM_REQUESTS:
            return self.room_request(session, code, name, text)
        if (code, name) in administration.ADMIN_REQUESTS:
            return self.admin_request(session, code, name, text)
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
        return {"replies": self._scripted(session, code, name, body)}

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
