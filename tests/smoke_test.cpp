// Starts the real program in an X window, waits for its main window with the caption,
// checks that the window system shows the caption alone as its title and the program's
// icon, asks it to close the way a window manager does and expects a clean exit.
// Usage: smoke_test /path/to/velmora   (DISPLAY must name a running X server)
#include "support/x11_window.h"

#include <csignal>
#include <cstdio>
#include <cstring>
#include <string>
#include <sys/wait.h>
#include <unistd.h>

namespace {

using x11::FindWindow;
using x11::WaitForExit;
using x11::WindowName;

// The caption begins with the program's name; the drawing's file name follows in brackets.
const char *const Caption = "Brandok Velmora 1.0 - [";

bool HasIcon(Display *display, Window window)
{
    Atom type;
    int format;
    unsigned long count = 0, after;
    unsigned char *data = nullptr;
    XGetWindowProperty(display, window, XInternAtom(display, "_NET_WM_ICON", False), 0, 1 << 20, False,
                       XA_CARDINAL, &type, &format, &count, &after, &data);
    if (data)
        XFree(data);
    return count > 2;
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

    // The program's icon reaches the window system.
    if (!HasIcon(display, window))
        return Fail(child, "the main window carries no icon");

    // Close it as a window manager would: WM_DELETE_WINDOW through WM_PROTOCOLS.
    x11::AskToClose(display, window);

    int status = 0;
    if (!WaitForExit(child, 30, status))
        return Fail(child, "the program did not end within 30 s after being asked to close");
    XCloseDisplay(display);
    if (!WIFEXITED(status) || WEXITSTATUS(status) != 0)
        return Fail(0, "the program did not exit cleanly");
    std::printf("closed cleanly\n");
    return 0;
}
