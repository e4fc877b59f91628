// The skin library's two operations, with C linkage, as programs call them.
#include <cstddef>
#include <optional>
#include <span>

#include "skin/library/skin_backend.h"

// QEL_SKIN_API marks an export; the build defines it for the platform.

// Attaches the skin file data[0, length). The text and the three numbers are taken for callers
// that pass them and mean nothing to our skins. 1 when the skin is attached; 0, the look left as
// it was, when there is no skin or the bytes are not one of ours.
extern "C" QEL_SKIN_API int SkinH_AttachRes(const unsigned char* data, int length, const char*, int,
                                            int, int) {
  if (data == nullptr || length <= 0) return 0;
  const std::optional<qel::skin::Theme> theme =
      qel::skin::ParseSkin(std::span(data, static_cast<std::size_t>(length)));
  if (!theme) return 0;
  qel::skin::ApplyTheme(*theme);
  return 1;
}

// 1 shows the aero look, 0 the plain one; always 1.
extern "C" QEL_SKIN_API int SkinH_SetAero(int enable) {
  qel::skin::ApplyAero(enable != 0);
  return 1;
}
