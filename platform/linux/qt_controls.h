// The Qt widgets behind the layout's control types where Qt has no ready one: an edit box that
// reports focus after its own focus handling and copies only a selection, a plain colour panel, a
// colour picker, and a tab control whose pages hold controls placed in the tab control's own
// coordinates.
#pragma once

#include <QColor>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QStringList>
#include <QTabBar>
#include <QWidget>
#include <functional>
#include <vector>

namespace qel {

class EditBox final : public QLineEdit {
 public:
  EditBox(QWidget* parent, std::function<void()> onFocus);

  // Leaves the box as setText does: the text, the caret at its end, nothing selected, no undo
  // history. When the box is like that already nothing is done, so a field rewritten with the
  // same value is neither laid out nor painted again. A focused box is always written: the user
  // may be composing text in it, which setText ends.
  void ShowText(const QString& text);

 protected:
  void focusInEvent(QFocusEvent* event) override;
  // Without selected text the copy keys go on to the window.
  void keyPressEvent(QKeyEvent* event) override;
  void changeEvent(QEvent* event) override;

 private:
  // A native edit box shows its selection only while its window is active: the inactive colours
  // draw selected text as any other, whatever palette the application is given.
  void HideSelectionWhenInactive();

  std::function<void()> onFocus_;
};

// Radio boxes of one parent exclude each other as auto radio buttons do, yet each stays a Tab stop
// of its own (Qt's own exclusive group would make the group a single stop).
class RadioBox final : public QRadioButton {
 public:
  RadioBox(const QString& text, QWidget* parent);
};

class DrawPanel final : public QWidget {
 public:
  explicit DrawPanel(QWidget* parent);
  // Repaints only when the colour it shows changes.
  void SetColor(const QColor& color);
  QColor Color() const;
};

class ColorPicker final : public QPushButton {
 public:
  explicit ColorPicker(QWidget* parent);
  // Repaints only when the colour it shows changes.
  void SetColor(const QColor& color);
  QColor Color() const { return color_; }

 protected:
  void paintEvent(QPaintEvent* event) override;

 private:
  void Choose();
  QColor color_;
};

class TabBox final : public QWidget {
 public:
  TabBox(QWidget* parent, const QStringList& titles);

  // A control of a page is shown only while its page is selected.
  void AddToPage(int page, QWidget* control);
  void SelectPage(int page);
  int CurrentPage() const { return bar_->currentIndex(); }
  QTabBar* Bar() const { return bar_; }

 protected:
  void paintEvent(QPaintEvent* event) override;
  void resizeEvent(QResizeEvent* event) override;

 private:
  void ShowPage(int page);

  QTabBar* bar_;
  std::vector<std::vector<QWidget*>> pages_;
};

}  // namespace qel
