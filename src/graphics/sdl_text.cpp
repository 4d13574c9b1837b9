#include "graphics/sdl_text.h"

#include <SDL.h>
#include <SDL_ttf.h>

#include <string>

#include "graphics/sdl_library.h"

namespace tovik {

namespace {

constexpr size_t kMostFonts = 8;

// The byte offset of the character after the first `count` characters.
size_t skip_characters(std::string_view text, int count) {
  size_t at = 0;
  for (; at < text.size() && count > 0; --count) {
    ++at;
    while (at < text.size() && (uint8_t(text[at]) & 0xC0) == 0x80) ++at;
  }
  return at;
}

} // namespace

std::unique_ptr<SdlText> SdlText::open(std::string &why) {
  const TtfLibrary *ttf = ttf_library(why);
  if (!ttf) return nullptr;
  if (ttf->Init() != 0) {
    why = std::string("Could not start the text library: ") +
          sdl_library()->GetError();
    return nullptr;
  }
  return std::unique_ptr<SdlText>(new SdlText());
}

SdlText::~SdlText() {
  std::string unused;
  const TtfLibrary *ttf = ttf_library(unused);
  for (auto &[size, font] : fonts_) ttf->CloseFont(font);
  ttf->Quit();
}

TTF_Font *SdlText::font(int pixel_size, std::string &why) {
  std::string unused;
  const TtfLibrary *ttf = ttf_library(unused);
  if (auto found = fonts_.find(pixel_size); found != fonts_.end())
    return found->second;
  if (fonts_.size() >= kMostFonts) {
    for (auto &[size, font] : fonts_) ttf->CloseFont(font);
    fonts_.clear();
  }
  TTF_Font *opened = ttf->OpenFont(kTextFont, pixel_size);
  if (!opened) {
    why = std::string("Could not open the font for text (Debian package "
                      "fonts-dejavu-core): ") +
          sdl_library()->GetError();
    return nullptr;
  }
  fonts_.emplace(pixel_size, opened);
  return opened;
}

std::string SdlText::draw(SDL_Renderer *renderer, std::string_view text,
                          int32_t x, int32_t y, int pixel_size, int width,
                          int height) {
  std::string why;
  TTF_Font *face = font(pixel_size, why);
  if (!face) return why;
  std::string unused;
  const TtfLibrary &ttf = *ttf_library(unused);
  const SdlLibrary &sdl = *sdl_library();
  if (x >= width || y >= height || int64_t(y) + ttf.FontHeight(face) <= 0)
    return {};
  // Only the visible characters are rendered, so a long text or one far to
  // the left costs what shows, not what it would measure. SDL_ttf takes C
  // strings, hence the copies.
  std::string rest(text);
  int extent = 0, count = 0;
  if (x < 0) {
    // Characters wholly left of the window are dropped and the rest moved
    // right by their width.
    if (ttf.MeasureUTF8(face, rest.c_str(), -x, &extent, &count) != 0)
      return {};
    rest.erase(0, skip_characters(rest, count));
    x += extent;
  }
  if (ttf.MeasureUTF8(face, rest.c_str(), width - x, &extent, &count) != 0)
    return {};
  // The one character cut by the right edge still shows in part.
  rest.resize(skip_characters(rest, count + 1));
  if (rest.empty()) return {};

  SDL_Color colour{255, 255, 255, 255};
  sdl.GetRenderDrawColor(renderer, &colour.r, &colour.g, &colour.b,
                         &colour.a);
  SDL_Surface *surface = ttf.RenderUTF8_Blended(face, rest.c_str(), colour);
  // A text of nothing visible (only spaces, unknown glyphs) has no image.
  if (!surface) return {};
  SDL_Texture *texture = sdl.CreateTextureFromSurface(renderer, surface);
  if (texture) {
    SDL_Rect where{x, y, surface->w, surface->h};
    sdl.RenderCopy(renderer, texture, nullptr, &where);
    sdl.DestroyTexture(texture);
  }
  sdl.FreeSurface(surface);
  return {};
}

} // namespace tovik
