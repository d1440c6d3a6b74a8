#include <cmath>
#include <cstdarg>
#include <cstdio>

#include "platform/FileSystem.h"
#include "platform/ReplacingFile.h"
#include "platform/Sjis.h"
#include "standin/LabelPlacement.h"
#include "standin/Scene.h"

namespace standin {
namespace {

// printf onto the end of out.
void appendf(std::string& out, const char* format, ...) {
  char small[256];
  va_list args;
  va_start(args, format);
  int n = std::vsnprintf(small, sizeof small, format, args);
  va_end(args);
  if (n < 0) return;
  if (static_cast<size_t>(n) < sizeof small) {
    out.append(small, static_cast<size_t>(n));
    return;
  }
  size_t at = out.size();
  out.resize(at + static_cast<size_t>(n) + 1);
  va_start(args, format);
  std::vsnprintf(&out[at], static_cast<size_t>(n) + 1, format, args);
  va_end(args);
  out.resize(at + static_cast<size_t>(n));
}

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

// The text-anchor attribute of an alignment; start is SVG's own default.
const char* anchorAttribute(LabelAnchor anchor) {
  switch (anchor) {
    case LabelAnchor::kMiddle: return " text-anchor=\"middle\"";
    case LabelAnchor::kEnd: return " text-anchor=\"end\"";
    case LabelAnchor::kStart: break;
  }
  return "";
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
  // An extent too wide to measure (spans beyond the doubles) has no picture.
  if (!std::isfinite(width) || !std::isfinite(height) ||
      !std::isfinite(proj.west) || !std::isfinite(proj.north)) {
    return false;
  }

  std::string text;
  std::string* out = &text;
  appendf(*out,
               "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n"
               "<svg xmlns=\"http://www.w3.org/2000/svg\" width=\"%.0f\" "
               "height=\"%.0f\" viewBox=\"0 0 %.0f %.0f\">\n",
               width, height, width, height);
  appendf(*out, "<desc>extent %.9g %.9g %.9g %.9g (west south east north); "
               "%lld lines, %lld points</desc>\n",
               extent.west, extent.south, extent.east, extent.north,
               static_cast<long long>(scene.lineCount()),
               static_cast<long long>(scene.pointCount()));
  appendf(*out, "<rect width=\"100%%\" height=\"100%%\" fill=\"#10243A\"/>\n");
  appendf(*out, "<g fill=\"none\" stroke-linejoin=\"round\" "
                    "stroke-linecap=\"round\">\n");
  for (const ScenePolyline& line : scene.polylines()) {
    appendf(*out, "<polyline stroke=\"%s\" stroke-width=\"%g\" points=\"",
                 svgColour(line.colour).c_str(), line.width);
    const char* gap = "";
    for (const tagGEOPOS& p : line.points) {
      appendf(*out, "%s%.2f,%.2f", gap, proj.x(p.longitude),
                   proj.y(p.latitude));
      gap = " ";
    }
    appendf(*out, "\"/>\n");
  }
  appendf(*out, "</g>\n");
  if (!labels.empty()) {
    // The names are Japanese: a Japanese face first (IPAGothic is Debian's
    // fonts-ipafont-gothic), so that a converter does not fall back to a
    // face without the glyphs and draw empty boxes.
    appendf(*out, "<g font-family=\"IPAGothic, 'IPAPGothic', "
                      "'MS PGothic', sans-serif\" font-size=\"%g\" "
                      "fill=\"#FFFFFF\">\n", kLabelFontSize);
    std::vector<LabelRequest> requests;
    requests.reserve(labels.size());
    for (const SceneLabel& label : labels) {
      requests.push_back({proj.x(label.position.longitude),
                          proj.y(label.position.latitude),
                          estimateTextWidth(label.name, kLabelFontSize)});
    }
    std::vector<LabelPlacement> placements =
        placeLabels(requests, width, height);
    // Every dot, then every name over the dots (a name may cover the dot of
    // a later one). A name with no room is written too, hidden and marked,
    // so that what reads the file still finds it.
    for (const LabelRequest& r : requests) {
      appendf(*out,
              "<circle cx=\"%.2f\" cy=\"%.2f\" r=\"%g\" fill=\"#FF5050\"/>\n",
              r.x, r.y, kLabelDotRadius);
    }
    // A halo of the sea's colour round each name keeps it readable where it
    // crosses a coastline or a later name's dot.
    appendf(*out, "<g stroke=\"#10243A\" stroke-width=\"3\" "
                  "stroke-linejoin=\"round\" paint-order=\"stroke\">\n");
    for (size_t i = 0; i < labels.size(); ++i) {
      const LabelPlacement& at = placements[i];
      appendf(*out, "<text x=\"%.2f\" y=\"%.2f\"%s%s>%s</text>\n", at.x,
              at.y, anchorAttribute(at.anchor),
              at.shown ? "" : " class=\"unplaced\" visibility=\"hidden\"",
              xmlEscaped(sjisToUtf8(labels[i].name)).c_str());
    }
    appendf(*out, "</g>\n");
    appendf(*out, "</g>\n");
  }
  appendf(*out, "</svg>\n");
  // Written whole or not at all: an SVG cut short by a full disk would
  // still open, as a picture missing its end.
  const std::string module = modulePath(path);
  if (module.empty()) return false;
  ReplacingFile file(module);
  return file.write(text) && file.commit();
}

}  // namespace standin
