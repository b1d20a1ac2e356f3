// app/animation_box.h -- a picture area whose objects are drawn in creation order.
#pragma once

#include <QImage>
#include <QWidget>

#include <map>

// Holds picture objects made from a template picture. Objects are drawn in the order of
// creation, later ones over earlier ones, each with its picture's per-pixel transparency.
class AnimationBox final : public QWidget {
 public:
  struct Object {
    int left = 0;
    int top = 0;
    bool visible = true;
    QImage picture;
  };

  explicit AnimationBox(QWidget* parent);

  // Replaces the template's picture; objects already in the box keep theirs.
  void SetTemplatePicture(const QImage& picture);
  const QImage& TemplatePicture() const { return template_; }

  // Creates an object with the template's current picture; returns its identifier (> 0).
  int CreateObject(int left, int top, bool visible);
  // An identifier of no object (0 included) changes nothing.
  void DestroyObject(int id);
  void SetObjectVisible(int id, bool visible);

  // By identifier, which is also the order of creation.
  const std::map<int, Object>& Objects() const { return objects_; }

 protected:
  void paintEvent(QPaintEvent* event) override;

 private:
  void UpdateArea(const Object& object);

  QImage template_;
  std::map<int, Object> objects_;
  int nextId_ = 1;
};
