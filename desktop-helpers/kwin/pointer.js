// Tells Orlo's Peerkin where the pointer is, and nothing else. Orlo's
// Peerkin loads this script into KWin when it starts and unloads it when it
// ends; KWin calls the program's Moved method on the session bus with the
// pointer's place whenever the pointer moves, and once at the start.
// At most one report per REPORT_SPACING_MS goes out; a timer sends the last
// place of a quick series, so the eyes always come to rest where the
// pointer did.
const REPORT_SPACING_MS = 100; // KWin wants an answer to each call: fewer calls, less work
let lastReport = 0;
let pending = false;
const later = new QTimer();
later.singleShot = true;

function report() {
    lastReport = Date.now();
    pending = false;
    const place = workspace.cursorPos;
    callDBus("org.orlo.Peerkin", "/org/orlo/Peerkin", "org.orlo.Peerkin.Pointer", "Moved", place.x, place.y);
}

function reportSoon() {
    if (pending)
        return;
    const wait = lastReport + REPORT_SPACING_MS - Date.now();
    if (wait <= 0) {
        report();
        return;
    }
    pending = true;
    later.start(Math.min(wait, REPORT_SPACING_MS)); // Date.now() may jump back
}

later.timeout.connect(report);
workspace.cursorPosChanged.connect(reportSoon);
report();
