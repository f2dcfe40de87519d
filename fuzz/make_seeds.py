#!/usr/bin/env python3
"""Writes the hand-made seeds of fuzz/corpus/ (run once; the files are kept
in the repository). Big seeds are not kept: run.sh makes them at run time."""
import os
import struct

HERE = os.path.dirname(os.path.abspath(__file__))
EXAMPLES = os.path.join(HERE, '..', 'examples')


def put(harness, name, data):
    folder = os.path.join(HERE, 'corpus', harness)
    os.makedirs(folder, exist_ok=True)
    if isinstance(data, str):
        data = data.encode('utf-8')
    with open(os.path.join(folder, name), 'wb') as f:
        f.write(data)


examples = {}
for name in sorted(os.listdir(EXAMPLES)):
    with open(os.path.join(EXAMPLES, name), 'rb') as f:
        examples[name] = f.read()
base = examples.get('single-hammer.Hyd', b'[Data]\nStep=0.001\n')

# Nasty values, as they may stand in a key's text.
VALUES = ['1e999', '-1e999', '-0', 'nan', 'NAN', 'inf', '-INF', '0x10', '1,5', '2147483648',
          '-2147483649', '2147483647', '-2147483648', '+5', '+-5', '--5', '1e5e3', '1E5e3',
          '4.9e-324', '1e-400', '1.7976931348623157e308', '1.79769313486232E+0308',
          ' 1.00000000000000E-0003', '1 234.5 м', 'Длина: 1 234.5 м', 'x=-2.5e-3;', '.5',
          '-.5', '5.', '1..2', '', ' ', '\t', 'abc', '007', '١٢٣', '1\u00a0234', '−5']

# --- profile: whole files ---------------------------------------------------
for name, data in examples.items():
    put('profile', 'example-' + name, data)
put('profile', 'crlf', base.replace(b'\n', b'\r\n'))
put('profile', 'bom', b'\xef\xbb\xbf' + base)
put('profile', 'bom-only', b'\xef\xbb\xbf')
put('profile', 'empty', b'')
put('profile', 'tabs', b'\t[ Data ]\t\n\tStep\t=\t0.5\t\nSteps =\t 7 \n')
put('profile', 'duplicates',
    b'[Data]\nStep=1\nstep=2\nSTEP=3\n[data]\nStep=4\nSteps=5\n[DATA]\nSteps=6\n')
put('profile', 'no-final-newline', b'[Data]\nStep=1\r')
put('profile', 'lone-cr', b'[Data]\rStep=1\rSteps=2\r')
put('profile', 'mixed-ends', b'[Data]\r\nStep=1\nSteps=2\r\n\r\n[BlowData]\nMayBlow=1')
put('profile', 'nul-bytes', b'[Da\x00ta]\nSt\x00ep=1\x00\n\x00\n[Data]\nStep=\x002\n')
put('profile', 'comments', b'; comment\n# other\n[Data]\n;Step=9\nStep=1 ; not a comment\n=x\n[\n]\n')
put('profile', 'keys-before-section', b'Step=1\nSteps=2\n[Data]\n[BlowData]\nSpeed=3\n')
put('profile', 'broken-sections', b'[Data\nStep=1\n[]\nx=2\n[[Data]]\ny=3\n] [\nz=4\n')
put('profile', 'values', '[Data]\n' + ''.join('K%d=%s\n' % (i, v) for i, v in enumerate(VALUES)))

# --- number_read: plain texts -----------------------------------------------
for i, v in enumerate(VALUES):
    put('number_read', 'value-%02d' % i, v)
put('number_read', 'utf8-mix', 'Давление: 5 000.5 кПа, угол −3°, шаг 1e-3 с')
put('number_read', 'nul', b'12\x003.5e\x00-4')
put('number_read', 'broken-utf8', b'\xd0\x9412\xff\xfe3\xe2\x82.5\xc0\xaf7')
put('number_read', 'many-numbers', ' '.join(str(x) for x in range(-50, 50)) + ' 1e5e3 1E5e3 -.5')
put('number_read', 'crlf', '1\r\n2\r\n3,5\r\n')

# --- number_format: bytes for FuzzedDataProvider -----------------------------
# The provider takes the integral fields from the end of the input and the
# strings from the front, so a seed is "text" + fields in reverse.
def fmt_seed(x, ref, decimals, digits, width, sep=b' ', text=b'1234567.5'):
    # From the end: kind (1 byte, 100: raw bits) and 8 bits bytes, for the
    # value and the reference; two digit kinds (below 200: small counts); the
    # width (2 bytes). From the front: the separator, then the text.
    fields = b''
    fields += bytes([100]) + struct.pack('<Q', struct.unpack('<Q', struct.pack('<d', x))[0])[::-1]
    fields += bytes([100]) + struct.pack('<Q', struct.unpack('<Q', struct.pack('<d', ref))[0])[::-1]
    fields += bytes([(decimals + 20) % 41]) + bytes([(digits + 20) % 41])
    fields += struct.pack('>H', width % 2006)
    front = bytes([len(sep)]) + sep + text
    return front + fields[::-1]

for i, (x, ref, dec, dig) in enumerate([
        (5000, 0, 3, 4), (0.0123, 0, 2, 4), (1.5e-7, 0, 2, 4), (0.5, 0, 1, 2), (999000, 0, 0, 4),
        (-2500, 0, 1, 4), (0.00047, 0, 1, 1), (0.25, 0, 1, 1), (12345.6, 0, 0, 2), (1.5, 0, 0, 1),
        (float('nan'), 0, 3, 3), (float('inf'), 1, 3, -3), (-float('inf'), 0, -1, 3),
        (5e-324, 1e18, 5, 3), (1.7e308, 1e-15, 2, -4), (-1.7e308, 0, -1, 20), (1e22, 0, 20, 17),
        (-0.0, 0, 3, 3), (2147483648, 0, 0, 10), (0.1, 1e3, 1, 3)]):
    put('number_format', 'value-%02d' % i, fmt_seed(x, ref, dec, dig, 12))
