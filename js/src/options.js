// JavaScript option values become the text that the command line would take
// for them; the WebAssembly module applies that text with the same table and
// value rules as a data file's cells, so the ranges live there alone.
import { refuse } from './BarwrightError.js';

// The kinds of value each key takes. The long names are the command line's.
const KINDS = {
    xsize: 'number', ysize: 'number', xdim: 'number', mode: 'number', ecl: 'number',
    col: 'number', row: 'number', cpdf: 'switch', orient: 'number', bcolor: 'colour',
    fcolor: 'colour', qzone: 'switch', alignh: 'number', alignv: 'number', y2x: 'number',
    shortest: 'boolean', escapes: 'boolean', dpi: 'number',
    data: 'data', macro: 'macro', time: 'time',
};
const MACRO_KEYS = { segments: 'macro', fileId: 'file-id' };
const LARGEST_COLOUR = 0xffffff;
const COLOUR_TEXT = /^[0-9a-fA-F]{6}$/;
// Text outside Latin-1 goes as UTF-8 behind this ECI designator.
const UTF8_ECI = '26';
const LAST_LATIN1 = 0xff;
const LARGEST_PNG_YEAR = 0xffff;
const MILLISECONDS_PER_SECOND = 1000;

function numberText(key, value) {
    if (typeof value !== 'number' || !Number.isFinite(value)) {
        throw refuse(key, `takes a finite number, not ${describe(value)}`);
    }
    return String(value);
}

function colourText(key, value) {
    if (typeof value === 'string' && COLOUR_TEXT.test(value)) {
        return value;
    }
    if (Number.isInteger(value) && value >= 0 && value <= LARGEST_COLOUR) {
        return value.toString(16).padStart(6, '0');
    }
    throw refuse(key, `takes a colour as 'rrggbb' or a number 0..0xffffff, not ${describe(value)}`);
}

export function describe(value) {
    if (typeof value === 'string') {
        return JSON.stringify(value.length > 20 ? `${value.slice(0, 20)}...` : value);
    }
    if (value === null || value === undefined || typeof value === 'number' || typeof value === 'boolean') {
        return String(value);
    }
    if (Array.isArray(value)) {
        return 'an array';
    }
    const type = value instanceof Date ? 'Date' : typeof value;
    return `${/^[aeiou]/i.test(type) ? 'an' : 'a'} ${type}`;
}

// Whether text holds half of a surrogate pair without the other half, which
// is no character and has no UTF-8. (A loop, not a regular expression:
// lookbehind is missing from the Safari releases before 16.4.)
function hasLoneSurrogate(text) {
    for (let i = 0; i < text.length; ++i) {
        const unit = text.charCodeAt(i);
        if (unit >= 0xd800 && unit <= 0xdbff) {
            const next = text.charCodeAt(i + 1);
            if (!(next >= 0xdc00 && next <= 0xdfff)) {
                return true;
            }
            ++i;
        } else if (unit >= 0xdc00 && unit <= 0xdfff) {
            return true;
        }
    }
    return false;
}

// The data's bytes: a Uint8Array as it is; a string's code units when all
// are 0..255, else its UTF-8 behind an ECI designator that tells readers so.
function dataBytes(value, texts) {
    if (value instanceof Uint8Array) {
        return value;
    }
    if (typeof value !== 'string') {
        throw refuse('data', `takes a string or a Uint8Array, not ${describe(value)}`);
    }
    const bytes = new Uint8Array(value.length);
    for (let i = 0; i < value.length; ++i) {
        const unit = value.charCodeAt(i);
        if (unit > LAST_LATIN1) {
            if (hasLoneSurrogate(value)) {
                throw refuse('data', 'holds a lone surrogate, which is no character');
            }
            texts.push({ key: 'data', name: 'eci', text: UTF8_ECI, value });
            return new TextEncoder().encode(value);
        }
        bytes[i] = unit;
    }
    return bytes;
}

function macroTexts(value, texts) {
    if (value === null || typeof value !== 'object' || Array.isArray(value)) {
        throw refuse('macro', `takes an object {segments, fileId}, not ${describe(value)}`);
    }
    for (const [key, given] of Object.entries(value)) {
        const name = MACRO_KEYS[key];
        if (name === undefined) {
            throw refuse(`macro.${key}`, 'is not an option (macro takes segments and fileId)');
        }
        if (given === undefined) {
            continue;
        }
        if (key === 'fileId' && typeof given !== 'string') {
            throw refuse('macro.fileId', `takes a string, not ${describe(given)}`);
        }
        const text = key === 'fileId' ? given : numberText('macro.segments', given);
        texts.push({ key: `macro.${key}`, name, text, value: given });
    }
    if (value.segments === undefined) {
        throw refuse('macro.segments', 'is needed: the number of symbols, 1..99999');
    }
}

// Whole seconds since 1970, as the PNG's tIME chunk records them.
function timeText(value) {
    if (!(value instanceof Date) || Number.isNaN(value.getTime()) ||
        value.getUTCFullYear() < 0 || value.getUTCFullYear() > LARGEST_PNG_YEAR) {
        throw refuse('time', `takes a valid Date of the years 0..65535, not ${describe(value)}`);
    }
    return String(Math.floor(value.getTime() / MILLISECONDS_PER_SECOND));
}

function valueText(key, kind, value) {
    switch (kind) {
        case 'number':
            return numberText(key, value);
        case 'colour':
            return colourText(key, value);
        case 'switch':
            return typeof value === 'boolean' ? (value ? '1' : '0') : numberText(key, value);
        case 'time':
            return timeText(value);
        default:
            if (typeof value !== 'boolean') {
                throw refuse(key, `takes true or false, not ${describe(value)}`);
            }
            return value ? '1' : '0';
    }
}

// The options of one call as {key, name, text, value} in the order given
// (the command line's order rules hold: -x alone fills in -y's default):
// the JavaScript key, the module's name for it, the value's text and the
// value itself; the data's bytes apart, and whether a Macro file is asked for. Throws BarwrightError
// for an unknown key or a value of the wrong kind; undefined counts as absent.
export function readOptions(options) {
    if (options === null || typeof options !== 'object' || Array.isArray(options)) {
        throw refuse('options', `must be an object, not ${describe(options)}`);
    }
    const texts = [];
    const read = { texts, data: undefined, macro: false };
    for (const [key, value] of Object.entries(options)) {
        const kind = KINDS[key];
        if (kind === undefined) {
            throw refuse(key, 'is not an option');
        }
        if (value === undefined) {
            continue;
        }
        if (kind === 'data') {
            read.data = dataBytes(value, texts);
        } else if (kind === 'macro') {
            macroTexts(value, texts);
            read.macro = true;
        } else {
            texts.push({ key, name: key, text: valueText(key, kind, value), value });
        }
    }
    if (read.data === undefined) {
        throw refuse('data', 'is needed: the text or bytes to encode');
    }
    if (options.shortest === true && options.mode !== undefined && options.mode !== 0) {
        throw refuse('shortest', 'chooses the compaction itself: give no mode beside it');
    }
    return read;
}
