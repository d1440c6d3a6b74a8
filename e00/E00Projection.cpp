#include "e00/E00Projection.h"

#include <cmath>
#include <cstdio>
#include <cstring>

#include "e00/E00Fields.h"
#include "resources/Texts.h"

namespace {

struct Word {
  const char* text = nullptr;
  int32_t size = 0;
};

// The word starting at or after *i, *i moved past it.
Word nextWord(const char* text, int32_t size, int32_t* i) {
  while (*i < size && isE00Space(text[*i])) ++*i;
  Word w{text + *i, 0};
  while (*i < size && !isE00Space(text[*i])) ++*i;
  w.size = static_cast<int32_t>(text + *i - w.text);
  return w;
}

bool sameWord(Word w, const char* keyword) {
  const int32_t n = static_cast<int32_t>(std::strlen(keyword));
  if (w.size != n) return false;
  for (int32_t i = 0; i < n; ++i) {
    char c = w.text[i];
    if (c >= 'a' && c <= 'z') c = static_cast<char>(c - 'a' + 'A');
    if (c != keyword[i]) return false;
  }
  return true;
}

void keep(Word w, char* out) {
  int32_t n = w.size < E00Projection::kValueSize ? w.size
                                                 : E00Projection::kValueSize;
  for (int32_t i = 0; i < n; ++i) {
    unsigned char c = static_cast<unsigned char>(w.text[i]);
    out[i] = c >= 0x21 && c <= 0x7E ? static_cast<char>(c) : '?';
  }
  out[n] = '\0';
}

// The whole word as a number (no other characters), else false.
bool wordNumber(Word w, double* value) {
  if (w.size == 0) return false;
  const char* stop;
  *value = parseE00Number(w.text, w.text + w.size, &stop);
  return stop == w.text + w.size && std::isfinite(*value);
}

// One line of the kept section.
struct Line {
  const char* text;
  int32_t size;
};

// The words of a line, at most kMax (a line with more gives kMax + 1).
struct Words {
  static constexpr int32_t kMax = 4;
  Word word[kMax + 1];
  int32_t count = 0;
};

Words splitWords(Line line) {
  Words w;
  int32_t i = 0;
  while (w.count <= Words::kMax) {
    Word next = nextWord(line.text, line.size, &i);
    if (next.size == 0) break;
    w.word[w.count++] = next;
  }
  return w;
}

// Ellipsoids by the names PRJ sections give them (semi-major axis in
// metres, inverse flattening; 0 for a sphere).
struct NamedEllipsoid {
  const char* name;
  Ellipsoid ellipsoid;
};
constexpr NamedEllipsoid kSpheroids[] = {
    {"CLARKE1866", {6378206.4, 294.978698213898}},
    {"CLARKE1880", {6378249.145, 293.465}},  // the RGS figure, EPSG 7012
    {"GRS1980", {6378137.0, 298.257222101}},
    {"GRS80", {6378137.0, 298.257222101}},
    {"WGS84", {6378137.0, 298.257223563}},
    {"WGS72", {6378135.0, 298.26}},
    {"BESSEL", {6377397.155, 299.1528128}},
    {"INTERNATIONAL1909", {6378388.0, 297.0}},
    {"INT1909", {6378388.0, 297.0}},
    {"AIRY", {6377563.396, 299.3249646}},
    {"KRASOVSKY", {6378245.0, 298.3}},
    {"KRASSOVSKY", {6378245.0, 298.3}},
    {"KRASSOWSKY", {6378245.0, 298.3}},
    {"EVEREST", {6377276.345, 300.8017}},  // 1830, EPSG 7015
    {"SPHERE", {6370997.0, 0.0}},
};

// Datums that decide the ellipsoid whatever the Spheroid line says, as
// GDAL reads them.
constexpr NamedEllipsoid kDatums[] = {
    {"NAD27", {6378206.4, 294.978698213898}},
    {"NAD83", {6378137.0, 298.257222101}},
    {"WGS84", {6378137.0, 298.257223563}},
    {"WGS72", {6378135.0, 298.26}},
    {"EUR", {6378388.0, 297.0}},
    {"ED50", {6378388.0, 297.0}},
    {"GDA94", {6378137.0, 298.257222101}},
};

const Ellipsoid* findEllipsoid(const NamedEllipsoid* table, size_t count,
                               Word name) {
  for (size_t i = 0; i < count; ++i) {
    if (sameWord(name, table[i].name)) return &table[i].ellipsoid;
  }
  return nullptr;
}

// Keywords a section may give before its parameters.
constexpr const char* kKeywords[] = {
    "PROJECTION", "ZONE",   "FIPSZONE", "DATUM",    "ZUNITS",    "UNITS",
    "SPHEROID",   "XSHIFT", "YSHIFT",   "QUADRANT", "PARAMETERS"};

bool isKeyword(Word w) {
  for (const char* k : kKeywords) {
    if (sameWord(w, k)) return true;
  }
  return false;
}

// The section's lines, split once.
class Section {
 public:
  Section(const char* text, int32_t size) {
    int32_t begin = 0;
    for (int32_t i = 0; i < size && count_ < E00Projection::kMaxSectionLines;
         ++i) {
      if (text[i] == '\n') {
        line_[count_++] = {text + begin, i - begin};
        begin = i + 1;
      }
    }
    parameters_ = count_;
    for (int32_t i = 0; i < count_; ++i) {
      int32_t at = 0;
      if (sameWord(nextWord(line_[i].text, line_[i].size, &at),
                   "PARAMETERS")) {
        parameters_ = i;
        break;
      }
    }
  }

