// The page in a real browser: Debian's chromium, headless, driven by
// puppeteer-core. It types, changes options, reads the canvas's pixels and
// decodes them, checks the facts and the error, and downloads both files.
import assert from 'node:assert/strict';
import { spawn, spawnSync } from 'node:child_process';
import { existsSync, mkdtempSync, readFileSync, rmSync, writeFileSync } from 'node:fs';
import os from 'node:os';
import path from 'node:path';
import { after, before, test } from 'node:test';
import { setTimeout as sleep } from 'node:timers/promises';

import puppeteer from 'puppeteer-core';

import { serveFolder } from '../../scripts/serve-web.mjs';
import { barwright, root, serveProgram } from './support/paths.mjs';
import { readPng } from './support/png.mjs';

const CHROMIUM = process.env.CHROMIUM ?? '/usr/bin/chromium';
const FLAGS = ['--headless', '--no-sandbox', '--disable-gpu', '--disable-quic', '--no-first-run',
    '--disable-background-networking', '--disable-component-update', '--disable-sync'];
const CONTROLS = ['data', 'col', 'row', 'ecl', 'mode', 'cpdf', 'orient', 'xdim', 'y2x', 'fcolor', 'bcolor', 'qzone'];

const folder = mkdtempSync(path.join(os.tmpdir(), 'barwright-page-'));
let server;
let browser;
let page;

before(async () => {
    server = await serveFolder(path.join(root, 'web'), 0);
    browser = await puppeteer.launch({
        executablePath: CHROMIUM,
        headless: true,
        args: [...FLAGS, `--user-data-dir=${path.join(folder, 'profile')}`],
    });
    page = await browser.newPage();
    const failures = [];
    page.on('pageerror', (error) => failures.push(error));
    await page.goto(`http://127.0.0.1:${server.address().port}/`, { waitUntil: 'load' });
    await page.waitForFunction(() => document.getElementById('facts').textContent !== '');
    assert.deepEqual(failures, []);
});

after(async () => {
    await browser?.close();
    server?.close();
    rmSync(folder, { recursive: true, force: true });
});

const text = (id) => page.$eval(`#${id}`, (element) => element.textContent);

// The page redraws on the next frame after an input event.
async function settled() {
    await page.evaluate(() => new Promise((resolve) => requestAnimationFrame(() => setTimeout(resolve, 0))));
}

async function typeData(data) {
    await page.$eval('#data', (element) => { element.value = ''; });
    await page.type('#data', data);
    await settled();
}

async function setControl(id, value) {
    await page.$eval(`#${id}`, (element, given) => {
        if (element.type === 'checkbox') {
            element.checked = given;
        } else {
            element.value = given;
        }
        element.dispatchEvent(new Event('input', { bubbles: true }));
    }, value);
    await settled();
}

// The canvas's pixels as RGB, and what ZXingReader reads in them.
async function canvasPixels(tab = page) {
    const { width, height, rgba } = await tab.$eval('#symbol', (canvas) => {
        const data = canvas.getContext('2d').getImageData(0, 0, canvas.width, canvas.height).data;
        let binary = '';
        for (let i = 0; i < data.length; ++i) {
            binary += String.fromCharCode(data[i]);
        }
        return { width: canvas.width, height: canvas.height, rgba: btoa(binary) };
    });
    const pixels = Buffer.from(rgba, 'base64').filter((_, i) => i % 4 !== 3);
    return { width, height, pixels };
}

function decoded({ width, height, pixels }) {
    const file = path.join(folder, 'canvas.ppm');
    writeFileSync(file, Buffer.concat([Buffer.from(`P6\n${width} ${height}\n255\n`), pixels]));
    const result = spawnSync('ZXingReader', ['-format', 'PDF417', '-bytes', file]);
    assert.ifError(result.error);
    return Buffer.from(result.stdout);
}

test('every control has a label and is reached from the keyboard; the page fits a phone', async () => {
    const unlabelled = await page.evaluate((ids) => ids.filter((id) => document.getElementById(id).labels.length === 0),
        CONTROLS);
    assert.deepEqual(unlabelled, []);
    await page.focus('#data');
    const reached = [];
    for (let i = 0; i < CONTROLS.length + 1; ++i) {
        await page.keyboard.press('Tab');
        reached.push(await page.evaluate(() => document.activeElement.id));
    }
    const expected = [...CONTROLS.slice(1), 'download-png', 'download-svg'];
    assert.deepEqual([...reached].sort(), [...expected].sort());
    await page.setViewport({ width: 360, height: 640 });
    assert.ok(await page.evaluate(() => document.documentElement.scrollWidth <= 360), 'no sideways scrolling');
    await page.setViewport({ width: 1200, height: 900 });
});

