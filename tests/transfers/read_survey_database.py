#!/usr/bin/env python3
"""Prints an SQLite survey database as JSON, read with Python's own sqlite3:
{"schema": {table: create statement}, "rows": {table: [[column values]]}}.
The tests compare what the program wrote with what this independent reader sees."""
import json
import sqlite3
import sys

con = sqlite3.connect("file:%s?mode=ro" % sys.argv[1], uri=True)
schema = dict(con.execute("select name, sql from sqlite_master where type = 'table'"))
rows = {name: [list(r) for r in con.execute('select * from "%s" order by rowid' % name)] for name in schema}
print(json.dumps({"schema": schema, "rows": rows}, ensure_ascii=False))
