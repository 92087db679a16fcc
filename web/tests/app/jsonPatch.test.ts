import { describe, expect, it } from "vitest";
import { applyPatch, decodePatchOperation, type PatchOperation } from "../../src/app/jsonPatch";

const document = () => ({ region: { vertices: [1, 2, 3], "a/b": { "~c": 0 } }, controller: { isRunning: false } });

describe("JSON Patch as the app sends it", () => {
    const named = { "~c": 0 };
    it.each<[PatchOperation, unknown]>([
        [
            { op: "add", path: "/region/vertices/-", value: 4 },
            { vertices: [1, 2, 3, 4], "a/b": named },
        ],
        [
            { op: "add", path: "/region/vertices/0", value: 0 },
            { vertices: [0, 1, 2, 3], "a/b": named },
        ],
        [
            { op: "remove", path: "/region/vertices/2" },
            { vertices: [1, 2], "a/b": named },
        ],
        [
            { op: "replace", path: "/region/vertices/1", value: { x: 5 } },
            { vertices: [1, { x: 5 }, 3], "a/b": named },
        ],
        [
            { op: "replace", path: "/region/a~1b/~0c", value: 7 },
            { vertices: [1, 2, 3], "a/b": { "~c": 7 } },
        ],
        [
            { op: "add", path: "/region/name", value: "Lake" },
            { vertices: [1, 2, 3], "a/b": named, name: "Lake" },
        ],
        [{ op: "remove", path: "/region/a~1b" }, { vertices: [1, 2, 3] }],
        [{ op: "replace", path: "/region", value: null }, null],
    ])("%o gives the region %o, leaving what it was given as it was", (operation, region) => {
        const before = document();
        const after = applyPatch(before, [operation]);
        expect(after["region"]).toEqual(region);
        expect(before).toEqual(document());
        expect(after["controller"]).toBe(before.controller);
    });

    it.each<[PatchOperation, string]>([
        [{ op: "remove", path: "/region/vertices/4" }, 'remove /region/vertices/4: no element "4"'],
        [{ op: "add", path: "/region/vertices/5", value: 0 }, 'add /region/vertices/5: no element "5"'],
        [{ op: "replace", path: "/region/vertices/01", value: 0 }, 'replace /region/vertices/01: no element "01"'],
        [{ op: "replace", path: "/region/size", value: 0 }, 'replace /region/size: no member "size"'],
        [{ op: "add", path: "/map/center", value: 0 }, 'add /map/center: nothing to walk into at "map"'],
        [
            { op: "add", path: "/region/vertices/0/x", value: 0 },
            'add /region/vertices/0/x: nothing to walk into at "0"',
        ],
    ])("refuses %o: %s, and nothing it was given changes", (operation, fault) => {
        const before = document();
        expect(() => applyPatch(before, [{ op: "add", path: "/region/vertices/-", value: 9 }, operation])).toThrow(
            fault,
        );
        expect(before).toEqual(document());
    });

    it("reads an operation, naming the field of one that is malformed", () => {
        expect(decodePatchOperation({ op: "remove", path: "/a", value: 1 }, "patch[0]")).toEqual({
            op: "remove",
            path: "/a",
        });
        expect(() => decodePatchOperation({ op: "move", path: "/a" }, "patch[1]")).toThrow(
            'patch[1].op: expected one of add, remove, replace, found "move"',
        );
        expect(() => decodePatchOperation({ op: "add", path: "/a" }, "patch[2]")).toThrow(
            "patch[2].value: expected a value, found nothing",
        );
        expect(() => decodePatchOperation({ op: "add", path: "", value: 1 }, "patch[3]")).toThrow(
            "patch[3].path: expected a pointer below the root",
        );
    });
});
