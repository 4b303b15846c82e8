#!/usr/bin/python3
# Describes a bank file as seen by olefile, an independent compound-file reader: every
# stream with its size, the header's length, revision and tail, and the item streams
# decoded from Windows-1251. Prints one JSON document.
import json
import struct
import sys

import olefile

path = sys.argv[1]
ole = olefile.OleFileIO(path)
out = {"streams": {}, "storages": []}
for entry in ole.listdir(streams=True, storages=True):
    name = "/".join(entry)
    if ole.get_type(entry) == olefile.STGTY_STORAGE:
        out["storages"].append(name)
    else:
        out["streams"][name] = ole.get_size(entry)
header = ole.openstream("KelvoDataBank").read()
out["header_length"] = len(header)
out["header_signature"] = header[:49].decode("latin-1")
out["header_revision"] = struct.unpack("<I", header[296:300])[0]
out["header_tail_ff"] = all(b == 0xFF for b in header[300:])
for name in ("RecTree/ObPool", "PwdTree/ObPool", "PwdData/ObPool"):
    if name in out["streams"]:
        out[name] = ole.openstream(name).read().decode("cp1251")
struct_bytes = ole.openstream("RecTree/Struct").read()
out["rec_struct"] = [list(struct.unpack("<IIBB", struct_bytes[i:i + 10]))
                     for i in range(0, len(struct_bytes), 16)]
meta = ole.get_metadata()
out["summary_title"] = (meta.title or b"").decode("cp1251")
out["summary_revision"] = (meta.revision_number or b"").decode("cp1251")
print(json.dumps(out, ensure_ascii=False))
