import { describe, expect, it } from "vitest";
import { decodeServerMessage } from "../../src/app/ServerMessage";
import { StateStore } from "../../src/app/StateStore";
import { parametersScreen, projectChanges, welcomeChanges } from "../support";

const decode = (message: unknown) => decodeServerMessage(JSON.stringify(message));
/** A message as a window takes it in: a state message read into an empty state, whose changes it returns. */
const take = (message: unknown) => {
    const decoded = decode(message);
    return decoded.type === "state" ? new StateStore().read(decoded.changes, decoded.patch).changes : decoded;
};
const state = (changes: Record<string, unknown>) => new StateStore().read(changes);

describe("server messages decode into typed values", () => {
    it("reads hello, error and state, keeping only the keys this page knows", () => {
        const hello = { type: "hello", protocol: 2, window: 3 };
        const error = { type: "error", intent: "setControl", message: 'setControl: "value" must be a number' };
        expect([decode(hello), decode(error)]).toEqual([hello, error]);
        const controller = { isRunning: true, currentTime: 5, totalDuration: 60 };
        expect(take({ type: "state", changes: { controller, map: {} } })).toEqual({ controller });
    });

    it("reads every kind of control, with absent tooltips and arrows as null", () => {
        const { parameters, particles } = state(projectChanges()).changes.project ?? {};
        const [picker] = parameters?.sections[0]?.controls ?? [];
        const [depth, wind] = parameters?.sections[1]?.controls ?? [];
        expect(picker).toMatchObject({ kind: "picker", value: 43200, tooltip: null });
        expect(depth).toMatchObject({ kind: "slider", step: 1, tooltip: "Depth", iconRotation: null });
        expect(wind).toMatchObject({ kind: "slider", step: null, iconRotation: 90 });
        expect(particles?.sections[1]?.controls[0]).toMatchObject({ kind: "stepper", min: 500, max: 20000, step: 500 });
    });

    const badStep = parametersScreen();
    badStep.sections[1]!.controls[0]!["step"] = "1";
    it.each([
        [{ type: "welcome" }, 'message.type: expected one of hello, state, error, found "welcome"'],
        [
            { type: "state", changes: { root: { openHome: "yes", title: "P", isDocumentEdited: false } } },
            "root.openHome: expected a boolean, found a string",
        ],
        [
            { type: "state", changes: projectChanges({ selectedSection: "map" }) },
            "project.selectedSection: expected one of region, parameters, particles, simulation, analysis",
        ],
        [
            { type: "state", changes: projectChanges({ parameters: badStep }) },
            "project.parameters.sections[1].controls[0].step: expected a number, found a string",
        ],
        [
            { type: "state", changes: { ...welcomeChanges(), welcome: { recent: [{ path: "/a.pelagrinproj" }] } } },
            "welcome.recent[0].name: expected a string, found nothing",
        ],
    ])("names the field and the fault of a malformed message (%#)", (message, fault) => {
        expect(() => take(message)).toThrow(fault);
    });

    it("refuses text that is not JSON", () => {
        expect(() => decodeServerMessage("not json")).toThrow(SyntaxError);
    });
});
