#include <cmath>
#include <cstdio>
#include <memory>

#include "platform/Sjis.h"
#include "standin/Scene.h"

namespace standin {
namespace {

struct FileCloser {
  void operator()(FILE* f) const {
    if (f != nullptr) std::fclose(f);
  }
};

std::string xmlEscaped(const std::string& text) {
  std::string out;
  for (char c : text) {
    switch (c) {
      case '&': out += "&amp;"; break;
      case '<': out += "&lt;"; break;
      case '>': out += "&gt;"; break;
      case '"': out += "&quot;"; break;
      default:
        // Control characters are not allowed in XML 1.0 text.
        if (static_cast<unsigned char>(c) < 0x20 && c != '\t' && c != '\n') {
          out += ' ';
        } else {
          out += c;
        }
    }
  }
  return out;
}

// Degrees to picture coordinates.
struct Projection {
  double west, north, xScale, yScale;
  double x(double longitude) const { return (longitude - west) * xScale; }
  double y(double latitude) const { return (north - latitude) * yScale; }
};

}  // namespace

std::string svgColour(uint32_t colour) {
  char text[8];
  std::snprintf(text, sizeof text, "#%02X%02X%02X", colour & 0xFFu,
                (colour >> 8) & 0xFFu, (colour >> 16) & 0xFFu);
  return text;
}

bool writeSceneSvg(const Scene& scene, const GeoExtent& extent,
                   const std::string& path,
                   const std::vector<SceneLabel>& labels, int32_t maxPixels) {
  double lonSpan = extent.east - extent.west;
  double latSpan = extent.north - extent.south;
  if (!(lonSpan > 0.0 && latSpan > 0.0) || maxPixels < 16) return false;
  double middle = (extent.north + extent.south) / 2.0 * 3.14159265358979323846 / 180.0;
  double aspect = std::fmax(std::cos(middle), 0.05);
  // Pixels per degree of latitude, so that the longer side is maxPixels.
  double scale = maxPixels / std::fmax(lonSpan * aspect, latSpan);
  Projection proj = {extent.west, extent.north, scale * aspect, scale};
  double width = std::ceil(lonSpan * proj.xScale);
  double height = std::ceil(latSpan * proj.yScale);

  std::unique_ptr<FILE, FileCloser> file(std::fopen(path.c_str(), "wb"));
  if (!file) return false;
  FILE* out = file.get();
  std::fprintf(out,
               "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n"
               "<svg xmlns=\"http://www.w3.org/2000/svg\" width=\"%.0f\" "
               "height=\"%.0f\" viewBox=\"0 0 %.0f %.0f\">\n",
               width, height, width, height);
  std::fprintf(out, "<desc>extent %.9g %.9g %.9g %.9g (west south east north); "
               "%lld lines, %lld points</desc>\n",
               extent.west, extent.south, extent.east, extent.north,
               static_cast<long long>(scene.lineCount()),
               static_cast<long long>(scene.pointCount()));
  std::fprintf(out, "<rect width=\"100%%\" height=\"100%%\" fill=\"#10243A\"/>\n");
  std::fprintf(out, "<g fill=\"none\" stroke-linejoin=\"round\" "
                    "stroke-linecap=\"round\">\n");
  for (const ScenePolyline& line : scene.polylines()) {
    std::fprintf(out, "<polyline stroke=\"%s\" stroke-width=\"%g\" points=\"",
                 svgColour(line.colour).c_str(), line.width);
    const char* gap = "";
    for (const tagGEOPOS& p : line.points) {
      std::fprintf(out, "%s%.2f,%.2f", gap, proj.x(p.longitude),
                   proj.y(p.latitude));
      gap = " ";
    }
    std::fprintf(out, "\"/>\n");
  }
  std::fprintf(out, "</g>\n");
  if (!labels.empty()) {
    // The names are Japanese: a Japanese face first (IPAGothic is Debian's
    // fonts-ipafont-gothic), so that a converter does not fall back to a
    // face without the glyphs and draw empty boxes.
    std::fprintf(out, "<g font-family=\"IPAGothic, 'IPAPGothic', "
                      "'MS PGothic', sans-serif\" font-size=\"12\" "
                      "fill=\"#FFFFFF\">\n");
    for (const SceneLabel& label : labels) {
      double x = proj.x(label.position.longitude);
      double y = proj.y(label.position.latitude);
      std::fprintf(out,
                   "<circle cx=\"%.2f\" cy=\"%.2f\" r=\"2.5\" fill=\"#FF5050\"/>"
                   "<text x=\"%.2f\" y=\"%.2f\">%s</text>\n",
                   x, y, x + 4.0, y - 4.0,
                   xmlEscaped(sjisToUtf8(label.name)).c_str());
    }
    std::fprintf(out, "</g>\n");
  }
  std::fprintf(out, "</svg>\n");
  bool written = std::ferror(out) == 0;
  return std::fclose(file.release()) == 0 && written;
}

}  // namespace standin
