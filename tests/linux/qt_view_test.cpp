// The Qt view on a real X server: the window and every control as the layout table gives them,
// focus and Tab behaviour, page switching, and the conversion page working through real widgets.
#include <gtest/gtest.h>

#include <QAbstractButton>
#include <QApplication>
#include <QClipboard>
#include <QGroupBox>
#include <QImage>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QScreen>
#include <QTest>
#include <QTimer>
#include <functional>
#include <set>
#include <vector>

#include "app/dispatcher.h"
#include "app/layout_table.h"
#include "app/skin_deployment.h"
#include "bitmap/software_gdi.h"
#include "convert/ui_texts.h"
#include "platform/fake/fake_system.h"
#include "platform/linux/qt_controls.h"
#include "platform/linux/qt_dialogs.h"
#include "platform/linux/qt_main_window.h"
#include "platform/linux/qt_text.h"
#include "tests/support/x11_client.h"

namespace qel {
namespace {

using enum ControlId;

// Passes events on to the dispatcher and remembers them, with the focus at the time.
class RecordingSink final : public EventSink {
 public:
  explicit RecordingSink(EventSink& next) : next_(next) {}
  struct Delivery {
    ControlId control;
    Event event;
    QWidget* focus;
  };
  std::vector<Delivery> deliveries;

  void Deliver(ControlId control, Event event, std::int32_t a, std::int32_t b) override {
    deliveries.push_back({control, event, QApplication::focusWidget()});
    next_.Deliver(control, event, a, b);
  }
  int Count(ControlId control, Event event) const {
    return static_cast<int>(std::ranges::count_if(
        deliveries, [&](const Delivery& d) { return d.control == control && d.event == event; }));
  }

 private:
  EventSink& next_;
};

class QtViewTest : public testing::Test, protected FakePlatform {
 protected:
  const Layout& layout = MainWindowLayout();
  ProgramGlobals globals;
  SoftwareGdi gdi{screen, desktop, images};
  BitmapContext bitmaps{gdi, screen, desktop};
  HotkeyRegistration hotkeyRegistration{hotkeys};
  Dispatcher dispatcher{EventBindings(), platform, bitmaps, hotkeyRegistration, globals, skin};
  FatalErrorReporter fatal{dispatcher, platform};
  SkinLibrary library{platform, fatal};
  SkinDeployment skin{platform, library, {}, [](int) { return std::span<const std::uint8_t>{}; }};
  RecordingSink sink{dispatcher};
  QtMainWindow window{layout, sink};

  void SetUp() override {
    globals.GlobalColorFinder = std::make_unique<ColorFinder>();  // as start-up makes it
    dispatcher.AttachForm(window);
  }

  void ShowAndActivate() {
    window.ShowCentred();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&window));
  }
  QLineEdit* Edit(ControlId id) { return qobject_cast<QLineEdit*>(window.Widget(id)); }
  void ClickOn(ControlId id) {
    QWidget* widget = window.Widget(id);
    QTest::mouseClick(widget, Qt::LeftButton, {}, widget->rect().center());
  }
  void SelectPage(int page) {
    QTabBar* bar = window.Tabs()->Bar();
    QTest::mouseClick(bar, Qt::LeftButton, {}, bar->tabRect(page).center());
  }
};

TEST_F(QtViewTest, WindowIsCentredFixedTopmostAndCaptioned) {
  ShowAndActivate();
  EXPECT_EQ(window.windowTitle(), "Qel");
  EXPECT_EQ(window.frameGeometry().size(), QSize(369, 251));
  EXPECT_EQ(window.minimumSize(), window.maximumSize()) << "the frame is fixed";
  const QRect screen = QGuiApplication::primaryScreen()->geometry();
  EXPECT_EQ(window.frameGeometry().topLeft(),
            QPoint((screen.width() - 369) / 2, (screen.height() - 251) / 2));
  const Qt::WindowFlags flags = window.windowFlags();
  EXPECT_TRUE(flags & Qt::WindowMinimizeButtonHint);
  EXPECT_FALSE(flags & Qt::WindowMaximizeButtonHint);
  EXPECT_TRUE(flags & Qt::WindowStaysOnTopHint);
}

