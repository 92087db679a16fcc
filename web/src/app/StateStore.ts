// The window's state as last sent by the app; the page draws from it and from nothing else the app owns.
import type { WindowState } from "./WindowState";
import { windowStateKeys } from "./WindowState";

export type StoreListener = (state: WindowState) => void;

export class StateStore {
    private state_: Partial<WindowState> = {};
    private readonly listeners_ = new Set<StoreListener>();

    /** The complete state, or `null` until the first `state` message has carried every key. */
    get state(): WindowState | null {
        return windowStateKeys.every((key) => key in this.state_) ? (this.state_ as WindowState) : null;
    }

    /**
     * Replaces each key present in `changes` by its new value as a whole (the app always sends complete
     * values) and tells the listeners once, if the state is complete.
     */
    apply(changes: Partial<WindowState>): void {
        this.state_ = { ...this.state_, ...changes };
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
