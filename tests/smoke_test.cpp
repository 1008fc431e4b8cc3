// Starts the real program in an X window, waits for its main window with the caption,
// checks that the window system shows the caption alone as its title, asks it to close the
// way a window manager does and expects a clean exit.
// Usage: smoke_test /path/to/velmora   (DISPLAY must name a running X server)
#include <X11/Xatom.h>
#include <X11/Xlib.h>
#include <X11/Xutil.h>

#include <chrono>
#include <csignal>
#include <cstdio>
#include <cstring>
#include <string>
#include <sys/wait.h>
#include <thread>
#include <unistd.h>

namespace {

// The caption begins with the program's name; the drawing's file name follows in brackets.
const char *const Caption = "Brandok Velmora 1.0 - [";

std::string WindowName(Display *display, Window window)
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

Window FindWindow(Display *display, Window root, const std::string &caption)
{
    if (WindowName(display, root).rfind(caption, 0) == 0) {
        XWindowAttributes attributes;
        if (XGetWindowAttributes(display, root, &attributes) && attributes.map_state == IsViewable)
            return root;
    }
    Window parent, *children = nullptr;
    unsigned int count = 0;
    Window found = 0;
    if (XQueryTree(display, root, &root, &parent, &children, &count)) {
        for (unsigned int i = 0; i < count && !found; ++i)
            found = FindWindow(display, children[i], caption);
        if (children)
            XFree(children);
    }
    return found;
}

bool WaitForExit(pid_t child, int seconds, int &status)
{
    for (int i = 0; i < seconds * 10; ++i) {
        if (waitpid(child, &status, WNOHANG) == child)
            return true;
        std::this_thread::sleep_for(std::chrono::milliseconds(100));
    }
    return false;
}

int Fail(pid_t child, const char *message)
{
    std::fprintf(stderr, "smoke test failed: %s\n", message);
    if (child > 0) {
        kill(child, SIGKILL);
        waitpid(child, nullptr, 0);
    }
    return 1;
}

} // namespace

int main(int argc, char *argv[])
{
    if (argc < 2)
        return Fail(0, "usage: smoke_test /path/to/velmora");
    Display *display = XOpenDisplay(nullptr);
    if (!display)
        return Fail(0, "no X display");

    const pid_t child = fork();
    if (child == 0) {
        execl(argv[1], argv[1], static_cast<char *>(nullptr));
        _exit(127);
    }

    Window window = 0;
    for (int i = 0; i < 300 && !window; ++i) {
        std::this_thread::sleep_for(std::chrono::milliseconds(100));
        window = FindWindow(display, DefaultRootWindow(display), Caption);
        int status;
        if (!window && waitpid(child, &status, WNOHANG) == child)
            return Fail(0, "the program ended before showing its window");
    }
    if (!window)
        return Fail(child, "no mapped window with the program's caption appeared within 30 s");

    XWindowAttributes attributes;
    XGetWindowAttributes(display, window, &attributes);
    std::printf("main window \"%s\" appeared, %d x %d\n", WindowName(display, window).c_str(), attributes.width,
                attributes.height);
    if (attributes.width < 400 || attributes.height < 300)
        return Fail(child, "the main window is far smaller than it should start");
    // The title the window system shows is the caption alone, nothing appended to it.
    const std::string title = WindowName(display, window);
    if (title.empty() || title.back() != ']')
        return Fail(child, "the window system shows more than the caption as the title");

    // Close it as a window manager would: WM_DELETE_WINDOW through WM_PROTOCOLS.
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

    int status = 0;
    if (!WaitForExit(child, 30, status))
        return Fail(child, "the program did not end within 30 s after being asked to close");
    XCloseDisplay(display);
    if (!WIFEXITED(status) || WEXITSTATUS(status) != 0)
        return Fail(0, "the program did not exit cleanly");
    std::printf("closed cleanly\n");
    return 0;
}
