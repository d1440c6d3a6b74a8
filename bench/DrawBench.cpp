// draw2d on a 20-million-point data set through the stand-in host's 2D view,
// counting the lines it is given (no storing) unless the name says
// "Recorded". items_per_second counts the data set's points, drawn or not.
//
// The data: arcs of 100 points sweeping east from 100 E to 140 E, latitudes
// 30 N to 40 N, and one short arc at 70 E, so that a view west of the sweep
// still overlaps the box and every sweep point is tested in the callback.
//
// BM_PlaceLabels places the names laid over the picture (see below).

#include <benchmark/benchmark.h>

#include <cmath>
#include <cstdint>
#include <vector>

#include "dataset/LineDataSet.h"
#include "draw/Draw2d.h"
#include "standin/LabelPlacement.h"
#include "standin/StandinView2d.h"
#include "ui/headless/HeadlessUi.h"

namespace {

constexpr int32_t kPoints = 20000000;

LineDataSet& dataSet() {
  static LineDataSet* data = [] {
    headless::setEcho(false);
    auto* d = new LineDataSet(1);
    d->clear();
    auto add = [d](double latitude, double longitude) {
      LinePoint p = {static_cast<int32_t>(latitude * 36000.0),
                     static_cast<int32_t>(longitude * 36000.0)};
      d->points.append(p);
      d->widenBounds(p);
    };
    add(35.0, 70.0);
    add(35.1, 70.1);
    d->points.append(kSeparatorPoint);
    uint32_t jitter = 1;
    while (d->points.size() < kPoints) {
      int32_t k = d->points.size();
      if (k % 101 == 100) {
        d->points.append(kSeparatorPoint);
        continue;
      }
      jitter = jitter * 1664525u + 1013904223u;
      add(30.0 + 10.0 * (jitter >> 8) / 16777216.0,
          100.0 + 40.0 * k / kPoints);
    }
    d->compact();
    return d;
  }();
  return *data;
}

void drawOnce(LineDataSet& data, const standin::GeoExtent& view) {
  standin::setView2d(view, 0);
  tagGEOPOS southWest = {view.south, view.west};
  tagGEOPOS northEast = {view.north, view.east};
  draw2d(data, standin::kView2d, southWest, northEast);
}

void run(benchmark::State& state, const standin::GeoExtent& view,
         bool recorded) {
  LineDataSet& data = dataSet();
  standin::resetView2d();
  standin::scene2d().setCounting(!recorded);
  int64_t points = 0;
  for (auto _ : state) {
    standin::scene2d().clear();
    drawOnce(data, view);
    points = standin::scene2d().pointCount();
  }
  state.SetItemsProcessed(state.iterations() * int64_t{data.points.size()});
  state.counters["drawn"] = static_cast<double>(points);
  // Seconds per point (printed with an SI prefix: 5.2n is 5.2 ns).
  state.counters["per_point"] = benchmark::Counter(
      static_cast<double>(data.points.size()),
      benchmark::Counter::kIsIterationInvariantRate |
          benchmark::Counter::kInvert);
  standin::resetView2d();
}

void BM_Draw2dAllInside(benchmark::State& state) {
  run(state, {60.0, 20.0, 150.0, 50.0}, false);
}
void BM_Draw2dAllInsideRecorded(benchmark::State& state) {
  run(state, {60.0, 20.0, 150.0, 50.0}, true);
}
void BM_Draw2dBoxCulled(benchmark::State& state) {
  run(state, {60.0, -50.0, 150.0, -40.0}, false);
}
void BM_Draw2dTenPercentInside(benchmark::State& state) {
  run(state, {99.0, 20.0, 104.0, 50.0}, false);
}
void BM_Draw2dTenPercentInsideRecorded(benchmark::State& state) {
  run(state, {99.0, 20.0, 104.0, 50.0}, true);
}
void BM_Draw2dAllSkippedInCallback(benchmark::State& state) {
  run(state, {60.0, 20.0, 90.0, 50.0}, false);
}

// Placing N names on a 1200-pixel picture, as the draw command's SVG does:
// a third of them spread over the picture, the rest crowded round a few
// cities as a country's towns are, names 2 to 8 characters wide.
// items_per_second counts names.
void BM_PlaceLabels(benchmark::State& state) {
  const int64_t count = state.range(0);
  std::vector<standin::LabelRequest> requests;
  uint32_t seed = 1;
  auto next = [&seed] {
    seed = seed * 1664525u + 1013904223u;
    return (seed >> 8) / 16777216.0;
  };
  const double cities[][2] = {{700, 760}, {450, 830}, {530, 800}, {760, 260}};
  for (int64_t i = 0; i < count; ++i) {
    double x, y;
    if (i % 3 == 0) {
      x = 1118.0 * next();
      y = 1200.0 * next();
    } else {
      const double* c = cities[i % 4];
      double spread = 150.0 * next() * next();
      double angle = 6.283185307179586 * next();
      x = c[0] + spread * std::cos(angle);
      y = c[1] + spread * std::sin(angle);
    }
    requests.push_back({x, y, standin::kLabelFontSize * (2.0 + 6.0 * next())});
  }
  int64_t shown = 0;
  for (auto _ : state) {
    std::vector<standin::LabelPlacement> placed =
        standin::placeLabels(requests, 1118.0, 1200.0);
    shown = 0;
    for (const standin::LabelPlacement& p : placed) shown += p.shown ? 1 : 0;
    benchmark::DoNotOptimize(placed.data());
  }
  state.SetItemsProcessed(state.iterations() * count);
  state.counters["shown"] = static_cast<double>(shown);
}

BENCHMARK(BM_Draw2dAllInside)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_Draw2dAllInsideRecorded)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_Draw2dBoxCulled)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_Draw2dTenPercentInside)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_Draw2dTenPercentInsideRecorded)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_Draw2dAllSkippedInCallback)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_PlaceLabels)
    ->Arg(200)
    ->Arg(10000)
    ->Arg(1000000)
    ->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();
