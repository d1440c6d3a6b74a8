#include "e00/InverseProjection.h"

#include <cmath>

#include "e00/E00Projection.h"

// Sources of the formulas, named beside each use:
//   [Snyder]  J. P. Snyder, "Map Projections: A Working Manual", USGS
//             Professional Paper 1395, 1987.
//   [Karney]  C. F. F. Karney, "Transverse Mercator with an accuracy of a few
//             nanometers", J. Geodesy 85 (2011) 475-485.
//   [Helmert] F. R. Helmert, "Die mathematischen und physikalischen
//             Theorieen der hoeheren Geodaesie", vol. 1, Teubner, 1880.
//   [KW]      R. Koenig and K. H. Weise, "Mathematische Grundlagen der
//             hoeheren Geodaesie und Kartographie", Springer, 1951, as
//             carried to sixth order by K. Engsager and K. Poder, "A highly
//             accurate world wide algorithm for the transverse Mercator
//             mapping (almost)", ICC 2007.
// All series are in the third flattening n = f / (2 - f), which keeps them
// short: the sixth-order terms of Earth ellipsoids are below 1e-16.

namespace {

constexpr double kPi = 3.14159265358979323846;
constexpr double kHalfPi = kPi / 2;
constexpr double kToRadians = kPi / 180;
constexpr double kToDegrees = 180 / kPi;

// Parameters closer than this (radians) are taken as equal: two standard
// parallels as one, a latitude of origin as the pole.
constexpr double kAngleTolerance = 1e-10;

// How far past an edge a point may lie and still be taken onto it, in
// radians of longitude or latitude, or as a fraction of a radius: the
// geographic test's kDegreeTolerance (about 11 m), room for the rounding of
// single precision writers at a map's edge, such as a world map's 180th
// meridian. Taken onto the edge, such a point stays on its side of the map.
constexpr double kEdgeTolerance = kDegreeTolerance * kToRadians;

// A point may also lie this far (metres) into the gap of a conic map: the
// apex of a Lambert conic is the pole, where the angle of a point rounded
// to it means nothing.
constexpr double kGapTolerance = 1;

// Takes theta, the angle of a point at rho from a cone's apex, into the
// unrolled cone of constant n when it lies in the gap between the cone's
// edges by no more than the tolerances. False when it lies farther in.
bool intoConeSector(double rho, double n, double* theta) {
  double edge = kPi * std::fabs(n);
  double past = std::fabs(*theta) - edge;
  if (past <= 0) return true;
  if (!(past <= kEdgeTolerance * std::fabs(n) || past * rho <= kGapTolerance))
    return false;
  *theta = *theta < 0 ? -edge : edge;
  return true;
}

// Takes a longitude from the central meridian (radians) rounded past 180
// degrees back onto it; false when it lies farther out.
bool intoHalfTurn(double* lam) {
  if (std::fabs(*lam) <= kPi) return true;
  if (!(std::fabs(*lam) <= kPi + kEdgeTolerance)) return false;
  *lam = *lam < 0 ? -kPi : kPi;
  return true;
}

// Beyond this |eta| (about 82 degrees of longitude from the central
// meridian at the equator) the Krueger series no longer reproduce the
// mapping to their accuracy; forward implementations of the same series
// (Engsager and Poder's) give up at the same place.
constexpr double kTmEtaLimit = 2.623395162778;

// sum of c[k] sin(2 (k+1) x) for k < size, by Clenshaw's recurrence from
// sin(2x) and cos(2x).
template <int size>
double clenshawSin(const double (&c)[size], double sin2x, double cos2x) {
  double twoCos = 2 * cos2x;
  double b1 = 0, b2 = 0;
  for (int k = size - 1; k >= 0; --k) {
    double b = c[k] + twoCos * b1 - b2;
    b2 = b1;
    b1 = b;
  }
  return b1 * sin2x;
}

// A sum of six such terms is also sin(2x) times a polynomial in w =
// cos(2x), sin(2kx) being sin(2x) U_{k-1}(w) (Chebyshev's polynomials of
// the second kind): the coefficients of that polynomial, w^0 first. Its
// value needs fewer steps one after the other than Clenshaw's recurrence,
// and its terms are of the size of the series' own (they fall off with k
// as n^k does), so nothing cancels.
void sinSeriesPolynomial(const double (&c)[6], double (&d)[6]) {
  d[0] = c[0] - c[2] + c[4];
  d[1] = 2 * c[1] - 4 * c[3] + 6 * c[5];
  d[2] = 4 * c[2] - 12 * c[4];
  d[3] = 8 * c[3] - 32 * c[5];
  d[4] = 16 * c[4];
  d[5] = 32 * c[5];
}

// The series from its polynomial d, sin(2x) and cos(2x).
double sinSeries(const double (&d)[6], double sin2x, double cos2x) {
  double w = cos2x, w2 = w * w;
  double low = d[0] + d[1] * w, mid = d[2] + d[3] * w,
         high = d[4] + d[5] * w;
  return sin2x * (low + w2 * (mid + w2 * high));
}

// The same for the complex argument z = x + iy: sin(2z) and cos(2z) are
// given as their real and imaginary parts; the sum's parts come back.
void sinSeriesComplex(const double (&d)[6], double sr, double si, double wr,
                      double wi, double* real, double* imag) {
  double w2r = (wr - wi) * (wr + wi), w2i = 2 * wr * wi;
  double lowR = d[0] + d[1] * wr, lowI = d[1] * wi;
  double midR = d[2] + d[3] * wr, midI = d[3] * wi;
  double highR = d[4] + d[5] * wr, highI = d[5] * wi;
  // mid + w2 high, then low + w2 (that).
  double tR = midR + (w2r * highR - w2i * highI);
  double tI = midI + (w2r * highI + w2i * highR);
  double pR = lowR + (w2r * tR - w2i * tI);
  double pI = lowI + (w2r * tI + w2i * tR);
  *real = pR * sr - pI * si;
  *imag = pR * si + pI * sr;
}

// sqrt(a^2 + b^2): a few times faster than std::hypot, whose care for
// overflow map coordinates never need (their squares overflow past 1e154
// metres, which then give the projection's far limit or a refusal).
double length(double a, double b) { return std::sqrt(a * a + b * b); }

// atan2(y, x). With x > 0 the angle lies within 90 degrees and is atan(y
// / x), which costs half as much: the division's rounding moves the angle
// by at most half a unit in its last place, as atan2's own rounding does.
// Every inverse takes most of its points there (near the central meridian,
// away from the apex's far side).
double arcTangent(double y, double x) {
  return x > 0 ? std::atan(y / x) : std::atan2(y, x);
}

// Below this, sin, cos and exp of a small angle (radians) are taken from
// their Taylor series, whose first left-out terms lie below 1e-19 of the
// value here. On Earth's ellipsoids the corrections Krueger's series make
// stay below it out to about 70 degrees of longitude from the central
// meridian, far beyond any zone.
constexpr double kSmallAngle = 1.0 / 64;

// The coefficients are the reciprocals of the factorials' ratios; their
// rounding is far below the terms' own size.
void smallSinCos(double d, double* sinD, double* cosD) {
  double d2 = d * d;
  *sinD = d * (1 - d2 * (1 / 6.0) * (1 - d2 * (1 / 20.0) *
               (1 - d2 * (1 / 42.0) * (1 - d2 * (1 / 72.0)))));
  *cosD = 1 - d2 * 0.5 * (1 - d2 * (1 / 12.0) *
              (1 - d2 * (1 / 30.0) * (1 - d2 * (1 / 56.0))));
}

// e^d and e^-d, from the even and odd parts of the series.
void smallExp(double d, double* expD, double* expMinusD) {
  double d2 = d * d;
  double even = 1 + d2 * 0.5 * (1 + d2 * (1 / 12.0) *
                    (1 + d2 * (1 / 30.0) * (1 + d2 * (1 / 56.0))));
  double odd = d * (1 + d2 * (1 / 6.0) * (1 + d2 * (1 / 20.0) *
                    (1 + d2 * (1 / 42.0))));
  *expD = even + odd;
  *expMinusD = even - odd;
}

// Both in one call where the compiler can make one of the two.
void sinCos(double x, double* sinX, double* cosX) {
  *sinX = std::sin(x);
  *cosX = std::cos(x);
}

bool isFinite(double v) { return std::isfinite(v); }

bool isLatitude(double degrees) {
  return isFinite(degrees) && std::fabs(degrees) <= 90;
}

}  // namespace

