// What an .e00 file says about its coordinates, and the one test both
// readers apply before they take coordinates as geographic degrees.
//
// The PRJ section, as export writers lay it out (keywords and values are
// the first two fields of a line; "~" lines separate the entries):
//
//   PRJ  2
//   Projection    GEOGRAPHIC
//   ~
//   Units         DD
//   ~
//   Parameters
//   EOP
//
// A PRJ section that names a projection other than GEOGRAPHIC, or units
// other than DD (decimal degrees), refuses the file (case does not matter).
// Otherwise, with or without a PRJ section, every position must lie within
// latitude -90...90 and longitude -180...360 (0...360 being the other
// convention in use), widened by kDegreeTolerance on each side for writers
// that round.

#ifndef MORVANE_E00_E00PROJECTION_H_
#define MORVANE_E00_E00PROJECTION_H_

#include <cstddef>
#include <cstdint>

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

// Follows the PRJ sections of a file, line by line.
class E00Projection {
 public:
  static constexpr int32_t kValueSize = 24;  // longer values are cut

  // Looks at a line that no other section claims (text of size characters,
  // its line break included or not). True when the line is part of a PRJ
  // section: its header, an entry, or the EOP that ends it.
  bool onLine(const char* text, int32_t size);

  // True once a PRJ section named a projection other than GEOGRAPHIC or
  // units other than DD.
  bool refuses() const { return refuses_; }

  // True once a PRJ section has ended (its EOP, or the next section).
  bool seen() const { return seen_; }

  // The first PRJ section's projection and units, for people:
  // "Projection GEOGRAPHIC; Units DD", "Projection UTM", "PRJ without
  // projection or units", or "none" when the file has no PRJ section.
  // Bytes outside printable ASCII are shown as "?". Always terminated.
  void describe(char* out, size_t size) const;

 private:
  bool inSection_ = false;
  bool seen_ = false;
  bool refuses_ = false;
  char projection_[kValueSize + 1] = {};
  char units_[kValueSize + 1] = {};
};

#endif  // MORVANE_E00_E00PROJECTION_H_
