// What the package takes and refuses: every option's wrong types and
// values, barwright's encoding failures, and what the results hold.
import assert from 'node:assert/strict';
import path from 'node:path';
import { test } from 'node:test';
import { pathToFileURL } from 'node:url';

import { barwright, packageDir } from './support/paths.mjs';
import { readPng } from './support/png.mjs';

const { BarwrightError, encode, toCanvas, toPng, toSvg } = barwright;

function refusal(run, label = '') {
    try {
        run();
    } catch (error) {
        assert.ok(error instanceof BarwrightError, `not a BarwrightError: ${error}`);
        return error;
    }
    assert.fail(`nothing was thrown ${label}`);
}

test('a wrong type or value throws BarwrightError, status 1, naming the option', () => {
    const cases = [
        [{ data: undefined }, 'data'], [{ data: 5 }, 'data'], [{ data: null }, 'data'], [{ data: [65] }, 'data'],
        [{ data: 'lone \uD800 surrogate' }, 'data'], [{ data: '\uDC00\uD800' }, 'data'],
        [{ data: '\u4e16\uD83D' }, 'data'],
        [{ xsize: '200' }, 'xsize'], [{ xsize: 0 }, 'xsize'], [{ xsize: 1.5 }, 'xsize'],
        [{ ysize: NaN }, 'ysize'], [{ ysize: -3 }, 'ysize'],
        [{ xdim: 0 }, 'xdim'], [{ xdim: Infinity }, 'xdim'],
        [{ mode: 4 }, 'mode'], [{ mode: 1.5 }, 'mode'], [{ mode: 'text' }, 'mode'],
        [{ ecl: 10 }, 'ecl'], [{ ecl: -1 }, 'ecl'], [{ col: 'a' }, 'col'], [{ col: 2.5 }, 'col'],
        [{ row: true }, 'row'], [{ cpdf: 'yes' }, 'cpdf'], [{ cpdf: 0.5 }, 'cpdf'],
        [{ orient: 45 }, 'orient'], [{ bcolor: 'fff' }, 'bcolor'], [{ bcolor: '#ffffff' }, 'bcolor'],
        [{ bcolor: 0x1000000 }, 'bcolor'], [{ fcolor: -1 }, 'fcolor'],
        [{ qzone: 'no' }, 'qzone'], [{ alignh: 3 }, 'alignh'], [{ alignv: -1 }, 'alignv'],
        [{ y2x: 0 }, 'y2x'], [{ shortest: 1 }, 'shortest'], [{ shortest: true, mode: 2 }, 'shortest'],
        [{ escapes: 'true' }, 'escapes'], [{ dpi: 0 }, 'dpi'], [{ dpi: 1000001 }, 'dpi'],
        [{ time: 'now' }, 'time'], [{ time: new Date(NaN) }, 'time'],
        [{ macro: 3 }, 'macro'], [{ macro: {} }, 'macro.segments'],
        [{ macro: { segments: 0 } }, 'macro.segments'], [{ macro: { segments: 100000 } }, 'macro.segments'],
        [{ macro: { segments: 10 } }, 'macro.segments'],
        [{ macro: { segments: 2, fileId: 7 } }, 'macro.fileId'],
        [{ macro: { segments: 2, fileid: '1' } }, 'macro.fileid'], [{ colour: 'red' }, 'colour'],
    ];
    for (const [options, key] of cases) {
        const all = { data: 'Hello 123', ...options };
        for (const make of [encode, toPng, toSvg]) {
            const error = refusal(() => make(all), `${make.name} ${JSON.stringify(options)}`);
            assert.deepEqual([error.status, error.key], [1, key], `${make.name} ${JSON.stringify(options)}`);
            assert.match(error.message, new RegExp(`option '${key.replace('.', '\\.')}'`));
        }
    }
    assert.equal(refusal(() => encode(null)).status, 1);
    // Found while drawing, so not by encode, which draws nothing.
    for (const [options, key] of [[{ xdim: 0.4 }, 'xdim'], [{ fcolor: 'ffffff' }, 'fcolor']]) {
        for (const make of [toPng, toSvg]) {
            const error = refusal(() => make({ data: 'Hello 123', ...options }));
            assert.deepEqual([error.status, error.key], [1, key], `${make.name} ${JSON.stringify(options)}`);
        }
    }
});

