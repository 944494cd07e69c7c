"""The classroom servers over real sockets, with packets written out byte by byte."""

import argparse
import io
import json
import os
import socket
import subprocess
import sys
import time
import unittest
import urllib.request

import classroom
import institute
from endpoint_case import WAIT, end_institute

HERE = os.path.dirname(os.path.abspath(__file__))
MARK = b"KW.TOVEN"
SP = b" "

# Requests of the client, as the client writes them.
VISITOR_DIRECTORY = b"\xfd\xff" + b"\x05\x00\x00\x00" + MARK + b"zaire" + SP * 27 + b"MacOS"
MEMBER_DIRECTORY = b"\xfd\xff" + b"\x00\x00\x00\x00" + MARK + b"3odaw" + SP * 27
GUEST_BODY = b"nickname:\xd3\xe3\xd1\xe1|Password:\xd3\xe3\xd1\xe1|stat:1|Os:MacOS"
VISITOR_LOGIN = b"\xfe\xff" + b"\x2b\x00\x00\x00" + MARK + SP * 32 + GUEST_BODY
TEST = b"\x2d\x00" + b"\x00\x00\x00\x00" + MARK + b"test" + SP * 28

# Fixed answers of the server.
REC = b"\xfb\xff" + b"\x00\x00\x00\x00" + MARK + b"rec" + SP * 29
AHMAD = b"\xc3\xcd\xe3\xcf"          # أحمد
MARYAM = b"\xe3\xd1\xed\xe3"         # مريم
VISITOR = b"\xd2\xc7\xc6\xd1"        # زائر


def frame(code, name, body=b""):
    """A request: code as its two little-endian bytes, name and body as bytes."""
    return code + len(body).to_bytes(4, "little") + MARK + name.ljust(32, SP) + body


def answer(code, name, body=b""):
    return frame(code, name, body)


def member_login(user, password):
    return frame(b"\x01\x00", b"", b"nickname:" + user + b"|Password:" + password + b"|stat:1|Os:MacOS")


def pm(peer, text):
    return frame(b"\x04\x00", b"pm", peer + b"|" + text)


class Peer:
    def __init__(self, port):
        self.sock = socket.create_connection(("127.0.0.1", port), timeout=WAIT)
        self.sock.setsockopt(socket.IPPROTO_TCP, socket.TCP_NODELAY, 1)

    def send(self, data):
        self.sock.sendall(data)

    def read(self, count):
        data = b""
        while len(data) < count:
            chunk = self.sock.recv(count - len(data))
            if not chunk:
                raise EOFError("connection closed after %r" % data)
            data += chunk
        return data

    def packet(self):
        """The next packet, header and body together."""
        header = self.read(46)
        length = int.from_bytes(header[2:6], "little", signed=True)
        return header + self.read(length)

    def quiet(self, seconds=0.3):
        """True when nothing arrives for that long."""
        self.sock.settimeout(seconds)
        try:
            self.sock.recv(1, socket.MSG_PEEK)
            return False
        except socket.timeout:
            return True
        finally:
            self.sock.settimeout(WAIT)

    def closed(self):
        """True when the other side closes (whatever it still sent is skipped)."""
        try:
            while self.sock.recv(4096):
                pass
            return True
        except ConnectionResetError:
            return True
        except socket.timeout:
            return False

    def close(self):
        self.sock.close()


def make_args(*argv):
    parser = argparse.ArgumentParser()
    parser.add_argument("--verbose", action="store_true")
    classroom.add_arguments(parser)
    return parser.parse_args(list(argv))


