// Several machines in one process, each a main window with its own
// transport: joining by name, the welcome, chat, teams leaving, the host
// role passing on, and a networked race from the ready handshake to the cars
// of one machine moving on the other's screen.
#include <gtest/gtest.h>

#include <asio.hpp>
#include <chrono>
#include <thread>

#include "app/Mundo.h"
#include "net/DXPlay.h"
#include "net/Descubrimiento.h"
#include "net/Tramas.h"
#include "platform/Application.h"
#include "platform/AsioTransport.h"
#include "platform/Timer.h"
#include "platform/WindowMessages.h"
#include "race/Circuito.h"
#include "race/Coche.h"

namespace rodavia {
namespace {

using namespace test;

// One machine: its own devices, transport and main window.
struct Maquina {
  FakeDisplay pantalla;
  FakeText texto;
  FakeSound sonido;
  FakeInput entrada;
  std::unique_ptr<Transport> red;
  std::unique_ptr<TF_Principal> p;

  Maquina(std::unique_ptr<Transport> transporte, const std::string& equipo) : red(std::move(transporte)) {
    p = std::make_unique<TF_Principal>(Dispositivos{pantalla, texto, sonido, entrada, *red});
    p->FormCreate();
    p->Visible = true;
    p->e_Equipo->SetText(equipo);
  }
  ~Maquina() { p.reset(); }

  int Lineas(const std::string& linea) const {
    return int(std::count(p->l_Chat->Items.begin(), p->l_Chat->Items.end(), linea));
  }
  TCoche* Jugador(const std::string& nombre) const {
    for (TCoche* c : p->Jugadores())
      if (c->Nombre == nombre) return c;
    return nullptr;
  }
};

// The machines of a test, over the in-process network or over real TCP on
// 127.0.0.1 (the host at a free port). Every wait lets the machines' clock
// run 10 ms and delivers what arrived.
struct Red : Mundo {
  const bool tcp;
  FakeRed redFalsa;
  std::vector<std::unique_ptr<Maquina>> maquinas;
  uint16_t puerto = kPuertoDefecto;

  explicit Red(bool sobreTcp) : tcp(sobreTcp) {
    if (tcp) puerto = PuertoLibre();
    for (const char* jugador : {"Ana", "Bea", "Cris", "Dani"})
      carpeta.Write(std::string("Jugadores/") + jugador + ".ini", "");
    Circuito("Bahia", [](TCircuito& c) {
      for (int i = 0; i < 16; ++i) c.Salidas[i + 1] = {int16_t(100 + 60 * i), 300, 9};
    });
    // Sessions are looked for on this machine only, at the test's port.
    carpeta.Write("Rodavia.ini", "[Conexiones]\r\nDescubrir=127.255.255.255\r\nPuerto=" +
                                     std::to_string(puerto) + "\r\n");
    // Every wait of the game lets the clock run and delivers what arrived.
    SetProcessMessages([this] { Paso(); });
  }
  ~Red() {
    maquinas.clear();
    SetProcessMessages(nullptr);
  }

  void Paso() {
    reloj.ticks += 10;
    RunPostedWork();
    IdleAllTimers(reloj.ticks);
  }

  static uint16_t PuertoLibre() {
    AsioTransport sonda;
    std::string error;
    sonda.Create("127.0.0.1", 0, "sonda", "sonda", error);
    return sonda.ListeningPort();
  }

  // Machine n of the test: over the in-process network at 10.0.0.n.
  Maquina& Nueva(const std::string& equipo) {
    std::unique_ptr<Transport> t;
    if (tcp)
      t = std::make_unique<AsioTransport>();
    else
      t = std::make_unique<FakeTransport>(redFalsa, "10.0.0." + std::to_string(maquinas.size() + 1));
    maquinas.push_back(std::make_unique<Maquina>(std::move(t), equipo));
    return *maquinas.back();
  }
  // Where a machine takes newcomers.
  std::string Direccion(const Maquina& m) const {
    if (!tcp) {
      for (size_t i = 0; i < maquinas.size(); ++i)
        if (maquinas[i].get() == &m) return "10.0.0." + std::to_string(i + 1) + ":" + std::to_string(puerto);
    }
    return "127.0.0.1:" + std::to_string(static_cast<const AsioTransport&>(*m.red).ListeningPort());
  }

