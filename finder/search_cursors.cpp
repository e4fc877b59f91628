#include "finder/search_cursors.h"

namespace qel {

SearchCursors& ModuleSearchCursors() {
  static SearchCursors cursors;
  return cursors;
}

void TakeCursorImage(std::shared_ptr<const PaletteImage>& image, const BitmapContext& context,
                     std::span<const std::uint8_t> imageBmp) {
  if (imageBmp.empty()) return;
  image = std::make_shared<const PaletteImage>(
      LoadPaletteImage(context, imageBmp).value_or(PaletteImage{}));
}

}  // namespace qel