// Isometric latitude psi of phi on an ellipsoid of eccentricity e, as in
// the Mercator northing [Snyder eq. 7-7, with asinh(tan phi) for
// ln tan(pi/4 + phi/2)]: exp(-psi) is Snyder's t [eq. 15-9].
static double isometric(double phi, double e) {
  double s = std::sin(phi);
  double psi = std::asinh(std::tan(phi));
  if (e != 0) psi -= e * std::atanh(e * s);
  return psi;
}

// Snyder's m = cos(phi) / sqrt(1 - e^2 sin^2 phi) [Snyder eq. 14-15].
static double msfn(double phi, double es) {
  double s = std::sin(phi);
  return std::cos(phi) / std::sqrt(1 - es * s * s);
}

double InverseProjection::authalicQ(double sinPhi) const {
  // [Snyder eq. 3-12]; the logarithm is -2 atanh(e sin phi).
  if (e_ == 0) return 2 * sinPhi;
  double es = es_ * sinPhi * sinPhi;
  return (1 - es_) * (sinPhi / (1 - es) + std::atanh(e_ * sinPhi) / e_);
}

double InverseProjection::meridianArc(double phi, double sinPhi,
                                      double cosPhi) const {
  // Rectifying latitude from geodetic by Helmert's series in n [Helmert,
  // to n^4; Snyder eq. 3-21 is the same in e^2]: mu = phi + sum c_k
  // sin(2k phi), and the arc is A mu with A the rectifying radius.
  return rectifyingRadius_ *
         (phi + clenshawSin(toRectifying_, 2 * sinPhi * cosPhi,
                            (cosPhi - sinPhi) * (cosPhi + sinPhi)));
}

