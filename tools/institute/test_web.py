"""Unit tests of the web endpoint (python3 -m unittest test_web, from this folder)."""

import argparse
import http.client
import os
import socket
import sys
import threading
import time
import unittest
import urllib.error
import urllib.parse
import urllib.request

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))

import classroom  # noqa: E402
import exam  # noqa: E402
import web  # noqa: E402
from endpoint_case import WAIT  # noqa: E402


class FakeInstitute:
    def __init__(self):
        self.lock = threading.RLock()
        self.entries = []
        self.faults = []
        self.ports = {"directory": 4321, "stream": 8765}

    def record(self, service, kind, **fields):
        with self.lock:
            self.entries.append(dict(service=service, kind=kind, **fields))

    def fault(self, service, message):
        self.faults.append(message)


class WebCase(unittest.TestCase):
    def setUp(self):
        self.institute = FakeInstitute()
        parser = argparse.ArgumentParser()
        web.add_arguments(parser)
        ports = web.start(self.institute, "127.0.0.1", parser.parse_args([]))
        self.institute.ports.update(ports)
        self.port = ports["web"]

    def tearDown(self):
        web.control(self.institute, {"command": "web-reset"})

    def get(self, path, timeout=WAIT):
        url = "http://127.0.0.1:%d%s" % (self.port, path)
        with urllib.request.urlopen(url, timeout=timeout) as reply:
            return reply.status, reply.read()

    def control(self, **command):
        reply = web.control(self.institute, command)
        self.assertTrue(reply["ok"], reply)
        return reply

    def entries(self):
        status, body = self.get("/velmar.php?Code=info")
        self.assertEqual(status, 200)
        text = body.decode("utf-8")
        self.assertTrue(text.startswith("<|") and text.endswith("|>"), text)
        return [e.split("|") for e in text[2:-2].split("||")]

    def get_reply(self, path):
        url = "http://127.0.0.1:%d%s" % (self.port, path)
        with urllib.request.urlopen(url, timeout=WAIT) as reply:
            return reply.status, reply.headers["Content-Type"], reply.read()


