#!/usr/bin/env python3
"""Writes the seed corpus of fuzz_framing: classroom packets as they travel,
each file one seed byte (piece sizes) followed by the byte stream."""
import os
import struct

HERE = os.path.dirname(os.path.abspath(__file__))
OUT = os.path.join(HERE, "corpus", "fuzz_framing")


def packet(code, name, body, length=None):
    if length is None:
        length = len(body)
    return (struct.pack("<hi", code, length) + b"KW.TOVEN"
            + name.encode("ascii").ljust(32, b" ") + body)


def cp(text):
    return text.encode("cp1256")


SEEDS = {
    "keepalive": [packet(45, "test", b"17")],
    "directory-visitor": [packet(-3, "zaire", b"MacOS"),
                          packet(-6, "zaire", b"a|b|127.0.0.1:5000")],
    "visitor-login": [packet(-2, "", cp("nickname:سمرل|Password:سمرل|stat:1|Os:MacOS"))],
    "login-reply": [packet(1, "", cp("n:ali|i:12|t:-101|g:3|e:mail"))],
    "refusal": [packet(-5, "usr", b"")],
    "room-entry": [packet(10, "ok", cp("12|Room|ban||ali:1:0<>omar:-99:1<>"))],
    "room-text": [packet(12, "txt", cp("ali|12|مرحبا@n;@l;")), packet(13, "mic", b"12|ali")],
    "schedule": [packet(27, "imt", cp("2024-03-10 09:00:00<|||>1<||>exam<||>60<|||>2<||>x"))],
    "permissions": [packet(28, "list", cp("set::bat:1|zowar:0||other::bat:0"))],
    "nul-body": [packet(2, "", b"ali\x00omar"), packet(45, "test", b"\x00")],
    "ignored": [packet(14, "x", b"a"), packet(26, "y", b""), packet(45, "test", b"")],
    "bad-marker": [packet(45, "test", b""), packet(2, "", b"x")[:6] + b"KW.TOVEM" + b" " * 32],
    "too-long": [packet(45, "test", b""), packet(5, "big", b"", length=1048577)],
    "negative": [packet(5, "neg", b"", length=-1), packet(45, "test", b"")],
    "incomplete": [packet(7, "pm", b"ali|hello world")[:60]],
}


def main():
    os.makedirs(OUT, exist_ok=True)
    for seed, (name, packets) in enumerate(sorted(SEEDS.items())):
        with open(os.path.join(OUT, name), "wb") as f:
            f.write(bytes([seed * 17 % 256]) + b"".join(packets))


if __name__ == "__main__":
    main()