double InverseProjection::meridianArc(double phi) const {
  return meridianArc(phi, std::sin(phi), std::cos(phi));
}

double InverseProjection::fromRectifying(double mu) const {
  // [Snyder p. 17, eq. 3-26], whose e1 is the third flattening n.
  return mu + clenshawSin(fromRectifying_, std::sin(2 * mu), std::cos(2 * mu));
}

double InverseProjection::fromConformal(double sinChi, double cosChi) const {
  return fromConformal(arcTangent(sinChi, cosChi), sinChi, cosChi);
}

double InverseProjection::fromConformal(double chi, double sinChi,
                                        double cosChi) const {
  // Gaussian (conformal) to geodetic latitude [KW p. 190-191, eq. 61-62,
  // sixth order]: phi = chi + sum c_k sin(2k chi), in place of Snyder's
  // iteration [eq. 7-9] or his series in e^2 [eq. 3-5].
  if (n_ == 0) return chi;
  return chi + sinSeries(fromConformalPolynomial_, 2 * sinChi * cosChi,
                           (cosChi - sinChi) * (cosChi + sinChi));
}

double InverseProjection::fromConformalT(double t) const {
  // t = tan(pi/4 - chi/2) [Snyder eq. 15-9 on the conformal sphere]:
  // sin chi = (1 - t^2) / (1 + t^2), cos chi = 2t / (1 + t^2), so neither
  // a logarithm nor an arc tangent is needed to reach chi's sine and
  // cosine. Past t = 1, in 1/t, so that nothing overflows.
  if (!(t <= 1)) {
    double v = 1 / t;  // 0 for an infinite t: the south pole
    double v2 = 1 + v * v;
    return fromConformal((v - 1) * (v + 1) / v2, 2 * v / v2);
  }
  double t2 = 1 + t * t;
  return fromConformal((1 - t) * (1 + t) / t2, 2 * t / t2);
}

double InverseProjection::fromAuthalic(double sinBeta, double cosBeta) const {
  double beta = arcTangent(sinBeta, cosBeta);
  if (e_ == 0) return beta;
  // [Snyder p. 16, eq. 3-18] to e^6, whose e^8 remainder (about 1e-10
  // radian) one Newton step of [eq. 3-16] removes. Within 6 km of a pole
  // (cos phi < 1e-3) the series' own error is below 1e-12 radian and the
  // step's division by cos(phi) would lose more than it gains.
  double phi = beta + clenshawSin(fromAuthalic_, 2 * sinBeta * cosBeta,
                                  (cosBeta - sinBeta) * (cosBeta + sinBeta));
  double c = std::cos(phi);
  if (c > 1e-3) {
    double s = std::sin(phi);
    double w = 1 - es_ * s * s;
    double q = qPole_ * sinBeta;
    phi += w * w / (2 * c) *
           (q / (1 - es_) - s / w - std::atanh(e_ * s) / e_);
  }
  return phi;
}

