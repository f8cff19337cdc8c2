#pragma once
// The network transport under the game's session: a peer-to-peer session of
// members over TCP/IP, joined by session name at an address and port, with
// guaranteed messages (whole, in order per sender) to one member or to all
// others, keep-alive, and host migration. Its own thread receives; events
// wait in a queue until the window thread polls them, so nothing of the game
// ever runs on the receiving thread.
#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <vector>

namespace rodavia {

using MemberId = uint32_t;  // session-wide, never 0
// As the address of a message: every member but the sender.
inline constexpr MemberId AllMembers = 0;
// The most a member's received messages may take while they wait to be polled.
inline constexpr size_t kMaxBacklogBytes = 1 << 20;

struct TransportMember {
  MemberId id = 0;
  std::string name;
};

struct TransportEvent {
  enum class Kind {
    MemberJoined,  // member: a newcomer (never the local one)
    MemberLeft,    // member: one that left, closed or stopped answering
    Message,       // member: the sender; data: the message as it was sent.
                   // A member whose messages wait unpolled beyond
                   // kMaxBacklogBytes is disconnected.
    HostGranted,   // the host left and this machine is the host now
    SessionLost,   // the session cannot go on; close it
  };
  Kind kind = Kind::Message;
  TransportMember member;
  std::vector<uint8_t> data;
};

// A session that answered a discovery query: where to join it, and what its
// member announced.
struct FoundSession {
  std::string address;
  uint16_t port = 0;
  std::vector<uint8_t> announcement;
};

class Transport {
 public:
  virtual ~Transport() = default;

  // Creates a session of that name with the local member `member`,
  // accepting members at port `port` (on every interface when `host` is
  // empty or "0.0.0.0"). On failure answers false with `error` set.
  virtual bool Create(const std::string& host, uint16_t port, const std::string& session,
                      const std::string& member, std::string& error) = 0;
  // Joins the session of that name found at host:port, processing window
  // messages while it waits on the network. On failure answers
  // false with `error` set: "Session '<name>' not found" when no session of
  // that name answers there, "Member name '<member>' is taken" (and
  // `nameTaken`) when the session holds a member of that name: the joiner
  // never becomes a member then, so nobody sees it come or go.
  virtual bool Join(const std::string& host, uint16_t port, const std::string& session,
                    const std::string& member, std::string& error, bool& nameTaken) = 0;
  // Makes a Join under way fail at once (the player cancelled it from a
  // window message); nothing when no join runs.
  virtual void CancelJoin() = 0;
  // Leaves the session (the others see this member leave) and stops the
  // receiving thread. Events not yet polled are dropped. Closing when
  // nothing is open does nothing.
  virtual void Close() = 0;

  virtual bool IsOpen() const = 0;
  virtual MemberId LocalId() const = 0;
  // Whether this machine holds the host role now.
  virtual bool IsHost() const = 0;
  // The member that holds the host role as this machine sees it now.
  virtual MemberId HostId() const = 0;
  // The other members present when the session was opened, in the order
  // the session lists them (the longest-standing first).
  virtual std::vector<TransportMember> InitialMembers() const = 0;

  // Queues a message for member `to`, or for every other member when `to`
  // is AllMembers. Answers false when it cannot be sent (no session, unknown member).
  virtual bool Send(MemberId to, std::vector<uint8_t> data) = 0;

  // While a session is open, every member answers discovery queries at the
  // session's port with `announcement` (what the lobby shows of the session).
  virtual void SetAnnouncement(std::vector<uint8_t> announcement) = 0;
  // Asks for the sessions answering at address:port (a broadcast address
  // asks the whole network); their answers come through Answers.
  virtual void Query(const std::string& address, uint16_t port) = 0;
  // The answers that arrived since the last call, a bounded number of them.
  virtual std::vector<FoundSession> Answers() = 0;

  // The next waiting event, on the window thread; false when none waits.
  virtual bool Poll(TransportEvent& event) = 0;
  // Called from any thread whenever an event has been queued.
  virtual void SetNotify(std::function<void()> notify) = 0;
};

}  // namespace rodavia
