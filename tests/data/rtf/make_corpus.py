#!/usr/bin/env python3
# Writes the RTF corpus: record bodies as the Windows rich-edit control writes them, each
# with the plain text it shows (name.txt, UTF-8, paragraphs separated by CR LF). The binary
# parts (a 2x2 bitmap, its metafile, a PNG, an OLE1 PBrush object) are built here so that
# their hex is valid; the texts are written by hand.
import struct, zlib, os

HERE = os.path.dirname(os.path.abspath(__file__))

def dib_2x2():
    # BITMAPINFOHEADER, 24 bits, bottom-up rows padded to 4 bytes: blue, green / red, white.
    header = struct.pack('<IiiHHIIiiII', 40, 2, 2, 1, 24, 0, 16, 3780, 3780, 0, 0)
    rows = bytes([255, 0, 0, 0, 255, 0, 0, 0]) + bytes([0, 0, 255, 255, 255, 255, 0, 0])
    return header + rows

def record(function, params):
    return struct.pack('<IH', (6 + len(params)) // 2, function) + params

def wmf_of(dib):
    records = record(0x0103, struct.pack('<H', 8))                 # SETMAPMODE anisotropic
    records += record(0x020B, struct.pack('<hh', 0, 0))            # SETWINDOWORG
    records += record(0x020C, struct.pack('<hh', 2, 2))            # SETWINDOWEXT
    records += record(0x0107, struct.pack('<H', 3))                # SETSTRETCHBLTMODE
    stretch = struct.pack('<IHhhhhhhhh', 0x00CC0020, 0, 2, 2, 0, 0, 2, 2, 0, 0) + dib
    records += record(0x0F43, stretch)                             # STRETCHDIB
    records += record(0x0000, b'')                                 # EOF
    largest = (6 + len(stretch)) // 2
    header = struct.pack('<HHHIHIH', 1, 9, 0x0300, (18 + len(records)) // 2, 0, largest, 0)
    return header + records

def png_2x2():
    def chunk(kind, data):
        return struct.pack('>I', len(data)) + kind + data + struct.pack('>I', zlib.crc32(kind + data))
    raw = b'\x00' + bytes([0, 0, 255, 0, 255, 0]) + b'\x00' + bytes([255, 0, 0, 255, 255, 255])
    return (b'\x89PNG\r\n\x1a\n' + chunk(b'IHDR', struct.pack('>IIBBBBB', 2, 2, 8, 2, 0, 0, 0)) +
            chunk(b'IDAT', zlib.compress(raw)) + chunk(b'IEND', b''))

def ole1_pbrush(bmp):
    def ansi(s):
        return struct.pack('<I', len(s) + 1) + s + b'\x00'
    native = struct.pack('<II', 0x0501, 2) + ansi(b'PBrush') + struct.pack('<II', 0, 0)
    native += struct.pack('<I', len(bmp)) + bmp
    return native + struct.pack('<II', 0x0501, 0)   # no presentation object

def hexlines(data, width=128):
    h = data.hex()
    return '\r\n'.join(h[i:i + width] for i in range(0, len(h), width))

DIB = dib_2x2()
WMF = wmf_of(DIB)
BMP = b'BM' + struct.pack('<IHHI', 14 + len(DIB), 0, 0, 14 + 40) + DIB
PNG = png_2x2()

HEAD = (r'{\rtf1\ansi\ansicpg1251\deff0\deflang1049{\fonttbl{\f0\fswiss\fcharset204{\*\fname Arial;}'
        r'Arial CYR;}}' '\r\n' r'\viewkind4\uc1\pard\lang1049\f0\fs20 ')

BODIES = {}

BODIES['cyrillic_fonts'] = (
    r"{\rtf1\ansi\ansicpg1251\deff0\deflang1049{\fonttbl{\f0\fswiss\fcharset204{\*\fname Arial;}Arial CYR;}"
    r"{\f1\froman\fcharset238{\*\fname Times New Roman;}Times New Roman CE;}"
    r"{\f2\fswiss\fcharset161{\*\fname Arial;}Arial Greek;}{\f3\fnil Courier;}{\f4\fswiss\fcharset0 Arial;}}" "\r\n"
    r"\viewkind4\uc1\pard\lang1049\f0\fs20 \'cf\'f0\'e8\'e2\'e5\'f2, \'ec\'e8\'f0!\par" "\r\n"
    r"\f1 Za\'bf\'f3\'b3\'e6 g\'ea\'9cl\'b9 ja\'9f\'f1\par" "\r\n"
    r"\f2 \'e1\'e2\'e3\par" "\r\n"
    r"\f3 \'c0\'e1\'e2\par" "\r\n"
    r"\f4 caf\'e9 \'80\par" "\r\n}\r\n",
    "Привет, мир!\r\nZażółć gęślą jaźń\r\nαβγ\r\nАбв\r\ncafé €")

BODIES['unicode_uc'] = (
    r"{\rtf1\ansi\ansicpg1251\deff0{\fonttbl{\f0\fswiss\fcharset204 Arial;}{\f1\fnil\fcharset2 Symbol;}}" "\r\n"
    r"\viewkind4\uc1\pard\f0\fs20 uc1: \u8364?\u937?x\par" "\r\n"
    r"{\uc0 uc0: \u8364\u937 xyz}\par" "\r\n"
    r"{\uc2 uc2: \u8364\'88\'3f y \u8212--z}\par" "\r\n"
    r"scope: \u1046?\u1046\'c6 end\par" "\r\n"
    r"neg: \u-1280?\u-10179?\u-8704?\par" "\r\n"
    r"hex fallback: \u1071\'df!\par" "\r\n"
    r"sym: {\f1 \u61623\'b7 \'b7 a}\par" "\r\n}",
    "uc1: €Ωx\r\nuc0: €Ωxyz\r\nuc2: € y —z\r\nscope: ЖЖ end\r\nneg: ﬀ😀\r\nhex fallback: Я!\r\nsym: • • α")

BODIES['bullets_lines'] = (
    r"{\rtf1\ansi\ansicpg1251\deff0\deflang1049{\fonttbl{\f0\fswiss\fcharset204{\*\fname Arial;}Arial CYR;}"
    r"{\f1\fnil\fcharset2 Symbol;}}" "\r\n"
    r"\viewkind4\uc1\pard\lang1049\f0\fs20\'d1\'ef\'e8\'f1\'ee\'ea:\par" "\r\n"
    r"\pard{\pntext\f1\'b7\tab}{\*\pn\pnlvlblt\pnf1\pnindent0{\pntxtb\'b7}}\fi-720\li720 \'ef\'e5\'f0\'e2\'fb\'e9\par" "\r\n"
    r"{\pntext\f1\'b7\tab}\'e2\'f2\'ee\'f0\'ee\'e9\line\'ef\'f0\'ee\'e4\'ee\'eb\'e6\'e5\'ed\'e8\'e5\par" "\r\n"
    r"\pard{\pntext\f0 1.\tab}{\*\pn\pnlvlbody\pnf0\pnindent0\pnstart1\pndec{\pntxta.}}\fi-360\li720 \'ee\'e4\'e8\'ed\par" "\r\n"
    r"{\pntext\f0 2.\tab}\'e4\'e2\'e0\par" "\r\n"
    r"\pard\'f1\'f2\'ee\'eb\'e1\'e5\'f6\tab\'e7\'ed\'e0\'f7\'e5\'ed\'e8\'e5\par" "\r\n}\r\n",
    "Список:\r\n•\tпервый\r\n•\tвторой\r\nпродолжение\r\n1.\tодин\r\n2.\tдва\r\nстолбец\tзначение")

BODIES['formatting'] = (
    r"{\rtf1\ansi\ansicpg1251\deff0\deflang1049{\fonttbl{\f0\fswiss\fcharset204{\*\fname Arial;}Arial CYR;}"
    r"{\f1\fmodern\fprq1\fcharset204 Courier New;}}" "\r\n"
    r"{\colortbl ;\red255\green0\blue0;\red0\green128\blue0;\red255\green255\blue0;}" "\r\n"
    r"\viewkind4\uc1\pard\lang1049\f0\fs20 plain \b bold\b0  \i italic\i0  \ul single\ulnone  \uld dotted\ulnone  "
    r"\uldb double\ulnone  \ulw words\ulnone  \strike gone\strike0\par" "\r\n"
    r"\cf1 red\cf0  \cf2\highlight3 green on yellow\cf0\highlight0  H\sub 2\nosupersub O x\super 2\nosupersub  "
    r"\up6 up\up0  \dn4 down\dn0\par" "\r\n"
    r"\f1\fs28 mono\f0\fs20  {\v hidden}visible\par" "\r\n}\r\n",
    "plain bold italic single dotted double words gone\r\nred green on yellow H2O x2 up down\r\nmono visible")

BODIES['paragraphs'] = (
    HEAD.replace(r'\pard\lang1049', r'\pard\qc\lang1049') + r"centre\par" "\r\n"
    r"\pard\qr right\par" "\r\n"
    r"\pard\qj\li1440\ri720\fi-360\sb120\sa240\sl360\slmult1 justified\par" "\r\n"
    r"\pard\tx1440\tqc\tx2880\tqr\tldot\tx4320\tqdec\tx5760 a\tab b\tab c\tab d\tab 1.5\par" "\r\n"
    r"\pard\par" "\r\n"
    r"end\par" "\r\n}\r\n",
    "centre\r\nright\r\njustified\r\na\tb\tc\td\t1.5\r\n\r\nend")

BODIES['picture_wmf'] = (
    HEAD + r"before {\pict\wmetafile8\picw53\pich53\picwgoal30\pichgoal30 " "\r\n" + hexlines(WMF) +
    "\r\n}after\\par\r\n}\r\n",
    "before after")

BODIES['picture_dib'] = (
    HEAD + r"dib:{\pict\dibitmap0\picw2\pich2\picwgoal30\pichgoal30 " "\r\n" + hexlines(DIB) +
    "\r\n}\\par\r\n}\r\n",
    "dib:")

BODIES['picture_png'] = (
    HEAD + r"png:{\*\shppict{\pict{\*\picprop\shplid1025{\sp{\sn shapeType}{\sv 75}}}\picscalex50\picscaley50"
    r"\piccropl0\piccropr0\piccropt0\piccropb0\picw53\pich53\picwgoal30\pichgoal30\pngblip"
    r"\bliptag-1{\*\blipuid 0123456789abcdef0123456789abcdef}" "\r\n" + hexlines(PNG) + "}}"
    r"{\nonshppict{\pict\picscalex50\picscaley50\picw53\pich53\picwgoal30\pichgoal30\wmetafile8 " "\r\n" +
    hexlines(WMF) + "}}\\par\r\n}\r\n",
    "png:")

OBJECT = (r"{\object\objemb{\*\objclass PBrush}\objw30\objh30{\*\objdata " "\r\n" +
          hexlines(ole1_pbrush(BMP)) + "\r\n}" +
          r"{\result{\pict\wmetafile8\picw53\pich53\picwgoal30\pichgoal30 " "\r\n" + hexlines(WMF) + "\r\n}}}")
BODIES['object_pbrush'] = (
    HEAD + r"\'ce\'e1\'fa\'e5\'ea\'f2: " + OBJECT + r"\'ea\'ee\'ed\'e5\'f6\par" "\r\n}\r\n",
    "Объект: конец")

BIN_BODY = (HEAD.encode() + rb"a{\*\kelvoblob\bin6 }}{{\x}b{\pict\pngblip\picw2\pich2\picwgoal30\pichgoal30\bin" +
            str(len(PNG)).encode() + b" " + PNG + rb"}c\bin3 xyzd\par" + b"\r\n}\r\n")
BODIES['bin_data'] = (BIN_BODY, "abcd")

BODIES['trailing_nul'] = (HEAD + r"\'d2\'e5\'ea\'f1\'f2\par" "\r\n}\r\n\0", "Текст")

BODIES['msftedit'] = (
    r"{\rtf1\ansi\ansicpg1251\deff0\nouicompat\deflang1049{\fonttbl{\f0\fnil\fcharset204 Calibri;}"
    r"{\f1\fnil\fcharset0 Calibri;}}" "\r\n"
    r"{\*\generator Riched20 10.0.19041}\viewkind4\uc1 " "\r\n"
    r"\pard\sa200\sl276\slmult1\f0\fs22\lang1049\'d0\'f3\'f1\'f1\'ea\'e8\'e9 \f1\lang1033 English \u8470?\f0\lang1049 1\par" "\r\n}\r\n\0",
    "Русский English №1")

BODIES['empty'] = (HEAD.replace(r'\fs20 ', r'\fs20') + "\\par\r\n}\r\n\0", "")

BODIES['word_paste'] = (
    r"{\rtf1\adeflang1025\ansi\ansicpg1251\uc1\adeff31507\deff0{\fonttbl{\f0\fbidi \froman\fcharset204\fprq2"
    r"{\*\panose 02020603050405020304}Times New Roman;}{\f3\fbidi \froman\fcharset2\fprq2"
    r"{\*\panose 05050102010706020507}Symbol;}}" "\r\n"
    r"{\colortbl;\red0\green0\blue0;\red0\green0\blue255;}{\stylesheet{\ql \li0\ri0\widctlpar\f0\fs24 \snext0 Normal;}"
    r"{\*\cs10 \additive Default Paragraph Font;}}" "\r\n"
    r"{\info{\title \'c7\'e0\'e3\'ee\'eb\'ee\'e2\'ee\'ea}{\author Someone}}{\*\listtable{\list\listtemplateid1"
    r"{\listlevel\levelnfc23{\leveltext\'01\u-3913 ?;}{\levelnumbers;}\f3}{\listname ;}\listid5}}" "\r\n"
    r"\pard\plain \ltrpar\ql \li0\ri0\f0\fs24 {\rtlch\fcs1 \ltrch\fcs0 \insrsid1 \'d1\'f1\'fb\'eb\'ea\'e0: }"
    r"{\field{\*\fldinst {HYPERLINK " '"http://example.com/"' r"}}{\fldrslt {\ul\cf2 example}}}"
    r"{\*\bkmkstart mark}{\*\bkmkend mark}\par" "\r\n"
    r"{\listtext\pard\plain\f3\fs24 \'b7\tab}\ls1 \'ef\'f3\'ed\'ea\'f2\par" "\r\n}",
    "Ссылка: example\r\n•\tпункт")

for name, (body, text) in BODIES.items():
    data = body if isinstance(body, bytes) else body.encode('latin-1')
    with open(os.path.join(HERE, name + '.rtf'), 'wb') as f:
        f.write(data)
    with open(os.path.join(HERE, name + '.txt'), 'wb') as f:
        f.write(text.encode('utf-8'))
# The parts, for tests that compare decoded pictures with their source.
with open(os.path.join(HERE, 'bitmap_2x2.bmp'), 'wb') as f:
    f.write(BMP)
with open(os.path.join(HERE, 'bitmap_2x2.png'), 'wb') as f:
    f.write(PNG)
