// Decodes arbitrary bytes as PackBits rows; whatever decodes must encode and
// decode back to itself.
#include <kel/images/PackBitComp.h>
#include <kel/images/PackBitDecomp.h>

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <vector>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  if (size < 2) return 0;
  const long bytesPerRow = 1 + data[0];
  const long wanted = 1 + data[1] % 64;
  std::vector<unsigned char> rows(static_cast<size_t>(bytesPerRow * wanted));
  long decoded = wanted, status = 0;
  PackBitDecomp(data + 2, static_cast<long>(size - 2), bytesPerRow, &decoded, rows.data(), &status);
  if (decoded < 0 || decoded > wanted) std::abort();
  if (decoded == 0) return 0;

  std::vector<unsigned char> packed(static_cast<size_t>(2 * bytesPerRow * decoded + 1));
  long length = 0;
  if (PackBitComp(rows.data(), bytesPerRow, decoded, packed.data(),
                  static_cast<long>(packed.size()), &length, &status) != 0)
    std::abort();
  std::vector<unsigned char> back(rows.size());
  long again = decoded;
  if (PackBitDecomp(packed.data(), length, bytesPerRow, &again, back.data(), &status) != 0 ||
      again != decoded ||
      std::memcmp(back.data(), rows.data(), static_cast<size_t>(bytesPerRow * decoded)) != 0)
    std::abort();
  return 0;
}
