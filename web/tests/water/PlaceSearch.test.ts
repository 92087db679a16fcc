import { describe, expect, it } from "vitest";
import "./stubResizeObserver";
import { byText, click, mountApp } from "../support";
import { freshRegion, regionWindow } from "./fixtures";

function submit(container: HTMLElement, label: string, value: string): void {
    const input = container.querySelector<HTMLInputElement>(`input[aria-label="${label}"]`)!;
    input.value = value;
    input.form!.requestSubmit();
}

describe("the place search", () => {
    it("sends a query, a chosen result and a typed point, and shows what the app said", () => {
        const found = {
            isSearching: false,
            results: [
                { name: "Zürichsee, Schweiz", type: "water" },
                { name: "Zürich", type: "city" },
            ],
            message: null,
        };
        const { container, socket } = mountApp(regionWindow(freshRegion()));
        submit(container, "Place", "  ");
        submit(container, "Place", " Zürichsee ");
        socket.receiveState(regionWindow({ ...freshRegion(), placeSearch: { ...found, isSearching: true } }));
        expect(byText<HTMLButtonElement>(container, ".place-search button", "Searching…").disabled).toBe(true);
        socket.receiveState(regionWindow({ ...freshRegion(), placeSearch: found }));
        click(byText(container, ".place-results button", "Zürich city"));
        submit(container, "Latitude, longitude", "47.37 8.54");
        const message = "Enter latitude, longitude in degrees, such as 47.37, 8.54";
        socket.receiveState(regionWindow({ ...freshRegion(), placeSearch: { ...found, results: [], message } }));
        expect(container.querySelector(".place-search [role=status]")?.textContent).toBe(message);
        expect(socket.sent).toEqual([
            { intent: "searchPlace", query: "Zürichsee" },
            { intent: "choosePlace", index: 1 },
            { intent: "goToCoordinate", text: "47.37 8.54" },
        ]);
    });
});
