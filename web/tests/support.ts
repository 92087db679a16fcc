// Shared by the browser tests: a window state as the app sends it, a fake socket and fake timers.
import { App, type SocketLike } from "../src/app/App";
import type { Timers } from "../src/app/throttle";

/** The first `state` message's `changes` for a fresh window on the welcome content. */
export function welcomeChanges(): Record<string, unknown> {
    return {
        root: { openHome: false, title: "Pelagrin", isDocumentEdited: false },
        welcome: { recent: [] },
        createProject: null,
        fileDialog: null,
        alert: null,
        preferences: { autoOpenLastProject: true },
        project: null,
        controller: { isRunning: false, currentTime: 0, totalDuration: 43200 },
    };
}

type Screen = { sections: { title: string; controls: Record<string, unknown>[] }[] };

export function parametersScreen(): Screen & Record<string, unknown> {
    const duration = [1, 6, 12, 24, 168].map((hours) => ({ label: `${hours} Hours`, value: hours * 3600 }));
    const slider = { kind: "slider", min: 2, max: 50, step: 1 };
    return {
        title: "Physical Parameters",
        subtitle: "Configure fluid dynamics and environmental variables.",
        sections: [
            {
                title: "Experiment Duration",
                controls: [
                    { id: "simulationDuration", kind: "picker", label: "Run For", value: 43200, choices: duration },
                ],
            },
            {
                title: "Environment",
                controls: [
                    { ...slider, id: "waterDepth", label: "Water Depth", value: 10, text: "10.0 m", tooltip: "Depth" },
                    {
                        ...slider,
                        id: "windDirection",
                        label: "Wind",
                        value: 90,
                        text: "90°",
                        step: null,
                        max: 360,
                        iconRotation: 90,
                    },
                ],
            },
        ],
    };
}

function particlesScreen(): Record<string, unknown> {
    const colorMode = ["Uniform", "By Speed", "By Depth"].map((label, value) => ({ label, value }));
    return {
        title: "Particle Settings",
        subtitle: "Define particle characteristics.",
        sections: [
            {
                title: "Density",
                controls: [{ id: "colorMode", kind: "segmented", label: "Color", value: 0, choices: colorMode }],
            },
            {
                title: "Particle Count",
                controls: [
                    { id: "count", kind: "stepper", label: "Count", value: 5000, min: 500, max: 20000, step: 500 },
                ],
            },
        ],
    };
}

/** A loaded project "Lake Study" on the given section. */
export function projectChanges(overrides: Record<string, unknown> = {}): Record<string, unknown> {
    return {
        ...welcomeChanges(),
        root: { openHome: true, title: "Lake Study", isDocumentEdited: false },
        project: {
            isLoaded: true,
            name: "Lake Study",
            selectedSection: "parameters",
            isDirty: false,
            showCloseAlert: false,
            showRestoreAlert: false,
            showOnboarding: false,
            parameters: parametersScreen(),
            particles: particlesScreen(),
            analysis: null,
            simulation: null,
            region: null,
            ...overrides,
        },
    };
}

/** Collects what the page sends; `receive` plays a message from the app. */
export class FakeSocket implements SocketLike {
    readyState = 1;
    readonly sent: unknown[] = [];
    private readonly listeners_: [string, (event: { data: unknown }) => void][] = [];

    send(data: string): void {
        this.sent.push(JSON.parse(data));
    }

    addEventListener(type: string, listener: (event: { data: unknown }) => void): void {
        this.listeners_.push([type, listener]);
    }

    receive(message: unknown): void {
        this.emit("message", JSON.stringify(message));
    }

    receiveBinary(bytes: ArrayBuffer): void {
        this.emit("message", bytes);
    }

    receiveState(changes: Record<string, unknown>): void {
        this.receive({ type: "state", changes });
    }

    close(): void {
        this.readyState = 3;
        this.emit("close", undefined);
    }

    private emit(type: string, data: unknown): void {
        for (const [kind, listener] of this.listeners_) if (kind === type) listener({ data });
    }
}

/** Timers that run only when told to, in the order of their due time. */
export class ManualTimers implements Timers {
    private now_ = 0;
    private next_ = 1;
    private readonly due_ = new Map<number, { at: number; callback: () => void }>();

    setTimeout(callback: () => void, delayMs: number): unknown {
        this.due_.set(this.next_, { at: this.now_ + delayMs, callback });
        return this.next_++;
    }

    clearTimeout(handle: unknown): void {
        this.due_.delete(handle as number);
    }

    /** Moves the clock on, running every timer that falls due on the way, including ones set meanwhile. */
    advance(ms: number): void {
        const end = this.now_ + ms;
        for (;;) {
            const [next] = [...this.due_].filter(([, timer]) => timer.at <= end).sort(([, a], [, b]) => a.at - b.at);
            if (next === undefined) break;
            this.due_.delete(next[0]);
            this.now_ = next[1].at;
            next[1].callback();
        }
        this.now_ = end;
    }
}

let stopListening: () => void = () => {};

/** An App in a fresh container, with the given first state already received. */
export function mountApp(changes: Record<string, unknown> | null) {
    document.body.innerHTML = "";
    const container = document.createElement("div");
    document.body.append(container);
    const socket = new FakeSocket();
    const timers = new ManualTimers();
    const windows = { opened: 0, closed: 0 };
    const app = new App(container, socket, {
        timers,
        openNewWindow: () => void windows.opened++,
        closeWindow: () => void windows.closed++,
    });
    stopListening();
    stopListening = app.listen(document, window);
    if (changes !== null) socket.receiveState(changes);
    return { app, socket, timers, container, windows };
}

/** The element matching `selector` whose text contains `text`; throws when there is none. */
export function byText<E extends Element = HTMLElement>(root: ParentNode, selector: string, text: string): E {
    const found = [...root.querySelectorAll<E>(selector)].find((element) => element.textContent?.includes(text));
    if (found === undefined) throw new Error(`no ${selector} with the text "${text}"`);
    return found;
}

export function click(element: Element, type = "click"): void {
    element.dispatchEvent(new MouseEvent(type, { bubbles: true }));
}

export function press(key: string, modifiers: KeyboardEventInit = {}, target: EventTarget = document): KeyboardEvent {
    const code = /^[a-z]$/i.test(key) ? `Key${key.toUpperCase()}` : key;
    const event = new KeyboardEvent("keydown", { key, code, bubbles: true, cancelable: true, ...modifiers });
    target.dispatchEvent(event);
    return event;
}

/** Sets a field's value and fires `type` on it, as a user's typing or dragging does. */
export function enter(input: HTMLInputElement | HTMLSelectElement, value: string, type = "input"): void {
    input.value = value;
    input.dispatchEvent(new Event(type, { bubbles: true }));
}
