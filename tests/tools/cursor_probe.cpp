// Prints "hidden" when the X pointer is invisible where it stands, else "shown".
#include <X11/Xlib.h>
#include <X11/extensions/Xfixes.h>

#include <cstdio>

int main() {
  Display* display = XOpenDisplay(nullptr);
  if (display == nullptr) return 2;
  XFixesCursorImage* image = XFixesGetCursorImage(display);
  if (image == nullptr) return 2;
  bool visible = false;
  for (int i = 0; i < image->width * image->height && !visible; ++i)
    visible = (image->pixels[i] >> 24) != 0;  // ARGB, whatever the width of the long
  std::puts(visible ? "shown" : "hidden");
  XFree(image);
  XCloseDisplay(display);
  return 0;
}