class WebTest(WebCase):
    def test_entry_list_points_at_the_institute(self):
        entries = self.entries()
        self.assertEqual(len(entries), 3)
        for n, fields in enumerate(entries, 1):
            self.assertEqual(len(fields), 16)
            self.assertEqual(fields[1], "127.0.0.1")
            self.assertEqual(fields[2], "4321")
            self.assertEqual(fields[3], "http://127.0.0.1:%d/site%d/" % (self.port, n))
            self.assertEqual(fields[6], "site%d" % n)
            self.assertEqual(fields[10], "0")
            self.assertEqual(fields[12], "http://127.0.0.1:8765")
        self.assertEqual(entries[0][0], "قاعة الأطلس::Atlas")

    def test_every_request_is_logged(self):
        self.get("/velmar.php?Code=info")
        self.get("/velmar.php?Ver=MacOS")
        paths = [e["path"] for e in self.institute.entries if e["service"] == "web"]
        self.assertEqual(paths, ["/velmar.php?Code=info", "/velmar.php?Ver=MacOS"])

    def test_pictures_of_the_entries_are_served(self):
        for fields in self.entries():
            for name in (fields[7], fields[11]):
                status, body = self.get("/%s/%s" % (fields[6], name))
                self.assertEqual(status, 200)
                self.assertTrue(body.startswith(b"\x89PNG\r\n\x1a\n"))

    def chat_file(self, name):
        with open(os.path.join(os.path.dirname(os.path.abspath(__file__)), "chat", name), "rb") as f:
            return f.read()

    def test_conversation_files_of_every_entry(self):
        self.control(command="web-entries", count=4)
        for fields in self.entries():
            web = urllib.parse.urlsplit(fields[3]).path
            status, kind, body = self.get_reply(web + "chat/list.css")
            self.assertEqual((status, kind), (200, "text/css; charset=utf-8"))
            self.assertEqual(body, self.chat_file("list.css"))
            self.assertIn(b".messagebox", body)
            status, kind, body = self.get_reply(web + "chat/chat.js")
            self.assertEqual((status, kind), (200, "application/javascript; charset=utf-8"))
            self.assertEqual(body, self.chat_file("chat.js"))
            for name in (b"window.playerUpdate = function (play)",
                         b"window.outputUpdate = function (volume)"):
                self.assertIn(name, body)
        paths = [e["path"] for e in self.institute.entries if e["service"] == "web"]
        self.assertIn("/site4/chat/chat.js", paths)
        self.assertEqual(self.institute.faults, [])

    def test_conversation_files_follow_the_web_path(self):
        self.control(command="web-entries",
                     override={"1": {"3": "http://127.0.0.1:%d/velmar/room/" % self.port}})
        self.assertEqual(self.get("/velmar/room/chat/list.css")[0], 200)
        self.assertEqual(self.get("/site1/chat/chat.js")[0], 200)
        for path in ("/site2/chat/list.css",      # the entry's path moved away
                     "/site9/chat/list.css",      # no such entry
                     "/velmar/chat/list.css",     # not a web path
                     "/site1/chat/other.js",
                     "/site1/chat/../chat/list.css",
                     "/site1/list.css",
                     "/chat/list.css"):
            with self.assertRaises(urllib.error.HTTPError) as caught:
                self.get(path)
            self.assertEqual(caught.exception.code, 404, path)
        # A raw entry list gives the web paths it lists, and only those.
        self.control(command="web-entries", raw="<|a|h|1|http://h/raw/||b|h|1|>")
        self.assertEqual(self.get("/raw/chat/chat.js")[0], 200)
        with self.assertRaises(urllib.error.HTTPError):
            self.get("/site1/chat/list.css")

    def test_unknown_paths_are_not_found(self):
        for path in ("/site1/missing.png", "/site1/..png", "/other", "/site1/../web.py"):
            with self.assertRaises(urllib.error.HTTPError) as caught:
                self.get(path)
            self.assertEqual(caught.exception.code, 404, path)

    def exam_post(self, path, items, timeout=WAIT):
        body = "?http://127.0.0.1:%d%s&" % (self.port, path) + "&".join(
            "%s=%s" % (k, urllib.parse.quote(v, safe="")) for k, v in items)
        request = urllib.request.Request(
            "http://127.0.0.1:%d%s" % (self.port, path), data=body.encode(), method="POST",
            headers={"Content-Type": exam.CONTENT_TYPE})
        with urllib.request.urlopen(request, timeout=timeout) as reply:
            return reply.status, reply.read().decode("utf-8")

    def test_exam_page_of_an_entry_reaches_the_exam_service(self):
        parser = argparse.ArgumentParser()
        exam.add_arguments(parser)
        self.institute.ports.update(exam.start(self.institute, "127.0.0.1", parser.parse_args([])))
        items = [("cmd", "infousr"), ("id_user", "101"), ("namegroup", "ali"), ("isgroup", "group1")]
        self.assertEqual(self.exam_post("/site1/imtihan.php", items),
                         (200, "debut|ali<:>ali@velmar.test|fin"))
        # The classroom member of another group account is not found there.
        items[-1] = ("isgroup", "group2")
        self.assertEqual(self.exam_post("/site1/imtihan.php", items), (200, "debut|no user|fin"))
        posts = [e for e in self.institute.entries if e["kind"] == "post" and e["service"] == "exam"]
        self.assertEqual(posts[-1]["url"], "http://127.0.0.1:%d/velmar.php" % self.institute.ports["exam"])
        self.assertEqual(self.institute.faults, [])
        # A dropped post is dropped here too.
        exam.control(self.institute, {"command": "exam-fault", "drop": True})
        with self.assertRaises((urllib.error.URLError, ConnectionError, http.client.HTTPException)):
            self.exam_post("/site1/imtihan.php", items)
        exam.control(self.institute, {"command": "exam-fault"})
        with self.assertRaises(urllib.error.HTTPError) as caught:
            self.exam_post("/site1/other.php", items)
        self.assertEqual(caught.exception.code, 404)
        self.assertEqual(self.institute.faults, ["POST to /site1/other.php"])

    def test_version_record_defaults_and_control(self):
        status, body = self.get("/velmar.php?Ver=MacOS")
        self.assertEqual(body.decode(), "<|3.0.0||dastrel-3.0.0.zip||5.15.8|u|2.0.16|tallivor-2.0.16.zip|>")
        self.control(command="web-versions", client="3.0.1", client_extra="x", exam="2.0.17",
                     exam_data="", mode="n", qt="5.9.0")
        status, body = self.get("/velmar.php?Ver=MacOS")
        self.assertEqual(body.decode(), "<|3.0.1||dastrel-3.0.0.zip|x|5.9.0|n|2.0.17||>")

    def test_entry_knobs(self):
        self.control(command="web-entries", count=4, locked=[1, 3],
                     override={"2": {"6": "../escape", "9": "javascript:x"}})
        entries = self.entries()
        self.assertEqual([e[10] for e in entries], ["0", "1", "0", "1"])
        self.assertEqual(entries[2][6], "../escape")
        self.assertEqual(entries[2][9], "javascript:x")
        self.control(command="web-entries", fields=10)
        self.assertEqual({len(e) for e in self.entries()}, {10})
        self.control(command="web-entries", raw="no markers|at all")
        self.assertEqual(self.get("/velmar.php?Code=info")[1], b"no markers|at all")

    def test_error_status(self):
        self.control(command="web-fault", target="list", mode="status", status=503)
        with self.assertRaises(urllib.error.HTTPError) as caught:
            self.get("/velmar.php?Code=info")
        self.assertEqual(caught.exception.code, 503)
        # The other targets still answer.
        self.assertEqual(self.get("/velmar.php?Ver=MacOS")[0], 200)

    def test_error_status_with_a_good_body(self):
        good = self.get("/velmar.php?Code=info")[1]
        self.control(command="web-fault", target="list", mode="status-body", status=404)
        with self.assertRaises(urllib.error.HTTPError) as caught:
            self.get("/velmar.php?Code=info")
        self.assertEqual((caught.exception.code, caught.exception.read()), (404, good))
        self.assertEqual(self.get("/velmar.php?Ver=MacOS")[0], 200)

    def test_silent_endpoint_answers_nothing_until_cleared(self):
        self.control(command="web-fault", target="version", mode="silent")
        started = time.monotonic()
        with self.assertRaises((socket.timeout, urllib.error.URLError)):
            self.get("/velmar.php?Ver=MacOS", timeout=0.5)
        self.assertGreaterEqual(time.monotonic() - started, 0.4)
        self.assertEqual(self.get("/velmar.php?Code=info")[0], 200)
        self.control(command="web-fault", target="version", mode="none")
        self.assertEqual(self.get("/velmar.php?Ver=MacOS")[0], 200)

    def test_wrong_query_words_are_faults(self):
        self.get("/velmar.php?Code=info")
        self.get("/velmar.php?Ver=MacOS")
        self.assertEqual(self.institute.faults, [])
        self.get("/velmar.php?Ver=Linux")
        self.get("/velmar.php?Code=list")
        self.assertEqual(len(self.institute.faults), 2)

    def test_bad_commands(self):
        self.assertIsNone(web.control(self.institute, {"command": "ping"}))
        self.assertFalse(web.control(self.institute, {"command": "web-fault", "target": "x"})["ok"])


