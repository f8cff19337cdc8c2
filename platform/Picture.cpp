#include "platform/Picture.h"

#include <csetjmp>
#include <cstdio>
#include <cstdlib>

#include <jpeglib.h>
#include <jerror.h>

#include "platform/Files.h"

namespace rodavia {

namespace {

// Sizes come from the file and are not trusted. The game's largest pictures
// are the 1024 x 768 circuit and the 1296-pixel strip of a car's 36 frames;
// nothing wider or taller than 2048 is decoded, which keeps a decoded
// picture below 8 MB however small the file claiming it.
constexpr int64_t kMaxSide = 2048;

bool Fail(std::string* error, const std::string& reason) {
  if (error) *error = reason;
  return false;
}

bool SizeAcceptable(int64_t width, int64_t height) {
  return width > 0 && height > 0 && width <= kMaxSide && height <= kMaxSide;
}

// ---------------------------------------------------------------- BMP ------

constexpr uint32_t kBiRgb = 0, kBiRle8 = 1, kBiRle4 = 2, kBiBitfields = 3, kBiAlphaBitfields = 6;
constexpr size_t kFileHeaderSize = 14;

uint16_t U16(const std::vector<uint8_t>& b, size_t at) { return uint16_t(b[at] | (b[at + 1] << 8)); }
uint32_t U32(const std::vector<uint8_t>& b, size_t at) {
  return uint32_t(b[at]) | (uint32_t(b[at + 1]) << 8) | (uint32_t(b[at + 2]) << 16) |
         (uint32_t(b[at + 3]) << 24);
}
void PutU16(std::vector<uint8_t>& b, size_t at, uint32_t v) {
  b[at] = uint8_t(v);
  b[at + 1] = uint8_t(v >> 8);
}
void PutU32(std::vector<uint8_t>& b, size_t at, uint32_t v) {
  PutU16(b, at, v);
  PutU16(b, at + 2, v >> 16);
}

// One channel of a bit-field pixel, scaled to 0..255.
struct Channel {
  uint32_t mask = 0;
  int shift = 0;
  uint64_t max = 0;
  explicit Channel(uint32_t m = 0) : mask(m) {
    if (mask == 0) return;
    while (((mask >> shift) & 1) == 0) ++shift;
    max = mask >> shift;
  }
  uint8_t read(uint32_t pixel) const {
    if (max == 0) return 0;
    return uint8_t(((uint64_t((pixel & mask) >> shift)) * 255 + max / 2) / max);
  }
};

struct BmpLayout {
  int width = 0, height = 0;
  bool topDown = false;
  int bitCount = 0;
  uint32_t compression = kBiRgb;
  Channel red, green, blue;
  std::vector<uint32_t> palette;  // 0x00BBGGRR, always 256 entries (black beyond the file's)
  size_t dataOffset = 0;
};

// Writes decoded pixels into the picture, turning file rows into picture rows,
// and keeps the colour of the bottom-left pixel.
class PixelSink {
 public:
  PixelSink(const BmpLayout& layout, Picture& out) : layout_(layout), out_(out) {
    out_.pixels = Surface16(layout.width, layout.height);
  }
  void put(int x, int fileRow, uint32_t color) {
    int y = layout_.topDown ? fileRow : layout_.height - 1 - fileRow;
    out_.pixels.setPixel(x, y, ColorRefTo565(color));
    if (x == 0 && y == layout_.height - 1) out_.transparentColor = color;
  }

