"""Administration on the chat server: own permissions after login, groups,
rooms, supervisors, administrators and their permission sets, refusals,
malformed requests, and the day's exam schedule after login."""

import time
import unittest

import administration
import classroom
from test_classroom import ClassroomCase
from test_rooms import RoomCase, cp, request

ALL_OWN = "|".join("%s:1" % key for key in administration.OWN_KEYS)
NONE_OWN = "|".join("%s:0" % key for key in administration.OWN_KEYS)


def save_body(nick, *granted):
    return nick + "::" + "|".join("%s:%d" % (k, k in granted) for k in administration.SET_KEYS)


def room_body(rid, gid, name, owner="", limit="200", banner="", password="", admin=""):
    return "|".join(["%s:::" % rid, str(gid), name, owner, limit, banner, "1", password, admin])


class AdminCase(RoomCase):
    def setUp(self):
        super().setUp()
        self.scripted("مدير")
        self.scripted("ali")

    def ask(self, user, code, name, body=""):
        """The replies to one request of a scripted user, (code, name, body) each."""
        replies = self.control(command="as", user=user, code=code, name=name, body=body)["replies"]
        return [(r["code"], r["name"], r["body"]) for r in replies]


class OwnPermissionsTest(AdminCase):
    def test_administrator_gets_its_permissions_after_login(self):
        self.control(command="scripted-login", user="مدير")
        packets = self.control(command="inbox", user="مدير")["packets"]
        self.assertEqual([(p["code"], p["name"], p["body"]) for p in packets if p["code"] == 16],
                         [(16, "pouvoirs", ALL_OWN)])
        self.assertNotIn("new_room", ALL_OWN)
        self.assertIn("create_room:1", ALL_OWN)

    def test_others_get_none(self):
        self.control(command="scripted-login", user="ali")
        self.assertEqual([p for p in self.control(command="inbox", user="ali")["packets"]
                          if p["code"] == 16], [])

    def test_member_login_on_the_wire(self):
        peer = self.member("مدير", "admin123")
        self.assertEqual(self.next(peer), (16, "pouvoirs", ALL_OWN))


class RefusalTest(AdminCase):
    def test_requests_without_rights_are_refused(self):
        for code, name, body in [(5, "GroupCoA", ""), (5, "RoomsCoU", "1:x"), (3, "RechercherCo", "ali"),
                                 (11, "NewGroup", "0:x:0"), (12, "Del Room", "1:"),
                                 (13, "ListAdmin", "1"), (14, "AddUsrAdminCo", "sara"),
                                 (26, "SavePermissions", save_body("مدير"))]:
            with self.subTest(name=name):
                self.assertEqual(self.ask("ali", code, name, body), [(20, "no_admin", "")])
        self.assertEqual(self.ask("ali", 25, "Permissions"), [(28, "no-Permissions", "")])
        self.assertEqual(self.control(command="admins")["admins"], {"مدير": administration.SET_KEYS})

    def test_each_right_opens_its_command(self):
        self.control(command="admin-set", user="ali", permissions={"new_group": 1})
        self.assertEqual(self.inbox("ali")[-1][0], 16)
        self.assertEqual(self.ask("ali", 11, "NewGroup", "0:Fiqh:0"), [(19, "New_Group", "")])
        self.assertEqual(self.ask("ali", 11, "DelGroup", "4:Fiqh"), [(20, "no_admin", "")])
        self.assertEqual(self.ask("ali", 25, "Permissions"), [(28, "no-Permissions", "")])


