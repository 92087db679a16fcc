import { describe, expect, it } from "vitest";
import "./stubResizeObserver";
import { byText, mountApp } from "../support";
import { freshRegion, regionWindow } from "./fixtures";

function submit(container: HTMLElement, label: string, value: string): void {
    const input = container.querySelector<HTMLInputElement>(`input[aria-label="${label}"]`)!;
    input.value = value;
    input.form!.requestSubmit();
}

// Choosing a result and going to a typed point are the journeys'; here, what is not sent and what is shown.
describe("the place search", () => {
    it("sends a query trimmed and never a blank one, waits while searching, and shows what the app said", () => {
        const { container, socket } = mountApp(regionWindow(freshRegion()));
        submit(container, "Place", "  ");
        submit(container, "Place", " Zürichsee ");
        const searching = { isSearching: true, results: [], message: null };
        socket.receiveState(regionWindow({ ...freshRegion(), placeSearch: searching }));
        expect(byText<HTMLButtonElement>(container, ".place-search button", "Searching…").disabled).toBe(true);
        const message = "Enter latitude, longitude in degrees, such as 47.37, 8.54";
        socket.receiveState(
            regionWindow({ ...freshRegion(), placeSearch: { ...searching, isSearching: false, message } }),
        );
        expect(container.querySelector(".place-search [role=status]")?.textContent).toBe(message);
        expect(socket.sent).toEqual([{ intent: "searchPlace", query: "Zürichsee" }]);
    });
});
