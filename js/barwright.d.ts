// Type declarations of the barwright package: PDF417 symbols in Node 18+ and
// browsers. Option names, defaults and values are those of the barwright
// command line; ranges are checked when a function runs.

/** The options of one symbol. */
export interface SymbolOptions {
    /**
     * The data. A string's code units 0..255 are its bytes; a string with any
     * other character is encoded as UTF-8 behind an ECI 000026 designator,
     * so that readers give back the same text. A Uint8Array is taken as it is.
     */
    data: string | Uint8Array;
    /** Compaction: 0 automatic, 1 text, 2 numeric, 3 byte. Default 0. */
    mode?: number;
    /** The fewest data codewords, chosen exactly (in place of `mode`). Default false. */
    shortest?: boolean;
    /** Read `~` escapes in the data (`~N`, `~Xhh`, `~7nnnnnn`, ...). Default false. */
    escapes?: boolean;
    /** Error correction level 0..8, or 9 to choose by the data length. Default 9. */
    ecl?: number;
    /** Data columns 1..30, or 0 automatic. Default 3. */
    col?: number;
    /** Rows 3..90, or 0 automatic (not both `col` and `row` 0). Default 0. */
    row?: number;
    /** Compact PDF417. Default false. */
    cpdf?: boolean | number;
    /** Orientation in degrees counter-clockwise: 0, 90, 180 or 270. Default 0. */
    orient?: number;
    /** Module width in pixels (rounded half up), when no size is given. Default 2. */
    xdim?: number;
    /** Row height in module widths. Default 4. */
    y2x?: number;
    /** Image width in pixels; the symbol is fitted in. Alone, the height is 100. */
    xsize?: number;
    /** Image height in pixels; the symbol is fitted in. Alone, the width is 200. */
    ysize?: number;
    /** Horizontal alignment in a given size: 0 left, 1 centre, 2 right. Default 1. */
    alignh?: number;
    /** Vertical alignment in a given size: 0 top, 1 centre, 2 bottom. Default 1. */
    alignv?: number;
    /** Bar colour, 'rrggbb' or 0xRRGGBB. Default '000000'. */
    fcolor?: string | number;
    /** Background colour, 'rrggbb' or 0xRRGGBB. Default 'ffffff'. */
    bcolor?: string | number;
    /** A quiet zone of two modules on every side. Default true. */
    qzone?: boolean | number;
    /** Resolution to record (PNG pHYs, SVG size in inches), 1..1000000 pixels per inch. */
    dpi?: number;
    /** The PNG's tIME chunk; without it the file has none. */
    time?: Date;
}

/**
 * A Macro PDF417 file: the data split over `segments` symbols (1..99999)
 * with the file ID `fileId` (default '#001').
 */
export interface MacroOptions {
    segments: number;
    fileId?: string;
}

/** The options of one symbol, or with `macro` of a Macro PDF417 file. */
export interface Options extends SymbolOptions {
    macro?: MacroOptions;
}

type One = SymbolOptions & { macro?: undefined };
type File = SymbolOptions & { macro: MacroOptions };

/** One encoded symbol. */
export interface SymbolFacts {
    /** Data columns, 1..30. */
    columns: number;
    /** Rows, 3..90. */
    rows: number;
    /** The error correction level used, 0..8. */
    errorCorrectionLevel: number;
    /**
     * Every codeword (0..928) in reading order: the length descriptor, the
     * data, the padding, the Macro block and the error correction codewords.
     */
    codewords: number[];
}

export interface EncodedSymbol extends SymbolFacts {
    /** The module grid, top row first: 1 a bar, 0 a space, start and stop included, no quiet zone. */
    modules: number[][];
}

/** Anything a picture can be drawn into. */
export type Canvas = HTMLCanvasElement | OffscreenCanvas;

/** Encodes the data: the symbol's shape, codewords and modules; with `macro`, one per segment. */
export function encode(options: One): EncodedSymbol;
export function encode(options: File): EncodedSymbol[];
export function encode(options: Options): EncodedSymbol | EncodedSymbol[];
/** An 8-bit RGB PNG file of the picture, pixel for pixel the barwright program's. */
export function toPng(options: One): Uint8Array;
export function toPng(options: File): Uint8Array[];
export function toPng(options: Options): Uint8Array | Uint8Array[];
/** An SVG document, byte for byte `barwright-batch --format svg`'s. */
export function toSvg(options: One): string;
export function toSvg(options: File): string[];
export function toSvg(options: Options): string | string[];
/** Sizes the canvas to the picture and draws it, opaque: one symbol, no `macro`. */
export function toCanvas(canvas: Canvas, options: One): SymbolFacts;

/** The package's version, the barwright project's. */
export const version: string;

/**
 * Resolved once the WebAssembly module is ready, which is at import almost
 * everywhere; a browser that will not compile it synchronously on its main
 * thread gets it a moment later, and calls until then throw.
 */
export const ready: Promise<void>;

/**
 * What every function throws: `status` is barwright's number (1 for an
 * option refused, `key` then naming it), `message` barwright's text for an
 * encoding failure.
 */
export class BarwrightError extends Error {
    readonly name: 'BarwrightError';
    readonly status: number;
    readonly key?: string;
}
