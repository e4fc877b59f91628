// The least a whole-screen colour search started as a process can cost on this X server: connect,
// read the root window once through a shared-memory segment mapped in advance, look at every
// pixel, exit. No toolkit, no conversion, no output. Exit status 0 when the colour (RRGGBB, the
// only argument) is on the screen, 1 when not, 2 when the screen cannot be read that way.
#include <X11/Xlib.h>
#include <X11/Xutil.h>
#include <X11/extensions/XShm.h>
#include <sys/ipc.h>
#include <sys/mman.h>
#include <sys/shm.h>

#include <cstddef>
#include <cstdint>
#include <cstdlib>

int main(int argc, char** argv) {
  if (argc != 2) return 2;
  const auto wanted = static_cast<std::uint32_t>(std::strtoul(argv[1], nullptr, 16));
  Display* display = XOpenDisplay(nullptr);
  if (display == nullptr) return 2;
  const int screen = DefaultScreen(display);
  XShmSegmentInfo segment{};
  XImage* image = XShmCreateImage(
      display, DefaultVisual(display, screen), static_cast<unsigned>(DefaultDepth(display, screen)),
      ZPixmap, nullptr, &segment, static_cast<unsigned>(DisplayWidth(display, screen)),
      static_cast<unsigned>(DisplayHeight(display, screen)));
  if (image == nullptr || image->bits_per_pixel != 32) return 2;
  const std::size_t size =
      static_cast<std::size_t>(image->bytes_per_line) * static_cast<std::size_t>(image->height);
  segment.shmid = shmget(IPC_PRIVATE, size, IPC_CREAT | 0600);
  if (segment.shmid < 0) return 2;
  segment.shmaddr = image->data = static_cast<char*>(shmat(segment.shmid, nullptr, 0));
  segment.readOnly = False;
  const bool attached =
      segment.shmaddr != reinterpret_cast<char*>(-1) && XShmAttach(display, &segment);
  shmctl(segment.shmid, IPC_RMID, nullptr);
  if (!attached) return 2;
  madvise(segment.shmaddr, size, MADV_POPULATE_WRITE);
  if (!XShmGetImage(display, RootWindow(display, screen), image, 0, 0, AllPlanes)) return 2;
  const auto* pixels = reinterpret_cast<const std::uint32_t*>(image->data);
  bool found = false;
  for (std::size_t i = 0; i < size / 4; ++i) found |= (pixels[i] & 0xFFFFFF) == wanted;
  return found ? 0 : 1;
}
