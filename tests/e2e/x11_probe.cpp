// Questions about an X display that the end-to-end tests ask and that no stock X tool answers:
//
//   x11_probe tray-ready         exits 0 when a notification area has claimed the screen, else 1
//   x11_probe keyboard-grabbed   exits 0 when a program holds the keyboard (an open menu), else 1
//   x11_probe clipboard          prints the clipboard's text; exits 1 when none comes in time
//   x11_probe selection          the same for the primary selection (text selected with the mouse)
//   x11_probe bind-keys TEXT     gives every character of TEXT beyond ASCII a key of its own
//
// The display is the one DISPLAY names.

#include <X11/Xatom.h>
#include <X11/Xlib.h>
#include <poll.h>

#include <chrono>
#include <climits>
#include <iostream>
#include <memory>
#include <optional>
#include <set>
#include <string>
#include <string_view>
#include <vector>

namespace {

using Clock = std::chrono::steady_clock;
constexpr std::chrono::milliseconds kClipboardTimeout{2000};

struct CloseDisplay {
    void operator()(Display* display) const { XCloseDisplay(display); }
};
using DisplayPtr = std::unique_ptr<Display, CloseDisplay>;

// A notification area owns the selection _NET_SYSTEM_TRAY_S<screen> for as long as it runs.
bool TrayReady(Display* display) {
    const std::string selection = "_NET_SYSTEM_TRAY_S" + std::to_string(DefaultScreen(display));
    return XGetSelectionOwner(display, XInternAtom(display, selection.c_str(), False)) != None;
}

// The code points of UTF-8 `text` (which is taken to be well formed).
std::vector<char32_t> CodePoints(std::string_view text) {
    std::vector<char32_t> codePoints;
    for (std::size_t i = 0; i < text.size();) {
        const auto lead = static_cast<unsigned char>(text[i]);
        const std::size_t length = lead < 0x80 ? 1 : lead < 0xE0 ? 2 : lead < 0xF0 ? 3 : 4;
        char32_t codePoint = length == 1 ? lead : lead & (0x7F >> length);
        for (std::size_t j = 1; j < length && i + j < text.size(); ++j)
            codePoint = (codePoint << 6) | (static_cast<unsigned char>(text[i + j]) & 0x3F);
        codePoints.push_back(codePoint);
        i += length;
    }
    return codePoints;
}

// xdotool types a character that no key produces by binding it to a spare key for a moment and
// binding that key to the next such character right after; a program that reads the keyboard's
// layout late then sees the wrong character, or none.  Characters bound here beforehand, each to a
// key of its own, stay put while xdotool types them.
bool BindKeys(Display* display, std::string_view text) {
    int minKeycode = 0;
    int maxKeycode = 0;
    XDisplayKeycodes(display, &minKeycode, &maxKeycode);
    int perKeycode = 0;
    KeySym* const map = XGetKeyboardMapping(display, static_cast<KeyCode>(minKeycode), maxKeycode - minKeycode + 1,
                                            &perKeycode);
    if (map == nullptr) return false;
    const auto isFree = [&](int keycode) {
        for (int level = 0; level < perKeycode; ++level)
            if (map[(keycode - minKeycode) * perKeycode + level] != NoSymbol) return false;
        return true;
    };
    std::set<KeySym> wanted;
    for (const char32_t codePoint : CodePoints(text)) {
        const KeySym keysym = 0x01000000 + codePoint;  // the keysym of a Unicode character
        if (codePoint >= 0x80 && XKeysymToKeycode(display, keysym) == 0) wanted.insert(keysym);
    }
    std::size_t bound = 0;
    int keycode = maxKeycode;
    for (KeySym keysym : wanted) {
        while (keycode >= minKeycode && !isFree(keycode)) --keycode;
        if (keycode < minKeycode) break;
        KeySym levels[] = {keysym, keysym};  // with and without Shift
        XChangeKeyboardMapping(display, keycode--, 2, levels, 1);
        ++bound;
    }
    XSync(display, False);
    XFree(map);
    return bound == wanted.size();
}

// Asking for the keyboard ourselves tells whether another program holds it; when it is free, it is
// given back at once.
bool KeyboardGrabbed(Display* display) {
    const int status =
        XGrabKeyboard(display, DefaultRootWindow(display), False, GrabModeAsync, GrabModeAsync, CurrentTime);
    if (status == GrabSuccess) XUngrabKeyboard(display, CurrentTime);
    XSync(display, False);
    return status == AlreadyGrabbed;
}

// The SelectionNotify event that answers a request made for `requestor`; false when none comes
// by `deadline`.
bool WaitForSelectionNotify(Display* display, Window requestor, Clock::time_point deadline, XEvent& event) {
    for (;;) {
        while (XPending(display) > 0) {
            XNextEvent(display, &event);
            if (event.type == SelectionNotify && event.xselection.requestor == requestor) return true;
        }
        const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(deadline - Clock::now());
        if (left.count() <= 0) return false;
        pollfd connection{ConnectionNumber(display), POLLIN, 0};
        poll(&connection, 1, static_cast<int>(left.count()));
    }
}

// The owner of `selection` writes its text as UTF8_STRING into a property of a window of ours.
std::optional<std::string> SelectionText(Display* display, Atom selection) {
    const Window requestor = XCreateSimpleWindow(display, DefaultRootWindow(display), 0, 0, 1, 1, 0, 0, 0);
    const Atom utf8 = XInternAtom(display, "UTF8_STRING", False);
    const Atom property = XInternAtom(display, "X11_PROBE_CLIPBOARD", False);
    XConvertSelection(display, selection, utf8, property, requestor, CurrentTime);
    XFlush(display);

    XEvent event;
    if (!WaitForSelectionNotify(display, requestor, Clock::now() + kClipboardTimeout, event) ||
        event.xselection.property == None)
        return std::nullopt;
    Atom type = None;
    int format = 0;
    unsigned long length = 0;
    unsigned long remaining = 0;
    unsigned char* data = nullptr;
    const int status = XGetWindowProperty(display, requestor, property, 0, LONG_MAX / 4, True, AnyPropertyType,
                                          &type, &format, &length, &remaining, &data);
    std::optional<std::string> text;
    if (status == Success && type == utf8 && format == 8)
        text = std::string(reinterpret_cast<const char*>(data), length);
    if (data != nullptr) XFree(data);
    return text;
}

}  // namespace

int main(int argc, char** argv) {
    const std::string_view question = argc >= 2 ? argv[1] : "";
    const bool known = argc == 2 ? question == "tray-ready" || question == "keyboard-grabbed" ||
                                       question == "clipboard" || question == "selection"
                                 : argc == 3 && question == "bind-keys";
    if (!known) {
        std::cerr << "usage: x11_probe tray-ready|keyboard-grabbed|clipboard|selection|bind-keys TEXT\n";
        return 2;
    }
    const DisplayPtr display(XOpenDisplay(nullptr));
    if (!display) {
        std::cerr << "x11_probe: cannot open the display\n";
        return 2;
    }
    if (question == "tray-ready") return TrayReady(display.get()) ? 0 : 1;
    if (question == "keyboard-grabbed") return KeyboardGrabbed(display.get()) ? 0 : 1;
    if (question == "bind-keys") return BindKeys(display.get(), argv[2]) ? 0 : 1;
    const Atom selection = question == "clipboard" ? XInternAtom(display.get(), "CLIPBOARD", False) : XA_PRIMARY;
    const std::optional<std::string> text = SelectionText(display.get(), selection);
    if (!text) return 1;
    std::cout << *text;
    return 0;
}
