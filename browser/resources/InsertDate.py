#! /usr/bin/env python3
# coding: utf-8
# Prints today's date (for example "2026-12-07"), to insert where the cursor is.
import datetime
import sys


def main():
    sys.stdout.write(datetime.date.today().isoformat())


if __name__ == "__main__":
    main()