put('number_format', 'grouping-text', b'\x01 1234567.5E+003' + bytes(24))

# --- case: whole case files (the runs are capped by the harness) ------------
for name, data in examples.items():
    put('case', 'example-' + name, data)
put('case', 'crlf-bom', b'\xef\xbb\xbf' + base.replace(b'\n', b'\r\n'))
put('case', 'empty', b'')
put('case', 'defaults-hammer', b'[BlowData]\nMayBlow=1\n')
for i, v in enumerate(VALUES):
    keys = ['Step', 'Steps', 'Pressure', 'Density', 'Viscous', 'Diameter', 'Length',
            'InitialFill', 'InitialSpeed', 'Slope', 'Condens', 'Rough', 'Young', 'Walls']
    key = keys[i % len(keys)]
    put('case', 'value-%02d-%s' % (i, key),
        base.replace(b'\n' + key.encode() + b'=', b'\n' + key.encode() + b'=' + v.encode() + b';old='))
put('case', 'hammer-zero-speed', base.replace(b'Speed= 2.0', b'Speed= 0.0'))
put('case', 'hammer-trunc', base.replace(b'MayTrunc=0', b'MayTrunc=1'))
put('case', 'zero-density', base.replace(b'Density= 9.99', b'Density= 0.00'))
put('case', 'kinds-out-of-range', base.replace(b'LiquidKind=2', b'LiquidKind=2147483648')
    .replace(b'PipeKind=4', b'PipeKind=-3').replace(b'NarrowingKind=1', b'NarrowingKind=99'))
put('case', 'duplicate-sections', base + b'[Data]\nStep=5\n[BlowData]\nMayBlow=0\n')

# --- batch: a case and an option list, as FuzzBatch.cpp reads them ---------
# Every field is one byte, read from the end of the input backwards.
KEYS = 26            # case keys in FuzzBatch.cpp's order; MayBlow is key 16
CASE_OP, OUTPUT_OP, SIZE_OP, GRAVITY_OP, HELP_OP, UNKNOWN_OP, EMPTY_OP, DASHES_OP = \
    0, 3, 10, 11, 12, 13, 14, 15
REPORT, CSV, STAGES, SVG = range(4)
# Targets and case names, by their index in FuzzBatch.cpp.
NEW_A, NEW_B, KNOWN, RO, LINK, DANGLING, DOT_KNOWN, SUB_INNER, CASE, CASE_LINK, DASH, SUB, \
    MISSING = range(13)
CASE_FILE, CASE_VIA_LINK, EMPTY_FILE, ABSENT, FOLDER = range(5)


def batch_seed(ops, hammer=False, picks=None, layout=0, tail=(0,)):
    fields = [layout]
    for k in range(KEYS):
        fields.append((picks or {}).get(k, 2 if hammer and k == 16 else 1))
    fields += [0, len(ops)]  # standard output works; the number of options
    for op in ops:
        fields += list(op)
    fields += list(tail)
    return bytes(fields[::-1])


def case_arg(c=CASE_FILE):
    return (CASE_OP, c)


def output(kind, target, joined=True):
    return (OUTPUT_OP, kind, target, 1 if joined else 0)


put('batch', 'report-to-stdout', batch_seed([case_arg()]))
put('batch', 'hammer-report-csv', batch_seed(
    [case_arg(), output(REPORT, NEW_A), output(CSV, NEW_B, False)], hammer=True))
put('batch', 'known-and-link-gravity-0', batch_seed(
    [output(CSV, KNOWN), case_arg(), output(STAGES, LINK), (GRAVITY_OP, 1, 1)], hammer=True))
put('batch', 'two-outputs-one-name', batch_seed(
    [case_arg(), output(CSV, NEW_A), output(STAGES, NEW_A, False)], hammer=True))
put('batch', 'help', batch_seed([case_arg(), (HELP_OP, 1), output(REPORT, KNOWN)]))
put('batch', 'unknown-option', batch_seed([case_arg(), (UNKNOWN_OP, 0), output(REPORT, NEW_A)]))
put('batch', 'folder-and-missing-folder', batch_seed(
    [case_arg(), output(REPORT, NEW_A), output(SVG, SUB), output(CSV, MISSING)]))
put('batch', 'step-zero', batch_seed([case_arg(), output(REPORT, KNOWN)], picks={0: 3}))
put('batch', 'absent-case', batch_seed([case_arg(ABSENT), output(REPORT, RO)]))
put('batch', 'dashes-size-dangling', batch_seed(
    [(SIZE_OP, 1, 0), output(SVG, DANGLING), (DASHES_OP, CASE_FILE)], hammer=True))
put('batch', 'repeated-gravity-empty-case', batch_seed(
    [(GRAVITY_OP, 3, 1), case_arg(EMPTY_FILE), (GRAVITY_OP, 0, 0), output(CSV, DOT_KNOWN),
     output(REPORT, SUB_INNER)]))
put('batch', 'read-only-bad-size', batch_seed([case_arg(), output(REPORT, RO), (SIZE_OP, 4, 1)]))
put('batch', 'report-over-case', batch_seed([case_arg(), output(REPORT, CASE)]))
put('batch', 'svg-over-case-link', batch_seed([case_arg(CASE_VIA_LINK), output(SVG, CASE_LINK)]))
put('batch', 'csv-to-dash', batch_seed([case_arg(), output(CSV, DASH, False)]))
