// Tells Orlo's Peerkin where the pointer is, and nothing else: only while
// the program holds its bus name, only when the pointer has moved, and at
// most once every REPORT_SPACING_MS, the last place always included. The
// report goes to that one name; nothing here answers any other program.
const PEERKIN_NAME = 'org.orlo.Peerkin';
const PEERKIN_PATH = '/org/orlo/Peerkin';
const PEERKIN_POINTER = 'org.orlo.Peerkin.Pointer';
const REPORT_SPACING_MS = 50; // under one 70 ms tick of the eyes, and cheap for the program

class PointerReporter {
    enable() {
        this._watch = Gio.bus_watch_name(Gio.BusType.SESSION, PEERKIN_NAME, Gio.BusNameWatcherFlags.NONE,
            () => this._startReporting(), () => this._stopReporting());
    }

    disable() {
        Gio.bus_unwatch_name(this._watch);
        this._watch = 0;
        this._stopReporting();
    }

    _startReporting() {
        if (this._tracker)
            return;
        // GNOME 44 moved the tracker from the display to the backend.
        this._tracker = global.backend.get_cursor_tracker?.() ?? Meta.CursorTracker.get_for_display(global.display);
        this._moved = this._tracker.connect('position-invalidated', () => this._reportSoon());
        this._lastReport = 0;
        this._report();
    }

    _stopReporting() {
        if (!this._tracker)
            return;
        this._tracker.disconnect(this._moved);
        this._tracker = null;
        if (this._pending)
            GLib.source_remove(this._pending);
        this._pending = 0;
    }

    _reportSoon() {
        if (this._pending)
            return;
        const wait = this._lastReport + REPORT_SPACING_MS - GLib.get_monotonic_time() / 1000;
        if (wait <= 0) {
            this._report();
            return;
        }
        this._pending = GLib.timeout_add(GLib.PRIORITY_DEFAULT, Math.ceil(wait), () => {
            this._pending = 0;
            this._report();
            return GLib.SOURCE_REMOVE;
        });
    }

    _report() {
        this._lastReport = GLib.get_monotonic_time() / 1000;
        const [x, y] = global.get_pointer();
        // No callback: the call asks for no answer.
        Gio.DBus.session.call(PEERKIN_NAME, PEERKIN_PATH, PEERKIN_POINTER, 'Moved',
            new GLib.Variant('(ii)', [x, y]), null, Gio.DBusCallFlags.NO_AUTO_START, -1, null, null);
    }
}