bool InverseProjection::init(const ProjectionDefinition& d) {
  ready_ = false;
  const Ellipsoid& el = d.ellipsoid;
  if (!isFinite(el.semiMajorAxis) || el.semiMajorAxis <= 0) return false;
  if (!isFinite(el.inverseFlattening) ||
      (el.inverseFlattening != 0 && el.inverseFlattening <= 1))
    return false;
  if (!isFinite(d.centralMeridian) || std::fabs(d.centralMeridian) > 360)
    return false;
  if (!isLatitude(d.latitudeOfOrigin) || !isLatitude(d.standardParallel1) ||
      !isLatitude(d.standardParallel2) || !isLatitude(d.latitudeOfTrueScale))
    return false;
  if (!isFinite(d.scaleFactor) || d.scaleFactor <= 0) return false;
  if (!isFinite(d.falseEasting) || !isFinite(d.falseNorthing)) return false;

  kind_ = d.kind;
  a_ = el.semiMajorAxis;
  double f = el.inverseFlattening == 0 ? 0 : 1 / el.inverseFlattening;
  es_ = f * (2 - f);
  e_ = std::sqrt(es_);
  n_ = f / (2 - f);
  centralMeridian_ = d.centralMeridian;
  falseEasting_ = d.falseEasting;
  falseNorthing_ = d.falseNorthing;

  const double n = n_, n2 = n * n, n3 = n2 * n, n4 = n3 * n, n5 = n4 * n,
               n6 = n5 * n;
  // Conformal to geodetic [KW eq. 61-62 to n^6].
  fromConformal_[0] = n * (2 + n * (-2 / 3.0 + n * (-2 + n * (116 / 45.0 +
                      n * (26 / 45.0 + n * (-2854 / 675.0))))));
  fromConformal_[1] = n2 * (7 / 3.0 + n * (-8 / 5.0 + n * (-227 / 45.0 +
                      n * (2704 / 315.0 + n * (2323 / 945.0)))));
  fromConformal_[2] = n3 * (56 / 15.0 + n * (-136 / 35.0 + n * (-1262 / 105.0 +
                      n * (73814 / 2835.0))));
  fromConformal_[3] = n4 * (4279 / 630.0 + n * (-332 / 35.0 +
                      n * (-399572 / 14175.0)));
  fromConformal_[4] = n5 * (4174 / 315.0 + n * (-144838 / 6237.0));
  fromConformal_[5] = n6 * (601676 / 22275.0);
  sinSeriesPolynomial(fromConformal_, fromConformalPolynomial_);
  // Rectifying radius A in units of a [Karney eq. 14].
  rectifyingRadius_ = (1 + n2 * (1 / 4.0 + n2 * (1 / 64.0 + n2 / 256.0))) /
                      (1 + n);
  // Geodetic to rectifying [Helmert] and back [Snyder eq. 3-26, e1 = n],
  // to n^4: the n^5 terms are below 1e-13 radian (1 micrometre).
  toRectifying_[0] = -3 / 2.0 * n + 9 / 16.0 * n3;
  toRectifying_[1] = 15 / 16.0 * n2 - 15 / 32.0 * n4;
  toRectifying_[2] = -35 / 48.0 * n3;
  toRectifying_[3] = 315 / 512.0 * n4;
  fromRectifying_[0] = 3 / 2.0 * n - 27 / 32.0 * n3;
  fromRectifying_[1] = 21 / 16.0 * n2 - 55 / 32.0 * n4;
  fromRectifying_[2] = 151 / 96.0 * n3;
  fromRectifying_[3] = 1097 / 512.0 * n4;
  // Authalic to geodetic [Snyder eq. 3-18] and q at the pole [eq. 3-12,
  // 14-20].
  const double e2 = es_, e4 = e2 * e2, e6 = e4 * e2;
  fromAuthalic_[0] = e2 / 3 + 31 * e4 / 180 + 517 * e6 / 5040;
  fromAuthalic_[1] = 23 * e4 / 360 + 251 * e6 / 3780;
  fromAuthalic_[2] = 761 * e6 / 45360;
  qPole_ = e_ == 0 ? 2 : 1 + (1 - es_) * std::atanh(e_) / e_;

  const double phi0 = d.latitudeOfOrigin * kToRadians;
  const double phi1 = d.standardParallel1 * kToRadians;
  const double phi2 = d.standardParallel2 * kToRadians;
  const bool oneParallel = std::fabs(phi1 - phi2) < kAngleTolerance;
  // Two standard parallels symmetric about the equator make a cylinder:
  // no cone.
  const bool noCone = std::fabs(phi1 + phi2) < kAngleTolerance;
  // A conformal cone cannot touch the sphere at a pole, where m is 0.
  const bool parallelAtPole = std::fabs(phi1) > kHalfPi - kAngleTolerance ||
                              std::fabs(phi2) > kHalfPi - kAngleTolerance;

  switch (kind_) {
    case ProjectionKind::kGeographic:
      break;

    case ProjectionKind::kTransverseMercator: {
      // [Karney eq. 36]: Krueger's beta coefficients take the normalised
      // coordinates (xi, eta) back to the conformal sphere's (xi', eta').
      tmBeta_[0] = n * (1 / 2.0 + n * (-2 / 3.0 + n * (37 / 96.0 + n * (-1 / 360.0 +
                   n * (-81 / 512.0 + n * (96199 / 604800.0))))));
      tmBeta_[1] = n2 * (1 / 48.0 + n * (1 / 15.0 + n * (-437 / 1440.0 +
                   n * (46 / 105.0 + n * (-1118711 / 3870720.0)))));
      tmBeta_[2] = n3 * (17 / 480.0 + n * (-37 / 840.0 + n * (-209 / 4480.0 +
                   n * (5569 / 90720.0))));
      tmBeta_[3] = n4 * (4397 / 161280.0 + n * (-11 / 504.0 +
                   n * (-830251 / 7257600.0)));
      tmBeta_[4] = n5 * (4583 / 161280.0 + n * (-108847 / 3991680.0));
      tmBeta_[5] = n6 * (20648693 / 638668800.0);
      sinSeriesPolynomial(tmBeta_, tmBetaPolynomial_);
      // [Karney eq. 35]: Krueger's alpha, for the forward series along the
      // central meridian, where it gives the origin's rectifying latitude
      // from its conformal one.
      const double alpha[6] = {
          n * (1 / 2.0 + n * (-2 / 3.0 + n * (5 / 16.0 + n * (41 / 180.0 +
              n * (-127 / 288.0 + n * (7891 / 37800.0)))))),
          n2 * (13 / 48.0 + n * (-3 / 5.0 + n * (557 / 1440.0 +
               n * (281 / 630.0 + n * (-1983433 / 1935360.0))))),
          n3 * (61 / 240.0 + n * (-103 / 140.0 + n * (15061 / 26880.0 +
               n * (167603 / 181440.0)))),
          n4 * (49561 / 161280.0 + n * (-179 / 168.0 +
               n * (6601661 / 7257600.0))),
          n5 * (34729 / 80640.0 + n * (-3418889 / 1995840.0)),
          n6 * (212378941 / 319334400.0)};
      double chi0 = std::atan(std::sinh(isometric(phi0, e_)));
      tmXi0_ = chi0 + clenshawSin(alpha, std::sin(2 * chi0),
                                  std::cos(2 * chi0));
      tmScale_ = d.scaleFactor * rectifyingRadius_ * a_;
      break;
    }

    case ProjectionKind::kLambertConformalConic: {
      // [Snyder p. 108, eq. 15-7 to 15-10, 14-15]: cone_ is n, coneScale_
      // is a F, rho = a F t^n with t = exp(-psi).
      if (noCone || parallelAtPole) return false;
      double m1 = msfn(phi1, es_);
      double psi1 = isometric(phi1, e_);
      if (oneParallel) {
        cone_ = std::sin(phi1);
      } else {
        double m2 = msfn(phi2, es_);
        double psi2 = isometric(phi2, e_);
        cone_ = (std::log(m1) - std::log(m2)) / (psi2 - psi1);
      }
      if (!isFinite(cone_) || std::fabs(cone_) < kAngleTolerance) return false;
      coneScale_ = a_ * m1 / (cone_ * std::exp(-cone_ * psi1));
      // The apex is the pole on n's side; a latitude of origin at the
      // other pole lies at infinity.
      if (std::fabs(phi0) > kHalfPi - kAngleTolerance) {
        if ((phi0 > 0) != (cone_ > 0)) return false;
        rho0_ = 0;
      } else {
        rho0_ = coneScale_ * std::exp(-cone_ * isometric(phi0, e_));
      }
      if (!isFinite(coneScale_) || !isFinite(rho0_)) return false;
      break;
    }

    case ProjectionKind::kAlbersEqualArea: {
      // [Snyder p. 101, eq. 14-3, 14-12 to 14-14]: cone_ is n, coneScale_
      // is C, rho = a sqrt(C - n q) / n.
      if (noCone) return false;
      double m1 = msfn(phi1, es_);
      double q1 = authalicQ(std::sin(phi1));
      if (oneParallel) {
        // The limit of (m1^2 - m2^2) / (q2 - q1) as phi2 nears phi1.
        cone_ = std::sin(phi1);
      } else {
        double m2 = msfn(phi2, es_);
        double q2 = authalicQ(std::sin(phi2));
        cone_ = (m1 * m1 - m2 * m2) / (q2 - q1);
      }
      if (!isFinite(cone_) || std::fabs(cone_) < kAngleTolerance) return false;
      coneScale_ = m1 * m1 + cone_ * q1;
      double r = coneScale_ - cone_ * authalicQ(std::sin(phi0));
      if (!(r >= 0)) return false;
      rho0_ = a_ * std::sqrt(r) / cone_;
      if (!isFinite(rho0_)) return false;
      break;
    }

    case ProjectionKind::kMercator: {
      // [Snyder p. 44, eq. 7-6, 7-7] times k0 = m(latitude of true scale)
      // [eq. 14-15], the scale of the parallel that stays true.
      double ts = d.latitudeOfTrueScale * kToRadians;
      if (std::fabs(ts) > kHalfPi - kAngleTolerance) return false;
      mercatorScale_ = a_ * msfn(ts, es_);
      break;
    }

    case ProjectionKind::kPolarStereographic: {
      // [Snyder p. 160-161, eq. 21-33, 21-34]: rho = 2 a k0 t /
      // sqrt((1+e)^(1+e) (1-e)^(1-e)) with k0 = 1 when the scale is true
      // at the pole, else rho = a mc t / tc. stereoT_ is t / rho.
      double ts = d.latitudeOfTrueScale * kToRadians;
      if (ts == 0) return false;
      south_ = ts < 0;
      ts = std::fabs(ts);
      if (ts > kHalfPi - kAngleTolerance) {
        stereoT_ = std::sqrt(std::pow(1 + e_, 1 + e_) *
                             std::pow(1 - e_, 1 - e_)) / (2 * a_);
      } else {
        stereoT_ = std::exp(-isometric(ts, e_)) / (a_ * msfn(ts, es_));
      }
      if (!isFinite(stereoT_) || stereoT_ <= 0) return false;
      break;
    }

    case ProjectionKind::kPolyconic:
      polyM0_ = meridianArc(phi0);
      break;

    case ProjectionKind::kEquidistantConic: {
      // [Snyder p. 113, eq. 16-3 to 16-5, 16-5a], in units of a: cone_ is
      // n, coneScale_ is G, rho = G - M.
      if (noCone) return false;
      double m1 = msfn(phi1, es_);
      double arc1 = meridianArc(phi1);
      if (oneParallel) {
        cone_ = std::sin(phi1);
      } else {
        cone_ = (m1 - msfn(phi2, es_)) / (meridianArc(phi2) - arc1);
      }
      if (!isFinite(cone_) || std::fabs(cone_) < kAngleTolerance) return false;
      coneScale_ = m1 / cone_ + arc1;
      rho0_ = coneScale_ - meridianArc(phi0);
      if (!isFinite(coneScale_) || !isFinite(rho0_)) return false;
      break;
    }

    case ProjectionKind::kLambertAzimuthalEqualArea: {
      // [Snyder p. 187-188, eq. 3-11, 3-13, 24-20]: the radius Rq of the
      // sphere of equal area, beta1 and D.
      laeaRq_ = a_ * std::sqrt(qPole_ / 2);
      polar_ = std::fabs(phi0) > kHalfPi - kAngleTolerance;
      south_ = phi0 < 0;
      if (!polar_) {
        double sinBeta1 = authalicQ(std::sin(phi0)) / qPole_;
        sinBeta1_ = sinBeta1;
        cosBeta1_ = std::sqrt((1 - sinBeta1) * (1 + sinBeta1));
        laeaD_ = a_ * msfn(phi0, es_) / (laeaRq_ * cosBeta1_);
        if (!isFinite(laeaD_) || laeaD_ <= 0) return false;
      }
      break;
    }

    default:
      return false;
  }
  ready_ = true;
  return true;
}

