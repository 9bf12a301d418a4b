// barwright for JavaScript: PDF417 symbols from the same library as the
// barwright program, compiled to WebAssembly. One ES module for Node 18+ and
// browsers alike: the module's bytes travel inside it (no file to fetch) and
// are compiled once, when the module is imported, synchronously, so that no
// top-level await stands in the way of bundlers that do not take it.
import { BarwrightError, INVALID_ARGUMENT, refuse } from './BarwrightError.js';
import { packageVersion, wasmBase64 } from './generated.js';
import { describe, readOptions } from './options.js';

export { BarwrightError };
export const version = packageVersion;

// What the module makes of each symbol (js/WasmJob.h, Target).
const MODULES = 0;
const PNG = 1;
const RGBA = 2;
const SVG = 3;
// barwright's status for a failure with no better name.
const FAIL = 2;
// SymbolResult: ten 32-bit words.
const RESULT_WORDS = 10;
const LINE_FEED = 10;
const ZERO = 48;

function decodeBase64(text) {
    const binary = atob(text);
    const bytes = new Uint8Array(binary.length);
    for (let i = 0; i < binary.length; ++i) {
        bytes[i] = binary.charCodeAt(i);
    }
    return bytes;
}

const imports = {
    env: { emscripten_notify_memory_growth() {} },
    // abort(): out of memory, or a broken invariant. The trap unwinds the
    // call, and the instance is replaced before the next one.
    wasi_snapshot_preview1: {
        proc_exit(code) {
            throw new WebAssembly.RuntimeError(`barwright: WebAssembly abort ${code}`);
        },
    },
};

let compiled;
let wasm;
let job = 0;
let failMessage = 'barwright: the WebAssembly module is not loaded yet: await ready';
let restarting = false;

function started(instance) {
    const created = instance.exports;
    created._initialize();
    const made = created.bwJobCreate();
    if (made === 0) {
        throw new BarwrightError(FAIL, 'barwright: no memory for the WebAssembly module');
    }
    wasm = created;
    job = made;
    failMessage = statusMessage(FAIL);
}

// Node, Firefox, Safari and Chromium (now up to 8 MB, once up to 4 KB)
// compile and start it at once. Where a browser refuses to on its main
// thread it is done asynchronously, and ready tells when.
export const ready = (() => {
    const bytes = decodeBase64(wasmBase64);
    try {
        compiled = new WebAssembly.Module(bytes);
        started(new WebAssembly.Instance(compiled, imports));
        return Promise.resolve();
    } catch {
        return WebAssembly.compile(bytes).then((module) => {
            compiled = module;
            return WebAssembly.instantiate(module, imports);
        }).then(started);
    }
})();

// After a trap the instance's heap is in no known state: a new instance
// starts from scratch. A browser that refuses to make one synchronously gets
// it made asynchronously; the calls until then fail.
function ensureInstance() {
    if (wasm !== undefined) {
        return;
    }
    if (compiled === undefined) {
        throw new BarwrightError(FAIL, failMessage);
    }
    try {
        started(new WebAssembly.Instance(compiled, imports));
    } catch {
        if (!restarting) {
            restarting = true;
            WebAssembly.instantiate(compiled, imports).then(started, () => {})
                .finally(() => { restarting = false; });
        }
        throw new BarwrightError(FAIL, failMessage);
    }
}

function bytesAt(address, length) {
    return new Uint8Array(wasm.memory.buffer, address >>> 0, length);
}

function cString(address) {
    const memory = new Uint8Array(wasm.memory.buffer);
    let text = '';
    for (let at = address >>> 0; memory[at] !== 0; ++at) {
        text += String.fromCharCode(memory[at]);
    }
    return text;
}

function statusMessage(status) {
    return cString(wasm.bwStatusMessage(status));
}

const utf8Encoder = new TextEncoder();

function setOption(name, value) {
    const nameBytes = utf8Encoder.encode(name);
    const at = wasm.bwJobInput(job, nameBytes.length + value.length);
    const memory = bytesAt(at, nameBytes.length + value.length);
    memory.set(nameBytes);
    memory.set(value, nameBytes.length);
    return wasm.bwJobSetOption(job, nameBytes.length);
}

