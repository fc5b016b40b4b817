"""Makes the page, one self-contained HTML file, from its template: the form's markup, the
module's script, its WebAssembly and the icon images go in as text, so that the page needs
nothing beside it, from a disk or a server.
   make_page.py TEMPLATE SCRIPT OUT NAME=VALUE... NAME=<FILE... NAME=@FILE...
Each @NAME@ of the template is replaced by its VALUE, by the text of FILE (markup, as it is),
or by the base64 of the binary FILE; @SCRIPT@ by the script. A placeholder left over, or a
script that would end its <script> element early, is an error."""
import base64
import re
import sys


def main(template_path, script_path, out_path, *assignments):
    with open(template_path, encoding="utf-8") as f:
        page = f.read()
    with open(script_path, encoding="utf-8") as f:
        script = f.read().strip()
    if re.search(r"</script|<!--", script, re.IGNORECASE):
        sys.exit(f"{script_path}: the script holds text that would end its <script> element")
    values = {}
    for assignment in assignments:
        name, value = assignment.split("=", 1)
        if value.startswith("@"):
            with open(value[1:], "rb") as f:
                value = base64.b64encode(f.read()).decode("ascii")
        elif value.startswith("<"):
            with open(value[1:], encoding="utf-8") as f:
                value = f.read().strip()
        values[name] = value
    # The script last, so that nothing in it is taken for a placeholder.
    page = re.sub(r"@([A-Z0-9_]+)@", lambda m: values.get(m.group(1), m.group(0)), page)
    left = sorted(set(re.findall(r"@([A-Z0-9_]+)@", page)) - {"SCRIPT"})
    if left:
        sys.exit(f"{template_path}: no value for {', '.join(left)}")
    page = page.replace("@SCRIPT@", script)
    with open(out_path, "w", encoding="utf-8", newline="\n") as f:
        f.write(page)


if __name__ == "__main__":
    if len(sys.argv) < 4:
        sys.exit(__doc__)
    main(*sys.argv[1:])
