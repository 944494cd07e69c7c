"""Groups and rooms on the chat server: lists, entry and refusals, the room
list, lines, whispers, departures, the microphone queue, hands, moderation,
live broadcast and blackboard, malformed room requests, scripted users."""

import socket
import unittest

import classroom
from test_classroom import ClassroomCase, MARK, SP, answer, frame, member_login

CP = "cp1256"
PASSWORDS = {account[0]: account[1] for account in classroom.DEMO_ACCOUNTS}


def cp(text):
    return text.encode(CP)


def request(code, name, body=b""):
    """A room request as the client writes it; code as a number."""
    return frame(code.to_bytes(2, "little", signed=True), name, body)


ALI_SAYS = request(7, b"all", b"ali|1|<b>hi@n; a@arp;b@l;c</b>")


class RoomCase(ClassroomCase):
    def member(self, user, password):
        peer, _ = self.login(user.encode(CP), password.encode(CP))
        return peer

    def next(self, peer):
        """The next packet other than presence (3) and keep-alive (45): (code, name, body)."""
        while True:
            data = peer.packet()
            code = int.from_bytes(data[:2], "little", signed=True)
            if code not in (3, 45):
                return code, data[14:46].rstrip(b" ").decode("ascii"), data[46:].decode(CP)

    def expect(self, peer, code, name, body):
        self.assertEqual(self.next(peer), (code, name, body))

    def enter(self, peer, room, admin="", lock=""):
        peer.send(request(6, b"entre", cp("%d|pwd_admin:%s|pwd_lock:%s" % (room, admin, lock))))
        code, name, body = self.next(peer)
        self.assertEqual((code, name), (10, "Lst_room"), body)
        return body

    def scripted(self, user, room=None, **entry):
        self.control(command="scripted-login", user=user)
        if room is not None:
            self.assertIsNone(self.control(command="enter", user=user, room=room, **entry)["refused"])
        self.control(command="inbox", user=user, clear=True)

    def inbox(self, user):
        packets = self.control(command="inbox", user=user, clear=True)["packets"]
        return [(p["code"], p["name"], p["body"]) for p in packets if p["code"] not in (3, 45)]

    def room(self, room_id):
        for group in self.control(command="rooms")["groups"]:
            for room in group["rooms"]:
                if room["id"] == room_id:
                    return room
        self.fail("no room %d" % room_id)


class ListTest(RoomCase):
    def test_groups_and_their_rooms(self):
        ali = self.member("ali", "ali123")
        ali.send(request(5, b"Group"))
        self.assertEqual(ali.packet(), answer(b"\x08\x00", b"Group", cp(
            "1:الحلقات العامة|2:حلقات العلوم|3:حلقات الإدارة")))
        ali.send(request(5, b"Rooms", cp("1:الحلقات العامة")))
        self.assertEqual(ali.packet(), answer(b"\x08\x00", b"Rooms", cp(
            "1:المجلس العام:0:0|2:حلقة التجويد:0:0|3:حلقة خاصة:0:1")))
        ali.send(request(5, b"Rooms", b"9:x"))
        self.assertEqual(ali.packet(), answer(b"\x08\x00", b"Rooms"))

    def test_head_count_follows_entries(self):
        self.scripted("sara", 5)
        self.scripted("omar", 5)
        ali = self.member("ali", "ali123")
        ali.send(request(5, b"Rooms", cp("2:حلقات العلوم")))
        self.expect(ali, 8, "Rooms", "4:حلقة الفيزياء:0:0|5:حلقة الرياضيات:2:0")

    def test_an_empty_group(self):
        self.server.rooms.add_group("فارغة", 9)
        ali = self.member("ali", "ali123")
        ali.send(request(5, b"Rooms", cp("9:فارغة")))
        self.assertEqual(ali.packet(), answer(b"\x08\x00", b"Rooms"))


