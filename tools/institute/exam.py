"""The institute's exam endpoint: HTTP form posts to /velmar.php.

Service name "exam" in the READY line; option --exam-port (0: a free port,
the demo uses 8086), so the exam program's default address
http://127.0.0.1:8086/velmar.php reaches it.

A request is POST /velmar.php with Content-Type
"application/x-www-form-urlencoded;charset=utf8" and the body
    ?<endpoint URL>&key=value&key=value...
The first item is the endpoint URL itself, without "="; the others are
UTF-8, percent-encoded ("+" is a blank, so a typed "+" must come as %2B).
Every post is logged with institute.record("exam", "post", url=..., cmd=...,
items=[[key, value], ...], body=<the raw body>); anything malformed is a
fault. Replies are framed "debut|<payload>|fin".

Commands are the handlers of COMMANDS, each given the post and returning the
payload; adding one (for example "send") is one function and one entry.
    infousr     -> "no user", or name "<:>" e-mail
    login4      -> head "<>"-separated (flag, -, -, server time, -, -), one
                   filler character, then "<|||>" and the exam records
                   (id <||> start <||> minutes <||> title<:>cohort<:>class
                   <||> field 4 <||> exam text), or the head alone
    getimtihan  -> the student's results: head "name|e-mail", then for each
                   exam received "<|>" and the record
                   title<:>cohort<:>class | number | date | answers text
                   | grading text (empty while not graded); a student
                   without results gets the head alone, an unknown one an
                   empty payload. The answers texts are built from an exam
                   text and the student's responses as the exam sheet writes
                   them (answers_text), the grading texts as the grading
                   window writes them (grading_text).
    send        -> "ok" for answers (id_user, isgroup, txt, id, titre) not
                   received before from that member and group for that exam
                   id, "deja" for a repeat; "cmd2" = "edit" replaces the kept
                   answers and is "ok". Every send is kept, also the repeats.

Supervisor commands (each checks "user_admin" and "pwd" against SUPERVISORS):
    infoadmin   -> "ok|<switch>" for a known supervisor ("1": the exams are
                   held back from students, "0": shown), else "no admin"
    sendim      -> "ok": the exam is published with a new id (from 101 on)
                   and appears in the students' "login4" on the day of its
                   "dateim" ("yyyy-MM-dd HH:mm"), with its "moda" minutes,
                   "titre", "fawj", "fasl" and exam text "txt"; "deja" for
                   an exam of the same title, date, cohort and class;
                   "no ostad" for a teacher ("ostad") not in TEACHERS
                   (empty is allowed); "no admin" for wrong credentials, an
                   assistant, or a teacher account naming another teacher
    sendedit    -> as sendim, replacing the published exam "id"
    changetat   -> "ok|<stat>" after setting the switch to "stat" ("1"
                   closes: the students' "login4" head then says "1" and no
                   exam is shown); "no admin" for wrong credentials, a
                   teacher or an assistant
Grading (the supervisor's grading window; credentials as above):
    listimtihan -> count, then "<::>" and per exam id <:> date <:>
                   title<>cohort<>class<>teacher<>exam text: the day's exams
                   and the published ones, a teacher account's own only;
                   "no admin" for wrong credentials
    imtihanuser -> count, then "<::>" and per answer sheet of exam "id"
                   answers <|> sending time <|> name <|> e-mail <|> sheet id
                   <|> grading text; "no admin" for wrong credentials or a
                   teacher account asking for another teacher's exam
    tankit      -> "edit": the grading "txt" of sheet "id" is stored (it
                   then shows in the student's "getimtihan"); "no admin"
                   for wrong credentials, an assistant or another teacher;
                   "no sheet" for an unknown sheet
    changeostad -> "edit": exam "id" gets the teacher "ostad" (as sent; its
                   trimmed form must be one of TEACHERS, else "no ostad");
                   "no admin" for wrong credentials, a teacher or an
                   assistant; "no exam" for an unknown exam
    getimt      -> the exam text of exam "id" (no credentials), empty for an
                   unknown exam
Every "send" that is carried out keeps an answer sheet (a repeat marked
"edit" replaces the answers of the sheet it repeats); a student's
"getimtihan" lists the sheets kept for that student, with their gradings, in
place of any demo result of the same exam number. The day's exams name a
teacher ("ostad", "karim" when none is given); the demo keeps two sheets of
"Grammar I" (exam 11) from the students 1005 and 1006.
Supervisor accounts (user name, password, kind; the kind is the exam
program's type_user, which the classroom client hands over):
    admin / admin123   -100 supervisor: sends exams, turns the switch
    idara / idara123   -104 administration: the same
    karim / karim123   -101 teacher "karim": sends his own exams only
    assist / assist123  -99 assistant: logs in, may neither send nor switch

With --exam-state FILE the endpoint keeps what it receives (the answers
sent and their sheets with the gradings, the exams published, the teachers
changed) in that JSON file, and reads it back when it starts or is reset, so
a new run shows the exams sent before; the availability switch is not kept.
Without it every run starts from the demo data alone.

Demo data: STUDENTS (member numbers, names, e-mails), GROUPS (group accounts
and their members) and the day's exams, whose starts are set relative to the
moment the institute starts: one over, one running, two to come.

Demo, by hand:
    python3 tools/institute/institute.py --exam-port 8086
    build/bin/Tallivor          (a settings store with no hand-over is fine)
The start form then asks for a member number: type 1001 (or 1002), press
"عرض النتائج" for the graded results, or "الدخول للاختبار" and answer
"نعم": the running exam opens at once with the late-start message, the two
later ones wait in the waiting window. With "id_user" 1001 and "group" "no"
in ~/.config/Tallivor/Settings.conf the member number is taken as handed
over and nothing is asked. Report files land in ~/.imtihan and ~/Desktop.

Control commands (POST /control on the institute's control port):
    {"command": "exam-reset"}      demo data back, faults cleared
    {"command": "exam-fault", ...} faults for every later post, or only for
        posts of "cmd" when given; {} clears them:
        "status": 503              answer that HTTP status (the command is
                                   not carried out)
        "silent": 12               answer nothing for that many seconds
        "drop": true               close the connection without an answer
        "unframed": true           answer the payload without its frame
        "raw": "text"              answer this body as it is
        "pad": 5000000             add that many blanks after the reply
    {"command": "exam-day", "released": "0", "exams": [...], "relative": "reply"}
        the day's exams; each {"id", "offset" (seconds from now), "minutes",
        "title", "fawj", "fasl", "field4", "texts": [...]}; with "relative":
        "reply" the offsets count from each login reply's server time, so a
        test knows the exact distance; "exams": null gives a head without
        records
    {"command": "exam-student", "id", "name", "mail", "group"}
    {"command": "exam-results", "id", "results": [...]}
        a student's results in place of the demo ones; each {"title",
        "fawj", "fasl", "number", "date", "grading"} with either "answers"
        (the answers text as it is) or "exam" and "responses" (see
        answers_text); "results": [] leaves the student without results
    {"command": "exam-supervisor", "user", "password", "kind"}
    {"command": "exam-switch", "closed": true|false}
    {"command": "exam-published"} -> {"published": [{"id", "dateim", "moda",
        "titre", "fawj", "fasl", "ostad", "txt", "by"}, ...], "closed": bool}
    {"command": "exam-sheets"}     -> {"sheets": [{"id", "exam", "id_user",
        "group", "name", "mail", "time", "answers", "grading"}, ...]}; with
        "sheets": [...] they replace the kept ones first (each may give
        "answers" or "exam" text and "responses"; "id" from 501 on when
        missing, "name" and "mail" from the student)
    {"command": "exam-teachers"}   -> {"teachers": {exam id: teacher}} of
        the exams whose teacher was changed
    {"command": "exam-sent"}       -> {"sent": [{"post": {key: value, ...},
        "reply": "ok" or "deja"}, ...]}: every "send" carried out, in order
        (the request log has the raw bodies)
"""

