// InverseProjection::toDegrees per point, for each projection on GRS80 (and
// transverse Mercator on a sphere): the cost a projected coverage adds to
// every vertex it imports.
//
// The points are a 64 x 64 grid of metres around each projection's false
// origin, 2000 km across, all inside every projection's domain; each
// iteration inverts the whole grid. Counter: time_per_point.

#include <benchmark/benchmark.h>

#include <vector>

#include "e00/InverseProjection.h"

namespace {

struct BenchCase {
  const char* name;
  ProjectionKind kind;
  double inverseFlattening;
  double latitudeOfOrigin;
  double parallel1, parallel2, trueScale;
};

const BenchCase kCases[] = {
    {"TransverseMercator", ProjectionKind::kTransverseMercator, 298.257222101,
     0, 0, 0, 0},
    {"TransverseMercatorSphere", ProjectionKind::kTransverseMercator, 0, 0, 0,
     0, 0},
    {"LambertConformalConic", ProjectionKind::kLambertConformalConic,
     298.257222101, 23, 33, 45, 0},
    {"AlbersEqualArea", ProjectionKind::kAlbersEqualArea, 298.257222101, 23,
     29.5, 45.5, 0},
    {"Mercator", ProjectionKind::kMercator, 298.257222101, 0, 0, 0, 0},
    {"PolarStereographic", ProjectionKind::kPolarStereographic, 298.257222101,
     0, 0, 0, 70},
    {"Polyconic", ProjectionKind::kPolyconic, 298.257222101, 30, 0, 0, 0},
    {"EquidistantConic", ProjectionKind::kEquidistantConic, 298.257222101, 40,
     20, 60, 0},
    {"LambertAzimuthalEqualArea", ProjectionKind::kLambertAzimuthalEqualArea,
     298.257222101, 52, 0, 0, 0},
};

constexpr int kGrid = 64;

void invertGrid(benchmark::State& state, const BenchCase& c) {
  ProjectionDefinition d;
  d.kind = c.kind;
  d.ellipsoid = {6378137, c.inverseFlattening};
  d.centralMeridian = -96;
  d.latitudeOfOrigin = c.latitudeOfOrigin;
  d.standardParallel1 = c.parallel1;
  d.standardParallel2 = c.parallel2;
  d.latitudeOfTrueScale = c.trueScale;
  d.scaleFactor = c.kind == ProjectionKind::kTransverseMercator ? 0.9996 : 1;
  d.falseEasting = 500000;
  d.falseNorthing = 1000000;
  InverseProjection inverse;
  if (!inverse.init(d)) {
    state.SkipWithError("init refused the definition");
    return;
  }
  std::vector<double> xs, ys;
  for (int i = 0; i < kGrid; ++i) {
    for (int j = 0; j < kGrid; ++j) {
      xs.push_back(d.falseEasting - 1e6 + 2e6 * i / (kGrid - 1));
      ys.push_back(d.falseNorthing - 1e6 + 2e6 * j / (kGrid - 1));
    }
  }
  int64_t refused = 0;
  for (auto _ : state) {
    for (size_t k = 0; k < xs.size(); ++k) {
      double lat, lon;
      if (!inverse.toDegrees(xs[k], ys[k], &lat, &lon)) ++refused;
      benchmark::DoNotOptimize(lat);
      benchmark::DoNotOptimize(lon);
    }
  }
  if (refused != 0) state.SkipWithError("a grid point was refused");
  state.SetItemsProcessed(state.iterations() *
                          static_cast<int64_t>(xs.size()));
  state.counters["time_per_point"] = benchmark::Counter(
      static_cast<double>(xs.size()),
      benchmark::Counter::kIsIterationInvariantRate |
          benchmark::Counter::kInvert);
}

}  // namespace

int main(int argc, char** argv) {
  for (const BenchCase& c : kCases) {
    benchmark::RegisterBenchmark(c.name, [&c](benchmark::State& state) {
      invertGrid(state, c);
    });
  }
  benchmark::Initialize(&argc, argv);
  if (benchmark::ReportUnrecognizedArguments(argc, argv)) return 1;
  benchmark::RunSpecifiedBenchmarks();
  benchmark::Shutdown();
  return 0;
}