  int32_t count() const { return count_; }
  Line line(int32_t i) const { return line_[i]; }
  // Index of the Parameters line (count() when there is none).
  int32_t parametersLine() const { return parameters_; }

  // The first line whose first word is keyword; false when there is none.
  bool find(const char* keyword, Words* words) const {
    for (int32_t i = 0; i < count_; ++i) {
      Words w = splitWords(line_[i]);
      if (w.count > 0 && sameWord(w.word[0], keyword)) {
        *words = w;
        return true;
      }
    }
    return false;
  }

  // The keyword's value word (empty when the line or the value is absent).
  Word value(const char* keyword) const {
    Words w;
    if (find(keyword, &w) && w.count > 1) return w.word[1];
    return Word{};
  }

  // Parameter n (from 1): the n-th non-blank line after the Parameters
  // line, without its comment, as decimal degrees or DDD MM SS.SSS. False
  // when the line is missing (*present false) or holds something else.
  bool parameter(int32_t n, double* value, bool* present) const {
    *present = false;
    int32_t seen = 0;
    for (int32_t i = parameters_ + 1; i < count_; ++i) {
      Line l = line_[i];
      for (int32_t k = 0; k + 1 < l.size; ++k) {
        if (l.text[k] == '/' && l.text[k + 1] == '*') {
          l.size = k;
          break;
        }
      }
      Words w = splitWords(l);
      // Blank lines are passed over; a comment alone takes a parameter's
      // place without giving it a value (GDAL reads 0 there).
      if (w.count == 0 && l.size == line_[i].size) continue;
      if (++seen < n) continue;
      *present = true;
      if (w.count == 1) return wordNumber(w.word[0], value);
      if (w.count != 3) return false;
      double degrees, minutes, seconds;
      if (!wordNumber(w.word[0], &degrees) ||
          !wordNumber(w.word[1], &minutes) ||
          !wordNumber(w.word[2], &seconds)) {
        return false;
      }
      // Seconds out of range are dropped, as GDAL does for files that have
      // them. The sign is the degrees' as written, so "-0 30 0" is west.
      if (seconds < 0.0 || seconds >= 60.0) seconds = 0.0;
      *value = std::fabs(degrees) + minutes / 60.0 + seconds / 3600.0;
      if (w.word[0].text[0] == '-') *value = -*value;
      return true;
    }
    return false;
  }