test("data that cannot be encoded throws barwright's status and message", () => {
    const long = 'x'.repeat(2000);
    const cases = [
        [{ data: 'abc', mode: 2 }, 6, 'Error: Some of the characters cannot be encoded in the NUMERIC mode.'],
        [{ data: '\u00e9', mode: 1 }, 5, 'Error: Some of the characters cannot be encoded in the TEXT mode.'],
        [{ data: long, col: 30 }, 7, 'Error: Data count above 928.'],
        [{ data: 'abc', col: 31 }, 8, 'Error: Columns number should be from 1 to 30 (or 0-auto).'],
        [{ data: 'abc', row: 2 }, 9, 'Error: Rows number should be from 3 to 90 (or 0-auto).'],
        [{ data: 'abc', col: 0, row: 0 }, 10, 'Error: Columns and rows cannot be null.'],
        [{ data: long.slice(0, 300), col: 1, row: 3 }, 12,
            'Error: The data cannot be encoded in these column and row numbers.'],
        [{ data: 'abc', xsize: 20, ysize: 20 }, 14, 'Error: Columns number too large (or increase width/height).'],
        [{ data: 'abcdef', macro: { segments: 2, fileId: 'zz' } }, 19, 'Error: Invalid Macro PDF File ID.'],
        [{ data: 'abc', xsize: 20000, ysize: 20000 }, 28, 'Error: Cant initialize PNG creator'],
    ];
    for (const [options, status, message] of cases) {
        const error = refusal(() => toPng(options));
        assert.deepEqual([error.status, error.message, error.key], [status, message, undefined],
            JSON.stringify(options).slice(0, 80));
    }
});

test('encode: the shape, every codeword and the module grid', () => {
    for (const options of [{ data: 'Hello 123', col: 4 }, { data: '12345678901234', cpdf: true, ecl: 3 }]) {
        const symbol = encode(options);
        assert.deepEqual(Object.keys(symbol), ['columns', 'rows', 'errorCorrectionLevel', 'codewords', 'modules']);
        const { columns, rows, errorCorrectionLevel: level, codewords, modules } = symbol;
        assert.equal(codewords.length, columns * rows);
        assert.equal(codewords[0], columns * rows - (2 << level), 'length descriptor');
        assert.ok(codewords.every((codeword) => Number.isInteger(codeword) && codeword >= 0 && codeword <= 928));
        // Start pattern, left indicator, data, right indicator (none when
        // compact), stop pattern (one module when compact).
        const width = options.cpdf ? 17 * (columns + 2) + 1 : 17 * (columns + 4) + 1;
        assert.equal(modules.length, rows);
        assert.ok(modules.every((row) => row.length === width && row.every((m) => m === 0 || m === 1)));
        assert.deepEqual(modules[0].slice(0, 8), [1, 1, 1, 1, 1, 1, 1, 1], 'start pattern');
    }
});

test('equivalent values give the same symbol; undefined counts as absent', () => {
    const same = [
        [{ cpdf: true }, { cpdf: 1 }], [{ qzone: false }, { qzone: 0 }],
        [{ fcolor: 'ff0000' }, { fcolor: 0xff0000 }, { fcolor: 'FF0000' }],
        [{ col: undefined, bcolor: undefined }, {}],
        [{ data: 'caf\u00e9' }, { data: Uint8Array.of(0x63, 0x61, 0x66, 0xe9) }],
        [{ data: 'a~~b~Xff', escapes: true }, { data: 'a~b\u00ff' }],
    ];
    for (const group of same) {
        const [first, ...rest] = group.map((options) => toSvg({ data: 'Hello 123', ...options }));
        rest.forEach((svg, i) => assert.equal(svg, first, JSON.stringify(group[i + 1])));
    }
    assert.notEqual(toSvg({ data: 'a~~b', escapes: true }), toSvg({ data: 'a~~b' }));
});

