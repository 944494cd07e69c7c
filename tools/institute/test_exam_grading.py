"""Tests of the exam endpoint's grading commands (python3 -m unittest)."""

import os
import sys
import unittest

HERE = os.path.dirname(os.path.abspath(__file__))
sys.path.insert(0, HERE)

import exam  # noqa: E402
from endpoint_case import URL, InstituteCase  # noqa: E402

ADMIN = [("user_admin", "admin"), ("pwd", "admin123")]
KARIM = [("user_admin", "karim"), ("pwd", "karim123")]
ASSIST = [("user_admin", "assist"), ("pwd", "assist123")]
WRONG = [("user_admin", "admin"), ("pwd", "nope")]
DAY = [{"id": 21, "offset": -600, "minutes": 60, "title": "Fiqh", "fawj": 3, "fasl": 2,
        "texts": ["2|Q1|1|-1|Q2|3|2|A|B"]},
       {"id": 22, "offset": 600, "minutes": 30, "title": "Sira", "fawj": 1, "fasl": 1,
        "ostad": "Leila Haddad", "texts": ["1|Q|1|5"]}]


class GradingEndpoint(InstituteCase):
    def setUp(self):
        self.control({"command": "exam-reset"})
        self.control({"command": "exam-day", "exams": DAY, "relative": "start"})
        self.faults_before = len(self.errors())

    def tearDown(self):
        self.assertEqual(len(self.errors()), self.faults_before)

    def post(self, items, status=200):
        got, data = self.post_form(items)
        self.assertEqual(got, status)
        text = data.decode("utf-8")
        if status != 200:
            return text
        self.assertTrue(text.startswith("debut|") and text.endswith("|fin"), text)
        return text[6:-4]

    def exams(self, credentials=ADMIN):
        return self.post([("cmd", "listimtihan"), ("id_user", "7"), ("isgroup", "no")]
                         + credentials)

    def sheets(self, exam_id, credentials=ADMIN):
        return self.post([("cmd", "imtihanuser"), ("id_user", "7"), ("id", exam_id),
                          ("isgroup", "no")] + credentials)

    def grade(self, sheet_id, txt, credentials=ADMIN):
        return self.post([("cmd", "tankit"), ("id_user", "7"), ("id", sheet_id), ("txt", txt),
                          ("isgroup", "no")] + credentials)

    def teacher(self, exam_id, name, credentials=ADMIN):
        return self.post([("cmd", "changeostad"), ("id_user", "7"), ("id", exam_id),
                          ("ostad", name), ("isgroup", "no")] + credentials)

    def send(self, user, exam_id, txt, edit=False):
        return self.post([("cmd", "send")] + ([("cmd2", "edit")] if edit else [])
                         + [("id_user", user), ("isgroup", "no"), ("txt", txt), ("id", exam_id),
                            ("titre", "Fiqh")])

    def results(self, user):
        payload = self.post([("id_user", user), ("cmd", "getimtihan"), ("isgroup", "no")])
        return [r.split("|") for r in payload.split("<|>")[1:]]

    def test_exam_list_by_account(self):
        records = self.exams().split("<::>")
        self.assertEqual(records[0], "2")
        fields = records[1].split("<:>")
        self.assertEqual(fields[0], "21")
        self.assertEqual(fields[2], "Fiqh<>3<>2<>karim<>2|Q1|1|-1|Q2|3|2|A|B")
        self.assertEqual(records[2].split("<:>")[2].split("<>")[3], "Leila Haddad")
        # A teacher sees his own exams; the assistant sees them all.
        self.assertEqual([r.split("<:>")[0] for r in self.exams(KARIM).split("<::>")],
                         ["1", "21"])
        self.assertEqual(self.exams(ASSIST).split("<::>")[0], "2")
        self.assertEqual(self.exams(WRONG), "no admin")

    def test_sent_sheets_are_listed_graded_and_shown_to_their_student(self):
        self.assertEqual(self.send("1001", "21", "2<:>Q1<:>1<:>a<:>Q2<:>3<:>2<:>[on]A<:>[no]B"),
                         "ok")
        self.assertEqual(self.send("1002", "21", "2<:>Q1<:>1<:>b<:>Q2<:>3<:>2<:>[no]A<:>[on]B"),
                         "ok")
        # A repeat is refused and keeps no sheet; an edit replaces the answers.
        self.assertEqual(self.send("1002", "21", "x"), "deja")
        self.assertEqual(self.send("1002", "21", "2<:>Q1<:>1<:>c", edit=True), "ok")
        records = self.sheets("21").split("<::>")
        self.assertEqual(records[0], "2")
        first = records[1].split("<|>")
        self.assertEqual(first[0], "2<:>Q1<:>1<:>a<:>Q2<:>3<:>2<:>[on]A<:>[no]B")
        self.assertEqual(first[2:], ["Amina Belkacem", "Amina.Belkacem@Example.org", "503", ""])
        second = records[2].split("<|>")
        self.assertEqual((second[0], second[2], second[4]), ("2<:>Q1<:>1<:>c", "يوسف العلوي", "504"))

        self.assertEqual(self.grade("503", "0::2:3.5:1"), "edit")
        self.assertEqual(self.grade("504", "12.5::"), "edit")
        self.assertEqual(self.sheets("21").split("<::>")[1].split("<|>")[5], "0::2:3.5:1")
        amina = [r for r in self.results("1001") if r[1] == "21"]
        self.assertEqual(len(amina), 1)
        self.assertEqual(amina[0][0], "Fiqh<:>3<:>2")
        self.assertEqual((amina[0][3], amina[0][4]),
                         ("2<:>Q1<:>1<:>a<:>Q2<:>3<:>2<:>[on]A<:>[no]B", "0::2:3.5:1"))
        youssef = [r for r in self.results("1002") if r[1] == "21"]
        self.assertEqual(youssef[0][4], "12.5::")
        # Deleting a grading stores the empty text.
        self.assertEqual(self.grade("504", ""), "edit")
        self.assertEqual([r for r in self.results("1002") if r[1] == "21"][0][4], "")

    def test_demo_sheets(self):
        self.control({"command": "exam-reset"})
        records = self.sheets("11").split("<::>")
        self.assertEqual(records[0], "2")
        omar = records[1].split("<|>")
        self.assertEqual((omar[2], omar[4], omar[5]), ("Omar Haddad", "501", "0::5:4:3"))
        self.assertTrue(omar[0].startswith("3<:>"))

    def test_refusals(self):
        self.control({"command": "exam-sheets", "sheets": [
            {"exam": 21, "id_user": 1001, "answers": "1<:>Q<:>1<:>a"},
            {"exam": 22, "id_user": 1002, "answers": "1<:>Q<:>1<:>b"}]})
        cases = [
            (lambda: self.sheets("21", WRONG), "no admin"),
            (lambda: self.sheets("22", KARIM), "no admin"),
            (lambda: self.sheets("21", KARIM).split("<::>")[0], "1"),
            (lambda: self.sheets("21", ASSIST).split("<::>")[0], "1"),
            (lambda: self.sheets("99").split("<::>")[0], "0"),
            (lambda: self.grade("501", "0::1", WRONG), "no admin"),
            (lambda: self.grade("501", "0::1", ASSIST), "no admin"),
            (lambda: self.grade("502", "0::1", KARIM), "no admin"),
            (lambda: self.grade("999", "0::1"), "no sheet"),
            (lambda: self.grade("501", "0::4", KARIM), "edit"),
            (lambda: self.teacher("21", "Leila%20Haddad", KARIM), "no admin"),
            (lambda: self.teacher("21", "Leila%20Haddad", ASSIST), "no admin"),
            (lambda: self.teacher("21", "Leila%20Haddad", WRONG), "no admin"),
            (lambda: self.teacher("21", "nobody"), "no ostad"),
            (lambda: self.teacher("99", "karim"), "no exam"),
        ]
        for i, (call, want) in enumerate(cases):
            with self.subTest(case=i):
                self.assertEqual(call(), want)
        gradings = [s["grading"] for s in self.control({"command": "exam-sheets"})["sheets"]]
        self.assertEqual(gradings, ["0::4", ""])

    def test_teacher_change(self):
        self.assertEqual(self.teacher("22", "%20karim%20"), "edit")
        self.assertEqual(self.control({"command": "exam-teachers"})["teachers"], {"22": " karim "})
        descriptor = self.exams().split("<::>")[2].split("<:>")[2]
        self.assertEqual(descriptor, "Sira<>1<>1<> karim <>1|Q|1|5")
        # The teacher account named with blanks does not own it.
        self.assertEqual(self.sheets("22", KARIM), "no admin")
        self.assertEqual(self.teacher("22", "karim"), "edit")
        self.assertEqual(self.sheets("22", KARIM), "0")

    def test_exam_text(self):
        self.assertEqual(self.post([("cmd", "getimt"), ("id_user", "7"), ("id", "21")]),
                         "2|Q1|1|-1|Q2|3|2|A|B")
        self.assertEqual(self.post([("cmd", "getimt"), ("id_user", "7"), ("id", "99")]), "")

    def test_fault_knobs_per_command(self):
        for cmd, call in [("listimtihan", self.exams), ("imtihanuser", lambda: self.sheets("21")),
                          ("tankit", lambda: self.grade("501", "1::")),
                          ("changeostad", lambda: self.teacher("21", "karim")),
                          ("getimt", lambda: self.post([("cmd", "getimt"), ("id", "21")]))]:
            with self.subTest(cmd=cmd):
                self.control({"command": "exam-fault", "cmd": cmd, "raw": "debut|NO ADMIN|fin"})
                self.assertEqual(call(), "NO ADMIN")
                self.control({"command": "exam-fault", "cmd": cmd, "status": 503})
                body = "?" + URL + "&cmd=" + cmd
                status, _ = self.request(self.ports["exam"], "POST", exam.PATH, body.encode(),
                                         {"Content-Type": exam.CONTENT_TYPE})
                self.assertEqual(status, 503)
                self.control({"command": "exam-fault"})
        # A reply in place of the payload carries the command out, a failure
        # status does not.
        self.control({"command": "exam-fault", "cmd": "tankit", "status": 500})
        self.post([("cmd", "tankit"), ("id_user", "7"), ("id", "501"), ("txt", "2::"),
                   ("isgroup", "no")] + ADMIN, status=500)
        self.control({"command": "exam-fault"})
        self.assertEqual([s["grading"] for s in self.control({"command": "exam-sheets"})["sheets"]],
                         ["1::", ""])


if __name__ == "__main__":
    unittest.main()
