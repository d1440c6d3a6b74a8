// morvane-host draw: draws a line data set through the module's 2D layer
// in the stand-in host's map view, and optionally through its 3D layer in
// the stand-in 3D view, and writes what each view drew as SVG (and PNG
// beside it when rsvg-convert is at hand).
//
//   draw [FILE.e00|FILE.bin] --svg OUT.svg [--extent W,S,E,N] [--datum N]
//        [--3d OUT3D.svg --eye LAT,LON --distance KM]
//
// Without FILE the draw is one whole run of the host with the module loaded:
// its first 2D draw brings back the data sets open at the last shutdown, and
// the views show what the module's layers draw of them.
//
// The extent is in degrees of the view's datum (0 WGS 84, 1 Tokyo); by
// default the data set's bounds with a margin. The place names of the
// host's database (morvane-host names) that lie in the view are laid over
// the 2D picture. The 3D view is written seen from above, around the eye.
// Prints one line:
//
//   lines=L points=P [lines3d=L points3d=P]

#include <algorithm>
#include <cctype>
#include <cerrno>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <string>
#include <vector>

#include "dataset/LineDataSet.h"
#include "draw/Draw2d.h"
#include "draw/Draw3d.h"
#include "platform/FileSystem.h"
#include "platform/Sjis.h"
#include "standin/Geodesy.h"
#include "standin/Scene.h"
#include "standin/StandinNameDb.h"
#include "standin/StandinView2d.h"
#include "standin/StandinView3d.h"
#include "tools/Commands.h"
#include "standin/StandinLayers.h"
#include "tools/DataSetFile.h"
#include "tools/ToolSession.h"
#include "ui/ProgressDialog.h"

