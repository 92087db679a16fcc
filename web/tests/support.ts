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
        preferences: { autoOpenLastProject: true },
        project: null,
        controller: { isRunning: false, currentTime: 0, totalDuration: 43200 },
    };
}

export function parametersScreen(): Record<string, unknown> {
    return {
        title: "Physical Parameters",
        subtitle: "Configure fluid dynamics and environmental variables.",
        sections: [
            {
                title: "Experiment Duration",
                controls: [
                    {
                        id: "simulationDuration",
                        kind: "picker",
                        label: "Run Simulation For",
                        value: 43200,
                        choices: [
                            { label: "1 Hour", value: 3600 },
                            { label: "6 Hours", value: 21600 },
                            { label: "12 Hours", value: 43200 },
                            { label: "24 Hours", value: 86400 },
                            { label: "1 Week", value: 604800 },
                        ],
                    },
                ],
            },
            {
                title: "Environment",
                controls: [
                    {
                        id: "waterDepth",
                        kind: "slider",
                        label: "Water Depth",
                        value: 10,
                        text: "10.0 m",
                        min: 2,
                        max: 50,
                        step: 1,
                        tooltip: "Total depth of the water column.",
                    },
                    {
                        id: "windDirection",
                        kind: "slider",
                        label: "Wind Direction",
                        value: 90,
                        text: "90°",
                        min: 0,
                        max: 360,
                        step: null,
                        iconRotation: 90,
                    },
                ],
            },
        ],
    };
}

export function particlesScreen(): Record<string, unknown> {
    return {
        title: "Particle Settings",
        subtitle: "Define particle characteristics for the Stokes-based microplastic simulation.",
        sections: [
            {
                title: "Density / Polymer Type",
                controls: [
                    {
                        id: "colorMode",
                        kind: "segmented",
                        label: "Color Mode",
                        value: 0,
                        choices: [
                            { label: "Uniform", value: 0 },
                            { label: "By Speed", value: 1 },
                            { label: "By Depth", value: 2 },
                        ],
                    },
                ],
            },
            {
                title: "Particle Count",
                controls: [
                    { id: "count", kind: "stepper", label: "Count: 5000", value: 5000, min: 500, max: 20000, step: 500 },
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
    private readonly listeners_ = new Map<string, ((event: { data: unknown }) => void)[]>();

    send(data: string): void {
        this.sent.push(JSON.parse(data));
    }

    addEventListener(type: string, listener: (event: { data: unknown }) => void): void {
        this.listeners_.set(type, [...(this.listeners_.get(type) ?? []), listener]);
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
        for (const listener of this.listeners_.get(type) ?? []) listener({ data });
    }
}

/** Timers that run only when told to, in the order of their due time. */
export class ManualTimers implements Timers {
    private now_ = 0;
    private next_ = 1;
    private readonly due_ = new Map<number, { at: number; callback: () => void }>();

    setTimeout(callback: () => void, delayMs: number): unknown {
        const handle = this.next_++;
        this.due_.set(handle, { at: this.now_ + delayMs, callback });
        return handle;
    }

    clearTimeout(handle: unknown): void {
        this.due_.delete(handle as number);
    }

    /** Moves the clock on, running every timer that falls due on the way. */
    advance(ms: number): void {
        const end = this.now_ + ms;
        for (;;) {
            const next = [...this.due_.entries()]
                .filter(([, timer]) => timer.at <= end)
                .sort(([, a], [, b]) => a.at - b.at)[0];
            if (next === undefined) break;
            const [handle, timer] = next;
            this.due_.delete(handle);
            this.now_ = timer.at;
            timer.callback();
        }
        this.now_ = end;
    }
}

export interface Mounted {
    app: App;
    socket: FakeSocket;
    timers: ManualTimers;
    container: HTMLElement;
    windowsOpened: number;
    windowsClosed: number;
}

let stopListening: () => void = () => {};

/** An App in a fresh container, with the given first state already received. */
export function mountApp(changes: Record<string, unknown> | null, options: { isMac?: boolean } = {}): Mounted {
    document.body.innerHTML = "";
    const container = document.createElement("div");
    document.body.append(container);
    const socket = new FakeSocket();
    const timers = new ManualTimers();
    const counts = { windowsOpened: 0, windowsClosed: 0 };
    const app = new App(container, socket, {
        isMac: options.isMac ?? false,
        timers,
        openNewWindow: () => void counts.windowsOpened++,
        closeWindow: () => void counts.windowsClosed++,
    });
    const mounted: Mounted = {
        app,
        socket,
        timers,
        container,
        get windowsOpened() {
            return counts.windowsOpened;
        },
        get windowsClosed() {
            return counts.windowsClosed;
        },
    };
    stopListening();
    stopListening = mounted.app.listen(document, window);
    if (changes !== null) socket.receiveState(changes);
    return mounted;
}

/** The element matching `selector` whose text contains `text`; throws when there is none. */
export function byText<E extends Element = HTMLElement>(root: ParentNode, selector: string, text: string): E {
    const found = [...root.querySelectorAll<E>(selector)].find((element) => element.textContent?.includes(text));
    if (found === undefined) throw new Error(`no ${selector} with the text "${text}"`);
    return found;
}

export function click(element: Element): void {
    element.dispatchEvent(new MouseEvent("click", { bubbles: true }));
}

export function press(key: string, modifiers: Partial<KeyboardEventInit> = {}, target: EventTarget = document): KeyboardEvent {
    const code = /^[a-z]$/i.test(key) ? `Key${key.toUpperCase()}` : key;
    const event = new KeyboardEvent("keydown", { key, code, bubbles: true, cancelable: true, ...modifiers });
    target.dispatchEvent(event);
    return event;
}
