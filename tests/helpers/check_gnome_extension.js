// Loads one of the program's GNOME Shell extensions outside the shell, the
// way the shell does (an ES module for 45 and later, the shell's importer
// for 43 and 44), with the shell's pieces replaced by stand-ins that record
// what the extension asks of them, and checks what it reports:
//   gjs -m check_gnome_extension.js EXTENSION_FOLDER module|legacy STUBS.gresource
// Runs within a session bus (dbus-run-session); nothing is sent on it.
import Gio from 'gi://Gio';
import GLib from 'gi://GLib';
import Meta from 'gi://Meta';
import System from 'system';

const [folder, format, stubs] = ARGV;
const calls = [];
const watches = [];
let pointer = [0, 0, 0];
const tracker = {
    handlers: new Map(),
    connect(signal, handler) {
        this.handlers.set(signal, handler);
        return 7;
    },
    disconnect(id) {
        if (id === 7)
            this.handlers.clear();
    },
    move(x, y) {
        pointer = [x, y, 0];
        this.handlers.get('position-invalidated')?.();
    },
};

globalThis.global = {display: {}, backend: {}, get_pointer: () => pointer};
Meta.CursorTracker.get_for_display = () => tracker; // GNOME 43's way to the tracker
if (format === 'module')
    global.backend.get_cursor_tracker = () => tracker; // GNOME 44's and later
Gio.bus_watch_name = (bus, name, flags, appeared, vanished) => watches.push({name, appeared, vanished});
Gio.bus_unwatch_name = () => watches.pop();
Gio.DBusConnection.prototype.call = function (...args) {
    calls.push({name: args[0], path: args[1], iface: args[2], method: args[3], place: args[4].deepUnpack(),
        noReply: args[9] === null});
};

let failures = 0;
function check(truth, what) {
    if (!truth) {
        printerr(`FAIL (${format}): ${what}; calls: ${JSON.stringify(calls)}`);
        failures++;
    }
}

function wait(ms) {
    const loop = GLib.MainLoop.new(null, false);
    GLib.timeout_add(GLib.PRIORITY_DEFAULT, ms, () => loop.quit());
    loop.run();
}

async function load() {
    if (format === 'module') {
        Gio.resources_register(Gio.Resource.load(stubs));
        const {default: ExtensionClass} = await import(`file://${folder}/extension.js`);
        return new ExtensionClass({uuid: 'test'});
    }
    imports.searchPath.unshift(folder);
    return imports.extension.init({uuid: 'test'});
}

const extension = await load();
extension.enable();
check(watches.length === 1 && watches[0].name === 'org.orlo.Peerkin', 'watches the program\'s name alone');
tracker.move(5, 5);
check(calls.length === 0, 'no report while the program is not there');
watches[0].appeared();
check(calls.length === 1 && calls[0].place.join() === '5,5', 'reports the place at once when the program appears');
const first = calls[0];
check(first.name === 'org.orlo.Peerkin' && first.path === '/org/orlo/Peerkin' &&
    first.iface === 'org.orlo.Peerkin.Pointer' && first.method === 'Moved' && first.noReply,
'calls Moved on the program, asking no answer');
tracker.move(100, 200);
tracker.move(300, 400);
check(calls.length === 1, 'moves right after a report wait');
wait(100);
check(calls.length === 2 && calls[1].place.join() === '300,400', 'the last place of quick moves follows');
wait(50);
check(calls.length === 2, 'nothing more while the pointer rests');
watches[0].vanished();
tracker.move(1, 1);
wait(50);
check(calls.length === 2, 'no report once the program has gone');
extension.disable();
check(watches.length === 0, 'disable stops watching');
System.exit(failures ? 1 : 0);