class EntryTest(RoomCase):
    def test_room_list_with_every_user_field(self):
        self.scripted("sara", 1)
        ali = self.member("ali", "ali123")
        body = self.enter(ali, 1)
        self.assertEqual(body, "id:1|name:المجلس العام|owner:|banner:@n;عنوان@n;مرحبا بكم في المجلس العام"
                               "@n;ن@n;|sabora:0|max:200|count:2|lock:0|group:1|mobachir:0||"
                               "nick:sara|admin:0|type:2|red:0|cam:0|mic:0|man:0|nomic:0<>"
                               "nick:ali|admin:0|type:1|red:0|cam:0|mic:0|man:0|nomic:0")
        self.assertEqual(self.inbox("sara"), [(10, "Lst_user", "id:1|nick:ali|type:1|admin:0|nomic:0|red:0")])

    def test_states_appear_in_the_room_list(self):
        self.scripted("ostad", 2)
        self.scripted("sara", 2)
        self.scripted("omar", 2)
        self.control(command="act", user="ostad", room=2, word="mic")
        self.control(command="act", user="sara", room=2, word="man")
        self.control(command="act", user="ostad", room=2, word="Reddot", target="omar")
        self.control(command="act", user="ostad", room=2, word="Mobachir", kind="video")
        self.control(command="act", user="ostad", room=2, word="sabora")
        ali = self.member("ali", "ali123")
        room, users = self.enter(ali, 2).split("||")
        self.assertEqual(room.split("|")[2:5], ["owner:ostad", "banner:درس التجويد كل يوم @n;وميض@n;"
                                                "مباشر@n;ض@n; مع الأستاذ", "sabora:1"])
        self.assertEqual(room.split("|")[9], "mobachir:1")
        self.assertEqual(users.split("<>")[:3], [
            "nick:ostad|admin:1|type:-101|red:0|cam:1|mic:1|man:0|nomic:0",
            "nick:sara|admin:0|type:2|red:0|cam:0|mic:0|man:1|nomic:0",
            "nick:omar|admin:0|type:3|red:1|cam:0|mic:0|man:0|nomic:0"])

    def test_refusals(self):
        self.control(command="scripted-login", user="ostad")
        self.control(command="enter", user="ostad", room=2)
        self.control(command="room-ban", room=2, user="ostad", final=True)
        self.control(command="room-ban", room=1, user="omar", final=True)      # not there yet
        cases = [
            ("locked room without its password", "ali", 3, "", "", "pwd_lock"),
            ("locked room, wrong password", "ali", 3, "", "SIRR1", "pwd_lock"),
            ("not among the supervisors", "ali", 2, "ostad1", "", "non_admin"),
            ("wrong supervisor password", "أحمد", 2, "bad", "", "pwd_admin"),
            ("visitor in a members' room", None, 4, "", "", "nozowar"),
            ("no such room", "ali", 99, "", "", "noroom"),
            ("banned from the room", "ostad", 2, "", "", "ban"),
            ("banned before entering", "omar", 1, "", "", "ban"),
        ]
        for label, user, room, admin, lock, word in cases:
            with self.subTest(label):
                reply = self.control(command="scripted-login", **({"user": user} if user else {}))
                result = self.control(command="enter", user=reply["user"], room=room, admin=admin, lock=lock)
                self.assertEqual(result["refused"], word)
                self.assertEqual(result["replies"][-1], {"code": 9, "name": word, "body": ""})
        self.assertEqual([m["user"] for m in self.room(3)["members"]], [])

    def test_admitted(self):
        cases = [
            ("locked room with its password", "ali", 3, "", "sirr1", 0),
            ("supervisor password", "أحمد", 2, "ostad1", "", 1),
            ("the room's teacher", "ostad", 2, "", "", 1),
            ("teacher of a members' room", "أحمد", 4, "", "", 1),
            ("open room", "omar", 1, "", "", 0),
        ]
        for label, user, room, admin, lock, supervisor in cases:
            with self.subTest(label):
                peer = self.member(user, PASSWORDS[user])
                _, users = self.enter(peer, room, admin, lock).split("||")
                self.assertIn("nick:%s|admin:%d|" % (user, supervisor), users)

    def test_refusal_word_for_the_next_entry(self):
        ali = self.member("ali", "ali123")
        self.control(command="refuse-entry", word="full", user="ali")
        ali.send(request(6, b"entre", b"1|pwd_admin:|pwd_lock:"))
        self.assertEqual(ali.packet(), answer(b"\x09\x00", b"full"))
        self.enter(ali, 1)

    def test_entering_again_refreshes_and_can_make_a_supervisor(self):
        self.scripted("sara", 2)
        peer = self.member("أحمد", "ahmad123")
        self.enter(peer, 2)
        peer.send(request(8, b"man", b"2"))
        self.expect(peer, 13, "man", "أحمد|2|0|0")
        self.assertEqual(self.inbox("sara"), [(10, "Lst_user", "id:2|nick:أحمد|type:-101|admin:0|nomic:0|red:0"),
                                              (13, "man", "أحمد|2|0|0")])
        _, users = self.enter(peer, 2, admin="ostad1").split("||")
        self.assertEqual(users.count("nick:أحمد"), 1)
        self.assertIn("nick:أحمد|admin:1|type:-101|red:0|cam:0|mic:0|man:1|", users)
        # The others' new row of the user gets its raised hand back.
        self.assertEqual(self.inbox("sara"), [(10, "Lst_user", "id:2|nick:أحمد|type:-101|admin:1|nomic:0|red:0"),
                                              (13, "man", "أحمد|2|0|0")])


