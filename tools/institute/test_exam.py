"""Tests of the institute's exam endpoint (run: python3 -m unittest test_exam)."""

import http.client
import json
import os
import shutil
import subprocess
import sys
import tempfile
import unittest

HERE = os.path.dirname(os.path.abspath(__file__))
sys.path.insert(0, HERE)

import exam  # noqa: E402
from endpoint_case import URL, WAIT, InstituteCase, end_institute  # noqa: E402



class BodyParsing(unittest.TestCase):
    def test_items_in_order(self):
        url, items = exam.parse_body("?" + URL + "&cmd=infousr&id_user=1001&namegroup=a%20b"
                                     "&isgroup=no")
        self.assertEqual(url, URL)
        self.assertEqual(items, [["cmd", "infousr"], ["id_user", "1001"],
                                 ["namegroup", "a b"], ["isgroup", "no"]])

    def test_decoding(self):
        cases = [("%2B", "+"), ("%25", "%"), ("%26%3D%23", "&=#"),
                 ("%D8%B7%D8%A7", "طا"), ("", "")]
        for text, want in cases:
            with self.subTest(text=text):
                self.assertEqual(exam.percent_decode(text), want)

    def test_malformed_bodies(self):
        cases = ["cmd=x",                       # no "?"
                 "?cmd=x",                      # no endpoint item
                 "?" + URL + "=1&cmd=x",        # endpoint with a value
                 "?" + URL + "&cmd",            # item without "="
                 "?" + URL + "&v=1+2",          # "+" not encoded
                 "?" + URL + "&v=%zz",          # bad escape
                 "?" + URL + "&v=%FF",          # not UTF-8
                 "?" + URL + "&v=a b"]          # blank not encoded
        for body in cases:
            with self.subTest(body=body):
                with self.assertRaises(exam.FormError):
                    exam.parse_body(body)


class AnswersAndGrading(unittest.TestCase):
    def test_answers_text(self):
        cases = [
            # exam text, responses, answers text
            ("2|Q1|1|10|Q2|2|2|A|B", ["x<y", [0]], "2<:>Q1<:>1<:>x y<:>Q2<:>2<:>2<:>[on]A<:>[no]B"),
            ("0|", [], "0"),
            ("1|Q|1|-1", ["whole text\nkept"], "1<:>Q<:>1<:>whole text\nkept"),
            ("1|Q|1|0", ["anything"], "1<:>Q<:>1<:>"),
            ("1|Q|1|5", ["abcdefgh"], "1<:>Q<:>1<:>abcde"),
            ("1|Q|1|-1", ["a|b<c>d"], "1<:>Q<:>1<:>a:b c d"),
            ("1|Q|1|-1", [], "1<:>Q<:>1<:>"),
            ("1|Q|2|0", [[]], "1<:>Q<:>2<:>0"),
            ("1|Q|3|3|a|b|c", [[]], "1<:>Q<:>3<:>3<:>[no]a<:>[no]b<:>[no]c"),
            ("1|Q|3|3|a|b|c", [[2]], "1<:>Q<:>3<:>3<:>[no]a<:>[no]b<:>[on]c"),
            # A type the page does not show takes no response.
            ("2|S|9|Q|1|-1", ["typed"], "2<:>Q<:>1<:>typed"),
        ]
        for text, responses, want in cases:
            with self.subTest(text=text):
                self.assertEqual(exam.answers_text(text, responses), want)

    def test_grading_text(self):
        self.assertEqual(exam.grading_text(), "")
        self.assertEqual(exam.grading_text(marks=[2, 3.5, 1]), "0::2:3.5:1")
        self.assertEqual(exam.grading_text(marks=[]), "0::")
        self.assertEqual(exam.grading_text(total=12.5), "12.5::")
        self.assertEqual(exam.grading_text(total=15), "15::")

    def test_result_record(self):
        record = exam.result_record({"title": "Fiqh", "fawj": 3, "fasl": 2, "number": 17,
                                     "date": "2015-03-01 10:00:00", "answers": "T",
                                     "grading": "G"})
        self.assertEqual(record, "Fiqh<:>3<:>2|17|2015-03-01 10:00:00|T|G")

    def test_demo_results_are_well_formed(self):
        for number, results in exam.DEMO_RESULTS.items():
            for result in results:
                with self.subTest(number=number, title=result["title"]):
                    fields = exam.result_record(result).split("|")
                    self.assertEqual(len(fields), 5)
                    answers = fields[3].split("<:>")
                    self.assertEqual(answers[0], result["exam"].split("|")[0])
                    self.assertNotIn("<|>", fields[3])


