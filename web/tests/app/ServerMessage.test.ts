import { describe, expect, it } from "vitest";
import { decodeServerMessage } from "../../src/app/ServerMessage";
import { projectChanges, welcomeChanges } from "../support";

const decode = (message: unknown) => decodeServerMessage(JSON.stringify(message));

describe("server messages decode into typed values", () => {
    it("reads hello, state and error", () => {
        expect(decode({ type: "hello", protocol: 1, window: 3 })).toEqual({ type: "hello", protocol: 1, window: 3 });
        expect(decode({ type: "error", intent: "setControl", message: 'setControl: "value" must be a number' })).toEqual(
            { type: "error", intent: "setControl", message: 'setControl: "value" must be a number' },
        );
        const state = decode({ type: "state", changes: welcomeChanges() });
        expect(state.type === "state" && state.changes.root).toEqual({
            openHome: false,
            title: "Pelagrin",
            isDocumentEdited: false,
        });
    });

    it("reads every kind of control, with absent tooltips and arrows as null", () => {
        const message = decode({ type: "state", changes: projectChanges() });
        if (message.type !== "state") throw new Error("not a state message");
        const parameters = message.changes.project?.parameters;
        const [picker] = parameters?.sections[0]?.controls ?? [];
        const [depth, wind] = parameters?.sections[1]?.controls ?? [];
        expect(picker).toMatchObject({ kind: "picker", value: 43200, tooltip: null });
        expect(depth).toMatchObject({ kind: "slider", step: 1, tooltip: "Total depth of the water column.", iconRotation: null });
        expect(wind).toMatchObject({ kind: "slider", step: null, iconRotation: 90 });
        const [count] = message.changes.project?.particles?.sections[1]?.controls ?? [];
        expect(count).toMatchObject({ kind: "stepper", min: 500, max: 20000, step: 500 });
    });

    it("keeps only the keys a state message carries, and leaves out keys this page does not know", () => {
        const message = decode({ type: "state", changes: { controller: { isRunning: true, currentTime: 5, totalDuration: 60 }, map: {} } });
        expect(message).toEqual({ type: "state", changes: { controller: { isRunning: true, currentTime: 5, totalDuration: 60 } } });
    });

    it("names the field and the fault of a malformed message", () => {
        expect(() => decode({ type: "welcome" })).toThrow('message.type: expected one of hello, state, error, found "welcome"');
        expect(() => decode({ type: "state", changes: { root: { openHome: "yes", title: "P", isDocumentEdited: false } } })).toThrow(
            "root.openHome: expected a boolean, found a string",
        );
        expect(() => decode({ type: "state", changes: projectChanges({ selectedSection: "map" }) })).toThrow(
            "project.selectedSection: expected one of region, parameters, particles, simulation, analysis",
        );
        const broken = projectChanges();
        const project = broken["project"] as { parameters: { sections: { controls: Record<string, unknown>[] }[] } };
        project.parameters.sections[1]!.controls[0]!["step"] = "1";
        expect(() => decode({ type: "state", changes: broken })).toThrow(
            "project.parameters.sections[1].controls[0].step: expected a number, found a string",
        );
        expect(() => decode({ type: "state", changes: { welcome: { recent: [{ path: "/a.pelagrinproj" }] } } })).toThrow(
            "welcome.recent[0].name: expected a string, found nothing",
        );
        expect(() => decodeServerMessage("not json")).toThrow(SyntaxError);
    });
});