class DepartureTest(RoomCase):
    def test_sorte_disconnect_drop_and_login_elsewhere(self):
        self.scripted("sara", 1)
        ways = [
            ("sorte", lambda peer: peer.send(request(6, b"sorte", b"1"))),
            ("disconnect", lambda peer: peer.sock.shutdown(socket.SHUT_RDWR)),
            ("drop", lambda peer: self.control(command="drop", user="ali")),
            ("login elsewhere", lambda peer: self.control(command="login-elsewhere", user="ali")),
        ]
        for label, leave in ways:
            with self.subTest(label):
                ali = self.member("ali", "ali123")
                self.enter(ali, 1)
                self.inbox("sara")
                leave(ali)
                self.wait_for(lambda: (11, "sorte", "ali|1") in self.inbox("sara"))
                self.assertEqual([m["user"] for m in self.room(1)["members"]], ["sara"])
                if label == "login elsewhere":
                    self.control(command="drop", user="ali")

    def test_speaker_leaving_hands_the_microphone_on(self):
        self.scripted("sara", 1)
        self.scripted("omar", 1)
        self.control(command="act", user="sara", room=1, word="mic")
        self.control(command="act", user="omar", room=1, word="mic")
        self.inbox("omar")
        self.control(command="leave", user="sara", room=1)
        self.assertEqual(self.inbox("omar"), [(11, "sorte", "sara|1"), (13, "mic", "omar|1|0|0")])


