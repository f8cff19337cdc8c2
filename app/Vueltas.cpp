// Every completed lap of every car goes through the lap handler: its label,
// the circuit record, the last-lap bell and, on the last lap, the winner,
// the results table and the players' statistics.

#include "app/Principal.h"
#include "platform/Clock.h"
#include "platform/Text.h"
#include "race/Circuito.h"
#include "race/Coche.h"

namespace rodavia {

namespace {
constexpr char kSalto = '\r';  // the results' lines are separated by a carriage return alone

// Characters of a UTF-8 text, for lining up the columns of names.
size_t Caracteres(const std::string& texto) {
  size_t n = 0;
  for (unsigned char c : texto) n += (c & 0xC0) != 0x80;
  return n;
}

}  // namespace

bool TF_Principal::CompletarVuelta(TCoche& coche, double tiempo) {
  ++coche.VueltasDadas;
  coche.Rotulo = FormatLapTime(tiempo) + "/ " + std::to_string(NumVueltas - coche.Vuelta) + " Laps";
  coche.ContadorRotulo = 0;
  if (circuito_ && tiempo < circuito_->Record) {
    DXWaveList[RecordCircuito]->Play();
    circuito_->Record = tiempo;
    circuito_->AutorRecord = coche.Nombre;
    circuito_->FechaRecord = Today();
  }
  if (coche.Vuelta == NumVueltas - 1) DXWaveList[UltimaVuelta]->Play();
  if (coche.Vuelta != NumVueltas) {
    ++coche.Vuelta;
    return false;
  }

  t_coches.SetEnabled(false);
  if (coche.Local) DXWaveList[Victoria]->Play();
  for (TCoche* c : jugadores_)
    if (c->Local && !c->Sonidos.empty()) c->Sonidos[0]->Stop();
  Resultados = TablaResultados(coche);
  const bool variosCoches = jugadores_.size() > 1;
  if (variosCoches) ++coche.VecesGanadas;
  for (TCoche* c : jugadores_) {
    if (variosCoches) ++c->VecesJugadas;
    c->GrabarPerfilCircuito();
    c->CalcularTotales();
  }
  TerminarCarrera();
  return true;
}

std::string TF_Principal::TablaResultados(const TCoche& ganador) {
  std::string t = "Carrera ganada por " + ganador.Nombre + ".";
  t += kSalto;
  t += kSalto;
  t += "Vuelta";
  for (const TCoche* c : jugadores_) {
    t += "    " + c->Nombre;
    for (size_t n = Caracteres(c->Nombre); n < 8; ++n) t += ' ';
  }
  // Rows follow the winner's laps; on the way the fastest lap of the race is
  // found (the later one wins a tie) and every car's best lap on the circuit.
  double masRapida = SinRecord;
  std::string autorMasRapida;
  for (size_t fila = 0; fila < ganador.Tiempos.size(); ++fila) {
    t += kSalto;
    t += "   " + ZeroPadded(int(fila) + 1, 2) + "   ";
    for (TCoche* c : jugadores_) {
      if (fila >= c->Tiempos.size()) {
        t += "    -:--:---";
        continue;
      }
      const double tiempo = c->Tiempos[fila].Tiempo;
      t += "    " + FormatLapTime(tiempo);
      if (tiempo <= masRapida) {
        masRapida = tiempo;
        autorMasRapida = c->Nombre;
      }
      if (tiempo < c->VueltaRapida) {
        c->VueltaRapida = tiempo;
        c->FechaVueltaRapida = Today();
      }
    }
  }
  t += kSalto;
  t += kSalto;
  t += "Vuelta más rápida " + FormatLapTime(masRapida) + " hecha por " + autorMasRapida;
  t += kSalto;
  if (circuito_)
    t += "Record del circuito " + FormatLapTime(circuito_->Record) + " hecho por " +
         circuito_->AutorRecord + " el " + FormatDate(circuito_->FechaRecord);
  return t;
}

}  // namespace rodavia
