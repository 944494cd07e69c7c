"""Tests of the exam endpoint's supervisor commands (python3 -m unittest)."""

import datetime
import os
import sys
import unittest

HERE = os.path.dirname(os.path.abspath(__file__))
sys.path.insert(0, HERE)

import exam  # noqa: E402
from endpoint_case import URL, InstituteCase  # noqa: E402

ADMIN = [("user_admin", "admin"), ("pwd", "admin123")]


class SupervisorEndpoint(InstituteCase):
    def setUp(self):
        self.control({"command": "exam-reset"})
        self.faults_before = len(self.errors())

    def post(self, items):
        status, data = self.post_form(items)
        self.assertEqual(status, 200)
        text = data.decode("utf-8")
        self.assertTrue(text.startswith("debut|") and text.endswith("|fin"), text)
        return text[6:-4]

    def login(self, user, password):
        return self.post([("id_user", "0"), ("user_admin", user), ("cmd", "infoadmin"),
                          ("isgroup", "no"), ("pwd", password)])

    def upload(self, credentials=ADMIN, ostad="", titre="Fiqh", dateim=None, moda="30",
               fawj="1", fasl="2", txt="1|Q|1|-1", exam_id=None):
        dateim = dateim or datetime.datetime.now().strftime("%Y-%m-%d") + "%2023:59"
        head = [("id", exam_id), ("cmd", "sendedit")] if exam_id else [("cmd", "sendim")]
        return self.post(head + [("isgroup", "no"), ("id_user", "0"), ("ostad", ostad),
                                 ("fawj", fawj), ("fasl", fasl)] + credentials
                         + [("titre", titre), ("txt", txt), ("moda", moda), ("dateim", dateim)])

    def switch(self, stat, credentials=ADMIN):
        return self.post([("isgroup", "no"), ("stat", stat)] + credentials
                         + [("id_user", "0"), ("cmd", "changetat")])

    def day(self):
        payload = self.post([("cmd", "login4"), ("id_user", "1001"), ("isgroup", "no")])
        head, _, rest = payload.partition("<|||>")
        return head.split("<>")[0], [r.split("<||>") for r in rest.split("<|||>") if r]

    def test_infoadmin_accounts(self):
        cases = [("admin", "admin123", "ok|0"), ("karim", "karim123", "ok|0"),
                 ("assist", "assist123", "ok|0"), ("admin", "wrong", "no admin"),
                 ("nobody", "", "no admin"), ("", "", "no admin")]
        for user, password, want in cases:
            with self.subTest(user=user, password=password):
                self.assertEqual(self.login(user, password), want)
        self.control({"command": "exam-switch", "closed": True})
        self.assertEqual(self.login("idara", "idara123"), "ok|1")

    def test_published_exam_reaches_the_day(self):
        self.control({"command": "exam-day", "exams": None})
        self.assertEqual(self.upload(txt="2|Q1|1|-1|Q2|3|2|A|B"), "ok")
        flag, records = self.day()
        self.assertEqual(flag, "0")
        self.assertEqual(len(records), 1)
        today = datetime.datetime.now().strftime("%Y-%m-%d")
        self.assertEqual(records[0], [str(exam.FIRST_PUBLISHED_ID), today + " 23:59:00", "30",
                                      "Fiqh<:>1<:>2", "", "2|Q1|1|-1|Q2|3|2|A|B"])
        # Another day's exam is not in today's list.
        self.assertEqual(self.upload(titre="Later", dateim="2049-01-01%2010:00"), "ok")
        self.assertEqual(len(self.day()[1]), 1)
        published = self.control({"command": "exam-published"})["published"]
        self.assertEqual([e["id"] for e in published], [101, 102])
        self.assertEqual(published[0]["by"], "admin")

    def test_upload_replies(self):
        cases = [
            ({}, "ok"),
            ({}, "deja"),
            ({"titre": "FIQH"}, "deja"),
            ({"fasl": "3"}, "ok"),
            ({"ostad": "karim", "titre": "T2"}, "ok"),
            ({"ostad": "Leila%20Haddad", "titre": "T3"}, "ok"),
            ({"ostad": "nobody", "titre": "T4"}, "no ostad"),
            ({"credentials": [("user_admin", "admin"), ("pwd", "x")]}, "no admin"),
            ({"credentials": [("user_admin", "assist"), ("pwd", "assist123")]}, "no admin"),
            ({"credentials": [("user_admin", "karim"), ("pwd", "karim123")], "ostad": "karim",
              "titre": "T5"}, "ok"),
            ({"credentials": [("user_admin", "karim"), ("pwd", "karim123")],
              "ostad": "Leila%20Haddad", "titre": "T6"}, "no admin"),
            ({"exam_id": "101", "txt": "1|New|1|-1"}, "ok"),
        ]
        for fields, want in cases:
            with self.subTest(fields=fields):
                self.assertEqual(self.upload(**fields), want)
        published = self.control({"command": "exam-published"})["published"]
        self.assertEqual(published[0]["txt"], "1|New|1|-1")
        self.assertEqual(len(self.errors()), self.faults_before)

    def test_malformed_uploads_are_faults(self):
        cases = [{"dateim": "25/05/2015"}, {"moda": "0"}, {"fawj": "x"}]
        for fields in cases:
            with self.subTest(fields=fields):
                before = len(self.errors())
                self.assertEqual(self.upload(**fields), "")
                self.assertEqual(len(self.errors()), before + 1)
        # An exam id that is not there: nothing is replaced.
        before = len(self.errors())
        self.assertEqual(self.upload(exam_id="999"), "")
        self.assertEqual(len(self.errors()), before)
        self.assertEqual(self.control({"command": "exam-published"})["published"], [])

    def test_switch_hides_the_exams(self):
        self.control({"command": "exam-day", "exams": None})
        self.assertEqual(self.upload(), "ok")
        cases = [("1", ADMIN, "ok|1", "1", 0), ("0", ADMIN, "ok|0", "0", 1),
                 ("1", [("user_admin", "karim"), ("pwd", "karim123")], "no admin", "0", 1),
                 ("1", [("user_admin", "assist"), ("pwd", "assist123")], "no admin", "0", 1),
                 ("1", [("user_admin", "admin"), ("pwd", "")], "no admin", "0", 1)]
        for stat, credentials, want, flag, shown in cases:
            with self.subTest(stat=stat, credentials=credentials):
                self.assertEqual(self.switch(stat, credentials), want)
                self.assertEqual(self.day()[0], flag)
                self.assertEqual(len(self.day()[1]), shown)
                self.assertEqual(self.login("admin", "admin123"), "ok|" + flag)

    def test_fault_knobs_per_command(self):
        for cmd, post in [("infoadmin", lambda: self.login("admin", "admin123")),
                          ("sendim", self.upload),
                          ("changetat", lambda: self.switch("1"))]:
            with self.subTest(cmd=cmd):
                self.control({"command": "exam-fault", "cmd": cmd, "raw": "debut|NO ADMIN|fin"})
                self.assertEqual(post(), "NO ADMIN")
                self.control({"command": "exam-fault"})


if __name__ == "__main__":
    unittest.main()
