// The SDL tests run without a display or a sound card: offscreen video and
// OpenAL's silent driver, unless the caller chose others.
#include <cstdlib>

namespace {
const bool kEntorno = [] {
  setenv("SDL_VIDEODRIVER", "offscreen", 0);
  setenv("SDL_AUDIODRIVER", "dummy", 0);
  setenv("ALSOFT_DRIVERS", "null", 0);
  return true;
}();
}  // namespace
