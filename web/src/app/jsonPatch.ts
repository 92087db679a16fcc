// JSON Patch (RFC 6902) as the app sends it: add, remove and replace, applied without changing the values
// they were given, so that a state already handed to the views never changes under them.
import { DecodeError, oneOf, record, string } from "./decode";

export interface PatchOperation {
    op: "add" | "remove" | "replace";
    /** A JSON Pointer (RFC 6901) below the document's root. */
    path: string;
    /** The new value of `add` and `replace`. */
    value?: unknown;
}

/** Thrown when an operation does not fit the document it is applied to; names the operation's path. */
export class PatchError extends Error {
    override name = "PatchError";
}

/** One operation of a `patch` array, read at `path`. */
export function decodePatchOperation(value: unknown, path: string): PatchOperation {
    const source = record(value, path);
    const op = oneOf(["add", "remove", "replace"])(source["op"], `${path}.op`);
    const pointer = string(source["path"], `${path}.path`);
    if (!pointer.startsWith("/")) throw new DecodeError(`${path}.path: expected a pointer below the root`);
    if (op === "remove") return { op, path: pointer };
    if (!("value" in source)) throw new DecodeError(`${path}.value: expected a value, found nothing`);
    return { op, path: pointer, value: source["value"] };
}

type Container = Record<string, unknown> | unknown[];

const isContainer = (value: unknown): value is Container => typeof value === "object" && value !== null;

/** A pointer's reference tokens, with "~1" read as "/" and "~0" as "~". */
export const tokens = (pointer: string): string[] =>
    pointer
        .split("/")
        .slice(1)
        .map((token) => token.replaceAll("~1", "/").replaceAll("~0", "~"));

/** `document` with `operations` applied in order. What lies on their paths is copied; the rest is shared. */
export function applyPatch(
    document: Record<string, unknown>,
    operations: readonly PatchOperation[],
): Record<string, unknown> {
    // Each container is copied at most once however many operations pass through it.
    const copies = new Set<Container>();
    const copyOf = <T extends Container>(container: T): T => {
        if (copies.has(container)) return container;
        const copy = (Array.isArray(container) ? [...container] : { ...container }) as T;
        copies.add(copy);
        return copy;
    };
    const root = copyOf(document);
    for (const operation of operations) {
        const fail = (why: string): never => {
            throw new PatchError(`${operation.op} ${operation.path}: ${why}`);
        };
        const keys = tokens(operation.path);
        let parent: Container = root;
        for (const key of keys.slice(0, -1)) {
            const child: unknown = Array.isArray(parent)
                ? parent[arrayIndex(key, parent.length - 1, fail)]
                : own(parent, key);
            if (!isContainer(child)) return fail(`nothing to walk into at "${key}"`);
            const copy: Container = copyOf(child);
            put(parent, key, copy);
            parent = copy;
        }
        change(parent, keys[keys.length - 1] ?? "", operation, fail);
    }
    return root;
}

function own(container: Record<string, unknown>, key: string): unknown {
    return Object.prototype.hasOwnProperty.call(container, key) ? container[key] : undefined;
}

/** Sets `key` as an own property even where it is "__proto__". */
function put(container: Container, key: string, value: unknown): void {
    if (Array.isArray(container)) container[Number(key)] = value;
    else Object.defineProperty(container, key, { value, writable: true, enumerable: true, configurable: true });
}

function arrayIndex(token: string, last: number, fail: (why: string) => never): number {
    const index = /^(0|[1-9][0-9]*)$/.test(token) ? Number(token) : NaN;
    return index <= last ? index : fail(`no element "${token}"`);
}

function change(parent: Container, key: string, operation: PatchOperation, fail: (why: string) => never): void {
    if (Array.isArray(parent)) {
        if (operation.op === "add") {
            const index = key === "-" ? parent.length : arrayIndex(key, parent.length, fail);
            parent.splice(index, 0, operation.value);
        } else if (operation.op === "remove") {
            parent.splice(arrayIndex(key, parent.length - 1, fail), 1);
        } else {
            parent[arrayIndex(key, parent.length - 1, fail)] = operation.value;
        }
        return;
    }
    const exists = Object.prototype.hasOwnProperty.call(parent, key);
    if (operation.op !== "add" && !exists) fail(`no member "${key}"`);
    if (operation.op === "remove") delete parent[key];
    else put(parent, key, operation.value);
}
