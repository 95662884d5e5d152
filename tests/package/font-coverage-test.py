#!/usr/bin/env python3
"""Every character of the windows' texts (the string literals under the given source folders)
has a glyph in a font that the package's font dependencies install. Prints what lacks one.
font-coverage-test.py DEPENDS SOURCE_FOLDER...   (DEPENDS: a Depends field, or package names)"""
import pathlib, re, subprocess, sys

# Comments and character literals are matched so that a quote inside one starts no string.
TOKEN = re.compile(r'//[^\n]*|/\*.*?\*/|\'(?:\\.|[^\\\'\n])*\'|"((?:\\.|[^\\"\n])*)"', re.S)
ESCAPE = re.compile(r'\\(u[0-9a-fA-F]{4}|U[0-9a-fA-F]{8}|x[0-9a-fA-F]+|[0-7]{1,3}|.)')

def unescape(match):
    code = match.group(1)
    return chr(int(code[1:], 16)) if code[0] in 'uU' else code if code in '"\'\\?' else ''

def text_characters(folders):
    found = {}
    for path in sorted(p for f in folders for p in pathlib.Path(f).rglob('*') if p.suffix in ('.cpp', '.h')):
        for token in TOKEN.finditer(path.read_text(encoding='utf-8')):
            for char in ESCAPE.sub(unescape, token.group(1) or ''):
                found.setdefault(char, path)
    return {char: path for char, path in found.items() if ord(char) >= 0x20}

def covered(packages):
    codes = set()
    for package in packages:
        files = subprocess.run(['dpkg', '-L', package], capture_output=True, text=True, check=True).stdout.split()
        for font in (f for f in files if f.endswith(('.ttf', '.otf', '.ttc'))):
            charset = subprocess.run(['fc-query', '-f', '%{charset} ', font], capture_output=True, text=True).stdout
            for first, _, last in (r.partition('-') for r in charset.split()):
                codes.update(range(int(first, 16), int(last or first, 16) + 1))
    return codes

packages = sorted(set(re.findall(r'\bfonts-[a-z0-9.+-]*[a-z0-9]', sys.argv[1])))
if not packages:
    sys.exit(f'no font package in "{sys.argv[1]}"')
codes, characters = covered(packages), text_characters(sys.argv[2:])
missing = sorted(c for c in characters if ord(c) not in codes)
for char in missing:
    print(f'U+{ord(char):04X} {char} (in {characters[char]}) has no glyph in {", ".join(packages)}')
print(f'{len(characters)} characters of the texts, {len(missing)} without a glyph in {", ".join(packages)}')
sys.exit(1 if missing else 0)
