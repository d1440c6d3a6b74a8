#include "standin/Geodesy.h"

#include <cmath>

namespace standin {
namespace {

constexpr double kPi = 3.14159265358979323846;
constexpr double kRadiansPerDegree = kPi / 180.0;

struct Ellipsoid {
  double a;  // semi-major axis, metres
  double f;  // flattening
};

constexpr Ellipsoid kWgs84 = {6378137.0, 1.0 / 298.257223563};
constexpr Ellipsoid kBessel1841 = {6377397.155, 1.0 / 299.1528128};

// Tokyo datum to WGS 84, metres.
constexpr double kTokyoShift[3] = {-148.0, 507.0, 685.0};

struct Cartesian {
  double x, y, z;
};

Cartesian toCartesian(const tagGEOPOS& p, const Ellipsoid& e) {
  double e2 = e.f * (2.0 - e.f);
  double phi = p.latitude * kRadiansPerDegree;
  double lambda = p.longitude * kRadiansPerDegree;
  double sinPhi = std::sin(phi);
  double n = e.a / std::sqrt(1.0 - e2 * sinPhi * sinPhi);
  return {n * std::cos(phi) * std::cos(lambda),
          n * std::cos(phi) * std::sin(lambda), n * (1.0 - e2) * sinPhi};
}

// Bowring's formula followed by two refinements: well below a millimetre for
// points near the ellipsoid's surface, poles included.
tagGEOPOS toGeodetic(const Cartesian& c, const Ellipsoid& e) {
  double e2 = e.f * (2.0 - e.f);
  double b = e.a * (1.0 - e.f);
  double ep2 = e2 / (1.0 - e2);
  double p = std::hypot(c.x, c.y);
  double theta = std::atan2(c.z * e.a, p * b);
  double st = std::sin(theta), ct = std::cos(theta);
  double phi = std::atan2(c.z + ep2 * b * st * st * st,
                          p - e2 * e.a * ct * ct * ct);
  for (int i = 0; i < 2; ++i) {
    double sinPhi = std::sin(phi);
    double n = e.a / std::sqrt(1.0 - e2 * sinPhi * sinPhi);
    // z = (n (1 - e2) + h) sin(phi) and p = (n + h) cos(phi), h eliminated.
    phi = std::atan2(c.z + e2 * n * sinPhi, p);
  }
  return {phi / kRadiansPerDegree, std::atan2(c.y, c.x) / kRadiansPerDegree};
}

tagGEOPOS shift(const tagGEOPOS& p, const Ellipsoid& from, const Ellipsoid& to,
                double sign) {
  Cartesian c = toCartesian(p, from);
  c.x += sign * kTokyoShift[0];
  c.y += sign * kTokyoShift[1];
  c.z += sign * kTokyoShift[2];
  return toGeodetic(c, to);
}

double greatCircleKm(const tagGEOPOS& a, const tagGEOPOS& b) {
  constexpr double kMeanRadiusKm = 6371.0088;
  double phi1 = a.latitude * kRadiansPerDegree;
  double phi2 = b.latitude * kRadiansPerDegree;
  double dPhi = phi2 - phi1;
  double dLambda = (b.longitude - a.longitude) * kRadiansPerDegree;
  double h = std::sin(dPhi / 2) * std::sin(dPhi / 2) +
             std::cos(phi1) * std::cos(phi2) * std::sin(dLambda / 2) *
                 std::sin(dLambda / 2);
  return 2.0 * kMeanRadiusKm * std::asin(std::sqrt(std::fmin(1.0, h)));
}

}  // namespace

bool isKnownDatum(int32_t datum) {
  return datum == kDatumWgs84 || datum == kDatumTokyo;
}

bool convertDatum(const tagGEOPOS& source, int32_t sourceDatum,
                  int32_t destinationDatum, tagGEOPOS* destination) {
  if (!isKnownDatum(sourceDatum) || !isKnownDatum(destinationDatum) ||
      sourceDatum == destinationDatum) {
    *destination = source;
    return sourceDatum == destinationDatum && isKnownDatum(sourceDatum);
  }
  if (sourceDatum == kDatumTokyo) {
    *destination = shift(source, kBessel1841, kWgs84, 1.0);
  } else {
    *destination = shift(source, kWgs84, kBessel1841, -1.0);
  }
  return true;
}

double geodesicDistanceKm(const tagGEOPOS& p1, const tagGEOPOS& p2) {
  const double a = kWgs84.a, f = kWgs84.f, b = a * (1.0 - f);
  double l = (p2.longitude - p1.longitude) * kRadiansPerDegree;
  double u1 = std::atan((1.0 - f) * std::tan(p1.latitude * kRadiansPerDegree));
  double u2 = std::atan((1.0 - f) * std::tan(p2.latitude * kRadiansPerDegree));
  double sinU1 = std::sin(u1), cosU1 = std::cos(u1);
  double sinU2 = std::sin(u2), cosU2 = std::cos(u2);
  if (std::isnan(l) || std::isnan(u1) || std::isnan(u2)) return NAN;

  double lambda = l, sinSigma = 0, cosSigma = 0, sigma = 0, cos2Alpha = 0,
         cos2SigmaM = 0;
  for (int iteration = 0; iteration < 200; ++iteration) {
    double sinLambda = std::sin(lambda), cosLambda = std::cos(lambda);
    double t1 = cosU2 * sinLambda;
    double t2 = cosU1 * sinU2 - sinU1 * cosU2 * cosLambda;
    sinSigma = std::sqrt(t1 * t1 + t2 * t2);
    if (sinSigma == 0.0) return 0.0;  // the same point
    cosSigma = sinU1 * sinU2 + cosU1 * cosU2 * cosLambda;
    sigma = std::atan2(sinSigma, cosSigma);
    double sinAlpha = cosU1 * cosU2 * sinLambda / sinSigma;
    cos2Alpha = 1.0 - sinAlpha * sinAlpha;
    // On the equator cos2Alpha is 0 and so is the term it scales.
    cos2SigmaM = cos2Alpha != 0.0 ? cosSigma - 2.0 * sinU1 * sinU2 / cos2Alpha
                                  : 0.0;
    double c = f / 16.0 * cos2Alpha * (4.0 + f * (4.0 - 3.0 * cos2Alpha));
    double previous = lambda;
    lambda = l + (1.0 - c) * f * sinAlpha *
                     (sigma + c * sinSigma *
                                  (cos2SigmaM + c * cosSigma *
                                                    (-1.0 + 2.0 * cos2SigmaM *
                                                                cos2SigmaM)));
    if (std::fabs(lambda - previous) < 1e-12) {
      double uSq = cos2Alpha * (a * a - b * b) / (b * b);
      double bigA = 1.0 + uSq / 16384.0 *
                              (4096.0 + uSq * (-768.0 + uSq * (320.0 -
                                                               175.0 * uSq)));
      double bigB =
          uSq / 1024.0 * (256.0 + uSq * (-128.0 + uSq * (74.0 - 47.0 * uSq)));
      double deltaSigma =
          bigB * sinSigma *
          (cos2SigmaM +
           bigB / 4.0 *
               (cosSigma * (-1.0 + 2.0 * cos2SigmaM * cos2SigmaM) -
                bigB / 6.0 * cos2SigmaM * (-3.0 + 4.0 * sinSigma * sinSigma) *
                    (-3.0 + 4.0 * cos2SigmaM * cos2SigmaM)));
      return b * bigA * (sigma - deltaSigma) / 1000.0;
    }
  }
  return greatCircleKm(p1, p2);
}

}  // namespace standin
