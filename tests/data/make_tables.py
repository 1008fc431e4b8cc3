#!/usr/bin/env python3
"""Writes the damaged and foreign translation tables the tests read. Run from this folder;
the files are kept in the repository."""
import struct

def field(name, kind, width, decimals=0):
    return name.encode('ascii').ljust(11, b'\0') + kind.encode('ascii') + b'\0' * 4 + \
        bytes([width, decimals]) + b'\0' * 14

def table(fields, rows, count=None, record_length=None, version=0x03):
    """fields: (name, type, width[, decimals]); rows: lists of byte values per field."""
    header_length = 32 + 32 * len(fields) + 1
    widths = 1 + sum(f[2] for f in fields)
    record_length = widths if record_length is None else record_length
    count = len(rows) if count is None else count
    head = struct.pack('<BBBBIHH', version, 124, 1, 1, count, header_length, record_length)
    head += b'\0' * 17 + bytes([0x57]) + b'\0' * 2
    head += b''.join(field(*f) for f in fields) + b'\r'
    body = b''
    for row in rows:
        record = b' '
        for f, value in zip(fields, row + [b''] * len(fields)):
            record += value[:f[2]].ljust(f[2], b' ')
        body += record[:record_length].ljust(record_length, b' ')
    return head + body + b'\x1a'

def own(n=19, width=255, kinds=None):
    kinds = kinds or {}
    return [('language%d' % (i + 1),) + kinds.get(i + 1, ('C', width)) for i in range(n)]

ROWS = [[b'Datei', b'File', b'File'], [b'Speichern', b'Save', b'Salva']]

def write(name, data):
    with open(name, 'wb') as f:
        f.write(data)

# The head claims 2^31 - 1 rows; the file holds two.
write('table_count_huge.dbf', table(own(), ROWS, count=0x7FFFFFFF))
# The head claims three rows; the file holds two and a half (a save cut short).
write('table_count_short.dbf', table(own(), ROWS + [[b'Neu', b'New']], count=3)[:-2000])
# A date column in third place: rows line up, but the program must not write into it.
write('table_date_column.dbf', table(own(kinds={3: ('D', 8)}), ROWS))
# A number column where the English texts belong.
write('table_number_column.dbf', table(own(kinds={2: ('N', 10, 2)}), [[b'Datei', b'12.50']]))
# Columns of 100 characters.
write('table_narrow_columns.dbf', table(own(width=100), ROWS))
# Three columns only.
write('table_three_columns.dbf', table(own(3), ROWS))
# A record length that does not match the columns: rows would be read shifted.
write('table_record_length.dbf', table(own(), ROWS, record_length=4800))
