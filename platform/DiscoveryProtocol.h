#pragma once
// The datagrams that find sessions on the local network (docs/red.md): a
// query broadcast to the session's UDP port, and each member's answer with
// the TCP port to join at and what the game announces. Pure code, so that a
// fuzzer can feed it any bytes.
#include <cstddef>
#include <cstdint>
#include <optional>
#include <vector>

namespace rodavia::discovery {

// Every query is this long: an answer is never larger than the query that
// asked, so answering cannot amplify anybody's traffic.
inline constexpr size_t kQuerySize = 512;
// Bytes an answer adds to the game's announcement: tag and port.
inline constexpr size_t kAnswerHeader = 10;

std::vector<uint8_t> EncodeQuery();

// The answer to `query` (of `size` bytes) from a member accepting mesh links
// at `port`; nothing when the datagram is no query or the answer would be
// larger than it.
std::optional<std::vector<uint8_t>> AnswerTo(const uint8_t* query, size_t size, uint16_t port,
                                             const std::vector<uint8_t>& announcement);

struct Answer {
  uint16_t port = 0;
  std::vector<uint8_t> announcement;
};
// Nothing when the datagram is no answer.
std::optional<Answer> ParseAnswer(const uint8_t* data, size_t size);

}  // namespace rodavia::discovery