class ClassroomCase(unittest.TestCase):
    def setUp(self):
        self.stderr, sys.stderr = sys.stderr, io.StringIO()
        self.inst = institute.Institute(make_args("--keepalive", "0"))
        self.inst.modules = [classroom]
        self.inst.ports.update(classroom.start(self.inst, "127.0.0.1", self.inst.args))
        self.server = self.inst.classroom
        self.peers = []
        self.faults_expected = False

    def tearDown(self):
        for peer in self.peers:
            peer.close()
        self.server.close()
        sys.stderr = self.stderr
        if not self.faults_expected:
            self.assertEqual(self.inst.faults, [])

    def connect(self, service="chat"):
        peer = Peer(self.inst.ports[service])
        self.peers.append(peer)
        return peer

    def control(self, **command):
        reply = self.inst.control(command)
        self.assertTrue(reply.get("ok"), reply)
        return reply

    def login(self, user, password):
        """A member on the chat server; returns the connection and its contact list packet."""
        peer = self.connect()
        peer.send(member_login(user, password))
        self.assertEqual(peer.packet()[:2], b"\x01\x00")
        contacts = peer.packet()
        self.assertEqual(contacts[:2], b"\x02\x00")
        return peer, contacts[46:]

    def log(self, kind, **match):
        with self.inst.lock:
            entries = list(self.inst.entries)
        return [e for e in entries if e["kind"] == kind and all(e.get(k) == v for k, v in match.items())]

    def wait_for(self, condition, seconds=WAIT):
        deadline = time.monotonic() + seconds
        while not condition():
            if time.monotonic() > deadline:
                with self.inst.lock:
                    last = list(self.inst.entries)[-5:]
                self.fail("condition not met in %d s; the log ends with %r" % (seconds, last))
            time.sleep(0.02)


class CodecTest(unittest.TestCase):
    def test_escaping(self):
        for plain, escaped in [("a@b:c|d", "a@arp;b@n;c@l;d"), ("@n;", "@arp;n;"),
                               ("@l;", "@arp;l;"), ("", ""), ("سمرل", "سمرل")]:
            with self.subTest(plain=plain):
                self.assertEqual(classroom.entxt(plain), escaped)
                self.assertEqual(classroom.detxt(escaped), plain)

    def test_keepalive_packet_layout(self):
        self.assertEqual(classroom.build_packet(45, "test"), TEST)
        self.assertEqual(classroom.build_packet(-5, "rec"), REC)


class DirectoryTest(ClassroomCase):
    def test_both_requests_redirect_to_the_chat_server(self):
        chat = str(self.inst.ports["chat"]).encode()
        for request, name in [(VISITOR_DIRECTORY, b"zaire"), (MEMBER_DIRECTORY, b"3odaw")]:
            with self.subTest(name=name):
                peer = self.connect("directory")
                peer.send(request)
                body = b"Velmar|chat|127.0.0.1:" + chat
                self.assertEqual(peer.packet(), answer(b"\xfa\xff", name, body))

    def test_two_requests_in_one_write_answered_in_order(self):
        peer = self.connect("directory")
        peer.send(VISITOR_DIRECTORY + MEMBER_DIRECTORY)
        self.assertEqual(peer.packet()[14:19], b"zaire")
        self.assertEqual(peer.packet()[14:19], b"3odaw")

    def test_redirect_target_can_be_replaced(self):
        for target, body in [("localhost:5000", b"Velmar|chat|localhost:5000"), ("", b"Velmar|chat|")]:
            with self.subTest(target=target):
                self.control(command="redirect", target=target)
                peer = self.connect("directory")
                peer.send(VISITOR_DIRECTORY)
                self.assertEqual(peer.packet(), answer(b"\xfa\xff", b"zaire", body))

    def test_empty_target_makes_the_directory_take_the_login(self):
        self.control(command="redirect", target="")
        peer = self.connect("directory")
        peer.send(VISITOR_LOGIN)
        self.assertEqual(peer.packet()[:2], b"\x01\x00")
        self.control(command="redirect")
        peer = self.connect("directory")
        peer.send(MEMBER_DIRECTORY)
        self.assertTrue(peer.packet().endswith(b"127.0.0.1:" + str(self.inst.ports["chat"]).encode()))

    def test_the_request_is_logged_with_its_bytes(self):
        peer = self.connect("directory")
        peer.send(VISITOR_DIRECTORY)
        peer.packet()
        [entry] = self.log("packet", service="directory")
        self.assertEqual((entry["code"], entry["name"], entry["body"]), (-3, "zaire", "MacOS"))
        self.assertEqual(entry["hex"], VISITOR_DIRECTORY.hex())


