// Saved Rep graphs and controllers: the restores read the input as a whole
// file (header checks), and as a payload under a valid header, so that the
// fuzzer gets past the checksum into the records.
#include <kel/controller/KelVisuController.h>
#include <kel/framework/KelMarshal.h>
#include <kel/reps/KelRep.h>

#include <zlib.h>

#include "KelFuzzFile.h"

#include <cstdint>
#include <string>

namespace {

void Restore(const std::string& path) {
  if (KelRep* rep = KelVisuController::RestoreRepFromFile(path.c_str())) rep->Destroy();
  static KelVisuController* target = new KelVisuController;
  KelVisuController::SetUnmarshallingController(target);
  KelVisuController::RestoreFromFile(path.c_str());
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  std::string path = KelFuzzFile(data, size);
  if (path.empty()) return 0;
  Restore(path);
  KelMarshal file;
  file.WriteBytes("KELMARSH", 8);
  file.WriteUnsignedInt(1);
  file.WriteBytes("       ", 8);
  file.WriteUnsignedLong(size);
  uLong crc =
      crc32(crc32(0L, Z_NULL, 0), file.GetData() + 8, static_cast<uInt>(file.GetSize() - 8));
  crc = crc32(crc, data, static_cast<uInt>(size));
  file.WriteUnsignedInt(static_cast<unsigned int>(crc));
  file.WriteBytes(data, size);
  path = KelFuzzFile(file.GetData(), file.GetSize());
  if (!path.empty()) Restore(path);
  return 0;
}
