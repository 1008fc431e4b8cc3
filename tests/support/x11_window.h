// Small helpers for tests that drive the real program in an X server (Xvfb): find its
// windows by title, type keys with the XTEST extension, close a window as a window manager
// does, and wait for the process.
#pragma once

#include <X11/Xatom.h>
#include <X11/Xlib.h>
#include <X11/Xutil.h>
#include <X11/extensions/XTest.h>
#include <X11/keysym.h>

#include <chrono>
#include <cstring>
#include <functional>
#include <string>
#include <sys/wait.h>
#include <thread>

namespace x11 {

inline void Sleep(int ms)
{
    std::this_thread::sleep_for(std::chrono::milliseconds(ms));
}

inline std::string WindowName(Display *display, Window window)
{
    Atom utf8 = XInternAtom(display, "UTF8_STRING", False);
    Atom netName = XInternAtom(display, "_NET_WM_NAME", False);
    Atom type;
    int format;
    unsigned long count, after;
    unsigned char *data = nullptr;
    std::string name;
    if (XGetWindowProperty(display, window, netName, 0, 1024, False, utf8, &type, &format, &count, &after, &data) ==
            Success &&
        data) {
        name.assign(reinterpret_cast<char *>(data), count);
        XFree(data);
    }
    return name;
}

// The first mapped window whose title satisfies `wanted`.
inline Window FindWindow(Display *display, Window root, const std::function<bool(const std::string &)> &wanted)
{
    if (wanted(WindowName(display, root))) {
        XWindowAttributes attributes;
        if (XGetWindowAttributes(display, root, &attributes) && attributes.map_state == IsViewable)
            return root;
    }
    Window parent, *children = nullptr;
    unsigned int count = 0;
    Window found = 0;
    if (XQueryTree(display, root, &root, &parent, &children, &count)) {
        for (unsigned int i = 0; i < count && !found; ++i)
            found = FindWindow(display, children[i], wanted);
        if (children)
            XFree(children);
    }
    return found;
}

inline Window FindWindow(Display *display, Window root, const std::string &caption)
{
    return FindWindow(display, root, [&caption](const std::string &name) { return name.rfind(caption, 0) == 0; });
}

// Waits up to `seconds` for a window whose title satisfies `wanted`; 0 when none came.
inline Window WaitForWindow(Display *display, const std::function<bool(const std::string &)> &wanted, int seconds)
{
    for (int i = 0; i < seconds * 10; ++i) {
        if (Window window = FindWindow(display, DefaultRootWindow(display), wanted))
            return window;
        Sleep(100);
    }
    return 0;
}

inline bool WaitForExit(pid_t child, int seconds, int &status)
{
    for (int i = 0; i < seconds * 10; ++i) {
        if (waitpid(child, &status, WNOHANG) == child)
            return true;
        Sleep(100);
    }
    return false;
}

// Gives the window the keyboard (there is no window manager to do it) and puts the pointer on it.
inline void Focus(Display *display, Window window)
{
    XWindowAttributes attributes;
    XGetWindowAttributes(display, window, &attributes);
    Window child;
    int x = 0, y = 0;
    XTranslateCoordinates(display, window, DefaultRootWindow(display), attributes.width / 2, attributes.height / 2, &x,
                          &y, &child);
    XRaiseWindow(display, window);
    XTestFakeMotionEvent(display, -1, x, y, CurrentTime);
    XSetInputFocus(display, window, RevertToPointerRoot, CurrentTime);
    XSync(display, False);
    Sleep(300);
    // A click, as a person would make, gives the window and the widget under it the keyboard.
    XTestFakeButtonEvent(display, 1, True, CurrentTime);
    XSync(display, False);
    Sleep(50);
    XTestFakeButtonEvent(display, 1, False, CurrentTime);
    XSync(display, False);
    Sleep(1000); // the program takes the focus after a short delay of its own
}

// A real key press and release through the X server, with a modifier held when given.
inline void Key(Display *display, KeySym key, KeySym modifier = NoSymbol)
{
    const KeyCode code = XKeysymToKeycode(display, key);
    const KeyCode held = modifier == NoSymbol ? 0 : XKeysymToKeycode(display, modifier);
    if (held)
        XTestFakeKeyEvent(display, held, True, CurrentTime);
    XTestFakeKeyEvent(display, code, True, CurrentTime);
    XSync(display, False);
    Sleep(50); // held like a finger holds it
    XTestFakeKeyEvent(display, code, False, CurrentTime);
    if (held)
        XTestFakeKeyEvent(display, held, False, CurrentTime);
    XSync(display, False);
    Sleep(100);
}

// WM_DELETE_WINDOW through WM_PROTOCOLS, as a window manager asks a window to close.
inline void AskToClose(Display *display, Window window)
{
    XEvent event;
    std::memset(&event, 0, sizeof event);
    event.xclient.type = ClientMessage;
    event.xclient.window = window;
    event.xclient.message_type = XInternAtom(display, "WM_PROTOCOLS", False);
    event.xclient.format = 32;
    event.xclient.data.l[0] = long(XInternAtom(display, "WM_DELETE_WINDOW", False));
    event.xclient.data.l[1] = CurrentTime;
    XSendEvent(display, window, False, NoEventMask, &event);
    XFlush(display);
}

} // namespace x11
