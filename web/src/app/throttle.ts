// Rate limits for intents that a drag produces many times a second.

/** The timer functions a throttle uses; tests hand in fake ones. */
export interface Timers {
    setTimeout(callback: () => void, delayMs: number): unknown;
    clearTimeout(handle: unknown): void;
}

const browserTimers: Timers = {
    setTimeout: (callback, delayMs) => globalThis.setTimeout(callback, delayMs),
    clearTimeout: (handle) => globalThis.clearTimeout(handle as ReturnType<typeof setTimeout>),
};

/**
 * Sends the first value at once, then at most one value per `intervalMs`: the latest one pushed during the
 * interval, at its end. `commit` sends a final value at once, unless it was the last one sent.
 */
export class Throttle<T> {
    private pending_: { value: T } | null = null;
    private last_: { value: T } | null = null;
    private timer_: unknown = null;

    constructor(
        private readonly send_: (value: T) => void,
        private readonly intervalMs_: number,
        private readonly timers_: Timers = browserTimers,
    ) {}

    push(value: T): void {
        if (this.timer_ === null) {
            this.emit(value);
            this.startInterval();
        } else {
            this.pending_ = { value };
        }
    }

    commit(value: T): void {
        if (this.timer_ !== null) this.timers_.clearTimeout(this.timer_);
        this.timer_ = null;
        this.pending_ = null;
        if (this.last_ === null || !Object.is(this.last_.value, value)) this.emit(value);
        // The next drag starts afresh, sending its first value at once.
        this.last_ = null;
    }

    private emit(value: T): void {
        this.last_ = { value };
        this.send_(value);
    }

    private startInterval(): void {
        this.timer_ = this.timers_.setTimeout(() => {
            this.timer_ = null;
            const pending = this.pending_;
            this.pending_ = null;
            if (pending !== null) {
                this.emit(pending.value);
                this.startInterval();
            }
        }, this.intervalMs_);
    }
}

/** One throttle per key, made on first use. */
export class KeyedThrottle<T> {
    private readonly throttles_ = new Map<string, Throttle<T>>();

    constructor(
        private readonly send_: (key: string, value: T) => void,
        private readonly intervalMs_: number,
        private readonly timers_: Timers = browserTimers,
    ) {}

    push(key: string, value: T): void {
        this.throttle(key).push(value);
    }

    commit(key: string, value: T): void {
        this.throttle(key).commit(value);
    }

    private throttle(key: string): Throttle<T> {
        let throttle = this.throttles_.get(key);
        if (throttle === undefined) {
            throttle = new Throttle((value) => this.send_(key, value), this.intervalMs_, this.timers_);
            this.throttles_.set(key, throttle);
        }
        return throttle;
    }
}
