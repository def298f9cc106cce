/*
 * An X drag source for the drop tests: drops files on the window under a
 * point of the X screen as a Linux file manager does, speaking XDND version 5
 * and offering the names as text/uri-list.
 *
 *   quelmora_xdnd_drop REPORT X Y FILE...
 *
 * FILE is a Linux path; it goes into the list as a percent-encoded file://
 * URI. At the end, one line goes to the file REPORT: "dropped" when the target
 * took the drop and said it had finished, else what went wrong. (A Windows
 * process that starts this program cannot wait for it or read its exit status
 * under Wine, so it waits for the report instead.) The exit status is 0 for
 * "dropped", 1 for anything else.
 */
#include <X11/Xatom.h>
#include <X11/Xlib.h>

#include <stdio.h>
#include <stdlib.h>
#include <string.h>
#include <sys/select.h>
#include <sys/time.h>

/* Within the time the tests wait for the report. */
enum { kVersion = 5, kPositions = 3, kTimeLimitMs = 8000 };

static Display* display;
static Window source;
static Atom xdndAware, xdndSelection, xdndEnter, xdndPosition, xdndStatus, xdndDrop, xdndFinished, xdndLeave,
    xdndActionCopy, uriList, targets;
static char* uris;
static const char* report;

static long long NowMs(void)
{
    struct timeval now;
    gettimeofday(&now, NULL);
    return (long long)now.tv_sec * 1000 + now.tv_usec / 1000;
}

/* Appends `path` to the list as a file:// URI: bytes other than unreserved
 * ones and '/' are percent-encoded, as RFC 3986 asks. */
static void AppendUri(const char* path)
{
    static const char unreserved[] = "-._~/";
    size_t used = uris ? strlen(uris) : 0;
    uris = realloc(uris, used + strlen("file://") + 3 * strlen(path) + 3);
    char* out = uris + used;
    out += sprintf(out, "file://");
    for (const unsigned char* in = (const unsigned char*)path; *in; ++in) {
        if ((*in >= 'a' && *in <= 'z') || (*in >= 'A' && *in <= 'Z') || (*in >= '0' && *in <= '9') ||
            (*in && strchr(unreserved, *in))) {
            *out++ = (char)*in;
        } else {
            out += sprintf(out, "%%%02X", *in);
        }
    }
    strcpy(out, "\r\n");
}

/* The outermost window under root point (x, y) that says it takes XDND, and
 * the version it speaks. */
static Window FindTarget(int x, int y, long* version)
{
    Window root = DefaultRootWindow(display);
    Window window = root;
    for (;;) {
        Atom type;
        int format;
        unsigned long count, after;
        unsigned char* data = NULL;
        if (window != root &&
            XGetWindowProperty(display, window, xdndAware, 0, 1, False, XA_ATOM, &type, &format, &count, &after,
                               &data) == Success &&
            type == XA_ATOM && count == 1) {
            *version = *(long*)data;
            XFree(data);
            return window;
        }
        if (data) {
            XFree(data);
        }
        int childX, childY;
        Window child = None;
        if (!XTranslateCoordinates(display, root, window, x, y, &childX, &childY, &child) || child == None) {
            return None;
        }
        window = child;
    }
}

static void SendClientMessage(Window target, Atom type, long l1, long l2, long l3, long l4)
{
    XEvent event;
    memset(&event, 0, sizeof event);
    event.xclient.type = ClientMessage;
    event.xclient.display = display;
    event.xclient.window = target;
    event.xclient.message_type = type;
    event.xclient.format = 32;
    event.xclient.data.l[0] = (long)source;
    event.xclient.data.l[1] = l1;
    event.xclient.data.l[2] = l2;
    event.xclient.data.l[3] = l3;
    event.xclient.data.l[4] = l4;
    XSendEvent(display, target, False, NoEventMask, &event);
    XFlush(display);
}

/* Gives the list to whoever asks for it while the drag lasts. */
static void AnswerSelectionRequest(const XSelectionRequestEvent* request)
{
    XEvent reply;
    memset(&reply, 0, sizeof reply);
    reply.xselection.type = SelectionNotify;
    reply.xselection.display = display;
    reply.xselection.requestor = request->requestor;
    reply.xselection.selection = request->selection;
    reply.xselection.target = request->target;
    reply.xselection.time = request->time;
    reply.xselection.property = None;
    const Atom property = request->property != None ? request->property : request->target;
    if (request->selection == xdndSelection && request->target == uriList) {
        XChangeProperty(display, request->requestor, property, uriList, 8, PropModeReplace,
                        (const unsigned char*)uris, (int)strlen(uris));
        reply.xselection.property = property;
    } else if (request->selection == xdndSelection && request->target == targets) {
        const Atom offered[] = {targets, uriList};
        XChangeProperty(display, request->requestor, property, XA_ATOM, 32, PropModeReplace,
                        (const unsigned char*)offered, 2);
        reply.xselection.property = property;
    }
    XSendEvent(display, request->requestor, False, NoEventMask, &reply);
    XFlush(display);
}

