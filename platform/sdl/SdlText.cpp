#include "platform/sdl/SdlText.h"

#include <SDL2/SDL.h>
#include <SDL2/SDL_ttf.h>

#include <algorithm>
#include <filesystem>
#include <stdexcept>

namespace rodavia {

namespace {

struct FontChoice {
  const char* path;
  int style;
};

// The race face first; plain faces get the missing styles synthesised.
constexpr FontChoice kFonts[] = {
    {"/usr/share/fonts/truetype/dejavu/DejaVuSans-BoldOblique.ttf", TTF_STYLE_NORMAL},
    {"/usr/share/fonts/TTF/DejaVuSans-BoldOblique.ttf", TTF_STYLE_NORMAL},
    {"/usr/share/fonts/dejavu/DejaVuSans-BoldOblique.ttf", TTF_STYLE_NORMAL},
    {"/usr/share/fonts/truetype/dejavu/DejaVuSans-Bold.ttf", TTF_STYLE_ITALIC},
    {"/usr/share/fonts/truetype/dejavu/DejaVuSans.ttf", TTF_STYLE_BOLD | TTF_STYLE_ITALIC},
    {"/usr/share/fonts/truetype/liberation/LiberationSans-BoldItalic.ttf", TTF_STYLE_NORMAL},
    {"/usr/share/fonts/truetype/freefont/FreeSansBoldOblique.ttf", TTF_STYLE_NORMAL},
};

// Strings seen by a long session (lap times, chat lines) are bounded by
// starting the cache afresh when it grows this large.
constexpr size_t kCacheLimit = 1024;

constexpr int kDpi = 96;

}  // namespace

SdlText::SdlText() {
  if (TTF_Init() != 0) throw std::runtime_error(std::string("No se puede iniciar SDL_ttf: ") + TTF_GetError());
  for (const FontChoice& f : kFonts) {
    if (!std::filesystem::exists(f.path)) continue;
    path_ = f.path;
    style_ = f.style;
    if (Font(12)) return;
  }
  TTF_Quit();
  throw std::runtime_error(
      "No se encuentra la fuente DejaVu Sans Bold Oblique (paquete fonts-dejavu-extra)");
}

SdlText::~SdlText() {
  for (auto& [points, font] : fonts_) TTF_CloseFont(font);
  TTF_Quit();
}

TTF_Font* SdlText::Font(int points) {
  points = std::max(points, 1);
  auto it = fonts_.find(points);
  if (it != fonts_.end()) return it->second;
  TTF_Font* font = TTF_OpenFontDPI(path_.c_str(), points, kDpi, kDpi);
  if (!font) return nullptr;
  TTF_SetFontStyle(font, style_);
  fonts_[points] = font;
  return font;
}

const SdlText::Coverage& SdlText::Rendered(const std::string& utf8, int points) {
  std::string key = std::to_string(points) + '\x1f' + utf8;
  auto it = cache_.find(key);
  if (it != cache_.end()) return it->second;
  if (cache_.size() >= kCacheLimit) cache_.clear();

  Coverage c;
  TTF_Font* font = Font(points);
  SDL_Surface* s = font && !utf8.empty() ? TTF_RenderUTF8_Blended(font, utf8.c_str(), {255, 255, 255, 255})
                                        : nullptr;
  if (s) {
    SDL_Surface* argb = SDL_ConvertSurfaceFormat(s, SDL_PIXELFORMAT_ARGB8888, 0);
    SDL_FreeSurface(s);
    if (argb) {
      c.width = argb->w;
      c.height = argb->h;
      c.alpha.resize(size_t(c.width) * c.height);
      for (int y = 0; y < c.height; ++y) {
        auto* row = reinterpret_cast<const uint32_t*>(static_cast<const uint8_t*>(argb->pixels) + y * argb->pitch);
        for (int x = 0; x < c.width; ++x) c.alpha[size_t(y) * c.width + x] = uint8_t(row[x] >> 24);
      }
      SDL_FreeSurface(argb);
    }
  }
  return cache_.emplace(std::move(key), std::move(c)).first->second;
}

void SdlText::Draw(Surface16& to, int x, int y, const std::string& utf8, uint32_t color, int points) {
  const Coverage& c = Rendered(utf8, points);
  const int x0 = std::max(x, 0), x1 = std::min(x + c.width, to.width());
  const int y0 = std::max(y, 0), y1 = std::min(y + c.height, to.height());
  if (x0 >= x1 || y0 >= y1) return;

  const uint16_t solid = ColorRefTo565(color);
  const int sr = solid >> 11, sg = (solid >> 5) & 63, sb = solid & 31;
  for (int py = y0; py < y1; ++py) {
    const uint8_t* a = c.alpha.data() + size_t(py - y) * c.width + (x0 - x);
    uint16_t* d = to.row(py) + x0;
    for (int px = x0; px < x1; ++px, ++a, ++d) {
      const int k = *a;
      if (k == 0) continue;
      if (k == 255) {
        *d = solid;
        continue;
      }
      const int dr = *d >> 11, dg = (*d >> 5) & 63, db = *d & 31;
      const int r = (sr * k + dr * (255 - k) + 127) / 255;
      const int g = (sg * k + dg * (255 - k) + 127) / 255;
      const int b = (sb * k + db * (255 - k) + 127) / 255;
      *d = uint16_t((r << 11) | (g << 5) | b);
    }
  }
}

}  // namespace rodavia
