// Inverse map projections: from a projected coverage's easting and northing
// (metres, after the file's units, shifts and false origin are taken into
// account as the parameters below say) to latitude and longitude in degrees
// on the coverage's own ellipsoid. No datum shift is ever applied.
//
//   ProjectionDefinition definition;       // filled from the PRJ section
//   InverseProjection inverse;
//   if (!inverse.init(definition)) refuse;  // parameters out of domain
//   double lat, lon;
//   if (!inverse.toDegrees(x, y, &lat, &lon)) refuse;  // point outside
//
// Each projection's formulas name their source beside them.
//
// What each kind reads besides the ellipsoid, the central meridian and the
// false origin, and where its points end (beyond, toDegrees refuses):
//   kTransverseMercator         latitudeOfOrigin, scaleFactor; the
//                               hemisphere within 90 degrees of the central
//                               meridian, narrowed near the equator to about
//                               82 degrees, where Krueger's series stop
//   kLambertConformalConic,     latitudeOfOrigin, standardParallel1 and 2;
//   kAlbersEqualArea,           the unrolled cone's sector (its gap is
//   kEquidistantConic           refused), between the images of the poles
//   kMercator                   latitudeOfTrueScale; 180 degrees either side
//                               of the central meridian
//   kPolarStereographic         latitudeOfTrueScale (north pole when
//                               positive, south when negative); the plane
//   kPolyconic                  latitudeOfOrigin; 180 degrees either side
//   kLambertAzimuthalEqualArea  latitudeOfOrigin (within 1e-10 radian of a
//                               pole: the polar aspect); the disc out to the
//                               antipode
// The other fields are not read, but every field must be finite and within
// its range (latitudes within 90 degrees, the central meridian within 360,
// a scale factor above 0) for init to take the definition.

#ifndef MORVANE_E00_INVERSEPROJECTION_H_
#define MORVANE_E00_INVERSEPROJECTION_H_

enum class ProjectionKind {
  kGeographic,               // no projection: toDegrees gives (y, x)
  kTransverseMercator,       // also UTM, once its zone is resolved
  kLambertConformalConic,    // two standard parallels (equal: one)
  kAlbersEqualArea,          // two standard parallels
  kMercator,                 // standard parallel (latitudeOfTrueScale)
  kPolarStereographic,       // latitudeOfTrueScale, centralMeridian
  kPolyconic,
  kEquidistantConic,         // two standard parallels
  kLambertAzimuthalEqualArea,
};

struct Ellipsoid {
  double semiMajorAxis = 0;      // metres
  double inverseFlattening = 0;  // 0 for a sphere
};

// Angles in decimal degrees, lengths in metres.
struct ProjectionDefinition {
  ProjectionKind kind = ProjectionKind::kGeographic;
  Ellipsoid ellipsoid;
  double centralMeridian = 0;        // longitude of the origin
  double latitudeOfOrigin = 0;
  double standardParallel1 = 0;
  double standardParallel2 = 0;
  double latitudeOfTrueScale = 0;    // Mercator, polar stereographic
                                     // (its sign picks the pole; 0 is
                                     // refused there)
  double scaleFactor = 1;            // Transverse Mercator (UTM 0.9996)
  double falseEasting = 0;
  double falseNorthing = 0;
};

class InverseProjection {
 public:
  // Prepares the constants. False when the definition cannot be inverted
  // (an ellipsoid without a positive axis, parallels that make no cone, a
  // scale factor not above zero, NaN anywhere...).
  bool init(const ProjectionDefinition& definition);

  // Latitude and longitude in degrees (longitude within -180..180) of the
  // point at (easting, northing) in metres. False, with nothing written,
  // when the point lies outside the projection's domain or a result is not
  // finite. kGeographic hands back (northing, easting) unchanged when
  // isGeographicPosition (E00Projection.h) takes them. Before a successful
  // init every point is refused.
  bool toDegrees(double easting, double northing, double* latitude,
                 double* longitude) const;

 private:
  // Each inverse takes the offsets from the false origin in metres and
  // gives latitude and the longitude from the central meridian, in
  // radians. False outside the projection's domain.
  bool transverseMercator(double x, double y, double* phi, double* lam) const;
  bool lambertConformalConic(double x, double y, double* phi,
                             double* lam) const;
  bool albersEqualArea(double x, double y, double* phi, double* lam) const;
  bool mercator(double x, double y, double* phi, double* lam) const;
  bool polarStereographic(double x, double y, double* phi, double* lam) const;
  bool polyconic(double x, double y, double* phi, double* lam) const;
  bool equidistantConic(double x, double y, double* phi, double* lam) const;
  bool lambertAzimuthalEqualArea(double x, double y, double* phi,
                                 double* lam) const;

  // Geodetic latitude from the conformal latitude chi, given its sine and
  // cosine; from Snyder's t = exp(-psi), psi the isometric latitude
  // (infinite t is the south pole); from the authalic latitude
  // beta, given its sine and cosine; from the rectifying latitude mu.
  double fromConformal(double sinChi, double cosChi) const;
  // The same with chi itself known.
  double fromConformal(double chi, double sinChi, double cosChi) const;
  double fromConformalT(double t) const;
  double fromAuthalic(double sinBeta, double cosBeta) const;
  double fromRectifying(double mu) const;
  // Meridian arc from the equator to phi, in units of the semi-major axis.
  double meridianArc(double phi) const;
  double meridianArc(double phi, double sinPhi, double cosPhi) const;
  // Snyder's q (authalic), in units of the semi-major axis squared.
  double authalicQ(double sinPhi) const;

  ProjectionKind kind_ = ProjectionKind::kGeographic;
  bool ready_ = false;

  // The ellipsoid: semi-major axis, eccentricity and its square, third
  // flattening.
  double a_ = 0, e_ = 0, es_ = 0, n_ = 0;
  double centralMeridian_ = 0;  // degrees
  double falseEasting_ = 0, falseNorthing_ = 0;

  // Series coefficients, sin(2x), sin(4x)...: conformal to geodetic,
  // rectifying to geodetic, authalic to geodetic, geodetic to rectifying.
  double fromConformal_[6] = {};
  // The same sum as sin(2x) times a polynomial in cos(2x).
  double fromConformalPolynomial_[6] = {};
  double fromRectifying_[4] = {};
  double fromAuthalic_[3] = {};
  double toRectifying_[4] = {};
  double rectifyingRadius_ = 0;  // in units of the semi-major axis

  // Transverse Mercator: k0 times the rectifying radius (metres), the
  // rectifying latitude of the origin, and the Krueger series from the
  // projection's normalised coordinates back to the conformal sphere.
  double tmScale_ = 0, tmXi0_ = 0;
  double tmBeta_[6] = {};
  double tmBetaPolynomial_[6] = {};

  // The conics: the cone constant, rho at the latitude of origin and the
  // constant that scales rho (its meaning per projection beside init).
  double cone_ = 0, rho0_ = 0, coneScale_ = 0;
  double qPole_ = 0;  // authalic q at the pole

  // Mercator: a k0. Polar stereographic: t per metre of rho, and the pole.
  double mercatorScale_ = 0;
  double stereoT_ = 0;
  bool south_ = false;

  // Polyconic: the meridian arc of the latitude of origin (units of a).
  double polyM0_ = 0;

  // Lambert azimuthal: the radius of the authalic sphere Rq, Snyder's D,
  // the authalic latitude of the origin; polar when polar_.
  double laeaRq_ = 0, laeaD_ = 0, sinBeta1_ = 0, cosBeta1_ = 0;
  bool polar_ = false;
};

#endif  // MORVANE_E00_INVERSEPROJECTION_H_
