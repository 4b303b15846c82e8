#!/usr/bin/python3
"""Writes the damaged compound-file corpus: a small valid file and variants of it with one
defect each, named after the defect, and expected.txt with the status each must give.
Run it from anywhere; the files land next to this script."""
import os
import struct

HERE = os.path.dirname(os.path.abspath(__file__))
SS = 512
FREE, EOC, FATSECT, DIFSECT, NOSTREAM = 0xFFFFFFFF, 0xFFFFFFFE, 0xFFFFFFFD, 0xFFFFFFFC, 0xFFFFFFFF

OK = 0x00000000
FILE_ALREADY_EXISTS = 0x80030050
INVALID_HEADER = 0x800300FB
CORRUPT = 0x80030109


def pattern(n, seed):
    x = (seed * 2654435761 + 12345) & 0xFFFFFFFF
    out = bytearray(n)
    for i in range(n):
        x = (x * 1103515245 + 12345) & 0xFFFFFFFF
        out[i] = x >> 24
    return bytes(out)


def entry(name, typ, color=1, left=NOSTREAM, right=NOSTREAM, child=NOSTREAM, start=EOC, size=0):
    raw = name.encode('utf-16-le')
    e = bytearray(128)
    e[0:len(raw)] = raw
    struct.pack_into('<HBB', e, 0x40, len(raw) + 2 if name else 0, typ, color)
    struct.pack_into('<III', e, 0x44, left, right, child)
    struct.pack_into('<IQ', e, 0x74, start, size)
    return e


class Layout:
    """Sector 0 FAT; 1-2 directory; 3 mini FAT; 4 mini stream; 5-14 the stream "big"."""

    def __init__(self):
        self.small = pattern(100, 1)
        self.inner = pattern(10, 2)
        self.big = pattern(5000, 3)
        self.fat = [FREE] * 128
        self.fat[0] = FATSECT
        self.fat[1], self.fat[2] = 2, EOC
        self.fat[3] = EOC
        self.fat[4] = EOC
        for s in range(5, 14):
            self.fat[s] = s + 1
        self.fat[14] = EOC
        self.minifat = [FREE] * 128
        self.minifat[0], self.minifat[1] = 1, EOC  # small
        self.minifat[2] = EOC  # inner
        # Entries: 0 root, 1 "big", 2 "small", 3 "sub" (the root's tree: big < sub < small),
        # 4 "inner" (in sub).
        self.entries = [
            entry('Root Entry', 5, child=3, start=4, size=192),
            entry('big', 2, start=5, size=5000),
            entry('small', 2, start=0, size=100),
            entry('sub', 1, left=1, right=2, child=4),
            entry('inner', 2, start=2, size=10),
        ] + [entry('', 0)] * 3
        self.header = self.make_header()
        self.extra = b''

    def make_header(self):
        h = bytearray(512)
        h[0:8] = bytes([0xD0, 0xCF, 0x11, 0xE0, 0xA1, 0xB1, 0x1A, 0xE1])
        struct.pack_into('<HHHHH', h, 0x18, 0x3E, 3, 0xFFFE, 9, 6)
        struct.pack_into('<IIIIIIIII', h, 0x28, 0, 1, 1, 0, 4096, 3, 1, EOC, 0)
        for i in range(109):
            struct.pack_into('<I', h, 0x4C + 4 * i, 0 if i == 0 else FREE)
        return h

    def set_entry(self, i, **fields):
        e = bytearray(self.entries[i])
        for key, value in fields.items():
            if key == 'left':
                struct.pack_into('<I', e, 0x44, value)
            elif key == 'right':
                struct.pack_into('<I', e, 0x48, value)
            elif key == 'child':
                struct.pack_into('<I', e, 0x4C, value)
            elif key == 'start':
                struct.pack_into('<I', e, 0x74, value)
            elif key == 'size':
                struct.pack_into('<Q', e, 0x78, value)
            elif key == 'type':
                e[0x42] = value
            elif key == 'namelen':
                struct.pack_into('<H', e, 0x40, value)
        self.entries[i] = e

    def build(self):
        mini = bytearray(SS)
        mini[0:100] = self.small
        mini[128:138] = self.inner
        big = bytearray(10 * SS)
        big[0:5000] = self.big
        sectors = [
            b''.join(struct.pack('<I', v) for v in self.fat),
            b''.join(self.entries[0:4]),
            b''.join(self.entries[4:8]),
            b''.join(struct.pack('<I', v) for v in self.minifat),
            bytes(mini),
            bytes(big),
        ]
        return bytes(self.header) + b''.join(sectors) + self.extra


