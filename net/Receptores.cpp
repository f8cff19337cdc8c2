#include "net/Receptores.h"

#include "platform/Text.h"

namespace rodavia {

namespace {

constexpr size_t kMaxJugadores = 16;
constexpr size_t kLongitudMaximaNombre = 64;  // characters of a player's name

bool EnElLobby(const ModeloSesion& m) { return m.estadoPropio == 0 || m.estadoPropio == 1; }
bool Corriendo(const ModeloSesion& m) { return m.estadoPropio == 2; }

void Comprobar(bool correcto, const std::string& problema) {
  if (!correcto) throw ErrorConversion(problema);
}

// The roster position of the sender's car with that index.
std::optional<size_t> CocheDe(const ModeloSesion& m, const Remitente& de, int indice) {
  for (size_t p = 0; p < m.jugadores.size(); ++p) {
    const JugadorDelModelo& j = m.jugadores[p];
    if (!j.local && j.miembro == de.id && j.indice == indice) return p;
  }
  return std::nullopt;
}

void JugadorEntraDecidido(const ModeloSesion& m, const Remitente& de, const std::string& texto, Decision& d) {
  JugadorEntra j = LeerJugadorEntra(texto);
  Comprobar(j.indice >= 1 && j.indice <= 16, "el índice " + Digitos(j.indice, 2) + " no está entre 01 y 16");
  Comprobar(!j.nombre.empty() && Utf8Prefix(j.nombre, kLongitudMaximaNombre) == j.nombre,
            "un jugador ha de tener un nombre de 1 a 64 caracteres");
  const std::string intenta = "El jugador " + j.nombre + " intenta entrar desde el equipo " + de.equipo;
  auto error = [&d](const std::string& linea) { d.lineas.push_back({"Error", linea}); };
  if (m.jugadores.size() >= kMaxJugadores) {
    error(intenta + ", pero ya hay 16 jugadores.");
    return;
  }
  for (const JugadorDelModelo& c : m.jugadores)
    if (c.nombre == j.nombre) {
      error(intenta + ",");
      error("pero ya existe un jugador " + c.nombre + " del equipo " + c.equipo + ".");
      return;
    }
  for (const JugadorDelModelo& c : m.jugadores)
    if (c.indice == j.indice) {
      error(intenta + ",");
      error("pero el jugador " + c.nombre + " del equipo " + c.equipo + " tiene el mismo índice.");
      error("Intente quitar de la partida al jugador " + c.nombre + " del equipo " + c.equipo + ".");
      return;
    }
  if (!m.imagenDisponible || !m.imagenDisponible(j.imagen)) {
    error("El jugador " + j.nombre + " del equipo " + de.equipo + " tiene la imagen del coche \"..Coches\\" + j.imagen +
          "\" que este equipo no posee.");
    error("Se le asignará la imagen por defecto. Para futuras partidas pídale al otro jugador la imagen y "
          "póngala en el directorio \"..\\Coches\".");
    j.imagen.clear();
  }
  d.lineas.push_back({"Sistema", "El jugador " + j.nombre + " del equipo " + de.equipo + " se ha unido a la partida."});
  d.admitir = std::move(j);
}

// Only a player the sender added leaves: never one of this machine's or of
// another team.
void JugadorSaleDecidido(const ModeloSesion& m, const Remitente& de, const std::string& texto, Decision& d) {
  const std::string nombre = TextoRecibido(texto);
  for (size_t p = 0; p < m.jugadores.size(); ++p) {
    const JugadorDelModelo& c = m.jugadores[p];
    if (c.local || c.miembro != de.id || NombreEnTrama(c.nombre) != nombre) continue;
    d.quitar = p;
    d.lineas.push_back({"Sistema", "El jugador " + nombre + " del equipo " + de.equipo + " ha dejado la partida."});
    return;
  }
}

void EstadoEquipoDecidido(const Remitente& de, const std::string& texto, Decision& d) {
  const int estado = LeerDigitos(texto, 0, 2);
  Comprobar(estado <= 2, "el estado " + texto.substr(0, 2) + " no es 00, 01 ni 02");
  if (de.estado == 2 && texto == "00")
    d.lineas.push_back({"Sistema", "El equipo " + de.equipo + " ha salido del circuito."});
  d.estadoRemitente = int16_t(estado);
}

void CochesDecididos(const ModeloSesion& m, const Remitente& de, const std::string& texto, Decision& d) {
  if (!Corriendo(m)) return;
  std::string resto = texto;
  while (resto.size() >= LongitudEstadoCoche) {
    const EstadoCoche e = LeerEstadoCoche(resto);
    if (e.frame >= 36 || e.humo >= 6) {
      std::string problema = "'";
      problema.append(resto, 0, LongitudEstadoCoche).append("' no es el estado de un coche");
      throw ErrorConversion(problema);
    }
    if (auto p = CocheDe(m, de, e.indice)) d.mover.emplace_back(*p, e);
    resto = TrimBlanks(resto.substr(LongitudEstadoCoche));
  }
}

void VueltaDecidida(const ModeloSesion& m, const Remitente& de, const std::string& texto, Decision& d) {
  if (!Corriendo(m)) return;
  const VueltaRecibida v = LeerVuelta(texto);
  if (auto p = CocheDe(m, de, v.indice)) d.vuelta = Decision::Vuelta{*p, v.vuelta, v.tiempo};
}

void OpcionesDecididas(const ModeloSesion& m, const Remitente& de, const std::string& texto, Decision& d) {
  if (!de.servidor || !EnElLobby(m)) return;
  Decision::Ajustes a{LeerOpciones(texto), -1};
  // Circuit names compare in the form they travel in.
  for (size_t i = 0; i < m.circuitos.size(); ++i)
    if (NombreEnTrama(m.circuitos[i]) == a.opciones.circuito) {
      a.indiceCircuito = int(i);
      break;
    }
  if (a.indiceCircuito < 0)
    d.lineas.push_back({"Error", "No tienes el circuito \"" + a.opciones.circuito + "\" que se ha seleccionado."});
  d.ajustes = std::move(a);
}

void RecordDecidido(const ModeloSesion& m, const Remitente& de, const std::string& texto, Decision& d) {
  std::string resto;
  const RecordEnTrama r = LeerRecord(texto, resto);
  std::vector<EstadisticasJugador> bloques;
  for (resto = TrimBlanks(resto); resto.size() > 1; resto = TrimBlanks(resto.substr(LongitudEstadisticas)))
    bloques.push_back(LeerEstadisticas(resto));
  // Records compare at the 13 digits they travel in, so a record sent back
  // and forth is never taken again.
  if (!m.circuito.empty() && r.circuito == NombreEnTrama(m.circuito) && r.unidades < m.unidadesRecord) d.record = r;
  d.circuitoEstadisticas = r.circuito;
  for (const EstadisticasJugador& e : bloques)
    if (auto p = CocheDe(m, de, e.indice)) d.estadisticas.emplace_back(*p, e);
}

}  // namespace

Decision Decidir(const ModeloSesion& m, const Remitente& de, const uint8_t* datos, size_t tamanyo) {
  Decision d;
  int tipo = 0;
  std::string texto;
  if (!AbrirSobre(datos, tamanyo, tipo, texto)) return d;
  switch (Trama(tipo)) {
    case Trama::Chat:
      d.lineas.push_back({de.equipo, Utf8Prefix(TextoRecibido(texto), kLongitudChat)});
      break;
    case Trama::JugadorEntra: JugadorEntraDecidido(m, de, texto, d); break;
    case Trama::JugadorSale: JugadorSaleDecidido(m, de, texto, d); break;
    case Trama::EstadoEquipo: EstadoEquipoDecidido(de, texto, d); break;
    case Trama::Empezar: d.armarSalida = m.estadoPropio == 1 && !m.enCarrera; break;
    case Trama::Coches: CochesDecididos(m, de, texto, d); break;
    case Trama::Vuelta: VueltaDecidida(m, de, texto, d); break;
    case Trama::NuevoServidor:
      d.lineas.push_back({"Sistema", "El equipo " + de.equipo + " pasa a ser el servidor de la sesión."});
      break;
    case Trama::Opciones: OpcionesDecididas(m, de, texto, d); break;
    case Trama::SinCircuito:
      if (EnElLobby(m))
        d.lineas.push_back(
            {"Error", "El equipo " + de.equipo + " no tiene el circuito \"" + TextoRecibido(texto) + "\"."});
      break;
    case Trama::CochesFuera:
      for (size_t p = 0; p < m.jugadores.size(); ++p)
        if (!m.jugadores[p].local && m.jugadores[p].miembro == de.id) d.ocultar.push_back(p);
      break;
    case Trama::RecordCircuitoYPerfilJugadores: RecordDecidido(m, de, texto, d); break;
    case Trama::FramesEntreTramas:
      if (de.servidor) d.framesEntreTramas = LeerDigitos(texto, 0, 2);
      break;
    case Trama::Version:
      if (de.servidor && texto.substr(0, 3) != m.version.substr(0, 3)) d.versionDistinta = TextoRecibido(texto);
      break;
  }
  return d;
}

bool AvisarTramaErronea(uint32_t& ultimo, uint32_t ahora) {
  if (ultimo != 0 && ahora - ultimo < 1000) return false;
  ultimo = ahora == 0 ? 1 : ahora;
  return true;
}

}  // namespace rodavia
