#pragma once
// An in-process network for tests: several machines (transports) in one
// test, deterministic. Every event is queued at once on its receivers and
// their notify callback runs synchronously; the test delivers by processing
// window messages.
#include <deque>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include "platform/Transport.h"

namespace rodavia::test {

class FakeTransport;

// The network shared by the transports of one test.
class FakeRed {
 public:
  struct Sesion {
    std::string nombre;
    uint16_t puerto = 0;
    std::vector<FakeTransport*> miembros;  // the longest-standing first: the host
  };
  std::map<std::string, std::shared_ptr<Sesion>> direcciones;  // "machine:port" of every member
  MemberId siguienteId = 1;
};

class FakeTransport : public Transport {
 public:
  FakeTransport(FakeRed& red, std::string maquina) : red_(red), maquina_(std::move(maquina)) {}
  ~FakeTransport() override { Close(); }

  bool Create(const std::string& host, uint16_t port, const std::string& session, const std::string& member,
              std::string& error) override;
  bool Join(const std::string& host, uint16_t port, const std::string& session, const std::string& member,
            std::string& error, bool& nameTaken) override;
  void CancelJoin() override {}
  void Close() override;
  bool IsOpen() const override { return sesion_ != nullptr; }
  MemberId LocalId() const override { return id_; }
  bool IsHost() const override { return sesion_ && sesion_->miembros.front() == this; }
  MemberId HostId() const override;
  std::vector<TransportMember> InitialMembers() const override { return iniciales_; }
  bool Send(MemberId to, std::vector<uint8_t> data) override;
  void SetAnnouncement(std::vector<uint8_t> announcement) override { anuncio_ = std::move(announcement); }
  void Query(const std::string& address, uint16_t port) override;
  std::vector<FoundSession> Answers() override;
  bool Poll(TransportEvent& event) override;
  void SetNotify(std::function<void()> notify) override { notify_ = std::move(notify); }

  int intentosDeUnion = 0;
  std::string nombre;

 private:
  void Recibir(TransportEvent e);
  TransportMember Yo() const { return {id_, nombre}; }

  FakeRed& red_;
  std::string maquina_;
  std::shared_ptr<FakeRed::Sesion> sesion_;
  MemberId id_ = 0;
  std::vector<TransportMember> iniciales_;
  std::deque<TransportEvent> cola_;
  std::vector<uint8_t> anuncio_;
  std::vector<FoundSession> respuestas_;
  std::function<void()> notify_;
};

}  // namespace rodavia::test
