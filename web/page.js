// The page: the controls' values become the package's options, and the
// symbol is drawn again whenever one of them changes.
import { BarwrightError, toCanvas, toPng, toSvg, version } from './barwright.js';

const PAD_CODEWORD = 900;
// The compaction modes by the package's mode numbers.
const MODES = ['automatic', 'text', 'numeric', 'byte'];
const element = (id) => document.getElementById(id);
const canvas = element('symbol');

// A number input's value, or nothing while it is empty (the package's
// default then holds).
function numberOf(id) {
    const value = element(id).valueAsNumber;
    return Number.isNaN(value) ? undefined : value;
}

function colourOf(id) {
    return element(id).value.slice(1);
}

function readOptions() {
    const mode = element('mode').value;
    return {
        data: element('data').value,
        col: numberOf('col'),
        row: numberOf('row'),
        ecl: Number(element('ecl').value),
        mode: mode === 'shortest' ? undefined : MODES.indexOf(mode),
        shortest: mode === 'shortest',
        cpdf: element('cpdf').checked,
        orient: Number(element('orient').value),
        xdim: numberOf('xdim'),
        y2x: numberOf('y2x'),
        fcolor: colourOf('fcolor'),
        bcolor: colourOf('bcolor'),
        qzone: element('qzone').checked,
    };
}

// The data region holds the length descriptor, the data and the padding;
// the padding is what the data leaves unused.
function describe({ columns, rows, errorCorrectionLevel, codewords }) {
    const region = codewords[0];
    let left = 0;
    while (left < region - 1 && codewords[region - 1 - left] === PAD_CODEWORD) {
        ++left;
    }
    return `${columns} columns × ${rows} rows, error correction level ${errorCorrectionLevel}: ` +
        `${region - left} data codewords used, ${left} left`;
}

function showFailure(error) {
    if (!(error instanceof BarwrightError)) {
        throw error;
    }
    element('error').textContent = error.message;
    element('facts').textContent = '';
    canvas.classList.add('stale');
    for (const id of ['download-png', 'download-svg']) {
        element(id).disabled = true;
    }
}

function redraw() {
    try {
        element('facts').textContent = describe(toCanvas(canvas, readOptions()));
    } catch (error) {
        showFailure(error);
        return;
    }
    element('error').textContent = '';
    canvas.classList.remove('stale');
    for (const id of ['download-png', 'download-svg']) {
        element(id).disabled = false;
    }
}

function download(bytes, type, name) {
    const link = document.createElement('a');
    link.href = URL.createObjectURL(new Blob([bytes], { type }));
    link.download = name;
    document.body.append(link);
    link.click();
    link.remove();
    setTimeout(() => URL.revokeObjectURL(link.href), 60000);
}

function downloadAs(make, type, name) {
    try {
        download(make(readOptions()), type, name);
    } catch (error) {
        showFailure(error);
    }
}

// Typing fires an event per key; one drawing per frame is enough.
let pending = false;
element('controls').addEventListener('input', () => {
    if (!pending) {
        pending = true;
        requestAnimationFrame(() => {
            pending = false;
            redraw();
        });
    }
});
element('controls').addEventListener('submit', (event) => event.preventDefault());
element('download-png').addEventListener('click', () => downloadAs(toPng, 'image/png', 'barcode.png'));
element('download-svg').addEventListener('click', () => downloadAs(toSvg, 'image/svg+xml', 'barcode.svg'));
element('version').textContent = version;
redraw();
