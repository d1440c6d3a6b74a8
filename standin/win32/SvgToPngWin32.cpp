// PNG pictures come from rsvg-convert, a Linux program. A Windows build of
// the stand-in host (run under Wine) has no converter it can wait for: Wine
// starts a Linux program detached, with no exit code to read. So the Windows
// build writes SVG only, as the contract allows ("no converter").

#include "standin/Scene.h"

namespace standin {

PngResult convertSvgToPng(const std::string& /*svgPath*/,
                          const std::string& /*pngPath*/) {
  return PngResult::kNoConverter;
}

}  // namespace standin
