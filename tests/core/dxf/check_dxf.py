"""Reads a DXF file with ezdxf, an independent reader, and prints what it
found in a plain line format that the C++ tests compare with expectations.

Usage: check_dxf.py FILE

Output lines (numbers with 17 significant digits, texts as UTF-8 hex):
  VERSION <dxfversion> <encoding>
  HEADER <$INSUNITS> <$DWGCODEPAGE>
  LTYPE <name> <description hex>
  LAYER <name> <color> <linetype>
  POLYLINE <layer> <linetype> <vertex count> <closed 0|1>
  VERTEX <x> <y> <bulge>
  TEXT <layer> <x> <y> <height> <text hex, \\U+XXXX escapes decoded>
  OTHER <dxftype>
  AUDIT <errors> <fixes>
A file that ezdxf refuses prints "ERROR <exception type> <message>" and
exits with status 2.
"""

import sys

import ezdxf
from ezdxf.lldxf.encoding import decode_dxf_unicode


def num(v):
    return "%.17g" % v


def hexed(s):
    return s.encode("utf-8").hex() or "-"


def main(path):
    try:
        doc = ezdxf.readfile(path)
    except Exception as exc:  # report any refusal, not only DXFStructureError
        print("ERROR", type(exc).__name__, str(exc).replace("\n", " "))
        return 2
    print("VERSION", doc.dxfversion, doc.encoding)
    print("HEADER", doc.header.get("$INSUNITS", "-"), doc.header.get("$DWGCODEPAGE", "-"))
    for lt in doc.linetypes:
        print("LTYPE", lt.dxf.name, hexed(lt.dxf.get("description", "")))
    for layer in doc.layers:
        print("LAYER", layer.dxf.name, layer.dxf.color, layer.dxf.get("linetype", "-"))
    for e in doc.modelspace():
        kind = e.dxftype()
        if kind == "POLYLINE":
            print("POLYLINE", e.dxf.layer, e.dxf.get("linetype", "BYLAYER"),
                  len(e.vertices), 1 if e.is_closed else 0)
            for v in e.vertices:
                loc = v.dxf.location
                print("VERTEX", num(loc.x), num(loc.y), num(v.dxf.get("bulge", 0.0)))
        elif kind == "TEXT":
            ins = e.dxf.insert
            print("TEXT", e.dxf.layer, num(ins.x), num(ins.y), num(e.dxf.height),
                  hexed(decode_dxf_unicode(e.dxf.text)))
        else:
            print("OTHER", kind)
    # Last, so that the listing above shows the file as read, not as repaired.
    auditor = doc.audit()
    print("AUDIT", len(auditor.errors), len(auditor.fixes))
    return 0


if __name__ == "__main__":
    sys.exit(main(sys.argv[1]))