class Endpoint(InstituteCase):
    def setUp(self):
        self.control({"command": "exam-reset"})
        self.control({"command": "clear-log"})
        self.faults_before = len(self.errors())

    def log(self):
        return json.loads(self.request(self.ports["control"], "GET", "/log")[1])

    def post(self, items, content_type=exam.CONTENT_TYPE):
        return self.post_form(items, content_type)

    def payload(self, data):
        text = data.decode("utf-8")
        self.assertTrue(text.startswith("debut|") and text.endswith("|fin"), text)
        return text[6:-4]

    def test_infousr_member_and_group(self):
        cases = [
            ([("cmd", "infousr"), ("id_user", "1001"), ("namegroup", "x"), ("isgroup", "no")],
             "Amina Belkacem<:>Amina.Belkacem@Example.org"),
            ([("cmd", "infousr"), ("id_user", "999"), ("namegroup", "x"), ("isgroup", "no")],
             "no user"),
            ([("cmd", "infousr"), ("id_user", "1003"), ("namegroup", "Nour%20Group"),
              ("isgroup", "Nour%20Group")], "Nadia Ferhat<:>nadia.ferhat@example.org"),
            ([("cmd", "infousr"), ("id_user", "1001"), ("namegroup", "Nour%20Group"),
              ("isgroup", "Nour%20Group")], "no user"),
        ]
        for items, want in cases:
            with self.subTest(items=items):
                status, data = self.post(items)
                self.assertEqual(status, 200)
                self.assertEqual(self.payload(data), want)
        entry = self.log()[0]
        self.assertEqual(entry["cmd"], "infousr")
        self.assertEqual(entry["url"], URL)
        self.assertEqual(entry["items"][1], ["id_user", "1001"])
        self.assertEqual(len(self.errors()), self.faults_before)

    def test_login4_relative_to_reply(self):
        self.control({"command": "exam-day", "relative": "reply", "released": "0",
                      "exams": [{"id": 5, "offset": 120, "minutes": 20, "title": "T",
                                 "fawj": 3, "fasl": 4, "texts": ["a", "b"]}]})
        status, data = self.post([("cmd", "login4"), ("id_user", "1001"), ("isgroup", "no")])
        payload = self.payload(data)
        head, rest = payload.split("<|||>", 1)
        fields = head[:-1].split("<>")
        self.assertEqual(len(fields), 6)
        self.assertEqual(fields[0], "0")
        import datetime
        now = datetime.datetime.strptime(fields[3], exam.TIME_FORMAT)
        record = rest.split("<||>")
        start = datetime.datetime.strptime(record[1], exam.TIME_FORMAT)
        self.assertEqual((start - now).total_seconds(), 120)
        self.assertEqual(record[0], "5")
        self.assertEqual(record[2:], ["20", "T<:>3<:>4", "", "a", "b"])

    def test_login4_demo_day_and_no_exams(self):
        payload = self.payload(self.post([("cmd", "login4"), ("id_user", "1002"),
                                          ("isgroup", "no")])[1])
        self.assertEqual(len(payload.split("<|||>")), 1 + len(exam.DEMO_DAY))
        self.control({"command": "exam-day", "exams": None, "released": "1"})
        payload = self.payload(self.post([("cmd", "login4"), ("id_user", "1002"),
                                          ("isgroup", "no")])[1])
        self.assertNotIn("<|||>", payload)
        self.assertTrue(payload.startswith("1<>"))

    def test_fault_knobs(self):
        # An unknown member number: an empty payload.
        items = [("id_user", "999"), ("cmd", "getimtihan"), ("isgroup", "no")]
        self.control({"command": "exam-fault", "status": 503})
        self.assertEqual(self.post(items)[0], 503)
        self.control({"command": "exam-fault", "unframed": True, "cmd": "infousr"})
        self.assertEqual(self.post(items)[1], b"debut||fin")
        status, data = self.post([("cmd", "infousr"), ("id_user", "1002"), ("isgroup", "no")])
        self.assertFalse(data.startswith(b"debut|"))
        self.control({"command": "exam-fault", "raw": "debut|x|fin|fin"})
        self.assertEqual(self.post(items)[1], b"debut|x|fin|fin")
        self.control({"command": "exam-fault", "drop": True})
        with self.assertRaises((http.client.HTTPException, ConnectionError)):
            self.post(items)
        self.control({"command": "exam-fault"})
        self.assertEqual(self.post(items), (200, b"debut||fin"))

    def results(self, number, group="no"):
        status, data = self.post([("id_user", str(number)), ("cmd", "getimtihan"),
                                  ("isgroup", group)])
        self.assertEqual(status, 200)
        return self.payload(data)

    def test_getimtihan_graded_and_ungraded(self):
        parts = self.results(1001).split("<|>")
        self.assertEqual(parts[0], "Amina Belkacem|Amina.Belkacem@Example.org")
        self.assertEqual(len(parts), 3)
        graded = parts[1].split("|")
        self.assertEqual(graded[:3], ["Grammar I<:>1<:>2", "11", "2015-03-01 10:00:00"])
        self.assertEqual(graded[3],
                         "3<:>Write a sentence with + and %<:>1<:>Al kitabu :  jadidun  + 100%"
                         "<:>Which are nouns?<:>2<:>3<:>[on]kitab<:>[on]qalam<:>[no]kataba"
                         "<:>Pick the verb<:>3<:>2<:>[on]kataba<:>[no]kitab")
        self.assertEqual(graded[4], "0::6:5.5:4")
        ungraded = parts[2].split("|")
        self.assertEqual(ungraded[3].split("<:>")[3], "a summary ")
        self.assertEqual(ungraded[4], "")
        self.assertEqual(self.log()[0]["cmd"], "getimtihan")
        self.assertEqual(len(self.errors()), self.faults_before)

    def test_getimtihan_without_results(self):
        # Known without results: the head alone; unknown: nothing.
        self.assertEqual(self.results(1003, "Nour%20Group"),
                         "Nadia Ferhat|nadia.ferhat@example.org")
        self.assertEqual(self.results(999), "")
        self.assertEqual(self.results(1003, "Other"), "")

    def test_getimtihan_set_by_control(self):
        self.control({"command": "exam-results", "id": 1003, "results": [
            {"title": "Fiqh", "fawj": 3, "fasl": 2, "number": 17, "date": "d", "answers": "T",
             "grading": "G"},
            {"title": "Q", "number": 2, "date": "e", "exam": "1|Q|1|-1", "responses": ["yes"],
             "grading": exam.grading_text(marks=[4])}]})
        self.assertEqual(self.results(1003, "Nour%20Group"),
                         "Nadia Ferhat|nadia.ferhat@example.org<|>Fiqh<:>3<:>2|17|d|T|G"
                         "<|>Q<:>1<:>1|2|e|1<:>Q<:>1<:>yes|0::4")
        self.control({"command": "exam-results", "id": 1001, "results": []})
        self.assertEqual(self.results(1001), "Amina Belkacem|Amina.Belkacem@Example.org")
        self.control({"command": "exam-reset"})
        self.assertEqual(len(self.results(1001).split("<|>")), 3)

    def send_items(self, txt="2<:>Q<:>1<:>%D8%B7", exam_id="12", user="1001", group="no"):
        return [("cmd", "send"), ("id_user", user), ("isgroup", group), ("txt", txt),
                ("id", exam_id), ("titre", "Reading%20I")]

    def test_send_ok_then_deja(self):
        cases = [(self.send_items(), "ok"),
                 (self.send_items(txt="again"), "deja"),
                 (self.send_items(exam_id="13"), "ok"),
                 (self.send_items(user="1002"), "ok"),
                 (self.send_items(user="1003", group="Nour%20Group"), "ok"),
                 (self.send_items(user="1003", group="nour%20group"), "deja"),
                 ([("cmd", "send"), ("cmd2", "edit")] + self.send_items(txt="fixed")[1:], "ok")]
        for items, want in cases:
            with self.subTest(items=items):
                status, data = self.post(items)
                self.assertEqual(status, 200)
                self.assertEqual(self.payload(data), want)
        sent = self.control({"command": "exam-sent"})["sent"]
        self.assertEqual([s["reply"] for s in sent], [want for _, want in cases])
        self.assertEqual(sent[0]["post"], {"cmd": "send", "id_user": "1001", "isgroup": "no",
                                           "txt": "2<:>Q<:>1<:>ط", "id": "12",
                                           "titre": "Reading I"})
        self.assertEqual(sent[1]["post"]["txt"], "again")
        self.assertEqual(sent[6]["post"]["cmd2"], "edit")
        self.assertEqual(len(self.errors()), self.faults_before)
        self.control({"command": "exam-reset"})
        self.assertEqual(self.control({"command": "exam-sent"}), {"sent": []})
        self.assertEqual(self.payload(self.post(self.send_items())[1]), "ok")

    def test_send_failures(self):
        self.control({"command": "exam-fault", "cmd": "send", "status": 503})
        self.assertEqual(self.post(self.send_items())[0], 503)
        self.assertEqual(self.control({"command": "exam-sent"}), {"sent": []})
        self.control({"command": "exam-fault", "cmd": "send", "raw": "debut|busy|fin"})
        self.assertEqual(self.post(self.send_items()), (200, b"debut|busy|fin"))
        self.control({"command": "exam-fault"})
        # The garbled answer was still carried out.
        self.assertEqual(self.payload(self.post(self.send_items())[1]), "deja")
        before = len(self.errors())
        self.assertEqual(self.payload(self.post([("cmd", "send"), ("id_user", "1001")])[1]), "")
        self.assertEqual(len(self.errors()), before + 1)

    def test_malformed_posts_are_faults(self):
        cases = [
            ([("cmd", "login4"), ("v", "1+2")], exam.CONTENT_TYPE),
            ([("cmd", "login4")], "application/x-www-form-urlencoded"),
            ([("cmd", "nosuch")], exam.CONTENT_TYPE),
        ]
        for items, content_type in cases:
            with self.subTest(items=items, content_type=content_type):
                before = len(self.errors())
                self.post(items, content_type)
                self.assertEqual(len(self.errors()), before + 1)


