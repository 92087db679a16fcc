// The page's entry: one socket to the app that served it, one App drawing this window.
import "./app/styles.css";
import { App } from "./app/App";

const container = document.getElementById("app");
if (container === null) throw new Error("the page has no #app element");

// The app's token travels as a cookie, so the socket needs nothing but the page's own host.
const socket = new WebSocket(`ws://${location.host}/ws`);
socket.binaryType = "arraybuffer";

const app = new App(container, socket, {
    timers: {
        setTimeout: (callback, delayMs) => window.setTimeout(callback, delayMs),
        clearTimeout: (handle) => window.clearTimeout(handle as number),
    },
    // The query keeps settings of the page, such as the tile sources, for the new window too.
    openNewWindow: () => window.open(`${location.origin}/${location.search}`, "_blank"),
    closeWindow: () => window.close(),
});

app.listen(document, window);