import datetime
import http.server
import json
import os
import tempfile
import threading
import time

import institute as core

PATH = "/velmar.php"
CONTENT_TYPE = "application/x-www-form-urlencoded;charset=utf8"
TIME_FORMAT = "%Y-%m-%d %H:%M:%S"

# Member number -> (name, e-mail, group account or None).
STUDENTS = {
    1001: ("Amina Belkacem", "Amina.Belkacem@Example.org", None),
    1002: ("يوسف العلوي", "youssef.alaoui@example.org", None),
    1003: ("Nadia Ferhat", "nadia.ferhat@example.org", "Nour Group"),
    1004: ("سلمى بن علي", "salma@example.org", "Nour Group"),
    1005: ("Omar Haddad", "omar.haddad@example.org", None),
    1006: ("مريم الصالح", "maryam@example.org", None),
    # The classroom's demo members (classroom.py), in the group account that
    # the server entry of their group number hands over ("group1", ...).
    101: ("ali", "ali@velmar.test", "group1"),
    102: ("sara", "sara@velmar.test", "group1"),
    103: ("omar", "omar@velmar.test", "group2"),
}

GROUPS = {"Nour Group": [1003, 1004], "group1": [101, 102], "group2": [103]}

SAMPLE_TEXT = ("3|Write a sentence with + and %|1|-1|Which are nouns?|2|3|kitab|qalam|kataba"
               "|Pick the verb|3|2|kataba|kitab")