def version4():
    """The same tree in a version-4 file: 4096-byte sectors, sector 0 FAT, 1 directory,
    2 mini FAT, 3 mini stream, 4-5 the stream "big"."""
    ss = 4096
    lay = Layout()
    fat = [FREE] * 1024
    fat[0] = FATSECT
    fat[1] = fat[2] = fat[3] = EOC
    fat[4], fat[5] = 5, EOC
    lay.set_entry(1, start=4)
    lay.set_entry(0, start=3)
    header = lay.header
    struct.pack_into('<HH', header, 0x1A, 4, 0xFFFE)
    struct.pack_into('<H', header, 0x1E, 12)
    struct.pack_into('<IIII', header, 0x28, 1, 1, 1, 0)
    struct.pack_into('<III', header, 0x3C, 2, 1, EOC)
    minifat = b''.join(struct.pack('<I', v) for v in lay.minifat + [FREE] * (1024 - 128))
    mini = bytearray(ss)
    mini[0:100] = lay.small
    mini[128:138] = lay.inner
    big = bytearray(2 * ss)
    big[0:5000] = lay.big
    entries = b''.join(lay.entries) + bytes(ss - 8 * 128)
    return (bytes(header) + bytes(ss - 512) + b''.join(struct.pack('<I', v) for v in fat) +
            entries + minifat + bytes(mini) + bytes(big))


