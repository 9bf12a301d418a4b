// Where the tests find what they test: the package as scripts/build-js
// leaves it, and the programs of the CMake build (BARWRIGHT_BUILD, default
// build/), whose output the package must equal.
import { existsSync } from 'node:fs';
import path from 'node:path';
import { fileURLToPath, pathToFileURL } from 'node:url';

export const root = path.resolve(path.dirname(fileURLToPath(import.meta.url)), '../../..');
export const buildJs = path.join(root, 'build-js');
export const packageDir = path.join(buildJs, 'package');
const build = process.env.BARWRIGHT_BUILD ?? path.join(root, 'build');
export const barwrightProgram = path.join(build, 'barwright');
export const batchProgram = path.join(build, 'batch', 'barwright-batch');
// Built where its libraries are (scripts/setup installs them); the page's
// test through it says so when it is missing.
export const serveProgram = path.join(build, 'serve', 'barwright-serve');

for (const needed of [path.join(packageDir, 'barwright.js'), barwrightProgram, batchProgram]) {
    if (!existsSync(needed)) {
        throw new Error(`${needed} is missing: run scripts/build-js and the CMake build first`);
    }
}

// The built package, imported as its users import it.
export const barwright = await import(pathToFileURL(path.join(packageDir, 'barwright.js')).href);