class RoomPagesTest(WebCase):
    """The room pages, served from the chat server's rooms."""

    def setUp(self):
        super().setUp()
        parser = argparse.ArgumentParser()
        classroom.add_arguments(parser)
        self.institute.classroom = classroom.Classroom(self.institute, "127.0.0.1", parser.parse_args([]))

    def chat(self, **command):
        reply = self.institute.classroom.control(command)
        self.assertTrue(reply["ok"], reply)
        return reply

    def page(self, path):
        status, kind, body = self.get_reply(path)
        self.assertEqual((status, kind), (200, "text/html; charset=utf-8"))
        return body.decode("utf-8")

    def test_station_page_of_a_room(self):
        text = self.page("/site1/station.php?Idrom=4")
        self.assertIn('type="application/x-shockwave-flash" data="station.swf?Idrom=4"', text)
        self.assertIn("حلقة الفيزياء", text)
        self.assertIn("البث المباشر جار: صوتي", text)
        self.assertIn("لا يوجد بث مباشر الآن", self.page("/site2/station.php?Idrom=1"))

    def test_pages_of_no_room_are_not_found(self):
        for path in ("/site1/station.php?Idrom=99", "/site1/station.php?Idrom=x", "/site1/station.php",
                     "/site1/station.php?Idrom=1&Idrom=2", "/site1/station.php?Idrom=-1",
                     "/site1/PublicLive.php?idroom=99", "/site1/PublicLive.php?idroom=",
                     "/site1/ghiyab.php?id=abc", "/site9/station.php?Idrom=1", "/station.php?Idrom=1"):
            with self.assertRaises(urllib.error.HTTPError) as caught:
                self.get(path)
            self.assertEqual(caught.exception.code, 404, path)

    def test_room_texts_are_escaped(self):
        self.chat(command="room-set", room=4, name="<script>alert(1)</script>", owner="<b>x</b>",
                  banner="<img src=x onerror=alert(1)>")
        for path in ("/site1/station.php?Idrom=4", "/site1/PublicLive.php?idroom=4",
                     "/site1/PublicLive.php?idroom=0"):
            text = self.page(path)
            self.assertNotIn("<script>", text)
            self.assertNotIn("<img", text)
            self.assertIn("&lt;script&gt;", text)

    def test_public_live_pages(self):
        text = self.page("/site1/PublicLive.php?idroom=0")
        self.assertIn('<a href="PublicLive.php?idroom=4">حلقة الفيزياء</a>', text)
        self.assertNotIn("idroom=1", text)
        text = self.page("/site1/PublicLive.php?idroom=4")
        self.assertIn("أحمد", text)
        self.assertIn(":رسالة:الحلقة للأعضاء فقط:ة:", text)
        self.assertIn("عدد الحاضرين: 0", text)
        self.chat(command="room-set", room=4, mobachir=False)
        self.assertIn("لا يوجد بث مباشر الآن", self.page("/site1/PublicLive.php?idroom=0"))

    def test_attendance_of_a_member(self):
        self.chat(command="scripted-login", user="ali")
        self.assertIn("لا يوجد حضور مسجل", self.page("/site1/ghiyab.php?id=101"))
        self.chat(command="enter", user="ali", room=1)
        self.chat(command="leave", user="ali", room=1)
        self.chat(command="enter", user="ali", room=3, lock="sirr1")
        text = self.page("/site1/ghiyab.php?id=101")
        self.assertEqual(text.count("<tr><td>"), 2)
        self.assertIn("المجلس العام", text)
        self.assertIn("<td>حلقة خاصة</td>", text)
        self.assertIn("ما زال في الحلقة", text)
        self.assertIn("لا يوجد حضور مسجل", self.page("/site1/ghiyab.php?id=102"))
        visitor = self.chat(command="scripted-login")["user"]
        self.chat(command="enter", user=visitor, room=1)
        self.assertIn("لا يوجد حضور مسجل", self.page("/site1/ghiyab.php?id=0"))


if __name__ == "__main__":
    unittest.main()
