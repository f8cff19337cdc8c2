#include "platform/DiscoveryProtocol.h"

#include <algorithm>
#include <cstring>

namespace rodavia::discovery {

namespace {
// Fixed tags, so that other programs' datagrams on the port are ignored.
constexpr char kQueryTag[] = "RODAVIA?";
constexpr char kAnswerTag[] = "RODAVIA!";
constexpr size_t kTagSize = 8;

bool Tagged(const uint8_t* data, size_t size, const char* tag) {
  return size >= kTagSize && std::memcmp(data, tag, kTagSize) == 0;
}
}  // namespace

std::vector<uint8_t> EncodeQuery() {
  std::vector<uint8_t> query(kQuerySize, 0);
  std::copy(kQueryTag, kQueryTag + kTagSize, query.begin());
  return query;
}

std::optional<std::vector<uint8_t>> AnswerTo(const uint8_t* query, size_t size, uint16_t port,
                                             const std::vector<uint8_t>& announcement) {
  if (!Tagged(query, size, kQueryTag) || kAnswerHeader + announcement.size() > size) return std::nullopt;
  std::vector<uint8_t> answer(kAnswerTag, kAnswerTag + kTagSize);
  answer.push_back(uint8_t(port));
  answer.push_back(uint8_t(port >> 8));
  answer.insert(answer.end(), announcement.begin(), announcement.end());
  return answer;
}

std::optional<Answer> ParseAnswer(const uint8_t* data, size_t size) {
  if (!Tagged(data, size, kAnswerTag) || size < kAnswerHeader) return std::nullopt;
  Answer a;
  a.port = uint16_t(data[kTagSize] | data[kTagSize + 1] << 8);
  a.announcement.assign(data + kAnswerHeader, data + size);
  return a;
}

}  // namespace rodavia::discovery