bool InverseProjection::transverseMercator(double x, double y, double* phi,
                                           double* lam) const {
  // [Karney]: normalised coordinates, Krueger's series back to the
  // conformal sphere, then the sphere's transverse Mercator inverse.
  double xi = y / tmScale_ + tmXi0_;
  double eta = x / tmScale_;
  // The hemisphere of the central meridian (|xi| <= pi/2 is |lon| <= 90,
  // the series leaving the line xi = pi/2 where it is), cut at the series'
  // limit.
  if (!(std::fabs(xi) <= kHalfPi + kEdgeTolerance) ||
      !(std::fabs(eta) <= kTmEtaLimit))
    return false;
  // One sine and cosine of xi and one exponential of eta serve both the
  // series and the sphere: the series' double angles follow from them, and
  // so do xi' and eta' when the series moves the point by a small angle.
  double sxi, cxi;
  sinCos(xi, &sxi, &cxi);
  double ex = std::exp(eta), iex = 1 / ex;
  if (n_ != 0) {
    // sin 2z = sin2x cosh2y + i cos2x sinh2y, cos 2z = cos2x cosh2y - i
    // sin2x sinh2y for z = xi + i eta.
    double sh = (ex - iex) / 2, ch = (ex + iex) / 2;
    double s2 = 2 * sxi * cxi, c2 = (cxi - sxi) * (cxi + sxi);
    double sh2 = 2 * sh * ch, ch2 = sh * sh + ch * ch;
    double dxi, deta;
    sinSeriesComplex(tmBetaPolynomial_, s2 * ch2, c2 * sh2, c2 * ch2,
                     -s2 * sh2, &dxi, &deta);
    if (std::fabs(dxi) <= kSmallAngle && std::fabs(deta) <= kSmallAngle) {
      // xi' = xi - dxi by the angle difference formulas, e^eta' = e^eta
      // e^-deta and its reciprocal alike, which spares a division.
      double sd, cd;
      smallSinCos(dxi, &sd, &cd);
      double s = sxi * cd - cxi * sd;
      cxi = cxi * cd + sxi * sd;
      sxi = s;
      double up, down;
      smallExp(deta, &up, &down);
      ex *= down;
      iex *= up;
    } else {
      sinCos(xi - dxi, &sxi, &cxi);
      ex = std::exp(eta - deta);
      iex = 1 / ex;
    }
  }
  double sh = (ex - iex) / 2, ch = (ex + iex) / 2;
  double r = length(sh, cxi);
  // On the conformal sphere [Karney; Snyder eq. 8-6, 8-7]: tan chi =
  // sin xi' / hypot(sinh eta', cos xi'), whose denominator is cos chi
  // cosh eta'; lam = atan2(sinh eta', cos xi').
  double ich = 1 / ch;
  *phi = fromConformal(arcTangent(sxi, r), sxi * ich, r * ich);
  *lam = arcTangent(sh, cxi);
  return true;
}

