// The window's state as last sent by the app; the page draws from it and from nothing else the app owns.
import { applyPatch, type PatchOperation, tokens } from "./jsonPatch";
import type { WindowState } from "./WindowState";
import { decodeChanges, windowStateKeys } from "./WindowState";

export type StoreListener = (state: WindowState) => void;

/** A state message read against the state it applies to, ready to apply. */
export interface StateUpdate {
    /** The keys the message changes, decoded, as they will be. */
    readonly changes: Partial<WindowState>;
    /** The whole state as sent, once the message applies. */
    readonly raw: Record<string, unknown>;
}

export class StateStore {
    /** The state as sent, before decoding: what the app's patches apply to. */
    private raw_: Record<string, unknown> = {};
    private state_: Partial<WindowState> = {};
    private readonly listeners_ = new Set<StoreListener>();

    /** The complete state, or `null` until the first `state` message has carried every key. */
    get state(): WindowState | null {
        return windowStateKeys.every((key) => key in this.state_) ? (this.state_ as WindowState) : null;
    }

    /**
     * Reads a state message: each key in `changes` replaced by its new value as a whole, then `patch` applied,
     * and every key either touched decoded. Changes nothing; throws DecodeError or PatchError naming the fault.
     */
    read(changes: Record<string, unknown>, patch: readonly PatchOperation[] = []): StateUpdate {
        const raw = applyPatch({ ...this.raw_, ...changes }, patch);
        const touched = new Set([...Object.keys(changes), ...patch.map((operation) => tokens(operation.path)[0]!)]);
        const values = Object.fromEntries([...touched].map((key) => [key, raw[key]]));
        return { changes: decodeChanges(values), raw };
    }

    /** Makes `update`, read from the current state, the state, and tells the listeners once if it is complete. */
    apply(update: StateUpdate): void {
        this.raw_ = update.raw;
        this.state_ = { ...this.state_, ...update.changes };
        const state = this.state;
        if (state === null) return;
        for (const listener of this.listeners_) listener(state);
    }

    /** Returns the function that unsubscribes. */
    subscribe(listener: StoreListener): () => void {
        this.listeners_.add(listener);
        return () => this.listeners_.delete(listener);
    }
}
