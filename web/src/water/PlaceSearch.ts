// The place search over the map: a search box with its results, and a "latitude, longitude" entry. Both only
// send intents; the app answers with the results and a view request that moves the map.
import { html, type TemplateResult } from "lit-html";
import type { ViewContext } from "../app/ViewContext";
import type { PlaceSearchState } from "./RegionState";

function submitted(event: Event, field: string): string {
    event.preventDefault();
    const form = event.target as HTMLFormElement;
    return (form.elements.namedItem(field) as HTMLInputElement).value;
}

function results(search: PlaceSearchState, context: ViewContext): TemplateResult | null {
    if (search.results.length === 0) return null;
    return html`<ul class="place-results" aria-label="Places found">
        ${search.results.map(
            (place, index) =>
                html`<li>
                    <button type="button" @click=${() => context.send({ intent: "choosePlace", index })}>
                        <span class="place-name">${place.name}</span> <span class="place-type">${place.type}</span>
                    </button>
                </li>`,
        )}
    </ul>`;
}

/** The search and coordinate forms, their results and their message. */
export function placeSearch(search: PlaceSearchState, context: ViewContext): TemplateResult {
    return html`<div class="place-search">
        <form
            role="search"
            @submit=${(event: Event) => {
                const query = submitted(event, "query").trim();
                if (query !== "") context.send({ intent: "searchPlace", query });
            }}
        >
            <input type="search" name="query" maxlength="200" placeholder="Search for a place" aria-label="Place" />
            <button type="submit" class="button" ?disabled=${search.isSearching}>
                ${search.isSearching ? "Searching…" : "Search"}
            </button>
        </form>
        <form
            @submit=${(event: Event) =>
                context.send({ intent: "goToCoordinate", text: submitted(event, "coordinate") })}
        >
            <input
                type="text"
                name="coordinate"
                maxlength="200"
                placeholder="47.37, 8.54"
                aria-label="Latitude, longitude"
            />
            <button type="submit" class="button">Go</button>
        </form>
        ${search.message === null ? null : html`<p class="place-message" role="status">${search.message}</p>`}
        ${results(search, context)}
    </div>`;
}
