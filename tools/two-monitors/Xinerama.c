/* A stand-in libXinerama.so.1 for the two-monitor Wine session: one wide X screen reported as
 * two heads, 1920 x 1080 at 0,0 and 2560 x 1440 at 1920,0. Wine lists one monitor per head.
 * A test tool only; built by tools/wine-session into the session's state folder. */
#include <stdlib.h>
#include <X11/Xlib.h>
#include <X11/extensions/Xinerama.h>

Bool XineramaQueryExtension(Display *display, int *eventBase, int *errorBase) {
    (void)display;
    *eventBase = 0;
    *errorBase = 0;
    return True;
}

Status XineramaQueryVersion(Display *display, int *major, int *minor) {
    (void)display;
    *major = 1;
    *minor = 1;
    return 1;
}

Bool XineramaIsActive(Display *display) {
    (void)display;
    return True;
}

/* Allocated with malloc: the caller frees the array with XFree. */
XineramaScreenInfo *XineramaQueryScreens(Display *display, int *number) {
    static const XineramaScreenInfo heads[2] = {{0, 0, 0, 1920, 1080}, {1, 1920, 0, 2560, 1440}};
    XineramaScreenInfo *copy = malloc(sizeof heads);
    (void)display;
    if (copy == NULL) {
        *number = 0;
        return NULL;
    }
    copy[0] = heads[0];
    copy[1] = heads[1];
    *number = 2;
    return copy;
}
