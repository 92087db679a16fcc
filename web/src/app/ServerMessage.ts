// The text messages the app sends a window, decoded from their JSON.
import { DecodeError, number, oneOf, record, string } from "./decode";
import { decodeChanges, type WindowState } from "./WindowState";

/** The protocol this page speaks. */
export const protocolVersion = 1;

export type ServerMessage =
    | { type: "hello"; protocol: number; window: number }
    | { type: "state"; changes: Partial<WindowState> }
    | { type: "error"; intent: string; message: string };

/** Throws DecodeError (or SyntaxError for text that is not JSON) with a message naming the fault. */
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
            return { type, changes: decodeChanges(message["changes"]) };
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
