#pragma once
// Race-screen text with SDL_ttf: DejaVu Sans Bold Oblique at 96 dpi, drawn
// onto an RGB565 surface with its anti-aliased edges blended into what is
// already there. The same labels are drawn every tick, so each rendered string
// is kept (as coverage only; the colour is applied while drawing).
#include <cstdint>
#include <map>
#include <string>
#include <unordered_map>
#include <vector>

#include "platform/Display.h"

typedef struct _TTF_Font TTF_Font;

namespace rodavia {

class SdlText : public TextRenderer {
 public:
  // Throws std::runtime_error when SDL_ttf or every candidate font fails.
  SdlText();
  ~SdlText() override;
  SdlText(const SdlText&) = delete;
  SdlText& operator=(const SdlText&) = delete;

  void Draw(Surface16& to, int x, int y, const std::string& utf8, uint32_t color,
            int points) override;

 private:
  struct Coverage {
    int width = 0, height = 0;
    std::vector<uint8_t> alpha;  // 0 = untouched, 255 = solid text colour
  };
  const Coverage& Rendered(const std::string& utf8, int points);
  TTF_Font* Font(int points);

  std::string path_;
  int style_ = 0;  // styles added when only a plain face was found
  std::map<int, TTF_Font*> fonts_;
  std::unordered_map<std::string, Coverage> cache_;
};

}  // namespace rodavia