TEST_F(QtViewTest, TheXWindowAsksToStayAboveAndCannotBeResized) {
  ShowAndActivate();
  test::X11Client x11;
  const auto id = static_cast<std::uint32_t>(window.winId());
  EXPECT_TRUE(x11.HasNetWmState(id, "_NET_WM_STATE_ABOVE"));
  const test::SizeLimits limits = x11.NormalHints(id);
  EXPECT_TRUE(limits.hasMin && limits.hasMax);
  EXPECT_EQ(limits.minWidth, limits.maxWidth);
  EXPECT_EQ(limits.minHeight, limits.maxHeight);
}

// The hotkey's receiver is addressed by handle; it is a window that is never seen, and a message
// sent to it reaches the label's handler.
TEST_F(QtViewTest, TheHotkeyReceiverIsAHiddenWindowThatPassesItsMessageOn) {
  ShowAndActivate();
  const WindowHandle receiver = window.NativeHandle(Label13);
  const WindowHandle main = window.NativeHandle(MainWindow);
  ASSERT_NE(receiver, 0u);
  EXPECT_NE(receiver, main);
  EXPECT_EQ(window.NativeHandle(Label13), receiver) << "one handle for the life of the window";

  test::X11Client x11;
  const test::WindowFacts facts = x11.Facts(static_cast<std::uint32_t>(receiver));
  ASSERT_TRUE(facts.exists);
  EXPECT_EQ(facts.parent, facts.root) << "independent of the main window's own window";
  EXPECT_FALSE(facts.mapped);
  EXPECT_TRUE(facts.inputOnly);

  window.ReceiveMessage(receiver, kLabelNotifyMessage, 1, 0);
  EXPECT_EQ(sink.Count(Label13, Event::Notify), 1);
  window.ReceiveMessage(main, kLabelNotifyMessage, 1, 0);
  window.ReceiveMessage(receiver, kLabelNotifyMessage + 1, 1, 0);
  EXPECT_EQ(sink.Count(Label13, Event::Notify), 1) << "only the label's own message counts";
}

Qt::Alignment Horizontal(Align align) {
  return align == Align::Center  ? Qt::AlignHCenter
         : align == Align::Right ? Qt::AlignRight
                                 : Qt::AlignLeft;
}

TEST_F(QtViewTest, EveryControlStandsWhereTheLayoutTablePutsIt) {
  ShowAndActivate();
  for (const ControlSpec& spec : layout.controls) {
    SCOPED_TRACE(std::string(ControlName(spec.id)));
    QWidget* widget = window.Widget(spec.id);
    if (spec.type == ControlType::Timer) {
      EXPECT_EQ(widget, nullptr);
      EXPECT_EQ(window.TimerInterval(spec.id), 0);
      continue;
    }
    ASSERT_NE(widget, nullptr);
    EXPECT_EQ(widget->objectName(), QString::fromLatin1(ControlName(spec.id)));
    const Rect client = layout.RectInClient(spec.id);
    EXPECT_EQ(QRect(widget->mapTo(&window, QPoint(0, 0)), widget->size()),
              QRect(client.left, client.top, client.width, client.height));
    EXPECT_EQ(widget->isVisible(), spec.page != 1);

    const Qt::FocusPolicy policy = widget->focusPolicy();
    if (spec.type != ControlType::TabBox) {
      EXPECT_EQ(policy == Qt::StrongFocus, spec.tabStop);
    }
    if (spec.type == ControlType::EditBox) {
      const auto* edit = qobject_cast<QLineEdit*>(widget);
      EXPECT_EQ(edit->text(), "");
      EXPECT_EQ(edit->isReadOnly(), spec.readOnly);
      EXPECT_EQ(edit->alignment() & Qt::AlignHorizontal_Mask, Horizontal(spec.align));
      if (!spec.tabStop) {
        EXPECT_EQ(policy, Qt::ClickFocus) << "selectable, not a Tab stop";
      }
    } else if (spec.type == ControlType::Label) {
      const auto* label = qobject_cast<QLabel*>(widget);
      EXPECT_EQ(label->text(), ToQString(spec.caption));
      EXPECT_EQ(label->alignment() & Qt::AlignHorizontal_Mask, Horizontal(spec.align));
    } else if (spec.type == ControlType::GroupBox) {
      const auto* box = qobject_cast<QGroupBox*>(widget);
      EXPECT_EQ(box->title(), ToQString(spec.caption));
      EXPECT_EQ(box->alignment() & Qt::AlignHorizontal_Mask, Qt::AlignHCenter);
    } else if (spec.type == ControlType::Button || spec.type == ControlType::RadioBox) {
      const auto* button = qobject_cast<QAbstractButton*>(widget);
      EXPECT_EQ(button->text(), ToQString(spec.caption));
      EXPECT_FALSE(button->isChecked());
    }
  }
  EXPECT_EQ(window.Tabs()->Bar()->tabText(0), QString::fromUtf8(kTextPickPage.readable));
  EXPECT_EQ(window.Tabs()->Bar()->tabText(1), QString::fromUtf8(kTextConvertPage.readable));
  EXPECT_EQ(window.Tabs()->CurrentPage(), 0);
  EXPECT_EQ(window.Text(Button1), kTextStart.gbk);
}

