// The region of model space a camera sees, in the form the culling and picking
// renders test bounding volumes against. A viewpoint owns one; renders work on
// clones of it, moved into each Rep's local frame.
#pragma once

class KelViewport {
 public:
  KelViewport() = default;
  KelViewport(const KelViewport&) = default;
  virtual ~KelViewport();

  // No data to copy.
  KelViewport& operator=(const KelViewport&) = default;

  // A new viewport of the same class and content, owned by the caller.
  virtual KelViewport* Clone() const;
  // Size of the object in bytes. Copies go through Clone: a byte copy of a
  // viewport is never a valid object.
  virtual int SizeOf() const;
};
