// barwright's JavaScript package beside bwip-js, in one Node process, on the
// workloads of barwright-batch's bench: seven-digit numbers (3 columns, level
// 2) and about 225 characters of invoice text (10 columns, level 4), module
// width 2 pixels. Each round times every contender on a run of symbols, in a
// turning order; the figures are medians over the rounds, the ratios medians
// of the ratios within a round. bwip-js's toBuffer deflates on Node's thread
// pool and resolves a promise: it is timed until the PNG is in hand, as a
// caller gets it. Build the package first (scripts/build-js).
// Usage: node bench/js/bench.mjs [ROUNDS]
import { readFileSync } from 'node:fs';
import path from 'node:path';
import { fileURLToPath, pathToFileURL } from 'node:url';
import { gzipSync } from 'node:zlib';

import bwipjs from 'bwip-js';

const here = path.dirname(fileURLToPath(import.meta.url));
const root = path.resolve(here, '../..');
const modulePath = path.join(root, 'build-js/package/barwright.js');
const barwright = await import(pathToFileURL(modulePath).href);
const rounds = Number(process.argv[2] ?? 7);

const invoice = readFileSync(path.join(root, 'bench/data/medium.txt'), 'latin1').trim();
const workloads = {
    digits: {
        data: (i) => String(1000000 + ((i * 7919) % 9000000)),
        ours: { col: 3, ecl: 2, xdim: 2 },
        bwip: { columns: 3, eclevel: 2, scale: 2 },
        symbols: { ours: 2000, bwip: 200 },
    },
    text: {
        data: (i) => `${String(i % 100000).padStart(5, '0')} ${invoice.substr((i * 37) % 70, 219)}`,
        ours: { col: 10, ecl: 4, xdim: 2 },
        bwip: { columns: 10, eclevel: 4, scale: 2 },
        symbols: { ours: 300, bwip: 40 },
    },
};

const contenders = {
    'barwright toPng': (w, i) => barwright.toPng({ data: w.data(i), ...w.ours }),
    'bwip-js toBuffer': (w, i) => bwipjs.toBuffer({ bcid: 'pdf417', text: w.data(i), ...w.bwip }),
    'barwright toSvg': (w, i) => barwright.toSvg({ data: w.data(i), ...w.ours }),
    'bwip-js toSVG': (w, i) => bwipjs.toSVG({ bcid: 'pdf417', text: w.data(i), ...w.bwip }),
};
const pairs = [['bwip-js toBuffer', 'barwright toPng'], ['bwip-js toSVG', 'barwright toSvg']];

// Milliseconds a symbol over a run; promises are awaited one by one.
async function timeRun(make, workload, count) {
    const start = process.hrtime.bigint();
    for (let i = 0; i < count; ++i) {
        const made = make(workload, i);
        if (made instanceof Promise) {
            await made;
        }
    }
    return Number(process.hrtime.bigint() - start) / 1e6 / count;
}

const median = (values) => [...values].sort((a, b) => a - b)[Math.floor(values.length / 2)];

for (const [name, workload] of Object.entries(workloads)) {
    const names = Object.keys(contenders);
    const times = Object.fromEntries(names.map((n) => [n, []]));
    for (const n of names) {
        await timeRun(contenders[n], workload, 20);
    }
    for (let round = 0; round < rounds; ++round) {
        for (let k = 0; k < names.length; ++k) {
            const n = names[(round + k) % names.length];
            const count = n.startsWith('barwright') ? workload.symbols.ours : workload.symbols.bwip;
            times[n].push(await timeRun(contenders[n], workload, count));
        }
    }
    console.log(`${name}: ms a symbol, median of ${rounds} rounds`);
    for (const n of names) {
        console.log(`  ${n.padEnd(18)} ${median(times[n]).toFixed(3)}`);
    }
    for (const [theirs, ours] of pairs) {
        const ratios = times[theirs].map((t, round) => t / times[ours][round]);
        console.log(`  ${`${ours} faster`.padEnd(25)} ${median(ratios).toFixed(1)}x`);
    }
}

const gzipped = (file) => gzipSync(readFileSync(file), { level: 9 }).length;
const bwipMin = path.join(here, 'node_modules/bwip-js/dist/bwip-js-min.js');
console.log(`size gzipped: barwright.js (with its WebAssembly) ${gzipped(modulePath)} bytes, ` +
    `bwip-js-min.js ${gzipped(bwipMin)} bytes`);