 private:
  Line line_[E00Projection::kMaxSectionLines];
  int32_t count_ = 0;
  int32_t parameters_ = 0;
};

void setWhat(char* what, size_t size, const char* keyword, Word value) {
  char kept[E00Projection::kValueSize + 1];
  keep(value, kept);
  if (kept[0] == '\0') {
    std::snprintf(what, size, "%s", keyword);
  } else {
    std::snprintf(what, size, "%s %s", keyword, kept);
  }
}

}  // namespace

bool E00Projection::onLine(const char* text, int32_t size) {
  int32_t i = 0;
  Word first = nextWord(text, size, &i);
  if (!inSection_) {
    // The header is written in upper case, like ARC and LAB.
    if (first.size != 3 || std::memcmp(first.text, "PRJ", 3) != 0) {
      return false;
    }
    inSection_ = true;
    textSize_ = 0;
    lines_ = 0;
    overflow_ = false;
    notDegrees_ = false;
    hasProjection_ = false;
    sectionProjection_[0] = '\0';
    return true;
  }
  if (sameWord(first, "EOP")) {
    endSection(true);
    return true;
  }
  // A section that starts without the EOP before it ends this one.
  if ((first.size == 3 && (std::memcmp(first.text, "LAB", 3) == 0 ||
                           std::memcmp(first.text, "ARC", 3) == 0 ||
                           std::memcmp(first.text, "IFO", 3) == 0 ||
                           std::memcmp(first.text, "EOS", 3) == 0))) {
    endSection(false);
    return false;
  }
  const bool isProjection = sameWord(first, "PROJECTION");
  const bool isUnits = sameWord(first, "UNITS");
  if (isProjection || isUnits) {
    Word value = nextWord(text, size, &i);
    if (isProjection) {
      if (!hasProjection_) keep(value, sectionProjection_);
      hasProjection_ = true;
      if (!sameWord(value, "GEOGRAPHIC")) notDegrees_ = true;
      if (!seen_ && projection_[0] == '\0') keep(value, projection_);
    } else {
      if (!sameWord(value, "DD")) notDegrees_ = true;
      if (!seen_ && units_[0] == '\0') keep(value, units_);
    }
  }

  // Keep the line for reading the section at its end: without its line
  // break; "~" alone separates entries, "~" before text continues the
  // line before.
  int32_t n = size;
  while (n > 0 && (text[n - 1] == '\n' || text[n - 1] == '\r')) --n;
  const char* from = text;
  if (n > 0 && text[0] == '~') {
    if (n == 1) return true;
    if (lines_ > 0) {
      --textSize_;  // the previous line's '\n'
      --lines_;
    }
    ++from;
    --n;
  }
  if (overflow_ || textSize_ + n + 1 > kMaxSectionText ||
      lines_ >= kMaxSectionLines) {
    overflow_ = true;
    return true;
  }
  // Zero bytes would end the line for the runtime; they are not text.
  for (int32_t k = 0; k < n; ++k) {
    text_[textSize_++] = from[k] == '\0' ? '?' : from[k];
  }
  text_[textSize_++] = '\n';
  ++lines_;
  return true;
}

void E00Projection::endOfFile() {
  if (inSection_) endSection(false);
}

void E00Projection::endSection(bool withEop) {
  inSection_ = false;
  Reading r = readSection(withEop);
  if (!seen_) {
    seen_ = true;
    first_ = r;
    system_ = r.system;
    if (r.system == CoordinateSystem::kProjected) {
      metresPerUnit_ = r.metresPerUnit;
      if (!inverse_.init(r.definition)) {
        system_ = CoordinateSystem::kRefused;
        first_.system = CoordinateSystem::kRefused;
        first_.problem = Problem::kUnreadable;
        std::snprintf(first_.what, sizeof first_.what, "Parameters");
      }
    }
    refusal_ = first_;
    return;
  }
  // A later section: the file's coordinates cannot be two things.
  if (system_ == CoordinateSystem::kRefused) return;
  if (r.system == CoordinateSystem::kRefused) {
    system_ = CoordinateSystem::kRefused;
    refusal_ = r;
  } else if (!sameConversion(first_, r)) {
    system_ = CoordinateSystem::kRefused;
    refusal_ = r;
    refusal_.problem = first_.system == CoordinateSystem::kDegrees
                           ? Problem::kNotDegrees
                           : Problem::kUnreadable;
    std::snprintf(refusal_.what, sizeof refusal_.what, "PRJ");
  }
}

