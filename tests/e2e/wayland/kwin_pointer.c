/* Moves the pointer of a KWin Wayland session through KWin's fake-input
 * protocol, which KWin offers to a client when started with
 * KWIN_WAYLAND_NO_PERMISSION_CHECKS=1. Takes steps from standard input, a
 * word each, and says "ok" on standard output once KWin took each: "X,Y"
 * (a move to an absolute place), "press" or "release" (the left button),
 * or "+MS" (a pause of MS milliseconds). Ends with 0 once its input ends,
 * 2 where KWin offers no fake input. One client for a whole test: a press
 * that comes with a client of its own often never reaches the X11 window
 * under the pointer (KWin's seat seems to offer a pointer only while a
 * fake-input client is there). A test tool: plain C over libwayland-client. */
#include "fake-input-client-protocol.h"

#include <stdio.h>
#include <stdlib.h>
#include <string.h>
#include <time.h>
#include <wayland-client.h>

#define LEFT_BUTTON 0x110 /* BTN_LEFT of linux/input-event-codes.h */

static struct org_kde_kwin_fake_input* fake_input;

static void on_global(void* data, struct wl_registry* registry, uint32_t name, const char* interface,
    uint32_t version)
{
    (void)data;
    if (strcmp(interface, org_kde_kwin_fake_input_interface.name) == 0 && version >= 3)
        fake_input = wl_registry_bind(registry, name, &org_kde_kwin_fake_input_interface, 3);
}

static void on_global_remove(void* data, struct wl_registry* registry, uint32_t name)
{
    (void)data;
    (void)registry;
    (void)name;
}

static const struct wl_registry_listener registry_listener = { on_global, on_global_remove };

static void take(struct wl_display* display, const char* step)
{
    int x = 0;
    int y = 0;
    if (strcmp(step, "press") == 0 || strcmp(step, "release") == 0)
        org_kde_kwin_fake_input_button(fake_input, LEFT_BUTTON, strcmp(step, "press") == 0);
    else if (step[0] == '+') {
        long ms = atol(step + 1);
        struct timespec pause = { ms / 1000, (ms % 1000) * 1000000 };
        nanosleep(&pause, NULL);
    } else if (sscanf(step, "%d,%d", &x, &y) == 2)
        org_kde_kwin_fake_input_pointer_motion_absolute(fake_input, wl_fixed_from_int(x), wl_fixed_from_int(y));
    wl_display_roundtrip(display);
}

int main(void)
{
    struct wl_display* display = wl_display_connect(NULL);
    if (!display) {
        fprintf(stderr, "kwin_pointer runs within a Wayland session\n");
        return 1;
    }
    struct wl_registry* registry = wl_display_get_registry(display);
    wl_registry_add_listener(registry, &registry_listener, NULL);
    wl_display_roundtrip(display);
    if (!fake_input) {
        fprintf(stderr, "the compositor offers no fake input\n");
        return 2;
    }
    org_kde_kwin_fake_input_authenticate(fake_input, "peerkin tests", "moves the pointer for a test");
    char step[64];
    while (scanf("%63s", step) == 1) {
        take(display, step);
        printf("ok\n");
        fflush(stdout);
    }
    org_kde_kwin_fake_input_destroy(fake_input);
    wl_registry_destroy(registry);
    wl_display_disconnect(display);
    return 0;
}
