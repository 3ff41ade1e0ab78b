// The one thing the extension takes from GNOME Shell 45's own modules.
export class Extension {
    constructor(metadata) {
        this.metadata = metadata;
    }
}
