#include "editors/PruebaOrdenador.h"

#include <cstdlib>

#include "platform/Sound.h"
#include "race/Coche.h"

namespace rodavia {

namespace {

class Silencio : public SoundSystem {
  struct Muda : Wave {
    void Play() override {}
    void Stop() override {}
    void SetFrequency(int hz) override { frecuencia = hz; }
    int Frequency() const override { return frecuencia; }
    void SetLooped(bool) override {}
    void SetMaxPlayingCount(int) override {}
    int frecuencia = 0;
  };

 public:
  std::unique_ptr<Wave> Load(const std::filesystem::path&) override { return std::make_unique<Muda>(); }
};

}  // namespace

TPruebaOrdenador::TPruebaOrdenador(TEntornoCarrera& ventana, const std::string& nombre, int nivel)
    : ventana_(ventana), circuito_(ventana.Circuito()) {
  coche_ = new TCoche(*this, 0, true, "", "", nombre);
  coche_->Ordenador = true;
  coche_->NivelOrdenador = int16_t(nivel);
  coche_->PrepararCarrera(0);
}

TPruebaOrdenador::~TPruebaOrdenador() {
  // The car and its puffs go before the window's pictures they use.
  while (!motor_.Children().empty()) delete motor_.Children().back();
}

void TPruebaOrdenador::ErrorFatal(const std::string& mensaje) {
  ventana_.ErrorFatal(mensaje);
  std::abort();  // the window's ErrorFatal never returns, though the compiler cannot tell
}

SoundSystem& TPruebaOrdenador::Sonido() {
  static Silencio silencio;
  return silencio;
}

bool TPruebaOrdenador::Sigue(int nivel) {
  return circuito_ == ventana_.Circuito() && nivel == coche_->NivelOrdenador;
}

const TCoche& TPruebaOrdenador::Avanzar() {
  motor_.Move(0);
  motor_.FreeDead();
  return *coche_;
}

}  // namespace rodavia
