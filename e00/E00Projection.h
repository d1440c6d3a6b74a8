// What an .e00 file says about its coordinates, and how both readers turn
// them into latitude and longitude in degrees.
//
// The PRJ section, as export writers lay it out ("~" lines separate the
// entries; a "~" followed by text continues the line before it):
//
//   PRJ  2
//   Projection    UTM
//   ~
//   Zone          13
//   ~
//   Datum         NAD27
//   ~
//   Zunits        NO
//   ~
//   Units         METERS
//   ~
//   Spheroid      CLARKE1866
//   ~
//   Xshift        0.0000000000
//   ~
//   Yshift        0.0000000000
//   ~
//   Parameters
//   ~
//   EOP
//
// A keyword's value is the word after it on the first line that starts
// with it (case does not matter). After "Parameters" each non-blank line
// holds one parameter of the projection, in the order the projection
// defines, an angle either as decimal degrees or as "DDD MM SS.SSS", each
// possibly followed by a "/*" comment; the "Parameters" line itself may
// carry an ellipsoid's two semi-axes. These are the readings of GDAL's
// importer of this format, except where it guesses silently; there the
// file is refused (below).
//
// Geographic files: a section that names no projection, or GEOGRAPHIC,
// refuses the file when any of its Projection lines names another one or any
// Units line names units other than DD (decimal degrees); a file without a
// section is taken as degrees too. Then every position must lie within
// latitude -90...90 and longitude -180...360 (0...360 being the other
// convention in use), widened by kDegreeTolerance on each side for writers
// that round.
//
// Projected files: the section names one of the projections below, and its
// coordinates are converted on the file's own ellipsoid, no datum shift ever
// applied (the degrees are on the file's datum, as geographic files are
// taken). Parameters P1, P2... in order:
//
//   UTM           Zone 1...60, south when Yshift is not 0; or, without a
//                 zone, P1 central meridian, P2 a latitude (its sign gives
//                 the hemisphere)
//   TRANSVERSE    P1 scale factor, P2 central meridian, P3 latitude of
//                 origin, P4 false easting, P5 false northing
//   LAMBERT       P1 and P2 standard parallels, P3 central meridian, P4
//   ALBERS          latitude of origin, P5 false easting, P6 false northing
//   EQUIDISTANT_CONIC
//                 P1 the number of standard parallels (1 or 2), then the
//                 parallels, central meridian, latitude of origin, false
//                 easting and northing
//   MERCATOR      P1 central meridian, P2 latitude of true scale, P3 false
//   POLAR           easting, P4 false northing (POLAR: the sign of P2 picks
//                   the pole)
//   POLYCONIC     P1 central meridian, P2 latitude of origin, P3 false
//   LAMBERT_AZIMUTHAL easting, P4 false northing
//
// False eastings and northings are in metres. Coordinates are in the
// section's Units: METERS (also without a Units line), FEET (the US survey
// foot, 1200/3937 m), KILOMETERS, or a number of units per metre. Xshift is
// not applied (nor Yshift, beyond the hemisphere of a UTM zone), as GDAL
// reads these files. The ellipsoid: that of a Datum of NAD27, NAD83, WGS84,
// WGS72, EUR, ED50 or GDA94; else the Spheroid named; else that of the
// datum TOKYO; else the semi-axes on the "Parameters" line.
//
// Refused, with a message naming what was not understood: a projection,
// ellipsoid or unit not known here, a keyword not known, a value or
// parameter that is missing or not a number, a projected section that the
// file ends before its EOP, a section longer than kMaxSectionText, a
// second section that says something else than the first, and parameters
// the projection cannot be set up with.

#ifndef MORVANE_E00_E00PROJECTION_H_
#define MORVANE_E00_E00PROJECTION_H_

#include <cstddef>
#include <cstdint>

#include "e00/InverseProjection.h"

// 1e-4 degree (0.36 arc-second, about 11 m): well above the step of a
// 32-bit float near 360 (3e-5), which single-precision writers print, and
// well below anything that would let a local grid pass as degrees.
constexpr double kDegreeTolerance = 1e-4;

// True when (latitude, longitude) can be a position in decimal degrees.
// False for NaN and infinities.
inline bool isGeographicPosition(double latitude, double longitude) {
  return latitude >= -90.0 - kDegreeTolerance &&
         latitude <= 90.0 + kDegreeTolerance &&
         longitude >= -180.0 - kDegreeTolerance &&
         longitude <= 360.0 + kDegreeTolerance;
}

// How the file's coordinates are taken, once its first PRJ section is read.
enum class CoordinateSystem {
  kDegrees,    // no section yet, or a geographic one
  kProjected,  // converted through the section's projection
  kRefused,    // see refusal()
};

