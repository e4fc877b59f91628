#include "platform/linux/font_warmup.h"

#include <fontconfig/fontconfig.h>

namespace qel {

FontWarmup::FontWarmup()
    : thread_([] {
        FcInit();
        // Listing the fonts pages in the caches the toolkit's font database reads next.
        FcPattern* pattern = FcPatternCreate();
        FcObjectSet* properties = FcObjectSetBuild(FC_FAMILY, FC_STYLE, FC_FILE, nullptr);
        FcFontSet* fonts = FcFontList(nullptr, pattern, properties);
        if (fonts != nullptr) FcFontSetDestroy(fonts);
        FcObjectSetDestroy(properties);
        FcPatternDestroy(pattern);
      }) {}

void FontWarmup::Wait() {
  if (thread_.joinable()) thread_.join();
}

}  // namespace qel
