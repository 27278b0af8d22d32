"""Prints a dBase table as dbfread, an independent reader, sees it.

Line 1: the fields as name:type:width; line 2: "count N" with the header's
record count; then one line per live (not deleted) record, each value as
hex of its UTF-8 bytes, "-" for an empty value.
"""
import sys

from dbfread import DBF

table = DBF(sys.argv[1], encoding="cp1252", char_decode_errors="strict", load=True)
print(" ".join(f"{f.name}:{f.type}:{f.length}" for f in table.fields))
print(f"count {table.header.numrecords}")
for record in table:
    print(" ".join(v.encode("utf-8").hex() if v else "-" for v in record.values()))
