#!/usr/bin/env python3
"""Writes the 7z and .sims2pack fixtures of this folder (see README.md).

The 7z archives are made with 7-Zip (7zz from Debian's 7zip package); the
.sims2pack containers are written here byte by byte. Run it from this
folder; the files it writes are kept in the repository, so the tests never
need it.
"""
import hashlib
import os
import shutil
import struct
import subprocess
import tempfile

HERE = os.path.dirname(os.path.abspath(__file__))


def seven_zip(name, files, *options):
    with tempfile.TemporaryDirectory() as work:
        for path, data in files.items():
            os.makedirs(os.path.join(work, os.path.dirname(path)), exist_ok=True)
            with open(os.path.join(work, path), "wb") as f:
                f.write(data)
        target = os.path.join(HERE, name)
        if os.path.exists(target):
            os.remove(target)
        subprocess.run(["7zz", "a", "-bd", "-mtm=off", *options, target, *files],
                       cwd=work, check=True, stdout=subprocess.DEVNULL)


def package(text):
    # A game package starts with "DBPF"; the rest stands for its content.
    return b"DBPF" + bytes(28) + text.encode()


def sims2pack(name, kind, files):
    data, entries, offset = b"", [], 0
    for file_name, file_type, content in files:
        entries.append(
            "<PackagedFile><Name><![CDATA[%s]]></Name><Length>%d</Length>"
            "<Offset>%d</Offset><Type>%s</Type><Crc>%s</Crc>"
            "<Description>made for the tests</Description></PackagedFile>"
            % (file_name, len(content), offset, file_type, hashlib.md5(content).hexdigest()))
        data += content
        offset += len(content)
    xml = ('<?xml version="1.0" encoding="utf-8"?><Sims2Package type="%s">'
           "<GameVersion>2.0</GameVersion><PackagedFiles>%s</PackagedFiles></Sims2Package>"
           % (kind, "".join(entries))).encode()
    with open(os.path.join(HERE, name), "wb") as f:
        f.write(b"Sims2 Packager 1.0" + struct.pack("<I", 22 + len(xml)) + xml + data)


seven_zip("plain.7z", {"Hair/short.package": package("short"), "Hair/readme.txt": b"readme\n"})
seven_zip("encrypted.7z", {"dress.package": package("dress"), "notes.txt": b"notes\n"},
          "-pSecret")
seven_zip("encrypted_headers.7z", {"shoes.package": package("shoes")}, "-pSecret", "-mhe=on")
sims2pack("objects.sims2pack", "Object", [("Objects\\Lamp.package", "Object", package("lamp")),
                                          ("Sofa", "OBJECT", package("sofa"))])
sims2pack("lot.sims2pack", "Lot", [("Lot.package", "Lot", package("lot"))])