function applyOptions(read) {
    for (const { key, name, text, value } of read.texts) {
        if (setOption(name, utf8Encoder.encode(text)) !== 0) {
            throw refuse(key, `does not take ${describe(value)}`);
        }
    }
    if (setOption('data', read.data) !== 0) {
        throw refuse('data', 'was refused');
    }
}

// What the module can say of an argument it refused while running
// (WasmJob::blame).
const BLAMES = {
    macro: ['macro.segments', 'asks for more symbols than the data has bytes'],
    fcolor: ['fcolor', 'is too close to the background in brightness: no reader could see the bars'],
    xdim: ['xdim', 'rounds to 0 pixels'],
};

function runFailure(status) {
    const blame = status === INVALID_ARGUMENT ? BLAMES[cString(wasm.bwJobBlame(job))] : undefined;
    return blame !== undefined ? refuse(...blame) : new BarwrightError(status, statusMessage(status));
}

// Runs one call: the options applied, every symbol encoded and made into
// target, and make(result) called for each while its bytes are in the
// module's memory. An array, one entry per symbol.
function runJob(read, target, make) {
    ensureInstance();
    try {
        applyOptions(read);
        const status = wasm.bwJobRun(job, target);
        if (status !== 0) {
            throw runFailure(status);
        }
        const made = [];
        const count = wasm.bwJobSymbolCount(job);
        for (let i = 0; i < count; ++i) {
            const words = new Int32Array(wasm.memory.buffer, wasm.bwJobResult(job, i) >>> 0,
                RESULT_WORDS);
            made.push(make({
                columns: words[0], rows: words[1], errorCorrectionLevel: words[2],
                codewords: Array.from(new Uint16Array(wasm.memory.buffer, words[4] >>> 0, words[3])),
                width: words[5], height: words[6], output: bytesAt(words[7], words[8]),
            }));
        }
        return made;
    } catch (error) {
        if (error instanceof BarwrightError) {
            throw error;
        }
        if (error instanceof WebAssembly.RuntimeError) {
            wasm = undefined;
            throw new BarwrightError(FAIL, failMessage);
        }
        throw error;
    } finally {
        if (wasm !== undefined) {
            wasm.bwJobReset(job);
        }
    }
}

function produce(options, target, make) {
    const read = readOptions(options);
    const made = runJob(read, target, make);
    return read.macro ? made : made[0];
}

function facts(result) {
    return {
        columns: result.columns,
        rows: result.rows,
        errorCorrectionLevel: result.errorCorrectionLevel,
        codewords: result.codewords,
    };
}

// The module grid from renderText's lines of '0' and '1'.
function moduleRows(text) {
    const rows = [];
    let row = [];
    for (const byte of text) {
        if (byte === LINE_FEED) {
            rows.push(row);
            row = [];
        } else {
            row.push(byte - ZERO);
        }
    }
    return rows;
}

export function encode(options) {
    return produce(options, MODULES, (result) => ({ ...facts(result), modules: moduleRows(result.output) }));
}

export function toPng(options) {
    return produce(options, PNG, (result) => result.output.slice());
}

const textDecoder = new TextDecoder();

export function toSvg(options) {
    return produce(options, SVG, (result) => textDecoder.decode(result.output));
}

export function toCanvas(canvas, options) {
    if (canvas === null || typeof canvas !== 'object' || typeof canvas.getContext !== 'function') {
        throw refuse('canvas', 'must be an HTMLCanvasElement or an OffscreenCanvas');
    }
    const read = readOptions(options);
    if (read.macro) {
        throw refuse('macro', 'makes several symbols, and a canvas shows one: use toPng or toSvg');
    }
    const [drawn] = runJob(read, RGBA, (result) => {
        canvas.width = result.width;
        canvas.height = result.height;
        const context = canvas.getContext('2d');
        if (context === null) {
            throw refuse('canvas', 'has a context other than 2d');
        }
        const image = context.createImageData(result.width, result.height);
        image.data.set(result.output);
        context.putImageData(image, 0, 0);
        return facts(result);
    });
    return drawn;
}
