// The face of the skinned top-level windows: the theme's gradient, its tile and the aero band,
// made once for each window at its size, and shown behind every control that has no face of its
// own.
#pragma once

#include <windows.h>

#include <memory>
#include <vector>

#include "skin/library/win32/win32_canvas.h"
#include "skin/skin_format.h"

namespace qel::skin {

// Paints the face of a client area of the canvas's size.
void ComposeFace(const Theme& theme, bool aero, Canvas& canvas);

class FaceCache {
 public:
  // The face of `root`'s client area as it is now, or null when the system refuses the memory.
  Canvas* Of(HWND root, const Theme& theme, bool aero);
  void Forget(HWND root);
  void Clear() { faces_.clear(); }

 private:
  struct Entry {
    HWND root;
    std::unique_ptr<Canvas> face;
  };
  std::vector<Entry> faces_;
};

// `root`'s face under area of `window`'s client area, copied to the same place of `canvas`
// (which covers that client area).
void CopyFaceBehind(const Canvas& face, HWND root, HWND window, const RECT& area, Canvas& canvas);

}  // namespace qel::skin
