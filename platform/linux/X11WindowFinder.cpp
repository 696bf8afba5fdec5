#include "platform/linux/X11WindowFinder.h"

#include <X11/Xatom.h>
#include <X11/Xlib.h>
#include <X11/Xutil.h>
#include <poll.h>
#include <pthread.h>
#include <signal.h>
#include <sys/socket.h>

#include <cerrno>
#include <cstdlib>
#include <ctime>
#include <optional>
#include <vector>

namespace kelvaro::linuxp {

namespace {

// Xlib's error handlers are process-wide. Ours are installed only for the length of
// one of our calls and the previous ones put back, so another Xlib user in the
// process keeps its own; errors of other displays are passed on to it.
Display* g_ownDisplay = nullptr;
XErrorHandler g_previousError = nullptr;
XIOErrorHandler g_previousIoError = nullptr;

int onXError(Display* display, XErrorEvent* event) {
    // A window destroyed between listing it and reading it answers BadWindow: skip it.
    if (display == g_ownDisplay) return 0;
    return g_previousError ? g_previousError(display, event) : 0;
}

int onXIoError(Display* display) {
    if (display == g_ownDisplay) return 0;
    return g_previousIoError ? g_previousIoError(display) : 0;
}

// Called by Xlib after a fatal connection error instead of exit(): the display is
// marked lost and closed before the next lookup.
void onXIoErrorExit(Display*, void* lostFlag) { *static_cast<bool*>(lostFlag) = true; }

class XCallScope {
public:
    explicit XCallScope(Display* display) {
        g_ownDisplay = display;
        g_previousError = XSetErrorHandler(onXError);
        g_previousIoError = XSetIOErrorHandler(onXIoError);
        // Writing to a server that has gone raises SIGPIPE, which would end the
        // program; it is held back here and discarded below.
        sigemptyset(&pipeSet_);
        sigaddset(&pipeSet_, SIGPIPE);
        pthread_sigmask(SIG_BLOCK, &pipeSet_, &oldMask_);
        sigset_t pending;
        sigpending(&pending);
        pipeWasPending_ = sigismember(&pending, SIGPIPE) == 1;
    }
    ~XCallScope() {
        sigset_t pending;
        sigpending(&pending);
        if (!pipeWasPending_ && sigismember(&pending, SIGPIPE) == 1) {
            const timespec now{0, 0};
            sigtimedwait(&pipeSet_, nullptr, &now);
        }
        pthread_sigmask(SIG_SETMASK, &oldMask_, nullptr);
        XSetIOErrorHandler(g_previousIoError);
        XSetErrorHandler(g_previousError);
        g_ownDisplay = nullptr;
    }
    XCallScope(const XCallScope&) = delete;
    XCallScope& operator=(const XCallScope&) = delete;

private:
    sigset_t pipeSet_;
    sigset_t oldMask_;
    bool pipeWasPending_ = false;
};

std::string latin1ToUtf8(const unsigned char* data, unsigned long length) {
    std::string out;
    out.reserve(length);
    for (unsigned long i = 0; i < length; ++i) {
        const unsigned char c = data[i];
        if (c < 0x80) {
            out += static_cast<char>(c);
        } else {
            out += static_cast<char>(0xC0 | (c >> 6));
            out += static_cast<char>(0x80 | (c & 0x3F));
        }
    }
    return out;
}

struct Property {
    Atom type = None;
    std::string bytes;
};

std::optional<Property> readProperty(Display* display, Window window, Atom name, Atom wantedType) {
    Atom type = None;
    int format = 0;
    unsigned long count = 0;
    unsigned long remaining = 0;
    unsigned char* data = nullptr;
    // 64 K units of 32 bits: far beyond any real title.
    const int status = XGetWindowProperty(display, window, name, 0, 0x10000, False, wantedType, &type,
                                          &format, &count, &remaining, &data);
    if (status != Success) return std::nullopt;
    std::optional<Property> result;
    if (type != None && format == 8 && data && (wantedType == AnyPropertyType || type == wantedType))
        result = Property{type, std::string(reinterpret_cast<char*>(data), count)};
    if (data) XFree(data);
    return result;
}

}  // namespace

X11WindowFinder::~X11WindowFinder() { disconnect(); }

void X11WindowFinder::disconnect() {
    if (!display_) return;
    XCallScope scope(display_);
    XCloseDisplay(display_);
    display_ = nullptr;
    displayName_.clear();
    lost_ = false;
}

bool X11WindowFinder::connectionAlive() const {
    const int fd = ConnectionNumber(display_);
    pollfd p{fd, POLLIN, 0};
    if (poll(&p, 1, 0) <= 0) return true;  // nothing waiting: the line is quiet, not broken
    if (p.revents & (POLLERR | POLLHUP | POLLNVAL)) return false;
    char c;
    const ssize_t n = recv(fd, &c, 1, MSG_PEEK | MSG_DONTWAIT);
    if (n == 0) return false;  // the server closed its end
    return n > 0 || errno == EAGAIN || errno == EWOULDBLOCK || errno == EINTR;
}

bool X11WindowFinder::ensureConnection() {
    const char* name = std::getenv("DISPLAY");
    if (!name || !*name) {
        disconnect();
        return false;
    }
    if (display_ && (lost_ || displayName_ != name || !connectionAlive())) disconnect();
    if (display_) return true;

    display_ = XOpenDisplay(name);
    if (!display_) return false;
    displayName_ = name;
    lost_ = false;
    XSetIOErrorExitHandler(display_, onXIoErrorExit, &lost_);
    XCallScope scope(display_);
    netWmName_ = XInternAtom(display_, "_NET_WM_NAME", False);
    utf8String_ = XInternAtom(display_, "UTF8_STRING", False);
    return !lost_;
}

std::optional<std::string> X11WindowFinder::titleOf(unsigned long window) {
    if (auto net = readProperty(display_, window, netWmName_, utf8String_)) return net->bytes;
    auto wm = readProperty(display_, window, XA_WM_NAME, AnyPropertyType);
    if (!wm) return std::nullopt;
    if (wm->type == XA_STRING)
        return latin1ToUtf8(reinterpret_cast<const unsigned char*>(wm->bytes.data()), wm->bytes.size());
    if (wm->type == utf8String_) return wm->bytes;
    // COMPOUND_TEXT and other encodings: let Xlib convert.
    XTextProperty text{reinterpret_cast<unsigned char*>(wm->bytes.data()), wm->type, 8, wm->bytes.size()};
    char** list = nullptr;
    int count = 0;
    std::string out = wm->bytes;
    if (Xutf8TextPropertyToTextList(display_, &text, &list, &count) >= Success && list && count > 0) {
        out.clear();
        for (int i = 0; i < count; ++i) out += list[i];
    }
    if (list) XFreeStringList(list);
    return out;
}

bool X11WindowFinder::existsWithTitle(const std::string& title) {
    if (!ensureConnection()) return false;
    bool found = false;
    {
        XCallScope scope(display_);
        std::vector<Window> pending;
        for (int s = 0; s < ScreenCount(display_); ++s) pending.push_back(RootWindow(display_, s));
        while (!pending.empty() && !found && !lost_) {
            const Window window = pending.back();
            pending.pop_back();
            if (titleOf(window) == std::optional<std::string>(title)) {
                found = true;
                break;
            }
            Window root = 0;
            Window parent = 0;
            Window* children = nullptr;
            unsigned int count = 0;
            if (XQueryTree(display_, window, &root, &parent, &children, &count) && children) {
                pending.insert(pending.end(), children, children + count);
            }
            if (children) XFree(children);
        }
        // Errors of requests still under way arrive while our handler is in place.
        if (!lost_) XSync(display_, False);
    }
    if (lost_) disconnect();
    return found;
}

}  // namespace kelvaro::linuxp