# Exams the students have already sat, for their results.
READING_TEXT = "2|Summarise the text in ten letters|1|10|Is the story true?|3|2|yes|no"
ARABIC_TEXT = "2|اكتب جملة اسمية|1|-1|اختر الفعل|3|3|كتب|كتاب|قلم"

# Member number -> results, in the order the endpoint lists them. Responses
# per question: the typed text, or the indexes of the ticked choices.
DEMO_RESULTS = {
    1001: [
        {"title": "Grammar I", "fawj": 1, "fasl": 2, "number": 11, "date": "2015-03-01 10:00:00",
         "exam": SAMPLE_TEXT, "responses": ["Al kitabu | <jadidun> + 100%", [0, 1], [0]],
         "grading": "0::6:5.5:4"},
        {"title": "Reading", "fawj": 1, "fasl": 2, "number": 12, "date": "2015-03-08 09:30:00",
         "exam": READING_TEXT, "responses": ["a summary longer than ten", [1]], "grading": ""},
    ],
    1002: [
        {"title": "النحو", "fawj": 3, "fasl": 2, "number": 17, "date": "2015-03-01 10:00:00",
         "exam": ARABIC_TEXT, "responses": ["العلم نور", [0]], "grading": "12.5::"},
        {"title": "Vocabulary", "fawj": 2, "fasl": 3, "number": 14, "date": "2015-03-02 11:00:00",
         "exam": READING_TEXT, "responses": ["", [0]], "grading": "0::12:9"},
    ],
    1004: [
        {"title": "Reading", "fawj": 1, "fasl": 2, "number": 12, "date": "2015-03-08 09:30:00",
         "exam": READING_TEXT, "responses": ["???? ????", []], "grading": ""},
    ],
}


def answers_text(exam_text, responses):
    """The answers text of an exam text, as the exam sheet writes it.

    responses holds one entry per question of the page: the typed text of a
    free-text question, or the indexes of the ticked choices of a choice
    question. A typed text gets ":" for "|" and blanks for "<" and ">", and
    is cut to the question's limit unless that is negative.
    """
    tokens = exam_text.split("|")
    out = [tokens[0]]
    k = 1
    question = 0
    while k < len(tokens) - 1:
        text, kind = tokens[k], tokens[k + 1]
        third = tokens[k + 2] if k + 2 < len(tokens) else ""
        response = responses[question] if question < len(responses) else None
        if kind == "1":
            answer = (response or "").replace("|", ":").replace("<", " ").replace(">", " ")
            limit = to_int(third)
            if limit >= 0:
                answer = answer[:limit]
            out += [text, kind, answer]
            k += 3
        elif kind in ("2", "3"):
            choices = tokens[k + 3:k + 3 + max(to_int(third), 0)]
            ticked = set(response or [])
            out += [text, kind, third]
            out += [("[on]" if i in ticked else "[no]") + c for i, c in enumerate(choices)]
            k += 3 + len(choices)
        else:
            k += 2
            continue
        question += 1
    return "<:>".join(out)


def grading_text(marks=None, total=None):
    """The grading text: "" (not graded), a direct total, or "0::" and marks."""
    if total is not None:
        return "%g::" % total
    if marks is None:
        return ""
    return "0::" + ":".join(str(m) for m in marks)


def to_int(text):
    try:
        return int(text)
    except ValueError:
        return 0


def result_record(result):
    heading = "<:>".join([result.get("title", ""), str(result.get("fawj", 1)),
                          str(result.get("fasl", 1))])
    if "answers" in result:
        answers = result["answers"]
    else:
        answers = answers_text(result.get("exam", ""), result.get("responses", []))
    return "|".join([heading, str(result.get("number", 0)), result.get("date", ""), answers,
                     result.get("grading", "")])


# The day's exams, offsets in seconds from the institute's start.
DEMO_DAY = [
    {"id": 11, "offset": -7200, "minutes": 30, "title": "Grammar I", "fawj": 1, "fasl": 2},
    {"id": 12, "offset": -300, "minutes": 60, "title": "Reading", "fawj": 1, "fasl": 2},
    {"id": 13, "offset": 900, "minutes": 45, "title": "Écriture et Style", "fawj": 2, "fasl": 1,
     "ostad": "Leila Haddad"},
    {"id": 14, "offset": 3600, "minutes": 30, "title": "Vocabulary", "fawj": 2, "fasl": 3,
     "ostad": "Leila Haddad"},
]


# -- supervision ------------------------------------------------------------
# User name -> (password, kind); kinds are the staff user types.
SUPERVISORS = {
    "admin": ("admin123", -100),
    "idara": ("idara123", -104),
    "karim": ("karim123", -101),
    "assist": ("assist123", -99),
}
# Teachers an exam may name as its "ostad".
TEACHERS = {"karim", "Leila Haddad"}
# Kinds that may neither send exams nor turn the switch.
READ_ONLY_KINDS = {-99}
TEACHER_KIND = -101
DATEIM_FORMAT = "%Y-%m-%d %H:%M"
FIRST_PUBLISHED_ID = 101