bool E00Projection::sameConversion(const Reading& a, const Reading& b) {
  if (a.system != b.system) return false;
  if (a.system != CoordinateSystem::kProjected) return true;
  const ProjectionDefinition& p = a.definition;
  const ProjectionDefinition& q = b.definition;
  return a.metresPerUnit == b.metresPerUnit && p.kind == q.kind &&
         p.ellipsoid.semiMajorAxis == q.ellipsoid.semiMajorAxis &&
         p.ellipsoid.inverseFlattening == q.ellipsoid.inverseFlattening &&
         p.centralMeridian == q.centralMeridian &&
         p.latitudeOfOrigin == q.latitudeOfOrigin &&
         p.standardParallel1 == q.standardParallel1 &&
         p.standardParallel2 == q.standardParallel2 &&
         p.latitudeOfTrueScale == q.latitudeOfTrueScale &&
         p.scaleFactor == q.scaleFactor && p.falseEasting == q.falseEasting &&
         p.falseNorthing == q.falseNorthing;
}

E00Projection::Reading E00Projection::readSection(bool withEop) const {
  Reading r;
  // Geographic, or no projection named: judged line by line as the readers
  // always have.
  const Word projection = {sectionProjection_,
                           static_cast<int32_t>(std::strlen(sectionProjection_))};
  if (!hasProjection_ || sameWord(projection, "GEOGRAPHIC")) {
    if (notDegrees_) {
      r.system = CoordinateSystem::kRefused;
      r.problem = Problem::kNotDegrees;
    }
    return r;
  }
  r.system = CoordinateSystem::kRefused;
  r.problem = Problem::kUnreadable;
  if (overflow_) {
    std::snprintf(r.what, sizeof r.what, "PRJ");
    return r;
  }
  if (!withEop) {
    // Cut short: what is missing cannot be known.
    std::snprintf(r.what, sizeof r.what, "EOP");
    return r;
  }
  if (readProjected(&r)) {
    r.system = CoordinateSystem::kProjected;
    r.problem = Problem::kNone;
  }
  return r;
}

