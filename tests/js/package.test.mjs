// The tarball that scripts/build-js packs, as a user gets it: it installs
// offline from an empty npm cache, imports, type-checks with its
// declarations, and stays within its size.
import assert from 'node:assert/strict';
import { execFileSync } from 'node:child_process';
import { mkdirSync, mkdtempSync, readFileSync, readdirSync, rmSync, writeFileSync } from 'node:fs';
import os from 'node:os';
import path from 'node:path';
import { after, test } from 'node:test';
import { fileURLToPath } from 'node:url';
import { gzipSync } from 'node:zlib';

import { buildJs, packageDir } from './support/paths.mjs';

// JavaScript and WebAssembly together, gzipped.
const MAX_GZIPPED_BYTES = 100 * 1000;
const here = path.dirname(fileURLToPath(import.meta.url));
const tsc = path.join(here, 'node_modules', 'typescript', 'bin', 'tsc');
const folder = mkdtempSync(path.join(os.tmpdir(), 'barwright-package-'));
after(() => rmSync(folder, { recursive: true, force: true }));

const tarballs = readdirSync(buildJs).filter((name) => /^barwright-\d+\.\d+\.\d+\.tgz$/.test(name));

// A consumer in TypeScript: what must compile, and what must not.
const CONSUMER = `
import { BarwrightError, encode, ready, toCanvas, toPng, toSvg, version, type Options, type SymbolOptions } from 'barwright';
const loaded: Promise<void> = ready;
const options: SymbolOptions = { data: 'Hello', col: 4, fcolor: 0x102030, qzone: true, cpdf: 0 };
const either: Options = options;
const some: Uint8Array | Uint8Array[] = toPng(either);
const png: Uint8Array = toPng(options);
const svgs: string[] = toSvg({ data: new Uint8Array([1, 2]), macro: { segments: 2 } });
const rows: number = encode({ data: 'x' }).modules.length;
declare const canvas: HTMLCanvasElement;
const level: number = toCanvas(canvas, { data: 'x' }).errorCorrectionLevel;
try { toPng({ data: 'x' }); } catch (error) { if (error instanceof BarwrightError) { const s: number = error.status; } }
// @ts-expect-error: an unknown option
toPng({ data: 'x', colums: 3 });
// @ts-expect-error: data is needed
toSvg({ col: 3 });
// @ts-expect-error: a macro file is an array
const one: string = toSvg({ data: 'x', macro: { segments: 2 } });
export { png, svgs, rows, level, version, one, some, loaded };
`;

test('the tarball installs offline from an empty cache and works', () => {
    assert.equal(tarballs.length, 1, `one tarball in build-js: ${tarballs}`);
    const project = path.join(folder, 'project');
    mkdirSync(project);
    writeFileSync(path.join(project, 'package.json'), '{"name": "consumer", "private": true, "type": "module"}');
    execFileSync('npm', ['install', '--offline', '--cache', path.join(folder, 'empty-cache'), '--no-audit',
        '--no-fund', '--loglevel=error', path.join(buildJs, tarballs[0])], { cwd: project, stdio: 'pipe' });
    const installed = JSON.parse(readFileSync(path.join(project, 'node_modules/barwright/package.json'), 'utf8'));
    assert.equal(installed.dependencies, undefined, 'everything it needs is bundled');
    const script = "import { toSvg, version } from 'barwright'; console.log(version, toSvg({ data: 'Hi' }).length > 0);";
    const printed = execFileSync('node', ['--input-type=module', '-e', script], { cwd: project, encoding: 'utf8' });
    assert.equal(printed, `${installed.version} true\n`);

    writeFileSync(path.join(project, 'consumer.ts'), CONSUMER);
    execFileSync('node', [tsc, '--noEmit', '--strict', '--target', 'es2022', '--module', 'nodenext',
        '--moduleResolution', 'nodenext', '--lib', 'es2022,dom', 'consumer.ts'], { cwd: project, stdio: 'pipe' });
});

test(`the module and its WebAssembly are at most ${MAX_GZIPPED_BYTES} bytes gzipped`, () => {
    const gzipped = gzipSync(readFileSync(path.join(packageDir, 'barwright.js')), { level: 9 }).length;
    assert.ok(gzipped <= MAX_GZIPPED_BYTES, `${gzipped} bytes`);
});
