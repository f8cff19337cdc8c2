#pragma once
// The transport over TCP/IP: a full mesh where every member holds one
// connection to every other member, so that messages keep their order per
// sender without relaying. One receiving thread per open session runs the
// sockets; what the window thread reads arrives through a locked queue.
// The wire protocol is docs/red.md.
#include <atomic>
#include <deque>
#include <map>
#include <memory>
#include <mutex>

#include "platform/Transport.h"

namespace rodavia {

class Mesh;

class AsioTransport : public Transport {
 public:
  AsioTransport();
  ~AsioTransport() override;

  bool Create(const std::string& host, uint16_t port, const std::string& session,
              const std::string& member, std::string& error) override;
  bool Join(const std::string& host, uint16_t port, const std::string& session,
            const std::string& member, std::string& error, bool& nameTaken) override;
  void CancelJoin() override;
  void Close() override;

  bool IsOpen() const override { return mesh_ != nullptr; }
  MemberId LocalId() const override { return localId_; }
  bool IsHost() const override { return host_; }
  MemberId HostId() const override;
  std::vector<TransportMember> InitialMembers() const override { return initialMembers_; }

  bool Send(MemberId to, std::vector<uint8_t> data) override;
  void SetAnnouncement(std::vector<uint8_t> announcement) override;
  void Query(const std::string& address, uint16_t port) override;
  std::vector<FoundSession> Answers() override;
  bool Poll(TransportEvent& event) override;
  void SetNotify(std::function<void()> notify) override;

  // The port this member accepts connections at (Create with port 0 picks
  // a free one); 0 when closed.
  uint16_t ListeningPort() const;

 private:
  friend class Mesh;
  // Called by the receiving thread. Push answers false, queueing nothing,
  // when the sender's messages already waiting would exceed kMaxBacklogBytes.
  bool Push(TransportEvent event);
  void SetMembers(std::vector<MemberId> ids, MemberId hostId);
  void SetHost() { host_ = true; }
  std::vector<uint8_t> Announcement() const;

  static bool ListenAsJoiner(Mesh& mesh, uint16_t port, std::string& error);
  bool Open(bool create, const std::string& host, uint16_t port, const std::string& session,
            const std::string& member, std::string& error, bool& nameTaken);
  void Forget();

  std::unique_ptr<Mesh> mesh_;
  class Finder;
  std::unique_ptr<Finder> finder_;  // the socket that asks for sessions
  std::mutex joinMutex_;            // guards joining_
  Mesh* joining_ = nullptr;         // the mesh of a join under way
  MemberId localId_ = 0;
  std::atomic<bool> host_{false};
  std::vector<TransportMember> initialMembers_;

  mutable std::mutex mutex_;  // guards what follows
  std::deque<TransportEvent> events_;
  std::vector<MemberId> members_;  // the others present now, for Send
  MemberId hostId_ = 0;
  std::vector<uint8_t> announcement_;
  std::map<MemberId, size_t> backlog_;  // bytes of messages waiting, by sender
  std::function<void()> notify_;
};

}  // namespace rodavia
