// The intents of the region screen's sliders, which the app takes one per slider rather than as `setControl`.
import type { Intent } from "../app/intents";

/** The intent that sets the region slider `id` to `value`, or `null` for an id the screen does not have. */
export function regionSliderIntent(id: string, value: number): Intent | null {
    switch (id) {
        case "flowDirection":
            return { intent: "setFlowDirection", value };
        case "emissionRadius":
            return { intent: "setEmissionRadius", value };
        default:
            return null;
    }
}