class GroupTest(AdminCase):
    def test_group_commands(self):
        groups = "1:الحلقات العامة|2:حلقات العلوم|3:حلقات الإدارة"
        self.assertEqual(self.ask("مدير", 5, "GroupCoA"), [(18, "Group", groups)])
        self.assertEqual(self.ask("مدير", 5, "GroupCoU"), [(22, "Group", groups)])
        self.assertEqual(self.ask("مدير", 11, "NewGroup", "0:حلقات الفقه:0"), [(19, "New_Group", "")])
        self.assertEqual(self.ask("مدير", 11, "NewGroup", "0:حلقات الفقه:0"), [(19, "Group_deja", "")])
        self.assertEqual(self.ask("مدير", 11, "EditGroup", "4:Fiqh:0"), [(19, "Edit_Group", "")])
        self.assertEqual(self.ask("مدير", 11, "EditGroup", "4:حلقات العلوم:0"), [(19, "Group_deja", "")])
        self.assertEqual(self.ask("مدير", 11, "EditGroup", "9:x:0"), [(19, "No_Group", "")])
        self.assertEqual(self.ask("مدير", 5, "GroupCoA")[0][2], groups + "|4:Fiqh")
        # The first group and a group with rooms stay.
        self.assertEqual(self.ask("مدير", 11, "DelGroup", "1:x"), [(19, "No_DelGroup", "")])
        self.assertEqual(self.ask("مدير", 11, "DelGroup", "2:x"), [(19, "No_DelGroup", "")])
        self.assertEqual(self.ask("مدير", 11, "DelGroup", "4:Fiqh"), [(19, "Del_Group", "")])
        self.assertEqual(self.ask("مدير", 5, "GroupCoA"), [(18, "Group", groups)])


class RoomTest(AdminCase):
    def test_room_records_for_the_administration(self):
        rooms = self.ask("مدير", 5, "RoomsCoA", "1:الحلقات العامة")[0]
        self.assertEqual(rooms[:2], (18, "Rooms"))
        records = rooms[2].split("|")
        self.assertEqual(records[1].split(":"), ["2", "حلقة التجويد", "0", "", "ostad1", "ostad",
                                                 "200", "درس التجويد كل يوم @n;وميض@n;مباشر@n;ض@n; مع الأستاذ"])
        self.assertEqual(records[2].split(":")[:4], ["3", "حلقة خاصة", "0", "sirr1"])
        self.assertEqual(self.ask("مدير", 5, "RoomsCoU", "2:x"), [(22, "Rooms", "4:حلقة الفيزياء|5:حلقة الرياضيات")])
        self.assertEqual(self.ask("مدير", 5, "RoomsCoA", "9:x"), [(18, "Rooms", "")])

    def test_create_edit_move_delete(self):
        banner = classroom.entxt("a:b|c@d")
        new = room_body(0, 2, "حلقة الكيمياء", "ostad", "35", banner, "p1", "p2")
        self.assertEqual(self.ask("مدير", 12, "New Room", new), [(21, "New_Room", "")])
        self.assertEqual(self.ask("مدير", 12, "New Room", new), [(21, "Room_deja", "")])
        self.assertEqual(self.ask("مدير", 12, "New Room", room_body(0, 2, "x", "nobody")),
                         [(21, "No_Owner", "")])
        self.assertEqual(self.ask("مدير", 12, "New Room", room_body(0, 9, "x")), [(21, "No_Group", "")])
        room = self.room(7)
        self.assertEqual((room["group"], room["name"], room["owner"], room["limit"], room["banner"],
                          room["password"], room["admin_password"]),
                         (2, "حلقة الكيمياء", "ostad", 35, "a:b|c@d", "p1", "p2"))
        # Visible in the room chooser's lists at once.
        self.assertEqual(self.ask("ali", 5, "Rooms", "2:x"),
                         [(8, "Rooms", "4:حلقة الفيزياء:0:0|5:حلقة الرياضيات:0:0|7:حلقة الكيمياء:0:1")])
        edited = room_body(7, 2, "حلقة الكيمياء 2", "", "", "", "", "")
        self.assertEqual(self.ask("مدير", 12, "Edit Room", edited), [(21, "Edit_Room", "")])
        self.assertEqual((self.room(7)["name"], self.room(7)["limit"], self.room(7)["locked"]),
                         ("حلقة الكيمياء 2", 200, False))
        self.assertEqual(self.ask("مدير", 12, "Edit Room", room_body(7, 2, "حلقة التجويد")),
                         [(21, "Room_deja", "")])
        self.assertEqual(self.ask("مدير", 12, "Edit Room", room_body(99, 2, "x")), [(21, "No_Room", "")])
        self.assertEqual(self.ask("مدير", 12, "Move Room", "7::3"), [(21, "Move_Room", "")])
        self.assertEqual(self.room(7)["group"], 3)
        self.assertEqual(self.ask("مدير", 12, "Move Room", "7::9"), [(21, "No_Group", "")])
        self.assertEqual(self.ask("مدير", 12, "Del Room", "7:"), [(21, "Del_Room", "")])
        self.assertEqual(self.ask("مدير", 12, "Del Room", "7:"), [(21, "No_Room", "")])

    def test_a_room_with_users_is_not_deleted(self):
        self.scripted("sara", 5)
        self.assertEqual(self.ask("مدير", 12, "Del Room", "5:"), [(21, "Room_busy", "")])
        self.room(5)


