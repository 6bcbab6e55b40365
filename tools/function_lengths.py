#!/usr/bin/env python3
"""Lists the C++ functions longer than a limit, counted from the definition's first line (a
wrapped signature included) to its closing brace, and fails when there is one.

    python3 tools/function_lengths.py 60 script platform stage play player editor publish

Comments, strings and preprocessor lines are blanked before the braces are read; a lambda
counts within the function that holds it."""
import re
import sys
from pathlib import Path


def strip(text):
    """Blanks comments, string and character literals and preprocessor lines, keeping newlines."""
    out = []
    i, n = 0, len(text)
    line_start = True
    while i < n:
        c = text[i]
        if line_start and c in ' \t':
            out.append(c)
            i += 1
            continue
        if line_start and c == '#':
            while i < n and text[i] != '\n':
                if text[i] == '\\' and i + 1 < n and text[i + 1] == '\n':
                    out.append(' \n')
                    i += 2
                    continue
                out.append(' ')
                i += 1
            continue
        line_start = False
        if c == '\n':
            line_start = True
            out.append(c)
            i += 1
        elif text.startswith('//', i):
            while i < n and text[i] != '\n':
                out.append(' ')
                i += 1
        elif text.startswith('/*', i):
            j = text.find('*/', i + 2)
            j = n if j < 0 else j + 2
            out.append(re.sub(r'[^\n]', ' ', text[i:j]))
            i = j
        elif c == 'R' and text.startswith('R"', i) and (i == 0 or not (text[i - 1].isalnum() or text[i - 1] == '_')):
            m = re.match(r'R"([^(\s]*)\(', text[i:])
            end = text.find(')' + m.group(1) + '"', i)
            j = end + len(m.group(1)) + 2
            out.append('""' + re.sub(r'[^\n]', ' ', text[i + 2:j]))
            i = j
        elif c in '"\'':
            if c == "'" and i > 0 and text[i - 1].isalnum() and text[i - 1] not in 'uUL8':
                out.append(' ')  # digit separator
                i += 1
                continue
            j = i + 1
            while j < n and text[j] != c:
                j += 2 if text[j] == '\\' else 1
            out.append(c + re.sub(r'[^\n]', ' ', text[i + 1:j]) + c)
            i = j + 1
        else:
            out.append(c)
            i += 1
    return ''.join(out)


MACRO_LINE = re.compile(r'^\s*[A-Z_][A-Z0-9_]*(\s*\(.*\))?\s*$')
ACCESS = re.compile(r'^\s*(?:(?:public|private|protected)\b\s*)?'
                    r'(?:(?:slots|Q_SLOTS|signals|Q_SIGNALS)\b\s*)?:(?!:)')


def functions(path):
    text = strip(Path(path).read_text(encoding='utf-8'))
    lineof = [0] * (len(text) + 1)
    line = 1
    for k, ch in enumerate(text):
        lineof[k] = line
        if ch == '\n':
            line += 1
    lineof[len(text)] = line

    def match(k):
        depth = 0
        while k < len(text):
            if text[k] == '{':
                depth += 1
            elif text[k] == '}':
                depth -= 1
                if depth == 0:
                    return k
            k += 1
        return len(text) - 1

    found = []

    def scope(k, end):
        chunk = k
        while k < end:
            c = text[k]
            if c in ';}':
                chunk = k + 1
            elif c == '{':
                head = text[chunk:k]
                m = ACCESS.match(head)
                while m and m.end() > 0:
                    chunk += m.end()
                    head = text[chunk:k]
                    m = ACCESS.match(head)
                close = match(k)
                lines = head.split('\n')
                while lines and (not lines[0].strip() or MACRO_LINE.match(lines[0])):
                    chunk += len(lines[0]) + 1
                    lines.pop(0)
                head = text[chunk:k]
                words = head.strip()
                if re.match(r'^(inline\s+)?namespace\b|^extern\s+"C"', words) or (
                        re.search(r'\b(class|struct|union)\b', words) and '(' not in words.split('{')[0]
                        and not re.search(r'\)\s*(const\s*)?(->.*)?$', words)):
                    scope(k + 1, close)
                elif '(' in head and not re.search(r'=\s*$', head) and not re.search(r'\benum\b', head):
                    # A constructor's member initialised with braces continues the same definition.
                    after = text[close + 1:close + 200].lstrip()
                    if after[:1] in (',', '{'):
                        k = close + 1
                        continue
                    start = chunk
                    while start < k and text[start].isspace():
                        start += 1
                    name = re.sub(r'\s+', ' ', text[start:k].split('(')[0].strip().split('\n')[-1])
                    found.append((lineof[close] - lineof[start] + 1, lineof[start], name))
                k = close
                chunk = k + 1
            k += 1

    scope(0, len(text))
    return found


def main():
    limit = int(sys.argv[1])
    total = over = 0
    for root in sys.argv[2:]:
        for p in sorted(Path(root).rglob('*')):
            if p.suffix not in ('.cpp', '.h'):
                continue
            for length, line, name in functions(p):
                total += 1
                if length > limit:
                    over += 1
                    print(f'{length:5d}  {p}:{line}  {name}')
    print(f'{over} of {total} functions over {limit} lines', file=sys.stderr)
    return 1 if over else 0


if __name__ == '__main__':
    sys.exit(main())
