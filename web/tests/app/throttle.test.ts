import { describe, expect, it } from "vitest";
import { KeyedThrottle, Throttle } from "../../src/app/throttle";
import { ManualTimers } from "../support";

function setup() {
    const timers = new ManualTimers();
    const sent: number[] = [];
    return { timers, sent, throttle: new Throttle<number>((value) => sent.push(value), 50, timers) };
}

describe("a throttle sends a drag's values at a bounded rate", () => {
    it("sends the first value at once, the latest of an interval at its end, and nothing once they stop", () => {
        const { timers, sent, throttle } = setup();
        [1, 2, 3].forEach((value) => throttle.push(value));
        expect(sent).toEqual([1]);
        timers.advance(50);
        throttle.push(4);
        expect(sent).toEqual([1, 3]);
        timers.advance(500);
        expect(sent).toEqual([1, 3, 4]);
        throttle.push(5);
        expect(sent).toEqual([1, 3, 4, 5]);
    });

    it("sends the final value at once, drops the pending one, and never sends the same value twice", () => {
        const { timers, sent, throttle } = setup();
        throttle.push(1);
        throttle.push(2);
        throttle.commit(5);
        timers.advance(100);
        throttle.push(6);
        throttle.commit(6);
        expect(sent).toEqual([1, 5, 6]);
    });

    it("keeps one rate per key", () => {
        const timers = new ManualTimers();
        const sent: [string, number][] = [];
        const keyed = new KeyedThrottle<number>((key, value) => sent.push([key, value]), 50, timers);
        keyed.push("depth", 1);
        keyed.push("wind", 10);
        keyed.push("depth", 2);
        timers.advance(50);
        expect(sent).toEqual([
            ["depth", 1],
            ["wind", 10],
            ["depth", 2],
        ]);
    });
});
