// The text messages the app sends a window, decoded from their JSON.
import { absentOr, array, DecodeError, number, oneOf, record, string } from "./decode";
import { decodePatchOperation, type PatchOperation } from "./jsonPatch";

/** The protocol this page speaks. */
export const protocolVersion = 2;

export type ServerMessage =
    | { type: "hello"; protocol: number; window: number }
    /** Read into the window's state by its StateStore, which decodes what they change. */
    | { type: "state"; changes: Record<string, unknown>; patch: PatchOperation[] }
    | { type: "error"; intent: string; message: string };

/**
 * Throws DecodeError (or SyntaxError for text that is not JSON) with a message naming the fault. A state
 * message's values are left as they came: their shape is known only once its patch has been applied.
 */
export function decodeServerMessage(text: string): ServerMessage {
    const message = record(JSON.parse(text) as unknown, "message");
    const type = oneOf(["hello", "state", "error"])(message["type"], "message.type");
    switch (type) {
        case "hello":
            return {
                type,
                protocol: number(message["protocol"], "hello.protocol"),
                window: number(message["window"], "hello.window"),
            };
        case "state":
            return {
                type,
                changes: record(message["changes"], "changes"),
                patch: absentOr(array(decodePatchOperation))(message["patch"], "patch") ?? [],
            };
        case "error":
            return {
                type,
                // An error about a frame that was no intent at all may not name one.
                intent: message["intent"] === undefined ? "" : string(message["intent"], "error.intent"),
                message: string(message["message"], "error.message"),
            };
    }
}

export { DecodeError };
