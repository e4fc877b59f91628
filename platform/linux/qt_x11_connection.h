// The toolkit's own connection to the X server, for the few requests the view makes itself.
#pragma once

// Declared, not included: the X11 headers' macros clash with the toolkit's names.
typedef struct _XDisplay Display;
struct xcb_connection_t;

namespace qel {

// Null before the application object exists or when the toolkit does not run on X11.
Display* QtDisplay();
xcb_connection_t* QtConnection();

}  // namespace qel
