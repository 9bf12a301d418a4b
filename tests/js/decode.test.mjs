// Symbols made by the package read back by an independent decoder
// (zxing-cpp's ZXingReader): the bytes, and text beyond Latin-1 as UTF-8.
import assert from 'node:assert/strict';
import { spawnSync } from 'node:child_process';
import { mkdtempSync, rmSync, writeFileSync } from 'node:fs';
import os from 'node:os';
import path from 'node:path';
import { after, test } from 'node:test';

import { barwright } from './support/paths.mjs';

const folder = mkdtempSync(path.join(os.tmpdir(), 'barwright-decode-'));
after(() => rmSync(folder, { recursive: true, force: true }));

function decodedBytes(png, name) {
    const file = path.join(folder, `${name}.png`);
    writeFileSync(file, png);
    const result = spawnSync('ZXingReader', ['-format', 'PDF417', '-bytes', file]);
    assert.ifError(result.error);
    return Buffer.from(result.stdout);
}

const latin1 = (text) => Buffer.from(text, 'latin1');
const utf8 = (text) => Buffer.from(text, 'utf8');

test('symbols decode to their data', () => {
    const cases = [
        [{ data: Uint8Array.from({ length: 256 }, (_, i) => i), col: 10 }, Buffer.from([...Array(256).keys()])],
        [{ data: 'Gr\u00fc\u00dfe \u00bd ~x', ecl: 4 }, latin1('Gr\u00fc\u00dfe \u00bd ~x')],
        [{ data: 'Gr\u00fc\u00dfe, \u4e16\u754c \u{1F600} ~7000003 ~~' }, utf8('Gr\u00fc\u00dfe, \u4e16\u754c \u{1F600} ~7000003 ~~')],
        [{ data: 'Line~Nbreak \u4e16\u754c ~~', escapes: true }, utf8('Line\nbreak \u4e16\u754c ~')],
        [{ data: '0123456789'.repeat(20) + 'ABC def', shortest: true, col: 8 }, latin1('0123456789'.repeat(20) + 'ABC def')],
        [{ data: 'Compact, turned', cpdf: true, orient: 270, fcolor: 0x203040, bcolor: 'f0e8d0' }, latin1('Compact, turned')],
        [{ data: 'Sized to fit', xsize: 400, ysize: 160, alignh: 0, alignv: 2, y2x: 3 }, latin1('Sized to fit')],
    ];
    cases.forEach(([options, expected], i) => {
        assert.deepEqual(decodedBytes(barwright.toPng(options), `case${i}`), expected, JSON.stringify(options));
    });
});

test('a Macro PDF417 file decodes, segment by segment, to the whole data', () => {
    const text = 'A file in three symbols: Gr\u00fc\u00dfe, \u4e16\u754c, ~ and \u{1F600}.';
    const pngs = barwright.toPng({ data: text, macro: { segments: 3, fileId: '123456' }, col: 4 });
    const parts = pngs.map((png, i) => decodedBytes(png, `segment${i}`));
    assert.deepEqual(Buffer.concat(parts), utf8(text));
});
