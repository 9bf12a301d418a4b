// The one kind of error the package throws. status is barwright's number
// (1 for an option the package refuses, as the command line's "invalid
// argument"); key names the option at fault, when one is.
export class BarwrightError extends Error {
    constructor(status, message, key) {
        super(message);
        this.name = 'BarwrightError';
        this.status = status;
        if (key !== undefined) {
            this.key = key;
        }
    }
}

// barwright's number for an invalid argument.
export const INVALID_ARGUMENT = 1;

export function refuse(key, reason) {
    return new BarwrightError(INVALID_ARGUMENT, `barwright: option '${key}' ${reason}`, key);
}