bool E00Projection::readProjected(Reading* r) const {
  Section s(text_, textSize_);
  // Every line before the parameters is a keyword line.
  for (int32_t i = 0; i < s.parametersLine(); ++i) {
    Words w = splitWords(s.line(i));
    if (w.count > 0 && !isKeyword(w.word[0])) {
      keep(w.word[0], r->what);
      return false;
    }
  }
  const Word name = s.value("PROJECTION");
  auto unreadable = [r](const char* keyword, Word value) {
    r->problem = Problem::kUnreadable;
    setWhat(r->what, sizeof r->what, keyword, value);
    return false;
  };
  auto unsupported = [r](const char* keyword, Word value) {
    r->problem = Problem::kNotSupported;
    setWhat(r->what, sizeof r->what, keyword, value);
    return false;
  };

  // Shifts: only the hemisphere of a UTM zone follows from them, but a
  // value that is not a number is not a section to trust.
  double shift[2] = {0.0, 0.0};
  const char* shiftNames[2] = {"XSHIFT", "YSHIFT"};
  for (int k = 0; k < 2; ++k) {
    Words w;
    if (s.find(shiftNames[k], &w) &&
        (w.count < 2 || !wordNumber(w.word[1], &shift[k]))) {
      return unreadable(k == 0 ? "Xshift" : "Yshift",
                        w.count > 1 ? w.word[1] : Word{});
    }
  }

  // Units: METERS also when the section gives none.
  Word units = s.value("UNITS");
  keep(units, r->units);
  double perUnit;
  if (units.size == 0 || sameWord(units, "METERS") ||
      sameWord(units, "METER") || sameWord(units, "METRES")) {
    r->metresPerUnit = 1.0;
  } else if (sameWord(units, "FEET")) {
    r->metresPerUnit = 1200.0 / 3937.0;  // the US survey foot
  } else if (sameWord(units, "KILOMETERS")) {
    r->metresPerUnit = 1000.0;
  } else if (wordNumber(units, &perUnit) && perUnit > 0.0) {
    r->metresPerUnit = 1.0 / perUnit;  // units per metre
  } else {
    return unsupported("Units", units);
  }

  // The ellipsoid.
  Word datum = s.value("DATUM");
  Word spheroid = s.value("SPHEROID");
  keep(datum, r->datum);
  keep(spheroid, r->spheroid);
  const Ellipsoid* e =
      findEllipsoid(kDatums, sizeof kDatums / sizeof kDatums[0], datum);
  if (e == nullptr) {
    e = findEllipsoid(kSpheroids, sizeof kSpheroids / sizeof kSpheroids[0],
                      spheroid);
  }
  Ellipsoid fromAxes;
  if (e == nullptr && sameWord(datum, "TOKYO")) {
    e = &kSpheroids[6].ellipsoid;  // Bessel 1841
  }
  if (e == nullptr && s.parametersLine() < s.count()) {
    Words w = splitWords(s.line(s.parametersLine()));
    double a, b;
    if (w.count == 3 && wordNumber(w.word[1], &a) &&
        wordNumber(w.word[2], &b) && a > 0.0 && b > 0.0 && b <= a) {
      fromAxes.semiMajorAxis = a;
      fromAxes.inverseFlattening = a == b ? 0.0 : a / (a - b);
      e = &fromAxes;
    }
  }
  if (e == nullptr) {
    if (spheroid.size > 0) return unsupported("Spheroid", spheroid);
    if (datum.size > 0) return unsupported("Datum", datum);
    return unreadable("Spheroid", Word{});
  }
  ProjectionDefinition& d = r->definition;
  d.ellipsoid = *e;

  // The parameters, P1 first.
  double p[8] = {};
  auto need = [&s, &p, r](int32_t count) {
    for (int32_t n = 1; n <= count; ++n) {
      bool present;
      if (!s.parameter(n, &p[n], &present)) {
        r->problem = Problem::kUnreadable;
        std::snprintf(r->what, sizeof r->what, "Parameters %d", n);
        return false;
      }
    }
    return true;
  };

  if (sameWord(name, "UTM")) {
    d.kind = ProjectionKind::kTransverseMercator;
    Words w;
    double zone = 0.0;
    bool north = true;
    if (s.find("ZONE", &w) && w.count >= 2 && wordNumber(w.word[1], &zone) &&
        zone > 0.0 && zone < 61.0) {
      north = shift[1] == 0.0;
    } else {
      double meridian, latitude;
      bool present;
      if (!s.parameter(1, &meridian, &present) ||
          !s.parameter(2, &latitude, &present) || meridian < -180.0 ||
          meridian > 180.0) {
        return unreadable("Zone", w.count > 1 ? w.word[1] : Word{});
      }
      zone = (meridian + 183.0) / 6.0 + 0.0000001;
      north = latitude >= 0.0;
    }
    r->zone = static_cast<int32_t>(zone);
    d.centralMeridian = r->zone * 6.0 - 183.0;
    d.scaleFactor = 0.9996;
    d.falseEasting = 500000.0;
    d.falseNorthing = north ? 0.0 : 10000000.0;
    return true;
  }
  if (sameWord(name, "TRANSVERSE")) {
    if (!need(5)) return false;
    d.kind = ProjectionKind::kTransverseMercator;
    d.scaleFactor = p[1];
    d.centralMeridian = p[2];
    d.latitudeOfOrigin = p[3];
    d.falseEasting = p[4];
    d.falseNorthing = p[5];
  } else if (sameWord(name, "LAMBERT") || sameWord(name, "ALBERS")) {
    if (!need(6)) return false;
    d.kind = sameWord(name, "LAMBERT")
                 ? ProjectionKind::kLambertConformalConic
                 : ProjectionKind::kAlbersEqualArea;
    d.standardParallel1 = p[1];
    d.standardParallel2 = p[2];
    d.centralMeridian = p[3];
    d.latitudeOfOrigin = p[4];
    d.falseEasting = p[5];
    d.falseNorthing = p[6];
  } else if (sameWord(name, "EQUIDISTANT_CONIC")) {
    if (!need(1)) return false;
    d.kind = ProjectionKind::kEquidistantConic;
    if (p[1] == 1.0) {
      if (!need(6)) return false;
      d.standardParallel1 = d.standardParallel2 = p[2];
      d.centralMeridian = p[3];
      d.latitudeOfOrigin = p[4];
      d.falseEasting = p[5];
      d.falseNorthing = p[6];
    } else if (p[1] == 2.0) {
      if (!need(7)) return false;
      d.standardParallel1 = p[2];
      d.standardParallel2 = p[3];
      d.centralMeridian = p[4];
      d.latitudeOfOrigin = p[5];
      // GDAL takes P5 here too, the latitude of origin; the false easting
      // is the parameter after it.
      d.falseEasting = p[6];
      d.falseNorthing = p[7];
    } else {
      r->problem = Problem::kUnreadable;
      std::snprintf(r->what, sizeof r->what, "Parameters 1");
      return false;
    }
  } else if (sameWord(name, "MERCATOR") || sameWord(name, "POLAR")) {
    if (!need(4)) return false;
    const bool polar = sameWord(name, "POLAR");
    d.kind = polar ? ProjectionKind::kPolarStereographic
                   : ProjectionKind::kMercator;
    d.centralMeridian = p[1];
    d.latitudeOfTrueScale = p[2];
    if (polar) d.latitudeOfOrigin = p[2] < 0.0 ? -90.0 : 90.0;
    d.falseEasting = p[3];
    d.falseNorthing = p[4];
  } else if (sameWord(name, "POLYCONIC") ||
             sameWord(name, "LAMBERT_AZIMUTHAL")) {
    if (!need(4)) return false;
    d.kind = sameWord(name, "POLYCONIC")
                 ? ProjectionKind::kPolyconic
                 : ProjectionKind::kLambertAzimuthalEqualArea;
    d.centralMeridian = p[1];
    d.latitudeOfOrigin = p[2];
    d.falseEasting = p[3];
    d.falseNorthing = p[4];
  } else {
    return unsupported("Projection", name);
  }
  return true;
}

