#!/usr/bin/env python3
"""Rewrites BMP files ImageMagick made into the variants it does not write itself (RLE4, deltas,
top-down rows, other header sizes, 16- and 32-bit BI_RGB, short colour tables, a gap before the
rows) and into damaged files. Usage: handmade.py VARIANT IN OUT."""
import struct
import sys


class Bmp:
    def __init__(self, data):
        self.off_bits = struct.unpack_from('<I', data, 10)[0]
        self.header_size = struct.unpack_from('<I', data, 14)[0]
        assert self.header_size in (40, 108, 124), 'ImageMagick writes 40-, 108- or 124-byte headers'
        (self.width, self.height, self.planes, self.bits, self.compression, self.size_image,
         self.xppm, self.yppm, self.clr_used, self.clr_important) = struct.unpack_from('<iiHHIIiiII', data, 18)
        self.extra = data[14 + 40:14 + self.header_size]  # masks and the rest of a V4/V5 header
        table_start = 14 + self.header_size
        if self.compression == 3 and self.header_size == 40:
            table_start += 12
        self.table = data[table_start:self.off_bits]
        self.rows = data[self.off_bits:]

    def row_bytes(self):
        return (self.width * self.bits + 31) // 32 * 4

    def pixel_rows(self):
        n = self.row_bytes()
        return [self.rows[i * n:(i + 1) * n] for i in range(abs(self.height))]

    def indices(self):
        """Palette indices, bottom row first."""
        out = []
        for row in self.pixel_rows():
            if self.bits == 8:
                out.append(list(row[:self.width]))
            else:
                out.append([(row[x // 2] >> (0 if x % 2 else 4)) & 15 for x in range(self.width)])
        return out


def write(path, width, height, bits, compression, rows, table=b'', extra=b'', header_size=40,
          clr_used=0, gap=b''):
    info = struct.pack('<IiiHHIIiiII', header_size, width, height, 1, bits, compression, len(rows),
                       2835, 2835, clr_used, 0) + extra
    assert len(info) == header_size or (header_size == 40 and len(extra) == 12)
    off_bits = 14 + len(info) + len(table) + len(gap)
    body = info + table + gap + rows
    with open(path, 'wb') as f:
        f.write(b'BM' + struct.pack('<IHHI', 14 + len(body), 0, 0, off_bits) + body)


def rle_encode(indices, bits, delta_at):
    """RLE rows (bottom first) mixing encoded runs (two-colour ones for RLE4) and absolute runs; at
    delta_at=(x, y) a delta moves four pixels right and one row up, so the rest of row y and the
    start of row y + 1 are never set."""
    out = bytearray()
    start = 0
    for y, row in enumerate(indices):
        x, start = start, 0
        jump = delta_at[1] == y
        end = delta_at[0] if jump else len(row)
        while x < end:
            same = 1
            while x + same < end and row[x + same] == row[x] and same < 255:
                same += 1
            alternating = 1
            while (bits == 4 and x + alternating < end and
                   row[x + alternating] == row[x + alternating % 2]):
                alternating += 1
            if same >= 2 or end - x < 3:
                out += bytes([same, row[x] if bits == 8 else row[x] << 4 | row[x]])
                x += same
            elif alternating >= 3:
                out += bytes([alternating, row[x] << 4 | row[x + 1]])
                x += alternating
            else:
                n = min(end - x, 9 if (x + y) % 2 else 6)
                run = row[x:x + n]
                if bits == 4:
                    run = run + [0] * (n % 2)
                    data = bytes(run[i] << 4 | run[i + 1] for i in range(0, len(run), 2))
                else:
                    data = bytes(run)
                out += bytes([0, n]) + data + b'\0' * (len(data) % 2)
                x += n
        if jump:
            out += bytes([0, 2, 4, 1])
            start = end + 4
        else:
            out += b'\0\0'
    out += b'\0\1'
    return bytes(out)


def with_black_first(bmp):
    """The palette with black put first and every index moved one up, so that pixels an RLE stream
    skips read as black in every decoder."""
    entries = [bmp.table[i:i + 4] for i in range(0, len(bmp.table), 4)]
    limit = 16 if bmp.bits == 4 else 256
    used = max(max(r) for r in bmp.indices()) + 1
    assert used < limit
    table = b'\0\0\0\0' + b''.join(entries[:used])
    return table, [[i + 1 for i in r] for r in bmp.indices()], used + 1


def malformed(source, directory):
    """Damaged and unsupported files, each named for what is wrong with it."""
    data = open(source, 'rb').read()
    bmp = Bmp(data)
    assert bmp.bits == 24 and bmp.header_size == 40

    def save(name, content):
        with open(f'{directory}/{name}.bmp', 'wb') as f:
            f.write(content)

    def patched(at, fmt, value, content=data):
        out = bytearray(content)
        struct.pack_into(fmt, out, at, value)
        return bytes(out)

    def small(name, bits, compression, rows, table=b'', extra=b'', width=4, height=2, clr_used=0):
        write(f'{directory}/{name}.bmp', width, height, bits, compression, rows, table, extra,
              clr_used=clr_used)

    save('empty', b'')
    save('file_header_only', data[:14])
    save('truncated_info_header', data[:30])
    save('truncated_rows', data[:-5])
    save('bad_magic', b'BA' + data[2:])
    save('header_size_64', patched(14, '<I', 64))
    save('header_size_20', patched(14, '<I', 20))
    for bits in (0, 2, 7, 48):
        save(f'bit_count_{bits}', patched(28, '<H', bits))
    save('compression_jpeg', patched(30, '<I', 4))
    save('compression_png', patched(30, '<I', 5))
    save('compression_unknown', patched(30, '<I', 0x31545844))
    save('width_zero', patched(18, '<i', 0))
    save('width_negative', patched(18, '<i', -13))
    save('height_zero', patched(22, '<i', 0))
    save('height_most_negative', patched(22, '<i', -2**31))
    save('size_2_gib', patched(22, '<i', 16384, patched(18, '<i', 32768)))
    save('size_product_overflows', patched(22, '<i', 0x7FFFFFFF, patched(18, '<i', 0x7FFFFFFF)))
    save('row_size_overflows', patched(22, '<i', 1, patched(18, '<i', 0x7FFFFFFF)))
    save('offset_past_end', patched(10, '<I', len(data) + 1))
    save('offset_leaves_rows_short', patched(10, '<I', 60))

    core = struct.pack('<IHHHH', 12, 4, 2, 1, 16)
    save('core_header_16_bits', b'BM' + struct.pack('<IHHI', 26 + 16, 0, 0, 26) + core + bytes(16))
    core8 = struct.pack('<IHHHH', 12, 4, 2, 1, 8)
    save('core_table_past_end', b'BM' + struct.pack('<IHHI', 26 + 300, 0, 0, 26 + 768) + core8 + bytes(300))

    masks565 = struct.pack('<III', 0xF800, 0x07E0, 0x001F)
    small('bitfields_zero_mask', 16, 3, bytes(16), extra=struct.pack('<III', 0xF800, 0, 0x1F))
    small('bitfields_24_bits', 24, 3, bytes(24), extra=masks565)
    small('bitfields_8_bits', 8, 3, bytes(8), extra=masks565)
    with open(f'{directory}/bitfields_masks_past_end.bmp', 'wb') as f:
        f.write(b'BM' + struct.pack('<IHHI', 14 + 46, 0, 0, 14 + 46) +
                struct.pack('<IiiHHIIiiII', 40, 4, 2, 1, 16, 3, 0, 0, 0, 0, 0) + masks565[:6])
    small('palette_table_past_end', 8, 0, b'', width=4, height=2)

    table = b'\0\0\0\0' + b'\xff\xff\xff\0'
    small('top_down_rle8', 8, 1, b'\4\1\0\0\4\1\0\1', table, height=-2, clr_used=2)
    small('depth_4_rle8', 4, 1, b'\4\1\0\0\4\1\0\1', table, clr_used=2)
    small('depth_8_rle4', 8, 2, b'\4\1\0\0\4\1\0\1', table, clr_used=2)
    small('rle8_run_past_padding', 8, 1, b'\5\1\0\0\4\1\0\1', table, clr_used=2)
    small('rle8_runs_add_past_padding', 8, 1, b'\3\1\2\1\0\0\0\1', table, clr_used=2)
    small('rle8_absolute_past_padding', 8, 1, b'\0\5\1\1\1\1\1\0\0\1', table, clr_used=2)
    small('rle4_absolute_past_padding', 4, 2, b'\0\x09\x11\x11\x11\x11\x10\0\0\1', table, clr_used=2)
    small('rle8_row_past_image', 8, 1, b'\4\1\0\0\4\1\0\0\4\1\0\1', table, clr_used=2)
    small('rle8_delta_past_padding', 8, 1, b'\0\2\5\0\0\1', table, clr_used=2)
    small('rle8_delta_past_image', 8, 1, b'\0\2\0\3\0\1', table, clr_used=2)
    small('rle8_stops_mid_image', 8, 1, b'\4\1\0\0', table, clr_used=2)
    small('rle8_stops_inside_delta', 8, 1, b'\4\1\0\2\1', table, clr_used=2)
    small('rle8_absolute_cut_short', 8, 1, b'\4\1\0\0\0\4\1\1', table, clr_used=2)
    small('rle4_absolute_cut_short', 4, 2, b'\4\1\0\0\0\4\x11', table, clr_used=2)


def main():
    if sys.argv[1] == 'malformed':
        malformed(sys.argv[2], sys.argv[3])
        return
    variant, source, target = sys.argv[1:4]
    data = open(source, 'rb').read()
    bmp = Bmp(data)
    masks = bmp.extra[:12]
    if variant == 'rle':
        table, indices, used = with_black_first(bmp)
        rows = rle_encode(indices, bmp.bits, delta_at=(3, 2))
        write(target, bmp.width, bmp.height, bmp.bits, 2 if bmp.bits == 4 else 1, rows, table,
              clr_used=used)
    elif variant == 'topdown':
        rows = b''.join(reversed(bmp.pixel_rows()))
        extra = masks if bmp.compression == 3 else b''
        write(target, bmp.width, -bmp.height, bmp.bits, bmp.compression, rows, bmp.table, extra)
    elif variant in ('v2', 'v3', 'v4', 'info'):
        size = {'v2': 52, 'v3': 56, 'v4': 108, 'info': 40}[variant]
        extra = bmp.extra[:size - 40] if size > 40 else masks
        write(target, bmp.width, bmp.height, bmp.bits, bmp.compression, bmp.rows, bmp.table, extra,
              header_size=size)
    elif variant == 'rgb16':
        assert bmp.bits == 16 and masks == struct.pack('<III', 0x7C00, 0x3E0, 0x1F)
        write(target, bmp.width, bmp.height, 16, 0, bmp.rows)
    elif variant == 'rgb32':
        assert bmp.bits == 24
        rows = b''.join(b''.join(row[x * 3:x * 3 + 3] + b'\xff' for x in range(bmp.width))
                        for row in bmp.pixel_rows())
        write(target, bmp.width, bmp.height, 32, 0, rows)
    elif variant == 'shorttable':
        used = max(max(r) for r in bmp.indices()) + 1
        write(target, bmp.width, bmp.height, bmp.bits, 0, bmp.rows, bmp.table[:4 * used], clr_used=used)
    elif variant == 'gap':
        write(target, bmp.width, bmp.height, bmp.bits, 0, bmp.rows, bmp.table, gap=b'\xAA' * 6)
    else:
        sys.exit('unknown variant ' + variant)


if __name__ == '__main__':
    main()
