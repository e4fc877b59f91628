// Prints on one line what a program holds in the X server: its connections, its resources by type
// and the bytes of its pixmaps. The soak script calls it every few seconds while Qel samples; a
// number that keeps rising is a leak.
//
//   qel_x_resources --pid PID        every connection the process has open (Qt's and our own)
//   qel_x_resources --window ID      the one connection that created the window (decimal or 0x..)
//
// Output, keys in a fixed order so the lines can be compared and tabulated:
//   clients=3 windows=4 pixmaps=2 gcs=3 pictures=1 fonts=0 cursors=1 colormaps=0 other=9
//   total=20 pixmap_bytes=8294400
#include <X11/Xlib.h>
#include <X11/extensions/XRes.h>

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <map>
#include <optional>
#include <string>
#include <vector>

namespace {

struct Holdings {
  long clients = 0;
  long windows = 0;
  long pixmaps = 0;
  long gcs = 0;
  long pictures = 0;
  long fonts = 0;
  long cursors = 0;
  long colormaps = 0;
  long other = 0;
  long total = 0;
  unsigned long long pixmapBytes = 0;
};

// A client that goes away between two requests makes the server answer with an error; Xlib's
// default handler would end us without saying which program was being measured.
int lastError = Success;
int RememberError(Display*, XErrorEvent* event) {
  lastError = event->error_code;
  return 0;
}

std::optional<unsigned long> ParseNumber(const char* text) {
  errno = 0;
  char* end = nullptr;
  const unsigned long value = std::strtoul(text, &end, 0);
  if (errno != 0 || end == text || *end != '\0') return std::nullopt;
  return value;
}

// The resource bases of every connection whose process is `pid`. The server knows the process
// only for local connections, which is how Qel talks to its Xvfb.
std::vector<XID> ClientsOfProcess(Display* display, pid_t pid) {
  XResClientIdSpec everyone{None, XRES_CLIENT_ID_PID_MASK};
  long count = 0;
  XResClientIdValue* ids = nullptr;
  std::vector<XID> clients;
  if (XResQueryClientIds(display, 1, &everyone, &count, &ids) != Success) return clients;
  for (long i = 0; i < count; ++i) {
    if (ids[i].spec.mask == XRES_CLIENT_ID_PID_MASK && XResGetClientPid(&ids[i]) == pid) {
      clients.push_back(ids[i].spec.client);
    }
  }
  XResClientIdsDestroy(count, ids);
  return clients;
}

std::optional<XID> ClientOfWindow(Display* display, XID window) {
  int count = 0;
  XResClient* clients = nullptr;
  if (!XResQueryClients(display, &count, &clients)) return std::nullopt;
  std::optional<XID> found;
  for (int i = 0; i < count && !found; ++i) {
    if ((window & ~clients[i].resource_mask) == clients[i].resource_base) {
      found = clients[i].resource_base;
    }
  }
  XFree(clients);
  return found;
}

// Adds one connection's resources; false when the server would not say (it has gone).
bool AddClient(Display* display, XID client, std::map<Atom, std::string>& typeNames,
               Holdings& holdings) {
  int typeCount = 0;
  XResType* types = nullptr;
  unsigned long bytes = 0;
  lastError = Success;
  const bool answered = XResQueryClientResources(display, client, &typeCount, &types) &&
                        XResQueryClientPixmapBytes(display, client, &bytes);
  XSync(display, False);
  if (!answered || lastError != Success) {
    if (types != nullptr) XFree(types);
    return false;
  }
  for (int i = 0; i < typeCount; ++i) {
    auto name = typeNames.find(types[i].resource_type);
    if (name == typeNames.end()) {
      char* text = XGetAtomName(display, types[i].resource_type);
      name = typeNames.emplace(types[i].resource_type, text != nullptr ? text : "").first;
      if (text != nullptr) XFree(text);
    }
    const long count = static_cast<long>(types[i].count);
    const std::string& type = name->second;
    long* slot = type == "WINDOW"     ? &holdings.windows
                 : type == "PIXMAP"   ? &holdings.pixmaps
                 : type == "GC"       ? &holdings.gcs
                 : type == "PICTURE"  ? &holdings.pictures
                 : type == "FONT"     ? &holdings.fonts
                 : type == "CURSOR"   ? &holdings.cursors
                 : type == "COLORMAP" ? &holdings.colormaps
                                      : &holdings.other;
    *slot += count;
    holdings.total += count;
  }
  if (types != nullptr) XFree(types);
  holdings.pixmapBytes += bytes;
  ++holdings.clients;
  return true;
}

int Usage() {
  std::fprintf(stderr, "usage: qel_x_resources --pid PID | --window WINDOW\n");
  return 2;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc != 3) return Usage();
  const std::string mode = argv[1];
  const std::optional<unsigned long> number = ParseNumber(argv[2]);
  if (!number || (mode != "--pid" && mode != "--window")) return Usage();

  Display* display = XOpenDisplay(nullptr);
  if (display == nullptr) {
    std::fprintf(stderr, "qel_x_resources: cannot open the display %s\n",
                 std::getenv("DISPLAY") != nullptr ? std::getenv("DISPLAY") : "(DISPLAY not set)");
    return 2;
  }
  XSetErrorHandler(RememberError);
  int eventBase = 0, errorBase = 0, major = 0, minor = 0;
  // Process ids need version 1.2 of the extension.
  if (!XResQueryExtension(display, &eventBase, &errorBase) ||
      !XResQueryVersion(display, &major, &minor) || major < 1 || (major == 1 && minor < 2)) {
    std::fprintf(stderr, "qel_x_resources: the X server has no X-Resource extension 1.2\n");
    XCloseDisplay(display);
    return 2;
  }

  std::vector<XID> clients;
  if (mode == "--pid") {
    clients = ClientsOfProcess(display, static_cast<pid_t>(*number));
  } else if (const auto client = ClientOfWindow(display, *number)) {
    clients.push_back(*client);
  }
  if (clients.empty()) {
    std::fprintf(stderr, "qel_x_resources: no X connection belongs to %s %lu\n",
                 mode == "--pid" ? "process" : "window", *number);
    XCloseDisplay(display);
    return 1;
  }

  std::map<Atom, std::string> typeNames;
  Holdings holdings;
  for (const XID client : clients) {
    if (!AddClient(display, client, typeNames, holdings)) {
      std::fprintf(stderr, "qel_x_resources: the connection 0x%lx went away while being counted\n",
                   client);
      XCloseDisplay(display);
      return 1;
    }
  }
  XCloseDisplay(display);

  std::printf(
      "clients=%ld windows=%ld pixmaps=%ld gcs=%ld pictures=%ld fonts=%ld cursors=%ld "
      "colormaps=%ld other=%ld total=%ld pixmap_bytes=%llu\n",
      holdings.clients, holdings.windows, holdings.pixmaps, holdings.gcs, holdings.pictures,
      holdings.fonts, holdings.cursors, holdings.colormaps, holdings.other, holdings.total,
      holdings.pixmapBytes);
  return 0;
}