TEST_F(QtViewTest, TheHintHasATenPixelFont) {
  const QFont font = window.Widget(Label24)->font();
  EXPECT_EQ(font.pixelSize(), 10);
  EXPECT_EQ(font.weight(), QFont::Normal);
  EXPECT_FALSE(font.italic() || font.underline() || font.strikeOut());
}

TEST_F(QtViewTest, RadioButtonsExcludeEachOtherAndTheirLabelsDoNotCheckThem) {
  ShowAndActivate();
  ClickOn(Label10);
  EXPECT_FALSE(window.IsChecked(RadioBox2));
  ClickOn(RadioBox2);
  ClickOn(RadioBox4);
  ClickOn(RadioBox4);  // a second click keeps it checked
  EXPECT_FALSE(window.IsChecked(RadioBox1));
  EXPECT_FALSE(window.IsChecked(RadioBox2));
  EXPECT_FALSE(window.IsChecked(RadioBox3));
  EXPECT_TRUE(window.IsChecked(RadioBox4));
}

TEST_F(QtViewTest, SwitchingPagesHidesTheOtherPageButKeepsItsTimerTicking) {
  ShowAndActivate();
  window.SetTimerInterval(Timer1, 100);
  SelectPage(1);
  EXPECT_FALSE(window.Widget(EditBox7)->isVisible());
  EXPECT_FALSE(window.Widget(GroupBox1)->isVisible());
  EXPECT_TRUE(window.Widget(EditBox9)->isVisible());
  EXPECT_TRUE(window.Widget(Label24)->isVisible());
  QTest::qWait(350);
  EXPECT_GE(sink.Count(Timer1, Event::Tick), 2);
  EXPECT_EQ(window.TimerInterval(Timer1), 100);
  SelectPage(0);
  EXPECT_FALSE(window.Widget(EditBox9)->isVisible());
  EXPECT_TRUE(window.Widget(EditBox7)->isVisible());
}

TEST_F(QtViewTest, TabVisitsEveryTabStopOfThePageAndNeverTheReadOnlyFields) {
  ShowAndActivate();
  for (int page : {0, 1}) {
    SelectPage(page);
    std::set<QString> visited;
    for (int i = 0; i < 40; ++i) {
      QTest::keyClick(QApplication::focusWidget() ? QApplication::focusWidget() : &window,
                      Qt::Key_Tab);
      if (QWidget* focus = QApplication::focusWidget()) visited.insert(focus->objectName());
    }
    std::set<QString> expected;
    for (const ControlSpec& spec : layout.controls) {
      if (spec.tabStop && spec.page == page)
        expected.insert(QString::fromLatin1(ControlName(spec.id)));
    }
    EXPECT_EQ(visited, expected) << "page " << page;
  }
}

TEST_F(QtViewTest, TheFocusHandlerRunsAfterTheEditBoxHasTakenTheFocus) {
  ShowAndActivate();
  SelectPage(1);
  window.SetText(EditBox13, "123");
  window.SetText(EditBox10, "9");
  ClickOn(EditBox9);
  const auto focusEvent = std::ranges::find_if(sink.deliveries, [](const auto& d) {
    return d.control == EditBox9 && d.event == Event::GotFocus;
  });
  ASSERT_NE(focusEvent, sink.deliveries.end());
  EXPECT_EQ(focusEvent->focus, window.Widget(EditBox9));
  EXPECT_EQ(window.Text(EditBox13), "");
  EXPECT_EQ(window.Text(EditBox10), "");
  EXPECT_EQ(window.TimerInterval(Timer2), 500);
}

