// The region map's failure banner, which fades out with its text still on it after the app has removed it.
export const regionBannerTag = "pelagrin-region-banner";

export class RegionBannerElement extends HTMLElement {
    private text_: string | null = null;

    /** The app's banner text, or `null` once it is gone. */
    get text(): string | null {
        return this.text_;
    }

    set text(text: string | null) {
        this.text_ = text;
        // The last text stays while the banner fades, so that it fades out as it was, not as an empty box.
        if (text !== null) this.textContent = text;
        this.classList.toggle("shown", text !== null);
        this.setAttribute("aria-hidden", text === null ? "true" : "false");
    }
}

if (customElements.get(regionBannerTag) === undefined) customElements.define(regionBannerTag, RegionBannerElement);
