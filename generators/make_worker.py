"""Writes the service worker of the app's folder, FOLDER/sw.js, from its template: every other
file in the folder with its SHA-256, and the hash that names the worker's cache, made from
them all, so that a change to any file makes a new worker with a new cache.
   make_worker.py TEMPLATE FOLDER
The template's @FILES@ becomes the files (a JSON object, names relative to the folder, in
order), @HASH@ the first 16 hex digits of the SHA-256 of that JSON text."""
import hashlib
import json
import pathlib
import sys

WORKER = "sw.js"


def main(template_path, folder):
    folder = pathlib.Path(folder)
    files = {}
    for path in sorted(p for p in folder.rglob("*") if p.is_file()):
        name = path.relative_to(folder).as_posix()
        if name != WORKER:
            files[name] = hashlib.sha256(path.read_bytes()).hexdigest()
    if "index.html" not in files:
        sys.exit(f"{folder}: no index.html")
    listing = json.dumps(files, indent=2)
    worker = pathlib.Path(template_path).read_text(encoding="utf-8")
    for placeholder in ("@FILES@", "@HASH@"):
        if worker.count(placeholder) != 1:
            sys.exit(f"{template_path}: {placeholder} should be there once")
    worker = worker.replace("@FILES@", listing).replace("@HASH@", hashlib.sha256(listing.encode()).hexdigest()[:16])
    (folder / WORKER).write_text(worker, encoding="utf-8", newline="\n")


if __name__ == "__main__":
    if len(sys.argv) != 3:
        sys.exit(__doc__)
    main(*sys.argv[1:])
