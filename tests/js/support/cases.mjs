// Seeded random cases: data and options as the package takes them, and the
// same as the programs take them, so that their outputs can be compared.
const UTF8_ECI_ESCAPE = '~7000026';

// mulberry32: small, fast, and the same sequence on every machine.
export function random(seed) {
    let state = seed >>> 0;
    const next = () => {
        state = (state + 0x6d2b79f5) >>> 0;
        let t = state;
        t = Math.imul(t ^ (t >>> 15), t | 1);
        t ^= t + Math.imul(t ^ (t >>> 7), t | 61);
        return ((t ^ (t >>> 14)) >>> 0) / 4294967296;
    };
    next.int = (low, high) => low + Math.floor(next() * (high - low + 1));
    next.pick = (items) => items[Math.floor(next() * items.length)];
    next.chance = (p) => next() < p;
    return next;
}

const ALPHABETS = {
    digits: '0123456789',
    text: 'ABCDEFGHIJKLMNOPQRSTUVWXYZ abcdefghijklmnopqrstuvwxyz0123456789.,;:-/#$%&*+=()~\n\t',
    unicode: 'aé€世界Ωß~ 1\u{1F600}',
};

function randomText(next, alphabet, length) {
    const characters = [...alphabet];
    let text = '';
    for (let i = 0; i < length; ++i) {
        text += next.pick(characters);
    }
    return text;
}

// The data: digits, text or Latin-1 as a string, bytes as a Uint8Array,
// or text beyond Latin-1. bytes are what the programs get (UTF-8 behind the
// ECI escape for the last kind, which then needs escapes).
function randomData(next) {
    const kind = next.pick(['digits', 'text', 'bytes', 'latin1', 'unicode']);
    const length = next.int(1, kind === 'digits' ? 400 : 150);
    if (kind === 'bytes' || kind === 'latin1') {
        const bytes = Uint8Array.from({ length }, () => next.int(0, 255));
        return { kind, data: kind === 'bytes' ? bytes : String.fromCharCode(...bytes), bytes };
    }
    const data = randomText(next, ALPHABETS[kind], length);
    const bytes = kind === 'unicode' ? new TextEncoder().encode(data) : Uint8Array.from(data, (c) => c.charCodeAt(0));
    return { kind, data, bytes };
}

function colour(next, low = 0, high = 0xff) {
    let text = '';
    for (let channel = 0; channel < 3; ++channel) {
        text += next.int(low, high).toString(16).padStart(2, '0');
    }
    return text;
}

// Bars mostly dark on a light ground, so that most cases have the contrast
// a picture needs; now and then any colour, to compare the refusals too.
const darkColour = (next) => (next.chance(0.9) ? colour(next, 0x00, 0x60) : colour(next));
const lightColour = (next) => (next.chance(0.9) ? colour(next, 0xa0, 0xff) : colour(next));

// Symbol and picture options, mostly valid, now and then not (a column
// count of 31, a forced mode that the data does not suit, bars the colour of
// the background), so that failures are compared too.
function randomOptions(next) {
    const options = {};
    const maybe = (p, key, value) => {
        if (next.chance(p)) {
            options[key] = value();
        }
    };
    maybe(0.5, 'col', () => next.int(0, 31));
    maybe(0.3, 'row', () => (next.chance(0.3) ? 0 : next.int(3, 91)));
    maybe(0.6, 'ecl', () => next.int(0, 9));
    maybe(0.3, 'mode', () => next.int(0, 3));
    maybe(0.2, 'cpdf', () => next.chance(0.5));
    maybe(0.3, 'orient', () => next.pick([0, 90, 180, 270]));
    maybe(0.4, 'xdim', () => next.int(2, 8) / 2);
    maybe(0.4, 'y2x', () => next.int(4, 24) / 4);
    maybe(0.3, 'qzone', () => next.chance(0.5));
    maybe(0.2, 'xsize', () => next.int(50, 900));
    maybe(0.2, 'ysize', () => next.int(30, 500));
    maybe(0.3, 'alignh', () => next.int(0, 2));
    maybe(0.3, 'alignv', () => next.int(0, 2));
    maybe(0.3, 'fcolor', () => darkColour(next));
    maybe(0.3, 'bcolor', () => (next.chance(0.1) ? options.fcolor ?? '000000' : lightColour(next)));
    return options;
}

// One case: the package's options, the programs' options (long name -> text)
// and the data for them, as escaped text (barwright, and the batch when
// escapes is true) or raw bytes (the batch otherwise).
export function randomCase(next) {
    const { kind, data, bytes } = randomData(next);
    const options = randomOptions(next);
    if (kind === 'unicode' && options.mode > 0) {
        // The programs take the ECI as an escape inside the data, after a
        // forced mode's latch, where the package puts its designator before
        // the latch: other codewords, the same text to a reader.
        delete options.mode;
    }
    const programOptions = {};
    for (const [key, value] of Object.entries(options)) {
        programOptions[key] = typeof value === 'boolean' ? Number(value) : value;
    }
    const escapes = kind === 'unicode' || next.chance(0.3);
    let escapedText = escapedBytes(bytes);
    if (kind === 'unicode') {
        escapedText = UTF8_ECI_ESCAPE + escapedText;
    }
    const js = { data: escapes && kind !== 'unicode' ? escapedText : data, ...options };
    if (escapes && kind !== 'unicode') {
        js.escapes = true;
    }
    return { kind, js, programOptions, escapedText, bytes, escapes };
}

const TILDE = 0x7e;

// Bytes as the command line, which always reads escapes, reads them back.
export function escapedBytes(bytes) {
    let text = '';
    for (const byte of bytes) {
        if (byte === TILDE) {
            text += '~~';
        } else if (byte >= 0x20 && byte < TILDE) {
            text += String.fromCharCode(byte);
        } else {
            text += `~X${byte.toString(16).padStart(2, '0')}`;
        }
    }
    return text;
}
