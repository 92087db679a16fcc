// The project window's ensemble, `project.ensemble`: its dialog, progress and result, and its decoder.
import { array, type Decoder, nullable, number, object, string, boolean } from "../app/decode";

/** One setting the dialog offers to vary, with its prefilled range and the range it may take. */
export interface EnsembleParameter {
    name: string;
    low: number;
    high: number;
    min: number;
    max: number;
}

export interface EnsembleDialogState {
    members: number;
    /** Blank: a seed is drawn. */
    seed: string;
    parameters: EnsembleParameter[];
    /** Why the last "Run" was refused, as the command would say it. */
    error: string | null;
}

export interface EnsembleProgress {
    done: number;
    total: number;
    /** Estimated from the members done so far; `null` before the first. */
    secondsLeft: number | null;
}

export interface EnsembleResult {
    /** Members that finished (fewer than `total` after a stop). */
    members: number;
    total: number;
    seed: number;
}

export interface EnsembleState {
    canRun: boolean;
    isRunning: boolean;
    dialog: EnsembleDialogState | null;
    progress: EnsembleProgress | null;
    error: string | null;
    result: EnsembleResult | null;
}

export const decodeEnsemble: Decoder<EnsembleState | null> = nullable(
    object<EnsembleState>({
        canRun: boolean,
        isRunning: boolean,
        dialog: nullable(
            object<EnsembleDialogState>({
                members: number,
                seed: string,
                parameters: array(
                    object<EnsembleParameter>({ name: string, low: number, high: number, min: number, max: number }),
                ),
                error: nullable(string),
            }),
        ),
        progress: nullable(object<EnsembleProgress>({ done: number, total: number, secondsLeft: nullable(number) })),
        error: nullable(string),
        result: nullable(object<EnsembleResult>({ members: number, total: number, seed: number })),
    }),
);
