// How a Rep is drawn: two 32-bit words, eight bytes in memory order:
// colour index, line attribute 1, line attribute 2, flags, then R, G, B, A.
// Colour 255 means "use the RGBA bytes"; 251 highlight, 252 second mark,
// 253 default, 254 background.
#pragma once

#include <cstdint>
#include <cstring>

struct KelGraphicAttributeSet {
  // Flag bits of byte 3.
  enum : unsigned char {
    NOT_PICKABLE = 0x01,
    HIGHLIGHTED = 0x02,
    SECOND_MARK = 0x04,
    TEMPORY_HIDDEN = 0x08,
    ELEMENT_KIND_MASK = 0x30,
    TRANSPARENT = 0x80
  };
  enum : unsigned char {
    HIGHLIGHT_COLOR = 251,
    SECOND_MARK_COLOR = 252,
    DEFAULT_COLOR = 253,
    BACKGROUND_COLOR = 254,
    RGBA_COLOR = 255
  };

  unsigned char color = DEFAULT_COLOR;
  unsigned char lineAttribute1 = 1;
  unsigned char lineAttribute2 = 1;
  unsigned char flags = 0;
  unsigned char rgba[4] = {0, 0, 0, 0};

  KelGraphicAttributeSet() = default;
  // From the two words as they lie in memory.
  KelGraphicAttributeSet(std::int32_t first, std::int32_t second) {
    std::memcpy(&color, &first, 4);
    std::memcpy(rgba, &second, 4);
  }

  std::int32_t FirstWord() const {
    std::int32_t w;
    std::memcpy(&w, &color, 4);
    return w;
  }
  std::int32_t SecondWord() const {
    std::int32_t w;
    std::memcpy(&w, rgba, 4);
    return w;
  }
  // The bytes read as big-endian words, whatever the host.
  std::uint32_t FirstWordBigEndian() const {
    return (std::uint32_t(color) << 24) | (std::uint32_t(lineAttribute1) << 16) |
           (std::uint32_t(lineAttribute2) << 8) | flags;
  }
  std::uint32_t SecondWordBigEndian() const {
    return (std::uint32_t(rgba[0]) << 24) | (std::uint32_t(rgba[1]) << 16) |
           (std::uint32_t(rgba[2]) << 8) | rgba[3];
  }
  int ElementKind() const { return (flags >> 4) & 3; }

  bool operator==(const KelGraphicAttributeSet& o) const {
    return FirstWord() == o.FirstWord() && SecondWord() == o.SecondWord();
  }
  bool operator!=(const KelGraphicAttributeSet& o) const { return !(*this == o); }
};

static_assert(sizeof(KelGraphicAttributeSet) == 8, "two 32-bit words");
