#!/usr/bin/env python3
"""Writes a profile with N topics on N distinct dates, as a Windows editor saves it (CP932,
CR LF), about 50 bytes an entry (5 MB at 100,000): bench/make-topics-profile.py N FILE"""
import datetime
import random
import sys

WORDS = ["会議", "打ち合わせ", "歯医者", "誕生日", "締め切り", "出張", "買い物", "映画", "旅行の準備", "支払い"]


def main():
    n, out = int(sys.argv[1]), sys.argv[2]
    rng = random.Random(20261224 + n)
    days = rng.sample(range(n * 2), n)  # distinct days from 1900-01-01 on
    first = datetime.date(1900, 1, 1)
    lines = ["[TOPICS]", f"NUMBER={n}"]
    for i, d in enumerate(days):
        date = first + datetime.timedelta(days=d)
        text = "、".join(rng.choice(WORDS) for _ in range(rng.randint(2, 5)))
        if rng.random() < 0.1:
            text += "<CR>" + rng.choice(WORDS)
        lines.append(f"{i:05d}=[{date.year:4d}:{date.month:2d}:{date.day:2d}]{text}")
    with open(out, "wb") as f:
        f.write(("\r\n".join(lines) + "\r\n").encode("cp932"))


main()
