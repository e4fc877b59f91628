// A second peer of the start-up benchmark: a Qt Widgets window showing one line of Chinese text,
// the least a program pays to show such text (the font configuration, a Chinese face, shaping).
#include <QApplication>
#include <QLabel>
#include <QWidget>

int main(int argc, char** argv) {
  QApplication application(argc, argv);
  QWidget window;
  window.setWindowTitle("Text");
  window.resize(369, 251);
  QLabel label(QString::fromUtf16(u"\u53D6\u8272 \u989C\u8272\u8F6C\u6362"), &window);
  label.move(10, 10);
  window.show();
  return QApplication::exec();
}
