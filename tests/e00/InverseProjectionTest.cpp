#include "e00/InverseProjection.h"

#include <gtest/gtest.h>
#include <proj.h>

#include <cmath>
#include <cstdio>
#include <limits>
#include <string>

// Every inverse against PROJ's forward projection of the same parameters:
// a grid over each projection's usual extent, out to its edges, on four
// ellipsoids, must come back within 1e-9 degree.

namespace {

constexpr double kNaN = std::numeric_limits<double>::quiet_NaN();
constexpr double kInf = std::numeric_limits<double>::infinity();
constexpr double kRoundTrip = 1e-9;  // degrees
constexpr double kPi() { return 3.14159265358979323846; }

struct NamedEllipsoid {
  const char* name;
  Ellipsoid ellipsoid;
};

const NamedEllipsoid kEllipsoids[] = {
    {"Clarke1866", {6378206.4, 294.978698213898}},
    {"GRS80", {6378137, 298.257222101}},
    {"International1924", {6378388, 297}},
    {"Sphere", {6370997, 0}},
};

ProjectionDefinition define(ProjectionKind kind, double centralMeridian,
                            double latitudeOfOrigin, double parallel1 = 0,
                            double parallel2 = 0, double trueScale = 0,
                            double scale = 1, double falseEasting = 0,
                            double falseNorthing = 0) {
  ProjectionDefinition d;
  d.kind = kind;
  d.ellipsoid = kEllipsoids[1].ellipsoid;
  d.centralMeridian = centralMeridian;
  d.latitudeOfOrigin = latitudeOfOrigin;
  d.standardParallel1 = parallel1;
  d.standardParallel2 = parallel2;
  d.latitudeOfTrueScale = trueScale;
  d.scaleFactor = scale;
  d.falseEasting = falseEasting;
  d.falseNorthing = falseNorthing;
  return d;
}

// The same projection as PROJ writes it. PROJ reads only the parameters
// its projection has; the polar stereographic one's pole is its lat_0.
std::string projString(const ProjectionDefinition& d) {
  const char* names[] = {"longlat", "tmerc", "lcc", "aea", "merc",
                         "stere", "poly", "eqdc", "laea"};
  double lat0 = d.latitudeOfOrigin;
  if (d.kind == ProjectionKind::kPolarStereographic)
    lat0 = d.latitudeOfTrueScale > 0 ? 90 : -90;
  char ellipsoid[96];
  if (d.ellipsoid.inverseFlattening == 0) {
    std::snprintf(ellipsoid, sizeof ellipsoid, "+R=%.17g",
                  d.ellipsoid.semiMajorAxis);
  } else {
    std::snprintf(ellipsoid, sizeof ellipsoid, "+a=%.17g +rf=%.17g",
                  d.ellipsoid.semiMajorAxis, d.ellipsoid.inverseFlattening);
  }
  char s[512];
  std::snprintf(s, sizeof s,
                "+proj=%s +lat_0=%.17g +lat_1=%.17g +lat_2=%.17g "
                "+lat_ts=%.17g +k_0=%.17g +lon_0=%.17g +x_0=%.17g +y_0=%.17g "
                "%s +no_defs",
                names[static_cast<int>(d.kind)], lat0, d.standardParallel1,
                d.standardParallel2, d.latitudeOfTrueScale, d.scaleFactor,
                d.centralMeridian, d.falseEasting, d.falseNorthing, ellipsoid);
  return s;
}

// PROJ's forward projection of (lat, lon) in degrees; false where PROJ has
// none. PROJ's spherical transverse Mercator takes the northing from an acos
// near 1, which puts the equator up to 0.1 m off: there the closed form
// [Snyder eq. 8-1, 8-3] stands in.
bool forward(PJ* projection, const ProjectionDefinition& d, double lat,
             double lon, double* x, double* y) {
  if (d.kind == ProjectionKind::kTransverseMercator &&
      d.ellipsoid.inverseFlattening == 0) {
    double phi = proj_torad(lat), lam = proj_torad(lon - d.centralMeridian);
    double r = d.ellipsoid.semiMajorAxis * d.scaleFactor;
    *x = d.falseEasting + r * std::atanh(std::cos(phi) * std::sin(lam));
    *y = d.falseNorthing +
         r * (std::atan2(std::tan(phi), std::cos(lam)) -
              proj_torad(d.latitudeOfOrigin));
    return true;
  }
  PJ_COORD out = proj_trans(projection, PJ_FWD,
                            proj_coord(proj_torad(lon), proj_torad(lat), 0, 0));
  *x = out.xy.x;
  *y = out.xy.y;
  return std::isfinite(*x) && *x != HUGE_VAL;
}

struct RoundTripCase {
  const char* name;
  ProjectionDefinition definition;
  // The grid: latitudes, and longitudes from the central meridian.
  double latFrom, latTo, lonFrom, lonTo;
  double tolerance = kRoundTrip;  // degrees
};

using K = ProjectionKind;

const RoundTripCase kRoundTrips[] = {
    // UTM zone 33 north and south, and out to 30 degrees from its meridian.
    {"UtmNorth", define(K::kTransverseMercator, 15, 0, 0, 0, 0, 0.9996, 500000),
     0, 84, -30, 30},
    {"UtmSouth", define(K::kTransverseMercator, 15, 0, 0, 0, 0, 0.9996, 500000,
                        10000000),
     -80, 0, -30, 30},
    // A national grid: origin off the equator, near the pole.
    {"TmOrigin49", define(K::kTransverseMercator, -2, 49, 0, 0, 0,
                          0.9996012717, 400000, -100000),
     -90, 90, -60, 60},
    // Far from the central meridian, near the equator, Krueger's series move
    // a point by more than a small angle and the inverse takes another path;
    // there the sixth-order series (PROJ's and ours) agree only to about
    // 2e-6 degree, while a slip in that path costs a degree.
    {"TmFarFromTheMeridian", define(K::kTransverseMercator, 30, 0), -20, 20,
     -76, 76, 1e-5},
    {"LccTwoParallels", define(K::kLambertConformalConic, -96, 23, 33, 45),
     -20, 90, -150, 150},
    {"LccSouth", define(K::kLambertConformalConic, 135, -32, -18, -36, 0, 1,
                        1000000, 2000000),
     -90, 20, -150, 150},
    {"LccOneParallel", define(K::kLambertConformalConic, 10, 45, 45, 45),
     -30, 89, -120, 120},
    // Albers' poles are arcs along which the meridians' scale falls to 0:
    // there metres fix the latitude only to about 1e-6 degree.
    {"Albers", define(K::kAlbersEqualArea, -96, 23, 29.5, 45.5), -60, 89.5,
     -160, 160},
    {"AlbersSouth", define(K::kAlbersEqualArea, 132, 0, -18, -36, 0, 1, 500000),
     -89.5, 30, -170, 170},
    {"AlbersOneParallel", define(K::kAlbersEqualArea, 0, 40, 40, 40), -60, 89,
     -120, 120},
    {"AlbersParallelAtPole", define(K::kAlbersEqualArea, 20, 50, 90, 60), -60,
     89, -150, 150},
    {"Mercator", define(K::kMercator, -60, 0), -85, 85, -180, 180},
    {"MercatorTrueScale", define(K::kMercator, 100, 0, 0, 0, -41, 1, 3e6, 1e6),
     -89, 89, -179, 179},
    {"PolarNorth", define(K::kPolarStereographic, -45, 0, 0, 0, 70, 1, 2e6,
                          2e6),
     30, 90, -180, 180},
    {"PolarSouthTrueAtPole", define(K::kPolarStereographic, 0, 0, 0, 0, -90, 1,
                                    2e6, 2e6),
     -90, -30, -180, 180},
    {"PolarNorthTrueAtPole", define(K::kPolarStereographic, 10, 0, 0, 0, 90),
     0, 90, -180, 180},
    {"Polyconic", define(K::kPolyconic, -96, 30, 0, 0, 0, 1, 1e6), -80, 80,
     -60, 60},
    // Past a quarter turn of the cone (lon sin(lat) > 90 degrees).
    {"PolyconicWide", define(K::kPolyconic, 0, -20), 35, 80, -175, 175},
    {"PolyconicSouth", define(K::kPolyconic, 0, -20), -80, -35, -120, 120},
    {"EquidistantConic", define(K::kEquidistantConic, -96, 40, 20, 60), -60, 90,
     -160, 160},
    {"EquidistantConicSouth", define(K::kEquidistantConic, 25, -10, -15, -45, 0,
                                     1, 0, 1e6),
     -90, 40, -170, 170},
    {"EquidistantConicOneParallel", define(K::kEquidistantConic, 0, 30, 30, 30),
     -60, 89, -150, 150},
    {"LaeaOblique", define(K::kLambertAzimuthalEqualArea, 10, 52, 0, 0, 0, 1,
                           4321000, 3210000),
     -30, 90, -120, 120},
    {"LaeaObliqueSouth", define(K::kLambertAzimuthalEqualArea, -60, -35), -90,
     40, -100, 100},
    {"LaeaEquatorial", define(K::kLambertAzimuthalEqualArea, 0, 0), -89, 89,
     -150, 150},
    {"LaeaNorthPole", define(K::kLambertAzimuthalEqualArea, -100, 90), -80, 90,
     -180, 180},
    {"LaeaSouthPole", define(K::kLambertAzimuthalEqualArea, 0, -90), -90, 80,
     -180, 180},
};

class InverseProjectionTest : public ::testing::Test {
 protected:
  void SetUp() override { context_ = proj_context_create(); }
  void TearDown() override { proj_context_destroy(context_); }
  PJ_CONTEXT* context_ = nullptr;
};

TEST_F(InverseProjectionTest, InvertsProjForwardOnEveryEllipsoid) {
  constexpr int kSteps = 24;
  for (const RoundTripCase& c : kRoundTrips) {
    for (const NamedEllipsoid& el : kEllipsoids) {
      ProjectionDefinition d = c.definition;
      d.ellipsoid = el.ellipsoid;
      std::string text = projString(d);
      SCOPED_TRACE(std::string(c.name) + " " + el.name + " " + text);
      PJ* projection = proj_create(context_, text.c_str());
      ASSERT_NE(projection, nullptr);
      InverseProjection inverse;
      ASSERT_TRUE(inverse.init(d));
      int compared = 0;
      for (int i = 0; i <= kSteps; ++i) {
        double lat = c.latFrom + (c.latTo - c.latFrom) * i / kSteps;
        for (int j = 0; j <= kSteps; ++j) {
          double lon = c.lonFrom + (c.lonTo - c.lonFrom) * j / kSteps;
          double x, y;
          if (!forward(projection, d, lat, d.centralMeridian + lon, &x, &y))
            continue;
          ++compared;
          double gotLat = kNaN, gotLon = kNaN;
          ASSERT_TRUE(inverse.toDegrees(x, y, &gotLat, &gotLon))
              << "lat " << lat << " lon " << lon << " x " << x << " y " << y;
          EXPECT_NEAR(gotLat, lat, c.tolerance) << "lon " << lon;
          if (std::fabs(lat) < 90) {
            double dLon =
                std::remainder(gotLon - (d.centralMeridian + lon), 360.0);
            EXPECT_NEAR(dLon, 0, c.tolerance) << "lat " << lat << " lon " << lon;
            EXPECT_LE(std::fabs(gotLon), 180);
          }
        }
      }
      // PROJ itself refuses a few points (its tmerc past its own limit);
      // most of every grid is compared.
      EXPECT_GT(compared, (kSteps + 1) * (kSteps + 1) * 3 / 4);
      proj_destroy(projection);
    }
  }
}

// Points a projection never reaches: nothing written, false.
TEST_F(InverseProjectionTest, RefusesPointsOutsideTheProjection) {
  struct Case {
    const char* name;
    ProjectionDefinition definition;
    double x, y;
  };
  const double a = kEllipsoids[1].ellipsoid.semiMajorAxis;
  const Case cases[] = {
      {"TmPastTheHemisphere", define(K::kTransverseMercator, 0, 0), 0, 1.1e7},
      {"TmFarEast", define(K::kTransverseMercator, 0, 0), 2e7, 0},
      {"LccInTheGap", define(K::kLambertConformalConic, 0, 40, 33, 45), 0,
       3e7},
      {"AlbersBeyondSouthPole", define(K::kAlbersEqualArea, 0, 40, 30, 50), 0,
       -2e7},
      {"MercatorPast180", define(K::kMercator, 0, 0), a * 3.1416, 0},
      {"EqdcBeyondSouthPole", define(K::kEquidistantConic, 0, 40, 30, 50), 0,
       -2e7},
      {"LaeaPastTheAntipode", define(K::kLambertAzimuthalEqualArea, 0, 30),
       2.1 * a, 0},
      {"LaeaPolarPastTheAntipode",
       define(K::kLambertAzimuthalEqualArea, 0, 90), 0, 2.1 * a},
      {"PolyconicPast180", define(K::kPolyconic, 0, 0), 3.2 * a, 0},
      {"GeographicLatitude", define(K::kGeographic, 0, 0), 10, 91},
      {"NaNEasting", define(K::kTransverseMercator, 0, 0), kNaN, 0},
      {"InfiniteNorthing", define(K::kLambertConformalConic, 0, 40, 33, 45), 0,
       -kInf},
      {"NaNNorthingGeographic", define(K::kGeographic, 0, 0), 0, kNaN},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    InverseProjection inverse;
    ASSERT_TRUE(inverse.init(c.definition));
    double lat = 7, lon = 8;
    EXPECT_FALSE(inverse.toDegrees(c.x, c.y, &lat, &lon));
    EXPECT_EQ(lat, 7);
    EXPECT_EQ(lon, 8);
  }
}

// Single precision writers round a world map's edge a few metres past it:
// such points are taken onto the edge, on their own side of the map.
TEST_F(InverseProjectionTest, TakesPointsRoundedOntoAnEdge) {
  struct Case {
    const char* name;
    ProjectionDefinition definition;
    double x, y, lat, lon;
  };
  const double a = kEllipsoids[1].ellipsoid.semiMajorAxis;
  const double past = 1 + 1e-7;  // 2 m at 2e7 m
  // The radius of GRS80's sphere of equal area; an equatorial azimuthal
  // map stretches it back to a along the equator.
  const double rq = 6371007.1809;
  const Case cases[] = {
      {"MercatorEast", define(K::kMercator, 0, 0), kPi() * a * past, 0, 0, 180},
      {"MercatorWest", define(K::kMercator, 30, 0), -kPi() * a * past, 0, 0,
       -150},
      {"LaeaAntipode", define(K::kLambertAzimuthalEqualArea, 0, 0),
       2 * a * past, 0, 0, 180},
      {"LaeaPolarAntipode", define(K::kLambertAzimuthalEqualArea, 0, 90), 0,
       2 * rq * past, -90, 0},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    InverseProjection inverse;
    ASSERT_TRUE(inverse.init(c.definition));
    double lat, lon;
    ASSERT_TRUE(inverse.toDegrees(c.x, c.y, &lat, &lon));
    EXPECT_NEAR(lat, c.lat, 1e-3);
    if (std::fabs(c.lat) < 90) {
      EXPECT_NEAR(lon, c.lon, 1e-9);
    }
  }
  // A Lambert conic with its apex at the origin: the meridian 180 degrees
  // from the central one is the cone's edge, at theta = pi n. A point turned
  // 1e-7 radian past it is on the edge; 1e-4 radian is in the gap.
  ProjectionDefinition d = define(K::kLambertConformalConic, -96, 90, 33, 45);
  PJ* projection = proj_create(context_, projString(d).c_str());
  ASSERT_NE(projection, nullptr);
  double x, y;
  ASSERT_TRUE(forward(projection, d, 40, 84, &x, &y));
  proj_destroy(projection);
  double rho = std::hypot(x, y), theta = std::atan2(x, -y);
  InverseProjection inverse;
  ASSERT_TRUE(inverse.init(d));
  double lat, lon;
  ASSERT_TRUE(inverse.toDegrees(rho * std::sin(theta + 1e-7),
                                -rho * std::cos(theta + 1e-7), &lat, &lon));
  EXPECT_NEAR(lat, 40, 1e-9);
  EXPECT_NEAR(lon, 84, 1e-9);
  EXPECT_FALSE(inverse.toDegrees(rho * std::sin(theta + 1e-4),
                                 -rho * std::cos(theta + 1e-4), &lat, &lon));
}

// Parameters that make no projection, and a projection refused before and
// after a failed init.
TEST_F(InverseProjectionTest, RefusesImpossibleParameters) {
  struct Case {
    const char* name;
    ProjectionDefinition definition;
  };
  auto withEllipsoid = [](double a, double rf) {
    ProjectionDefinition d = define(K::kTransverseMercator, 0, 0);
    d.ellipsoid = {a, rf};
    return d;
  };
  const Case cases[] = {
      {"NoAxis", withEllipsoid(0, 298)},
      {"NegativeAxis", withEllipsoid(-6378137, 298)},
      {"NaNAxis", withEllipsoid(kNaN, 298)},
      {"FlatteningOfOne", withEllipsoid(6378137, 1)},
      {"Prolate", withEllipsoid(6378137, -298)},
      {"ZeroScale", define(K::kTransverseMercator, 0, 0, 0, 0, 0, 0)},
      {"NaNScale", define(K::kTransverseMercator, 0, 0, 0, 0, 0, kNaN)},
      {"LatitudePast90", define(K::kTransverseMercator, 0, 90.5)},
      {"NaNMeridian", define(K::kTransverseMercator, kNaN, 0)},
      {"InfiniteFalseEasting",
       define(K::kTransverseMercator, 0, 0, 0, 0, 0, 1, kInf)},
      {"LccSymmetricParallels", define(K::kLambertConformalConic, 0, 0, 30, -30)},
      {"LccParallelAtPole", define(K::kLambertConformalConic, 0, 0, 90, 45)},
      {"LccOriginAtTheOtherPole",
       define(K::kLambertConformalConic, 0, -90, 30, 60)},
      {"AlbersOnEquator", define(K::kAlbersEqualArea, 0, 0, 0, 0)},
      {"EqdcSymmetricParallels", define(K::kEquidistantConic, 0, 0, 20, -20)},
      {"MercatorTrueAtPole", define(K::kMercator, 0, 0, 0, 0, 90)},
      {"StereoTrueAtEquator", define(K::kPolarStereographic, 0, 0, 0, 0, 0)},
      {"UnknownKind", define(static_cast<K>(99), 0, 0)},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    InverseProjection inverse;
    EXPECT_FALSE(inverse.init(c.definition));
    double lat = 7, lon = 8;
    EXPECT_FALSE(inverse.toDegrees(0, 0, &lat, &lon));
    EXPECT_EQ(lat, 7);
  }
  // A failed init leaves no earlier projection behind.
  InverseProjection inverse;
  ASSERT_TRUE(inverse.init(define(K::kMercator, 0, 0)));
  EXPECT_FALSE(inverse.init(cases[0].definition));
  double lat, lon;
  EXPECT_FALSE(inverse.toDegrees(0, 0, &lat, &lon));
}

}  // namespace
