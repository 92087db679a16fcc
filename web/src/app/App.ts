// One main window in the page: its socket, the app's state, the page's view state, drawing and the keyboard.
import { render } from "lit-html";
import { commands, type CommandContext, type CommandId, shortcutCommand } from "./commands";
import { encodeIntent, type Intent } from "./intents";
import { modalKeyAction } from "./keyboard";
import { documentTitle, rootView, waitingView } from "./RootView";
import { decodeServerMessage, protocolVersion } from "./ServerMessage";
import { StateStore, type StateUpdate } from "./StateStore";
import { KeyedThrottle, type Timers } from "./throttle";
import { initialViewState, type SliderScreen, type ViewContext, type ViewState } from "./ViewContext";
import { LocalControlValues } from "../projects/ControlState";
import { onboardingFadeMs } from "../projects/ProjectWindow";
import { decodeParticleFrame } from "../simulation/ParticleFrame";
import { LatestFrame } from "../simulation/LatestFrame";
import { regionSliderIntent } from "../water/regionSliderIntent";
import { cancelDetectionIntent } from "../water/DetectionStatus";
import { isTextEntry, regionUndoIntent } from "../water/regionUndoKey";
import type { WindowState } from "./WindowState";

/** The part of a WebSocket the window uses; tests hand in a fake one. */
export interface SocketLike {
    readonly readyState: number;
    send(data: string): void;
    addEventListener(type: "open" | "close", listener: () => void): void;
    addEventListener(type: "message", listener: (event: { data: unknown }) => void): void;
}

/** What the window needs of the browser beyond its socket. */
export interface AppEnvironment {
    timers: Timers;
    openNewWindow(): void;
    closeWindow(): void;
}

/** How often a dragged slider tells the app its value, at most. */
export const controlIntervalMs = 50;
/** The longest intent the app takes, in bytes of UTF-8. */
export const maxIntentBytes = 64 * 1024;
/** How long an error from the app stays on screen. */
export const toastDurationMs = 5000;

const socketOpen = 1;

export class App {
    private readonly store_ = new StateStore();
    private view_: ViewState = initialViewState;
    private nextToastId_ = 1;
    private isRendering_ = false;
    private needsRender_ = false;
    private readonly controls_: KeyedThrottle<number>;
    private readonly localValues_ = new LocalControlValues();
    private readonly particleFrames_ = new LatestFrame();

    constructor(
        private readonly container_: HTMLElement,
        private readonly socket_: SocketLike,
        private readonly environment_: AppEnvironment,
    ) {
        this.controls_ = new KeyedThrottle<number>(
            (key, value) => {
                const [screen, id] = JSON.parse(key) as [SliderScreen, string];
                const intent =
                    screen === "region"
                        ? regionSliderIntent(id, value)
                        : ({ intent: "setControl", screen, id, value } as const);
                if (intent !== null) this.send(intent);
            },
            controlIntervalMs,
            environment_.timers,
        );
        socket_.addEventListener("open", () => this.updateView({ connection: "open" }));
        socket_.addEventListener("close", () => this.updateView({ connection: "closed" }));
        socket_.addEventListener("message", (event) => this.receive(event.data));
        this.store_.subscribe(() => this.render());
        if (socket_.readyState === socketOpen) this.view_ = { ...this.view_, connection: "open" };
        this.render();
    }

    get state(): WindowState | null {
        return this.store_.state;
    }

    get view(): ViewState {
        return this.view_;
    }

    send(intent: Intent): void {
        if (this.socket_.readyState !== socketOpen) return;
        const text = encodeIntent(intent);
        // The app closes a window that sends more (a pasted text of that size, say): refused here, it costs
        // only the intent.
        if (new TextEncoder().encode(text).byteLength > maxIntentBytes) {
            this.showToast(`That is too long to send to the app: at most ${maxIntentBytes / 1024} KiB at a time.`);
            return;
        }
        this.socket_.send(text);
    }

