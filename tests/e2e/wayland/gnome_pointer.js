// Moves the pointer of a headless GNOME Shell through mutter's remote
// desktop interface, as a remote desktop client does: one session for the
// whole run, commands on standard input, one line each, "ok" after each:
//   move DX DY     relative motion in pixels
//   key KEYSYM     a key pressed and released
//   press, release the left button
// The session lives as long as this process keeps its bus connection.
const {Gio, GLib} = imports.gi;

const bus = Gio.DBus.session;

function call(path, iface, method, args, replyType = null) {
    return bus.call_sync('org.gnome.Mutter.RemoteDesktop', path, iface, method, args, replyType,
        Gio.DBusCallFlags.NONE, 5000, null);
}

const [session] = call('/org/gnome/Mutter/RemoteDesktop', 'org.gnome.Mutter.RemoteDesktop', 'CreateSession',
    null, new GLib.VariantType('(o)')).deepUnpack();
const SESSION = 'org.gnome.Mutter.RemoteDesktop.Session';
call(session, SESSION, 'Start', null);

const input = new Gio.DataInputStream({base_stream: new Gio.UnixInputStream({fd: 0})});
const output = new Gio.DataOutputStream({base_stream: new Gio.UnixOutputStream({fd: 1})});
for (;;) {
    const [line] = input.read_line_utf8(null);
    if (line === null)
        break;
    const [command, ...values] = line.trim().split(/\s+/);
    if (command === 'move') {
        call(session, SESSION, 'NotifyPointerMotionRelative',
            new GLib.Variant('(dd)', [Number(values[0]), Number(values[1])]));
    } else if (command === 'press' || command === 'release') {
        call(session, SESSION, 'NotifyPointerButton', new GLib.Variant('(ib)', [0x110, command === 'press']));
    } else if (command === 'key') {
        for (const state of [true, false])
            call(session, SESSION, 'NotifyKeyboardKeysym', new GLib.Variant('(ub)', [Number(values[0]), state]));
    }
    output.put_string('ok\n', null);
}
call(session, SESSION, 'Stop', null);