class LoginTest(ClassroomCase):
    def test_visitors_are_numbered(self):
        for number in (b"1", b"2"):
            with self.subTest(number=number):
                peer = self.connect()
                peer.send(VISITOR_LOGIN)
                identity = b"nickname:" + VISITOR + number + b"|id:0|type:0|group:0|email:"
                self.assertEqual(peer.packet(), answer(b"\x01\x00", b"login", identity))
                self.assertEqual(peer.packet(), answer(b"\x02\x00", b"list"))
        self.assertEqual([s["user"] for s in self.control(command="sessions")["sessions"]],
                         ["زائر1", "زائر2"])

    def test_member_gets_identity_and_contacts(self):
        peer = self.connect()
        peer.send(member_login(AHMAD, b"ahmad123"))
        identity = b"nickname:" + AHMAD + b"|id:201|type:-101|group:1|email:ahmad@velmar.test"
        self.assertEqual(peer.packet(), answer(b"\x01\x00", b"login", identity))
        self.assertEqual(peer.packet(), answer(b"\x02\x00", b"list", b"ali:0:0|sara:0:0"))

    def test_blocked_contacts_are_marked(self):
        _, contacts = self.login(b"ali", b"ali123")
        self.assertEqual(contacts, b"sara:0:0|" + AHMAD + b":0:0|omar:0:1")

    def test_refusals(self):
        cases = [
            ("unknown user", member_login(b"nobody", b"x"), None, b"usr"),
            ("wrong password", member_login(b"ali", b"ALI123"), None, b"pwd"),
            ("barred account", member_login(b"banned", b"banned123"), None, b"ban"),
            ("word for that user", member_login(b"sara", b"sara123"), {"user": "sara", "word": "bneRoom"}, b"bneRoom"),
            ("word for the visitor", VISITOR_LOGIN, {"user": "سمرل", "word": "err"}, b"err"),
            ("word for anyone", member_login(b"ali", b"ali123"), {"word": "bne"}, b"bne"),
        ]
        for label, request, refusal, word in cases:
            with self.subTest(label):
                if refusal:
                    self.control(command="refuse-next", **refusal)
                peer = self.connect()
                peer.send(request)
                self.assertEqual(peer.packet(), answer(b"\xfb\xff", word))
                self.assertEqual(self.control(command="sessions")["sessions"], [])

    def test_refusal_word_is_used_once_and_only_for_its_user(self):
        self.control(command="refuse-next", user="sara", word="ban")
        self.login(b"ali", b"ali123")
        peer = self.connect()
        peer.send(member_login(b"sara", b"sara123"))
        self.assertEqual(peer.packet()[14:17], b"ban")
        self.login(b"sara", b"sara123")

    def test_refused_connection_is_no_longer_served(self):
        classroom.END_WAIT, saved = 0.3, classroom.END_WAIT
        self.addCleanup(setattr, classroom, "END_WAIT", saved)
        peer = self.connect()
        peer.send(member_login(b"ali", b"wrong"))
        peer.packet()
        peer.send(member_login(b"ali", b"ali123"))
        self.assertTrue(peer.closed())
        self.assertEqual(self.log("packet", user=None, code=1)[-1].get("ignored"), True)
        self.wait_for(lambda: self.log("disconnect", by="server"))

    def test_second_login_ends_the_first_with_rec(self):
        first, _ = self.login(b"ali", b"ali123")
        self.login(b"ali", b"ali123")
        self.assertEqual(first.packet(), REC)
        [session] = self.control(command="sessions")["sessions"]
        self.assertEqual((session["user"], session["scripted"]), ("ali", False))

    def test_login_elsewhere_takes_the_name_over(self):
        peer, _ = self.login(b"ali", b"ali123")
        reply = self.control(command="login-elsewhere", user="ali")
        self.assertEqual((reply["user"], reply["replaced"]), ("ali", True))
        self.assertEqual(peer.packet(), REC)
        peer.send(pm(b"sara", b"hi"))
        self.wait_for(lambda: self.log("packet", code=4))
        self.assertTrue(self.log("packet", code=4)[0]["ignored"])
        [session] = self.control(command="sessions")["sessions"]
        self.assertTrue(session["scripted"])

    def test_packets_split_over_several_writes(self):
        peer = self.connect()
        for part in (VISITOR_LOGIN[:10], VISITOR_LOGIN[10:46], VISITOR_LOGIN[46:]):
            peer.send(part)
            time.sleep(0.05)
        self.assertEqual(peer.packet()[:2], b"\x01\x00")
        self.assertEqual(len(self.log("packet", code=-2)), 1)


