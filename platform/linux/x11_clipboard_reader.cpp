#include "platform/linux/x11_clipboard_reader.h"

#include <algorithm>

#include "platform/linux/xcb_support.h"

namespace qel {
namespace {

// How long an owner may take to answer one request or to hand on one piece of a large transfer.
constexpr auto kPatience = std::chrono::seconds(3);
// Far above any image's encoding a desktop passes around; an owner that sends more is not trusted.
constexpr std::size_t kMaxBytes = std::size_t{1} << 30;

class Requestor {
 public:
  explicit Requestor(xcb_connection_t* c)
      : c_(c),
        window_(MakeWindow(c, XCB_EVENT_MASK_PROPERTY_CHANGE)),
        clipboard_(InternAtom(c, "CLIPBOARD")),
        property_(InternAtom(c, "QEL_CLIPBOARD")),
        incr_(InternAtom(c, "INCR")) {}
  ~Requestor() {
    xcb_destroy_window(c_, window_);
    xcb_flush(c_);
  }
  Requestor(const Requestor&) = delete;
  Requestor& operator=(const Requestor&) = delete;

  bool HasOwner() {
    const XcbReply<xcb_get_selection_owner_reply_t> owner(
        xcb_get_selection_owner_reply(c_, xcb_get_selection_owner(c_, clipboard_), nullptr));
    return owner && owner->owner != XCB_NONE;
  }

  // The selection converted to `target`, with the type the owner gave it.
  std::optional<std::pair<xcb_atom_t, std::vector<std::uint8_t>>> Convert(xcb_atom_t target) {
    xcb_convert_selection(c_, window_, clipboard_, target, property_, XCB_CURRENT_TIME);
    const XcbEvent answer = WaitForEvent(
        c_,
        [&](const xcb_generic_event_t& e) {
          const auto& notify = reinterpret_cast<const xcb_selection_notify_event_t&>(e);
          return (e.response_type & 0x7F) == XCB_SELECTION_NOTIFY && notify.requestor == window_ &&
                 notify.target == target;
        },
        std::chrono::steady_clock::now() + kPatience);
    if (!answer ||
        reinterpret_cast<const xcb_selection_notify_event_t&>(*answer).property == XCB_NONE) {
      return std::nullopt;
    }
    auto first = Take();
    if (!first || first->first != incr_) return first;
    // Deleting the INCR property (Take did) asks for the first piece; an empty piece ends it.
    std::vector<std::uint8_t> bytes;
    for (;;) {
      const XcbEvent piece = WaitForEvent(
          c_,
          [&](const xcb_generic_event_t& e) {
            const auto& notify = reinterpret_cast<const xcb_property_notify_event_t&>(e);
            return (e.response_type & 0x7F) == XCB_PROPERTY_NOTIFY && notify.window == window_ &&
                   notify.atom == property_ && notify.state == XCB_PROPERTY_NEW_VALUE;
          },
          std::chrono::steady_clock::now() + kPatience);
      if (!piece) return std::nullopt;
      auto next = Take();
      if (!next) return std::nullopt;
      if (next->second.empty()) return std::pair{next->first, std::move(bytes)};
      if (next->second.size() > kMaxBytes - bytes.size()) return std::nullopt;
      bytes.insert(bytes.end(), next->second.begin(), next->second.end());
    }
  }

 private:
  // Reads and deletes the property the owner wrote.
  std::optional<std::pair<xcb_atom_t, std::vector<std::uint8_t>>> Take() {
    const XcbReply<xcb_get_property_reply_t> reply(xcb_get_property_reply(
        c_, xcb_get_property(c_, 1, window_, property_, XCB_GET_PROPERTY_TYPE_ANY, 0, 0x3FFFFFFF),
        nullptr));
    if (!reply || reply->type == XCB_NONE) return std::nullopt;
    const auto* data = static_cast<const std::uint8_t*>(xcb_get_property_value(reply.get()));
    const int length = xcb_get_property_value_length(reply.get());
    return std::pair{reply->type, std::vector<std::uint8_t>(data, data + std::max(length, 0))};
  }

  xcb_connection_t* c_;
  xcb_window_t window_;
  xcb_atom_t clipboard_, property_, incr_;
};

}  // namespace

std::optional<ClipboardData> ReadX11Clipboard(std::span<const std::string> targets) {
  const XcbConnection connection = Connect();
  if (!connection) return std::nullopt;
  xcb_connection_t* c = connection.get();
  Requestor requestor(c);
  if (!requestor.HasOwner()) return std::nullopt;
  std::vector<xcb_atom_t> wanted;
  for (const std::string& target : targets) wanted.push_back(InternAtom(c, target));

  // Asking for what is offered first saves a round trip per format it lacks; an owner that cannot
  // say is asked for each format in turn.
  std::vector<xcb_atom_t> offered = wanted;
  if (const auto list = requestor.Convert(InternAtom(c, "TARGETS"));
      list && list->first == XCB_ATOM_ATOM) {
    offered.assign(list->second.size() / sizeof(xcb_atom_t), XCB_NONE);
    std::copy_n(list->second.begin(), offered.size() * sizeof(xcb_atom_t),
                reinterpret_cast<std::uint8_t*>(offered.data()));
  }
  for (std::size_t i = 0; i < wanted.size(); ++i) {
    if (std::find(offered.begin(), offered.end(), wanted[i]) == offered.end()) continue;
    if (auto data = requestor.Convert(wanted[i])) {
      return ClipboardData{targets[i], std::move(data->second)};
    }
  }
  return std::nullopt;
}

}  // namespace qel
