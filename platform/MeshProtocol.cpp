#include "platform/MeshProtocol.h"

#include <algorithm>

namespace rodavia::mesh {

namespace {

uint32_t ReadU32(const uint8_t* p) {
  return uint32_t(p[0]) | uint32_t(p[1]) << 8 | uint32_t(p[2]) << 16 | uint32_t(p[3]) << 24;
}

bool KnownKind(uint8_t kind) {
  return kind >= uint8_t(Kind::Hello) && kind <= uint8_t(Kind::Known);
}

// Appends little-endian numbers and length-prefixed strings to a frame
// whose header is filled in by Finish().
class Writer {
 public:
  explicit Writer(Kind kind) : bytes_(kHeaderSize) { bytes_[4] = uint8_t(kind); }
  void U16(uint16_t v) { Little(v, 2); }
  void U32(uint32_t v) { Little(v, 4); }
  void Str(const std::string& s) {
    U16(uint16_t(s.size()));
    bytes_.insert(bytes_.end(), s.begin(), s.end());
  }
  std::vector<uint8_t> Finish() {
    const uint32_t length = uint32_t(bytes_.size() - 4);
    for (int i = 0; i < 4; ++i) bytes_[i] = uint8_t(length >> (8 * i));
    return std::move(bytes_);
  }

 private:
  void Little(uint32_t v, int size) {
    for (int i = 0; i < size; ++i) bytes_.push_back(uint8_t(v >> (8 * i)));
  }
  std::vector<uint8_t> bytes_;
};

// Reads what Writer wrote; once a read runs past the end every later read
// answers zero or empty and Ok() stays false.
class Reader {
 public:
  explicit Reader(const std::vector<uint8_t>& bytes) : bytes_(bytes) {}
  uint16_t U16() {
    const uint8_t* p = Take(2);
    return p ? uint16_t(p[0] | p[1] << 8) : 0;
  }
  uint32_t U32() {
    const uint8_t* p = Take(4);
    return p ? ReadU32(p) : 0;
  }
  // Every string of the protocol is a name or an address: a longer one is
  // malformed.
  std::string Str() {
    const size_t size = U16();
    if (size > kMaxNameBytes) ok_ = false;
    const uint8_t* p = Take(size);
    return p ? std::string(p, p + size) : std::string();
  }
  size_t Left() const { return ok_ ? bytes_.size() - pos_ : 0; }
  // Everything read and nothing left over.
  bool Done() const { return ok_ && pos_ == bytes_.size(); }