class Supervision:
    """The supervisor's side of the exam endpoint, mixed into ExamService."""

    def reset_supervision(self):
        with self.lock:
            self.supervisors = dict(SUPERVISORS)
            self.published = []
            self.next_id = FIRST_PUBLISHED_ID
            self.closed = False

    def supervisor_of(self, post):
        """(name, kind) of the post's credentials, or None."""
        name = post.get("user_admin", "")
        with self.lock:
            account = self.supervisors.get(name)
        if account is None or account[0] != post.get("pwd"):
            return None
        return name, account[1]

    def students_view(self, released, now):
        """The login head's flag and the records of the day's published exams."""
        with self.lock:
            if self.closed:
                return "1", []
            published = [dict(e) for e in self.published]
        today = datetime.datetime.fromtimestamp(now).date()
        records = []
        for e in published:
            start = datetime.datetime.strptime(e["dateim"], DATEIM_FORMAT)
            if start.date() != today:
                continue
            header = "<:>".join([e["titre"], e["fawj"], e["fasl"]])
            records.append("<||>".join([str(e["id"]), start.strftime(TIME_FORMAT), e["moda"],
                                        header, "", e["txt"]]))
        return released, records

    def infoadmin(self, post):
        if self.supervisor_of(post) is None:
            return "no admin"
        with self.lock:
            return "ok|" + ("1" if self.closed else "0")

    def upload(self, post):
        account = self.supervisor_of(post)
        if account is None or account[1] in READ_ONLY_KINDS:
            return "no admin"
        ostad = post.get("ostad", "")
        if account[1] == TEACHER_KIND and ostad != account[0]:
            return "no admin"
        if ostad and ostad not in TEACHERS:
            return "no ostad"
        missing = [k for k in ("txt", "titre", "dateim", "moda", "fawj", "fasl", "id_user")
                   if k not in post]
        if missing:
            self.institute.fault("exam", "%s without %s" % (post["cmd"], ", ".join(missing)))
            return ""
        try:
            datetime.datetime.strptime(post["dateim"], DATEIM_FORMAT)
            numbers = [int(post[k]) for k in ("moda", "fawj", "fasl")]
        except ValueError:
            self.institute.fault("exam", "%s with a malformed dateim, moda, fawj or fasl" % post["cmd"])
            return ""
        if min(numbers) < 1:
            self.institute.fault("exam", "%s with a number below 1" % post["cmd"])
            return ""
        exam_fields = {k: post[k] for k in ("dateim", "moda", "titre", "fawj", "fasl", "txt")}
        exam_fields.update(ostad=ostad, by=account[0])
        key = (post["titre"].lower(), post["dateim"], post["fawj"], post["fasl"])
        with self.lock:
            if post["cmd"] == "sendedit":
                for e in self.published:
                    if str(e["id"]) == post.get("id"):
                        e.update(exam_fields)
                        return "ok"
                # An exam that is no longer there: nothing to replace.
                return ""
            for e in self.published:
                if (e["titre"].lower(), e["dateim"], e["fawj"], e["fasl"]) == key:
                    return "deja"
            exam_fields["id"] = self.next_id
            self.next_id += 1
            self.published.append(exam_fields)
        return "ok"

    def changetat(self, post):
        account = self.supervisor_of(post)
        if account is None or account[1] in READ_ONLY_KINDS or account[1] == TEACHER_KIND:
            return "no admin"
        stat = post.get("stat")
        if stat not in ("0", "1"):
            self.institute.fault("exam", "changetat with stat %r" % stat)
            return ""
        with self.lock:
            self.closed = stat == "1"
        return "ok|" + stat

    def control_supervisor(self, command):
        with self.lock:
            self.supervisors[command["user"]] = (command.get("password", ""),
                                                 int(command.get("kind", -100)))
        return {"ok": True}

    def control_switch(self, command):
        with self.lock:
            self.closed = bool(command.get("closed"))
        return {"ok": True}

    def control_published(self, command):
        with self.lock:
            return {"published": [dict(e) for e in self.published], "closed": self.closed}

    sendim = upload
    sendedit = upload


SUPERVISION_CONTROLS = {
    "exam-supervisor": Supervision.control_supervisor,
    "exam-switch": Supervision.control_switch,
    "exam-published": Supervision.control_published,
}


