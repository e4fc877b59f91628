#include "platform/linux/x11_clipboard_owner.h"

#include <fcntl.h>
#include <poll.h>
#include <unistd.h>
#include <xcb/xcb.h>

#include <algorithm>
#include <cerrno>
#include <map>
#include <optional>
#include <thread>
#include <utility>

#include "platform/linux/xcb_support.h"

namespace qel {
namespace {

// Pieces of an incremental transfer: small enough for any server, large enough to be quick.
constexpr std::size_t kIncrChunk = 256 * 1024;

struct Atoms {
  xcb_atom_t clipboard, targets, timestamp, multiple, incr, atom, integer;
};

// A transfer too large for one request, sent piece by piece as the requestor deletes each one.
struct IncrTransfer {
  xcb_atom_t type;
  std::shared_ptr<const std::vector<std::uint8_t>> data;
  std::size_t sent;
};

}  // namespace

// Everything of one offer; its thread ends when the clipboard is lost or the offer replaced.
struct X11ClipboardOwner::Server {
  XcbConnection connection;
  xcb_window_t window = 0;
  xcb_timestamp_t taken = 0;
  Atoms atoms{};
  std::vector<ClipboardFormat> formats;
  std::vector<xcb_atom_t> formatAtoms;
  std::map<std::size_t, std::shared_ptr<const std::vector<std::uint8_t>>> made;
  std::map<std::pair<xcb_window_t, xcb_atom_t>, IncrTransfer> transfers;
  std::size_t maxRequestBytes = 0;
  int stopRead = -1, stopWrite = -1;
  std::thread thread;

  ~Server() {
    if (thread.joinable()) {
      const char stop = 0;
      (void)!write(stopWrite, &stop, 1);
      thread.join();
    }
    if (stopRead >= 0) close(stopRead);
    if (stopWrite >= 0) close(stopWrite);
  }