    updateView(patch: Partial<ViewState>): void {
        this.view_ = { ...this.view_, ...patch };
        this.render();
    }

    showToast(text: string): void {
        const id = this.nextToastId_++;
        this.updateView({ toasts: [...this.view_.toasts, { id, text }] });
        this.environment_.timers.setTimeout(
            () => this.updateView({ toasts: this.view_.toasts.filter((toast) => toast.id !== id) }),
            toastDurationMs,
        );
    }

    /** A text frame from the app, or a binary one with a particle snapshot. */
    receive(data: unknown): void {
        if (data instanceof ArrayBuffer) {
            this.receiveParticleFrame(data);
            return;
        }
        if (typeof data !== "string") return;
        let message;
        let update: StateUpdate | null = null;
        try {
            message = decodeServerMessage(data);
            if (message.type === "state") update = this.store_.read(message.changes, message.patch);
        } catch (error) {
            console.error("Pelagrin: a message from the app could not be read:", error);
            this.showToast(`A message from the app could not be read: ${(error as Error).message}`);
            return;
        }
        switch (message.type) {
            case "hello":
                if (message.protocol !== protocolVersion) {
                    this.showToast(
                        `The app speaks protocol ${message.protocol}; this page speaks ${protocolVersion}. Reload the page.`,
                    );
                }
                break;
            case "state":
                if (update !== null) this.applyUpdate(update);
                break;
            case "error":
                this.localValues_.forget();
                this.showToast(message.message);
                break;
        }
    }

    /** The latest snapshot replaces the one before; the renderer draws it on its next animation frame. */
    private receiveParticleFrame(data: ArrayBuffer): void {
        try {
            this.particleFrames_.replace(decodeParticleFrame(data));
        } catch (error) {
            // Frames come many times a second: a broken one is logged and skipped, not shown.
            console.error("Pelagrin: a particle frame from the app could not be read:", error);
        }
    }

    /** A key pressed anywhere in the page. */
    handleKey(event: KeyboardEvent): void {
        if (event.isComposing || event.defaultPrevented) return;
        const state = this.state;
        if (this.view_.openMenu !== null && event.key === "Escape") {
            event.preventDefault();
            this.updateView({ openMenu: null });
            return;
        }
        const command = shortcutCommand(event);
        if (command !== null) {
            // The page takes the key even when the command is disabled, so that the browser's own meaning of it
            // (reload, save the page) never runs by surprise.
            event.preventDefault();
            if (command.isEnabled(state)) this.runCommand(command.id);
            return;
        }
        if (state === null) return;
        const undo =
            regionUndoIntent(event, state, this.view_, isTextEntry(event.target)) ??
            cancelDetectionIntent(event, state);
        if (undo !== null) {
            event.preventDefault();
            this.send(undo);
            return;
        }
        const action = modalKeyAction(event.key, state, this.view_);
        if (action === null) return;
        event.preventDefault();
        if (action.kind === "closePreferences") this.updateView({ preferencesOpen: false });
        else if (action.kind === "view") this.updateView(action.patch);
        else this.send(action.intent);
    }

    /**
     * Installs the page-wide listeners: keys, clicks that close menus, the question before leaving. Returns the
     * function that removes them.
     */
    listen(page: Document, browserWindow: Window): () => void {
        const onKey = (event: KeyboardEvent): void => this.handleKey(event);
        const onClick = (): void => this.handleDocumentClick();
        const onBeforeUnload = (event: BeforeUnloadEvent): void => this.handleBeforeUnload(event);
        page.addEventListener("keydown", onKey);
        page.addEventListener("click", onClick);
        browserWindow.addEventListener("beforeunload", onBeforeUnload);
        return () => {
            page.removeEventListener("keydown", onKey);
            page.removeEventListener("click", onClick);
            browserWindow.removeEventListener("beforeunload", onBeforeUnload);
        };
    }

