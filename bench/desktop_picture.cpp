#include "bench/desktop_picture.h"

#include <QApplication>
#include <QCheckBox>
#include <QFont>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QImage>
#include <QLabel>
#include <QLineEdit>
#include <QLinearGradient>
#include <QMainWindow>
#include <QMenuBar>
#include <QPainter>
#include <QPushButton>
#include <QStatusBar>
#include <QTableWidget>
#include <QTextEdit>
#include <QTreeWidget>
#include <QVBoxLayout>
#include <cstdlib>

#include "bitmap/screen_bitmap.h"
#include "bitmap/software_gdi.h"
#include "platform/fake/fake_desktop.h"
#include "platform/fake/fake_images.h"
#include "platform/fake/fake_screen.h"

namespace qel::bench {
namespace {

constexpr int kWidth = 1920;
constexpr int kHeight = 1080;
constexpr int kTitleHeight = 28;
constexpr int kBorder = 4;

// Widgets need an application; the offscreen platform needs no display and draws the same pixels
// wherever the picture is made.
void EnsureApplication() {
  if (QApplication::instance() != nullptr) return;
  qputenv("QT_QPA_PLATFORM", "offscreen");
  static int argc = 1;
  static char name[] = "qel-bench";
  static char* argv[] = {name, nullptr};
  static QApplication application(argc, argv);
  QApplication::setFont(QFont("DejaVu Sans", 9));
}

const char* const kProse[] = {
    "The colour under the pointer is read every tick and shown as hex, decimal and RGB.",
    "Searches run over the rows of a captured bitmap, bottom row first, four bytes aligned.",
    "A window that covers another shows its own pixels; the one below is read from memory.",
    "Press the hotkey to freeze the sample, press it again to follow the pointer once more.",
    "Palettes of 256 colours map each pixel to the nearest entry of the standard table.",
};

// A frame drawn the way a window manager draws one: border, title bar with its text and buttons.
void DrawFrame(QPainter& painter, const QRect& client, const QString& title, bool active) {
  const QRect outer = client.adjusted(-kBorder, -kBorder - kTitleHeight, kBorder, kBorder);
  painter.fillRect(outer, active ? QColor(0x3C, 0x5A, 0x82) : QColor(0x8A, 0x96, 0xA6));
  QLinearGradient bar(outer.topLeft(), outer.topLeft() + QPoint(0, kTitleHeight));
  bar.setColorAt(0, active ? QColor(0x4F, 0x7B, 0xB5) : QColor(0xB4, 0xBE, 0xCA));
  bar.setColorAt(1, active ? QColor(0x2E, 0x4E, 0x7C) : QColor(0x96, 0xA2, 0xB0));
  const QRect titleBar(outer.left(), outer.top(), outer.width(), kTitleHeight + kBorder);
  painter.fillRect(titleBar, bar);
  painter.setPen(Qt::white);
  painter.setFont(QFont("DejaVu Sans", 10, QFont::Bold));
  painter.drawText(titleBar.adjusted(32, 0, -90, 0), Qt::AlignVCenter | Qt::AlignLeft, title);
  painter.setBrush(QColor(0xE8, 0xC4, 0x4A));
  painter.setPen(Qt::NoPen);
  painter.drawRoundedRect(QRect(outer.left() + 8, outer.top() + 7, 16, 16), 4, 4);
  const QColor buttons[] = {QColor(0x5C, 0xB8, 0x5C), QColor(0xE8, 0xA2, 0x3A),
                            QColor(0xD9, 0x53, 0x4F)};
  for (int i = 0; i < 3; ++i) {
    painter.setBrush(buttons[i]);
    painter.drawEllipse(QRect(outer.right() - 78 + i * 24, outer.top() + 7, 16, 16));
  }
}

void DrawWindow(QPainter& painter, QWidget& widget, const QRect& client, const QString& title,
                bool active) {
  widget.setAttribute(Qt::WA_DontShowOnScreen);
  widget.resize(client.size());
  widget.show();
  DrawFrame(painter, client, title, active);
  widget.render(&painter, client.topLeft());
}

void DrawIcon(QPainter& painter, int x, int y, const QColor& colour, const QString& label) {
  QLinearGradient fill(QPoint(x, y), QPoint(x + 48, y + 48));
  fill.setColorAt(0, colour.lighter(140));
  fill.setColorAt(1, colour.darker(130));
  painter.setPen(QPen(colour.darker(180), 1));
  painter.setBrush(fill);
  painter.drawRoundedRect(QRect(x, y, 48, 48), 8, 8);
  painter.setBrush(QColor(255, 255, 255, 170));
  painter.drawEllipse(QRect(x + 12, y + 10, 24, 18));
  painter.setPen(Qt::white);
  painter.setFont(QFont("DejaVu Sans", 9));
  painter.drawText(QRect(x - 20, y + 52, 88, 20), Qt::AlignHCenter | Qt::AlignTop, label);
}

void DrawDesktop(QPainter& painter) {
  QLinearGradient wallpaper(QPoint(0, 0), QPoint(kWidth, kHeight));
  wallpaper.setColorAt(0, QColor(0x1F, 0x4E, 0x6E));
  wallpaper.setColorAt(1, QColor(0x2F, 0x6F, 0x68));
  painter.fillRect(QRect(0, 0, kWidth, kHeight), wallpaper);
  const char* const labels[] = {"Home", "Trash", "Projects", "Screens", "Notes", "Music"};
  const QColor colours[] = {QColor(0xE0, 0xA0, 0x30), QColor(0x90, 0x98, 0xA0),
                            QColor(0x40, 0x90, 0xD0), QColor(0x60, 0xB0, 0x60),
                            QColor(0xD0, 0x60, 0x60), QColor(0xA0, 0x70, 0xC0)};
  for (int i = 0; i < 6; ++i) DrawIcon(painter, 30, 30 + i * 100, colours[i], labels[i]);

  const QRect taskbar(0, kHeight - 40, kWidth, 40);
  painter.fillRect(taskbar, QColor(0x20, 0x24, 0x2A));
  painter.setFont(QFont("DejaVu Sans", 9));
  const char* const tasks[] = {"Report.txt - Editor", "Files", "Measurements", "Settings"};
  for (int i = 0; i < 4; ++i) {
    const QRect button(60 + i * 190, kHeight - 36, 180, 32);
    painter.fillRect(button, i == 0 ? QColor(0x3A, 0x44, 0x52) : QColor(0x2A, 0x30, 0x38));
    painter.setPen(QColor(0xDD, 0xE2, 0xE8));
    painter.drawText(button.adjusted(10, 0, -4, 0), Qt::AlignVCenter | Qt::AlignLeft, tasks[i]);
  }
  painter.drawText(taskbar.adjusted(0, 0, -16, 0), Qt::AlignVCenter | Qt::AlignRight,
                   "14:32  Tue 9 Dec");
}

void DrawFiles(QPainter& painter) {
  QTreeWidget tree;
  tree.setHeaderLabels({"Name", "Size", "Modified"});
  const char* const folders[] = {"bitmap", "convert", "finder", "platform", "sampler", "tests"};
  for (int f = 0; f < 6; ++f) {
    auto* folder =
        new QTreeWidgetItem(&tree, {folders[f], "", "2025-12-0" + QString::number(f + 1)});
    for (int i = 0; i < 4; ++i) {
      new QTreeWidgetItem(folder, {QString("%1_%2.cpp").arg(folders[f]).arg(i),
                                   QString("%1 KB").arg(3 + f * 7 + i * 5),
                                   QString("2025-11-%1 1%2:0%3").arg(10 + i + f).arg(i).arg(f)});
    }
    folder->setExpanded(f % 2 == 0);
  }
  tree.header()->resizeSection(0, 260);
  DrawWindow(painter, tree, QRect(1180, 90, 560, 420), "Files", false);
}

void DrawEditor(QPainter& painter) {
  QMainWindow window;
  QMenuBar* menus = window.menuBar();
  for (const char* name : {"&File", "&Edit", "&View", "&Search", "&Tools", "&Help"}) {
    menus->addMenu(name);
  }
  auto* text = new QTextEdit;
  QString body;
  for (int paragraph = 0; paragraph < 6; ++paragraph) {
    for (int line = 0; line < 5; ++line) body += QString(kProse[(paragraph + line) % 5]) + " ";
    body += "\n\n";
  }
  text->setPlainText(body);
  window.setCentralWidget(text);
  window.statusBar()->showMessage("Line 12, Column 40    UTF-8    LF");
  DrawWindow(painter, window, QRect(260, 120, 860, 600), "Report.txt - Editor", true);
}

void DrawTable(QPainter& painter) {
  QTableWidget table(14, 5);
  table.setHorizontalHeaderLabels({"Sample", "Red", "Green", "Blue", "Hex"});
  for (int row = 0; row < 14; ++row) {
    const int red = (row * 37 + 11) % 256;
    const int green = (row * 91 + 50) % 256;
    const int blue = (row * 53 + 200) % 256;
    table.setItem(row, 0, new QTableWidgetItem(QString("Point %1").arg(row + 1)));
    table.setItem(row, 1, new QTableWidgetItem(QString::number(red)));
    table.setItem(row, 2, new QTableWidgetItem(QString::number(green)));
    table.setItem(row, 3, new QTableWidgetItem(QString::number(blue)));
    table.setItem(row, 4,
                  new QTableWidgetItem(QString("#%1%2%3")
                                           .arg(red, 2, 16, QChar('0'))
                                           .arg(green, 2, 16, QChar('0'))
                                           .arg(blue, 2, 16, QChar('0'))
                                           .toUpper()));
  }
  DrawWindow(painter, table, QRect(980, 560, 620, 380), "Measurements", false);
}

void DrawSettings(QPainter& painter) {
  QWidget dialog;
  auto* layout = new QVBoxLayout(&dialog);
  layout->addWidget(new QLabel("Sampling interval (ms):"));
  layout->addWidget(new QLineEdit("250"));
  for (const char* option : {"Show hex value", "Copy on hotkey", "Follow the pointer"}) {
    auto* box = new QCheckBox(option);
    box->setChecked(option[0] != 'C');
    layout->addWidget(box);
  }
  auto* buttons = new QHBoxLayout;
  buttons->addStretch();
  buttons->addWidget(new QPushButton("OK"));
  buttons->addWidget(new QPushButton("Cancel"));
  layout->addLayout(buttons);
  DrawWindow(painter, dialog, QRect(420, 760, 360, 220), "Settings", false);
}

QImage DrawPicture() {
  EnsureApplication();
  QImage picture(kWidth, kHeight, QImage::Format_RGB32);
  QPainter painter(&picture);
  DrawDesktop(painter);
  DrawFiles(painter);
  DrawTable(painter);
  DrawSettings(painter);
  DrawEditor(painter);
  return picture;
}

std::vector<std::uint8_t> BmpBytes(const QImage& picture) {
  constexpr std::size_t kHeaderSize = 54;
  constexpr std::size_t kRowBytes = kWidth * 3;  // already a multiple of four
  std::vector<std::uint8_t> file(kHeaderSize + kRowBytes * kHeight);
  const auto put = [&file](std::size_t at, std::uint32_t value, int size) {
    for (int i = 0; i < size; ++i) file[at + i] = static_cast<std::uint8_t>(value >> (8 * i));
  };
  put(0, 0x4D42, 2);
  put(2, static_cast<std::uint32_t>(file.size()), 4);
  put(10, kHeaderSize, 4);
  put(14, 40, 4);
  put(18, kWidth, 4);
  put(22, kHeight, 4);
  put(26, 1, 2);
  put(28, 24, 2);
  for (int y = 0; y < kHeight; ++y) {
    const auto* line = reinterpret_cast<const QRgb*>(picture.constScanLine(kHeight - 1 - y));
    std::uint8_t* out = file.data() + kHeaderSize + kRowBytes * static_cast<std::size_t>(y);
    for (int x = 0; x < kWidth; ++x) {
      out[3 * x] = static_cast<std::uint8_t>(qBlue(line[x]));
      out[3 * x + 1] = static_cast<std::uint8_t>(qGreen(line[x]));
      out[3 * x + 2] = static_cast<std::uint8_t>(qRed(line[x]));
    }
  }
  return file;
}

PalettePicture ConvertTo8Bits(const std::vector<std::uint8_t>& bmp) {
  FakeScreen screen{1, 1};
  FakeDesktop desktop;
  FakeImageServices images;
  SoftwareGdi gdi{screen, desktop, images};
  ScreenBitmap bitmap({gdi, screen, desktop});
  if (!bitmap.LoadBmpBytes(bmp) || !bitmap.ConvertDepth(8)) std::abort();
  return {bitmap.PixelBytes(), bitmap.Width(), bitmap.Height()};
}

}  // namespace

const std::vector<std::uint8_t>& DesktopPictureBmp() {
  static const std::vector<std::uint8_t> bytes = BmpBytes(DrawPicture());
  return bytes;
}

const PalettePicture& DesktopPicture8() {
  static const PalettePicture picture = ConvertTo8Bits(DesktopPictureBmp());
  return picture;
}

}  // namespace qel::bench
