// Never losing a pupil's work, tried on the real program in an X server (Xvfb) with real key
// presses: a drawing named on the command line is changed, the recovery copy appears, the
// process is killed with SIGKILL; the next start offers the copy, restores it under the
// drawing's own name, Save writes it there byte for byte as the copy held it; Escape and the
// question's close button keep the copy, and "Verwerfen" asks once more. A normal exit after
// "Nein" leaves no copy. A second program opening a drawing that is open already says so and
// opens it read-only or not at all. A damaged drawing on the command line gives the usual
// message and an empty drawing.
// Usage: recovery_x11 /path/to/velmora SAMPLE.vlm DAMAGED.vlm
#include "support/x11_window.h"

#include <cerrno>
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <dirent.h>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <sys/stat.h>
#include <unistd.h>
#include <vector>

namespace {

const std::string Base = "Brandok Velmora 1.0";
std::string Program, DataHome;
Display *display = nullptr;
pid_t running = 0;

int Fail(const std::string &message)
{
    std::fprintf(stderr, "recovery test failed: %s\n", message.c_str());
    if (running > 0) {
        kill(running, SIGKILL);
        waitpid(running, nullptr, 0);
    }
    return 1;
}

std::string Bytes(const std::string &path)
{
    std::ifstream file(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(file), std::istreambuf_iterator<char>()};
}

void WriteBytes(const std::string &path, const std::string &bytes)
{
    std::ofstream(path, std::ios::binary) << bytes;
}

std::string RecoveryFolder()
{
    return DataHome + "/Velmora/recovery";
}

// The files in the recovery folder, optionally only those ending in `suffix`.
std::vector<std::string> RecoveryFiles(const std::string &suffix = "")
{
    std::vector<std::string> names;
    if (DIR *dir = opendir(RecoveryFolder().c_str())) {
        while (dirent *entry = readdir(dir)) {
            const std::string name = entry->d_name;
            if (name != "." && name != ".." && name.size() >= suffix.size() &&
                name.compare(name.size() - suffix.size(), suffix.size(), suffix) == 0)
                names.push_back(name);
        }
        closedir(dir);
    }
    return names;
}

void Start(const std::vector<std::string> &arguments)
{
    running = fork();
    if (running == 0) {
        std::vector<char *> argv{const_cast<char *>(Program.c_str())};
        for (const std::string &argument : arguments)
            argv.push_back(const_cast<char *>(argument.c_str()));
        argv.push_back(nullptr);
        execv(Program.c_str(), argv.data());
        _exit(127);
    }
}

Window WaitForTitle(const std::string &title, int seconds = 30)
{
    return x11::WaitForWindow(display, [&title](const std::string &name) { return name == title; }, seconds);
}

std::string Caption(const std::string &file, bool changed)
{
    return Base + " - [" + file + (changed ? "*]" : "]");
}

// A change as a user makes it: Tab through the window's controls, pressing Page Up (or key) in each,
// until the caption shows the marker (the sheet count went up). Page Up, not Up: an arrow key
// on a push button moves the focus back.
bool ChangeDrawing(Window window, const std::string &file, KeySym key = XK_Prior)
{
    x11::Focus(display, window);
    for (int i = 0; i < 20; ++i) {
        // Keys typed faster than the window moves its focus get lost, as with a person.
        x11::Key(display, XK_Tab);
        x11::Sleep(500);
        x11::Key(display, key);
        x11::Sleep(500);
        if (x11::WindowName(display, window) == Caption(file, true))
            return true;
    }
    return false;
}

bool WaitForCopy()
{
    for (int i = 0; i < 100; ++i) {
        if (!RecoveryFiles(".vlm").empty())
            return true;
        x11::Sleep(100);
    }
    return false;
}

int CloseAndWait(Window window)
{
    x11::AskToClose(display, window);
    int status = 0;
    if (!x11::WaitForExit(running, 30, status))
        return Fail("the program did not end within 30 s after being asked to close");
    running = 0;
    if (!WIFEXITED(status) || WEXITSTATUS(status) != 0)
        return Fail("the program did not exit cleanly");
    return 0;
}

// Starts the program, answers the recovery question with `key` (0: its close button) and,
// when given, the question that follows with `confirm`, then closes the untitled window.
int AnswerAndClose(KeySym key, KeySym confirm = 0)
{
    Start({});
    const Window question = WaitForTitle("Sicherungskopie");
    if (!question)
        return Fail("the start did not offer the recovery copy");
    x11::Focus(display, question);
    if (key)
        x11::Key(display, key);
    else
        x11::AskToClose(display, question);
    if (confirm) {
        const Window again = WaitForTitle("Sicherungskopie verwerfen", 15);
        if (!again)
            return Fail("\"Verwerfen\" of a copy newer than its drawing did not ask once more");
        x11::Focus(display, again);
        x11::Key(display, confirm);
    }
    const Window window = WaitForTitle(Caption("unbenannt.vlm", false), 15);
    if (!window)
        return Fail("after the recovery question the window does not show an empty drawing");
    return CloseAndWait(window);
}

} // namespace