// The copy keys copy an edit box's selected text as ever; anywhere else they are the tab control's.
TEST_F(QtViewTest, CtrlCCopiesTheSelectionElseGoesToTheTabControl) {
  struct Case {
    const char* name;
    int page;
    ControlId focus;
    bool select;
    bool raised;
  };
  const Case cases[] = {
      {"selected text", 0, EditBox7, true, false},
      {"an edit box without selection", 0, EditBox7, false, true},
      {"a button", 0, Button1, false, true},
      {"the conversion page", 1, EditBox9, false, true},
  };
  ShowAndActivate();
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    SelectPage(c.page);
    EXPECT_EQ(window.SelectedPage(TabBox1), c.page);
    if (Edit(c.focus) != nullptr) window.SetText(c.focus, "#FFFAFA");
    window.Widget(c.focus)->setFocus();
    if (c.select) Edit(c.focus)->selectAll();
    QApplication::clipboard()->setText(QStringLiteral("before"));
    const int raised = sink.Count(TabBox1, Event::Copy);
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_C, Qt::ControlModifier);
    EXPECT_EQ(sink.Count(TabBox1, Event::Copy) - raised, c.raised ? 1 : 0);
    EXPECT_EQ(QApplication::clipboard()->text(), c.select ? "#FFFAFA" : "before");
  }
}

// As a native edit box: the selection shows while the window is active, and is drawn as plain text
// (kept, for when the window comes back) while another window is.
TEST_F(QtViewTest, AnEditBoxShowsItsSelectionOnlyWhileItsWindowIsActive) {
  ShowAndActivate();
  QLineEdit* edit = Edit(EditBox7);
  window.SetText(EditBox7, "#FFFAFA");
  edit->setFocus();
  edit->selectAll();
  const QColor highlight = edit->palette().color(QPalette::Active, QPalette::Highlight);
  const auto showsHighlight = [&] {
    const QImage image = edit->grab().toImage();
    for (int y = 0; y < image.height(); ++y) {
      for (int x = 0; x < image.width(); ++x) {
        if (image.pixelColor(x, y) == highlight) return true;
      }
    }
    return false;
  };
  EXPECT_TRUE(showsHighlight());

  QWidget other;
  other.resize(100, 60);
  other.show();
  other.activateWindow();
  ASSERT_TRUE(QTest::qWaitForWindowActive(&other));
  ASSERT_FALSE(window.isActiveWindow());
  EXPECT_TRUE(edit->hasSelectedText());
  EXPECT_FALSE(showsHighlight());
}

TEST_F(QtViewTest, TypingAHexColourAndPressingGoFillsTheOutputsAndThePreview) {
  ShowAndActivate();
  SelectPage(1);
  ClickOn(EditBox9);
  QTest::keyClicks(Edit(EditBox9), "#FFF00F");
  ClickOn(Button2);
  EXPECT_EQ(window.Text(EditBox18), "");
  EXPECT_EQ(window.Text(EditBox14), "16773135");
  EXPECT_EQ(window.Text(EditBox17), "15");
  EXPECT_EQ(window.Text(EditBox16), "240");
  EXPECT_EQ(window.Text(EditBox15), "255");

  QTest::qWait(700);  // one preview tick
  QWidget* swatch = window.Widget(DrawPanel2);
  const QPoint centre = swatch->mapToGlobal(swatch->rect().center());
  const QImage pixel =
      QGuiApplication::primaryScreen()->grabWindow(0, centre.x(), centre.y(), 1, 1).toImage();
  EXPECT_EQ(pixel.pixelColor(0, 0), QColor(0x0F, 0xF0, 0xFF));
}

TEST_F(QtViewTest, TextsOfAnySizeAndBytesSurviveTheWidgets) {
  const std::string longText(100000, '7');
  window.SetText(EditBox9, longText);
  EXPECT_EQ(window.Text(EditBox9), longText);
  window.SetText(EditBox13, "\xA3\xB1\xA3\xB2");  // full-width digits
  EXPECT_EQ(window.Text(EditBox13), "\xA3\xB1\xA3\xB2");
  window.SetText(EditBox10, "\xFF\x80");
  EXPECT_FALSE(window.Text(EditBox10).empty());
  window.SetText(MainWindow, kTextStop.gbk);
  EXPECT_EQ(window.Text(MainWindow), kTextStop.gbk);
}

// How often `widget` is painted for what `write` does, earlier repaints out of the way first.
int PaintsFor(QWidget& widget, const std::function<void()>& write) {
  struct Counter final : QObject {
    int paints = 0;
    bool eventFilter(QObject*, QEvent* event) override {
      paints += event->type() == QEvent::Paint;
      return false;
    }
  } counter;
  QCoreApplication::processEvents();
  widget.installEventFilter(&counter);
  write();
  QCoreApplication::processEvents();
  return counter.paints;
}

