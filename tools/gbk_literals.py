#!/usr/bin/env python3
"""Mirrors the source tree with every narrow string and character literal turned into GBK bytes.

GCC builds get GBK literals from -fexec-charset=GBK. Clang (and so Emscripten) only knows UTF-8
there, so for the browser build each non-ASCII character inside a plain "..." or '...' literal is
rewritten as the octal escapes of its GBK bytes: the compiler then sees ASCII only and makes
exactly the bytes GCC makes. Octal escapes, because they end after three digits: a hex escape
would swallow a following letter, and a raw GBK trail byte can be a backslash. Comments and
u8/u/U/L literals are left as written.

Usage: gbk_literals.py SOURCE_ROOT MIRROR_ROOT DIR...   (each DIR relative to SOURCE_ROOT)
Only files whose mirrored bytes change are written, so an incremental build rebuilds only what the
edit touched; mirrored files whose source is gone are removed.
"""
import os
import sys

CXX_SUFFIXES = ('.cpp', '.h', '.hpp', '.cc', '.inc')
PREFIXES = ('u8', 'u', 'U', 'L')


def escape(text, where):
    out = []
    for ch in text:
        if ord(ch) < 0x80:
            out.append(ch)
            continue
        try:
            data = ch.encode('gbk')
        except UnicodeEncodeError:
            raise SystemExit(f'{where}: {ch!r} has no GBK form')
        out.append(''.join(f'\\{b:03o}' for b in data))
    return ''.join(out)


def transcode(source, where):
    out = []
    i = 0
    n = len(source)
    while i < n:
        c = source[i]
        if source.startswith('//', i):
            j = source.find('\n', i)
            j = n if j < 0 else j
            out.append(source[i:j])
            i = j
        elif source.startswith('/*', i):
            j = source.find('*/', i + 2)
            j = n if j < 0 else j + 2
            out.append(source[i:j])
            i = j
        elif c.isalnum() or c == '_':
            # A whole identifier or number: digit separators (1'000) and literal prefixes
            # (u8"", LR"()") belong to it.
            j = i
            if c.isdigit():
                while j < n and (source[j].isalnum() or source[j] in "_.'" or
                                 (source[j] in '+-' and source[j - 1] in 'eEpP')):
                    j += 1
                out.append(source[i:j])
                i = j
                continue
            while j < n and (source[j].isalnum() or source[j] == '_'):
                j += 1
            word = source[i:j]
            if j < n and source[j] in '"\'':
                raw = word.endswith('R') and source[j] == '"'
                prefix = word[:-1] if raw else word
                if prefix in PREFIXES or (raw and prefix == ''):
                    end = literal_end(source, j, raw, where)
                    keep = prefix != ''
                    body = source[j:end]
                    out.append(word + (body if keep else escape(body, where)))
                    i = end
                    continue
            out.append(word)
            i = j
        elif c in '"\'':
            end = literal_end(source, i, False, where)
            out.append(escape(source[i:end], where))
            i = end
        else:
            out.append(c)
            i += 1
    return ''.join(out)


def literal_end(source, start, raw, where):
    quote = source[start]
    if raw:
        open_paren = source.index('(', start)
        delimiter = ')' + source[start + 1:open_paren] + '"'
        end = source.find(delimiter, open_paren)
        if end < 0:
            raise SystemExit(f'{where}: unterminated raw literal')
        return end + len(delimiter)
    j = start + 1
    while j < len(source):
        if source[j] == '\\':
            j += 2
            continue
        if source[j] == quote:
            return j + 1
        if source[j] == '\n':
            break
        j += 1
    # Not a literal after all (an apostrophe in an #error line): the line goes through as written.
    return j


def mirror(root, target, folders):
    wanted = set()
    for folder in folders:
        for base, _, files in os.walk(os.path.join(root, folder)):
            for name in files:
                path = os.path.join(base, name)
                relative = os.path.relpath(path, root)
                wanted.add(relative)
                with open(path, 'rb') as f:
                    data = f.read()
                if name.endswith(CXX_SUFFIXES) and any(b >= 0x80 for b in data):
                    data = transcode(data.decode('utf-8'), relative).encode('utf-8')
                out = os.path.join(target, relative)
                try:
                    with open(out, 'rb') as f:
                        if f.read() == data:
                            continue
                except FileNotFoundError:
                    os.makedirs(os.path.dirname(out), exist_ok=True)
                with open(out, 'wb') as f:
                    f.write(data)
                os.chmod(out, os.stat(path).st_mode & 0o777)
    for folder in folders:
        for base, _, files in os.walk(os.path.join(target, folder)):
            for name in files:
                path = os.path.join(base, name)
                if os.path.relpath(path, target) not in wanted:
                    os.remove(path)


if __name__ == '__main__':
    if len(sys.argv) < 4:
        raise SystemExit(__doc__)
    mirror(sys.argv[1], sys.argv[2], sys.argv[3:])
