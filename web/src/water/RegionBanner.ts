// The region map's detection message, which fades out with its text still on it after the app has removed it,
// and its Dismiss button.
export const regionBannerTag = "pelagrin-region-banner";

export class RegionBannerElement extends HTMLElement {
    private text_: string | null = null;
    private readonly message_ = document.createElement("span");
    private readonly dismiss_ = document.createElement("button");
    /** Called by the Dismiss button. */
    onDismiss: () => void = () => {};

    constructor() {
        super();
        this.message_.className = "region-banner-text";
        this.dismiss_.type = "button";
        this.dismiss_.className = "region-banner-dismiss";
        this.dismiss_.textContent = "×";
        this.dismiss_.setAttribute("aria-label", "Dismiss");
        this.dismiss_.addEventListener("click", () => this.onDismiss());
    }

    connectedCallback(): void {
        if (!this.contains(this.message_)) this.append(this.message_, this.dismiss_);
    }

    /** The app's message, or `null` once it is gone. */
    get text(): string | null {
        return this.text_;
    }

    set text(text: string | null) {
        this.text_ = text;
        // The last text stays while the banner fades, so that it fades out as it was, not as an empty box.
        if (text !== null) this.message_.textContent = text;
        this.dismiss_.disabled = text === null;
        this.classList.toggle("shown", text !== null);
        this.setAttribute("aria-hidden", text === null ? "true" : "false");
    }
}

if (customElements.get(regionBannerTag) === undefined) customElements.define(regionBannerTag, RegionBannerElement);