class KeepAliveTest(ClassroomCase):
    def server_test(self, count=b"1"):
        return answer(b"\x2d\x00", b"test", count)

    def test_probe_is_answered_and_reply_is_not(self):
        peer, _ = self.login(b"ali", b"ali123")
        peer.send(TEST)
        self.assertEqual(peer.packet(), self.server_test())
        peer.send(TEST)
        self.assertTrue(peer.quiet())
        self.control(command="keepalive", now=True)
        self.assertEqual(peer.packet(), self.server_test())
        peer.send(TEST)
        self.assertTrue(peer.quiet())
        self.assertEqual([e["keepalive"] for e in self.log("packet", code=45)], ["probe", "reply", "reply"])

    def test_periodic_test_carries_the_online_count(self):
        peer, _ = self.login(b"ali", b"ali123")
        self.login(b"sara", b"sara123")
        peer.packet()                   # sara came online
        self.control(command="keepalive", interval=0.1)
        self.assertEqual(peer.packet(), self.server_test(b"2"))
        self.assertEqual(peer.packet(), self.server_test(b"2"))
        self.control(command="keepalive", interval=0)
        time.sleep(0.15)
        while not peer.quiet(0.2):
            self.assertEqual(peer.packet(), self.server_test(b"2"))

    def test_silent_server_keeps_the_connection_and_speaks_again(self):
        peer, _ = self.login(b"ali", b"ali123")
        self.control(command="keepalive", interval=0.1)
        peer.packet()
        self.control(command="silent")
        # Tests sent before the silence may still be on their way: all of them
        # are read, however late they come.
        for _ in range(len(self.log("sent", code=45)) - 1):
            self.assertEqual(peer.packet(), self.server_test())
        peer.send(TEST)
        self.assertTrue(peer.quiet(0.4))
        self.control(command="keepalive", interval=0)
        self.control(command="speak")
        peer.send(TEST)
        self.assertEqual(peer.packet(), self.server_test())
        self.assertTrue(self.log("packet", code=45)[0]["ignored"])

    def test_silent_directory_leaves_the_chat_server_answering(self):
        self.control(command="silent", service="directory")
        directory = self.connect("directory")
        directory.send(VISITOR_DIRECTORY)
        self.assertTrue(directory.quiet())
        self.login(b"ali", b"ali123")

    def test_other_services_commands_are_passed_on(self):
        self.assertIsNone(classroom.control(self.inst, {"command": "silent", "service": "web"}))
        self.assertEqual(self.server.silent, set())