class SupervisorTest(AdminCase):
    def test_supervisors_of_a_room(self):
        self.assertEqual(self.ask("مدير", 13, "ListAdmin", "2"), [(23, "ListAdmin", "2|ostad|أحمد")])
        self.assertEqual(self.ask("مدير", 14, "AddUsrAdmin", "2|ali"), [(24, "AddUsrAdmin", "2")])
        self.assertEqual(self.ask("مدير", 14, "AddUsrAdmin", "2|ali"), [(24, "AddUsrAdmin", "2")])
        self.assertEqual(self.room(2)["supervisors"], ["ostad", "أحمد", "ali"])
        self.assertEqual(self.ask("مدير", 15, "DelUsrAdmin", "2|أحمد"), [(24, "DelUsrAdmin", "2")])
        self.assertEqual(self.ask("مدير", 13, "ListAdmin", "2"), [(23, "ListAdmin", "2|ostad|ali")])
        self.assertEqual(self.ask("مدير", 13, "ListAdmin", "99"), [(23, "ListAdmin", "99")])
        self.assertEqual(self.ask("مدير", 3, "RechercherCo", "sar"), [(5, "RechercherCo", "sara")])


class AdministratorTest(AdminCase):
    def test_add_grant_withdraw_remove(self):
        self.assertEqual(self.ask("مدير", 14, "AddUsrAdminCo", "ali"), [(24, "AddUsrAdminCo", "ali")])
        sets = self.ask("مدير", 25, "Permissions")[0]
        self.assertEqual(sets[:2], (28, "Permissions"))
        records = sets[2].split("||")
        self.assertEqual(records[0], "مدير::301::-104::" + "|".join("%s:1" % k for k in administration.SET_KEYS))
        self.assertEqual(records[1], "ali::101::1::" + "|".join("%s:0" % k for k in administration.SET_KEYS))
        self.inbox("ali")
        self.assertEqual(self.ask("مدير", 26, "SavePermissions", save_body("ali", "new_room", "bat")), [])
        own = self.inbox("ali")
        self.assertEqual(own, [(16, "pouvoirs", NONE_OWN.replace("bat:0", "bat:1")
                                .replace("create_room:0", "create_room:1"))])
        self.assertEqual(self.ask("ali", 12, "New Room", room_body(0, 1, "R")), [(21, "New_Room", "")])
        self.inbox("ali")
        self.assertEqual(self.ask("مدير", 15, "DelUsrAdminCo", "ali"), [(24, "DelUsrAdminCo", "ali")])
        self.assertEqual(self.inbox("ali"), [(16, "pouvoirs", NONE_OWN)])
        self.assertEqual(self.ask("ali", 5, "GroupCoA"), [(20, "no_admin", "")])
        # Saving for someone who is no administrator changes nothing.
        self.assertEqual(self.ask("مدير", 26, "SavePermissions", save_body("ali", "bat")), [])
        self.assertNotIn("ali", self.control(command="admins")["admins"])


