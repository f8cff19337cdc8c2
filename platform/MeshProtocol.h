#pragma once
// The wire format of the mesh transport (docs/red.md): frames on a TCP
// stream, each a little-endian 32-bit length, a kind byte and its payload,
// and the payloads of the set-up frames. Pure code without sockets, so that
// a fuzzer can feed it any bytes.
#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace rodavia::mesh {

using MemberId = uint32_t;

enum class Kind : uint8_t {
  Hello = 1,     // joiner -> any member: asks to join a session
  Welcome = 2,   // host -> joiner: its id and the members present
  NotFound = 3,  // any member -> joiner: no session of that name here
  Redirect = 4,  // member that is not the host -> joiner: ask the host there
  Intro = 5,     // newcomer -> each other member: first frame of a mesh link
  Message = 6,   // a message of the game
  Ping = 7,      // keep-alive when nothing else was sent
  Bye = 8,       // the sender leaves the session
  NameTaken = 9, // host -> joiner: a member of the session has that name
  Known = 10,    // member -> member: members the sender knows of
};

// The largest payload of a frame; a longer length is malformed.
inline constexpr size_t kMaxPayload = 64 * 1024;
// The longest session, member or address name, in bytes.
inline constexpr size_t kMaxNameBytes = 255;
// Length field and kind byte.
inline constexpr size_t kHeaderSize = 5;

struct Frame {
  Kind kind = Kind::Ping;
  std::vector<uint8_t> payload;
};

// Splits a byte stream into frames. Keeps at most one frame plus the last
// chunk fed, as long as the caller drains Next() before feeding again.
class FrameReader {
 public:
  enum class Status { Frame, NeedMore, Malformed };
  void Feed(const uint8_t* bytes, size_t size);
  // The next whole frame; Malformed stays Malformed for good.
  Status Next(Frame& frame);

 private:
  std::vector<uint8_t> buffer_;
  size_t start_ = 0;
  bool malformed_ = false;
};

std::vector<uint8_t> EncodeFrame(Kind kind, const uint8_t* payload, size_t size);
inline std::vector<uint8_t> EncodeFrame(Kind kind, const std::vector<uint8_t>& payload = {}) {
  return EncodeFrame(kind, payload.data(), payload.size());
}

struct Hello {
  std::string session;
  std::string name;
  uint16_t port = 0;  // where the joiner accepts mesh links
};

struct MemberEntry {
  MemberId id = 0;
  uint32_t seniority = 0;  // order of joining; the lowest present is the host
  std::string name;
  std::string address;  // as the host sees it
  uint16_t port = 0;    // where the member accepts mesh links
};

struct Welcome {
  MemberId yourId = 0;
  uint32_t yourSeniority = 0;
  MemberId hostId = 0;  // the sender, listed among the members
  std::vector<MemberEntry> members;
};

struct Redirect {
  std::string address;
  uint16_t port = 0;
};

struct Intro {
  std::string session;
  MemberId id = 0;
  uint32_t seniority = 0;
  std::string name;
  uint16_t port = 0;
};

// Each answers the whole frame, header included.
std::vector<uint8_t> EncodeHello(const Hello& hello);
std::vector<uint8_t> EncodeWelcome(const Welcome& welcome);
std::vector<uint8_t> EncodeRedirect(const Redirect& redirect);
std::vector<uint8_t> EncodeIntro(const Intro& intro);
std::vector<uint8_t> EncodeKnown(const std::vector<MemberEntry>& members);

// Each answers nothing when the payload is short, long, or holds a zero id.
std::optional<Hello> ParseHello(const std::vector<uint8_t>& payload);
std::optional<Welcome> ParseWelcome(const std::vector<uint8_t>& payload);
std::optional<Redirect> ParseRedirect(const std::vector<uint8_t>& payload);
std::optional<std::vector<MemberEntry>> ParseKnown(const std::vector<uint8_t>& payload);
std::optional<Intro> ParseIntro(const std::vector<uint8_t>& payload);

}  // namespace rodavia::mesh
