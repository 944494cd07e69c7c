#!/usr/bin/env python3
"""Writes, for one fuzz target, seeds near the size bound of the parsers it
drives, and prints the -max_len to fuzz it with. The seeds are made at each
run rather than kept in the repository. A parser that slows down on large
input then shows as a fuzzer timeout.

    large_seeds.py TARGET FOLDER
"""
import os
import struct
import sys

MiB = 1 << 20
BODY = 1048576          # a classroom packet body (the framing's limit)
EXAM_REPLY = 4 * MiB    # an exam endpoint reply (kMaxReplySize)
WEB_REPLY = 8 * MiB     # a web endpoint reply read by the launcher


def cp(text):
    return text.encode("cp1256")


def fill(unit, size):
    """unit repeated to exactly size bytes."""
    return (unit * (size // len(unit) + 1))[:size]


def packet(code, name, body):
    return (struct.pack("<hi", code, len(body)) + b"KW.TOVEN"
            + name.encode("ascii").ljust(32, b" ") + body)


def exam_text(size):
    questions = [
        "ما معنى الكلمة في النص؟|1|500",
        "اختر الأجوبة الصحيحة|2|4|أ|ب|ج|د",
        "اختر جوابا واحدا|3|3|<b>نعم</b>|لا|ربما",
    ]
    parts, length, n = [], 0, 0
    while length < size:
        q = questions[n % 3].encode("utf-8")
        parts.append(q)
        length += len(q) + 1
        n += 1
    return (b"%d|" % n + b"|".join(parts))[:size]


def answers_text(size):
    unit = ("<:>ما معنى الكلمة<:>1<:>جواب الطالب"
            "<:>اختر<:>2<:>3<:>[on]أ<:>[no]ب<:>[on]ج").encode("utf-8")
    return b"100000" + fill(unit, size - 6)


def seeds(target):
    """(file name, bytes) pairs and the max_len of target."""
    if target == "fuzz_codecs":
        return [("large-body", fill(cp("مرحبا@n;@l;@arp;:|@ ") + b"\x00\x81", BODY))], BODY + 64
    if target == "fuzz_contacts":
        return [("large-list", fill(cp("أحمد1:1:0|sara:0:1| omar :2:0|"), BODY))], BODY
    if target == "fuzz_loginreplies":
        return [("large-redirect", b"a|b|127.0.0.1:5001|" + fill(b"x|", BODY - 20)),
                ("large-identity", b"nickname:ali|id:1|type:1|group:1|email:"
                 + fill(b"a", BODY - 41))], BODY
    if target == "fuzz_privatemessages":
        return [("large-message", cp("sara|") + fill(cp("<p>مرحبا@n; @l; @arp;</p>"), BODY - 5))], BODY
    if target == "fuzz_framing":
        small = packet(12, "txt", cp("ali|12|مرحبا"))
        stream = small * 64 + packet(12, "txt", fill(cp("ali|12|مرحبا "), BODY)) + small * 64
        return [("large-stream", b"\x07" + stream)], len(stream) + 1
    if target == "fuzz_launcher":
        entry = (b"Server|127.0.0.1|5000|/web/|station.php|radio/|folder|pic.png|about|"
                 b"http://example.org/r|0|logo.png|listen|source|secret|group")
        return [("large-entries", b"<|" + fill(entry + b"||", WEB_REPLY - 4) + b"|>"),
                ("large-version", b"<|2.0.1|Dastrel|http://e.org/d|r|5.15.8|n|2.0.16|"
                 + fill(b"x", WEB_REPLY - 64) + b"|>")], WEB_REPLY
    if target == "fuzz_exam_replies":
        lines = b"".join(b"\r\n%d\r\nx" % n for n in range(EXAM_REPLY // 8))
        head = "0<>a<>b<>2024-05-01 09:00:00<>c<>d\n".encode("utf-8")
        record = b"<|||>1<||>2024-05-01 10:00:00<||>60<||>title<:>1<:>2<||>0<||>" + exam_text(2000)
        return [("large-cleaning", b"debut|" + lines[:EXAM_REPLY - 12] + b"|fin"),
                ("large-login4", b"debut|" + head + fill(record, EXAM_REPLY - 100) + b"|fin")
                ], EXAM_REPLY
    if target == "fuzz_exam_results":
        record = (b"<|>title<:>3<:>2|12|2024-05-01|" + answers_text(600).replace(b"|", b" ")
                  + b"|0::2:1.5:3")
        return [("large-results", b"debut|Amina|a@b.org"
                 + fill(record, EXAM_REPLY - 40) + b"|fin")], EXAM_REPLY
    if target == "fuzz_exam_formats":
        # The page builders write some 25 bytes of page for each byte of exam
        # text: a text of the reply's full size makes a page of some 200 MiB,
        # minutes under the sanitizers. A quarter of it catches a slow builder.
        size = EXAM_REPLY // 4
        return [("large-exam", b"0" + exam_text(size)),
                ("large-composed", b"1" + exam_text(size)),
                ("large-answers", b"2" + answers_text(size)),
                ("large-grading", b"3" + b"0:" + fill(b"1.5:2:", size - 2)),
                ("large-marks", b"4" + fill("أحمد<:>12<:>15.5<::>".encode("utf-8"), size)),
                ("large-record", b"5" + fill(b"2015-05-25_14.12.18<::>ali<::>", size))
                ], size + 1
    return [], BODY


def main():
    target, folder = sys.argv[1], sys.argv[2]
    files, max_len = seeds(target)
    os.makedirs(folder, exist_ok=True)
    for name, data in files:
        assert len(data) <= max_len, (name, len(data), max_len)
        with open(os.path.join(folder, name), "wb") as f:
            f.write(data)
    print(max_len)


if __name__ == "__main__":
    main()