class LayoutTest(AdminCase):
    def test_malformed_requests_are_faults(self):
        for code, name, body in [
                (11, "NewGroup", "0:a|b:0"), (11, "EditGroup", "x:a:0"), (11, "DelGroup", "1"),
                (12, "New Room", room_body(0, 1, "a:b")), (12, "New Room", room_body(5, 1, "R")),
                (12, "New Room", room_body(0, 1, "R", limit="0")),
                (12, "New Room", room_body(0, 1, "R", banner="a@b")),
                (12, "New Room", room_body(0, 1, "R") + "|x"),
                (12, "Edit Room", room_body(1, 1, "R", password="a:b")),
                (12, "Del Room", "1"), (12, "Move Room", "1:2"), (13, "ListAdmin", "a"),
                (14, "AddUsrAdmin", "2"), (15, "DelUsrAdminCo", "a|b"), (3, "RechercherCo", " ab "),
                (26, "SavePermissions", "ali::bat:1"),
                (26, "SavePermissions", save_body("ali").replace("zowar", "zowars"))]:
            with self.subTest(name=name, body=body):
                reply = self.inst.control({"command": "as", "user": "مدير", "code": code,
                                           "name": name, "body": body})
                self.assertFalse(reply["ok"], reply)

    def test_fault_on_the_wire(self):
        self.faults_expected = True
        peer = self.member("مدير", "admin123")
        self.next(peer)
        peer.send(request(12, b"New Room", cp(room_body(0, 1, "R", banner="a:b"))))
        self.wait_for(lambda: self.inst.faults)
        self.assertIn("banner", self.inst.faults[0])


class ScheduleTest(AdminCase):
    def test_schedule_after_login_relative_to_now(self):
        self.control(command="schedule", exams=[
            {"number": 7, "offset": -600, "minutes": 60, "title": "جبر"},
            {"number": 8, "offset": 3600, "minutes": 30, "title": "فقه"}])
        before = time.time()
        self.control(command="scripted-login", user="sara")
        after = time.time()
        exams = [p for p in self.control(command="inbox", user="sara")["packets"] if p["code"] == 27]
        self.assertEqual(len(exams), 1)
        self.assertEqual(exams[0]["name"], "imtihan")
        records = [r.split("<||>") for r in exams[0]["body"].split("<|||>")]
        now = time.mktime(time.strptime(records[0][0], administration.DATE_FORMAT))
        # The login's own time, in whole seconds, however long it took.
        self.assertLessEqual(int(before) - 1, now)
        self.assertLessEqual(now, after + 1)
        self.assertEqual([(r[0], r[2], r[3]) for r in records[1:]], [("7", "60", "جبر"), ("8", "30", "فقه")])
        starts = [time.mktime(time.strptime(r[1], administration.DATE_FORMAT)) - now for r in records[1:]]
        self.assertEqual(starts, [-600, 3600])

    def test_visitors_too_and_none_without_a_schedule(self):
        self.control(command="scripted-login")
        visitor = [s["user"] for s in self.control(command="sessions")["sessions"]
                   if s["type"] == 0][0]
        self.assertEqual([p for p in self.control(command="inbox", user=visitor)["packets"]
                          if p["code"] == 27], [])
        self.control(command="schedule", exams=[{"number": 1, "offset": 0, "minutes": 5, "title": "x"}],
                     now=True)
        self.assertEqual(len([p for p in self.control(command="inbox", user=visitor)["packets"]
                              if p["code"] == 27]), 1)

    def test_bad_schedules(self):
        for command in [{"exams": "x"}, {"exams": [], "relative": "later"},
                        {"exams": [{"title": "\U0001F600"}]}]:
            reply = self.inst.control(dict(command, command="schedule"))
            self.assertFalse(reply["ok"], command)


if __name__ == "__main__":
    unittest.main()
