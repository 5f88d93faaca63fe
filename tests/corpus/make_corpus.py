#!/usr/bin/env python3
"""Writes the hand-made inputs of tests/corpus/<target>/ (the files named
hm-*). Files found by fuzzing sit beside them under their own names and are
not touched. Run from anywhere; the output is committed, so the tests do not
need Python.

Each fuzz target reads its input in its own layout (see the comment at the
top of fuzz/<source>.cpp); the helpers below put the leading choice bytes in
front of the file bytes where a target expects them.
"""
import os
import struct

HERE = os.path.dirname(os.path.abspath(__file__))


def write(target, name, data):
    folder = os.path.join(HERE, target)
    os.makedirs(folder, exist_ok=True)
    if isinstance(data, str):
        data = data.encode('latin-1')
    with open(os.path.join(folder, 'hm-' + name), 'wb') as out:
        out.write(data)


def clean():
    for target in os.listdir(HERE):
        folder = os.path.join(HERE, target)
        if not os.path.isdir(folder):
            continue
        for name in os.listdir(folder):
            if name.startswith('hm-'):
                os.remove(os.path.join(folder, name))


# ---------------------------------------------------------------- BMP files

def bmp(width, height, bits=24, compression=0, info_size=40, magic=b'BM', pixels=None, palette=None,
        colours_used=0, offset=None, planes=1):
    """A BMP file; pixel rows are padded to 4 bytes and filled with a
    pattern unless `pixels` is given."""
    bpp = max(bits // 8, 1)
    if pixels is None:
        # Only small pictures get their pixels; large headers stand alone.
        row = (abs(width) * bpp + 3) // 4 * 4
        count = row * abs(height) if row * abs(height) <= 4096 else 0
        pixels = bytes((i * 37 + 11) & 0xFF for i in range(count))
    if palette is None and bits == 8:
        palette = b''.join(bytes((i, 255 - i, (i * 7) & 0xFF, 0)) for i in range(256))
    palette = palette or b''
    header_end = 14 + info_size
    if offset is None:
        offset = header_end + len(palette)
    info = struct.pack('<IiiHHIIiiII', info_size, width, height, planes, bits, compression, len(pixels), 0, 0,
                       colours_used, 0)
    info = info[:info_size].ljust(info_size, b'\0')
    size = (offset + len(pixels)) & 0xFFFFFFFF
    return magic + struct.pack('<IHHI', size, 0, 0, offset) + info + palette + pixels


def bmp_cases():
    good = bmp(3, 2)
    cases = {
        'bmp24-3x2-odd-row.bmp': good,
        'bmp24-top-down.bmp': bmp(3, -2),
        'bmp8-2x2.bmp': bmp(2, 2, bits=8),
        'bmp32-2x2.bmp': bmp(2, 2, bits=32),
        'bmp32-bitfields.bmp': bmp(2, 2, bits=32, compression=3),
        'bmp24-v5-header.bmp': bmp(2, 2, info_size=124),
        'empty.bmp': b'',
        'one-byte.bmp': b'B',
        'file-header-only.bmp': good[:14],
        'info-header-cut.bmp': good[:30],
        'headers-one-short.bmp': good[:53],
        'headers-only.bmp': good[:54],
        'pixels-one-short.bmp': good[:-1],
        'pixels-cut.bmp': good[:-7],
        'magic-mb.bmp': b'MB' + good[2:],
        'magic-ba.bmp': b'BA' + good[2:],
        'width-0.bmp': bmp(0, 2),
        'height-0.bmp': bmp(3, 0),
        'width-negative.bmp': bmp(-3, 2),
        'height-int32-min.bmp': bmp(3, -2**31),
        'width-int32-max.bmp': bmp(2**31 - 1, 1),
        'width-int32-min.bmp': bmp(-2**31, 1),
        'square-46341.bmp': bmp(46341, 46341),
        'pixels-2-pow-29.bmp': bmp(16384, 32768),
        'bits-0.bmp': bmp(2, 2, bits=0),
        'bits-1.bmp': bmp(8, 2, bits=1),
        'bits-4.bmp': bmp(4, 2, bits=4),
        'bits-16.bmp': bmp(2, 2, bits=16),
        'bits-48.bmp': bmp(2, 2, bits=48),
        'bits-65535.bmp': bmp(2, 2, bits=65535),
        'rle8.bmp': bmp(2, 2, bits=8, compression=1),
        'rle4.bmp': bmp(2, 2, bits=8, compression=2),
        'bitfields-24.bmp': bmp(2, 2, compression=3),
        'jpeg.bmp': bmp(2, 2, compression=4),
        'compression-ffffffff.bmp': bmp(2, 2, compression=0xFFFFFFFF),
        'core-header-12.bmp': bmp(2, 2, info_size=12),
        'info-size-ffffffff.bmp': bmp(2, 2)[:14] + struct.pack('<I', 0xFFFFFFFF) + bmp(2, 2)[18:],
        'offset-past-end.bmp': bmp(2, 2, offset=100000),
        'offset-0.bmp': bmp(2, 2, offset=0),
        'offset-ffffffff.bmp': bmp(2, 2, offset=0xFFFFFFFF),
        'palette-used-huge.bmp': bmp(2, 2, bits=8, colours_used=0x7FFFFFFF),
        'palette-used-300.bmp': bmp(2, 2, bits=8, colours_used=300),
        'palette-cut.bmp': bmp(2, 2, bits=8)[:54 + 100],
        'planes-0.bmp': bmp(2, 2, planes=0),
    }
    return cases


# -------------------------------------------------------- PPM and PGM files

def netpbm(magic, width, height, maximum, channels, text=None):
    header = text if text is not None else '%s\n%s %s\n%s\n' % (magic, width, height, maximum)
    try:
        count = int(width) * int(height) * channels
    except ValueError:
        count = 0
    count = count if 0 <= count <= 4096 else 0
    return header.encode('latin-1') + bytes((i * 29) & 0xFF for i in range(count))


def image_layer_cases(magic, channels):
    other = 'P5' if magic == 'P6' else 'P6'
    good = netpbm(magic, 2, 3, 255, channels)
    return {
        'good-2x3': good,
        'wrong-magic': netpbm(other, 2, 3, 255, channels),
        'ascii-magic': netpbm('P3' if magic == 'P6' else 'P2', 2, 3, 255, channels),
        'max-65535': netpbm(magic, 2, 3, 65535, channels),
        'max-256': netpbm(magic, 2, 3, 256, channels),
        'max-0': netpbm(magic, 2, 3, 0, channels),
        'token-five-digits': netpbm(magic, 10000, 1, 255, channels),
        'size-9999-square-short': netpbm(magic, 9999, 9999, 255, channels),
        'width-0': netpbm(magic, 0, 3, 255, channels),
        'height-0': netpbm(magic, 2, 0, 255, channels),
        'negative-width': netpbm(magic, -2, 3, 255, channels),
        'letters-as-size': netpbm(magic, 'ab', 'z9', 255, channels),
        'comment-after-magic': '%s\n# made by hand\n2 3\n255\n' % magic + 'x' * (6 * channels),
        'two-separators': '%s\n\n2 3\n255\n' % magic + 'x' * (6 * channels),
        'ends-in-header': '%s\n2 3' % magic,
        'ends-after-magic': magic,
        'empty': '',
        'pixels-one-short': good[:-1],
        'crlf': '%s\r\n2 3\r\n255\r\n' % magic,
    }


def ulma_ppm_cases():
    def ppm(header, count):
        return header.encode('latin-1') + bytes((i * 53) & 0xFF for i in range(count))
    return {
        'good-3x2.ppm': ppm('P6\n3 2\n255\n', 18),
        'comments-between.ppm': ppm('P6\n# one\n#two\n3 2\n# three\n255\n', 18),
        'comment-after-max.ppm': ppm('P6\n3 2\n255# four\n', 18),
        'size-on-magic-line.ppm': ppm('P6 3 2\n255\n', 18),
        'tabs-and-crlf.ppm': ppm('P6\t3\r\n2\r\n255\r', 18),
        'magic-p3.ppm': ppm('P3\n3 2\n255\n', 18),
        'magic-p5.ppm': ppm('P5\n3 2\n255\n', 6),
        'magic-digit-joined.ppm': ppm('P61 1\n255\n', 3),
        'max-missing.ppm': ppm('P6\n3 2\n', 0),
        'max-65535.ppm': ppm('P6\n3 2\n65535\n', 36),
        'max-0.ppm': ppm('P6\n3 2\n0\n', 18),
        'width-0.ppm': ppm('P6\n0 2\n255\n', 0),
        'height-0.ppm': ppm('P6\n3 0\n255\n', 0),
        'negative-size.ppm': ppm('P6\n-3 2\n255\n', 18),
        'width-2-pow-31.ppm': ppm('P6\n2147483648 1\n255\n', 0),
        'size-just-too-large.ppm': ppm('P6\n16384 32768\n255\n', 0),
        'many-digits.ppm': ppm('P6\n' + '9' * 400 + ' ' + '9' * 400 + '\n255\n', 0),
        'pixels-one-short.ppm': ppm('P6\n3 2\n255\n', 17),
        'ends-in-comment.ppm': ppm('P6\n3 2\n255 # no line end', 0),
        'ends-after-magic.ppm': ppm('P6', 0),
        'empty.ppm': ppm('', 0),
        'letters-as-size.ppm': ppm('P6\nab 2\n255\n', 18),
    }


# ------------------------------------------------------ render-data files

def waveform(byte38, boundaries, length=None):
    data = bytearray(48)
    data[38] = byte38
    data += bytes(b & 0xFF for b in boundaries)
    if length is not None:
        data = data[:length].ljust(length, b'\0')
    return bytes(data)


def waveform_cases():
    return {
        'one-band.wbf': waveform(0, [-10, 60]),
        'three-bands.wbf': waveform(2, [0, 10, 20, 30]),
        'negative-boundary-0xfb.wbf': waveform(1, [0xFB, 0, 40]),
        'descending.wbf': waveform(2, [60, 20, 0, -20]),
        'max-28.wbf': waveform(28, list(range(-14, 16))),
        'too-many-29.wbf': waveform(29, list(range(-15, 16))),
        'byte38-255.wbf': waveform(255, list(range(256))),
        'table-one-short.wbf': waveform(2, [0, 10, 20]),
        'ends-before-table.wbf': waveform(2, [], length=40),
        'ends-at-38.wbf': bytes(38),
        'empty.wbf': b'',
    }


def palette_cases():
    good = '12 0 0\n80 0 0\n50 60 40\n60 -50 40\n40 20 -60\n85 -5 80\n55 40 60\n30 10 -20\n'
    return {
        'eight-colours.txt': good,
        'seven-colours.txt': '\n'.join(good.split('\n')[:7]) + '\n',
        'thirty-numbers.txt': good + '1 2 3\n4 5 6\n',
        'leading-blank.txt': ' ' + good,
        'leading-line-end.txt': '\n\n' + good,
        'garbage.txt': 'abc def\nghi\n',
        'empty.txt': '',
        'only-white-space.txt': ' \n \n\t\n',
        'extreme-numbers.txt': '1e308 -1e308 nan\ninf -inf 1e-320\n100 1e300 -1e300\n',
        'crlf.txt': good.replace('\n', '\r\n'),
        'tabs.txt': good.replace(' ', '\t'),
        'long-token.txt': '5' * 5000 + ' 0 0\n',
        'no-final-line-end.txt': good.rstrip('\n'),
    }


# ------------------------------------------------------------ LUT targets

def ulma_lut_cases(version_0302):
    def case(flags, width, height, sat, light, lut):
        head = bytes((flags, width, height)) + (bytes((sat & 0xFF, light & 0xFF)) if version_0302 else b'')
        pixels = bytes((i * 71) & 0xFF for i in range(((width % 8) + 1) * ((height % 8) + 1) * 3))
        return head + pixels + lut
    pattern = bytes(range(256))
    return {
        'repeated-pattern': case(1, 3, 2, 0, 0, pattern),
        'repeated-with-offsets': case(3, 7, 7, 100, -100, pattern),
        'offsets-beyond-range': case(3, 4, 4, -128, 127, pattern),
        'short-lut': case(0, 3, 2, 0, 0, pattern),
        'empty-lut': case(0, 0, 0, 0, 0, b''),
        'one-byte-repeated': case(1, 1, 1, 20, 20, b'\xff'),
    }


def morva6_lut_cases():
    def case(flags, method, mode, data):
        return bytes((flags, method, mode)) + data
    inks = bytes((0, 0, 0, 255, 255, 255, 0, 255, 255, 0, 0, 255, 0, 255, 0, 255, 0, 0))
    cases = {
        'empty-file': case(0, 5, 1, b''),
        'short-file': case(0, 5, 1, inks),
        'unknown-method': case(1, 6, 1, inks + bytes(range(256))),
        'unknown-modes': case(1, 0, 0, inks + bytes(range(256))),
        'mode-4': case(1, 1, 4, inks + bytes(range(256))),
    }
    for method in range(6):
        cases['method-%d' % method] = case(1, method, method % 3 + 1, inks + bytes(range(255, -1, -1)))
    return cases


# ------------------------------------------------------------ command lines

def words(*ws):
    return '\0'.join(ws)


def morva6_argument_cases():
    paths = ['-i', 'in.bmp', '-o', 'out.bmp', '-l', 'lut.bin']
    return {
        'no-words': '',
        'one-empty-word': '\0',
        'help': words('--help'),
        'version-after-fault': words('-d', '9', '--version'),
        'complete': words(*paths),
        'value-missing-last': words('-i', 'in.bmp', '-o'),
        'option-as-value': words('-i', '-o'),
        'upper-case-extension': words('-i', 'in.BMP', '-o', 'out.bmp', '-l', 'l'),
        'no-dot': words('-i', 'bmp', '-o', 'out.bmp', '-l', 'l'),
        'dither-0-7-text': words(*paths, '-d', '0', '-d', '7', '-d', 'x'),
        'dither-missing': words(*paths, '-d'),
        'numbers-overflow': words(*paths, '-h', '99999999999999999999', '-s', '-99999999999'),
        'gamma-nan': words(*paths, '-g', 'nan'),
        'gamma-huge': words(*paths, '-g', '1e400'),
        'gamma-bounds': words(*paths, '-g', '2', '-g', '0', '-g', '2.01'),
        'tft-bounds': words(*paths, '-t', '-1', '-t', '6'),
        'unknown-option': words(*paths, '--colour', '3'),
        'empty-words': words('', '', '-i', '', '-o', ''),
        'long-word': words('-i', 'x' * 3000 + '.bmp'),
    }


def ulma_command_line_cases(version_0302):
    run = ['pic.ppm', 'out.pgm', 'ULMA_FZ01_TC_03', '25']
    cases = {
        'plain-run': words(*run),
        'proof': words('-p', *run),
        'proof-with-argument': words('-pyes', *run),
        'proof-last': words(*run, '-p'),
        'too-few-words': words('pic.ppm', 'out.pgm'),
        'only-proof': words('-p'),
        'input-not-ppm': words('pic.PPM', 'out.pgm', 'ULMA_FZ01_TC_03', '25'),
        'input-missing': words('none.ppm', 'out.pgm', 'ULMA_FZ01_TC_03', '25'),
        'lot-missing': words('pic.ppm', 'out.pgm', 'ULMA_NONE_TC_03', '25'),
        'lot-too-short': words('pic.ppm', 'out.pgm', 'ab', '25'),
        'lot-dot-dot': words('pic.ppm', 'out.pgm', '..', '25'),
        'lot-too-long': words('pic.ppm', 'out.pgm', 'L' * 120, '25'),
        'output-is-directory': words('pic.ppm', '.', 'ULMA_FZ01_TC_03', '25'),
        'output-is-input': words('pic.ppm', 'pic.ppm', 'ULMA_FZ01_TC_03', '25'),
        'temperature-text': words('pic.ppm', 'out.pgm', 'ULMA_FZ01_TC_03', 'warm'),
        'temperature-huge': words('pic.ppm', 'out.pgm', 'ULMA_FZ01_TC_03', '-99999999999'),
        'unknown-option': words('-x', *run),
    }
    if version_0302:
        cases.update({
            'offsets-clamped': words('-c', '150', '-b', '-150', *run),
            'offsets-nan': words('-c', 'nan', '-b', 'inf', *run),
            'noise': words('-n', '2147483647', *run),
            'noise-negative': words('-n', '-5', *run),
            'value-missing': words('-c'),
        })
    else:
        cases['option-of-0302'] = words('-c', '20', *run)
    return cases


# ------------------------------------------------------------ whole runs

def morva6_pipeline_cases():
    def case(dither, mode, tft, adjust, hue, sat, bright, contrast, gamma, file):
        settings = bytes((dither, mode, tft, adjust, hue & 0xFF, (hue >> 8) & 0xFF, sat & 0xFF, bright & 0xFF,
                          contrast & 0xFF, gamma & 0xFF))
        return settings + file
    picture = bmp(5, 3)
    cases = {
        'default-run': case(5, 1, 0, 0, 0, 0, 0, 0, 50, picture),
        'adjusted-hgd': case(0, 3, 1, 1, 180, 40, -30, 20, 60, picture),
        'adjust-extremes': case(3, 2, 2, 1, -32768, -128, 127, -128, -128, picture),
        'gamma-0': case(1, 1, 0, 1, 0, 0, 0, 0, 0, picture),
        'tft-swap-odd-height': case(2, 1, 3, 0, 0, 0, 0, 0, 50, picture),
        'hsd-odd-width': case(4, 3, 4, 0, 0, 0, 0, 0, 50, picture),
        'hsd-one-column': case(4, 3, 5, 0, 0, 0, 0, 0, 50, bmp(1, 4)),
        'hgd-one-row': case(4, 3, 1, 0, 0, 0, 0, 0, 50, bmp(4, 1)),
        'unknown-method-mode-tft': case(6, 4, 6, 0, 0, 0, 0, 0, 50, picture),
        'width-0': case(5, 1, 1, 1, 10, 10, 10, 10, 60, bmp(0, 3)),
        'eight-bit': case(5, 3, 0, 1, 10, 10, 10, 10, 60, bmp(3, 3, bits=8)),
        'thirty-two-bit': case(5, 3, 0, 0, 0, 0, 0, 0, 50, bmp(3, 3, bits=32)),
        'truncated': case(5, 1, 0, 0, 0, 0, 0, 0, 50, picture[:-5]),
        'not-bmp': case(5, 1, 0, 0, 0, 0, 0, 0, 50, b'not a picture'),
        'too-large': case(5, 1, 0, 0, 0, 0, 0, 0, 50, bmp(46341, 46341)),
    }
    return cases


def ulma_pipeline_cases(ppm_cases):
    cases = {}
    for flags in (0, 1, 3):
        cases['flags-%d-good.ppm' % flags] = bytes((flags,)) + ppm_cases['good-3x2.ppm']
    for name in ('comments-between.ppm', 'width-0.ppm', 'pixels-one-short.ppm', 'magic-p3.ppm',
                 'size-just-too-large.ppm', 'many-digits.ppm', 'max-65535.ppm', 'empty.ppm'):
        cases[name] = bytes((1,)) + ppm_cases[name]
    gradient = b'P6\n9 7\n255\n' + bytes((i * 13) & 0xFF for i in range(9 * 7 * 3))
    cases['gradient-9x7-proof.ppm'] = bytes((3,)) + gradient
    return cases


def main():
    clean()
    bmps = bmp_cases()
    for name, data in bmps.items():
        write('bmp_read', name, data)
    for name in ('bmp24-3x2-odd-row.bmp', 'bmp8-2x2.bmp', 'bmp32-2x2.bmp', 'bmp32-bitfields.bmp',
                 'pixels-one-short.bmp', 'width-0.bmp', 'bits-16.bmp', 'rle8.bmp', 'height-int32-min.bmp'):
        # Formats -1 to 10 come from choice % 12 - 1; the top bit keeps the
        # rows bottom-up.
        for choice in (0, 1, 3, 5, 7, 8, 11, 0x80 | 3, 0x80 | 10):
            write('bmp_stream', 'c%02x-%s' % (choice, name), bytes((choice,)) + bmps[name])
    for name, data in image_layer_cases('P6', 3).items():
        write('image_ppm', name + '.ppm', data)
    for name, data in image_layer_cases('P5', 1).items():
        write('image_pgm', name + '.pgm', data)
    for name, data in morva6_lut_cases().items():
        write('morva6_lut', name, data)
    for name, data in morva6_argument_cases().items():
        write('morva6_arguments', name, data)
    for name, data in morva6_pipeline_cases().items():
        write('morva6_pipeline', name, data)
    ppms = ulma_ppm_cases()
    for name, data in ppms.items():
        write('ulma_ppm', name, data)
    for name, data in waveform_cases().items():
        write('ulma_waveform', name, data)
    for name, data in palette_cases().items():
        write('ulma_palette', name, data)
    for name, data in ulma_lut_cases(True).items():
        write('ulma_lut', name, data)
    for name, data in ulma_lut_cases(False).items():
        write('ulma03_lut', name, data)
    for name, data in ulma_command_line_cases(True).items():
        write('ulma_command_line', name, data)
    for name, data in ulma_command_line_cases(False).items():
        write('ulma03_command_line', name, data)
    for name, data in ulma_pipeline_cases(ppms).items():
        write('ulma_pipeline', name, data)
        write('ulma03_pipeline', name, data)


if __name__ == '__main__':
    main()
