// A plain native Wayland window (GTK 4, run with GDK_BACKEND=wayland),
// filling the screen so that the pointer is over it wherever it goes.
imports.gi.versions.Gtk = '4.0';
const {Gtk, GLib} = imports.gi;

Gtk.init();
const loop = GLib.MainLoop.new(null, false);
const window = new Gtk.Window({title: 'native-window'});
window.connect('close-request', () => loop.quit());
window.maximize();
window.present();
loop.run();
