// Another program's window with text in it, for the text searches to find: a frameless white
// window at a given place with one line of text drawn in a GDI-style font request.
// Usage: qel_text_window TITLE X Y FACE CELL_HEIGHT TEXT
#include <QApplication>
#include <QPainter>
#include <QWidget>
#include <cstdio>
#include <cstdlib>

#include "platform/linux/qt_text_renderer.h"

namespace {

// Where the text's cell starts inside the window.
constexpr int kTextLeft = 20;
constexpr int kTextTop = 30;

class TextWindow final : public QWidget {
 public:
  TextWindow(const qel::FontRequest& font, QString text)
      : font_(qel::QtFontFor(font)), text_(std::move(text)) {}

 protected:
  void paintEvent(QPaintEvent*) override {
    QPainter painter(this);
    painter.fillRect(rect(), Qt::white);
    painter.setFont(font_);
    painter.setPen(Qt::black);
    painter.drawText(kTextLeft, kTextTop + QFontMetrics(font_).ascent(), text_);
    if (!told_) {
      told_ = true;
      std::fprintf(stderr, "painted\n");
      std::fflush(stderr);
    }
  }

 private:
  QFont font_;
  QString text_;
  bool told_ = false;
};

}  // namespace

int main(int argc, char** argv) {
  if (argc != 7) {
    std::fprintf(stderr, "usage: %s TITLE X Y FACE CELL_HEIGHT TEXT\n", argv[0]);
    return 2;
  }
  QApplication application(argc, argv);
  qel::FontRequest font;
  font.face = argv[4];
  font.height = std::atoi(argv[5]);
  TextWindow window(font, QString::fromUtf8(argv[6]));
  window.setWindowTitle(QString::fromUtf8(argv[1]));
  window.setWindowFlags(Qt::FramelessWindowHint);
  window.setGeometry(std::atoi(argv[2]), std::atoi(argv[3]), 400, 80);
  window.show();
  return QApplication::exec();
}