# -- grading ----------------------------------------------------------------
DEFAULT_TEACHER = "karim"
FIRST_SHEET_ID = 501
# Answer sheets of the demo: exam 11 from two students, one graded.
DEMO_SHEETS = [
    {"exam": 11, "id_user": 1005, "responses": ["Al qalamu jadidun", [0], [0]],
     "grading": "0::5:4:3", "after": 1500},
    {"exam": 11, "id_user": 1006, "responses": ["الكتاب مفيد", [0, 1], [1]], "grading": "",
     "after": 1620},
]


class Grading:
    """The grading window's side of the exam endpoint, mixed into ExamService."""

    def reset_grading(self):
        with self.lock:
            self.sheets = []
            self.next_sheet = FIRST_SHEET_ID
            self.teacher_of = {}
            day = {e["id"]: e for e in DEMO_DAY}
            for s in DEMO_SHEETS:
                exam = day[s["exam"]]
                self.add_sheet({
                    "exam": str(s["exam"]), "id_user": str(s["id_user"]), "group": "no",
                    "time": format_time(self.started + exam["offset"] + s["after"]),
                    "answers": answers_text(SAMPLE_TEXT, s["responses"]),
                    "grading": s["grading"]})

    def add_sheet(self, sheet):
        """Keeps a sheet, filling its id, name and e-mail when missing."""
        with self.lock:
            sheet = dict(sheet)
            if not sheet.get("id"):
                sheet["id"] = str(self.next_sheet)
                self.next_sheet += 1
            else:
                sheet["id"] = str(sheet["id"])
                self.next_sheet = max(self.next_sheet, to_int(sheet["id"]) + 1)
            student = self.students.get(to_int(str(sheet.get("id_user", ""))))
            sheet.setdefault("name", student[0] if student else "")
            sheet.setdefault("mail", student[1] if student else "")
            sheet.setdefault("group", "no")
            sheet.setdefault("time", format_time(time.time()))
            sheet.setdefault("grading", "")
            sheet.setdefault("answers", "")
            sheet["exam"] = str(sheet.get("exam", ""))
            sheet["id_user"] = str(sheet.get("id_user", ""))
            self.sheets.append(sheet)
            return sheet

    def keep_sheet(self, post, reply):
        """The answer sheet of a "send" that was carried out."""
        if reply != "ok":
            return
        key = (post["id_user"], post["isgroup"].lower(), post["id"])
        with self.lock:
            if post.get("cmd2") == "edit":
                for s in self.sheets:
                    if (s["id_user"], s["group"].lower(), s["exam"]) == key:
                        s["answers"] = post["txt"]
                        return
            self.add_sheet({"exam": post["id"], "id_user": post["id_user"],
                            "group": post["isgroup"], "answers": post["txt"]})

    def known_exams(self):
        """Every exam the endpoint holds: the day's, then the published ones."""
        now = time.time()
        with self.lock:
            base = now if self.relative == "reply" else self.started
            day = [] if self.exams is None else [dict(e) for e in self.exams]
            published = [dict(e) for e in self.published]
            teachers = dict(self.teacher_of)
        out = []
        for e in day:
            out.append({"id": str(e.get("id", 0)), "date": format_time(base + e.get("offset", 0)),
                        "titre": e.get("title", ""), "fawj": str(e.get("fawj", 1)),
                        "fasl": str(e.get("fasl", 1)), "ostad": e.get("ostad", DEFAULT_TEACHER),
                        "txt": (e.get("texts") or [SAMPLE_TEXT])[0]})
        for e in published:
            start = datetime.datetime.strptime(e["dateim"], DATEIM_FORMAT)
            out.append({"id": str(e["id"]), "date": start.strftime(TIME_FORMAT),
                        "titre": e["titre"], "fawj": e["fawj"], "fasl": e["fasl"],
                        "ostad": e.get("ostad", ""), "txt": e["txt"]})
        for e in out:
            e["ostad"] = teachers.get(e["id"], e["ostad"])
        return out

    def exam_by_id(self, exam_id):
        for e in self.known_exams():
            if e["id"] == exam_id:
                return e
        return None

    def may_see(self, account, exam):
        """A teacher account sees its own exams only."""
        return account[1] != TEACHER_KIND or (exam is not None and exam["ostad"] == account[0])

    def listimtihan(self, post):
        account = self.supervisor_of(post)
        if account is None:
            return "no admin"
        exams = [e for e in self.known_exams() if self.may_see(account, e)]
        records = [str(len(exams))]
        for e in exams:
            descriptor = "<>".join([e["titre"], e["fawj"], e["fasl"], e["ostad"], e["txt"]])
            records.append("<:>".join([e["id"], e["date"], descriptor]))
        return "<::>".join(records)

    def imtihanuser(self, post):
        account = self.supervisor_of(post)
        if account is None or not self.may_see(account, self.exam_by_id(post.get("id", ""))):
            return "no admin"
        with self.lock:
            sheets = [dict(s) for s in self.sheets if s["exam"] == post.get("id", "")]
        records = [str(len(sheets))]
        for s in sheets:
            records.append("<|>".join([s["answers"], s["time"], s["name"], s["mail"], s["id"],
                                       s["grading"]]))
        return "<::>".join(records)

    def tankit(self, post):
        account = self.supervisor_of(post)
        if account is None or account[1] in READ_ONLY_KINDS:
            return "no admin"
        if "txt" not in post:
            self.institute.fault("exam", "tankit without txt")
            return ""
        with self.lock:
            sheet = next((s for s in self.sheets if s["id"] == post.get("id")), None)
        if sheet is None:
            return "no sheet"
        if not self.may_see(account, self.exam_by_id(sheet["exam"])):
            return "no admin"
        with self.lock:
            sheet["grading"] = post["txt"]
        return "edit"

    def changeostad(self, post):
        account = self.supervisor_of(post)
        if account is None or account[1] in READ_ONLY_KINDS or account[1] == TEACHER_KIND:
            return "no admin"
        name = post.get("ostad", "")
        if name.strip() not in TEACHERS:
            return "no ostad"
        exam = self.exam_by_id(post.get("id", ""))
        if exam is None:
            return "no exam"
        with self.lock:
            self.teacher_of[exam["id"]] = name
        return "edit"

    def getimt(self, post):
        exam = self.exam_by_id(post.get("id", ""))
        return "" if exam is None else exam["txt"]

    def sheet_results(self, number, group):
        """The results of the sheets kept for a student, as getimtihan lists them."""
        with self.lock:
            sheets = [dict(s) for s in self.sheets
                      if s["id_user"] == str(number) and s["group"].lower() == group.lower()]
        exams = {e["id"]: e for e in self.known_exams()}
        out = []
        for s in sheets:
            e = exams.get(s["exam"], {})
            out.append({"title": e.get("titre", ""), "fawj": e.get("fawj", ""),
                        "fasl": e.get("fasl", ""), "number": s["exam"], "date": s["time"],
                        "answers": s["answers"], "grading": s["grading"]})
        return out

    def control_sheets(self, command):
        if "sheets" in command:
            with self.lock:
                self.sheets = []
                self.next_sheet = FIRST_SHEET_ID
                for s in command["sheets"]:
                    s = dict(s)
                    if "answers" not in s:
                        s["answers"] = answers_text(s.pop("exam_text", SAMPLE_TEXT),
                                                    s.pop("responses", []))
                    self.add_sheet(s)
        with self.lock:
            return {"sheets": [dict(s) for s in self.sheets]}

    def control_teachers(self, command):
        with self.lock:
            return {"teachers": dict(self.teacher_of)}


