// Draws Qel's window in each of the program's 33 skins, with the aero option on, and lays the 33
// pictures out on one sheet: a picture of every skin the program carries, made by the same skin
// library and the same window the program uses.
//
// Usage: qel_skin_contact_sheet <skin-library> <sheet.png> [<one-skin.png> <number>]
// Needs an X display (the scripts start a private Xvfb).
#include <QApplication>
#include <QImage>
#include <QPainter>
#include <cstdio>
#include <string>

#include "app/layout_table.h"
#include "app/skin_deployment.h"
#include "platform/linux/linux_libraries.h"
#include "platform/linux/qt_main_window.h"
#include "skin/skin_table.h"

namespace {

class NoEvents final : public qel::EventSink {
 public:
  void Deliver(qel::ControlId, qel::Event, std::int32_t, std::int32_t) override {}
};

using AttachRes = int (*)(const unsigned char*, int, const char*, int, int, int);
using SetAero = int (*)(int);

constexpr int kColumns = 6;
constexpr int kCaptionHeight = 22;
constexpr int kGap = 12;

QImage SkinnedWindow(qel::QtMainWindow& window, AttachRes attach, int number) {
  const std::span<const std::uint8_t> skin = qel::skin::SkinBlock(number);
  attach(skin.data(), static_cast<int>(skin.size()), "", 0, 0, 0);
  QApplication::processEvents();
  return window.grab().toImage();
}

}  // namespace

int main(int argc, char** argv) {
  if (argc != 3 && argc != 5) {
    std::fprintf(stderr,
                 "usage: qel_skin_contact_sheet <skin-library> <sheet.png> "
                 "[<one-skin.png> <number>]\n");
    return 2;
  }
  QApplication application(argc, argv);
  qel::LinuxLibraryLoader loader;
  const qel::LibraryHandle library = loader.Load(argv[1]);
  const auto attach = reinterpret_cast<AttachRes>(loader.Find(library, "SkinH_AttachRes"));
  const auto aero = reinterpret_cast<SetAero>(loader.Find(library, "SkinH_SetAero"));
  if (attach == nullptr || aero == nullptr) {
    std::fprintf(stderr, "qel_skin_contact_sheet: %s is not a skin library\n", argv[1]);
    return 1;
  }
  NoEvents events;
  int status = 0;
  {
    qel::QtMainWindow window(qel::MainWindowLayout(), events);
    aero(1);
    window.ShowCentred();
    QApplication::processEvents();

    const QSize cell = SkinnedWindow(window, attach, 1).size();
    QImage sheet(
        kColumns * (cell.width() + kGap) + kGap,
        (qel::kSkinCount + kColumns - 1) / kColumns * (cell.height() + kCaptionHeight + kGap) +
            kGap,
        QImage::Format_RGB32);
    sheet.fill(QColor(0x3A, 0x3F, 0x47));
    QPainter painter(&sheet);
    painter.setPen(Qt::white);
    for (int number = 1; number <= qel::kSkinCount; ++number) {
      const int column = (number - 1) % kColumns;
      const int row = (number - 1) / kColumns;
      const QPoint at(kGap + column * (cell.width() + kGap),
                      kGap + row * (cell.height() + kCaptionHeight + kGap));
      painter.drawText(QRect(at, QSize(cell.width(), kCaptionHeight)),
                       Qt::AlignLeft | Qt::AlignVCenter, QStringLiteral("Skin %1").arg(number));
      painter.drawImage(at + QPoint(0, kCaptionHeight), SkinnedWindow(window, attach, number));
    }
    painter.end();
    if (!sheet.save(QString::fromLocal8Bit(argv[2]))) status = 1;
    if (argc == 5 &&
        !SkinnedWindow(window, attach, std::stoi(argv[4])).save(QString::fromLocal8Bit(argv[3])))
      status = 1;
  }
  loader.Unload(library);
  if (status != 0) std::fprintf(stderr, "qel_skin_contact_sheet: a picture cannot be saved\n");
  return status;
}