class KeptState(unittest.TestCase):
    """With --exam-state, what the endpoint received is there again in the next run."""

    def start(self, *arguments):
        proc = subprocess.Popen([sys.executable, os.path.join(HERE, "institute.py")]
                                + list(arguments),
                                stdout=subprocess.PIPE, stderr=subprocess.PIPE, text=True)
        line = proc.stdout.readline()
        self.assertTrue(line.startswith("READY "), line)
        self.addCleanup(end_institute, proc)
        return json.loads(line[6:])

    def post(self, ports, items):
        body = "?" + URL + "".join("&%s=%s" % (k, v) for k, v in items)
        conn = http.client.HTTPConnection("127.0.0.1", ports["exam"], timeout=WAIT)
        conn.request("POST", exam.PATH, body.encode(), {"Content-Type": exam.CONTENT_TYPE})
        data = conn.getresponse().read().decode("utf-8")
        conn.close()
        return data[6:-4]

    def control(self, ports, command):
        conn = http.client.HTTPConnection("127.0.0.1", ports["control"], timeout=WAIT)
        conn.request("POST", "/control", json.dumps(command).encode())
        reply = json.loads(conn.getresponse().read())
        conn.close()
        return reply

    def results(self, ports, number="1001"):
        return self.post(ports, [("id_user", number), ("cmd", "getimtihan"), ("isgroup", "no")])

    def send(self, ports, txt, exam_id="13", edit=False):
        return self.post(ports, [("cmd", "send")] + ([("cmd2", "edit")] if edit else [])
                         + [("id_user", "1001"), ("isgroup", "no"), ("txt", txt),
                            ("id", exam_id), ("titre", "x")])

    def test_sent_sheets_come_back(self):
        folder = tempfile.mkdtemp()
        self.addCleanup(shutil.rmtree, folder)
        state = os.path.join(folder, "home", "exam-state.json")
        ports = self.start("--exam-state", state)
        demo = self.results(ports).split("<|>")
        self.assertEqual(self.send(ports, "1<:>Q<:>1<:>%D8%B7"), "ok")
        # Shown at once as an ungraded sheet of exam 13, after the demo results.
        shown = self.results(ports).split("<|>")
        self.assertEqual(shown[:-1], demo)
        fields = shown[-1].split("|")
        self.assertEqual(fields[0], "Écriture et Style<:>2<:>1")
        self.assertEqual((fields[1], fields[3], fields[4]), ("13", "1<:>Q<:>1<:>ط", ""))
        self.assertTrue(os.path.exists(state))

        # A new run: the sheet is there, a repeat is "deja"; a grading is kept.
        ports = self.start("--exam-state", state)
        self.assertEqual(self.results(ports).split("<|>"), shown)
        self.assertEqual(self.send(ports, "again"), "deja")
        sheet = [s for s in self.control(ports, {"command": "exam-sheets"})["sheets"]
                 if s["exam"] == "13"][0]
        self.assertEqual(self.post(ports, [("cmd", "tankit"), ("user_admin", "admin"),
                                           ("pwd", "admin123"), ("id", sheet["id"]),
                                           ("txt", "0::4")]), "edit")
        self.assertEqual(self.send(ports, "fixed", edit=True), "ok")
        ports = self.start("--exam-state", state)
        again = self.results(ports).split("<|>")
        self.assertEqual(len(again), len(shown))
        self.assertEqual(again[-1].split("|")[3:], ["fixed", "0::4"])
        self.assertEqual(self.send(ports, "once%20more"), "deja")

    def test_without_state_every_run_starts_afresh(self):
        ports = self.start()
        demo = self.results(ports)
        self.assertEqual(self.send(ports, "x"), "ok")
        self.assertNotEqual(self.results(ports), demo)
        ports = self.start()
        self.assertEqual(self.results(ports), demo)
        self.assertEqual(self.send(ports, "x"), "ok")

    def test_damaged_state_is_replaced(self):
        folder = tempfile.mkdtemp()
        self.addCleanup(shutil.rmtree, folder)
        state = os.path.join(folder, "exam-state.json")
        with open(state, "w") as f:
            f.write("{not json")
        ports = self.start("--exam-state", state)
        self.assertEqual(self.send(ports, "x"), "ok")
        with open(state, encoding="utf-8") as f:
            self.assertEqual(json.load(f)["received"], [[["1001", "no", "13"], "x"]])


if __name__ == "__main__":
    unittest.main()
