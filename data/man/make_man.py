#!/usr/bin/env python3
"""Turns a program's --help text into its manual page, so the two never differ.

    make_man.py PROGRAM NAME SUMMARY VERSION OUTPUT    (OUTPUT ending in .gz is compressed)

The help text's shape: the first line "usage: ..." (the synopsis), a paragraph
of description, then sections, each a line "heading:" followed by indented
lines, which the page keeps as they are.
"""
import gzip
import subprocess
import sys


def escape(line):
    line = line.replace('\\', '\\e').replace('-', '\\-')
    if line.startswith(('.', "'")):
        line = '\\&' + line
    return line


def page(name, summary, version, help_text):
    lines = help_text.rstrip('\n').split('\n')
    out = ['.TH %s 1 "" "%s %s" "User Commands"' % (name.upper(), name, version),
           '.SH NAME', '%s \\- %s' % (name, summary), '.SH SYNOPSIS']
    first = lines.pop(0)
    out.append(escape(first.split(':', 1)[1].strip() if first.lower().startswith('usage:') else first))
    out.append('.SH DESCRIPTION')
    literal = False
    for line in lines:
        heading = line and not line.startswith(' ') and line.endswith(':')
        indented = line.startswith(' ')
        if literal and not indented:
            out.append('.fi')
            literal = False
        if heading:
            out.append('.SH ' + escape(line[:-1].upper()))
        elif indented:
            if not literal:
                out.append('.nf')
                literal = True
            out.append(escape(line))
        elif line:
            out.append(escape(line))
        else:
            out.append('.PP')
    if literal:
        out.append('.fi')
    return '\n'.join(out) + '\n'


def main():
    program, name, summary, version, output = sys.argv[1:6]
    help_text = subprocess.run([program, '--help'], check=True, capture_output=True, text=True).stdout
    text = page(name, summary, version, help_text).encode('utf-8')
    if output.endswith('.gz'):
        # No time stamp in the header, so that every build makes the same bytes.
        with open(output, 'wb') as raw, gzip.GzipFile(fileobj=raw, mode='wb', compresslevel=9, mtime=0, filename='') as f:
            f.write(text)
    else:
        with open(output, 'wb') as f:
            f.write(text)


if __name__ == '__main__':
    main()