test('the PNG: 8-bit RGB, gAMA, pHYs for dpi, tIME only when a time is given', () => {
    const chunkTypes = (png) => readPng(png).chunks.map((chunk) => chunk.type).join(' ');
    assert.equal(chunkTypes(toPng({ data: 'x' })), 'IHDR gAMA IDAT IEND');
    const time = new Date(Date.UTC(2024, 2, 9, 13, 5, 7));
    const png = readPng(toPng({ data: 'x', dpi: 300, time }));
    assert.equal(png.chunks.map((chunk) => chunk.type).join(' '), 'IHDR gAMA pHYs tIME IDAT IEND');
    const body = (type) => [...png.chunks.find((chunk) => chunk.type === type).body];
    assert.deepEqual(body('gAMA'), [0, 0, 0xc3, 0x50]);
    assert.deepEqual(body('pHYs'), [0, 0, 0x2e, 0x23, 0, 0, 0x2e, 0x23, 1], '11811 pixels a metre');
    assert.deepEqual(body('tIME'), [0x07, 0xe8, 3, 9, 13, 5, 7]);
    assert.deepEqual(toPng({ data: 'x', time }), toPng({ data: 'x', time }));
    // Before 1970, leap days, the ends of the years a PNG can stamp.
    for (const [year, month, day, hour, minute, second] of [[1969, 12, 31, 23, 59, 59], [2400, 2, 29, 0, 0, 0],
        [1900, 3, 1, 12, 0, 0], [0, 1, 1, 0, 0, 0], [65535, 12, 31, 23, 59, 59]]) {
        const when = new Date(0);
        when.setUTCFullYear(year, month - 1, day);
        when.setUTCHours(hour, minute, second);
        const stamp = readPng(toPng({ data: 'x', time: when })).chunks.find((chunk) => chunk.type === 'tIME');
        assert.deepEqual([...stamp.body], [year >> 8, year & 0xff, month, day, hour, minute, second], String(year));
    }
});

test('toCanvas sizes the canvas and puts the PNG\'s pixels, opaque', () => {
    const canvas = {
        width: 0,
        height: 0,
        getContext(kind) {
            assert.equal(kind, '2d');
            return {
                createImageData: (width, height) => ({ width, height, data: new Uint8ClampedArray(4 * width * height) }),
                putImageData: (image, x, y) => Object.assign(canvas, { image, at: [x, y] }),
            };
        },
    };
    const options = { data: 'Hello 123', orient: 90, fcolor: '123456', bcolor: 'fedcba', xdim: 3 };
    const facts = toCanvas(canvas, options);
    const png = readPng(toPng(options));
    assert.deepEqual([canvas.width, canvas.height, ...canvas.at], [png.width, png.height, 0, 0]);
    const rgb = canvas.image.data.filter((_, i) => i % 4 !== 3);
    assert.ok(Buffer.compare(Buffer.from(rgb), Buffer.from(png.pixels)) === 0, 'pixels differ');
    assert.ok(canvas.image.data.every((value, i) => i % 4 !== 3 || value === 255), 'opaque');
    const { modules, ...encoded } = encode(options);
    assert.ok(modules.length > 0);
    assert.deepEqual(facts, encoded);
    assert.equal(refusal(() => toCanvas(canvas, { data: 'ab', macro: { segments: 2 } })).key, 'macro');
    assert.equal(refusal(() => toCanvas({}, { data: 'ab' })).key, 'canvas');
});

test('macro: every function returns one entry per segment', () => {
    const options = { data: 'A Macro PDF417 file in three symbols', macro: { segments: 3, fileId: '017' } };
    for (const make of [encode, toPng, toSvg]) {
        const made = make(options);
        assert.ok(Array.isArray(made) && made.length === 3, make.name);
    }
    assert.ok(Array.isArray(toSvg({ data: 'x', macro: { segments: 1 } })));
    assert.equal(typeof barwright.version, 'string');
    assert.ok(barwright.ready instanceof Promise);
});

test('where the module cannot be compiled at import, calls wait for ready', async () => {
    // As older Chromium releases on their main thread: no synchronous compiling.
    const { Module } = WebAssembly;
    WebAssembly.Module = function refused() {
        throw new RangeError('WebAssembly.Compile is disallowed on the main thread');
    };
    let late;
    try {
        late = await import(`${pathToFileURL(path.join(packageDir, 'barwright.js')).href}?late`);
    } finally {
        WebAssembly.Module = Module;
    }
    assert.throws(() => late.encode({ data: 'x' }), (error) => error instanceof late.BarwrightError &&
        error.status === 2 && error.message === 'barwright: the WebAssembly module is not loaded yet: await ready');
    await late.ready;
    assert.equal(late.toSvg({ data: 'x' }), toSvg({ data: 'x' }));
});