class LineTest(RoomCase):
    def test_line_reaches_every_member_and_its_sender(self):
        self.scripted("sara", 1)
        self.scripted("omar", 2)
        ali = self.member("ali", "ali123")
        self.enter(ali, 1)
        self.inbox("sara")
        ali.send(ALI_SAYS)
        echo = answer(b"\x0c\x00", b"all", b"ali|1|<b>hi@n; a@arp;b@l;c</b>")
        self.assertEqual(ali.packet(), echo)
        self.assertEqual(self.inbox("sara"), [(12, "all", "ali|1|<b>hi@n; a@arp;b@l;c</b>")])
        self.assertEqual(self.inbox("omar"), [])
        [entry] = self.log("room", event="line")
        self.assertEqual(entry["text"], "<b>hi: a@b|c</b>")

    def test_scripted_line_and_sender_escaped(self):
        ali = self.member("ali", "ali123")
        self.enter(ali, 1)
        self.scripted("مريم", 1)
        self.next(ali)                                   # Lst_user
        self.control(command="say", user="مريم", room=1, text="سلام: a|b")
        self.expect(ali, 12, "all", "مريم|1|سلام@n; a@l;b")

    def test_whisper_to_one_user(self):
        self.scripted("sara", 1)
        self.scripted("omar", 1)
        ali = self.member("ali", "ali123")
        self.enter(ali, 1)
        ali.send(request(7, b"wisbar", b"ali|sara|1|psst@n; x"))
        whisper = (12, "wisbar", "ali|sara|1|psst@n; x")
        self.expect(ali, *whisper)
        self.assertEqual(self.inbox("sara")[-2:], [(10, "Lst_user", "id:1|nick:ali|type:1|admin:0|nomic:0|red:0"), whisper])
        self.assertEqual(self.inbox("omar"), [(10, "Lst_user", "id:1|nick:ali|type:1|admin:0|nomic:0|red:0")])
        # To oneself: one packet; to someone outside the room: none.
        ali.send(request(7, b"wisbar", b"ali|ali|1|me"))
        self.expect(ali, 12, "wisbar", "ali|ali|1|me")
        ali.send(request(7, b"wisbar", b"ali|nobody|1|x"))
        self.assertTrue(ali.quiet())

    def test_red_dot_keeps_lines_in(self):
        self.scripted("ostad", 2)
        ali = self.member("ali", "ali123")
        self.enter(ali, 2)
        self.control(command="act", user="ostad", room=2, word="Reddot", target="ali")
        self.expect(ali, 13, "NoMic", "ali|2|0|0|0|0|1")
        self.inbox("ostad")
        ali.send(request(7, b"all", b"ali|2|x"))
        ali.send(request(7, b"wisbar", b"ali|ostad|2|x"))
        self.wait_for(lambda: len(self.log("room", event="refused")) == 2)
        self.assertEqual(self.inbox("ostad"), [])

    def test_title_change_reaches_the_members(self):
        self.scripted("sara", 1)
        self.control(command="room-set", room=1, name="المجلس الكبير", owner="ostad", banner="a:b|c")
        self.assertEqual(self.inbox("sara"), [(12, "ChangeTitle", "1|المجلس الكبير|ostad|a@n;b@l;c")])
        self.control(command="room-set", room=1, limit=10)
        self.assertEqual(self.inbox("sara"), [])


