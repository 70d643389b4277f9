// Session recordings: the replay reader with commands that read their records
// the way a viewer does, and the marshal stream's typed reads on raw bytes.
#include <kel/framework/KelCommand.h>
#include <kel/framework/KelMarshal.h>
#include <kel/framework/KelRecord.h>

#include "KelFuzzFile.h"

#include <cstdint>
#include <cstring>
#include <string>
#include <vector>

namespace {

class FuzzViewer : public KelCommand {
 public:
  explicit FuzzViewer(const char* name) : KelCommand(name) {}
  int RestoreState(const char* eventClass, KelMarshal& m) override {
    std::string device;
    unsigned long time = 0;
    float a = 0, b = 0, c = 0;
    int button = 0;
    if (!std::strcmp(eventClass, "KelMotionEvent")) {
      m.ReadString(device);
      m.ReadUnsignedLong(time);
      m.ReadFloat(a);
      m.ReadFloat(b);
    } else if (!std::strcmp(eventClass, "KelPressEvent") ||
               !std::strcmp(eventClass, "KelReleaseEvent")) {
      m.ReadString(device);
      m.ReadUnsignedLong(time);
      m.ReadInt(button);
    } else if (!std::strcmp(eventClass, "KelUpdateEvent")) {
      m.ReadUnsignedLong(time);
      m.ReadFloat(a);
      m.ReadFloat(b);
      m.ReadFloat(c);
    } else if (!std::strcmp(eventClass, "KelResizeEvent")) {
      m.ReadFloat(a);
      m.ReadFloat(b);
    } else {
      return 4;
    }
    // A viewer draws after each event, and the draw asks for the next record.
    KelRecord::GetMain()->RestoreState();
    return m.GetError() ? 4 : 0;
  }
};

// The first byte chooses the byte order, each following one the next read.
void ReadTyped(const uint8_t* data, size_t size) {
  if (size < 1) return;
  KelMarshal m(data + 1, size - 1, data[0] & 1 ? KelMarshal::LittleEndian : KelMarshal::BigEndian);
  unsigned char op = 0;
  while (m.ReadBytes(&op, 1) == 0) {
    int i;
    unsigned int u;
    unsigned long ul;
    float f;
    double d;
    std::string s;
    std::vector<unsigned char> block;
    switch (op % 8) {
      case 0:
        m.ReadInt(i);
        break;
      case 1:
        m.ReadUnsignedInt(u);
        break;
      case 2:
        m.ReadUnsignedLong(ul);
        break;
      case 3:
        m.ReadFloat(f);
        break;
      case 4:
        m.ReadDouble(d);
        break;
      case 5:
        m.ReadString(s);
        break;
      case 6:
        m.ReadBlock(block);
        break;
      default:
        m.Skip(op / 8);
        break;
    }
  }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  // Two viewers of one name, so that ranks are looked up.
  static FuzzViewer first("view"), second("view");
  KelRecord* record = KelRecord::GetMain();
  const std::string path = KelFuzzFile(data, size);
  if (!path.empty() && record->StartReplay(path.c_str()) == 0)
    while (record->GetMode() == 2) record->RestoreState();
  record->Stop();
  ReadTyped(data, size);
  return 0;
}
