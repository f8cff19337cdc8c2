#include "fakes/FakeTransport.h"

#include <algorithm>
#include <utility>

namespace rodavia::test {

bool FakeTransport::Create(const std::string&, uint16_t port, const std::string& session, const std::string& member,
                           std::string& error) {
  Close();
  const std::string direccion = maquina_ + ":" + std::to_string(port);
  if (red_.direcciones.count(direccion)) {
    error = "Address in use";
    return false;
  }
  sesion_ = std::make_shared<FakeRed::Sesion>();
  sesion_->nombre = session;
  sesion_->puerto = port;
  sesion_->miembros.push_back(this);
  red_.direcciones[direccion] = sesion_;
  id_ = red_.siguienteId++;
  nombre = member;
  iniciales_.clear();
  return true;
}

bool FakeTransport::Join(const std::string& host, uint16_t port, const std::string& session,
                         const std::string& member, std::string& error, bool& nameTaken) {
  Close();
  ++intentosDeUnion;
  auto it = red_.direcciones.find(host + ":" + std::to_string(port));
  if (it == red_.direcciones.end() || it->second->nombre != session) {
    error = "Session '" + session + "' not found";
    return false;
  }
  const auto& miembros = it->second->miembros;
  nameTaken = std::any_of(miembros.begin(), miembros.end(), [&](FakeTransport* m) { return m->nombre == member; });
  if (nameTaken) {
    error = "Member name '" + member + "' is taken";
    return false;
  }
  sesion_ = it->second;
  id_ = red_.siguienteId++;
  nombre = member;
  iniciales_.clear();
  for (FakeTransport* m : sesion_->miembros) {
    iniciales_.push_back(m->Yo());
    m->Recibir({TransportEvent::Kind::MemberJoined, Yo(), {}});
  }
  sesion_->miembros.push_back(this);
  red_.direcciones[maquina_ + ":" + std::to_string(sesion_->puerto)] = sesion_;
  return true;
}

void FakeTransport::Close() {
  cola_.clear();
  anuncio_.clear();
  if (!sesion_) return;
  auto sesion = std::move(sesion_);
  const bool eraHost = sesion->miembros.front() == this;
  std::erase(sesion->miembros, this);
  red_.direcciones.erase(maquina_ + ":" + std::to_string(sesion->puerto));
  for (FakeTransport* m : sesion->miembros) m->Recibir({TransportEvent::Kind::MemberLeft, Yo(), {}});
  if (eraHost && !sesion->miembros.empty())
    sesion->miembros.front()->Recibir({TransportEvent::Kind::HostGranted, {}, {}});
}

bool FakeTransport::Send(MemberId to, std::vector<uint8_t> data) {
  if (!sesion_) return false;
  bool enviado = false;
  for (FakeTransport* m : std::vector<FakeTransport*>(sesion_->miembros))
    if (m != this && (to == 0 || m->id_ == to)) {
      m->Recibir({TransportEvent::Kind::Message, Yo(), data});
      enviado = true;
    }
  return enviado;
}

// Every open session's members answer a query at their session's port,
// whatever the address: the in-process network is one broadcast domain.
void FakeTransport::Query(const std::string&, uint16_t port) {
  for (const auto& [direccion, sesion] : red_.direcciones)
    if (sesion->puerto == port)
      for (FakeTransport* m : sesion->miembros)
        if (direccion == m->maquina_ + ":" + std::to_string(port) && !m->anuncio_.empty())
          respuestas_.push_back({m->maquina_, port, m->anuncio_});
}

std::vector<FoundSession> FakeTransport::Answers() { return std::exchange(respuestas_, {}); }

MemberId FakeTransport::HostId() const { return sesion_ ? sesion_->miembros.front()->id_ : 0; }

bool FakeTransport::Poll(TransportEvent& event) {
  if (cola_.empty()) return false;
  event = std::move(cola_.front());
  cola_.pop_front();
  return true;
}

void FakeTransport::Recibir(TransportEvent e) {
  cola_.push_back(std::move(e));
  if (notify_) notify_();
}

}  // namespace rodavia::test
