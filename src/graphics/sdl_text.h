// Text for the SDL canvas, drawn with SDL_ttf in DejaVu Sans. The library
// is loaded on the first text a script draws, as SDL is on its first
// window, so the interpreter starts and runs without either installed.
#pragma once

#include <cstdint>
#include <map>
#include <memory>
#include <string>
#include <string_view>

struct SDL_Renderer;
struct _TTF_Font;

namespace tovik {

// The font file, from Debian's fonts-dejavu-core.
inline constexpr const char *kTextFont =
    "/usr/share/fonts/truetype/dejavu/DejaVuSans.ttf";

class SdlText {
public:
  // Null, with the reason in `why`, when the text library cannot be loaded
  // or started.
  static std::unique_ptr<SdlText> open(std::string &why);
  // Fonts first, then the library's reference.
  ~SdlText();
  SdlText(const SdlText &) = delete;
  SdlText &operator=(const SdlText &) = delete;

  // Draws `text` in the renderer's draw colour, top left at x, y, cut to
  // a window of `width` by `height`. Empty when drawn (or wholly outside);
  // otherwise why not, such as a font file that cannot be opened.
  std::string draw(SDL_Renderer *renderer, std::string_view text, int32_t x,
                   int32_t y, int pixel_size, int width, int height);

private:
  SdlText() = default;
  _TTF_Font *font(int pixel_size, std::string &why);

  // One opened font per size in use; a script drawing in ever new sizes
  // starts the collection afresh rather than growing it without end.
  std::map<int, _TTF_Font *> fonts_;
};

} // namespace tovik