// Follows the PRJ sections of a file, line by line. Copyable.
class E00Projection {
 public:
  static constexpr int32_t kValueSize = 24;  // longer values are cut
  // Characters of a section kept for reading it; a longer section is
  // refused (writers' sections take a few hundred).
  static constexpr int32_t kMaxSectionText = 4096;
  static constexpr int32_t kMaxSectionLines = 96;

  // Looks at a line that no other section claims (text of size characters,
  // its line break included or not). True when the line is part of a PRJ
  // section: its header, an entry, or the EOP that ends it.
  bool onLine(const char* text, int32_t size);

  // Ends a section the file ended inside (no EOP). Call at the end of the
  // file; harmless otherwise.
  void endOfFile();

  // True once a PRJ section refused the file.
  bool refuses() const { return system_ == CoordinateSystem::kRefused; }

  // True once the first section has ended and names a projection that is
  // converted: toDegrees() may then be used.
  bool projected() const { return system_ == CoordinateSystem::kProjected; }

  CoordinateSystem system() const { return system_; }

  // True once a PRJ section has ended (its EOP, or the next section).
  bool seen() const { return seen_; }

  // Latitude and longitude in degrees of the point (x, y) as the file holds
  // it; only when projected(). False when the point lies outside the
  // projection's domain or gives no finite result.
  bool toDegrees(double x, double y, double* latitude,
                 double* longitude) const {
    return inverse_.toDegrees(x * metresPerUnit_, y * metresPerUnit_,
                              latitude, longitude);
  }

  // The message shown for a refusal (Shift-JIS, always terminated): the
  // not-degrees text for a geographic section, else one that names what
  // was not understood ("Projection STATEPLANE", "Parameters 3").
  void refusal(char* out, size_t size) const;

  // The first PRJ section for people, always terminated. For a projection
  // that is converted, its keyword (a UTM zone with its number, and "south"
  // for the southern hemisphere), the datum and spheroid as given, the
  // units: "UTM zone 13, NAD27, CLARKE1866, METERS -> degrees, no datum
  // shift";
  // otherwise its projection and units as the file gives them:
  // "Projection GEOGRAPHIC; Units DD", "Projection UTM", "PRJ without
  // projection or units", or "none" when the file has no PRJ section.
  // Bytes outside printable ASCII are shown as "?".
  void describe(char* out, size_t size) const;

  // The conversion set up by the first section (when projected()), for
  // tests and tools.
  const ProjectionDefinition& definition() const { return first_.definition; }
  double metresPerUnit() const { return metresPerUnit_; }

 private:
  // What was not understood, for the message.
  enum class Problem {
    kNone,
    kNotDegrees,    // a geographic section naming other units, and the like
    kNotSupported,  // a projection, ellipsoid or unit not known here
    kUnreadable,    // a value missing or not a number, a cut section
  };

  // What one section gives.
  struct Reading {
    CoordinateSystem system = CoordinateSystem::kDegrees;
    Problem problem = Problem::kNone;
    char what[2 * kValueSize + 16] = {};  // "Projection STATEPLANE"
    ProjectionDefinition definition;
    double metresPerUnit = 1.0;
    int32_t zone = 0;  // UTM
    char datum[kValueSize + 1] = {};
    char spheroid[kValueSize + 1] = {};
    char units[kValueSize + 1] = {};
  };

  void endSection(bool withEop);
  // Reads the section kept in text_.
  Reading readSection(bool withEop) const;
  bool readProjected(Reading* r) const;
  static bool sameConversion(const Reading& a, const Reading& b);

  CoordinateSystem system_ = CoordinateSystem::kDegrees;
  bool inSection_ = false;
  bool seen_ = false;
  // The current section: its lines, each ended by '\n'.
  char text_[kMaxSectionText + 1] = {};
  int32_t textSize_ = 0;
  int32_t lines_ = 0;
  bool overflow_ = false;
  // The current section names a projection other than GEOGRAPHIC, or units
  // other than DD, on any of its lines.
  bool notDegrees_ = false;
  bool hasProjection_ = false;
  // The current section's first Projection value.
  char sectionProjection_[kValueSize + 1] = {};

  // The first section's projection and units as written, and what it gives.
  char projection_[kValueSize + 1] = {};
  char units_[kValueSize + 1] = {};
  Reading first_;
  // The first refusal's, when a later section refused.
  Reading refusal_;
  double metresPerUnit_ = 1.0;
  InverseProjection inverse_;
};

#endif  // MORVANE_E00_E00PROJECTION_H_