class ContactsTest(ClassroomCase):
    def test_presence_is_pushed_to_those_who_list_the_user(self):
        sara, contacts = self.login(b"sara", b"sara123")
        self.assertEqual(contacts, b"ali:0:0|" + MARYAM + b":0:0")
        ali, contacts = self.login(b"ali", b"ali123")
        self.assertEqual(contacts, b"sara:1:0|" + AHMAD + b":0:0|omar:0:1")
        self.assertEqual(sara.packet(), answer(b"\x03\x00", b"stat", b"ali:1:0"))
        ali.close()
        self.assertEqual(sara.packet(), answer(b"\x03\x00", b"stat", b"ali:0:0"))

    def test_block_unblock_delete_add_last_for_the_process(self):
        ali, _ = self.login(b"ali", b"ali123")
        steps = [
            (frame(b"\x02\x00", b"block", b"sara"), answer(b"\x04\x00", b"1", b"sara")),
            (frame(b"\x02\x00", b"unblock", b"omar"), answer(b"\x04\x00", b"0", b"omar")),
            (frame(b"\x03\x00", b"Del", AHMAD), answer(b"\x06\x00", b"Del", AHMAD)),
            (frame(b"\x03\x00", b"Add", MARYAM), answer(b"\x02\x00", b"list", MARYAM + b":0:0")),
        ]
        for request, reply in steps:
            ali.send(request)
            self.assertEqual(ali.packet(), reply)
        for request in (frame(b"\x03\x00", b"Add", b"nobody"), frame(b"\x03\x00", b"Add", b"ali"),
                        frame(b"\x02\x00", b"block", b"nobody")):
            ali.send(request)
        self.assertTrue(ali.quiet())
        ali.close()
        self.wait_for(lambda: not self.control(command="sessions")["sessions"])
        _, contacts = self.login(b"ali", b"ali123")
        self.assertEqual(contacts, b"sara:0:1|omar:0:0|" + MARYAM + b":0:0")

    def test_search(self):
        visitor = self.connect()
        visitor.send(VISITOR_LOGIN)
        visitor.packet(), visitor.packet()
        ali, _ = self.login(b"ali", b"ali123")
        for text, found in [(b"SAR", b"sara"), (b"mar", b"omar"), (b"\xe3\xd1\xed", MARYAM),
                            (VISITOR, VISITOR + b"1"), (b"   ", b""), (b"xyz", b"")]:
            with self.subTest(text=text):
                ali.send(frame(b"\x03\x00", b"Rechercher", text))
                self.assertEqual(ali.packet(), answer(b"\x05\x00", b"Rechercher", found))


class PrivateMessageTest(ClassroomCase):
    def test_delivered_with_escaping_kept(self):
        ali, _ = self.login(b"ali", b"ali123")
        sara, _ = self.login(b"sara", b"sara123")
        ali.packet()                    # sara came online
        text = b"a@arp;b@n;c@l;d <span style=\"font-weight@n;bold;\">\xe3\xd1\xcd\xc8\xc7</span>"
        ali.send(pm(b"sara", text))
        self.assertEqual(sara.packet(), answer(b"\x07\x00", b"pm", b"ali|" + text))
        self.assertEqual(ali.packet(), answer(b"\x07\x00", b"ok", b"sara"))
        [entry] = self.log("pm")
        self.assertEqual(entry["text"], 'a@b:c|d <span style="font-weight:bold;">مرحبا</span>')

    def test_undelivered(self):
        omar, _ = self.login(b"omar", b"omar123")
        ali, _ = self.login(b"ali", b"ali123")
        omar.packet()                   # ali came online
        sara, _ = self.login(b"sara", b"sara123")
        ali.packet()
        self.control(command="scripted-login", user="مريم")
        sara.packet()
        cases = [
            ("offline", omar, b"sara@arp;x", b"non", b"sara@x"),
            ("blocked by the receiver", omar, b"ali", b"block", b"ali"),
            ("receiver takes its contacts only", sara, MARYAM, b"lock", MARYAM),
        ]
        for label, sender, peer, word, body in cases:
            with self.subTest(label):
                sender.send(pm(peer, b"hello"))
                self.assertEqual(sender.packet(), answer(b"\x07\x00", word, body))
        self.assertTrue(ali.quiet())
        self.assertEqual(self.control(command="inbox", user="مريم")["packets"][2:], [])

    def test_scripted_user_both_ways(self):
        ali, _ = self.login(b"ali", b"ali123")
        self.assertEqual(self.control(command="scripted-login", user="أحمد")["replaced"], False)
        self.assertEqual(ali.packet(), answer(b"\x03\x00", b"stat", AHMAD + b":1:0"))
        reply = self.control(**{"command": "pm", "from": "أحمد", "to": "ali", "text": "مرحبا|1"})
        self.assertEqual(reply["status"], "ok")
        self.assertEqual(ali.packet(), answer(b"\x07\x00", b"pm", AHMAD + b"|\xe3\xd1\xcd\xc8\xc7@l;1"))
        ali.send(pm(AHMAD, b"x@n;y"))
        self.assertEqual(ali.packet(), answer(b"\x07\x00", b"ok", AHMAD))
        inbox = self.control(command="inbox", user="أحمد", clear=True)["packets"]
        self.assertEqual([(p["code"], p["name"]) for p in inbox], [(1, "login"), (2, "list"), (7, "ok"), (7, "pm")])
        self.assertEqual((inbox[3]["from"], inbox[3]["text"]), ("ali", "x:y"))
        self.assertEqual(self.control(command="inbox", user="أحمد")["packets"], [])

    def test_scripted_requests(self):
        ali, _ = self.login(b"ali", b"ali123")
        self.control(command="scripted-login", user="sara")
        ali.packet()
        reply = self.control(command="as", user="sara", code=2, name="block", body="ali")
        self.assertEqual(reply["replies"], [{"code": 4, "name": "1", "body": "ali"}])
        ali.send(pm(b"sara", b"hi"))
        self.assertEqual(ali.packet(), answer(b"\x07\x00", b"block", b"sara"))
        for bad in [{"user": "ali", "code": 2, "name": "block", "body": "x"},
                    {"user": "sara", "code": 2, "name": "blok", "body": "x"},
                    {"user": "sara", "code": 3, "name": "Rechercher", "body": "ab"}]:
            with self.subTest(bad=bad):
                self.assertFalse(self.inst.control(dict(bad, command="as"))["ok"])