namespace {

const char kUsage[] =
    "usage: morvane-host draw [FILE.e00|FILE.bin] --svg OUT.svg "
    "[--extent W,S,E,N] [--datum N] [--3d OUT3D.svg --eye LAT,LON "
    "--distance KM]\n";

struct DrawOptions {
  std::string input;
  std::string svg;
  bool haveExtent = false;
  standin::GeoExtent extent = {0, 0, 0, 0};
  int32_t datum = standin::kDatumWgs84;
  std::string svg3d;
  bool haveEye = false;
  tagGEOPOS eye = {0, 0};
  double distance = -1.0;
};

// Comma-separated finite numbers, exactly count of them.
bool parseNumbers(const std::string& text, size_t count,
                  std::vector<double>* out) {
  out->clear();
  const char* p = text.c_str();
  while (true) {
    char* end = nullptr;
    errno = 0;
    double v = std::strtod(p, &end);
    if (end == p || errno == ERANGE || !std::isfinite(v)) return false;
    out->push_back(v);
    if (*end == '\0') break;
    if (*end != ',') return false;
    p = end + 1;
  }
  return out->size() == count;
}

// A position a view can be centred on or bounded by.
bool withinDegrees(double latitude, double longitude) {
  return std::fabs(latitude) <= 90.0 && std::fabs(longitude) <= 360.0;
}

bool parseArguments(const Arguments& args, DrawOptions* o) {
  std::vector<double> n;
  for (size_t i = 0; i < args.size(); ++i) {
    const std::string& a = args[i];
    bool hasValue = i + 1 < args.size();
    if (a == "--svg" && hasValue) {
      o->svg = args[++i];
    } else if (a == "--extent" && hasValue) {
      // Degrees: a span beyond the doubles (-1e308 to 1e308) has no picture.
      if (!parseNumbers(args[++i], 4, &n) || !(n[0] < n[2] && n[1] < n[3]) ||
          !withinDegrees(n[1], n[0]) || !withinDegrees(n[3], n[2])) {
        std::fprintf(stderr,
                     "draw: --extent wants W,S,E,N with W<E, S<N, latitudes "
                     "within -90..90 and longitudes within -360..360\n");
        return false;
      }
      o->extent = {n[0], n[1], n[2], n[3]};
      o->haveExtent = true;
    } else if (a == "--datum" && hasValue) {
      const std::string& d = args[++i];
      if (d != "0" && d != "1") {
        std::fprintf(stderr, "draw: --datum is 0 (WGS 84) or 1 (Tokyo)\n");
        return false;
      }
      o->datum = d == "0" ? standin::kDatumWgs84 : standin::kDatumTokyo;
    } else if (a == "--3d" && hasValue) {
      o->svg3d = args[++i];
    } else if (a == "--eye" && hasValue) {
      if (!parseNumbers(args[++i], 2, &n) || !withinDegrees(n[0], n[1])) {
        std::fprintf(stderr,
                     "draw: --eye wants LAT,LON, latitude within -90..90 and "
                     "longitude within -360..360\n");
        return false;
      }
      o->eye = {n[0], n[1]};
      o->haveEye = true;
    } else if (a == "--distance" && hasValue) {
      // Once round the Earth is as far as a view can reach.
      if (!parseNumbers(args[++i], 1, &n) || !(n[0] > 0.0 && n[0] <= 40075.0)) {
        std::fprintf(stderr,
                     "draw: --distance wants kilometres above 0, at most "
                     "40075\n");
        return false;
      }
      o->distance = n[0];
    } else if (!a.empty() && a[0] != '-' && o->input.empty()) {
      o->input = a;
    } else {
      std::fprintf(stderr, "draw: unexpected argument %s\n", a.c_str());
      return false;
    }
  }
  if (o->svg.empty()) return false;
  if (!o->svg3d.empty() && (!o->haveEye || o->distance <= 0.0)) {
    std::fprintf(stderr, "draw: --3d needs --eye and --distance\n");
    return false;
  }
  return true;
}


// The data set's bounds with a 5 % margin (at least 0.01 degree), in the
// view's datum; the whole world for an empty data set.
standin::GeoExtent defaultExtent(const LineDataSet& data, int32_t datum) {
  if (data.bounds.left > data.bounds.right) return {-180.0, -90.0, 180.0, 90.0};
  double west = data.bounds.left * kDegreesPerUnit;
  double east = data.bounds.right * kDegreesPerUnit;
  double south = data.bounds.top * kDegreesPerUnit;
  double north = data.bounds.bottom * kDegreesPerUnit;
  double margin = std::fmax(0.01, 0.05 * std::fmax(east - west, north - south));
  tagGEOPOS sw = {south - margin, west - margin};
  tagGEOPOS ne = {north + margin, east + margin};
  standin::convertDatum(sw, standin::kDatumWgs84, datum, &sw);
  standin::convertDatum(ne, standin::kDatumWgs84, datum, &ne);
  return {sw.longitude, sw.latitude, ne.longitude, ne.latitude};
}

// The bounds of what the module's layers drew of the open data sets over
// the whole earth (the session's first draw), in units as defaultExtent
// takes them: that draw passes every point of a shown data set, converted
// from units to degrees, so the units come back exactly.
void takeOpenBounds(const standin::Scene& drawn, LineDataSet& all) {
  for (const standin::ScenePolyline& line : drawn.polylines()) {
    for (const tagGEOPOS& p : line.points) {
      const auto x =
          static_cast<int32_t>(std::llround(p.longitude / kDegreesPerUnit));
      const auto y =
          static_cast<int32_t>(std::llround(p.latitude / kDegreesPerUnit));
      if (all.bounds.left > all.bounds.right) {
        all.bounds = {x, y, x, y};
        continue;
      }
      all.bounds.left = std::min(all.bounds.left, x);
      all.bounds.right = std::max(all.bounds.right, x);
      all.bounds.top = std::min(all.bounds.top, y);
      all.bounds.bottom = std::max(all.bounds.bottom, y);
    }
  }
}

// Writes the SVG and, when a converter is at hand, the PNG beside it. Each
// file is replaced only whole; false, after saying so, when either could not
// be written (the SVG may then be new while the PNG is the old one).
bool writePicture(const standin::Scene& scene,
                  const standin::GeoExtent& extent, const std::string& svg,
                  const std::vector<standin::SceneLabel>& labels) {
  if (!standin::writeSceneSvg(scene, extent, svg, labels)) {
    std::fprintf(stderr, "draw: cannot write %s\n", svg.c_str());
    return false;
  }
  std::string png =
      std::filesystem::path(svg).replace_extension(".png").string();
  standin::PngResult result = png == svg ? standin::PngResult::kNoConverter
                                         : standin::convertSvgToPng(svg, png);
  if (result == standin::PngResult::kWritten) {
    std::fprintf(stderr, "draw: wrote %s and %s\n", svg.c_str(), png.c_str());
  } else if (result == standin::PngResult::kNoConverter) {
    std::fprintf(stderr, "draw: wrote %s (no PNG: rsvg-convert missing)\n",
                 svg.c_str());
  } else {
    std::fprintf(stderr, "draw: wrote %s, but cannot write %s\n", svg.c_str(),
                 png.c_str());
    return false;
  }
  return true;
}

// The host's place names that fall inside the view, in the map's datum
// like the lines, so that the 2D picture shows them as a person would see
// them on the host's map.
std::vector<standin::SceneLabel> namesInView(const standin::GeoExtent& extent,
                                             int32_t datum) {
  std::vector<standin::SceneLabel> labels;
  for (const standin::NameEntry& entry : standin::nameEntries()) {
    tagGEOPOS position = {entry.latitude, entry.longitude};
    standin::convertDatum(position, standin::kDatumWgs84, datum, &position);
    if (position.longitude >= extent.west && position.longitude <= extent.east &&
        position.latitude >= extent.south && position.latitude <= extent.north) {
      labels.push_back({position, entry.name});
    }
  }
  return labels;
}

}  // namespace