GRADING_CONTROLS = {
    "exam-sheets": Grading.control_sheets,
    "exam-teachers": Grading.control_teachers,
}


# Commands whose effect the state file keeps.
KEPT_COMMANDS = {"send", "sendim", "sendedit", "tankit", "changeostad"}


class ExamService(Supervision, Grading):
    def __init__(self, institute, state_path=None):
        self.institute = institute
        self.lock = threading.RLock()
        self.started = time.time()
        self.port = 0
        self.state_path = state_path
        self.reset()

    def reset(self):
        with self.lock:
            self.students = dict(STUDENTS)
            self.results = {k: [dict(r) for r in v] for k, v in DEMO_RESULTS.items()}
            self.released = "0"
            self.exams = [dict(e) for e in DEMO_DAY]
            self.relative = "start"
            self.faults = {}
            self.sent = []
            self.received = {}
            self.reset_supervision()
            self.reset_grading()
            self.load_state()

    # -- what the endpoint received, kept across runs ---------------------
    def load_state(self):
        if not self.state_path or not os.path.exists(self.state_path):
            return
        try:
            with open(self.state_path, encoding="utf-8") as f:
                state = json.load(f)
            received = {tuple(k): v for k, v in state["received"]}
            sheets = [dict(s) for s in state["sheets"]]
            published = [dict(e) for e in state["published"]]
            teachers = dict(state["teachers"])
            next_sheet, next_id = int(state["next_sheet"]), int(state["next_id"])
        except (OSError, ValueError, TypeError, KeyError, AttributeError):
            return  # a damaged file is replaced by the next change
        self.received, self.sheets, self.published = received, sheets, published
        self.teacher_of, self.next_sheet, self.next_id = teachers, next_sheet, next_id

    def save_state(self):
        if not self.state_path:
            return
        with self.lock:
            state = {"received": [[list(k), v] for k, v in self.received.items()],
                     "sheets": self.sheets, "published": self.published,
                     "teachers": self.teacher_of, "next_sheet": self.next_sheet,
                     "next_id": self.next_id}
            folder = os.path.dirname(os.path.abspath(self.state_path))
            os.makedirs(folder, exist_ok=True)
            handle, temporary = tempfile.mkstemp(dir=folder, prefix=".exam-state.")
            with os.fdopen(handle, "w", encoding="utf-8") as f:
                json.dump(state, f, ensure_ascii=False)
            os.replace(temporary, self.state_path)

    # -- the day's exams ---------------------------------------------------
    def login4(self, post):
        now = time.time()
        with self.lock:
            base = now if self.relative == "reply" else self.started
            exams = None if self.exams is None else [dict(e) for e in self.exams]
            released = self.released
        now_text = format_time(now)
        released, published = self.students_view(released, now)
        head = "<>".join([released, "velmar", "2.0.16", now_text, "ar", "1"])
        if exams is None and not published:
            return head
        records = list(published)
        for e in exams or []:
            start = format_time(base + e.get("offset", 0))
            header = "<:>".join([e.get("title", ""), str(e.get("fawj", 1)), str(e.get("fasl", 1))])
            fields = [str(e.get("id", 0)), start, str(e.get("minutes", 30)), header,
                      e.get("field4", "")]
            fields += e.get("texts", [SAMPLE_TEXT])
            records.append("<||>".join(fields))
        return head + "#" + "<|||>" + "<|||>".join(records)

    def infousr(self, post):
        student = self.student_of(post)
        if student is None:
            return "no user"
        name, mail, _ = student
        return name + "<:>" + mail

    def getimtihan(self, post):
        student = self.student_of(post)
        if student is None:
            return ""
        with self.lock:
            results = list(self.results.get(int(post["id_user"]), []))
        name, mail, _ = student
        kept = self.sheet_results(post["id_user"], post.get("isgroup", ""))
        numbers = {r["number"] for r in kept}
        results = [r for r in results if str(r.get("number", 0)) not in numbers] + kept
        return "<|>".join([name + "|" + mail] + [result_record(r) for r in results])

    def send(self, post):
        missing = [k for k in ("id_user", "isgroup", "txt", "id", "titre") if k not in post]
        if missing:
            self.institute.fault("exam", "send without %s" % ", ".join(missing))
            return ""
        key = (post["id_user"], post["isgroup"].lower(), post["id"])
        with self.lock:
            if post.get("cmd2") == "edit" or key not in self.received:
                self.received[key] = post["txt"]
                reply = "ok"
            else:
                reply = "deja"
            self.sent.append({"post": dict(post), "reply": reply})
            self.keep_sheet(post, reply)
        return reply

    def student_of(self, post):
        try:
            number = int(post.get("id_user", ""))
        except ValueError:
            return None
        with self.lock:
            student = self.students.get(number)
        if student is None:
            return None
        group = post.get("isgroup", "")
        if group not in ("", "no") and (student[2] or "").lower() != group.lower():
            return None
        return student

    # -- control ------------------------------------------------------------
    def control(self, command):
        name = command.get("command")
        if name == "exam-reset":
            self.reset()
            return {"ok": True}
        if name == "exam-fault":
            fault = {k: v for k, v in command.items() if k != "command"}
            with self.lock:
                self.faults = fault
            return {"ok": True}
        if name == "exam-day":
            with self.lock:
                self.released = str(command.get("released", "0"))
                self.exams = command.get("exams", [])
                self.relative = command.get("relative", "reply")
            return {"ok": True}
        if name == "exam-results":
            with self.lock:
                self.results[int(command["id"])] = list(command.get("results", []))
            return {"ok": True}
        if name == "exam-sent":
            with self.lock:
                return {"sent": [dict(s) for s in self.sent]}
        if name in SUPERVISION_CONTROLS:
            return SUPERVISION_CONTROLS[name](self, command)
        if name in GRADING_CONTROLS:
            return GRADING_CONTROLS[name](self, command)
        if name == "exam-student":
            with self.lock:
                self.students[int(command["id"])] = (command.get("name", ""),
                                                     command.get("mail", ""),
                                                     command.get("group"))
            return {"ok": True}
        return None

    def fault_for(self, cmd):
        with self.lock:
            fault = dict(self.faults)
        if fault.get("cmd") not in (None, cmd):
            return {}
        return fault



