// The peer of the start-up benchmark: the least a Qt Widgets program can do to show a window.
#include <QApplication>
#include <QWidget>

int main(int argc, char** argv) {
  QApplication application(argc, argv);
  QWidget window;
  window.setWindowTitle("Empty");
  window.resize(369, 251);
  window.show();
  return QApplication::exec();
}
