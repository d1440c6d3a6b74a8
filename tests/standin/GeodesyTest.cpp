#include "standin/Geodesy.h"

#include <gtest/gtest.h>

#include <cmath>

namespace {

double dms(double d, double m, double s) { return d + m / 60.0 + s / 3600.0; }

// Metres per degree, near enough for tolerances in Japan.
constexpr double kMetresPerDegreeLatitude = 111000.0;
constexpr double kMetresPerDegreeLongitude = 90000.0;

TEST(GeodesyTest, TokyoDatumOriginLandsOnItsPublishedWgs84Position) {
  // The Japanese geodetic origin in Tokyo: Tokyo datum 35 39 17.5148 N,
  // 139 44 40.5020 E; published in JGD2000 (within a metre of WGS 84) as
  // 35 39 29.1572 N, 139 44 28.8759 E. The mean three-parameter shift is
  // good to about ten metres.
  tagGEOPOS tokyo = {dms(35, 39, 17.5148), dms(139, 44, 40.5020)};
  tagGEOPOS wgs;
  ASSERT_TRUE(standin::convertDatum(tokyo, standin::kDatumTokyo,
                                    standin::kDatumWgs84, &wgs));
  EXPECT_NEAR(wgs.latitude, dms(35, 39, 29.1572), 10.0 / kMetresPerDegreeLatitude);
  EXPECT_NEAR(wgs.longitude, dms(139, 44, 28.8759),
              10.0 / kMetresPerDegreeLongitude);
}

TEST(GeodesyTest, RoundTripReturnsToTheStartWithinMillimetres) {
  // Across the area where the Tokyo datum is used.
  const tagGEOPOS points[] = {{35.0, 135.0}, {43.06, 141.35}, {26.21, 127.68},
                              {45.5, 148.0}, {24.0, 123.0}};
  for (const tagGEOPOS& p : points) {
    for (int32_t first : {standin::kDatumTokyo, standin::kDatumWgs84}) {
      int32_t second = first == standin::kDatumTokyo ? standin::kDatumWgs84
                                                     : standin::kDatumTokyo;
      tagGEOPOS there, back;
      ASSERT_TRUE(standin::convertDatum(p, first, second, &there));
      ASSERT_TRUE(standin::convertDatum(there, second, first, &back));
      // The shift itself is hundreds of metres...
      EXPECT_GT(std::hypot(there.latitude - p.latitude,
                           there.longitude - p.longitude),
                0.001);
      // ...the way back undoes it to a few millimetres (the height dropped
      // on the way leaves less than 1e-7 degree).
      EXPECT_NEAR(back.latitude, p.latitude, 1e-7) << p.latitude;
      EXPECT_NEAR(back.longitude, p.longitude, 1e-7) << p.longitude;
    }
  }
}

TEST(GeodesyTest, SameOrUnknownDatumCopiesThePosition) {
  tagGEOPOS p = {35.5, 139.5}, out = {0.0, 0.0};
  EXPECT_TRUE(standin::convertDatum(p, 0, 0, &out));
  EXPECT_EQ(out.latitude, p.latitude);
  EXPECT_EQ(out.longitude, p.longitude);
  out = {0.0, 0.0};
  EXPECT_FALSE(standin::convertDatum(p, 0, 7, &out));
  EXPECT_EQ(out.longitude, p.longitude);
  EXPECT_FALSE(standin::convertDatum(p, -1, 1, &out));
}

TEST(GeodesyTest, DistancesMatchPublishedGeodesics) {
  struct Case {
    tagGEOPOS a, b;
    double km;
    double tolerance;
  };
  const Case cases[] = {
      // Vincenty's test line, Flinders Peak to Buninyong: 54 972.271 m
      // (GRS 80; WGS 84 differs by far less than the tolerance).
      {{-dms(37, 57, 3.72030), dms(144, 25, 29.52440)},
       {-dms(37, 39, 10.15610), dms(143, 55, 35.38390)}, 54.972271, 1e-5},
      // A meridian quadrant of WGS 84: 10 001 965.729 m.
      {{0.0, 0.0}, {90.0, 0.0}, 10001.965729, 1e-5},
      // A quarter of the equator: a * pi / 2.
      {{0.0, 0.0}, {0.0, 90.0}, 6378.137 * 3.14159265358979323846 / 2, 1e-5},
      {{35.5, 139.5}, {35.5, 139.5}, 0.0, 0.0},
  };
  for (const Case& c : cases) {
    EXPECT_NEAR(standin::geodesicDistanceKm(c.a, c.b), c.km, c.tolerance);
    EXPECT_NEAR(standin::geodesicDistanceKm(c.b, c.a), c.km, c.tolerance);
  }
}

TEST(GeodesyTest, NearlyAntipodalPairsStillGetADistance) {
  double d = standin::geodesicDistanceKm({0.0, 0.0}, {0.5, 179.7});
  EXPECT_GT(d, 19900.0);
  EXPECT_LT(d, 20020.0);
  EXPECT_TRUE(std::isnan(standin::geodesicDistanceKm({NAN, 0.0}, {1.0, 1.0})));
}

}  // namespace
