// The PNG file around deflated scanlines: 8-bit RGB with the chunks that
// barwright's own files carry for the picture (gAMA, and pHYs for a given
// resolution), and a tIME chunk only when a time is given, so that the same
// options make the same bytes.
import * as zlib from 'pako/lib/zlib/deflate.js';
import ZStream from 'pako/lib/zlib/zstream.js';

import { BarwrightError } from './BarwrightError.js';

const SIGNATURE = [0x89, 0x50, 0x4e, 0x47, 0x0d, 0x0a, 0x1a, 0x0a];
const BIT_DEPTH = 8;
const COLOUR_TYPE_RGB = 2;
// gAMA holds gamma x 100000; barwright writes 0.5.
const GAMMA = 50000;
// pHYs holds pixels per metre: dpi x 10000 / 254, rounded half up.
const TEN_THOUSANDTHS_PER_METRE = 10000;
const TEN_THOUSANDTHS_PER_INCH = 254;
const UNIT_METRE = 1;
// Chunk length, type and CRC around the body.
const CHUNK_FRAME = 12;

// zlib's run-length strategy (Z_RLE): matches at distance 1 only, found
// without hashing, which is all a barcode's scanlines need (runs of one
// colour, repeated rows as zeros) and several times as fast as the default
// strategy in JavaScript; the files stay about barwright's size.
const Z_OK = 0;
const Z_STREAM_END = 1;
const Z_FINISH = 4;
const Z_DEFLATED = 8;
const Z_RLE = 3;
const LEVEL = 6;
const WINDOW_BITS = 15;
const MEMORY_LEVEL = 8;
// barwright's number for a failure with no better name.
const FAIL = 2;

// One stream serves every call (JavaScript runs one at a time): reset, it
// keeps its window and tables, which a new stream would allocate and clear.
let stream;
let output = new Uint8Array(0);

function deflated(bytes) {
    if (stream === undefined) {
        stream = new ZStream();
        if (zlib.deflateInit2(stream, LEVEL, Z_DEFLATED, WINDOW_BITS, MEMORY_LEVEL, Z_RLE) !== Z_OK) {
            stream = undefined;
            throw new BarwrightError(FAIL, 'barwright: the deflate stream cannot start');
        }
    } else {
        zlib.deflateReset(stream);
    }
    // Rows of a barcode deflate to a small part of their size; should the
    // output fill, it grows and the stream goes on.
    if (output.length < 1024 + (bytes.length >> 4)) {
        output = new Uint8Array(1024 + (bytes.length >> 4));
    }
    Object.assign(stream, { input: bytes, next_in: 0, avail_in: bytes.length, output,
        next_out: 0, avail_out: output.length });
    let status;
    while ((status = zlib.deflate(stream, Z_FINISH)) === Z_OK) {
        const larger = new Uint8Array(2 * output.length);
        larger.set(output);
        output = larger;
        Object.assign(stream, { output, avail_out: output.length - stream.next_out });
    }
    stream.input = null;
    if (status !== Z_STREAM_END) {
        throw new BarwrightError(FAIL, `barwright: deflate failed (${status})`);
    }
    return output.subarray(0, stream.next_out);
}

let crcTable;

function crc32(bytes, start, end) {
    if (crcTable === undefined) {
        crcTable = new Int32Array(256);
        for (let n = 0; n < 256; ++n) {
            let c = n;
            for (let k = 0; k < 8; ++k) {
                c = c & 1 ? 0xedb88320 ^ (c >>> 1) : c >>> 1;
            }
            crcTable[n] = c;
        }
    }
    let crc = -1;
    for (let i = start; i < end; ++i) {
        crc = crcTable[(crc ^ bytes[i]) & 0xff] ^ (crc >>> 8);
    }
    return (crc ^ -1) >>> 0;
}

function words(...values) {
    const bytes = new Uint8Array(4 * values.length);
    const view = new DataView(bytes.buffer);
    values.forEach((value, i) => view.setUint32(4 * i, value));
    return bytes;
}

function header(width, height) {
    const body = new Uint8Array(13);
    body.set(words(width, height));
    body.set([BIT_DEPTH, COLOUR_TYPE_RGB, 0, 0, 0], 8);
    return body;
}

function resolution(dpi) {
    const perMetre = Math.floor((dpi * TEN_THOUSANDTHS_PER_METRE + TEN_THOUSANDTHS_PER_INCH / 2) /
        TEN_THOUSANDTHS_PER_INCH);
    const body = new Uint8Array(9);
    body.set(words(perMetre, perMetre));
    body[8] = UNIT_METRE;
    return body;
}

function timeStamp(time) {
    const body = new Uint8Array(7);
    new DataView(body.buffer).setUint16(0, time.getUTCFullYear());
    body.set([time.getUTCMonth() + 1, time.getUTCDate(), time.getUTCHours(),
        time.getUTCMinutes(), time.getUTCSeconds()], 2);
    return body;
}

// A whole PNG file of width x height pixels from scanlines that lead each
// row with its filter byte. dpi 0 records no resolution; time, a Date, is
// optional.
export function pngFile(width, height, scanlines, dpi, time) {
    const chunks = [['IHDR', header(width, height)], ['gAMA', words(GAMMA)]];
    if (dpi > 0) {
        chunks.push(['pHYs', resolution(dpi)]);
    }
    if (time !== undefined) {
        chunks.push(['tIME', timeStamp(time)]);
    }
    chunks.push(['IDAT', deflated(scanlines)], ['IEND', new Uint8Array(0)]);
    const size = chunks.reduce((sum, [, body]) => sum + CHUNK_FRAME + body.length, SIGNATURE.length);
    const file = new Uint8Array(size);
    const view = new DataView(file.buffer);
    file.set(SIGNATURE);
    let at = SIGNATURE.length;
    for (const [type, body] of chunks) {
        view.setUint32(at, body.length);
        for (let i = 0; i < 4; ++i) {
            file[at + 4 + i] = type.charCodeAt(i);
        }
        file.set(body, at + 8);
        view.setUint32(at + 8 + body.length, crc32(file, at + 4, at + 8 + body.length));
        at += CHUNK_FRAME + body.length;
    }
    return file;
}
