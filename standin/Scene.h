// What a stand-in view drew: polylines in drawing order, each with the pen it
// was drawn with, built the way a pen-plotting host builds them from the
// point callbacks' results. A line begins at a point (result 1), continues
// from the pen's current position (result 2), and the pen moves without
// drawing on a move-to. The pen's position survives skipped points, so a
// continue after skipped points draws from the last point drawn unless a
// move-to came first.
//
// A scene either records every polyline or, for measuring the module's own
// cost, only counts them.

#ifndef MORVANE_STANDIN_SCENE_H_
#define MORVANE_STANDIN_SCENE_H_

#include <cstdint>
#include <string>
#include <vector>

#include "host/PluginIf.h"

namespace standin {

struct ScenePolyline {
  uint32_t colour;  // 0x00BBGGRR
  double width;     // pixels
  std::vector<tagGEOPOS> points;
};

// A labelled point laid over a map: position in degrees, name in Shift-JIS.
struct SceneLabel {
  tagGEOPOS position;
  std::string name;
};

// The area a drawing shows, degrees.
struct GeoExtent {
  double west;
  double south;
  double east;
  double north;
};

class Scene {
 public:
  // Counting keeps the totals only (no polyline is stored).
  void setCounting(bool counting) { counting_ = counting; }
  bool counting() const { return counting_; }

  // Forgets the lines, the totals and the pen position; keeps the mode.
  void clear();

  // The pen for the following lines. A line running when the pen changes
  // goes on from the same position in a new polyline.
  void setPen(uint32_t colour, double width);

  void beginLine(const tagGEOPOS& at);
  void continueLine(const tagGEOPOS& to);
  void moveTo(const tagGEOPOS& at);

  const std::vector<ScenePolyline>& polylines() const { return polylines_; }
  int64_t lineCount() const { return lineCount_; }
  // Vertices of all polylines, the start of each line included.
  int64_t pointCount() const { return pointCount_; }
  // Continues that found no pen position to draw from (started at the point).
  int64_t strayContinues() const { return strayContinues_; }

 private:
  void startPolyline(const tagGEOPOS& at);

  bool counting_ = false;
  uint32_t colour_ = 0;
  double width_ = 1.0;
  bool penKnown_ = false;
  tagGEOPOS pen_ = {0.0, 0.0};
  // The pen stands at the end of the newest polyline.
  bool lineOpen_ = false;
  std::vector<ScenePolyline> polylines_;
  int64_t lineCount_ = 0;
  int64_t pointCount_ = 0;
  int64_t strayContinues_ = 0;
};

// Writes the scene as an SVG picture of the extent: a plate carree scaled by
// the cosine of the middle latitude (north up), at most maxPixels wide or
// high, every polyline in drawing order with its colour (#RRGGBB) and width,
// then the labels: every dot, and each name in UTF-8 beside its dot where
// placeLabels (standin/LabelPlacement.h) finds it room, in the order given;
// a name without room is still written, hidden (visibility="hidden") and
// marked class="unplaced". Lines beyond the extent are clipped by the
// picture's edge. The file is replaced only when the whole picture was
// written (a new file beside it, renamed over it); false when it could not
// be, with whatever was at path left as it was, and for an extent without a
// picture (not finite, empty, too wide to measure).
bool writeSceneSvg(const Scene& scene, const GeoExtent& extent,
                   const std::string& path,
                   const std::vector<SceneLabel>& labels = {},
                   int32_t maxPixels = 1200);

// The colour value 0x00BBGGRR as "#RRGGBB".
std::string svgColour(uint32_t colour);

// Converts an SVG file to PNG with rsvg-convert when it is found in PATH.
// The converter writes a new file beside pngPath, which replaces pngPath
// only when the converter succeeded; otherwise pngPath is as it was. An SVG
// the converter cannot reach (in a tree in memory) counts as no converter.
enum class PngResult { kWritten, kNoConverter, kFailed };
PngResult convertSvgToPng(const std::string& svgPath,
                          const std::string& pngPath);

}  // namespace standin

#endif  // MORVANE_STANDIN_SCENE_H_