test('typing redraws the symbol, pixel for pixel the package\'s PNG, and it decodes', async () => {
    const data = 'Gr\u00fc\u00dfe, \u4e16\u754c! 12345';
    await typeData(data);
    await setControl('col', '5');
    await setControl('orient', '90');
    await setControl('fcolor', '#203040');
    await setControl('cpdf', true);
    const drawn = await canvasPixels();
    const png = readPng(barwright.toPng({ data, col: 5, orient: 90, fcolor: '203040', cpdf: true }));
    assert.deepEqual([drawn.width, drawn.height], [png.width, png.height]);
    assert.ok(Buffer.compare(drawn.pixels, Buffer.from(png.pixels)) === 0, 'pixels differ');
    assert.deepEqual(decoded(drawn), Buffer.from(data, 'utf8'));
    const { columns, rows, errorCorrectionLevel } = barwright.encode({ data, col: 5, cpdf: true });
    assert.match(await text('facts'), new RegExp(`^${columns} columns × ${rows} rows, error correction level ${errorCorrectionLevel}: \\d+ data codewords used, \\d+ left$`));
    assert.equal(await text('error'), '');
    for (const [id, value] of [['orient', '0'], ['fcolor', '#000000'], ['cpdf', false]]) {
        await setControl(id, value);
    }
});

test("data the options cannot take shows barwright's message and no facts", async () => {
    await typeData('not digits');
    await setControl('mode', 'numeric');
    assert.equal(await text('error'), 'Error: Some of the characters cannot be encoded in the NUMERIC mode.');
    assert.equal(await text('facts'), '');
    assert.ok(await page.$eval('#download-png', (button) => button.disabled));
    await setControl('mode', 'shortest');
    assert.equal(await text('error'), '');
    assert.deepEqual(decoded(await canvasPixels()), Buffer.from('not digits'));
    await setControl('xdim', '0');
    assert.match(await text('error'), /option 'xdim'/);
    await setControl('xdim', '2');
    await setControl('mode', 'automatic');
});

test('the download buttons give the PNG and the SVG', async () => {
    await typeData('Downloaded 2024');
    const cdp = await page.createCDPSession();
    await cdp.send('Browser.setDownloadBehavior', { behavior: 'allow', downloadPath: folder });
    const options = { data: 'Downloaded 2024', col: 5 };
    for (const [id, name] of [['download-png', 'barcode.png'], ['download-svg', 'barcode.svg']]) {
        await page.click(`#${id}`);
        const file = path.join(folder, name);
        for (let waited = 0; !existsSync(file) && waited < 100; ++waited) {
            await sleep(50);
        }
        const bytes = readFileSync(file);
        if (name.endsWith('.png')) {
            assert.deepEqual(bytes, Buffer.from(barwright.toPng(options)));
        } else {
            assert.equal(bytes.toString('latin1'), barwright.toSvg(options));
        }
    }
});

test('the module draws into an OffscreenCanvas the same pixels', async () => {
    const options = { data: 'Offscreen', xdim: 3, bcolor: 'ffee00' };
    const rgba = await page.evaluate(async (given) => {
        const { toCanvas } = await import('./barwright.js');
        const canvas = new OffscreenCanvas(1, 1);
        toCanvas(canvas, given);
        return [...canvas.getContext('2d').getImageData(0, 0, canvas.width, canvas.height).data];
    }, options);
    const png = readPng(barwright.toPng(options));
    assert.deepEqual(Buffer.from(rgba.filter((_, i) => i % 4 !== 3)), Buffer.from(png.pixels));
});

// barwright-serve on a free port, serving folder at /; resolves to the
// process and its port once it listens.
function startService(folder) {
    const service = spawn(serveProgram, ['--listen', '127.0.0.1:0', '--quiet', '--web', folder],
        { stdio: ['ignore', 'ignore', 'pipe'] });
    return new Promise((resolve, reject) => {
        let said = '';
        service.stderr.on('data', (chunk) => {
            said += chunk;
            const port = said.match(/serving on http:\/\/127\.0\.0\.1:(\d+)\//)?.[1];
            if (port !== undefined) {
                resolve({ service, port });
            }
        });
        service.once('error', reject);
        service.once('exit', (code) => reject(new Error(`barwright-serve ended with ${code}: ${said}`)));
    });
}

test('barwright-serve serves the page at /, and it draws there too', async () => {
    assert.ok(existsSync(serveProgram), `${serveProgram} is missing: build it (scripts/setup)`);
    const { service, port } = await startService(path.join(root, 'web'));
    const served = await browser.newPage();
    try {
        const failures = [];
        served.on('pageerror', (error) => failures.push(error));
        await served.goto(`http://127.0.0.1:${port}/`, { waitUntil: 'load' });
        await served.waitForFunction(() => document.getElementById('facts').textContent !== '');
        assert.deepEqual(failures, []);
        assert.deepEqual(decoded(await canvasPixels(served)), Buffer.from('Hello 123'));
    } finally {
        await served.close();
        service.kill('SIGTERM');
    }
});