class MicrophoneTest(RoomCase):
    def test_queue_in_an_open_room(self):
        self.scripted("sara", 1)
        ali = self.member("ali", "ali123")
        self.enter(ali, 1)
        ali.send(request(8, b"mic", b"1"))
        self.expect(ali, 13, "mic", "ali|1|0|0")
        self.control(command="act", user="sara", room=1, word="mic")
        self.expect(ali, 13, "man", "sara|1|0|0")
        self.assertEqual(self.room(1)["queue"], ["sara"])
        ali.send(request(8, b"mic-no", b"1"))
        self.expect(ali, 13, "mic-no", "ali|1|0|0|0")
        self.expect(ali, 13, "mic", "sara|1|0|0")
        # Waiting stops with "mic-no" too.
        ali.send(request(8, b"mic", b"1"))
        self.expect(ali, 13, "man", "ali|1|0|0")
        ali.send(request(8, b"mic-no", b"1"))
        self.expect(ali, 13, "man-no", "ali|1|0|0")
        self.assertEqual(self.room(1)["queue"], [])

    def test_hands(self):
        ali = self.member("ali", "ali123")
        self.enter(ali, 1)
        ali.send(request(8, b"man", b"1"))
        self.expect(ali, 13, "man", "ali|1|0|0")
        ali.send(request(8, b"man", b"1"))              # already up: nothing
        ali.send(request(8, b"man-no", b"1"))
        self.expect(ali, 13, "man-no", "ali|1|0|0")
        ali.send(request(8, b"man-no", b"1"))
        self.assertTrue(ali.quiet())

    def test_teacher_grants_the_microphone(self):
        self.scripted("ostad", 2)
        ali = self.member("ali", "ali123")
        self.enter(ali, 2)
        ali.send(request(8, b"mic", b"2"))               # a lesson: asking raises the hand
        self.expect(ali, 13, "man", "ali|2|0|0")
        self.control(command="act", user="ostad", room=2, word="ettMic", target="ali")
        self.expect(ali, 13, "NoMic", "ali|2|0|0|1|0|0")
        self.expect(ali, 13, "mic", "ali|2|0|0")
        ali.send(request(8, b"mic-no", b"2"))
        self.expect(ali, 13, "mic-no", "ali|2|0|0|0")
        ali.send(request(8, b"mic", b"2"))               # the turn was used
        self.expect(ali, 13, "man", "ali|2|0|0")
        self.control(command="act", user="ostad", room=2, word="mic")
        self.expect(ali, 13, "mic", "ostad|2|0|0")       # supervisors speak at once

    def test_moderation(self):
        self.scripted("ostad", 2)
        ali = self.member("ali", "ali123")
        self.enter(ali, 2)
        self.control(command="act", user="ostad", room=2, word="ettMic", target="ali")
        self.expect(ali, 13, "NoMic", "ali|2|0|0|0|0|0")
        ali.send(request(8, b"mic", b"2"))
        self.expect(ali, 13, "mic", "ali|2|0|0")
        steps = [
            ("ettNoMic", [(13, "NoMic", "ali|2|0|1|0|0|0")]),     # the microphone taken away
            ("Reddot", [(13, "NoMic", "ali|2|0|1|0|0|1")]),
            ("UnReddot", [(13, "NoMic", "ali|2|0|1|0|0|0")]),
            ("ettMic", [(13, "NoMic", "ali|2|0|0|0|0|0")]),
        ]
        for word, packets in steps:
            with self.subTest(word):
                self.control(command="act", user="ostad", room=2, word=word, target="ali")
                for packet in packets:
                    self.expect(ali, *packet)
        self.assertIsNone(self.room(2)["speaker"])
        # Barred users ask in vain.
        self.control(command="act", user="ostad", room=2, word="Reddot", target="ali")
        self.next(ali)
        ali.send(request(8, b"mic", b"2"))
        self.assertTrue(ali.quiet())

    def test_only_supervisors_moderate_and_switch(self):
        self.scripted("sara", 2)
        ali = self.member("ali", "ali123")
        self.enter(ali, 2)
        for name, body in [(b"Reddot", b"2|sara"), (b"ettNoMic", b"2|sara"), (b"sabora", b"2|null"),
                           (b"Mobachir", b"2|audio")]:
            ali.send(request(8, name, body))
        self.wait_for(lambda: len(self.log("room", event="refused")) == 4)
        self.assertTrue(ali.quiet())
        self.assertEqual(self.inbox("sara"), [(10, "Lst_user", "id:2|nick:ali|type:1|admin:0|nomic:0|red:0")])

    def test_live_broadcast_and_blackboard(self):
        self.scripted("sara", 2)
        teacher = self.member("ostad", "ostad123")
        self.enter(teacher, 2)
        teacher.send(request(8, b"Mobachir", b"2|video"))
        self.expect(teacher, 13, "mobachir", "1|2")
        self.expect(teacher, 13, "cam", "ostad|2|0")
        teacher.send(request(8, b"sabora", b"2|null"))
        self.expect(teacher, 13, "sabora", "1|2")
        teacher.send(request(8, b"Mobachir-no", b"2|video"))
        self.expect(teacher, 13, "mobachir", "0|2")
        self.expect(teacher, 13, "cam-no", "ostad|2|0")
        teacher.send(request(8, b"sabora-no", b"2|null"))
        self.expect(teacher, 13, "sabora", "0|2")
        self.assertEqual([p[:2] for p in self.inbox("sara")][1:],
                         [(13, "mobachir"), (13, "cam"), (13, "sabora"), (13, "mobachir"), (13, "cam-no"),
                          (13, "sabora")])

    def test_scripted_camera(self):
        ali = self.member("ali", "ali123")
        self.enter(ali, 1)
        self.scripted("sara", 1)
        self.next(ali)
        self.control(command="cam", user="sara", room=1, on=True)
        self.expect(ali, 13, "cam", "sara|1|0")
        self.control(command="cam", user="sara", room=1, on=False)
        self.expect(ali, 13, "cam-no", "sara|1|0")


