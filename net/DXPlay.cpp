#include "net/DXPlay.h"

#include <algorithm>
#include <atomic>

#include "net/Tramas.h"
#include "platform/WindowMessages.h"

namespace rodavia {

TDXPlay::TDXPlay(Transport& transporte)
    : transporte_(transporte), vivo_(std::make_shared<TDXPlay*>(this)) {
  std::weak_ptr<TDXPlay*> vivo = vivo_;
  // One delivery waits on the window at a time, however many events arrive:
  // it handles all of them.
  auto pendiente = std::make_shared<std::atomic<bool>>(false);
  transporte_.SetNotify([vivo, pendiente] {
    if (pendiente->exchange(true)) return;
    PostToWindow([vivo, pendiente] {
      pendiente->store(false);
      if (auto p = vivo.lock(); p && *p) (*p)->Entregar();
    });
  });
}

TDXPlay::~TDXPlay() {
  *vivo_ = nullptr;
  transporte_.SetNotify(nullptr);
  transporte_.Close();
}

void TDXPlay::Open(bool crear, const std::string& sesion, const std::string& nombre) {
  Close();
  if (sesion.empty() || nombre.empty()) throw ErrorSesion("A session and a member need a name");
  std::string error;
  bool repetido = false;
  // A new session takes members on every interface of this machine.
  const bool abierto = crear ? transporte_.Create("", TCPIPSetting.Port, sesion, nombre, error)
                             : Unirse(sesion, nombre, error, repetido);
  if (unionCancelada_) {
    unionCancelada_ = false;
    transporte_.Close();
    throw ErrorSesion("The join was cancelled", false, true);
  }
  if (!abierto) throw ErrorSesion(error, repetido);
  abierta_ = true;
  auto local = std::make_unique<TDXPlayPlayer>();
  local->ID = transporte_.LocalId();
  local->Nombre = nombre;
  equipos_.push_back(std::move(local));
  for (const TransportMember& m : transporte_.InitialMembers()) Anyadir(m);
  soyServidor_ = equipos_.size() == 1;
  abiertoAvisado_ = true;
  if (OnOpen) OnOpen();
  // The window may leave the session at once (a team of the same name).
  if (!abierta_) throw ErrorSesion("The session was left while it opened");
  if (OnAddPlayer) OnAddPlayer(*equipos_.front());
}

// The transport processes window messages while it waits on the network,
// so the player can cancel meanwhile.
bool TDXPlay::Unirse(const std::string& sesion, const std::string& nombre, std::string& error, bool& repetido) {
  uniendose_ = true;
  const bool abierto = transporte_.Join(TCPIPSetting.HostName, TCPIPSetting.Port, sesion, nombre, error, repetido);
  uniendose_ = false;
  return abierto;
}

void TDXPlay::CancelarUnion() {
  if (!uniendose_) return;
  unionCancelada_ = true;
  transporte_.CancelJoin();
}

void TDXPlay::Close() {
  if (uniendose_) {
    // Closed once the join has given up.
    CancelarUnion();
    return;
  }
  const bool avisar = abierta_ && abiertoAvisado_;
  abierta_ = false;
  abiertoAvisado_ = false;
  if (avisar && OnClose) OnClose();
  transporte_.Close();
  equipos_.clear();
}

void TDXPlay::Send(MemberId a, const std::vector<uint8_t>& datos) {
  if (!abierta_) return;
  if (datos.size() < 4) throw ErrorSesion("Illegal message form");
  if (a == equipos_.front()->ID) {
    if (OnMessage) OnMessage(*equipos_.front(), datos.data(), datos.size());
    return;
  }
  transporte_.Send(a, datos);
}

bool TDXPlay::TodosEnEstado(int16_t estado) const {
  return abierta_ && std::all_of(equipos_.begin(), equipos_.end(),
                                 [estado](const auto& m) { return m->EstadoEquipo == estado; });
}

// Every waiting event, one after the other. A handler that runs a nested
// loop (a message box) must not see the next event before it returns: the
// outer delivery goes on with it afterwards.
void TDXPlay::Entregar() {
  if (entregando_) return;
  entregando_ = true;
  TransportEvent evento;
  while (abierta_ && transporte_.Poll(evento)) {
    try {
      Atender(evento);
    } catch (const std::exception& e) {
      if (OnError) OnError(e.what());
    }
  }
  entregando_ = false;
}

void TDXPlay::Atender(TransportEvent& evento) {
  using Kind = TransportEvent::Kind;
  switch (evento.kind) {
    case Kind::MemberJoined:
      if (Miembro(evento.member.id)) return;
      if (OnAddPlayer) OnAddPlayer(Anyadir(evento.member));
      return;
    case Kind::MemberLeft:
      Quitar(evento.member.id);
      return;
    case Kind::Message: {
      TDXPlayPlayer* de = Miembro(evento.member.id);
      if (!de || evento.data.size() <= 3) return;
      if (OnMessage) OnMessage(*de, evento.data.data(), evento.data.size());
      return;
    }
    case Kind::HostGranted:
      soyServidor_ = true;
      return;
    case Kind::SessionLost:
      if (OnSessionLost) OnSessionLost();
      Close();
      return;
  }
}

TDXPlayPlayer* TDXPlay::Miembro(MemberId id) const {
  for (const auto& m : equipos_)
    if (m->ID == id) return m.get();
  return nullptr;
}

TDXPlayPlayer& TDXPlay::Anyadir(const TransportMember& m) {
  auto miembro = std::make_unique<TDXPlayPlayer>();
  miembro->ID = m.id;
  // Names come from other machines: shown safely whatever they hold.
  miembro->Nombre = TextoRecibido(m.name);
  miembro->Remoto = true;
  equipos_.push_back(std::move(miembro));
  return *equipos_.back();
}

// The member stays in the list while the window handles its departure, and
// is freed right after.
void TDXPlay::Quitar(MemberId id) {
  TDXPlayPlayer* m = Miembro(id);
  if (!m || !m->Remoto) return;
  if (OnDeletePlayer) OnDeletePlayer(*m);
  auto it = std::find_if(equipos_.begin(), equipos_.end(), [id](const auto& e) { return e->ID == id; });
  if (it != equipos_.end()) equipos_.erase(it);
}

}  // namespace rodavia