bool InverseProjection::lambertConformalConic(double x, double y, double* phi,
                                              double* lam) const {
  // [Snyder p. 109, eq. 14-10, 14-11, 15-11]: rho and theta from the
  // apex, t = (rho / aF)^(1/n), latitude from t by the conformal series.
  double dx = x, dy = rho0_ - y;
  if (cone_ < 0) {
    dx = -dx;
    dy = -dy;
  }
  double rho = length(dx, dy);
  double theta = arcTangent(dx, dy);
  // Outside the cone's sector: the gap of a conic map.
  if (!intoConeSector(rho, cone_, &theta)) return false;
  if (rho == 0) {
    *phi = cone_ > 0 ? kHalfPi : -kHalfPi;
  } else {
    *phi = fromConformalT(std::pow(rho / std::fabs(coneScale_), 1 / cone_));
  }
  *lam = theta / cone_;
  return true;
}

bool InverseProjection::albersEqualArea(double x, double y, double* phi,
                                        double* lam) const {
  // [Snyder p. 102, eq. 14-10, 14-11, 14-19]: rho, theta, then q and the
  // authalic latitude beta = asin(q / qp).
  double dx = x, dy = rho0_ - y;
  if (cone_ < 0) {
    dx = -dx;
    dy = -dy;
  }
  double rho = length(dx, dy);
  double theta = arcTangent(dx, dy);
  if (!intoConeSector(rho, cone_, &theta)) return false;
  double r = rho * cone_ / a_;
  double q = (coneScale_ - r * r) / cone_;
  double sinBeta = q / qPole_;
  // Beyond the circle of the poles.
  if (!(std::fabs(sinBeta) <= 1 + kEdgeTolerance)) return false;
  if (sinBeta > 1) sinBeta = 1;
  if (sinBeta < -1) sinBeta = -1;
  *phi = fromAuthalic(sinBeta, std::sqrt((1 - sinBeta) * (1 + sinBeta)));
  *lam = theta / cone_;
  return true;
}