  static void Conectar(Maquina& m, int modo, const std::string& ip) {
    m.p->rg_conectar->SetItemIndex(modo);
    m.p->e_IP->SetText(ip);
    m.p->bb_Conectar->Click();
  }
  Maquina& Servidor(const std::string& equipo) {
    Maquina& m = Nueva(equipo);
    Conectar(m, 0, (tcp ? "127.0.0.1:" : "10.0.0.1:") + std::to_string(puerto));
    return m;
  }
  Maquina& Invitado(const std::string& equipo) { return Invitado(equipo, Direccion(*maquinas.front())); }
  Maquina& Invitado(const std::string& equipo, const std::string& ip) {
    Maquina& m = Nueva(equipo);
    Conectar(m, 1, ip);
    return m;
  }

  // Delivers until `condicion` holds (at most 5 s); false when it never did.
  template <class F>
  bool Hasta(F condicion) {
    const auto limite = std::chrono::steady_clock::now() + std::chrono::seconds(5);
    while (!condicion()) {
      if (std::chrono::steady_clock::now() > limite) return false;
      ProcessMessages();
      if (tcp) std::this_thread::sleep_for(std::chrono::milliseconds(1));
    }
    return true;
  }
  void Entregar(int veces = 5) {
    for (int i = 0; i < veces; ++i) ProcessMessages();
  }
  // Runs the machines' clock for `ms`, every timer ticking as it comes due.
  void Correr(int ms) {
    for (int t = 0; t < ms; t += 10) ProcessMessages();
  }
};

TEST(DireccionConexionTest, HostAndPortFromTheAddressFieldOrTheConfiguredPort) {
  std::string host;
  uint16_t puerto = 0;
  TF_Principal::DireccionConexion("192.168.0.176:7000", 6666, host, puerto);
  EXPECT_EQ(host, "192.168.0.176");
  EXPECT_EQ(puerto, 7000);
  TF_Principal::DireccionConexion("192.168.0.176:abc", 6666, host, puerto);
  EXPECT_EQ(host, "192.168.0.176:abc");
  EXPECT_EQ(puerto, 6666);
  TF_Principal::DireccionConexion("equipo", 7777, host, puerto);
  EXPECT_EQ(host, "equipo");
  EXPECT_EQ(puerto, 7777);
  TF_Principal::DireccionConexion("10.0.0.1: 70000 ", 6666, host, puerto);
  EXPECT_EQ(puerto, 70000 % 65536) << "kept to 16 bits";
}

struct RedTest : Red, ::testing::TestWithParam<bool> {
  RedTest() : Red(GetParam()) {}
};
INSTANTIATE_TEST_SUITE_P(Transportes, RedTest, ::testing::Values(false, true),
                         [](const auto& info) { return info.param ? "Tcp" : "EnProceso"; });

TEST_P(RedTest, AGuestJoinsByNameTakesTheHostSettingsAndChatsOnce) {
  Maquina& a = Servidor("Azul");
  ASSERT_TRUE(a.p->SesionAbierta());
  EXPECT_EQ(a.p->l_conectar->Caption, "Conectados");
  EXPECT_FALSE(a.p->sb_editar->Enabled);
  EXPECT_TRUE(a.p->cb_Circuito->Enabled);
  a.p->e_NumVueltas->SetText("7");  // not yet left: the host still sends it as a number

  Maquina& b = Invitado("Rojo");
  ASSERT_TRUE(b.p->SesionAbierta());
  EXPECT_EQ(b.Lineas("<Sistema> El equipo Azul está en la sesión."), 1);
  ASSERT_TRUE(Hasta([&] { return b.p->e_NumVueltas->Text() == "07"; }));
  EXPECT_EQ(a.Lineas("<Sistema> El equipo Rojo se ha unido a la sesión."), 1);
  EXPECT_EQ(b.p->cb_Circuito->Text(), "Bahia");
  EXPECT_TRUE(b.p->sb_jugar->Enabled);
  EXPECT_FALSE(b.p->cb_Circuito->Enabled);
  EXPECT_FALSE(b.p->e_NumVueltas->Enabled);
  EXPECT_FALSE(b.p->cb_colisiones->Enabled);
  EXPECT_EQ(b.p->rg_conectar->ItemIndex(), 1);

  // The teams view: every member with its state, this machine's marked.
  ASSERT_TRUE(a.p->sb_equipos->Down());
  ASSERT_EQ(a.p->lv_jugadores->Items.size(), 2u);
  EXPECT_EQ(a.p->lv_jugadores->Items[0].Caption, "   Azul" + std::string(18, ' '));
  EXPECT_TRUE(a.p->lv_jugadores->Items[0].Checked);
  EXPECT_FALSE(a.p->lv_jugadores->Items[1].Checked);

  b.p->e_chat->SetText("hola");
  b.p->bb_Chat->Click();
  ASSERT_TRUE(Hasta([&] { return a.Lineas("<Rojo> hola") == 1; }));
  Entregar();
  EXPECT_EQ(b.Lineas("<Rojo> hola"), 1) << "once, through the receiving path";
  EXPECT_EQ(a.Lineas("<Rojo> hola"), 1);

  // A change of laps on the host reaches the guest.
  a.p->e_NumVueltas->SetText("12");
  a.p->e_NumVueltasExit();
  EXPECT_TRUE(Hasta([&] { return b.p->e_NumVueltas->Text() == "12"; }));
}

// Two fresh machines once shared the default team name: the second is
// refused, and the host keeps its players and never sees it come or go.
// "Unirse" lists the sessions on the network; a session of another version
// is shown with its version and cannot be picked; picking one fills the
// address that "Conectar" joins.
TEST_P(RedTest, UnirseListsTheSessionsOnTheNetworkAndPickingOneJoinsIt) {
  Maquina& a = Servidor("Azul");
  a.p->AnyadirJugador("Ana");
  Maquina& b = Nueva("Rojo");
  EXPECT_FALSE(b.p->lb_Partidas->Visible);
  b.p->e_IP->SetText("");
  b.p->rg_conectar->SetItemIndex(1);
  EXPECT_TRUE(b.p->lb_Partidas->Visible);
  ASSERT_TRUE(Hasta([&] { return b.p->lb_Partidas->Items.size() == 1; }));
  EXPECT_EQ(b.p->lb_Partidas->Items[0], "Azul - Bahia, 3 vueltas, 1/16");
  b.p->lb_Partidas->ItemIndex = 0;
  b.p->lb_Partidas->Click();
  EXPECT_EQ(b.p->e_IP->Text(), Direccion(a));

  const std::vector<uint8_t> otra = CodificarAnuncio({"Verde", "Luna", 5, 2, true, "1.0 BETA", 99, true});
  b.p->MostrarPartidas({{"10.9.9.9", 7000, otra}});
  ASSERT_EQ(b.p->lb_Partidas->Items.size(), 2u);
  EXPECT_EQ(b.p->lb_Partidas->ItemIndex, 0) << "the picked session stays picked";
  EXPECT_EQ(b.p->lb_Partidas->Items[1], "Verde - Luna, 5 vueltas, 2/16, en carrera (versión 1.0 BETA)");
  EXPECT_NE(b.p->lb_Partidas->ItemColor(b.p->lb_Partidas->Items[1]), clWindowText) << "greyed";
  b.p->lb_Partidas->ItemIndex = 1;
  b.p->lb_Partidas->Click();
  EXPECT_EQ(b.p->e_IP->Text(), Direccion(a)) << "another version is not picked";

  b.p->bb_Conectar->Click();
  ASSERT_TRUE(b.p->SesionAbierta());
  EXPECT_FALSE(b.p->lb_Partidas->Visible);
  EXPECT_TRUE(Hasta([&] { return b.Jugador("Ana") != nullptr; }));
}

TEST_P(RedTest, ATakenTeamNameOrAnAddressWithoutSessionEndsDisconnected) {
  Maquina& a = Servidor("Azul");
  a.p->AnyadirJugador("Ana");
  Maquina& b = Invitado("Azul");
  EXPECT_FALSE(b.p->SesionAbierta());
  EXPECT_EQ(b.Lineas("<Error> En la sesión ya existe un equipo con el nombre Azul."), 1);
  EXPECT_EQ(b.Lineas("<Error> Cambie el nombre del equipo y vuelva a entrar."), 1);
  EXPECT_TRUE(mensajes.shown.empty()) << "a taken name is not retried";
  EXPECT_EQ(b.p->l_conectar->Caption, "Desconectados");
  EXPECT_TRUE(b.p->bb_Conectar->Enabled);
  Correr(300);
  EXPECT_EQ(a.Lineas("<Sistema> El equipo Azul se ha unido a la sesión."), 1) << "its own welcome only";
  EXPECT_EQ(a.Lineas("<Sistema> El equipo Azul ha dejado la sesión."), 0);
  EXPECT_NE(a.Jugador("Ana"), nullptr);
  EXPECT_EQ(a.p->DXPlay->Equipos().size(), 1u);

  // Three silent retries, then the question at every failure.
  mensajes.answers = {MsgResult::Retry, MsgResult::Cancel};
  b.p->e_Equipo->SetText("Rojo");
  Conectar(b, 1, tcp ? "127.0.0.1:" + std::to_string(PuertoLibre()) : "10.0.0.9");
  if (!tcp) {
    EXPECT_EQ(static_cast<FakeTransport&>(*b.red).intentosDeUnion, 1 + 5);
  }
  EXPECT_EQ(mensajes.Texts(), (std::vector<std::string>(2, "No hay ninguna sesión en la dirección IP indicada.")));
  EXPECT_FALSE(b.p->SesionAbierta());
}

TEST_P(RedTest, ATeamLeavingTakesItsPlayersAndTheHostRolePassesToOneGuest) {
  Maquina& a = Servidor("Azul");
  Maquina& b = Invitado("Rojo");
  Maquina& c = Invitado("Verde");
  ASSERT_TRUE(Hasta([&] { return a.p->DXPlay->Equipos().size() == 3 && b.p->DXPlay->Equipos().size() == 3; }));
  a.p->AnyadirJugador("Ana");
  ASSERT_TRUE(Hasta([&] { return c.Jugador("Ana") != nullptr; }));
  c.p->AnyadirJugador("Cris");
  ASSERT_TRUE(Hasta([&] { return b.Jugador("Cris") != nullptr && b.Jugador("Ana") != nullptr; }));
  EXPECT_FALSE(b.Jugador("Ana")->Local);
  EXPECT_EQ(b.Lineas("<Sistema> El jugador Ana del equipo Azul se ha unido a la partida."), 1);

  // The host's machine stops: its players leave every roster, and the
  // longest-standing guest takes over within 100 ms.
  a.red->Close();
  ASSERT_TRUE(Hasta([&] { return b.Lineas("<Sistema> Este equipo pasa a ser el servidor de la sesión.") == 1; }));
  ASSERT_TRUE(Hasta([&] { return c.Lineas("<Sistema> El equipo Rojo pasa a ser el servidor de la sesión.") == 1; }));
  EXPECT_EQ(b.Jugador("Ana"), nullptr);
  EXPECT_EQ(c.Jugador("Ana"), nullptr);
  EXPECT_NE(b.Jugador("Cris"), nullptr);
  EXPECT_EQ(b.Lineas("<Sistema> El equipo Azul ha dejado la sesión."), 1);
  EXPECT_EQ(c.Lineas("<Sistema> Este equipo pasa a ser el servidor de la sesión."), 0);
  EXPECT_TRUE(b.p->cb_Circuito->Enabled);
  EXPECT_TRUE(b.p->e_NumVueltas->Enabled);
  EXPECT_FALSE(b.p->sb_editar->Enabled);
  EXPECT_FALSE(c.p->cb_Circuito->Enabled);

  // A newcomer joins at the new host and gets its welcome.
  Maquina& d = Invitado("Negro", Direccion(b));
  ASSERT_TRUE(d.p->SesionAbierta());
  EXPECT_EQ(d.Lineas("<Sistema> El equipo Rojo está en la sesión."), 1);
  EXPECT_TRUE(Hasta([&] { return d.Jugador("Cris") != nullptr && d.p->cb_Circuito->Text() == "Bahia"; }));
}

// A join to an address that never answers: the lobby goes on while it
// waits, says where it connects, and "Desconectar" ends the attempt at once,
// without the retries or their question.
TEST(UnionTest, AJoinThatNeverGetsAnAnswerKeepsTheWindowGoingAndCanBeCancelled) {
  Red red(true);
  asio::io_context io;
  asio::ip::tcp::acceptor mudo(io, {asio::ip::make_address("127.0.0.1"), 0});  // accepts, never answers
  Maquina& b = red.Nueva("Rojo");
  int pasos = 0;
  std::string rotulo;
  SetProcessMessages([&] {
    red.Paso();
    if (++pasos == 30) {
      rotulo = b.p->l_conectar->Caption;
      b.p->bb_Desconectar->Click();
    }
  });
  const auto inicio = std::chrono::steady_clock::now();
  Red::Conectar(b, 1, "127.0.0.1:" + std::to_string(mudo.local_endpoint().port()));
  const auto espera = std::chrono::steady_clock::now() - inicio;
  EXPECT_GE(pasos, 30) << "the window went on while the join waited";
  EXPECT_EQ(rotulo, "Conectando...");
  EXPECT_EQ(b.Lineas("<Sistema> Conectando con 127.0.0.1:" + std::to_string(mudo.local_endpoint().port()) + "..."), 1);
  EXPECT_LT(espera, std::chrono::milliseconds(1500)) << "a cancelled join waits for no answer";
  EXPECT_FALSE(b.p->SesionAbierta());
  EXPECT_TRUE(red.mensajes.shown.empty()) << "no retries after a cancel";
  EXPECT_EQ(b.p->l_conectar->Caption, "Desconectados");
  EXPECT_TRUE(b.p->bb_Conectar->Enabled);
}

// The race needs no real network: one process cannot run two machines'
// race starts side by side, so they run on the in-process network in turn.
struct CarreraEnRedTest : Red, ::testing::Test {
  CarreraEnRedTest() : Red(false) {}
};

TEST_F(CarreraEnRedTest, AHostOfAnotherVersionIsLeftAfterAWarning) {
  Maquina& a = Servidor("Azul");
  Maquina& b = Invitado("Rojo");
  Entregar();
  TDXPlayPlayer& host = *b.p->DXPlay->Equipos()[1];
  auto version = [&](const std::string& texto) {
    const auto m = SobreTrama(Trama::Version, texto);
    b.p->DXPlayMessage(host, m.data(), m.size());
  };
  version("0.71 BETA");
  EXPECT_TRUE(mensajes.shown.empty()) << "the first three characters match";
  version("1.0 BETA");
  EXPECT_EQ(mensajes.Texts(), std::vector<std::string>{"La versión del juego no coincide.\rEl servidor tiene la versión "
                                                       "1.0 BETA y esta versión es la 0.79 BETA"});
  EXPECT_FALSE(b.p->SesionAbierta());
  Entregar();
  EXPECT_EQ(a.Lineas("<Sistema> El equipo Rojo ha dejado la sesión."), 1);
}

// A guest that sends what only the host may send, or acts for other
// members' players, changes nothing; a malformed frame is one chat line,
// never a box, and the frames behind it are handled.
TEST_F(CarreraEnRedTest, AGuestCannotActForTheHostNorStopItWithAMalformedFrame) {
  Maquina& a = Servidor("Azul");
  a.p->AnyadirJugador("Ana");
  a.p->e_NumVueltas->SetText("3");
  Maquina& b = Invitado("Rojo");
  Entregar();
  b.p->EnviarTrama(AllMembers, Trama::Version, "1.0 BETA");
  b.p->EnviarTrama(AllMembers, Trama::Opciones, "991Luna");
  b.p->EnviarTrama(AllMembers, Trama::FramesEntreTramas, "42");
  b.p->EnviarTrama(AllMembers, Trama::JugadorSale, "Ana");
  b.p->EnviarTrama(AllMembers, Trama::JugadorEntra, "Rita&&00F1-Vanto-Rojo.bmp");
  b.p->EnviarTrama(AllMembers, Trama::JugadorEntra, "Rosa&&17F1-Vanto-Rojo.bmp");
  b.p->EnviarTrama(AllMembers, Trama::EstadoEquipo, "x1");
  b.p->EnviarChat("sigo aquí");
  Entregar();
  EXPECT_TRUE(a.p->SesionAbierta());
  EXPECT_TRUE(mensajes.shown.empty());
  EXPECT_EQ(a.p->cb_Circuito->Text(), "Bahia");
  EXPECT_EQ(a.p->e_NumVueltas->Text(), "3") << "the host's own text";
  EXPECT_TRUE(a.p->sb_jugar->Enabled);
  EXPECT_EQ(a.p->framesEntreTramas, 3);
  ASSERT_NE(a.Jugador("Ana"), nullptr);
  EXPECT_TRUE(a.Jugador("Ana")->Local);
  EXPECT_EQ(a.p->Jugadores().size(), 1u);
  EXPECT_EQ(a.Lineas("<Error> Trama no válida del equipo Rojo: el índice 00 no está entre 01 y 16"), 1);
  EXPECT_EQ(std::count_if(a.p->l_Chat->Items.begin(), a.p->l_Chat->Items.end(),
                          [](const std::string& l) { return l.starts_with("<Error> Trama no válida"); }),
            1)
      << "one line a second for each team";
  EXPECT_EQ(a.Lineas("<Rojo> sigo aquí"), 1);
  EXPECT_EQ(b.p->DXPlay->Equipos()[1]->EstadoEquipo, 0);
}

// What a newcomer learns in its welcome reaches its "Info"; a player its
// machine takes out leaves every roster, while another team's player taken
// out here leaves this roster only.
TEST_F(CarreraEnRedTest, PlayersComeWithTheirStatisticsAndLeaveByTheirOwnMachine) {
  carpeta.Write("Jugadores/Ana.ini", "[Perfil Circuito Bahia]\r\nVueltaRapida=0.001\r\nVecesJugadas=4\r\n");
  Maquina& a = Servidor("Azul");
  a.p->AnyadirJugador("Ana");
  a.p->AnyadirJugador("Cris");
  Maquina& b = Invitado("Rojo");
  Entregar();
  b.p->AnyadirJugador("Bea");
  Entregar();
  ASSERT_NE(b.Jugador("Ana"), nullptr);
  b.p->sb_jugadoresClick();
  b.p->lv_jugadores->Select(0);
  b.p->bb_Info->Click();
  EXPECT_EQ(b.Lineas("<Info> Partidas jugadas en el circuito Bahia = 4"), 1);
  EXPECT_EQ(b.Lineas("<Info> Eqipo = Azul"), 1);

  a.p->sb_jugadoresClick();
  a.p->lv_jugadores->Select(0);  // Ana, A's own
  a.p->bb_quitar_de_la_partida->Click();
  Entregar();
  EXPECT_EQ(b.Jugador("Ana"), nullptr);
  EXPECT_EQ(b.Lineas("<Sistema> El jugador Ana del equipo Azul ha dejado la partida."), 1);

  b.p->sb_jugadoresClick();
  b.p->lv_jugadores->Select(0);  // Cris, A's
  b.p->bb_quitar_de_la_partida->Click();
  Entregar();
  EXPECT_EQ(b.Jugador("Cris"), nullptr);
  EXPECT_NE(a.Jugador("Cris"), nullptr) << "only its own machine takes a player out of every roster";
  EXPECT_NE(a.Jugador("Bea"), nullptr);
}

// A start that comes due while a message box waits for the player runs once
// the box is closed, never inside it.
TEST_F(CarreraEnRedTest, ARaceStartWaitsForAnOpenMessageBox) {
  Maquina& a = Servidor("Azul");
  Maquina& b = Invitado("Rojo");
  b.p->AnyadirJugador("Bea");
  b.p->sb_jugar->Click();
  Entregar();
  bool empezoDentro = true;
  mensajes.answers = {MsgResult::No};
  mensajes.whileShown = [&] {
    a.p->EnviarTrama(AllMembers, Trama::Empezar, "");
    Correr(500);
    empezoDentro = b.pantalla.visible;
    a.red->Close();  // B races alone once it starts
  };
  b.p->bb_Desconectar->Click();
  mensajes.whileShown = nullptr;
  EXPECT_FALSE(empezoDentro);
  Correr(500);
  EXPECT_TRUE(b.pantalla.visible);
  EXPECT_TRUE(b.p->t_semaforo.Enabled());
}

TEST_F(CarreraEnRedTest, MachinesGettingReadyAtOnceBothGoOnToStart) {
  Maquina& a = Servidor("Azul");
  Maquina& b = Invitado("Rojo");
  a.p->AnyadirJugador("Ana");
  Entregar();
  b.p->AnyadirJugador("Bea");
  Entregar();
  // Both press within one network delay: each learns of the other's "ready"
  // afterwards, and each must still go on to the start.
  a.p->sb_jugar->Click();
  b.p->sb_jugar->Click();
  Entregar();
  EXPECT_TRUE(a.p->t_ajugar.Enabled());
  EXPECT_TRUE(b.p->t_ajugar.Enabled());
  a.p->t_ajugar.SetEnabled(false);
  b.p->t_ajugar.SetEnabled(false);

  // The last team that was not ready leaving also lets the others start.
  b.p->sb_jugar->Click();  // B is not ready any more
  Maquina& c = Invitado("Verde");
  c.red->Close();
  Entregar();
  EXPECT_FALSE(a.p->t_ajugar.Enabled());
  b.red->Close();
  Entregar();
  EXPECT_TRUE(a.p->t_ajugar.Enabled()) << "only A is left, and it is ready";
}

TEST_F(CarreraEnRedTest, AStartedRaceShowsTheOtherMachinesCarsAndOnlyThose) {
  Maquina& a = Servidor("Azul");
  Maquina& b = Invitado("Rojo");
  // Both add a player before hearing of the other: both take index 1, and
  // each refuses the other's. B's next player is seen by both.
  a.p->AnyadirJugador("Ana");
  b.p->AnyadirJugador("Bea");
  Entregar();
  EXPECT_EQ(a.Lineas("<Error> pero el jugador Ana del equipo Azul tiene el mismo índice."), 1);
  EXPECT_EQ(a.Jugador("Bea"), nullptr);
  b.p->AnyadirJugador("Dani");
  Entregar();
  ASSERT_NE(a.Jugador("Dani"), nullptr);
  EXPECT_EQ(a.Jugador("Dani")->Indice, 2);

  // A gets ready and waits; B's press makes every team ready and starts B,
  // A follows on the start frame; both meet on the grid before the light.
  a.p->sb_jugar->Click();
  Entregar();
  EXPECT_EQ(a.p->sb_jugar->Caption, "Preparado");
  EXPECT_FALSE(a.pantalla.visible);
  b.p->sb_jugar->Click();
  EXPECT_TRUE(a.pantalla.visible);
  EXPECT_TRUE(b.pantalla.visible);
  EXPECT_EQ(a.p->t_semaforo.Enabled(), b.p->t_semaforo.Enabled()) << "nobody lights up alone";
  Correr(5000);
  ASSERT_TRUE(a.p->t_coches.Enabled());
  ASSERT_TRUE(b.p->t_coches.Enabled());
  EXPECT_EQ(a.sonido.logs["Sirena.wav"]->plays, 1) << "one race start a machine";
  EXPECT_EQ(b.sonido.logs["Sirena.wav"]->plays, 1);

  // B's cars drive; Dani moves on A's screen, and B's frames about its index
  // 1 never move A's own car of that index.
  b.entrada.keyboard.down.insert(38);
  TCoche& anaEnA = *a.Jugador("Ana");
  const double anaX = anaEnA.X;
  for (int i = 0; i < 60; ++i) {
    b.p->t_cochesTimer();
    a.p->t_cochesTimer();
    Entregar(1);
  }
  const TCoche& daniEnB = *b.Jugador("Dani");
  const TCoche& daniEnA = *a.Jugador("Dani");
  EXPECT_GT(daniEnB.X, 160 + 10);
  EXPECT_NEAR(daniEnA.X, daniEnB.X, 40);
  EXPECT_EQ(anaEnA.X, anaX);

  // B stops: A sees its team leave the circuit and its cars hidden.
  b.p->TerminarCarrera();
  Entregar();
  EXPECT_EQ(a.Lineas("<Sistema> El equipo Rojo ha salido del circuito."), 1);
  EXPECT_FALSE(daniEnA.Visible);
}

}  // namespace
}  // namespace rodavia