COMMANDS = {
    "infousr": ExamService.infousr,
    "login4": ExamService.login4,
    "getimtihan": ExamService.getimtihan,
    "send": ExamService.send,
    "infoadmin": ExamService.infoadmin,
    "sendim": ExamService.sendim,
    "sendedit": ExamService.sendedit,
    "changetat": ExamService.changetat,
    "listimtihan": ExamService.listimtihan,
    "imtihanuser": ExamService.imtihanuser,
    "tankit": ExamService.tankit,
    "changeostad": ExamService.changeostad,
    "getimt": ExamService.getimt,
}


def format_time(seconds):
    return datetime.datetime.fromtimestamp(seconds).strftime(TIME_FORMAT)


class FormError(ValueError):
    pass


def percent_decode(text):
    """Form decoding: "+" is a blank, %XX a byte; the bytes are UTF-8."""
    out = bytearray()
    i = 0
    while i < len(text):
        c = text[i]
        if c == "%":
            pair = text[i + 1:i + 3]
            if len(pair) != 2 or any(ch not in "0123456789abcdefABCDEF" for ch in pair):
                raise FormError("bad percent escape at %d" % i)
            out.append(int(pair, 16))
            i += 3
            continue
        if ord(c) > 126 or ord(c) < 33:
            raise FormError("unencoded character %r" % c)
        out += b" " if c == "+" else c.encode("ascii")
        i += 1
    try:
        return out.decode("utf-8")
    except UnicodeDecodeError:
        raise FormError("not UTF-8")


