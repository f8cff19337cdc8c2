// Feeds any bytes to the mesh transport's stream reader, as a peer's socket
// would, in chunks whose sizes the input also chooses, and every whole frame
// to the parser of its kind. Build with platform/MeshProtocol.cpp only.
#include <cstddef>
#include <cstdint>

#include "platform/MeshProtocol.h"

using namespace rodavia::mesh;

namespace {

void Parse(const Frame& frame) {
  switch (frame.kind) {
    case Kind::Hello:
      ParseHello(frame.payload);
      break;
    case Kind::Welcome:
      ParseWelcome(frame.payload);
      break;
    case Kind::Redirect:
      ParseRedirect(frame.payload);
      break;
    case Kind::Intro:
      ParseIntro(frame.payload);
      break;
    case Kind::Known:
      ParseKnown(frame.payload);
      break;
    default:
      break;
  }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  if (size == 0) return 0;
  const size_t chunk = 1 + data[0] % 64;  // the first byte picks the read size
  FrameReader reader;
  Frame frame;
  for (size_t pos = 1; pos < size; pos += chunk) {
    const size_t n = size - pos < chunk ? size - pos : chunk;
    reader.Feed(data + pos, n);
    FrameReader::Status status;
    while ((status = reader.Next(frame)) == FrameReader::Status::Frame) Parse(frame);
    if (status == FrameReader::Status::Malformed) break;
  }
  return 0;
}
