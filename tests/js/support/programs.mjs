// Runs the barwright and barwright-batch programs on a case's options, the
// references the package is compared with.
import { spawnSync } from 'node:child_process';
import { mkdtempSync, readFileSync, readdirSync, rmSync, writeFileSync } from 'node:fs';
import os from 'node:os';
import path from 'node:path';

import { barwrightProgram, batchProgram } from './paths.mjs';

function run(program, args, directory) {
    const result = spawnSync(program, args, { cwd: directory, encoding: 'latin1', maxBuffer: 1 << 28 });
    if (result.error) {
        throw result.error;
    }
    return result;
}

function withFolder(use) {
    const folder = mkdtempSync(path.join(os.tmpdir(), 'barwright-js-'));
    try {
        return use(folder);
    } finally {
        rmSync(folder, { recursive: true, force: true });
    }
}

// barwright's PNG for the options (long name -> text), or its failure:
// { status, message } with the message line that follows the banner.
export function barwrightPng(options) {
    return withFolder((folder) => {
        const args = Object.entries(options).map(([name, value]) => `--${name}=${value}`);
        const result = run(barwrightProgram, [...args, 'out.png'], folder);
        if (result.status !== 0) {
            return { status: result.status, message: result.stderr.split('\n')[1] };
        }
        return { status: 0, png: readFileSync(path.join(folder, 'out.png')) };
    });
}

// barwright-batch's files in format (one per Macro segment) for the options
// (long name -> text, its own options among them), with record as the one
// record: a line with escapes when escapes is true, else raw bytes. Or its
// failure: { status, stderr }.
export function batchFiles(format, options, record, escapes) {
    return withFolder((folder) => {
        writeFileSync(path.join(folder, 'record'), record);
        const args = Object.entries(options).map(([name, value]) =>
            (value === true ? `--${name}` : `--${name}=${value}`));
        const input = escapes ? ['--input', 'record'] : ['--binary', '--input', 'record'];
        const result = run(batchProgram, [...args, ...input, '--format', format, '--quiet',
            `out-{s:5}.${format}`], folder);
        if (result.status !== 0) {
            return { status: result.status, stderr: result.stderr };
        }
        const names = readdirSync(folder).filter((name) => name.startsWith('out-')).sort();
        return { status: 0, files: names.map((name) => readFileSync(path.join(folder, name), 'latin1')) };
    });
}
