// The recorded stream of one culling pass for one viewpoint: (opcode, value)
// pairs in element lists by kind, replayed by the draw pass.
//
// A value is pointer-sized: a primitive (its KelGraphicPrimitive address), a
// matrix copy, a camera copy, an attribute word, a colour or a small integer.
// Matrices and camera copies recorded here belong to the list, so that a Rep
// changed or destroyed between culling and drawing leaves the frame intact.
#pragma once

#include <cstdint>
#include <memory>
#include <vector>

class Kel4x4Matrix;
class Kel3x3Matrix;
class KelViewpoint;
class KelViewport;

enum DisplayListType { DISPLAY_LIST_3D = 0, DISPLAY_LIST_2D = 1 };

class KelDisplayList {
 public:
  // Opcodes of the stream.
  enum : int {
    OP_2D_POLYLINE = 1,
    OP_2D_RECTANGLE = 2,
    OP_3D_POLYLINE = 3,
    OP_3D_MARKER = 4,
    OP_LIGHT_SOURCE = 6,
    OP_3D_LINE = 7,
    OP_3D_FACE = 8,
    OP_2D_LINE = 9,
    OP_ATTRIBUTE = 10,
    OP_3D_PLANAR_FACE = 11,
    OP_3D_EDGE = 12,
    OP_2D_POLYGON = 14,
    OP_2D_SIMPLE_GEOMETRIC_TEXT = 15,
    OP_2D_ANNOTATION_TEXT = 16,
    OP_3D_CYLINDER = 17,
    OP_3D_ANNOTATION_TEXT = 19,
    OP_PUSH_MATRIX_4X4 = 20,
    OP_POP_MATRIX = 21,
    OP_PUSH_MATRIX_3X3 = 22,
    OP_WIREFRAME_3D_CYLINDER = 25,
    OP_DYNAMIC_VIEWPOINT = 30,
    OP_DYNAMIC_VIEWPORT = 31,
    OP_DYNAMIC_GP = 32,
    OP_FURTIVE_ON = 33,
    OP_FURTIVE_OFF = 34,
    OP_2D_MARKER = 36,
    OP_POLYGON_OFFSET_ON = 37,
    OP_POLYGON_OFFSET_OFF = 38,
    OP_INHERIT_FOREGROUND = 60,
    OP_VALUE = 99
  };
  static constexpr int NB_LISTS = 7;
  static constexpr int INITIAL_CAPACITY = 4096;

  KelDisplayList();
  explicit KelDisplayList(DisplayListType type);
  // Deep copy: entries, duplicated blocks, matrix and camera copies (the
  // entries of the copy point at the copy's own objects).
  KelDisplayList(const KelDisplayList& other);
  KelDisplayList& operator=(const KelDisplayList&) = delete;
  ~KelDisplayList();

  // Empties the lists and releases the duplicated blocks and camera copies;
  // capacities and the matrix pools stay for the next frame.
  void Reset();

  // Appends to one element list, with the peephole rules (furtive on then
  // off, and a 4x4 push then a pop, vanish; an attribute replaces an
  // attribute). A list this type has no storage for is ignored.
  void AddElem(const int list, const std::intptr_t value, const int opcode);
  // Appends to every list: list 6 of a 2D list, lists 1 to 5 of a 3D list.
  void AddElem(const std::intptr_t value, const int opcode);
  void AddValue(const int list, const std::intptr_t value) { AddElem(list, value, OP_VALUE); }
  void IncreaseSize(const int list);

  // Copies the matrix into the list's pool and appends it to every list
  // (OP_PUSH_MATRIX_4X4 or OP_PUSH_MATRIX_3X3). A 4x4 copy whose push vanishes
  // under the following pop everywhere goes back to the pool.
  void AddMatrix(const Kel4x4Matrix& m);
  void AddMatrix(const Kel3x3Matrix& m);
  // A copy of m kept by the list, for push entries added to lists one by one
  // (AddElem with OP_PUSH_MATRIX_4X4).
  std::intptr_t CopyMatrix(const Kel4x4Matrix& m);

  // A block of `size` bytes copied from `data`, owned by the list until Reset.
  void* DuplicateElem(const void* data, const int size);
  // Clones owned by the list until Reset, for the camera of a dynamic primitive.
  KelViewpoint* DuplicateViewpoint(const KelViewpoint& viewpoint);
  KelViewport* DuplicateViewport(const KelViewport& viewport);

  void SetViewpoint(KelViewpoint* viewpoint) { _viewpoint = viewpoint; }
  KelViewpoint* GetViewpoint() const { return _viewpoint; }
  DisplayListType GetType() const { return _type; }
  // Whether element list `list` has storage in this display list.
  int HasList(const int list) const {
    return list >= 0 && list < NB_LISTS && _lists[list].values != nullptr;
  }

  // Read access for the replay: flat arrays of `GetCount(list)` entries.
  int GetCount(const int list) const { return HasList(list) ? _lists[list].count : 0; }
  int GetCapacity(const int list) const { return HasList(list) ? _lists[list].capacity : 0; }
  const int* GetOpcodes(const int list) const {
    return HasList(list) ? _lists[list].opcodes.get() : nullptr;
  }
  const std::intptr_t* GetValues(const int list) const {
    return HasList(list) ? _lists[list].values.get() : nullptr;
  }
  int GetOpcode(const int list, const int i) const { return _lists[list].opcodes[i]; }
  std::intptr_t GetValue(const int list, const int i) const { return _lists[list].values[i]; }

  int GetNbDuplicates() const { return static_cast<int>(_duplicates.size()); }
  int GetNbCameraCopies() const {
    return static_cast<int>(_viewpointCopies.size() + _viewportCopies.size());
  }
  // Matrix copies in use this frame.
  int GetNbMatrices() const { return _nbMatrices4 + _nbMatrices3; }

 private:
  struct ElementList {
    int capacity = 0;
    int count = 0;
    std::unique_ptr<std::intptr_t[]> values;
    std::unique_ptr<int[]> opcodes;
  };
  static constexpr int kMatrixBlock = 64;

  void Allocate();

  DisplayListType _type;
  KelViewpoint* _viewpoint = nullptr;
  ElementList _lists[NB_LISTS];
  std::vector<std::unique_ptr<unsigned char[]>> _duplicates;
  std::vector<int> _duplicateSizes;
  std::vector<std::unique_ptr<KelViewpoint>> _viewpointCopies;
  std::vector<std::unique_ptr<KelViewport>> _viewportCopies;
  // Matrix pools: blocks of kMatrixBlock, the first _nbMatrices* slots in use.
  std::vector<std::unique_ptr<Kel4x4Matrix[]>> _matrices4;
  std::vector<std::unique_ptr<Kel3x3Matrix[]>> _matrices3;
  int _nbMatrices4 = 0;
  int _nbMatrices3 = 0;
};