def variants():
    yield 'valid.cfb', OK, Layout().build()
    yield 'valid_version4.cfb', OK, version4()
    # Legal but not red-black: every sibling hangs to the right, all black.
    lay = Layout()
    lay.set_entry(0, child=1)
    lay.set_entry(1, right=3)
    lay.set_entry(3, left=NOSTREAM, right=2)
    yield 'valid_unbalanced_tree.cfb', OK, lay.build()
    yield 'empty_file.cfb', FILE_ALREADY_EXISTS, b''
    yield 'not_a_compound_file.cfb', FILE_ALREADY_EXISTS, b'Just a text file.\r\n' * 40

    def header_patch(name, status, offset, fmt, value):
        lay = Layout()
        struct.pack_into(fmt, lay.header, offset, value)
        return name, status, lay.build()

    yield 'truncated_header.cfb', INVALID_HEADER, Layout().build()[:300]
    yield header_patch('bad_byte_order.cfb', INVALID_HEADER, 0x1C, '<H', 0xFEFF)
    yield header_patch('bad_major_version.cfb', INVALID_HEADER, 0x1A, '<H', 5)
    yield header_patch('bad_sector_shift.cfb', INVALID_HEADER, 0x1E, '<H', 12)
    yield header_patch('bad_mini_sector_shift.cfb', INVALID_HEADER, 0x20, '<H', 7)
    yield header_patch('bad_mini_cutoff.cfb', INVALID_HEADER, 0x38, '<I', 0x1000000)
    yield header_patch('absurd_fat_sector_count.cfb', INVALID_HEADER, 0x2C, '<I', 0x7FFFFFFF)
    yield header_patch('absurd_mini_fat_sector_count.cfb', INVALID_HEADER, 0x40, '<I', 0x40000000)
    yield header_patch('absurd_difat_sector_count.cfb', INVALID_HEADER, 0x48, '<I', 0xFFFFFFF0)
    yield header_patch('zero_fat_sectors.cfb', INVALID_HEADER, 0x2C, '<I', 0)
    yield header_patch('fat_sector_out_of_range.cfb', CORRUPT, 0x4C, '<I', 100000)
    yield header_patch('directory_start_out_of_range.cfb', CORRUPT, 0x30, '<I', 5000)
    yield header_patch('directory_start_free.cfb', CORRUPT, 0x30, '<I', FREE)
    yield header_patch('mini_fat_start_out_of_range.cfb', CORRUPT, 0x3C, '<I', 77777)

    def fat_patch(name, index, value):
        lay = Layout()
        lay.fat[index] = value
        return name, CORRUPT, lay.build()

    yield fat_patch('fat_chain_cycle.cfb', 14, 5)
    yield fat_patch('fat_chain_self_loop.cfb', 7, 7)
    yield fat_patch('fat_link_out_of_range.cfb', 9, 0x00FFFFFF)
    yield fat_patch('fat_link_to_free_marker.cfb', 9, FREE)
    yield fat_patch('directory_chain_cycle.cfb', 2, 1)

    lay = Layout()
    lay.minifat[1] = 0
    yield 'mini_fat_chain_cycle.cfb', CORRUPT, lay.build()

    def entry_patch(name, status, i, **fields):
        lay = Layout()
        lay.set_entry(i, **fields)
        return name, status, lay.build()

    yield entry_patch('directory_tree_cycle.cfb', CORRUPT, 1, left=3)
    yield entry_patch('directory_child_cycle.cfb', CORRUPT, 3, child=3)
    yield entry_patch('directory_link_out_of_range.cfb', CORRUPT, 2, right=99999)
    yield entry_patch('directory_link_to_unused_entry.cfb', CORRUPT, 2, right=6)
    yield entry_patch('directory_link_to_root.cfb', CORRUPT, 4, left=0)
    yield entry_patch('root_entry_not_root_type.cfb', CORRUPT, 0, type=1)
    yield entry_patch('entry_type_unknown.cfb', CORRUPT, 1, type=7)
    yield entry_patch('entry_name_length_odd.cfb', CORRUPT, 1, namelen=7)
    yield entry_patch('entry_name_length_too_long.cfb', CORRUPT, 1, namelen=200)
    yield entry_patch('stream_size_beyond_chain.cfb', CORRUPT, 1, size=5200)
    yield entry_patch('stream_size_beyond_file.cfb', CORRUPT, 1, size=0xFFFFFFF0)
    yield entry_patch('mini_stream_size_beyond_chain.cfb', CORRUPT, 2, size=1000)
    yield entry_patch('mini_sector_outside_mini_stream.cfb', CORRUPT, 4, start=60)
    yield entry_patch('root_mini_stream_beyond_chain.cfb', CORRUPT, 0, size=4000)
    yield entry_patch('stream_shares_mini_stream_sector.cfb', CORRUPT, 1, start=4)
    yield entry_patch('stream_shares_fat_sector.cfb', CORRUPT, 1, start=0)
    yield entry_patch('stream_shares_mini_sector.cfb', CORRUPT, 4, start=1)

    yield 'truncated_in_stream.cfb', CORRUPT, Layout().build()[:512 * 9]
    yield 'truncated_to_header.cfb', CORRUPT, Layout().build()[:1024]

    # A DIFAT chain that loops back on itself; the file is padded so that the FAT sector
    # count (240) fits it.
    lay = Layout()
    lay.extra = bytes(SS * 250)
    struct.pack_into('<I', lay.header, 0x2C, 240)
    slots = [0] + list(range(15, 123))
    for i, s in enumerate(slots):
        struct.pack_into('<I', lay.header, 0x4C + 4 * i, s)
    struct.pack_into('<II', lay.header, 0x44, 130, 2)
    data = bytearray(lay.build())
    difat = struct.pack('<127I', *range(131, 258)) + struct.pack('<I', 130)
    data[(130 + 1) * SS:(130 + 2) * SS] = difat
    yield 'difat_chain_cycle.cfb', CORRUPT, bytes(data)


def main():
    lines = []
    for name, status, data in variants():
        with open(os.path.join(HERE, name), 'wb') as f:
            f.write(data)
        lines.append('%s 0x%08X' % (name, status))
    with open(os.path.join(HERE, 'expected.txt'), 'w') as f:
        f.write('\n'.join(lines) + '\n')


if __name__ == '__main__':
    main()
