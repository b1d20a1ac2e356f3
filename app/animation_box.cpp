// app/animation_box.cpp -- drawing and bookkeeping of the animation box's objects.
#include "app/animation_box.h"

#include <QPaintEvent>
#include <QPainter>

AnimationBox::AnimationBox(QWidget* parent) : QWidget(parent) {}

void AnimationBox::SetTemplatePicture(const QImage& picture) {
  template_ = picture;
}

int AnimationBox::CreateObject(int left, int top, bool visible) {
  int id = nextId_++;
  // QImage shares its pixels until one side changes: the copy is cheap and independent.
  const Object& object = objects_[id] = Object{left, top, visible, template_};
  UpdateArea(object);
  return id;
}

void AnimationBox::DestroyObject(int id) {
  auto it = objects_.find(id);
  if (it == objects_.end()) return;
  UpdateArea(it->second);
  objects_.erase(it);
}

void AnimationBox::SetObjectVisible(int id, bool visible) {
  auto it = objects_.find(id);
  if (it == objects_.end() || it->second.visible == visible) return;
  it->second.visible = visible;
  UpdateArea(it->second);
}

void AnimationBox::paintEvent(QPaintEvent* event) {
  QPainter painter(this);
  painter.setClipRegion(event->region());
  for (const auto& [id, object] : objects_) {
    if (object.visible && !object.picture.isNull()) {
      painter.drawImage(object.left, object.top, object.picture);
    }
  }
}

void AnimationBox::UpdateArea(const Object& object) {
  if (!object.picture.isNull())
    update(QRect(QPoint(object.left, object.top), object.picture.size()));
}
