// The package against the programs on seeded random cases: toPng's pixels
// equal barwright's PNG, toSvg equals barwright-batch's SVG, encode's modules
// its txt, and a failure is the same failure (status, and barwright's
// message).
import assert from 'node:assert/strict';
import { test } from 'node:test';

import { random, randomCase } from './support/cases.mjs';
import { barwright } from './support/paths.mjs';
import { readPng } from './support/png.mjs';
import { barwrightPng, batchFiles } from './support/programs.mjs';

const SEED = Number(process.env.BARWRIGHT_JS_SEED ?? 2024);
const CASES = Number(process.env.BARWRIGHT_JS_CASES ?? 150);

function attempt(make) {
    try {
        return { status: 0, made: make() };
    } catch (error) {
        if (!(error instanceof barwright.BarwrightError)) {
            throw error;
        }
        return { status: error.status, message: error.message };
    }
}

test(`toPng's pixels are barwright's (${CASES} cases, seed ${SEED})`, () => {
    const next = random(SEED);
    let drawn = 0;
    for (let i = 0; i < CASES; ++i) {
        const c = randomCase(next);
        const label = `case ${i}: ${JSON.stringify(c.js)}`;
        const expected = barwrightPng({ ...c.programOptions, data: c.escapedText });
        const actual = attempt(() => barwright.toPng(c.js));
        assert.equal(actual.status, expected.status, label);
        if (expected.status !== 0) {
            // An option the package names has its own words; the rest are barwright's.
            if (!actual.message.startsWith("barwright: option '")) {
                assert.equal(actual.message, expected.message, label);
            }
            continue;
        }
        const ours = readPng(actual.made);
        const theirs = readPng(expected.png);
        assert.deepEqual([ours.width, ours.height], [theirs.width, theirs.height], label);
        assert.ok(Buffer.compare(ours.pixels, theirs.pixels) === 0, `${label}: pixels differ`);
        ++drawn;
    }
    assert.ok(drawn > CASES / 3, `only ${drawn} of ${CASES} cases drew a symbol`);
});

test(`toSvg is barwright-batch's SVG (${CASES} cases, seed ${SEED + 1})`, () => {
    const next = random(SEED + 1);
    let drawn = 0;
    for (let i = 0; i < CASES; ++i) {
        const c = randomCase(next);
        const batchOptions = { ...c.programOptions };
        if (next.chance(0.2)) {
            c.js.dpi = batchOptions.dpi = next.int(1, 1200);
        }
        if (next.chance(0.2) && c.js.mode === undefined) {
            c.js.shortest = batchOptions.shortest = true;
        }
        // Macro symbols split text behind ECI 26 between characters, the
        // programs' escaped text between bytes: each right, but not alike.
        if (next.chance(0.15) && c.kind !== 'unicode') {
            const segments = next.int(1, 4);
            c.js.macro = { segments };
            batchOptions.macro = segments;
            if (next.chance(0.5)) {
                c.js.macro.fileId = batchOptions['file-id'] = String(next.int(0, 899999));
            }
        }
        const label = `case ${i}: ${JSON.stringify(c.js)}`;
        const expected = batchFiles('svg', batchOptions, c.escapes ? c.escapedText : c.bytes, c.escapes);
        const actual = attempt(() => barwright.toSvg(c.js));
        assert.equal(actual.status, expected.status, `${label}\n${expected.stderr ?? ''}`);
        if (expected.status === 0) {
            assert.deepEqual(c.js.macro ? actual.made : [actual.made], expected.files, label);
            ++drawn;
        }
    }
    assert.ok(drawn > CASES / 3, `only ${drawn} of ${CASES} cases drew a symbol`);
});

test(`encode's modules are barwright-batch's txt (${CASES / 3} cases, seed ${SEED + 2})`, () => {
    const next = random(SEED + 2);
    for (let i = 0; i < CASES / 3; ++i) {
        const c = randomCase(next);
        const label = `case ${i}: ${JSON.stringify(c.js)}`;
        const expected = batchFiles('txt', c.programOptions, c.escapes ? c.escapedText : c.bytes, c.escapes);
        const actual = attempt(() => barwright.encode(c.js));
        assert.equal(actual.status, expected.status, label);
        if (expected.status === 0) {
            const text = actual.made.modules.map((row) => `${row.join('')}\n`).join('');
            assert.equal(text, expected.files[0], label);
        }
    }
});
