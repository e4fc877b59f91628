#include "platform/linux/qt_image_services.h"

#include <QBuffer>
#include <QClipboard>
#include <QGuiApplication>
#include <QImage>
#include <QMimeData>
#include <QThread>
#include <cstring>
#include <limits>
#include <memory>
#include <string>

#include "platform/linux/gbk.h"
#include "platform/linux/qt_text_renderer.h"
#include "platform/linux/qt_x11_connection.h"
#include "platform/linux/x11_clipboard_owner.h"
#include "platform/linux/x11_clipboard_reader.h"
#include "platform/linux/xcb_support.h"

namespace qel {
namespace {

// What other programs offer images as, most faithful first; PNG keeps alpha.
const std::string kImageTargets[] = {"image/png",  "image/bmp",  "image/x-bmp", "image/x-MS-bmp",
                                     "image/tiff", "image/jpeg", "image/gif"};

QImage ToQImage(const ArgbImage& image) {
  QImage out(image.width, image.height, QImage::Format_ARGB32);
  if (out.isNull()) return out;
  for (int y = 0; y < image.height; ++y) {
    std::memcpy(out.scanLine(y), image.pixels.data() + static_cast<std::ptrdiff_t>(y) * image.width,
                static_cast<std::size_t>(image.width) * 4);
  }
  return out;
}

std::optional<ArgbImage> FromQImage(const QImage& image) {
  if (image.isNull()) return std::nullopt;
  // ARGB32 holds 0xAARRGGBB in native order with straight alpha, as ArgbImage does.
  const QImage argb = image.convertToFormat(QImage::Format_ARGB32);
  ArgbImage out{argb.width(), argb.height(), {}};
  out.pixels.resize(static_cast<std::size_t>(argb.width()) * argb.height());
  for (int y = 0; y < argb.height(); ++y) {
    std::memcpy(out.pixels.data() + static_cast<std::ptrdiff_t>(y) * argb.width(),
                argb.constScanLine(y), static_cast<std::size_t>(argb.width()) * 4);
  }
  return out;
}

std::vector<std::uint8_t> Encode(const QImage& image, const char* format) {
  QByteArray bytes;
  QBuffer buffer(&bytes);
  buffer.open(QIODevice::WriteOnly);
  image.save(&buffer, format);
  return {bytes.begin(), bytes.end()};
}

// Qt's clipboard serves only while Qt's event loop runs on its own thread; any other caller gets
// ours.
QClipboard* QtClipboard() {
  auto* application = qobject_cast<QGuiApplication*>(QCoreApplication::instance());
  if (application == nullptr || QThread::currentThread() != application->thread() ||
      QGuiApplication::platformName() != QLatin1String("xcb")) {
    return nullptr;
  }
  return QGuiApplication::clipboard();
}

// Whether a window of Qt's own connection owns the clipboard: the ids of one client's windows
// share that client's resource base.
bool QtOwnsClipboard() {
  xcb_connection_t* qt = QtConnection();
  if (qt == nullptr) return false;
  const xcb_atom_t clipboard = InternAtom(qt, "CLIPBOARD");
  const XcbReply<xcb_get_selection_owner_reply_t> owner(
      xcb_get_selection_owner_reply(qt, xcb_get_selection_owner(qt, clipboard), nullptr));
  const xcb_setup_t* setup = xcb_get_setup(qt);
  return owner && owner->owner != XCB_NONE &&
         (owner->owner & ~setup->resource_id_mask) == setup->resource_id_base;
}

// The process's own offer: it outlives any one services object, as a copied image outlives the
// program's objects on every desktop, and it goes with the process.
X11ClipboardOwner& OwnOffer() {
  static X11ClipboardOwner owner;
  return owner;
}

}  // namespace

bool QtImageServices::SetClipboardImage(const ArgbImage& image) {
  if (image.width <= 0 || image.height <= 0 ||
      image.pixels.size() != static_cast<std::size_t>(image.width) * image.height) {
    return false;
  }
  const QImage qimage = ToQImage(image);
  if (qimage.isNull()) return false;  // more than the memory there is
  if (QClipboard* clipboard = QtClipboard()) {
    clipboard->setImage(qimage);
    // Qt claims the clipboard with the time of the latest event it handled, and the server keeps
    // any later claim of another program; our own offer, made with the server's time, stands in.
    if (QtOwnsClipboard()) return true;
  }
  // Encoded at the first request for each format, on the serving thread.
  return OwnOffer().Offer({{"image/png", [qimage] { return Encode(qimage, "PNG"); }},
                           {"image/bmp", [qimage] { return Encode(qimage, "BMP"); }}});
}

bool QtImageServices::SetClipboardText(std::string_view text) {
  const std::u16string utf16 = GbkToUtf16(text);
  const QString qtext = QString::fromUtf16(utf16.data(), static_cast<qsizetype>(utf16.size()));
  const QByteArray utf8 = qtext.toUtf8();
  if (QClipboard* clipboard = QtClipboard()) {
    // Qt offers a text as UTF8_STRING, STRING and the like; the MIME name is added for the
    // programs that ask for that.
    auto data = std::make_unique<QMimeData>();
    data->setText(qtext);
    data->setData(QStringLiteral("text/plain;charset=utf-8"), utf8);
    clipboard->setMimeData(data.release());  // the clipboard takes it
    if (QtOwnsClipboard()) return true;      // as for an image, above
  }
  const std::vector<std::uint8_t> utf8Bytes(utf8.begin(), utf8.end());
  // ICCCM's STRING is Latin-1: characters beyond it are lost there.
  const QByteArray latin1 = qtext.toLatin1();
  const std::vector<std::uint8_t> latin1Bytes(latin1.begin(), latin1.end());
  return OwnOffer().Offer({{"UTF8_STRING", [utf8Bytes] { return utf8Bytes; }},
                           {"text/plain;charset=utf-8", [utf8Bytes] { return utf8Bytes; }},
                           {"STRING", [latin1Bytes] { return latin1Bytes; }}});
}

std::optional<ArgbImage> QtImageServices::ClipboardImage() {
  // Qt answers other clients only from its event loop, which waits for us, but knows its own
  // offer. Any other owner is asked on a connection of our own, which sees a new owner at once,
  // where Qt's notion of the clipboard catches up only once its event loop runs.
  if (QClipboard* clipboard = QtClipboard(); clipboard != nullptr && QtOwnsClipboard()) {
    const QMimeData* data = clipboard->mimeData();
    if (data == nullptr || !data->hasImage()) return std::nullopt;
    return FromQImage(qvariant_cast<QImage>(data->imageData()));
  }
  const auto data = ReadX11Clipboard(kImageTargets);
  if (!data) return std::nullopt;
  QImage image;
  image.loadFromData(data->bytes.data(), static_cast<int>(data->bytes.size()));
  return FromQImage(image);
}

std::optional<ArgbImage> QtImageServices::DecodePng(std::span<const std::uint8_t> bytes) {
  QImage image;
  if (bytes.size() > static_cast<std::size_t>(std::numeric_limits<int>::max()) ||
      !image.loadFromData(bytes.data(), static_cast<int>(bytes.size()), "PNG")) {
    return std::nullopt;
  }
  return FromQImage(image);
}

std::optional<TextCoverage> QtImageServices::RenderText(const FontRequest& font,
                                                        std::string_view text) {
  return RenderTextWithQt(font, text);
}

}  // namespace qel
