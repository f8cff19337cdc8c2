#pragma once
// An in-process network for tests: several fake transports share one
// FakeRed, so that several machines of the game run in one test, in a
// fixed order. Every event is queued at once and the receiver's notify
// callback runs synchronously, on the sender's call.
#include <deque>
#include <map>
#include <string>
#include <vector>

#include "platform/Transport.h"

namespace rodavia::test {

class FakeTransport;

class FakeRed {
 public:
  // The next Join fails as if no session answered.
  void FailNextJoin() { failNextJoin_ = true; }
  // The member stops like a killed machine: the others see it leave (and
  // the next senior takes the host role), it hears nothing more and what it
  // sends is lost.
  void Vanish(MemberId id);

 private:
  friend class FakeTransport;
  struct Session {
    std::string host;  // empty: any address at the port
    std::string name;
    std::vector<FakeTransport*> members;  // the longest-standing first
  };
  Session* Find(const std::string& host, uint16_t port);
  Session* SessionOf(const FakeTransport* member);
  void Remove(FakeTransport* member);

  std::map<uint16_t, Session> sessions_;  // by port
  MemberId nextId_ = 1;
  bool failNextJoin_ = false;
};

class FakeTransport : public Transport {
 public:
  explicit FakeTransport(FakeRed& red) : red_(red) {}
  ~FakeTransport() override { Close(); }

  bool Create(const std::string& host, uint16_t port, const std::string& session,
              const std::string& member, std::string& error) override;
  bool Join(const std::string& host, uint16_t port, const std::string& session,
            const std::string& member, std::string& error) override;
  void Close() override;
  bool IsOpen() const override { return id_ != 0; }
  MemberId LocalId() const override { return id_; }
  bool IsHost() const override { return host_; }
  std::vector<TransportMember> InitialMembers() const override { return initial_; }
  bool Send(MemberId to, std::vector<uint8_t> data) override;
  bool Poll(TransportEvent& event) override;
  void SetNotify(std::function<void()> notify) override { notify_ = std::move(notify); }

 private:
  friend class FakeRed;
  void Deliver(TransportEvent event);
  TransportMember Self() const { return {id_, name_}; }

  FakeRed& red_;
  MemberId id_ = 0;
  std::string name_;
  bool host_ = false;
  std::vector<TransportMember> initial_;
  std::deque<TransportEvent> events_;
  std::function<void()> notify_;
};

}  // namespace rodavia::test