 private:
  const BmpLayout& layout_;
  Picture& out_;
};

bool ReadPalette(const std::vector<uint8_t>& bytes, size_t at, size_t entrySize, uint32_t used,
                 BmpLayout& layout, std::string* error) {
  layout.palette.assign(256, 0);
  if (layout.bitCount > 8) return true;
  size_t count = used == 0 ? size_t(1) << layout.bitCount : std::min<size_t>(used, 256);
  if (at + count * entrySize > bytes.size()) return Fail(error, "BMP palette is truncated");
  for (size_t i = 0; i < count; ++i) {
    const uint8_t* e = &bytes[at + i * entrySize];
    layout.palette[i] = RGBColor(e[2], e[1], e[0]);
  }
  return true;
}

bool ReadBmpLayout(const std::vector<uint8_t>& bytes, BmpLayout& layout, std::string* error) {
  if (bytes.size() < kFileHeaderSize + 12 || bytes[0] != 'B' || bytes[1] != 'M')
    return Fail(error, "not a BMP file");
  layout.dataOffset = U32(bytes, 10);
  uint32_t headerSize = U32(bytes, kFileHeaderSize);
  size_t at = kFileHeaderSize;
  if (headerSize == 12) {  // the old OS/2 core header: 16-bit sizes, 3-byte palette
    layout.width = U16(bytes, at + 4);
    layout.height = U16(bytes, at + 6);
    layout.bitCount = U16(bytes, at + 10);
    if (layout.bitCount > 8 && layout.bitCount != 24)
      return Fail(error, "BMP core header with bits a pixel not supported");
    if (!SizeAcceptable(layout.width, layout.height)) return Fail(error, "BMP size out of range");
    return ReadPalette(bytes, at + 12, 3, 0, layout, error);
  }
  if (headerSize < 40 || at + headerSize > bytes.size())
    return Fail(error, "BMP header is truncated or of an unknown kind");
  int32_t width = int32_t(U32(bytes, at + 4));
  int64_t height = int32_t(U32(bytes, at + 8));
  layout.bitCount = U16(bytes, at + 14);
  layout.compression = U32(bytes, at + 16);
  uint32_t used = U32(bytes, at + 32);
  layout.topDown = height < 0;
  if (height < 0) height = -height;
  if (!SizeAcceptable(width, height)) return Fail(error, "BMP size out of range");
  layout.width = width;
  layout.height = int(height);

  size_t after = at + headerSize;
  if (layout.compression == kBiBitfields || layout.compression == kBiAlphaBitfields) {
    if (layout.bitCount != 16 && layout.bitCount != 32)
      return Fail(error, "BMP bit fields need 16 or 32 bits a pixel");
    // A plain info header is followed by the masks; later headers hold them.
    size_t masksAt = headerSize == 40 ? after : at + 40;
    size_t maskCount = layout.compression == kBiAlphaBitfields ? 4 : 3;
    if (masksAt + 12 > bytes.size()) return Fail(error, "BMP colour masks are truncated");
    layout.red = Channel(U32(bytes, masksAt));
    layout.green = Channel(U32(bytes, masksAt + 4));
    layout.blue = Channel(U32(bytes, masksAt + 8));
    if (headerSize == 40) after += maskCount * 4;
  } else if (layout.bitCount == 16) {
    layout.red = Channel(0x7C00), layout.green = Channel(0x03E0), layout.blue = Channel(0x001F);
  } else if (layout.bitCount == 32) {
    layout.red = Channel(0xFF0000), layout.green = Channel(0xFF00), layout.blue = Channel(0xFF);
  }
  return ReadPalette(bytes, after, 4, used, layout, error);
}

size_t RowStride(const BmpLayout& layout) { return ((size_t(layout.width) * layout.bitCount + 31) / 32) * 4; }

// Whether the file holds every row the header claims, checked before the
// picture is made.
bool RowsPresent(const std::vector<uint8_t>& bytes, const BmpLayout& layout) {
  const size_t lastRow = (size_t(layout.width) * layout.bitCount + 7) / 8;  // may lack its padding
  return layout.dataOffset <= bytes.size() &&
         bytes.size() - layout.dataOffset >= RowStride(layout) * (size_t(layout.height) - 1) + lastRow;
}

void DecodeRows(const std::vector<uint8_t>& bytes, const BmpLayout& layout, PixelSink& sink) {
  const int bits = layout.bitCount;
  const size_t stride = RowStride(layout);
  for (int r = 0; r < layout.height; ++r) {
    const uint8_t* row = &bytes[layout.dataOffset + stride * size_t(r)];
    for (int x = 0; x < layout.width; ++x) {
      uint32_t color;
      if (bits <= 8) {
        size_t bit = size_t(x) * bits;
        int index = (row[bit / 8] >> (8 - bits - bit % 8)) & ((1 << bits) - 1);
        color = layout.palette[size_t(index)];
      } else if (bits == 24) {
        const uint8_t* p = row + size_t(x) * 3;
        color = RGBColor(p[2], p[1], p[0]);
      } else {
        const uint8_t* p = row + size_t(x) * (bits / 8);
        uint32_t v = bits == 16 ? uint32_t(p[0] | (p[1] << 8))
                                : uint32_t(p[0] | (p[1] << 8) | (p[2] << 16) | (uint32_t(p[3]) << 24));
        color = RGBColor(layout.red.read(v), layout.green.read(v), layout.blue.read(v));
      }
      sink.put(x, r, color);
    }
  }
}

// Run-length coded indexes (RLE8, or RLE4 with two pixels a byte). Pixels the
// runs never reach keep palette entry 0; runs past the edges are clipped.
bool DecodeRle(const std::vector<uint8_t>& bytes, const BmpLayout& layout, PixelSink& sink,
               std::string* error) {
  const bool four = layout.compression == kBiRle4;
  const size_t w = size_t(layout.width), h = size_t(layout.height);
  std::vector<uint8_t> indexes(w * h, 0);
  size_t x = 0, y = 0, at = layout.dataOffset;
  auto set = [&](uint8_t index) {
    if (x < w && y < h) indexes[y * w + x] = index;
    ++x;
  };
  auto need = [&](size_t n) { return at <= bytes.size() && bytes.size() - at >= n; };
  bool ended = false;
  while (!ended && y < h) {
    if (!need(2)) return Fail(error, "BMP run-length data is truncated");
    uint8_t count = bytes[at], value = bytes[at + 1];
    at += 2;
    if (count > 0) {
      for (int i = 0; i < count; ++i) set(four ? uint8_t(i % 2 ? value & 15 : value >> 4) : value);
    } else if (value == 0) {
      x = 0, ++y;
    } else if (value == 1) {
      ended = true;
    } else if (value == 2) {
      if (!need(2)) return Fail(error, "BMP run-length data is truncated");
      x += bytes[at], y += bytes[at + 1];
      at += 2;
    } else {
      size_t dataBytes = four ? (size_t(value) + 1) / 2 : value;
      size_t padded = (dataBytes + 1) & ~size_t(1);
      if (!need(padded)) return Fail(error, "BMP run-length data is truncated");
      for (int i = 0; i < value; ++i)
        set(four ? uint8_t(i % 2 ? bytes[at + i / 2] & 15 : bytes[at + i / 2] >> 4) : bytes[at + i]);
      at += padded;
    }
  }
  for (size_t r = 0; r < h; ++r)
    for (size_t c = 0; c < w; ++c) sink.put(int(c), int(r), layout.palette[indexes[r * w + c]]);
  return true;
}

// --------------------------------------------------------------- JPEG ------

// libjpeg reports errors by calling error_exit, which must not return: it
// jumps back to the decoder or encoder, which then cleans up and fails.
struct JpegError {
  jpeg_error_mgr manager;
  std::jmp_buf jump;
  char message[JMSG_LENGTH_MAX];
};

void JpegErrorExit(j_common_ptr info) {
  auto* err = reinterpret_cast<JpegError*>(info->err);
  (*info->err->format_message)(info, err->message);
  std::longjmp(err->jump, 1);
}

// Warnings are not printed. Those about corrupt or missing data are errors,
// since libjpeg would otherwise fill the damaged part with grey and succeed
// (a file cut short and closed with an end marker decodes "whole"). Bytes
// between the data and the next marker are not among them: the picture is
// complete, and some writers leave such bytes.
bool CorruptDataWarning(int code) {
  for (int corrupt : {JWRN_JPEG_EOF, JWRN_HIT_MARKER, JWRN_HUFF_BAD_CODE, JWRN_ARITH_BAD_CODE,
                      JWRN_MUST_RESYNC, JWRN_BOGUS_PROGRESSION, JWRN_NOT_SEQUENTIAL})
    if (code == corrupt) return true;
  return false;
}

void JpegEmitMessage(j_common_ptr info, int level) {
  if (level < 0 && CorruptDataWarning(info->err->msg_code)) info->err->error_exit(info);
}

// Every block of a component takes at least one bit of coded data, so a file
// too short for its claimed size is refused before any memory is taken for it.
bool JpegDataCanHoldItsSize(const jpeg_decompress_struct& info, size_t bytes) {
  for (int c = 0; c < info.num_components; ++c) {
    const jpeg_component_info& component = info.comp_info[c];
    if (uint64_t(component.width_in_blocks) * component.height_in_blocks > uint64_t(bytes) * 8) return false;
  }
  return true;
}

void InstallJpegErrors(JpegError& err, jpeg_error_mgr*& slot) {
  slot = jpeg_std_error(&err.manager);
  err.manager.error_exit = JpegErrorExit;
  err.manager.emit_message = JpegEmitMessage;
  err.message[0] = 0;
}

}  // namespace

bool DecodeBmp(const std::vector<uint8_t>& bytes, Picture& out, std::string* error) {
  BmpLayout layout;
  if (!ReadBmpLayout(bytes, layout, error)) return false;
  switch (layout.bitCount) {
    case 1: case 4: case 8: case 16: case 24: case 32: break;
    default: return Fail(error, "BMP bits a pixel not supported: " + std::to_string(layout.bitCount));
  }
  bool rle = (layout.compression == kBiRle8 && layout.bitCount == 8) ||
             (layout.compression == kBiRle4 && layout.bitCount == 4);
  bool rows = layout.compression == kBiRgb || layout.compression == kBiBitfields ||
              layout.compression == kBiAlphaBitfields;
  if (!rle && !rows) return Fail(error, "BMP compression not supported: " + std::to_string(layout.compression));
  if (rle && layout.topDown) return Fail(error, "BMP run-length pictures cannot be top-down");
  if (rows && !RowsPresent(bytes, layout)) return Fail(error, "BMP pixel data is truncated");
  Picture picture;
  PixelSink sink(layout, picture);
  if (rows)
    DecodeRows(bytes, layout, sink);
  else if (!DecodeRle(bytes, layout, sink, error))
    return false;
  if (layout.bitCount == 1) picture.transparentColor = RGBColor(255, 255, 255);
  out = std::move(picture);
  return true;
}

bool DecodeJpeg(const std::vector<uint8_t>& bytes, Picture& out, std::string* error) {
  jpeg_decompress_struct info;
  JpegError err;
  InstallJpegErrors(err, info.err);
  Picture picture;
  std::vector<uint8_t> line;
  if (setjmp(err.jump)) {
    jpeg_destroy_decompress(&info);
    return Fail(error, std::string("JPEG: ") + err.message);
  }
  jpeg_create_decompress(&info);
  jpeg_mem_src(&info, bytes.data(), static_cast<unsigned long>(bytes.size()));
  jpeg_read_header(&info, TRUE);
  if (!SizeAcceptable(info.image_width, info.image_height)) {
    jpeg_destroy_decompress(&info);
    return Fail(error, "JPEG size out of range");
  }
  if (!JpegDataCanHoldItsSize(info, bytes.size())) {
    jpeg_destroy_decompress(&info);
    return Fail(error, "JPEG data too short for its size");
  }
  info.out_color_space = JCS_RGB;  // grey pictures are widened too
  jpeg_start_decompress(&info);
  picture.pixels = Surface16(int(info.output_width), int(info.output_height));
  line.resize(size_t(info.output_width) * 3);
  while (info.output_scanline < info.output_height) {
    int y = int(info.output_scanline);
    JSAMPROW row = line.data();
    jpeg_read_scanlines(&info, &row, 1);
    uint16_t* dst = picture.pixels.row(y);
    for (size_t x = 0; x < info.output_width; ++x) dst[x] = To565(line[x * 3], line[x * 3 + 1], line[x * 3 + 2]);
  }
  const uint8_t* corner = line.data();  // the last line read is the bottom one
  picture.transparentColor = RGBColor(corner[0], corner[1], corner[2]);
  jpeg_finish_decompress(&info);
  jpeg_destroy_decompress(&info);
  out = std::move(picture);
  return true;
}

bool LoadPicture(const std::filesystem::path& path, Picture& out, std::string* error) {
  std::vector<uint8_t> bytes;
  if (!files::ReadAll(path, bytes)) return Fail(error, "cannot read " + path.string());
  if (bytes.size() >= 2 && bytes[0] == 'B' && bytes[1] == 'M') return DecodeBmp(bytes, out, error);
  if (bytes.size() >= 2 && bytes[0] == 0xFF && bytes[1] == 0xD8) return DecodeJpeg(bytes, out, error);
  return Fail(error, path.string() + " is neither a BMP nor a JPEG picture");
}

std::vector<uint8_t> EncodeBmp24(const RgbImage& image) {
  const size_t stride = ((size_t(image.width) * 3 + 3) / 4) * 4;
  const size_t dataOffset = kFileHeaderSize + 40;
  std::vector<uint8_t> b(dataOffset + stride * size_t(image.height), 0);
  b[0] = 'B', b[1] = 'M';
  PutU32(b, 2, uint32_t(b.size()));
  PutU32(b, 10, uint32_t(dataOffset));
  PutU32(b, 14, 40);
  PutU32(b, 18, uint32_t(image.width));
  PutU32(b, 22, uint32_t(image.height));  // positive: rows bottom to top
  PutU16(b, 26, 1);                       // planes
  PutU16(b, 28, 24);
  PutU32(b, 34, uint32_t(stride * size_t(image.height)));
  PutU32(b, 38, 2835);  // 72 dpi
  PutU32(b, 42, 2835);
  for (int y = 0; y < image.height; ++y) {
    uint8_t* row = &b[dataOffset + stride * size_t(image.height - 1 - y)];
    for (int x = 0; x < image.width; ++x) {
      const uint8_t* p = image.at(x, y);
      row[x * 3] = p[2], row[x * 3 + 1] = p[1], row[x * 3 + 2] = p[0];
    }
  }
  return b;
}

std::vector<uint8_t> EncodeJpeg(const RgbImage& image, int quality) {
  jpeg_compress_struct info;
  JpegError err;
  InstallJpegErrors(err, info.err);
  // libjpeg owns the output buffer until it is copied out (or freed on error).
  struct Output {
    unsigned char* data = nullptr;
    unsigned long size = 0;
  } output;
  std::vector<uint8_t> result;
  if (setjmp(err.jump)) {
    jpeg_destroy_compress(&info);
    std::free(output.data);
    return {};
  }
  jpeg_create_compress(&info);
  jpeg_mem_dest(&info, &output.data, &output.size);
  info.image_width = JDIMENSION(image.width);
  info.image_height = JDIMENSION(image.height);
  info.input_components = 3;
  info.in_color_space = JCS_RGB;
  jpeg_set_defaults(&info);
  jpeg_set_quality(&info, quality, TRUE);
  jpeg_start_compress(&info, TRUE);
  while (info.next_scanline < info.image_height) {
    JSAMPROW row = const_cast<uint8_t*>(image.at(0, int(info.next_scanline)));
    jpeg_write_scanlines(&info, &row, 1);
  }
  jpeg_finish_compress(&info);
  result.assign(output.data, output.data + output.size);
  jpeg_destroy_compress(&info);
  std::free(output.data);
  return result;
}

}  // namespace rodavia