// A write is left out only when it would leave the field as it is; any other leaves the box as
// setText does: the text, the caret at its end, nothing selected, no undo history.
TEST_F(QtViewTest, AFieldIsRewrittenOnlyWhenTheWriteWouldChangeIt) {
  ShowAndActivate();
  struct Case {
    const char* name;
    void (*userDid)(QLineEdit&);  // to the box showing "12"
    const char* written;
    bool repainted;
  };
  const Case cases[] = {
      {"the same text", [](QLineEdit&) {}, "12", false},
      {"another text", [](QLineEdit&) {}, "125", true},
      {"the same text, all selected", [](QLineEdit& e) { e.selectAll(); }, "12", true},
      {"the same text, the caret moved", [](QLineEdit& e) { e.setCursorPosition(0); }, "12", true},
      {"the same text, typed and undone", [](QLineEdit& e) { e.insert("9"), e.undo(); }, "12",
       false},
  };
  QLineEdit& edit = *Edit(EditBox7);
  edit.clearFocus();  // a focused box is always written
  for (const Case& c : cases) {
    window.SetText(EditBox7, "");
    window.SetText(EditBox7, "12");
    c.userDid(edit);
    EXPECT_EQ(PaintsFor(edit, [&] { window.SetText(EditBox7, c.written); }) > 0, c.repainted)
        << c.name;
    EXPECT_EQ(window.Text(EditBox7), c.written) << c.name;
    EXPECT_FALSE(edit.hasSelectedText() || edit.isUndoAvailable() || edit.isRedoAvailable() ||
                 edit.isModified())
        << c.name;
    EXPECT_EQ(edit.cursorPosition(), edit.text().size()) << c.name;
  }
}

// The swatches repaint only for a new colour. A panel given the colour it inherits keeps it as
// its own: the skin changes the application's colours after the window is made.
TEST_F(QtViewTest, TheSwatchesRepaintOnlyForANewColourAndKeepTheirOwn) {
  ShowAndActivate();
  auto& panel = *dynamic_cast<DrawPanel*>(window.Widget(DrawPanel1));
  auto& picker = *dynamic_cast<ColorPicker*>(window.Widget(ColorPicker1));
  const QColor inherited = panel.Color();
  const auto asValue = [](QColor c) {
    return static_cast<ColorValue>(c.red() | c.green() << 8 | c.blue() << 16);
  };
  EXPECT_GT(PaintsFor(panel, [&] { window.SetPanelColor(DrawPanel1, asValue(inherited)); }), 0);
  const QPalette before = QApplication::palette();
  QPalette changed = before;
  changed.setColor(QPalette::Window, inherited == Qt::black ? Qt::white : Qt::black);
  QApplication::setPalette(changed);
  QCoreApplication::processEvents();  // the change reaches the widgets as posted events
  EXPECT_EQ(panel.Color(), inherited);
  QApplication::setPalette(before);

  EXPECT_EQ(
      PaintsFor(picker, [&] { window.SetPickerColor(ColorPicker1, asValue(picker.Color())); }), 0);
  EXPECT_EQ(PaintsFor(panel, [&] { window.SetPanelColor(DrawPanel1, asValue(inherited)); }), 0);
  EXPECT_GT(PaintsFor(picker, [&] { window.SetPickerColor(ColorPicker1, 0x102030); }), 0);
  EXPECT_GT(PaintsFor(panel, [&] { window.SetPanelColor(DrawPanel1, 0x102030); }), 0);
  EXPECT_EQ(picker.Color(), ToQColor(0x102030));
  EXPECT_EQ(panel.Color(), ToQColor(0x102030));
}

TEST_F(QtViewTest, MessageBoxesShowTitleTextAndIcon) {
  QtDialogs realDialogs;
  QString title, text;
  QMessageBox::Icon icon = QMessageBox::NoIcon;
  QTimer::singleShot(200, [&] {
    auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
    ASSERT_NE(box, nullptr);
    title = box->windowTitle();
    text = box->text();
    icon = box->icon();
    box->accept();
  });
  realDialogs.MessageBox(0, "a\r\nb", kTextErrorTitle.gbk, 0x10);
  EXPECT_EQ(title, QString::fromUtf8(kTextErrorTitle.readable));
  EXPECT_EQ(text, "a\nb");
  EXPECT_EQ(icon, QMessageBox::Critical);
}

}  // namespace
}  // namespace qel