class MalformedRoomTest(RoomCase):
    CASES = [
        ("rooms without group name", request(5, b"Rooms", b"1"), "is not <group id>:<group name>"),
        ("entry password with |", request(6, b"entre", b"3|pwd_admin:|pwd_lock:a|b"), "passwords without"),
        ("entry password with :", request(6, b"entre", b"3|pwd_admin:|pwd_lock:a:b"), "passwords without"),
        ("admin password with :", request(6, b"entre", b"2|pwd_admin:a:b|pwd_lock:"), "passwords without"),
        ("entry without its keys", request(6, b"entre", b"3||"), "passwords without"),
        ("departure without room id", request(6, b"sorte", b"x"), "is not a room id"),
        ("line without room id", request(7, b"all", b"ali|x|hi"), "no room id"),
        ("line not escaped", request(7, b"all", b"ali|1|a:b"), "is not escaped"),
        ("line of another user", request(7, b"all", b"sara|1|hi"), "sent as 'sara'"),
        ("whisper not escaped", request(7, b"wisbar", b"ali|sara|1|a:b"), "is not escaped"),
        ("empty whisper", request(7, b"wisbar", b"ali|sara|1|"), "whispers nothing"),
        ("whisper of another user", request(7, b"wisbar", b"sara|ali|1|x"), "sent as 'sara'"),
        ("whisper without room", request(7, b"wisbar", b"ali|sara"), "is not <me>"),
        ("microphone with room name", request(8, b"mic", b"1|x"), "is not a room id"),
        ("live of unknown kind", request(8, b"Mobachir", b"1|radio"), "audio or"),
        ("blackboard without null", request(8, b"sabora", b"1"), "|null"),
        ("red dot without nickname", request(8, b"Reddot", b"1"), "<room id>|<nickname>"),
        ("red dot with the mark", request(8, b"Reddot", b"1|@ostad"), "with its supervisor mark"),
    ]

    def test_each_is_a_fault(self):
        self.faults_expected = True
        self.scripted("ostad", 1)
        for label, data, message in self.CASES:
            with self.subTest(label):
                del self.inst.faults[:]
                ali = self.member("ali", "ali123")
                ali.send(data)
                self.wait_for(lambda: self.inst.faults)
                self.assertIn(message, self.inst.faults[0])
                ali.close()
                self.peers.remove(ali)
                self.wait_for(lambda: "ali" not in [s["user"] for s in self.control(command="sessions")["sessions"]])

    def test_scripted_requests_are_checked_alike(self):
        self.scripted("sara", 1)
        for bad in [{"command": "say", "user": "sara", "room": 7, "text": "x"},
                    {"command": "enter", "user": "sara", "room": 3, "lock": "a|b"},
                    {"command": "act", "user": "sara", "room": 1, "word": "Reddot", "target": "a|b"},
                    {"command": "act", "user": "sara", "room": 1, "word": "shout"},
                    {"command": "as", "user": "sara", "code": 7, "name": "all", "body": "ali|1|x"},
                    {"command": "room-set", "room": 1, "name": "a:b"},
                    {"command": "room-set", "room": 1, "password": "a|b"},
                    {"command": "whisper", "user": "sara", "to": "ali", "room": 1, "text": ""}]:
            with self.subTest(bad=bad):
                self.assertFalse(self.inst.control(bad)["ok"])


if __name__ == "__main__":
    unittest.main()