    /** While the project has unsaved changes the browser asks before the page goes. */
    handleBeforeUnload(event: BeforeUnloadEvent): void {
        if (!this.needsLeaveConfirmation) return;
        event.preventDefault();
        // Older browsers ask only when returnValue is set.
        event.returnValue = "";
    }

    /** Clicks outside an open menu close it. */
    handleDocumentClick(): void {
        if (this.view_.openMenu !== null) this.updateView({ openMenu: null });
    }

    /** Whether leaving the page needs the browser's question first. */
    get needsLeaveConfirmation(): boolean {
        return this.state?.root.isDocumentEdited ?? false;
    }

    runCommand(id: CommandId): void {
        commands[id].run(this.commandContext());
    }

    private commandContext(): CommandContext {
        return {
            state: this.state,
            send: (intent) => this.send(intent),
            toggleSidebar: () => this.updateView({ sidebarHidden: !this.view_.sidebarHidden }),
            openPreferences: () => this.updateView({ preferencesOpen: true, openMenu: null }),
            openNewWindow: () => this.environment_.openNewWindow(),
        };
    }

    private applyUpdate(update: StateUpdate): void {
        const { changes } = update;
        const before = this.state;
        // View state that belongs to something the app has just taken away or replaced goes with it.
        const patch: Partial<ViewState> = {};
        if ("fileDialog" in changes && changes.fileDialog?.folder !== before?.fileDialog?.folder) {
            patch.fileDialogSelection = null;
            patch.fileDialogNewFolder = null;
            patch.fileDialogReplacing = null;
        }
        if ("fileDialog" in changes && changes.fileDialog === null) patch.fileDialogName = null;
        if ("createProject" in changes && changes.createProject === null) patch.editingProjectName = false;
        if ("project" in changes && before?.project?.showOnboarding === true && !changes.project?.showOnboarding) {
            patch.onboardingLeaving = true;
            this.environment_.timers.setTimeout(() => this.updateView({ onboardingLeaving: false }), onboardingFadeMs);
        }
        if ("project" in changes && changes.project?.selectedSection !== before?.project?.selectedSection) {
            patch.activeControl = null;
            patch.typedField = null;
        }
        this.view_ = { ...this.view_, ...patch };
        const sheetAppears = before?.createProject == null && changes.createProject != null;
        this.store_.apply(update);
        if (sheetAppears) this.container_.querySelector<HTMLInputElement>(".create-sheet input")?.select();
    }

    private viewContext(state: WindowState): ViewContext {
        return {
            state,
            view: this.view_,
            send: (intent) => this.send(intent),
            changeControl: (screen, id, value, isFinal) => {
                const key = JSON.stringify([screen, id]);
                this.localValues_.give(key, value);
                // A dragged slider shows its value itself; a final value shows in the controls beside it too.
                if (isFinal) {
                    this.controls_.commit(key, value);
                    this.render();
                } else {
                    this.controls_.push(key, value);
                }
            },
            shownValue: (screen, id, appValue) => this.localValues_.shown(JSON.stringify([screen, id]), appValue),
            updateView: (patch) => this.updateView(patch),
            runCommand: (id) => this.runCommand(id),
            commandContext: this.commandContext(),
            particleFrames: this.particleFrames_,
        };
    }

    private render(): void {
        // A focus change while lit updates the page may ask for another render; it runs right after this one.
        if (this.isRendering_) {
            this.needsRender_ = true;
            return;
        }
        this.isRendering_ = true;
        try {
            do {
                this.needsRender_ = false;
                const state = this.state;
                document.title = documentTitle(state?.root ?? null);
                render(
                    state === null
                        ? waitingView(this.view_.connection)
                        : rootView(this.viewContext(state), () => this.environment_.closeWindow()),
                    this.container_,
                );
            } while (this.needsRender_);
        } finally {
            this.isRendering_ = false;
        }
    }
}
