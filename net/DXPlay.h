#pragma once
// The session component: one member of a peer-to-peer session per machine
// (a team), over the transport. It keeps the list of members with their team
// states, knows whether this machine hosts, and raises the session's events
// on the window thread, one at a time, from "process pending window
// messages".
#include <cstdint>
#include <functional>
#include <memory>
#include <stdexcept>
#include <string>
#include <vector>

#include "platform/Transport.h"

namespace rodavia {

// One member of the session: a team, this machine's or another's.
struct TDXPlayPlayer {
  MemberId ID = 0;
  std::string Nombre;
  bool Remoto = false;       // belongs to another machine
  int16_t EstadoEquipo = 0;  // 0 waiting, 1 ready, 2 racing
  uint32_t UltimoAvisoError = 0;  // clock ticks of the last malformed frame shown
};

// What Open and Send raise.
struct ErrorSesion : std::runtime_error {
  explicit ErrorSesion(const std::string& texto, bool repetido = false, bool cancelada = false)
      : std::runtime_error(texto), nombreRepetido(repetido), unionCancelada(cancelada) {}
  bool nombreRepetido;  // the session already holds a member of that name
  bool unionCancelada;  // the player cancelled the join
};

class TDXPlay {
 public:
  struct TCPIP {
    bool Enabled = true;
    std::string HostName = "0.0.0.0";
    uint16_t Port = 6666;
  };

  explicit TDXPlay(Transport& transporte);
  ~TDXPlay();
  TDXPlay(const TDXPlay&) = delete;
  TDXPlay& operator=(const TDXPlay&) = delete;

  TCPIP TCPIPSetting;

  // Creates (crear) or joins the session `sesion` at the address of
  // TCPIPSetting with the local member `nombre`. Raises ErrorSesion when it
  // fails (with nombreRepetido when the name is taken: the session then never
  // saw this machine). On success: OnOpen, then OnAddPlayer for the local member.
  // While a join waits on the network, window messages go on being
  // processed, and CancelarUnion ends it.
  void Open(bool crear, const std::string& sesion, const std::string& nombre);
  bool Uniendose() const { return uniendose_; }
  void CancelarUnion();
  // Leaves the session: OnClose (when OnOpen was raised), then every member
  // is freed. Events still waiting are dropped. During a join it cancels it.
  void Close();
  // Sends a message to member `a` (0: every other member). Nothing without a
  // session; a message under 4 bytes raises "Illegal message form"; one to
  // the local member is handled at once, without the network.
  void Send(MemberId a, const std::vector<uint8_t>& datos);

  bool Abierta() const { return abierta_; }
  bool SoyServidor() const { return soyServidor_; }
  // The member holding the host role as this machine sees it now; 0 closed.
  MemberId Servidor() const { return abierta_ ? transporte_.HostId() : 0; }
  // Whether that member holds the host role as this machine sees it now.
  bool EsServidor(const TDXPlayPlayer& m) const { return abierta_ && m.ID == transporte_.HostId(); }
  TDXPlayPlayer* EquipoLocal() const { return equipos_.empty() || !abierta_ ? nullptr : equipos_.front().get(); }
  // The local member first, then the others in the session's order of arrival.
  const std::vector<std::unique_ptr<TDXPlayPlayer>>& Equipos() const { return equipos_; }
  // True when every member, this one included, is in `estado`.
  bool TodosEnEstado(int16_t estado) const;

  std::function<void()> OnOpen, OnClose, OnSessionLost;
  std::function<void(TDXPlayPlayer&)> OnAddPlayer, OnDeletePlayer;
  std::function<void(TDXPlayPlayer& de, const uint8_t* datos, size_t tamanyo)> OnMessage;
  // An error raised by a handler of an event: told to the player without
  // stopping the delivery.
  std::function<void(const std::string& texto)> OnError;

 private:
  bool Unirse(const std::string& sesion, const std::string& nombre, std::string& error, bool& repetido);
  void Entregar();
  void Atender(TransportEvent& evento);
  TDXPlayPlayer* Miembro(MemberId id) const;
  TDXPlayPlayer& Anyadir(const TransportMember& m);
  void Quitar(MemberId id);

  Transport& transporte_;
  std::vector<std::unique_ptr<TDXPlayPlayer>> equipos_;
  bool abierta_ = false, soyServidor_ = false, abiertoAvisado_ = false;
  bool entregando_ = false;
  bool uniendose_ = false, unionCancelada_ = false;
  // Shared with the work posted to the window, so that work finding the
  // component gone does nothing.
  std::shared_ptr<TDXPlay*> vivo_;
};

}  // namespace rodavia