def parse_body(body):
    """The endpoint URL and the items of a form post body, in order."""
    if not body.startswith("?"):
        raise FormError("body does not start with '?'")
    parts = body[1:].split("&")
    url = parts[0]
    if "=" in url or not url.startswith("http") or not url.endswith(PATH):
        raise FormError("first item is not the endpoint URL: %r" % url)
    items = []
    for part in parts[1:]:
        if "=" not in part:
            raise FormError("item without '=': %r" % part)
        if "+" in part:
            raise FormError("unencoded '+' in %r" % part)
        key, value = part.split("=", 1)
        items.append([percent_decode(key), percent_decode(value)])
    return url, items


def make_handler(service):
    institute = service.institute

    class Handler(http.server.BaseHTTPRequestHandler):
        protocol_version = "HTTP/1.1"

        def log_message(self, *args):
            pass

        def do_GET(self):
            institute.record("exam", "get", path=self.path)
            institute.fault("exam", "GET %s: the exam endpoint takes form posts" % self.path)
            self.answer(405, b"")

        def do_POST(self):
            length = int(self.headers.get("Content-Length") or 0)
            raw = self.rfile.read(length)
            body = raw.decode("latin-1")
            if self.path != PATH:
                institute.record("exam", "post", path=self.path, body=body)
                institute.fault("exam", "POST to %s" % self.path)
                return self.answer(404, b"")
            content_type = self.headers.get("Content-Type")
            if content_type != CONTENT_TYPE:
                institute.fault("exam", "Content-Type %r" % content_type)
            try:
                url, items = parse_body(body)
            except FormError as error:
                institute.record("exam", "post", path=self.path, body=body)
                institute.fault("exam", "malformed form body: %s" % error)
                return self.answer(400, b"")
            post = {}
            for key, value in items:
                post.setdefault(key, value)
            cmd = post.get("cmd", "")
            institute.record("exam", "post", path=self.path, url=url, cmd=cmd, items=items,
                             body=body)
            handler = COMMANDS.get(cmd)
            if handler is None:
                institute.fault("exam", "unknown command %r" % cmd)
                return self.answer(200, b"debut||fin")
            fault = service.fault_for(cmd)
            if fault.get("drop"):
                self.close_connection = True
                return
            if fault.get("silent"):
                time.sleep(float(fault["silent"]))
            status = int(fault.get("status", 200))
            # A post answered with a failure status is not carried out.
            payload = handler(service, post) if status == 200 else ""
            if status == 200 and cmd in KEPT_COMMANDS:
                service.save_state()
            if "raw" in fault:
                reply = fault["raw"]
            elif fault.get("unframed"):
                reply = payload
            else:
                reply = "debut|" + payload + "|fin"
            reply += " " * int(fault.get("pad", 0))
            self.answer(status, reply.encode("utf-8"))

        def answer(self, status, data):
            self.send_response(status)
            self.send_header("Content-Type", "text/html; charset=utf-8")
            self.send_header("Content-Length", str(len(data)))
            self.send_header("Connection", "close")
            self.end_headers()
            self.wfile.write(data)
            self.close_connection = True

    return Handler


_services = {}


def add_arguments(parser):
    parser.add_argument("--exam-port", type=int, default=0,
                        help="port of the exam endpoint (0: a free one; the demo uses 8086)")
    parser.add_argument("--exam-state", default=None,
                        help="JSON file that keeps what the endpoint received across runs")


def start(institute, host, args):
    service = ExamService(institute, getattr(args, "exam_state", None))
    server = core.ThreadingServer((host, args.exam_port), make_handler(service))
    service.port = core.serve(server)
    _services[id(institute)] = service
    return {"exam": service.port}


def control(institute, command):
    service = _services.get(id(institute))
    if service is None:
        return None
    return service.control(command)