  bool Take();
  void Serve();
  void Answer(const xcb_selection_request_event_t& request);
  std::optional<xcb_atom_t> Convert(xcb_window_t requestor, xcb_atom_t target, xcb_atom_t property);
  void Continue(const xcb_property_notify_event_t& notify);
  std::shared_ptr<const std::vector<std::uint8_t>> Bytes(std::size_t format);
};

bool X11ClipboardOwner::Server::Take() {
  xcb_connection_t* c = connection.get();
  atoms = {InternAtom(c, "CLIPBOARD"),
           InternAtom(c, "TARGETS"),
           InternAtom(c, "TIMESTAMP"),
           InternAtom(c, "MULTIPLE"),
           InternAtom(c, "INCR"),
           XCB_ATOM_ATOM,
           XCB_ATOM_INTEGER};
  for (const ClipboardFormat& format : formats) formatAtoms.push_back(InternAtom(c, format.target));
  // Requests above the server's size limit fail; the limit is counted in four-byte units.
  maxRequestBytes = static_cast<std::size_t>(xcb_get_maximum_request_length(c)) * 4;
  window = MakeWindow(c, XCB_EVENT_MASK_PROPERTY_CHANGE);
  // Taking a selection needs the server's time, not CurrentTime (ICCCM 2.1): a property change
  // tells it.
  const auto time = ServerTime(c, window);
  if (!time) return false;
  taken = *time;
  xcb_set_selection_owner(c, window, atoms.clipboard, taken);
  const XcbReply<xcb_get_selection_owner_reply_t> owner(
      xcb_get_selection_owner_reply(c, xcb_get_selection_owner(c, atoms.clipboard), nullptr));
  return owner && owner->owner == window;
}

std::shared_ptr<const std::vector<std::uint8_t>> X11ClipboardOwner::Server::Bytes(
    std::size_t format) {
  auto& bytes = made[format];
  if (!bytes) bytes = std::make_shared<const std::vector<std::uint8_t>>(formats[format].bytes());
  return bytes;
}

// The property's type when the conversion succeeds.
std::optional<xcb_atom_t> X11ClipboardOwner::Server::Convert(xcb_window_t requestor,
                                                             xcb_atom_t target,
                                                             xcb_atom_t property) {
  xcb_connection_t* c = connection.get();
  if (target == atoms.targets) {
    std::vector<xcb_atom_t> offered{atoms.targets, atoms.timestamp};
    offered.insert(offered.end(), formatAtoms.begin(), formatAtoms.end());
    xcb_change_property(c, XCB_PROP_MODE_REPLACE, requestor, property, atoms.atom, 32,
                        static_cast<std::uint32_t>(offered.size()), offered.data());
    return atoms.atom;
  }
  if (target == atoms.timestamp) {
    xcb_change_property(c, XCB_PROP_MODE_REPLACE, requestor, property, atoms.integer, 32, 1,
                        &taken);
    return atoms.integer;
  }
  const auto found = std::find(formatAtoms.begin(), formatAtoms.end(), target);
  if (found == formatAtoms.end()) return std::nullopt;
  const auto data = Bytes(static_cast<std::size_t>(found - formatAtoms.begin()));
  // The request's header and the property's fields take a few bytes of the limit.
  if (data->size() + 64 <= maxRequestBytes) {
    xcb_change_property(c, XCB_PROP_MODE_REPLACE, requestor, property, target, 8,
                        static_cast<std::uint32_t>(data->size()), data->data());
    return target;
  }
  // Too large for one request: the requestor deletes the property to ask for each next piece.
  const std::uint32_t lowerBound =
      static_cast<std::uint32_t>(std::min<std::size_t>(data->size(), 0xFFFFFFFFu));
  const std::uint32_t watch = XCB_EVENT_MASK_PROPERTY_CHANGE;
  xcb_change_window_attributes(c, requestor, XCB_CW_EVENT_MASK, &watch);
  xcb_change_property(c, XCB_PROP_MODE_REPLACE, requestor, property, atoms.incr, 32, 1,
                      &lowerBound);
  transfers[{requestor, property}] = IncrTransfer{target, data, 0};
  return atoms.incr;
}

void X11ClipboardOwner::Server::Answer(const xcb_selection_request_event_t& request) {
  // Clients older than ICCCM name no property: the target stands for it.
  const xcb_atom_t property = request.property != XCB_NONE ? request.property : request.target;
  // MULTIPLE is refused, as ICCCM allows. A request's time is not checked: toolkits stamp their
  // requests with the latest event they saw, which may predate our claim.
  const bool wanted = request.selection == atoms.clipboard && request.target != atoms.multiple;
  const auto type = wanted ? Convert(request.requestor, request.target, property) : std::nullopt;
  xcb_selection_notify_event_t notify{};
  notify.response_type = XCB_SELECTION_NOTIFY;
  notify.time = request.time;
  notify.requestor = request.requestor;
  notify.selection = request.selection;
  notify.target = request.target;
  notify.property = type ? property : XCB_NONE;
  xcb_send_event(connection.get(), 0, request.requestor, XCB_EVENT_MASK_NO_EVENT,
                 reinterpret_cast<const char*>(&notify));
  xcb_flush(connection.get());
}

void X11ClipboardOwner::Server::Continue(const xcb_property_notify_event_t& notify) {
  if (notify.state != XCB_PROPERTY_DELETE) return;
  const auto found = transfers.find({notify.window, notify.atom});
  if (found == transfers.end()) return;
  IncrTransfer& transfer = found->second;
  const std::size_t piece = std::min(kIncrChunk, transfer.data->size() - transfer.sent);
  // The last, empty piece tells the requestor that the data is complete.
  xcb_change_property(connection.get(), XCB_PROP_MODE_REPLACE, notify.window, notify.atom,
                      transfer.type, 8, static_cast<std::uint32_t>(piece),
                      transfer.data->data() + transfer.sent);
  transfer.sent += piece;
  if (piece == 0) transfers.erase(found);
  xcb_flush(connection.get());
}

void X11ClipboardOwner::Server::Serve() {
  xcb_connection_t* c = connection.get();
  pollfd watched[2] = {{xcb_get_file_descriptor(c), POLLIN, 0}, {stopRead, POLLIN, 0}};
  for (;;) {
    while (const XcbEvent event{xcb_poll_for_event(c)}) {
      switch (event->response_type & 0x7F) {
        case XCB_SELECTION_REQUEST:
          Answer(*reinterpret_cast<const xcb_selection_request_event_t*>(event.get()));
          break;
        case XCB_SELECTION_CLEAR:
          return;  // another client owns the clipboard now
        case XCB_PROPERTY_NOTIFY:
          Continue(*reinterpret_cast<const xcb_property_notify_event_t*>(event.get()));
          break;
        default:
          break;  // errors about requestors that went away meanwhile, and the like
      }
    }
    if (xcb_connection_has_error(c) != 0) return;
    if (poll(watched, 2, -1) < 0 && errno != EINTR) return;
    if (watched[1].revents != 0) return;
  }
}

X11ClipboardOwner::X11ClipboardOwner() = default;
X11ClipboardOwner::~X11ClipboardOwner() = default;

bool X11ClipboardOwner::Offer(std::vector<ClipboardFormat> formats) {
  auto server = std::make_unique<Server>();
  server->connection = Connect();
  if (!server->connection) return false;
  int pipeEnds[2];
  // Not handed on to the programs this one starts.
  if (pipe2(pipeEnds, O_CLOEXEC) != 0) return false;
  server->stopRead = pipeEnds[0];
  server->stopWrite = pipeEnds[1];
  server->formats = std::move(formats);
  // The previous offer serves until this one has the clipboard, so that there is no moment
  // without an owner; losing it ends its thread.
  if (!server->Take()) return false;
  server->thread = std::thread([raw = server.get()] { raw->Serve(); });
  server_ = std::move(server);
  return true;
}

}  // namespace qel