void E00Projection::refusal(char* out, size_t size) const {
  if (size == 0) return;
  switch (refusal_.problem) {
    case Problem::kNotSupported:
      std::snprintf(out, size, kTextPrjNotSupportedFormat, refusal_.what);
      break;
    case Problem::kUnreadable:
      std::snprintf(out, size, kTextPrjUnreadableFormat, refusal_.what);
      break;
    case Problem::kNone:
    case Problem::kNotDegrees:
      std::snprintf(out, size, "%s", kTextNotGeographicDegrees);
      break;
  }
}

void E00Projection::describe(char* out, size_t size) const {
  if (size == 0) return;
  if (!seen_ && !inSection_) {
    std::snprintf(out, size, "none");
  } else if (seen_ && first_.system == CoordinateSystem::kProjected) {
    char zone[24] = {};
    if (first_.zone > 0) {
      std::snprintf(zone, sizeof zone, " zone %d%s", first_.zone,
                    first_.definition.falseNorthing != 0.0 ? " south" : "");
    }
    char names[3 * (kValueSize + 2) + 1] = {};
    const char* const given[] = {first_.datum, first_.spheroid};
    for (const char* name : given) {
      if (name[0] == '\0') continue;
      std::strcat(names, ", ");
      std::strcat(names, name);
    }
    std::snprintf(out, size, "%s%s%s, %s -> degrees, no datum shift",
                  projection_, zone, names,
                  first_.units[0] != '\0' ? first_.units : "METERS");
  } else if (projection_[0] != '\0' && units_[0] != '\0') {
    std::snprintf(out, size, "Projection %s; Units %s", projection_, units_);
  } else if (projection_[0] != '\0') {
    std::snprintf(out, size, "Projection %s", projection_);
  } else if (units_[0] != '\0') {
    std::snprintf(out, size, "Units %s", units_);
  } else {
    std::snprintf(out, size, "PRJ without projection or units");
  }
}
