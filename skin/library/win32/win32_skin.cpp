// The skin library's Windows half: every window and control of the calling thread, those there
// when a skin is attached and those made later, is subclassed and painted from the theme, double
// buffered. Unloading the library takes all of it off again, so that no window calls into code
// that is gone.
#include <windows.h>

#include <commctrl.h>

#include <algorithm>
#include <optional>
#include <vector>

#include "skin/library/skin_backend.h"
#include "skin/library/win32/win32_canvas.h"
#include "skin/library/win32/win32_face.h"
#include "skin/library/win32/win32_painters.h"

namespace qel::skin {
namespace {

// Our subclass on each window; the program's own use small numbers.
constexpr UINT_PTR kSkinSubclass = 0x534B494E;

// What we make of a window, told by its class and kept as the subclass's data.
enum class Family : DWORD_PTR { Top, Panel, Button, Label, Edit, Tabs, Custom };

// What a window of the button class shows, by its style.
enum class ButtonLook { Native, Push, Check, Radio, Group, OwnerDrawn };

struct Skinned {
  HWND window;
  Family family;
};

struct Session {
  std::optional<Theme> theme;
  bool aero = false;
  HINSTANCE module = nullptr;
  HHOOK hook = nullptr;
  DWORD thread = 0;
  HBRUSH editBrush = nullptr;
  std::vector<Skinned> windows;
  FaceCache faces;
  HWND hot = nullptr;  // the control under the pointer
  int hotTab = -1;     // and the tab under it, in a tab control
};

Session session;

LRESULT CALLBACK SkinProcedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam, UINT_PTR,
                               DWORD_PTR data);

std::optional<Family> FamilyOf(HWND window) {
  if (GetWindowThreadProcessId(window, nullptr) != GetCurrentThreadId()) return std::nullopt;
  wchar_t name[32] = {};
  GetClassNameW(window, name, 32);
  const LONG_PTR style = GetWindowLongPtrW(window, GWL_STYLE);
  const bool dialog = lstrcmpiW(name, L"#32770") == 0;
  if (!(style & WS_CHILD)) {
    // Menus, tooltips and drop-down lists are top-level too, but have no caption.
    if (dialog || (style & WS_CAPTION) == WS_CAPTION) return Family::Top;
    return std::nullopt;
  }
  static constexpr struct {
    const wchar_t* name;
    Family family;
  } kClasses[] = {{L"Button", Family::Button},
                  {L"Static", Family::Label},
                  {L"Edit", Family::Edit},
                  {WC_TABCONTROLW, Family::Tabs},
                  {L"#32770", Family::Panel}};
  for (const auto& known : kClasses) {
    if (lstrcmpiW(name, known.name) == 0) return known.family;
  }
  return Family::Custom;
}

const Skinned* Find(HWND window) {
  const auto found = std::ranges::find(session.windows, window, &Skinned::window);
  return found == session.windows.end() ? nullptr : &*found;
}

void Attach(HWND window) {
  const std::optional<Family> family = FamilyOf(window);
  if (!family) return;
  if (!SetWindowSubclass(window, &SkinProcedure, kSkinSubclass, static_cast<DWORD_PTR>(*family)))
    return;
  if (Find(window) == nullptr) session.windows.push_back({window, *family});
}

BOOL CALLBACK AttachChild(HWND window, LPARAM) {
  Attach(window);
  return TRUE;
}

BOOL CALLBACK AttachTree(HWND window, LPARAM) {
  Attach(window);
  EnumChildWindows(window, &AttachChild, 0);
  return TRUE;
}

LRESULT CALLBACK CreationHook(int code, WPARAM wParam, LPARAM lParam) {
  if (code == HCBT_CREATEWND && session.theme) Attach(reinterpret_cast<HWND>(wParam));
  return CallNextHookEx(nullptr, code, wParam, lParam);
}

void RepaintAll() {
  for (const Skinned& skinned : session.windows) {
    RedrawWindow(skinned.window, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_FRAME);
  }
}

ButtonLook LookOf(LONG_PTR style) {
  const bool pushLike = style & BS_PUSHLIKE;
  switch (style & BS_TYPEMASK) {
    case BS_PUSHBUTTON:
    case BS_DEFPUSHBUTTON:
      // A picture on the button is the program's to draw.
      return (style & (BS_BITMAP | BS_ICON)) ? ButtonLook::Native : ButtonLook::Push;
    case BS_CHECKBOX:
    case BS_AUTOCHECKBOX:
    case BS_3STATE:
    case BS_AUTO3STATE:
      return pushLike ? ButtonLook::Push : ButtonLook::Check;
    case BS_RADIOBUTTON:
    case BS_AUTORADIOBUTTON:
      return pushLike ? ButtonLook::Push : ButtonLook::Radio;
    case BS_GROUPBOX:
      return ButtonLook::Group;
    case BS_OWNERDRAW:
      return ButtonLook::OwnerDrawn;
    default:
      return ButtonLook::Native;
  }
}

// A window of the program's own class that behaves as a button, painted by the program.
bool IsCustomButton(HWND window) { return SendMessageW(window, WM_GETDLGCODE, 0, 0) & DLGC_BUTTON; }

// Whether the skin paints the window's client area; the others paint themselves.
bool SkinPaints(HWND window, Family family) {
  const LONG_PTR style = GetWindowLongPtrW(window, GWL_STYLE);
  switch (family) {
    case Family::Button:
      return LookOf(style) != ButtonLook::Native;
    case Family::Label:
      return IsTextLabel(style);
    case Family::Tabs:
      return !(style & (TCS_BUTTONS | TCS_BOTTOM | TCS_VERTICAL));
    case Family::Custom:
      return IsCustomButton(window);
    case Family::Edit:
    case Family::Panel:
      return true;
    case Family::Top:
      break;
  }
  return false;
}

// Leaves out of the DC what lies over the window: the visible children and the siblings above
// it, as WS_CLIPCHILDREN and WS_CLIPSIBLINGS would. The program's group boxes and tab control go
// without them, and every skinned control paints its whole area.
void ExcludeCovering(HDC dc, HWND window) {
  const LONG_PTR style = GetWindowLongPtrW(window, GWL_STYLE);
  const auto exclude = [dc, window](HWND other) {
    if (!IsWindowVisible(other) || (GetWindowLongPtrW(other, GWL_EXSTYLE) & WS_EX_TRANSPARENT))
      return;
    RECT rect;
    GetWindowRect(other, &rect);
    MapWindowPoints(HWND_DESKTOP, window, reinterpret_cast<POINT*>(&rect), 2);
    ExcludeClipRect(dc, rect.left, rect.top, rect.right, rect.bottom);
  };
  if (!(style & WS_CLIPCHILDREN)) {
    for (HWND child = GetWindow(window, GW_CHILD); child; child = GetWindow(child, GW_HWNDNEXT))
      exclude(child);
  }
  if ((style & WS_CHILD) && !(style & WS_CLIPSIBLINGS)) {
    for (HWND above = GetWindow(window, GW_HWNDPREV); above; above = GetWindow(above, GW_HWNDPREV))
      exclude(above);
  }
}

// Pixel (x, y) lies on the two-pixel edge a system push button draws.
bool OnButtonEdge(const Canvas& canvas, int x, int y) {
  return x < 2 || y < 2 || x >= canvas.Width() - 2 || y >= canvas.Height() - 2;
}

bool SameEdge(Canvas& a, Canvas& b) {
  for (int y = 0; y < a.Height(); ++y) {
    const std::uint32_t* rowA = a.Row(y);
    const std::uint32_t* rowB = b.Row(y);
    for (int x = 0; x < a.Width(); ++x) {
      if (OnButtonEdge(a, x, y) && ((rowA[x] ^ rowB[x]) & 0xFFFFFF)) return false;
    }
  }
  return true;
}

// A button the program paints itself (owner-drawn, or a class of its own) keeps what it draws on
// its face, a colour swatch say: when what it paints is the system's push button with something
// on it, the skin's button takes the system's place under that something. Anything else it
// paints shows as it is.
void PaintProgramButton(const Theme& theme, HWND button, HDC dc, Canvas& canvas) {
  const int width = canvas.Width();
  const int height = canvas.Height();
  Canvas drawn(dc, width, height);
  Canvas plain(dc, width, height);
  Canvas pushed(dc, width, height);
  if (!drawn.Ready() || !plain.Ready() || !pushed.Ready()) return;
  RECT all{0, 0, width, height};
  DrawFrameControl(plain.Dc(), &all, DFC_BUTTON, DFCS_BUTTONPUSH);
  DrawFrameControl(pushed.Dc(), &all, DFC_BUTTON, DFCS_BUTTONPUSH | DFCS_PUSHED);
  BitBlt(drawn.Dc(), 0, 0, width, height, plain.Dc(), 0, 0, SRCCOPY);
  DefSubclassProc(button, WM_PRINTCLIENT, reinterpret_cast<WPARAM>(drawn.Dc()),
                  PRF_CLIENT | PRF_ERASEBKGND);
  Canvas* frame = SameEdge(drawn, plain) ? &plain : SameEdge(drawn, pushed) ? &pushed : nullptr;
  if (frame == nullptr) {
    BitBlt(canvas.Dc(), 0, 0, width, height, drawn.Dc(), 0, 0, SRCCOPY);
    return;
  }
  PaintButtonPanel(theme, canvas, StateOf(button, session.hot == button, frame == &pushed));
  for (int y = 0; y < height; ++y) {
    std::uint32_t* out = canvas.Row(y);
    const std::uint32_t* program = drawn.Row(y);
    const std::uint32_t* system = frame->Row(y);
    for (int x = 0; x < width; ++x) {
      if ((program[x] ^ system[x]) & 0xFFFFFF) out[x] = program[x];
    }
  }
}

void PaintButtonClass(const Theme& theme, HWND button, HDC dc, Canvas& canvas, const Canvas& face,
                      HWND root) {
  const LONG_PTR style = GetWindowLongPtrW(button, GWL_STYLE);
  const bool hot = session.hot == button;
  const auto state = SendMessageW(button, BM_GETSTATE, 0, 0);
  const bool pushed = state & BST_PUSHED;
  switch (LookOf(style)) {
    case ButtonLook::Push:
      PaintPushButton(theme, button, canvas,
                      StateOf(button, hot, pushed || (state & BST_CHECKED) == BST_CHECKED));
      break;
    case ButtonLook::Check:
    case ButtonLook::Radio:
      PaintCheckable(theme, button, canvas, StateOf(button, hot, pushed),
                     LookOf(style) == ButtonLook::Radio);
      break;
    case ButtonLook::Group:
      PaintGroupBox(theme, button, canvas, StateOf(button, false, false), face, root);
      break;
    case ButtonLook::OwnerDrawn:
      PaintProgramButton(theme, button, dc, canvas);
      break;
    case ButtonLook::Native:
      break;
  }
}

// Paints what the skin shows of the control on `canvas`, which covers its client area.
bool Compose(HWND window, Family family, HDC dc, Canvas& canvas) {
  const Theme& theme = *session.theme;
  const RECT client{0, 0, canvas.Width(), canvas.Height()};
  if (family == Family::Edit) {
    canvas.Fill(client, theme.edit.background);
    DefSubclassProc(window, WM_PRINTCLIENT, reinterpret_cast<WPARAM>(canvas.Dc()), PRF_CLIENT);
    PaintEditSelection(theme, window, canvas);
    return true;
  }
  const HWND root = GetAncestor(window, GA_ROOT);
  const Canvas* face = session.faces.Of(root, theme, session.aero);
  if (face == nullptr) return false;
  CopyFaceBehind(*face, root, window, client, canvas);
  switch (family) {
    case Family::Button:
      PaintButtonClass(theme, window, dc, canvas, *face, root);
      break;
    case Family::Label:
      PaintLabel(theme, window, canvas, StateOf(window, false, false));
      break;
    case Family::Tabs:
      PaintTabs(theme, window, canvas, StateOf(window, false, false),
                session.hot == window ? session.hotTab : -1);
      break;
    case Family::Custom:
      PaintProgramButton(theme, window, dc, canvas);
      break;
    case Family::Top:
    case Family::Panel:
    case Family::Edit:
      break;
  }
  return true;
}

// Paints a control the skin draws into `dc`, which is the screen's when `onScreen`. Short of
// memory, the control paints itself as it would without the skin.
void PaintControl(HWND window, Family family, HDC dc, bool onScreen) {
  RECT client;
  GetClientRect(window, &client);
  Canvas canvas(dc, client.right, client.bottom);
  if (!canvas.Ready() || !Compose(window, family, dc, canvas)) {
    if (family != Family::Panel) {
      DefSubclassProc(window, WM_PRINTCLIENT, reinterpret_cast<WPARAM>(dc),
                      PRF_CLIENT | PRF_ERASEBKGND);
    }
    return;
  }
  const int saved = SaveDC(dc);
  if (onScreen) ExcludeCovering(dc, window);
  canvas.CopyTo(dc, 0, 0);
  RestoreDC(dc, saved);
}

// The top-level window's face under the DC's clip box.
void PaintFace(HWND window, HDC dc) {
  Canvas* face = session.faces.Of(window, *session.theme, session.aero);
  if (face == nullptr) return;
  RECT area;
  GetClipBox(dc, &area);
  const int saved = SaveDC(dc);
  ExcludeCovering(dc, window);
  BitBlt(dc, area.left, area.top, area.right - area.left, area.bottom - area.top, face->Dc(),
         area.left, area.top, SRCCOPY);
  RestoreDC(dc, saved);
}

LRESULT EditColours(HWND edit, HDC dc) {
  const Theme& theme = *session.theme;
  const Colour text = IsWindowEnabled(edit) ? theme.edit.text : theme.disabledText;
  SetTextColor(dc, RGB(text.r, text.g, text.b));
  SetBkColor(dc, RGB(theme.edit.background.r, theme.edit.background.g, theme.edit.background.b));
  return reinterpret_cast<LRESULT>(session.editBrush);
}

// The border a client edge or a thin border would have: one line in the border colour, inside it
// one in the box's colour, both in the focus colour when the box has the focus.
void PaintEditBorder(HWND edit) {
  const Theme::Edit& colours = session.theme->edit;
  const LONG_PTR style = GetWindowLongPtrW(edit, GWL_STYLE);
  const int lines = ((GetWindowLongPtrW(edit, GWL_EXSTYLE) & WS_EX_CLIENTEDGE) ? 2 : 0) +
                    ((style & WS_BORDER) ? 1 : 0);
  const bool focused = GetFocus() == edit;
  HDC dc = GetWindowDC(edit);
  RECT outer;
  GetWindowRect(edit, &outer);
  OffsetRect(&outer, -outer.left, -outer.top);
  for (int line = 0; line < lines; ++line) {
    const Colour colour = line == 0              ? (focused ? colours.focusBorder : colours.border)
                          : focused && line == 1 ? colours.focusBorder
                                                 : colours.background;
    HBRUSH brush = CreateSolidBrush(RGB(colour.r, colour.g, colour.b));
    FrameRect(dc, &outer, brush);
    DeleteObject(brush);
    InflateRect(&outer, -1, -1);
  }
  ReleaseDC(edit, dc);
}

int TabAt(HWND tabs, LPARAM point) {
  TCHITTESTINFO hit{{static_cast<short>(LOWORD(point)), static_cast<short>(HIWORD(point))}, 0};
  return static_cast<int>(SendMessageW(tabs, TCM_HITTEST, 0, reinterpret_cast<LPARAM>(&hit)));
}

// Paints the part of the control that shows the pointer again: a tab control's tabs, or the whole
// of another control.
void Refresh(HWND window) {
  RECT area;
  GetClientRect(window, &area);
  const Skinned* skinned = Find(window);
  if (skinned != nullptr && skinned->family == Family::Tabs) {
    RECT tab{};
    SendMessageW(window, TCM_GETITEMRECT, 0, reinterpret_cast<LPARAM>(&tab));
    area.bottom = tab.bottom + 1;
  }
  InvalidateRect(window, &area, FALSE);
}

void Hover(HWND window, int tab) {
  if (session.hot == window && session.hotTab == tab) return;
  const HWND previous = session.hot;
  session.hot = window;
  session.hotTab = tab;
  TRACKMOUSEEVENT track{sizeof(track), TME_LEAVE, window, 0};
  TrackMouseEvent(&track);
  if (previous != nullptr && previous != window) Refresh(previous);
  Refresh(window);
}

// The system's button and label controls draw themselves straight onto the screen when their
// state or text changes. Handling these messages with drawing turned off, then repainting, keeps
// that from showing the system's look for a moment. They change only what the control looks like,
// so nothing the program does while they run shows or hides the control.
bool DrawsAtOnce(Family family, UINT message) {
  switch (message) {
    case WM_ENABLE:
      // The tab control does not repaint for it at all.
      return family == Family::Button || family == Family::Label || family == Family::Tabs;
    case WM_SETTEXT:
    case WM_SETFONT:
    case WM_UPDATEUISTATE:
      return family == Family::Button || family == Family::Label;
    case WM_SETFOCUS:
    case WM_KILLFOCUS:
    case BM_SETCHECK:
    case BM_SETSTATE:
    case BM_SETSTYLE:
    case WM_MOUSELEAVE:
      return family == Family::Button;
    default:
      return false;
  }
}

LRESULT Quietly(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  if (!(GetWindowLongPtrW(window, GWL_STYLE) & WS_VISIBLE))
    return DefSubclassProc(window, message, wParam, lParam);
  DefSubclassProc(window, WM_SETREDRAW, FALSE, 0);
  const LRESULT result = DefSubclassProc(window, message, wParam, lParam);
  DefSubclassProc(window, WM_SETREDRAW, TRUE, 0);
  InvalidateRect(window, nullptr, FALSE);
  return result;
}

// An edit box draws a changed selection at once in the system's colours; it is painted again
// in the skin's.
LRESULT WithSelectionRepainted(HWND edit, UINT message, WPARAM wParam, LPARAM lParam) {
  DWORD before[2] = {};
  SendMessageW(edit, EM_GETSEL, reinterpret_cast<WPARAM>(&before[0]),
               reinterpret_cast<LPARAM>(&before[1]));
  const LRESULT result = DefSubclassProc(edit, message, wParam, lParam);
  DWORD after[2] = {};
  SendMessageW(edit, EM_GETSEL, reinterpret_cast<WPARAM>(&after[0]),
               reinterpret_cast<LPARAM>(&after[1]));
  if (before[0] != after[0] || before[1] != after[1]) InvalidateRect(edit, nullptr, FALSE);
  return result;
}

void Forget(HWND window) {
  std::erase_if(session.windows, [window](const Skinned& s) { return s.window == window; });
  session.faces.Forget(window);
  if (session.hot == window) session.hot = nullptr;
  RemoveWindowSubclass(window, &SkinProcedure, kSkinSubclass);
}

LRESULT CALLBACK SkinProcedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam, UINT_PTR,
                               DWORD_PTR data) {
  const auto family = static_cast<Family>(data);
  switch (message) {
    case WM_NCDESTROY:
      Forget(window);
      return DefSubclassProc(window, message, wParam, lParam);
    case WM_CTLCOLOREDIT:
    case WM_CTLCOLORSTATIC:
      // Edit boxes ask their parent for their colours; read-only ones ask as labels do.
      if (const Skinned* child = Find(reinterpret_cast<HWND>(lParam));
          child != nullptr && child->family == Family::Edit) {
        return EditColours(child->window, reinterpret_cast<HDC>(wParam));
      }
      return DefSubclassProc(window, message, wParam, lParam);
    default:
      break;
  }
  if (family == Family::Top) {
    if (message == WM_ERASEBKGND) {
      PaintFace(window, reinterpret_cast<HDC>(wParam));
      return 1;
    }
    if (message == WM_SIZE) {
      // The face shades over the window's height: a new size changes what lies behind every
      // control.
      RedrawWindow(window, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_ALLCHILDREN);
    }
    return DefSubclassProc(window, message, wParam, lParam);
  }
  // Only these messages ask whether the skin paints the window: finding out sends a message to
  // the window itself.
  switch (message) {
    case WM_ERASEBKGND:
    case WM_PAINT:
    case WM_PRINTCLIENT:
    case WM_NCPAINT:
    case WM_MOUSEMOVE:
    case WM_MOUSELEAVE:
    case WM_SETFOCUS:
    case WM_KILLFOCUS:
    case EM_SETSEL:
      break;
    default:
      if (message >= WM_KEYFIRST && message <= WM_KEYLAST) break;
      if (message >= WM_MOUSEFIRST && message <= WM_MOUSELAST) break;
      if (DrawsAtOnce(family, message)) break;
      return DefSubclassProc(window, message, wParam, lParam);
  }
  if (!SkinPaints(window, family)) return DefSubclassProc(window, message, wParam, lParam);
  switch (message) {
    case WM_ERASEBKGND:
      if (family == Family::Panel)
        PaintControl(window, family, reinterpret_cast<HDC>(wParam), true);
      return 1;
    case WM_PAINT: {
      if (family == Family::Panel) break;
      PAINTSTRUCT paint;
      HDC dc = BeginPaint(window, &paint);
      PaintControl(window, family, dc, true);
      EndPaint(window, &paint);
      return 0;
    }
    case WM_PRINTCLIENT:
      if (family == Family::Panel) break;
      PaintControl(window, family, reinterpret_cast<HDC>(wParam), false);
      return 0;
    case WM_NCPAINT:
      if (family != Family::Edit) break;
      if (GetWindowLongPtrW(window, GWL_STYLE) & (WS_HSCROLL | WS_VSCROLL))
        DefSubclassProc(window, message, wParam, lParam);  // the scroll bars
      PaintEditBorder(window);
      return 0;
    case WM_MOUSEMOVE:
      if (family == Family::Tabs) {
        Hover(window, TabAt(window, lParam));
      } else if (family == Family::Button || family == Family::Custom) {
        Hover(window, -1);
      }
      break;
    case WM_MOUSELEAVE:
      if (session.hot == window) {
        session.hot = nullptr;
        session.hotTab = -1;
        Refresh(window);
      }
      break;
    default:
      break;
  }
  if (family == Family::Edit) {
    if (message == WM_SETFOCUS || message == WM_KILLFOCUS) {
      const LRESULT result = DefSubclassProc(window, message, wParam, lParam);
      RedrawWindow(window, nullptr, nullptr, RDW_FRAME | RDW_INVALIDATE);
      return result;
    }
    if ((message >= WM_KEYFIRST && message <= WM_KEYLAST) ||
        (message >= WM_MOUSEFIRST && message <= WM_MOUSELAST) || message == EM_SETSEL) {
      return WithSelectionRepainted(window, message, wParam, lParam);
    }
  }
  if (DrawsAtOnce(family, message)) return Quietly(window, message, wParam, lParam);
  return DefSubclassProc(window, message, wParam, lParam);
}

