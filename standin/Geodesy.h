// The stand-in host's geodesy: the datums its 2D map knows and the distance
// its 3D view measures.
//
// Datum codes:
//   0  WGS 84 (the datum of the module's data sets)
//   1  Tokyo datum, Bessel 1841 ellipsoid, tied to WGS 84 by the published
//      mean three-parameter shift for Japan: dX = -148 m, dY = +507 m,
//      dZ = +685 m (Tokyo to WGS 84).
// A conversion goes through geocentric cartesian coordinates: geodetic
// (height 0 on the source ellipsoid) to X, Y, Z, shift, and back to geodetic
// on the destination ellipsoid; the resulting height is dropped.
//
// Distances are geodesic, on the WGS 84 ellipsoid (Vincenty's inverse
// method), in kilometres; nearly antipodal pairs, where that method does not
// converge, fall back to the great circle on a sphere of the mean radius.

#ifndef MORVANE_STANDIN_GEODESY_H_
#define MORVANE_STANDIN_GEODESY_H_

#include <cstdint>

#include "host/PluginIf.h"

namespace standin {

enum : int32_t {
  kDatumWgs84 = 0,
  kDatumTokyo = 1,
};

bool isKnownDatum(int32_t datum);

// Converts a position (degrees) from one datum to another. False, with the
// destination a copy of the source, when either code is unknown.
bool convertDatum(const tagGEOPOS& source, int32_t sourceDatum,
                  int32_t destinationDatum, tagGEOPOS* destination);

// Geodesic distance between two WGS 84 positions, in kilometres. NaN when a
// coordinate is NaN.
double geodesicDistanceKm(const tagGEOPOS& a, const tagGEOPOS& b);

}  // namespace standin

#endif  // MORVANE_STANDIN_GEODESY_H_