 private:
  const uint8_t* Take(size_t n) {
    if (!ok_ || bytes_.size() - pos_ < n) {
      ok_ = false;
      return nullptr;
    }
    pos_ += n;
    return bytes_.data() + pos_ - n;
  }
  const std::vector<uint8_t>& bytes_;
  size_t pos_ = 0;
  bool ok_ = true;
};

// The smallest member entry: id, seniority, two empty strings, port.
constexpr size_t kMinEntrySize = 4 + 4 + 2 + 2 + 2;

}  // namespace

void FrameReader::Feed(const uint8_t* bytes, size_t size) {
  if (malformed_) return;
  if (start_ == buffer_.size()) {
    buffer_.clear();
    start_ = 0;
  } else if (start_ > kMaxPayload) {
    buffer_.erase(buffer_.begin(), buffer_.begin() + std::ptrdiff_t(start_));
    start_ = 0;
  }
  buffer_.insert(buffer_.end(), bytes, bytes + size);
}

FrameReader::Status FrameReader::Next(Frame& frame) {
  if (malformed_) return Status::Malformed;
  const size_t available = buffer_.size() - start_;
  if (available < kHeaderSize) return Status::NeedMore;
  const uint8_t* head = buffer_.data() + start_;
  const uint32_t length = ReadU32(head);  // kind byte and payload
  if (length == 0 || length > kMaxPayload + 1 || !KnownKind(head[4])) {
    malformed_ = true;
    buffer_ = {};
    return Status::Malformed;
  }
  if (available < 4 + size_t(length)) return Status::NeedMore;
  frame.kind = Kind(head[4]);
  frame.payload.assign(head + kHeaderSize, head + 4 + length);
  start_ += 4 + length;
  return Status::Frame;
}

std::vector<uint8_t> EncodeFrame(Kind kind, const uint8_t* payload, size_t size) {
  std::vector<uint8_t> bytes(kHeaderSize + size);
  const uint32_t length = uint32_t(size + 1);
  for (int i = 0; i < 4; ++i) bytes[i] = uint8_t(length >> (8 * i));
  bytes[4] = uint8_t(kind);
  std::copy(payload, payload + size, bytes.begin() + kHeaderSize);
  return bytes;
}

std::vector<uint8_t> EncodeHello(const Hello& hello) {
  Writer w(Kind::Hello);
  w.Str(hello.session);
  w.Str(hello.name);
  w.U16(hello.port);
  return w.Finish();
}

namespace {
void WriteEntries(Writer& w, const std::vector<MemberEntry>& members) {
  w.U16(uint16_t(members.size()));
  for (const MemberEntry& m : members) {
    w.U32(m.id);
    w.U32(m.seniority);
    w.Str(m.name);
    w.Str(m.address);
    w.U16(m.port);
  }
}

// False when the entries run past the payload or one holds a zero id.
bool ReadEntries(Reader& r, std::vector<MemberEntry>& members) {
  const size_t count = r.U16();
  if (count > r.Left() / kMinEntrySize) return false;
  members.resize(count);
  for (MemberEntry& m : members) {
    m.id = r.U32();
    m.seniority = r.U32();
    m.name = r.Str();
    m.address = r.Str();
    m.port = r.U16();
    if (m.id == 0) return false;
  }
  return true;
}
}  // namespace

std::vector<uint8_t> EncodeWelcome(const Welcome& welcome) {
  Writer w(Kind::Welcome);
  w.U32(welcome.yourId);
  w.U32(welcome.yourSeniority);
  w.U32(welcome.hostId);
  WriteEntries(w, welcome.members);
  return w.Finish();
}

std::vector<uint8_t> EncodeKnown(const std::vector<MemberEntry>& members) {
  Writer w(Kind::Known);
  WriteEntries(w, members);
  return w.Finish();
}

std::vector<uint8_t> EncodeRedirect(const Redirect& redirect) {
  Writer w(Kind::Redirect);
  w.Str(redirect.address);
  w.U16(redirect.port);
  return w.Finish();
}

std::vector<uint8_t> EncodeIntro(const Intro& intro) {
  Writer w(Kind::Intro);
  w.Str(intro.session);
  w.U32(intro.id);
  w.U32(intro.seniority);
  w.Str(intro.name);
  w.U16(intro.port);
  return w.Finish();
}

std::optional<Hello> ParseHello(const std::vector<uint8_t>& payload) {
  Reader r(payload);
  Hello h;
  h.session = r.Str();
  h.name = r.Str();
  h.port = r.U16();
  if (!r.Done()) return std::nullopt;
  return h;
}

std::optional<Welcome> ParseWelcome(const std::vector<uint8_t>& payload) {
  Reader r(payload);
  Welcome w;
  w.yourId = r.U32();
  w.yourSeniority = r.U32();
  w.hostId = r.U32();
  if (!ReadEntries(r, w.members) || !r.Done() || w.yourId == 0 || w.hostId == 0) return std::nullopt;
  return w;
}

std::optional<std::vector<MemberEntry>> ParseKnown(const std::vector<uint8_t>& payload) {
  Reader r(payload);
  std::vector<MemberEntry> members;
  if (!ReadEntries(r, members) || !r.Done()) return std::nullopt;
  return members;
}

std::optional<Redirect> ParseRedirect(const std::vector<uint8_t>& payload) {
  Reader r(payload);
  Redirect d;
  d.address = r.Str();
  d.port = r.U16();
  if (!r.Done()) return std::nullopt;
  return d;
}

std::optional<Intro> ParseIntro(const std::vector<uint8_t>& payload) {
  Reader r(payload);
  Intro i;
  i.session = r.Str();
  i.id = r.U32();
  i.seniority = r.U32();
  i.name = r.Str();
  i.port = r.U16();
  if (!r.Done() || i.id == 0) return std::nullopt;
  return i;
}

}  // namespace rodavia::mesh