int drawCommand(const HostOptions& options, const Arguments& args) {
  DrawOptions o;
  if (!parseArguments(args, &o)) {
    std::fputs(kUsage, stderr);
    return 2;
  }
  // The pictures are written through the platform layer, replacing what is
  // there only by a whole file: their names must reach it, and a folder or
  // a FIFO in their place is refused before any work.
  for (const std::string* output : {&o.svg, &o.svg3d}) {
    if (output->empty()) continue;
    std::string path = modulePathOrComplain("draw", *output);
    if (path.empty() || refuseKind("draw", *output, path, true)) return 1;
  }
  const bool inSession = o.input.empty();
  if (inSession && options.module.empty()) {
    std::fprintf(stderr, "morvane-host: no module to load (--module)\n");
    return 1;
  }
  ToolSession session;
  LineDataSet data(1);
  data.clear();
  if (inSession) {
    // Its first map draw brings back the reopen list.
    if (!session.start(options)) return 1;
    takeOpenBounds(standin::scene2d(), data);
  } else {
    char depot[kVpiPathSize] = {};
    if (!readDataSetFile("draw", o.input, data, depot)) return 1;
  }

  // The 2D view, drawn as the layer callback does with event 600.
  standin::resetView2d();
  if (!o.haveExtent) o.extent = defaultExtent(data, o.datum);
  standin::setView2d(o.extent, o.datum);
  if (inSession) {
    standin::drawAll2d();
  } else {
    tagDRAW2DEVENT event = standin::draw2dEvent();
    tagGEOPOS southWest = {event.southEast.latitude, event.northWest.longitude};
    tagGEOPOS northEast = {event.northWest.latitude, event.southEast.longitude};
    draw2d(data, standin::kView2d, southWest, northEast);
  }
  const standin::Scene& scene = standin::scene2d();
  if (!writePicture(scene, o.extent, o.svg, namesInView(o.extent, o.datum))) {
    return 1;
  }
  // One line on stdout, printed whole at the end.
  std::string summary = "lines=" + std::to_string(scene.lineCount()) +
                        " points=" + std::to_string(scene.pointCount());

  if (!o.svg3d.empty()) {
    // The 3D view, drawn as the layer callback does with event 653.
    standin::resetView3d();
    standin::setEye3d(o.eye);
    standin::setDrawDistance3d(o.distance);
    std::vector<int32_t> blocks = standin::blocksAround(o.eye, o.distance);
    if (inSession) {
      standin::drawAll3d(blocks);
    } else {
      draw3d(data, standin::kView3d, blocks.data(),
             static_cast<int32_t>(blocks.size()), 0, 1);
    }
    const standin::Scene& scene3d = standin::scene3d();
    double dLat = o.distance / 110.574;
    double dLon = o.distance /
        (111.320 * std::fmax(0.01, std::cos(o.eye.latitude * 3.14159265358979323846 / 180.0)));
    standin::GeoExtent around = {o.eye.longitude - dLon, o.eye.latitude - dLat,
                                 o.eye.longitude + dLon, o.eye.latitude + dLat};
    if (!writePicture(scene3d, around, o.svg3d, {{o.eye, "eye"}})) return 1;
    summary += " lines3d=" + std::to_string(scene3d.lineCount()) +
               " points3d=" + std::to_string(scene3d.pointCount());
  }
  std::printf("%s\n", summary.c_str());
  // Close writes the caches and the reopen list again.
  return session.stop() ? 0 : 1;
}