bool InverseProjection::mercator(double x, double y, double* phi,
                                 double* lam) const {
  // [Snyder p. 44-45]: t = exp(-y / (a k0)) and lam = x / (a k0); the
  // conformal series in place of his iteration [eq. 7-9].
  *lam = x / mercatorScale_;
  if (!intoHalfTurn(lam)) return false;
  *phi = fromConformalT(std::exp(-y / mercatorScale_));
  return true;
}

bool InverseProjection::polarStereographic(double x, double y, double* phi,
                                           double* lam) const {
  // [Snyder p. 161-162]: t from rho, the latitude from t by the conformal
  // series; the south polar aspect reverses the signs of y and phi.
  double rho = length(x, y);
  double p = fromConformalT(rho * stereoT_);
  if (south_) {
    *phi = -p;
    *lam = arcTangent(x, y);
  } else {
    *phi = p;
    *lam = arcTangent(x, -y);
  }
  return true;
}

bool InverseProjection::polyconic(double x, double y, double* phi,
                                  double* lam) const {
  // [Snyder p. 127-129, eq. 18-1 to 18-4 and the inverse 18-17 to 18-19],
  // in units of a. The parallel of phi is the circle through (0, M) of
  // radius cot(phi) / w, w = sqrt(1 - e^2 sin^2 phi); the point (X, A) lies
  // on it when h(phi) = w sin(phi) (X^2 + (A - M)^2) - 2 (A - M) cos(phi)
  // is 0. That is Snyder's equation times cos(phi), which keeps it finite
  // at the pole; it is solved by Newton's method as he does, kept inside
  // the bracket where h changes sign so that a far point cannot throw it
  // past the pole. The map is symmetric about the equator: the southern
  // half is solved as the northern one.
  const double X = x / a_;
  const double A = y / a_ + polyM0_;
  const double absA = std::fabs(A);
  if (A == 0) {
    *phi = 0;
    *lam = X;
    return intoHalfTurn(lam);
  }
  double lo = 0, hi = kHalfPi;  // h(lo) < 0 <= h(hi)
  double p = absA < kHalfPi ? absA : kHalfPi;
  double s = 0, c = 0, w = 0, d = 0;
  for (int i = 0;; ++i) {
    if (i == 60) return false;
    s = std::sin(p);
    c = std::cos(p);
    w = std::sqrt(1 - es_ * s * s);
    d = absA - meridianArc(p, s, c);
    double D = X * X + d * d;
    double h = w * s * D - 2 * d * c;
    if (h == 0) break;
    if (h < 0) lo = p; else hi = p;
    double dM = (1 - es_) / (w * w * w);
    double dh = c * (1 - 2 * es_ * s * s) / w * D - 2 * w * s * d * dM +
                2 * dM * c + 2 * d * s;
    double next = p - h / dh;
    // Newton converges quadratically: after a step of 1e-11 radian the
    // error is far below a double's resolution. A step that leaves the
    // bracket is replaced by halving it, done when the bracket is.
    if (next > lo && next < hi) {
      if (std::fabs(next - p) <= 1e-11) {
        p = next;
        break;
      }
    } else {
      next = (lo + hi) / 2;
      if (hi - lo <= 1e-15) break;
    }
    p = next;
  }
  s = std::sin(p);
  c = std::cos(p);
  w = std::sqrt(1 - es_ * s * s);
  d = absA - meridianArc(p, s, c);
  // sin E = X C and 1 - cos E = (A - M) C with C = w tan(phi) [eq. 18-3,
  // 18-4, times cos(phi)]: atan2 finds E = lam sin(phi) on its whole
  // circle, where Snyder's asin folds points past |E| = 90 degrees back.
  double E = arcTangent(X * w * s, c - d * w * s);
  *phi = A < 0 ? -p : p;
  *lam = E / s;
  return intoHalfTurn(lam);
}