class DropTest(ClassroomCase):
    def test_drop_closes_the_connection_and_tells_contacts(self):
        ali, _ = self.login(b"ali", b"ali123")
        sara, _ = self.login(b"sara", b"sara123")
        self.control(command="drop", user="ali")
        self.assertTrue(ali.closed())
        self.assertEqual(sara.packet(), answer(b"\x03\x00", b"stat", b"ali:0:0"))
        self.assertEqual([s["user"] for s in self.control(command="sessions")["sessions"]], ["sara"])
        self.wait_for(lambda: self.log("disconnect", by="server", user="ali"))

    def test_unknown_user(self):
        self.assertFalse(self.inst.control({"command": "drop", "user": "ali"})["ok"])
        self.assertFalse(self.inst.control({"command": "scripted-login", "user": "nobody"})["ok"])


class MalformedTest(ClassroomCase):
    CASES = [
        ("marker", "chat", TEST[:6] + b"KW.TOVEX" + TEST[14:], "marker"),
        ("name padded with NUL", "chat", TEST[:18] + b"\x00" * 28, "byte 00"),
        ("name not at the start", "chat", TEST[:14] + b"  test" + SP * 26, "does not start"),
        ("negative length", "chat", b"\x2d\x00\xff\xff\xff\xff" + TEST[6:], "out of range"),
        ("length above 1 MiB", "chat", b"\x2d\x00\x01\x00\x10\x00" + TEST[6:], "out of range"),
        ("length below the body", "chat", TEST + b"x" + TEST, "marker"),
        ("length beyond the body", "chat", frame(b"\x03\x00", b"Del", b"ali")[:-1], "2 bytes into a body of 3"),
        ("cut header", "chat", TEST[:10], "inside a header"),
        ("unknown name", "chat", frame(b"\x02\x00", b"blok", b"ali"), "not a request"),
        ("body where none is", "chat", frame(b"\x2d\x00", b"test", b"1"), "carries a body"),
        ("UTF-8 body not UTF-8", "directory", frame(b"\xfd\xff", b"zaire", b"\xd3\xe3"), "not UTF-8"),
        ("CP-1256 body in UTF-8", "chat",
         frame(b"\x03\x00", b"Rechercher", b"\xd8\xb9\xd9\x84\xd9\x8a"), "UTF-8, not CP-1256"),
        ("visitor directory body", "directory", frame(b"\xfd\xff", b"zaire", b"Linux"), "not 'MacOS'"),
        ("visitor login body", "chat", frame(b"\xfe\xff", b"", b"nickname:x|Password:x|stat:1|Os:MacOS"),
         "visitor login body"),
        ("member login body", "chat", frame(b"\x01\x00", b"", b"nickname:ali|Password:ali123|stat:1"),
         "member login body"),
        ("short search", "chat", frame(b"\x03\x00", b"Rechercher", b"ab"), "shorter than 3"),
        ("message without separator", "chat", frame(b"\x04\x00", b"pm", b"sara"), "has 0 | instead of 1"),
        ("message not escaped", "chat", pm(b"sara", b"a|b"), "has 2 | instead of 1"),
        ("colon not escaped", "chat", pm(b"sara", b"font-weight:bold;"), "is not escaped"),
        ("at sign not escaped", "chat", pm(b"sara", b"a@b"), "is not escaped"),
        ("request before login", "chat", frame(b"\x02\x00", b"block", b"sara"), "before the login"),
        ("directory request on chat", "chat", VISITOR_DIRECTORY, "sent to the chat server"),
        ("login on the directory", "directory", VISITOR_LOGIN, "sent to the directory server"),
    ]

    def test_each_is_a_fault(self):
        self.faults_expected = True
        for label, service, data, message in self.CASES:
            with self.subTest(label):
                del self.inst.faults[:]
                peer = self.connect(service)
                peer.send(data)
                peer.sock.shutdown(socket.SHUT_WR)
                self.wait_for(lambda: self.inst.faults)
                self.assertIn(message, self.inst.faults[0])
                self.assertTrue(self.log("fault", message=self.inst.faults[0].split(": ", 1)[1]))
                self.assertTrue(peer.closed())

    def test_second_login_on_one_connection(self):
        self.faults_expected = True
        peer, _ = self.login(b"ali", b"ali123")
        peer.send(member_login(b"sara", b"sara123"))
        self.wait_for(lambda: self.inst.faults)
        self.assertIn("second login", self.inst.faults[0])