void Detach() {
  if (session.hook != nullptr) UnhookWindowsHookEx(session.hook);
  session.hook = nullptr;
  const std::vector<Skinned> windows = std::move(session.windows);
  session.windows.clear();
  for (const Skinned& skinned : windows) {
    RemoveWindowSubclass(skinned.window, &SkinProcedure, kSkinSubclass);
  }
  session.faces.Clear();
  if (session.editBrush != nullptr) DeleteObject(session.editBrush);
  session.editBrush = nullptr;
  session.theme.reset();
  session.hot = nullptr;
  for (const Skinned& skinned : windows) {
    RedrawWindow(skinned.window, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_FRAME);
  }
}

}  // namespace

void ApplyTheme(const Theme& theme) {
  session.theme = theme;
  session.faces.Clear();
  if (session.editBrush != nullptr) DeleteObject(session.editBrush);
  const Colour background = theme.edit.background;
  session.editBrush = CreateSolidBrush(RGB(background.r, background.g, background.b));
  const DWORD thread = GetCurrentThreadId();
  if (session.hook == nullptr || session.thread != thread) {
    if (session.hook != nullptr) UnhookWindowsHookEx(session.hook);
    session.hook = SetWindowsHookExW(WH_CBT, &CreationHook, session.module, thread);
    session.thread = thread;
  }
  EnumThreadWindows(thread, &AttachTree, 0);
  RepaintAll();
}

void ApplyAero(bool enabled) {
  session.aero = enabled;
  if (!session.theme) return;
  session.faces.Clear();
  RepaintAll();
}

}  // namespace qel::skin

// Unloading the library while the program runs on (reserved is null then) takes the skin off
// every window. At the end of the process nothing runs any more and nothing is undone.
extern "C" BOOL WINAPI DllMain(HINSTANCE instance, DWORD reason, LPVOID reserved) {
  if (reason == DLL_PROCESS_ATTACH) {
    qel::skin::session.module = instance;
    DisableThreadLibraryCalls(instance);
  } else if (reason == DLL_PROCESS_DETACH && reserved == nullptr) {
    qel::skin::Detach();
  }
  return TRUE;
}
