// The interface "KelMarshallableCorba": writes objects of one class into a
// marshalling and builds them back from a marshal buffer. The marshalling
// library registers one implementation per class it can save
// (KelExtendable::RegisterInterface); the handles are that library's.
#pragma once

class KelExtendable;

class KelMarshallableCorba {
 public:
  static const char* InterfaceName() { return "KelMarshallableCorba"; }

  virtual ~KelMarshallableCorba() = default;
  // Writes `object` into the marshalling `handle`; answers 0, or non-zero
  // (with a message) when the object cannot be written.
  virtual int Marshal(const KelExtendable* object, void* handle, int mode) = 0;
  // Reads one object from `buffer`, into `context` when the class restores
  // into an existing object; answers it, or null (with a message and nothing
  // left behind) when the buffer does not hold one.
  virtual KelExtendable* Unmarshal(void* buffer, KelExtendable* context, int mode) = 0;
};
