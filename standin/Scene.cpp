#include "standin/Scene.h"

namespace standin {

void Scene::clear() {
  polylines_.clear();
  penKnown_ = false;
  lineOpen_ = false;
  lineCount_ = 0;
  pointCount_ = 0;
  strayContinues_ = 0;
}

void Scene::setPen(uint32_t colour, double width) {
  colour_ = colour;
  width_ = width;
  lineOpen_ = false;
}

void Scene::startPolyline(const tagGEOPOS& at) {
  ++lineCount_;
  ++pointCount_;
  if (!counting_) polylines_.push_back({colour_, width_, {at}});
  lineOpen_ = true;
}

void Scene::beginLine(const tagGEOPOS& at) {
  startPolyline(at);
  pen_ = at;
  penKnown_ = true;
}

void Scene::continueLine(const tagGEOPOS& to) {
  if (!penKnown_) {
    ++strayContinues_;
    beginLine(to);
    return;
  }
  if (!lineOpen_) startPolyline(pen_);
  ++pointCount_;
  if (!counting_) polylines_.back().points.push_back(to);
  pen_ = to;
}

void Scene::moveTo(const tagGEOPOS& at) {
  pen_ = at;
  penKnown_ = true;
  lineOpen_ = false;
}

}  // namespace standin
