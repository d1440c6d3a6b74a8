// Feeds arbitrary lines to E00Projection, as the readers do (lines cut as
// E00LineReader cuts them), and checks what must hold whatever the bytes:
// the descriptions and messages are terminated and fit, a projection is
// converted only with an ellipsoid and units that make sense, and a point
// either converts to a position in degrees or is refused.

#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <cstring>

#include "e00/E00Projection.h"
#include "fuzz/FuzzSupport.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const char* at = reinterpret_cast<const char*>(data);
  const char* end = at + size;
  E00Projection projection;
  // The first line decides where the section starts, as a reader finds it.
  projection.onLine("PRJ  2\n", 7);
  const char* text;
  int32_t n;
  while (nextLine(&at, end, &text, &n)) projection.onLine(text, n);
  projection.endOfFile();

  char out[160];
  std::memset(out, 'x', sizeof out);
  projection.describe(out, sizeof out);
  check(std::memchr(out, '\0', sizeof out) != nullptr);
  std::memset(out, 'x', sizeof out);
  projection.refusal(out, sizeof out);
  check(std::memchr(out, '\0', sizeof out) != nullptr);

  check(projection.seen());
  if (!projection.projected()) return 0;
  const ProjectionDefinition& d = projection.definition();
  check(d.ellipsoid.semiMajorAxis > 0.0 && projection.metresPerUnit() > 0.0);
  check(std::isfinite(projection.metresPerUnit()));
  // A few points around the false origin, and far away.
  const double reach[] = {0.0, 1.0, 1e3, 1e6, 1e7, 1e9, -1e6};
  for (double x : reach) {
    for (double y : reach) {
      double latitude = 1e300, longitude = 1e300;
      const double ux = (d.falseEasting + x) / projection.metresPerUnit();
      const double uy = (d.falseNorthing + y) / projection.metresPerUnit();
      if (projection.toDegrees(ux, uy, &latitude, &longitude)) {
        check(latitude >= -90.0 && latitude <= 90.0);
        check(longitude >= -180.0 && longitude <= 180.0);
      } else {
        check(latitude == 1e300 && longitude == 1e300);
      }
    }
  }
  return 0;
}
