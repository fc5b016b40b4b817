"""Reads the Windows program's resources from the file, without running it: icon group 1 with
exactly the images 30001 (32x32, 2 colours), 30002 (32x32, 16 colours) and 30003 (16x16,
16 colours), and the version record: the numbers, the OS and file type, the one string
table 040904B0 and the translation.
   windows_resources.py SALESTAX.exe VERSION VERSION_TEXT"""
import struct
import sys

import pefile

exe, version, version_text = sys.argv[1:4]
pe = pefile.PE(exe)
passed = failed = 0


def check(what, ok):
    global passed, failed
    passed, failed = passed + ok, failed + (not ok)
    print(("ok: " if ok else "FAIL: ") + what)


def resources(type_id):
    for entry in pe.DIRECTORY_ENTRY_RESOURCE.entries:
        if entry.id == type_id:
            for name in entry.directory.entries:
                data = name.directory.entries[0].data.struct
                yield name.id, pe.get_data(data.OffsetToData, data.Size)


icons = dict(resources(pefile.RESOURCE_TYPE["RT_ICON"]))
groups = dict(resources(pefile.RESOURCE_TYPE["RT_GROUP_ICON"]))
check("one icon group, number 1", list(groups) == [1])
reserved, kind, count = struct.unpack_from("<HHH", groups.get(1, bytes(6)))
listed = {}
for i in range(count):
    w, h, colours, _, planes, bits, size, number = struct.unpack_from("<BBBBHHIH", groups[1], 6 + 14 * i)
    listed[number] = (w, h, colours, bits)
check("the group lists 30001 (32x32, 2 colours), 30002 (32x32, 16), 30003 (16x16, 16)",
      listed == {30001: (32, 32, 2, 1), 30002: (32, 32, 16, 4), 30003: (16, 16, 16, 4)})
check("exactly those three images are in the file", sorted(icons) == [30001, 30002, 30003])
for number, image in sorted(icons.items()):
    _, w, h2, _, bits = struct.unpack_from("<IiiHH", image)
    check(f"image {number} is a {w}x{h2 // 2} bitmap of {bits} bits a pixel", (w, h2 // 2, bits) == listed[number][0:2] + listed[number][3:])

pe.parse_data_directories([pefile.DIRECTORY_ENTRY["IMAGE_DIRECTORY_ENTRY_RESOURCE"]])
fixed = pe.VS_FIXEDFILEINFO[0]
number = tuple(int(p) for p in version.split("."))
as_number = lambda ms, ls: (ms >> 16, ms & 0xFFFF, ls >> 16, ls & 0xFFFF)
check(f"file and product version {version}", as_number(fixed.FileVersionMS, fixed.FileVersionLS) == number
      and as_number(fixed.ProductVersionMS, fixed.ProductVersionLS) == number)
check("for 32-bit Windows, an application", fixed.FileOS == 0x4 and fixed.FileType == 0x1)
tables, translations = {}, []
for info in pe.FileInfo[0]:
    if info.Key == b"StringFileInfo":
        for table in info.StringTable:
            tables[table.LangID] = {k.decode(): v.decode() for k, v in table.entries.items()}
    if info.Key == b"VarFileInfo":
        translations = [v for var in info.Var for v in var.entry.values()]
check("one string table, 040904B0", list(tables) == [b"040904B0"] or list(tables) == [b"040904b0"])
strings = next(iter(tables.values()), {})
expected = {"ProductName": "Sales Tax Calculator", "FileVersion": version_text, "ProductVersion": version_text,
            "InternalName": "salestax", "OriginalFilename": "salestax.exe", "FileDescription": "Sales Tax Calculator"}
for key, value in expected.items():
    check(f"{key} is {value!r}", strings.get(key) == value)
check("LegalCopyright is given", strings.get("LegalCopyright", "").startswith("Copyright"))
check("translation 0x0409, 1200", translations == ["0x0409 0x04b0"])
print(f"{passed} passed, {failed} failed")
sys.exit(failed != 0 or passed == 0)
