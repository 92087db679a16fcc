// The in-page menu bar: File, View and Simulation, with the commands' titles, symbols and shortcuts.
import { html, type TemplateResult } from "lit-html";
import { commands, formatShortcut, menus } from "./commands";
import { icon } from "./icons";
import type { ViewContext } from "./ViewContext";

export function menuBar(context: ViewContext): TemplateResult {
    const { view } = context;
    const toggle = (title: string) => (event: MouseEvent) => {
        event.stopPropagation();
        context.updateView({ openMenu: view.openMenu === title ? null : title });
    };
    // With one menu open, pointing at another opens that one, as a desktop menu bar does.
    const hover = (title: string) => () => {
        if (view.openMenu !== null && view.openMenu !== title) context.updateView({ openMenu: title });
    };
    return html`<nav class="menu-bar" aria-label="Menu bar" role="menubar">
        ${menus.map(
            (menu) => html`<div class="menu ${view.openMenu === menu.title ? "open" : ""}">
                <button
                    type="button"
                    class="menu-title"
                    role="menuitem"
                    aria-haspopup="menu"
                    aria-expanded=${view.openMenu === menu.title ? "true" : "false"}
                    @click=${toggle(menu.title)}
                    @mouseenter=${hover(menu.title)}
                >
                    ${menu.title}
                </button>
                ${
                    view.openMenu !== menu.title
                        ? null
                        : html`<div class="menu-items" role="menu" aria-label=${menu.title}>
                          ${menu.items.map((item) => {
                              if (item === "separator")
                                  return html`<div class="menu-separator" role="separator"></div>`;
                              const command = commands[item];
                              const enabled = command.isEnabled(context.state);
                              return html`<button
                                  type="button"
                                  class="menu-item"
                                  role="menuitem"
                                  data-command=${command.id}
                                  ?disabled=${!enabled}
                                  @click=${(event: MouseEvent) => {
                                      event.stopPropagation();
                                      context.updateView({ openMenu: null });
                                      context.runCommand(command.id);
                                  }}
                              >
                                  ${icon(command.symbol, "menu-item-icon")}
                                  <span class="menu-item-title">${command.title}</span>
                                  <span class="menu-item-shortcut"
                                      >${formatShortcut(command.shortcut)}</span
                                  >
                              </button>`;
                          })}
                      </div>`
                }
            </div>`,
        )}
    </nav>`;
}
