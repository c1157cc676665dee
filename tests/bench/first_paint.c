/* first_paint TITLE COMMAND...: starts COMMAND and prints the milliseconds
   until a mapped window named TITLE is blue a quarter down its middle,
   looking every half millisecond (a look through xdotool and import takes
   tens of them). Then the command's process group goes, and its window.
   Exits 1 when nothing painted within 20 s. */
#define _GNU_SOURCE
#include <X11/Xlib.h>
#include <X11/Xutil.h>
#include <signal.h>
#include <stdio.h>
#include <string.h>
#include <sys/wait.h>
#include <time.h>
#include <unistd.h>

static int ignoreErrors(Display* display, XErrorEvent* error)
{
    (void)display;
    (void)error;
    return 0;
}

static double nowMs(void)
{
    struct timespec now;
    clock_gettime(CLOCK_MONOTONIC, &now);
    return now.tv_sec * 1e3 + now.tv_nsec / 1e6;
}

/* The top-level window so named and mapped, 0 for none. */
static Window findWindow(Display* display, const char* title)
{
    Window root, parent, *children = NULL, found = 0;
    unsigned count = 0;
    if (!XQueryTree(display, DefaultRootWindow(display), &root, &parent, &children, &count))
        return 0;
    for (unsigned k = 0; k < count && !found; k++) {
        char* name = NULL;
        XWindowAttributes attributes;
        if (XFetchName(display, children[k], &name) && name) {
            if (strcmp(name, title) == 0 &&
                XGetWindowAttributes(display, children[k], &attributes) &&
                attributes.map_state == IsViewable)
                found = children[k];
            XFree(name);
        }
    }
    if (children) XFree(children);
    return found;
}

static int isBlue(Display* display, Window window)
{
    XWindowAttributes attributes;
    if (!XGetWindowAttributes(display, window, &attributes)) return 0;
    XImage* image = XGetImage(display, window, attributes.width / 2, attributes.height / 4, 1, 1,
                              AllPlanes, ZPixmap);
    if (!image) return 0;
    unsigned long pixel = XGetPixel(image, 0, 0);
    XDestroyImage(image);
    unsigned red = (pixel >> 16) & 255, green = (pixel >> 8) & 255, blue = pixel & 255;
    return red < 60 && green < 60 && blue > 100;
}

int main(int argc, char** argv)
{
    Display* display = XOpenDisplay(NULL);
    if (!display || argc < 3) return 2;
    XSetErrorHandler(ignoreErrors);
    double start = nowMs(), painted = -1;
    pid_t child = fork();
    if (child == 0) {
        setpgid(0, 0);
        execvp(argv[2], argv + 2);
        _exit(127);
    }
    while (painted < 0 && nowMs() - start < 20000) {
        Window window = findWindow(display, argv[1]);
        if (window && isBlue(display, window)) painted = nowMs() - start;
        usleep(500);
    }
    kill(-child, SIGKILL);
    waitpid(child, NULL, 0);
    for (int k = 0; k < 10000 && findWindow(display, argv[1]); k++) usleep(1000);
    if (painted < 0) return 1;
    printf("%.1f\n", painted);
    return 0;
}
