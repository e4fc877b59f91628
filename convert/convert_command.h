// The "Go" button of the conversion page: reads the colour from the first filled input form and
// writes the other two forms into the output group.
#pragma once

#include "platform/platform.h"

namespace qel {

void OnConvertClick(Form& form);

}  // namespace qel