/* Serves selection requests until a client message of `type` comes from
 * `target`, or the time limit is reached (then false). */
static int WaitFor(Window target, Atom type, long long deadline, XClientMessageEvent* found)
{
    const int connection = ConnectionNumber(display);
    for (;;) {
        while (XPending(display)) {
            XEvent event;
            XNextEvent(display, &event);
            if (event.type == SelectionRequest) {
                AnswerSelectionRequest(&event.xselectionrequest);
            } else if (event.type == ClientMessage && event.xclient.message_type == type &&
                       (Window)event.xclient.data.l[0] == target) {
                *found = event.xclient;
                return 1;
            }
        }
        const long long left = deadline - NowMs();
        if (left <= 0) {
            return 0;
        }
        fd_set readable;
        FD_ZERO(&readable);
        FD_SET(connection, &readable);
        struct timeval wait = {(time_t)(left / 1000), (suseconds_t)(left % 1000 * 1000)};
        select(connection + 1, &readable, NULL, NULL, &wait);
    }
}

/* Says how the drop ended, on standard error and in the report, which
 * appears whole or not at all. */
static int Finish(const char* outcome)
{
    fprintf(stderr, "%s\n", outcome);
    char part[4096];
    snprintf(part, sizeof part, "%s.part", report);
    FILE* file = fopen(part, "w");
    if (file) {
        fprintf(file, "%s\n", outcome);
        fclose(file);
        rename(part, report);
    }
    return strcmp(outcome, "dropped") == 0 ? 0 : 1;
}

int main(int argc, char** argv)
{
    if (argc < 5) {
        fprintf(stderr, "usage: %s REPORT X Y FILE...\n", argv[0]);
        return 1;
    }
    report = argv[1];
    const int x = atoi(argv[2]);
    const int y = atoi(argv[3]);
    for (int i = 4; i < argc; ++i) {
        AppendUri(argv[i]);
    }
    display = XOpenDisplay(NULL);
    if (!display) {
        return Finish("cannot open the display");
    }
    xdndAware = XInternAtom(display, "XdndAware", False);
    xdndSelection = XInternAtom(display, "XdndSelection", False);
    xdndEnter = XInternAtom(display, "XdndEnter", False);
    xdndPosition = XInternAtom(display, "XdndPosition", False);
    xdndStatus = XInternAtom(display, "XdndStatus", False);
    xdndDrop = XInternAtom(display, "XdndDrop", False);
    xdndFinished = XInternAtom(display, "XdndFinished", False);
    xdndLeave = XInternAtom(display, "XdndLeave", False);
    xdndActionCopy = XInternAtom(display, "XdndActionCopy", False);
    uriList = XInternAtom(display, "text/uri-list", False);
    targets = XInternAtom(display, "TARGETS", False);

    long version = 0;
    const Window target = FindTarget(x, y, &version);
    if (target == None) {
        return Finish("no XDND-aware window under the point");
    }
    if (version > kVersion) {
        version = kVersion;
    }
    /* The source window is never shown: it owns the selection and receives the target's answers. */
    source = XCreateSimpleWindow(display, DefaultRootWindow(display), 0, 0, 1, 1, 0, 0, 0);
    XSetSelectionOwner(display, xdndSelection, source, CurrentTime);
    if (XGetSelectionOwner(display, xdndSelection) != source) {
        return Finish("cannot own the XDND selection");
    }
    const long long deadline = NowMs() + kTimeLimitMs;
    XClientMessageEvent answer;
    SendClientMessage(target, xdndEnter, version << 24, (long)uriList, None, None);
    /* A hand that drags moves over the window before it lets go: the target
     * hears where the drag is more than once, each time after its answer to
     * the last, and may decide only on a later one. */
    for (int position = 0; position < kPositions; ++position) {
        SendClientMessage(target, xdndPosition, 0, (long)x << 16 | (y & 0xFFFF), CurrentTime, (long)xdndActionCopy);
        if (!WaitFor(target, xdndStatus, deadline, &answer)) {
            return Finish("no XdndStatus in time");
        }
    }
    if (!(answer.data.l[1] & 1)) {
        SendClientMessage(target, xdndLeave, 0, 0, 0, 0);
        return Finish("the target refused the drop");
    }
    SendClientMessage(target, xdndDrop, 0, CurrentTime, 0, 0);
    if (!WaitFor(target, xdndFinished, deadline, &answer)) {
        return Finish("no XdndFinished in time");
    }
    /* Version 5 says in the answer whether the drop was taken. */
    if (version >= 5 && !(answer.data.l[1] & 1)) {
        return Finish("the target did not take the drop");
    }
    XDestroyWindow(display, source);
    XCloseDisplay(display);
    free(uris);
    return Finish("dropped");
}
