// Typed reading of untrusted JSON: every failure names the path of the field and what was wrong with it.

/** Thrown when a value from the server does not have the shape the protocol gives it. */
export class DecodeError extends Error {
    override name = "DecodeError";
}

/** A JSON value read at a path such as `project.parameters.sections[0]`. */
export type Decoder<T> = (value: unknown, path: string) => T;

function fail(path: string, expected: string, value: unknown): never {
    const found =
        value === undefined
            ? "nothing"
            : value === null
              ? "null"
              : Array.isArray(value)
                ? "an array"
                : typeof value === "object"
                  ? "an object"
                  : `a ${typeof value}`;
    throw new DecodeError(`${path}: expected ${expected}, found ${found}`);
}

export const string: Decoder<string> = (value, path) =>
    typeof value === "string" ? value : fail(path, "a string", value);

/** A finite number; NaN and infinities cannot travel in JSON, so anything else is a fault. */
export const number: Decoder<number> = (value, path) =>
    typeof value === "number" && Number.isFinite(value) ? value : fail(path, "a number", value);

export const boolean: Decoder<boolean> = (value, path) =>
    typeof value === "boolean" ? value : fail(path, "a boolean", value);

export function nullable<T>(decode: Decoder<T>): Decoder<T | null> {
    return (value, path) => (value === null ? null : decode(value, path));
}

/** A key that may be left out altogether, read as `null` then; a `null` that is sent is a fault. */
export function absentOr<T>(decode: Decoder<T>): Decoder<T | null> {
    return (value, path) => (value === undefined ? null : decode(value, path));
}

export function array<T>(decode: Decoder<T>): Decoder<T[]> {
    // A patch from the app leaves every array it does not touch as it was, so a long outline is read once,
    // not again with every change beside it.
    const decoded = new WeakMap<unknown[], T[]>();
    return (value, path) => {
        if (!Array.isArray(value)) fail(path, "an array", value);
        const known = decoded.get(value);
        if (known !== undefined) return known;
        const items = value.map((item, index) => decode(item, `${path}[${index}]`));
        decoded.set(value, items);
        return items;
    };
}

export function oneOf<const T extends string>(choices: readonly T[]): Decoder<T> {
    return (value, path) => {
        const text = string(value, path);
        if (!(choices as readonly string[]).includes(text)) {
            throw new DecodeError(`${path}: expected one of ${choices.join(", ")}, found "${text}"`);
        }
        return text as T;
    };
}

/** The plain object at `path`, so that fields can be read from it with their own paths. */
export function record(value: unknown, path: string): Record<string, unknown> {
    if (typeof value !== "object" || value === null || Array.isArray(value)) fail(path, "an object", value);
    return value as Record<string, unknown>;
}

/** An object decoder from one decoder per field; keys the protocol does not name are ignored. */
export function object<T>(fields: { [K in keyof T]-?: Decoder<T[K]> }): Decoder<T> {
    return (value, path) => {
        const source = record(value, path);
        const result: Partial<T> = {};
        for (const key of Object.keys(fields) as (keyof T & string)[]) {
            result[key] = fields[key](source[key], `${path}.${key}`);
        }
        return result as T;
    };
}
