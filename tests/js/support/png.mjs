// Reads back an 8-bit RGB PNG file: its chunks and its pixels, with every
// filter type undone (barwright's files use all five).
import { inflateSync } from 'node:zlib';

const SIGNATURE_BYTES = 8;

function paeth(a, b, c) {
    const p = a + b - c;
    const pa = Math.abs(p - a);
    const pb = Math.abs(p - b);
    const pc = Math.abs(p - c);
    return pa <= pb && pa <= pc ? a : pb <= pc ? b : c;
}

function unfilter(data, width, height) {
    const stride = 3 * width;
    const pixels = new Uint8Array(stride * height);
    for (let y = 0, at = 0; y < height; ++y) {
        const filter = data[at++];
        const row = y * stride;
        for (let x = 0; x < stride; ++x, ++at) {
            const a = x >= 3 ? pixels[row + x - 3] : 0;
            const b = y > 0 ? pixels[row - stride + x] : 0;
            const c = x >= 3 && y > 0 ? pixels[row - stride + x - 3] : 0;
            const predictor = [0, a, b, (a + b) >> 1, paeth(a, b, c)][filter];
            if (predictor === undefined) {
                throw new Error(`row ${y}: filter type ${filter}`);
            }
            pixels[row + x] = (data[at] + predictor) & 0xff;
        }
    }
    return pixels;
}

export function readPng(file) {
    const bytes = Buffer.from(file);
    const chunks = [];
    const idat = [];
    for (let at = SIGNATURE_BYTES; at < bytes.length;) {
        const length = bytes.readUInt32BE(at);
        const type = bytes.toString('latin1', at + 4, at + 8);
        const body = bytes.subarray(at + 8, at + 8 + length);
        chunks.push({ type, body });
        if (type === 'IDAT') {
            idat.push(body);
        }
        at += 12 + length;
    }
    const header = chunks[0].body;
    const width = header.readUInt32BE(0);
    const height = header.readUInt32BE(4);
    if (header[8] !== 8 || header[9] !== 2) {
        throw new Error(`not 8-bit RGB: depth ${header[8]}, colour type ${header[9]}`);
    }
    return { width, height, chunks, pixels: unfilter(inflateSync(Buffer.concat(idat)), width, height) };
}
