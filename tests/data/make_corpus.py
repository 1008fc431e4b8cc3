#!/usr/bin/env python3
"""Writes the sample drawing files the tests read: valid ones of both generations and
damaged ones of every kind. Run from this folder; the files are kept in the repository."""
import struct

def obj(kind, width, pts, colour, pad1=0, pad2=0):
    return struct.pack('<IId8dII', kind, pad1, width, *pts, colour, pad2)

def text(left, top, right, bottom, s, font, size=12, colour=0, charset=1, pitch=0, style=0,
         ptrs=(0, 0), pad=b'\0' * 5):
    rec = struct.pack('<4dIIiiBBB', left, top, right, bottom, ptrs[0], ptrs[1], size, colour,
                      charset, pitch, style) + pad
    units = s.encode('utf-16-le')
    return rec + struct.pack('<i', len(units) // 2) + units + struct.pack('<i', len(font)) + font

def settings(zoom=100.0, pen=0.1, colour=0, bar=0, ruler=1, prot=1, comp=1,
             placement=(10, 90, 0, 50, 50, 0, 150, 50, 40)):
    return struct.pack('<11dI4B', *placement, zoom, pen, colour, bar, ruler, prot, comp)

def tail(eraser=2.0, w=210 / 25.39995, h=297 / 25.39995, pages=1.0):
    return struct.pack('<4d', eraser, w, h, pages)

def drawing(objects=(), texts=(), sett=None, tl=None):
    sett = settings() if sett is None else sett
    tl = tail() if tl is None else tl
    return (struct.pack('<i', len(objects)) + b''.join(objects) + struct.pack('<i', len(texts))
            + b''.join(texts) + sett + tl)

def write(name, data):
    with open(name, 'wb') as f:
        f.write(data)

line = obj(0, 0.5, (10, 20, 30, 40, 0, 0, 0, 0), 0x0000FF, pad1=0xDEADBEEF, pad2=0x01020304)
arc = obj(1, 0.1, (0, 0, 20, 20, 20, 10, 10, 0), 0x00FF00, pad1=7)
ellipse = obj(2, 1.0, (50, 50, 60, 70, 1.5, -2.5, 3.25, 4.125), 0x123456)
bezier = obj(3, 0.3, (1, 2, 3, 4, 5, 6, 7, 8), 0xFF0000, pad2=0xFFFFFFFF)
hello = text(10, 300, 40.5, 306.25, 'Höhe h\r\nA&B €', b'Arial', 14, 0xFF, 0, 2, 5,
             ptrs=(0x00A1B2C3, 0x00D4E5F6), pad=b'\x01\x02\x03\x04\x05')

# Valid drawings, as another program that follows the format might write them.
write('full.vlm', drawing([line, arc, ellipse, bezier], [hello],
                          settings(zoom=150.0, pen=0.35, colour=0x80402010, bar=1, ruler=0, prot=1, comp=0),
                          tail(eraser=3.5, w=297 / 25.39995, h=210 / 25.39995, pages=3.0)))
write('old_generation.vlm', drawing([line], [], settings(zoom=50.0), b''))
write('out_of_range.vlm', drawing([], [], settings(zoom=500.0, pen=250.0), tail(eraser=0.0, pages=0.0)))
write('empty_drawing.vlm', drawing())

# Damaged files.
write('damaged_empty.vlm', b'')
write('damaged_count_negative.vlm', struct.pack('<i', -1) + drawing()[4:])
write('damaged_count_huge.vlm', struct.pack('<i', 0x7FFFFFFF) + drawing()[4:])
write('damaged_object_truncated.vlm', struct.pack('<i', 2) + line + line[:40])
write('damaged_text_count_huge.vlm', struct.pack('<ii', 0, 1000000) + hello)
good = drawing([], [hello])
cut = 4 + 4 + 56  # the text length field of the first text
write('damaged_text_length_negative.vlm', good[:cut] + struct.pack('<i', -5) + good[cut + 4:])
write('damaged_text_length_huge.vlm', good[:cut] + struct.pack('<i', 0x40000000) + good[cut + 4:])
font_at = cut + 4 + 2 * len('Höhe h\r\nA&B €')
write('damaged_font_length_huge.vlm', good[:font_at] + struct.pack('<i', 999999) + good[font_at + 4:])
write('damaged_settings_truncated.vlm', drawing([line], [], settings(), b'')[:-20])
write('damaged_tail_truncated.vlm', drawing([line])[:-10])
write('damaged_nan_coordinate.vlm',
      drawing([obj(0, 0.5, (10, float('nan'), 30, 40, 0, 0, 0, 0), 0)]))
write('damaged_infinite_zoom.vlm', drawing([], [], settings(zoom=float('inf'))))
write('damaged_zero_sheet.vlm', drawing([], [], None, tail(w=0.0)))

# The paper continues the newer generation: its number (32 bits) after field 24, written only
# when the paper is not plain.
eraser = obj(0, 2.0, (5, 20, 35, 20, 0, 0, 0, 0), 0xFFFFFF)
write('paper_squared.vlm', drawing([line, eraser], [], None, tail() + struct.pack('<i', 1)))
write('paper_graph.vlm', drawing([line, arc, ellipse, bezier, eraser], [hello], None,
                                 tail(w=297 / 25.39995, h=210 / 25.39995, pages=2.0) + struct.pack('<i', 5)))
write('damaged_paper_unknown.vlm', drawing([line], [], None, tail() + struct.pack('<i', 6)))
write('damaged_paper_truncated.vlm', drawing([line], [], None, tail() + struct.pack('<i', 3)[:2]))

# The sheet's sides lie from 0.1 to 5080 mm: a stored sheet outside is damage.
write('damaged_sheet_too_large.vlm', drawing([line], [], None, tail(w=5081 / 25.39995)))
write('damaged_sheet_too_small.vlm', drawing([line], [], None, tail(h=0.09 / 25.39995)))

# After the paper (0 when plain) come chunks: a tag of four letters or digits, a signed 32-bit
# length, the data. A reader skips the tags it does not know.
def chunk(tag, data):
    return tag + struct.pack('<i', len(data)) + data

paper_plain = struct.pack('<i', 0)
write('chunks.vlm', drawing([line], [hello], None, tail() + paper_plain + chunk(b'ZZZZ', b'abc')
                            + chunk(b'TEST', b'\x01\x02')))
write('damaged_chunk_cut.vlm', drawing([line], [], None, tail() + paper_plain + chunk(b'TEST', b'12345')[:-2]))
write('damaged_chunk_head_cut.vlm', drawing([line], [], None, tail() + paper_plain + b'TES'))
write('damaged_chunk_length_negative.vlm',
      drawing([line], [], None, tail() + paper_plain + b'TEST' + struct.pack('<i', -1)))
write('damaged_chunk_tag.vlm', drawing([line], [], None, tail() + paper_plain + chunk(b'\0\0\0\0', b'')))

# The worksheet's chunk: kind, pages (number, width, height in mm), password, the file's bytes.
def worksheet(kind=1, pages=((1, 210.0, 297.0),), password=b'', data=b'%PDF-1.4 not read here', extra=b''):
    body = struct.pack('<ii', kind, len(pages)) + b''.join(struct.pack('<idd', *p) for p in pages)
    body += struct.pack('<i', len(password)) + password + struct.pack('<i', len(data)) + data + extra
    return chunk(b'WSHT', body)

write('worksheet.vlm', drawing([line], [], None, tail() + paper_plain
                               + worksheet(pages=((2, 210.0, 297.0), (3, 297.0, 210.0)), password=b'geheim')))
write('worksheet_picture.vlm', drawing([], [], None, tail() + struct.pack('<i', 1) + chunk(b'TEST', b'\x01')
                                       + worksheet(kind=2, data=b'\x89PNG', extra=b'later')))
write('damaged_worksheet_no_pages.vlm', drawing([line], [], None, tail() + paper_plain + worksheet(pages=())))
write('damaged_worksheet_cut.vlm', drawing([line], [], None, tail() + paper_plain
                                           + chunk(b'WSHT', struct.pack('<iiiddii', 1, 1, 1, 210.0, 297.0, 0, 99)
                                                   + b'%PDF')))

# Seeds of the drawing-file fuzzer for the continuations.
import shutil
for name in ('chunks.vlm', 'damaged_chunk_cut.vlm', 'damaged_chunk_tag.vlm', 'damaged_sheet_too_large.vlm',
             'worksheet.vlm', 'worksheet_picture.vlm', 'damaged_worksheet_no_pages.vlm'):
    shutil.copyfile(name, '../../fuzz/corpus/drawing_file/' + name)
