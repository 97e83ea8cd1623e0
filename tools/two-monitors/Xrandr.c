/* A stand-in libXrandr.so.2 for the two-monitor Wine session: no RandR, so Wine takes the
 * monitor layout from Xinerama (the real Xvfb RandR has one output for the whole screen).
 * A test tool only; built by tools/wine-session into the session's state folder. */
#include <X11/Xlib.h>

Bool XRRQueryExtension(Display *display, int *eventBase, int *errorBase) {
    (void)display;
    (void)eventBase;
    (void)errorBase;
    return False;
}