class ProgramTest(unittest.TestCase):
    def test_program_serves_both_ports_and_logs(self):
        process = subprocess.Popen([sys.executable, os.path.join(HERE, "institute.py"), "--keepalive", "0.1"],
                                   stdout=subprocess.PIPE, stderr=subprocess.PIPE)
        self.addCleanup(end_institute, process)
        line = process.stdout.readline().decode()
        self.assertTrue(line.startswith("READY "), line)
        ports = json.loads(line[6:])
        self.assertLessEqual({"directory", "chat", "control"}, set(ports))

        directory = Peer(ports["directory"])
        self.addCleanup(directory.close)
        directory.send(VISITOR_DIRECTORY)
        chat_port = int(directory.packet()[46:].split(b"|")[2].split(b":")[1])
        self.assertEqual(chat_port, ports["chat"])
        chat = Peer(chat_port)
        self.addCleanup(chat.close)
        chat.send(VISITOR_LOGIN)
        self.assertEqual(chat.packet()[:2], b"\x01\x00")
        self.assertEqual(chat.packet()[:2], b"\x02\x00")
        self.assertEqual(chat.packet(), b"\x2d\x00\x01\x00\x00\x00" + MARK + b"test" + SP * 28 + b"1")

        def http(path, command=None):
            data = json.dumps(command).encode() if command is not None else None
            with urllib.request.urlopen("http://127.0.0.1:%d%s" % (ports["control"], path), data, WAIT) as reply:
                return json.loads(reply.read())

        self.assertEqual([s["user"] for s in http("/control", {"command": "sessions"})["sessions"]], ["زائر1"])
        logins = [e for e in http("/log") if e["kind"] == "packet" and e["code"] == -2]
        self.assertEqual(logins[0]["hex"], VISITOR_LOGIN.hex())
        self.assertEqual(logins[0]["body"], "nickname:سمرل|Password:سمرل|stat:1|Os:MacOS")
        self.assertEqual(http("/errors"), [])


if __name__ == "__main__":
    unittest.main()