int main(int argc, char *argv[])
{
    if (argc < 4)
        return Fail("usage: recovery_x11 /path/to/velmora SAMPLE.vlm DAMAGED.vlm");
    display = XOpenDisplay(nullptr);
    if (!display)
        return Fail("no X display");
    char scratch[] = "/tmp/velmora-recovery-XXXXXX";
    if (!mkdtemp(scratch))
        return Fail("no scratch folder");
    const std::string home = scratch;
    // The program in a folder of its own that starts in German, whatever the build folder chose.
    mkdir((home + "/program").c_str(), 0755);
    Program = home + "/program/velmora";
    std::filesystem::copy_file(argv[1], Program);
    WriteBytes(home + "/program/options.dat", std::string(4, '\0'));
    DataHome = home + "/data";
    setenv("XDG_DATA_HOME", DataHome.c_str(), 1);
    setenv("XDG_CONFIG_HOME", (home + "/config").c_str(), 1);
    setenv("VELMORA_RECOVERY_SECONDS", "1", 1);
    const std::string drawing = home + "/Aufgabe 7.vlm";
    const std::string original = Bytes(argv[2]);
    WriteBytes(drawing, original);

    // 1. The drawing named on the command line opens; a change; the copy appears.
    Start({drawing});
    Window window = WaitForTitle(Caption(drawing, false));
    if (!window)
        return Fail("the drawing named on the command line did not open (no caption naming it)");
    if (!ChangeDrawing(window, drawing))
        return Fail("Tab and Page Up did not change the drawing");
    if (!WaitForCopy())
        return Fail("no recovery copy appeared within 10 s");
    x11::Sleep(1500); // one more interval: the copy holds the last change
    if (Bytes(drawing) != original)
        return Fail("writing the recovery copy touched the drawing's own file");
    if (x11::WindowName(display, window) != Caption(drawing, true))
        return Fail("writing the recovery copy changed the caption");
    const std::string copy = Bytes(RecoveryFolder() + "/" + RecoveryFiles(".vlm").front());
    std::printf("recovery copy of %zu bytes written; killing the program\n", copy.size());

    // 2. Killed without a chance to clean up.
    kill(running, SIGKILL);
    waitpid(running, nullptr, 0);
    running = 0;
    if (RecoveryFiles(".vlm").size() != 1)
        return Fail("the killed program's copy is not there");

    // 3. The next start asks. Escape and the question's close button decide later: the copy
    // stays for the next start. Return takes the default answer, "Wiederherstellen".
    for (const bool escape : {true, false}) {
        if (int failed = AnswerAndClose(escape ? XK_Escape : 0))
            return failed;
        if (RecoveryFiles(".vlm").size() != 1)
            return Fail(escape ? "Escape on the recovery question deleted the copy"
                               : "closing the recovery question deleted the copy");
    }
    std::printf("Escape and the close button kept the recovery copy\n");
    Start({});
    const Window question = WaitForTitle("Sicherungskopie");
    if (!question)
        return Fail("the next start did not offer the recovery copy");
    x11::Focus(display, question);
    x11::Key(display, XK_Return);
    window = WaitForTitle(Caption(drawing, true), 15);
    if (!window)
        return Fail("after restoring, the caption does not name the drawing as changed");

    // 4. Save (Ctrl+S) writes it to its own file, exactly as the copy held it.
    x11::Focus(display, window);
    x11::Key(display, XK_s, XK_Control_L);
    if (!WaitForTitle(Caption(drawing, false), 15))
        return Fail("Ctrl+S did not save the restored drawing");
    if (Bytes(drawing) != copy)
        return Fail("the saved drawing differs from the recovery copy");
    if (copy == original)
        return Fail("the change did not reach the recovery copy");
    if (!RecoveryFiles(".vlm").empty())
        return Fail("the recovery copy is still there after saving");
    if (int failed = CloseAndWait(window))
        return failed;
    if (!RecoveryFiles().empty())
        return Fail("files are left in the recovery folder after a normal exit");
    std::printf("restored, saved byte for byte (%zu bytes), closed with an empty recovery folder\n", copy.size());

    // 5. A normal exit after "Nein" leaves no copy, and the next start asks nothing.
    Start({});
    window = WaitForTitle(Caption("unbenannt.vlm", false));
    if (!window)
        return Fail("the program did not start with an untitled drawing");
    if (!ChangeDrawing(window, "unbenannt.vlm") || !WaitForCopy())
        return Fail("no recovery copy of the untitled drawing");
    x11::AskToClose(display, window);
    const Window save = WaitForTitle("Speichern", 15);
    if (!save)
        return Fail("closing did not ask about the unsaved changes");
    x11::Focus(display, save);
    x11::Key(display, XK_n); // "&Nein"
    int status = 0;
    if (!x11::WaitForExit(running, 30, status) || !WIFEXITED(status) || WEXITSTATUS(status) != 0)
        return Fail("the program did not end cleanly after \"Nein\"");
    running = 0;
    if (!RecoveryFiles().empty())
        return Fail("\"Nein\" and a normal exit left files in the recovery folder");
    std::printf("a normal exit after \"Nein\" left the recovery folder empty\n");

    // 6. "Verwerfen" of a copy newer than its drawing asks once more: "Nein" keeps it, "Ja"
    // deletes it.
    Start({drawing});
    window = WaitForTitle(Caption(drawing, false));
    // Page Down: the saved drawing has all the sheets Page Up gives.
    if (!window || !ChangeDrawing(window, drawing, XK_Next) || !WaitForCopy())
        return Fail("no recovery copy of the reopened drawing");
    kill(running, SIGKILL);
    waitpid(running, nullptr, 0);
    running = 0;
    for (const KeySym confirm : {XK_n, XK_j}) {
        if (int failed = AnswerAndClose(XK_v, confirm))
            return failed;
        if (RecoveryFiles(".vlm").size() != (confirm == XK_n ? 1u : 0u))
            return Fail(confirm == XK_n ? "\"Verwerfen\" then \"Nein\" deleted the copy"
                                        : "\"Verwerfen\" then \"Ja\" kept the copy");
    }
    std::printf("\"Verwerfen\" asked once more and deleted the copy only after \"Ja\"\n");

    // 7. A drawing open in one program: a second program says so and opens it read-only or
    // not at all; closing the first removes its lock, and an empty lock (a power cut) is
    // taken over without a question.
    const std::string lock = home + "/.Aufgabe 7.vlm.lock";
    Start({drawing});
    window = WaitForTitle(Caption(drawing, false));
    if (!window || access(lock.c_str(), F_OK) != 0)
        return Fail("the open drawing has no lock beside it");
    const pid_t first = running;
    for (const KeySym answer : {XK_n, XK_j}) {
        Start({drawing});
        const Window open = WaitForTitle("Zeichnung bereits geöffnet");
        if (!open)
            return Fail("a second program opening the same drawing did not say it is open");
        x11::Focus(display, open);
        x11::Key(display, answer);
        const Window second = WaitForTitle(answer == XK_n ? Caption("unbenannt.vlm", false) : Caption(drawing, false), 15);
        x11::Sleep(1000);
        if (!second || (answer == XK_j && x11::FindWindow(display, DefaultRootWindow(display), "Zeichnung bereits geöffnet")))
            return Fail("the second program did not go on as answered");
        kill(running, SIGTERM);
        int ended = 0;
        if (!x11::WaitForExit(running, 30, ended)) {
            kill(first, SIGKILL);
            return Fail("the second program did not end");
        }
        if (access(lock.c_str(), F_OK) != 0)
            return Fail("the second program took the first one's lock away");
    }
    running = first;
    if (int failed = CloseAndWait(window))
        return failed;
    if (access(lock.c_str(), F_OK) == 0)
        return Fail("closing the drawing left its lock");
    WriteBytes(lock, "");
    Start({drawing});
    window = WaitForTitle(Caption(drawing, false), 15);
    if (!window || x11::FindWindow(display, DefaultRootWindow(display), "Zeichnung bereits geöffnet"))
        return Fail("an empty lock beside the drawing was not taken over");
    if (int failed = CloseAndWait(window))
        return failed;
    std::printf("a second program was told the drawing is open; locks removed on close, an empty one taken over\n");

    // 8. A damaged drawing on the command line: the usual message, then an empty drawing.
    Start({argv[3]});
    const Window message = WaitForTitle(Base);
    if (!message)
        return Fail("a damaged drawing on the command line gave no message");
    x11::Focus(display, message);
    x11::Key(display, XK_Return);
    window = WaitForTitle(Caption("unbenannt.vlm", false), 15);
    if (!window)
        return Fail("after the message the window does not show an empty drawing");
    if (int failed = CloseAndWait(window))
        return failed;
    std::printf("a damaged drawing on the command line left an empty drawing\n");

    XCloseDisplay(display);
    [[maybe_unused]] const int removed = std::system(("rm -rf '" + home + "'").c_str());
    return 0;
}