bool InverseProjection::equidistantConic(double x, double y, double* phi,
                                         double* lam) const {
  // [Snyder p. 114]: rho and theta as for the other conics [eq. 14-10,
  // 14-11], the meridian arc M = G - rho (units of a), then the latitude
  // from its rectifying one [eq. 3-26].
  double dx = x / a_, dy = rho0_ - y / a_;
  if (cone_ < 0) {
    dx = -dx;
    dy = -dy;
  }
  double rho = length(dx, dy);
  double theta = arcTangent(dx, dy);
  if (!intoConeSector(rho, cone_, &theta)) return false;
  double M = coneScale_ - (cone_ < 0 ? -rho : rho);
  double mu = M / rectifyingRadius_;
  if (!(std::fabs(mu) <= kHalfPi + kEdgeTolerance)) return false;
  if (mu > kHalfPi) mu = kHalfPi;
  if (mu < -kHalfPi) mu = -kHalfPi;
  *phi = fromRectifying(mu);
  *lam = theta / cone_;
  return true;
}

bool InverseProjection::lambertAzimuthalEqualArea(double x, double y,
                                                  double* phi,
                                                  double* lam) const {
  if (polar_) {
    // [Snyder p. 190, polar aspects]: q = qp - rho^2 / a^2, so 1 -
    // sin(beta) = rho^2 / (a^2 qp), and cos(beta) from it without the loss
    // asin would have next to the pole.
    double rho = length(x, y);
    double u = rho * rho / (a_ * a_ * qPole_);
    if (!(u <= 2 * (1 + kEdgeTolerance))) return false;
    if (u > 2) u = 2;
    double p = fromAuthalic(1 - u, std::sqrt(u * (2 - u)));
    if (south_) {
      *phi = -p;
      *lam = arcTangent(x, y);
    } else {
      *phi = p;
      *lam = arcTangent(x, -y);
    }
    return true;
  }
  // [Snyder p. 189, oblique and equatorial aspects, eq. 24-28, 24-29],
  // ce being the angular distance from the centre on the authalic sphere. The
  // point's direction there has the height sin(beta) and the horizontal
  // parts (u, v); beta = atan2(sin, hypot(u, v)) keeps the precision next
  // to a pole that Snyder's asin loses.
  double X = x / laeaD_, Y = y * laeaD_;
  double rho = length(X, Y);
  if (rho == 0) {
    *phi = fromAuthalic(sinBeta1_, cosBeta1_);
    *lam = 0;
    return true;
  }
  double half = rho / (2 * laeaRq_);  // sin(ce / 2)
  if (!(half <= 1 + kEdgeTolerance)) return false;  // past the antipode
  if (half > 1) half = 1;
  double sc = 2 * half * std::sqrt((1 - half) * (1 + half));
  double cc = (1 - half) * (1 + half) - half * half;
  double along = Y / rho, across = X / rho;
  double sinBeta = cc * sinBeta1_ + sc * along * cosBeta1_;
  double u = cc * cosBeta1_ - sc * along * sinBeta1_;
  double v = sc * across;
  *phi = fromAuthalic(sinBeta, length(u, v));
  *lam = arcTangent(v, u);
  return true;
}

bool InverseProjection::toDegrees(double easting, double northing,
                                  double* latitude, double* longitude) const {
  if (!ready_ || !isFinite(easting) || !isFinite(northing)) return false;
  if (kind_ == ProjectionKind::kGeographic) {
    if (!isGeographicPosition(northing, easting)) return false;
    *latitude = northing;
    *longitude = easting;
    return true;
  }
  double x = easting - falseEasting_, y = northing - falseNorthing_;
  double phi = 0, lam = 0;
  bool ok = false;
  switch (kind_) {
    case ProjectionKind::kTransverseMercator:
      ok = transverseMercator(x, y, &phi, &lam);
      break;
    case ProjectionKind::kLambertConformalConic:
      ok = lambertConformalConic(x, y, &phi, &lam);
      break;
    case ProjectionKind::kAlbersEqualArea:
      ok = albersEqualArea(x, y, &phi, &lam);
      break;
    case ProjectionKind::kMercator:
      ok = mercator(x, y, &phi, &lam);
      break;
    case ProjectionKind::kPolarStereographic:
      ok = polarStereographic(x, y, &phi, &lam);
      break;
    case ProjectionKind::kPolyconic:
      ok = polyconic(x, y, &phi, &lam);
      break;
    case ProjectionKind::kEquidistantConic:
      ok = equidistantConic(x, y, &phi, &lam);
      break;
    case ProjectionKind::kLambertAzimuthalEqualArea:
      ok = lambertAzimuthalEqualArea(x, y, &phi, &lam);
      break;
    default:
      break;
  }
  if (!ok) return false;
  double lat = phi * kToDegrees;
  // remainder keeps -180 and 180 as they are and is exact.
  double lon = centralMeridian_ + lam * kToDegrees;
  if (lon > 180 || lon < -180) lon = std::remainder(lon, 360.0);
  if (!isFinite(lat) || !isFinite(lon) || !(std::fabs(lat) <= 90)) return false;
  *latitude = lat;
  *longitude = lon;
  return true;
}
