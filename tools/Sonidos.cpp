#include "tools/Sonidos.h"

#include <algorithm>
#include <cmath>
#include <cstdint>

#include "tools/Lienzo.h"

namespace rodavia::datos {

namespace {

constexpr int Frecuencia = 22050;  // every sound but the engine
constexpr double Pi2 = 2 * M_PI;

// Deterministic noise in -1..1.
float Blanco(int n, uint32_t semilla) { return Azar(n, 0, semilla) * 2 - 1; }

std::vector<float> Silencio(double segundos) {
  return std::vector<float>(size_t(segundos * Frecuencia), 0.f);
}

// Scales to a peak of `pico` and fades the ends so nothing clicks.
std::vector<float> Acabar(std::vector<float> m, float pico = 0.85f) {
  float maximo = 1e-6f;
  for (float v : m) maximo = std::max(maximo, std::abs(v));
  const size_t fundido = std::min<size_t>(m.size() / 4, Frecuencia / 100);
  for (size_t i = 0; i < m.size(); ++i) {
    float g = pico / maximo;
    if (i < 32) g *= float(i) / 32;
    if (i + fundido >= m.size()) g *= float(m.size() - i) / float(fundido);
    m[i] *= g;
  }
  return m;
}

// A struck partial: sine with exponential decay, from `inicio` seconds.
void Parcial(std::vector<float>& m, double inicio, double f, double amplitud, double decaimiento) {
  const size_t a = size_t(inicio * Frecuencia);
  for (size_t i = a; i < m.size(); ++i) {
    const double t = double(i - a) / Frecuencia;
    m[i] += float(amplitud * std::exp(-t / decaimiento) * std::sin(Pi2 * f * t));
  }
}

// A brassy note: harmonics falling as 1/k, a quick swell and a little vibrato.
void Metal(std::vector<float>& m, double inicio, double dur, double f, double amplitud) {
  const size_t a = size_t(inicio * Frecuencia), b = std::min(m.size(), size_t((inicio + dur) * Frecuencia));
  double fase = 0;
  for (size_t i = a; i < b; ++i) {
    const double t = double(i - a) / Frecuencia;
    fase += Pi2 * f * (1 + 0.004 * std::sin(Pi2 * 5.5 * t) * std::min(t * 4, 1.0)) / Frecuencia;
    const double env = std::min(t / 0.03, 1.0) * std::min((dur - t) / 0.08, 1.0) * (0.8 + 0.2 * std::exp(-t * 6));
    double v = 0;
    for (int k = 1; k <= 9; ++k) v += std::sin(fase * k) / k * (k < 4 ? 1 : 0.6);
    m[i] += float(amplitud * env * v);
  }
}

std::vector<float> Motor() {
  // One firing: a thump at the firing rate with exhaust ringing above it.
  // Cycles vary in strength (every other one weaker, plus a random part),
  // which makes the idle rough. The loop holds whole firings and its noise
  // is filtered around the loop, so it repeats without a seam.
  const int n = MuestrasPorExplosion * ExplosionesBucle;
  std::vector<float> m(size_t(n), 0.f);
  for (int k = 0; k < ExplosionesBucle; ++k) {
    const float fuerza = (k % 2 ? 0.8f : 1.0f) * (0.8f + 0.4f * Azar(k, 0, 50));
    for (int i = 0; i < MuestrasPorExplosion; ++i) {
      const double f = double(i) / MuestrasPorExplosion;
      const double v = std::exp(-f * 4) * std::sin(Pi2 * f) + 0.6 * std::exp(-f * 6) * std::sin(Pi2 * 2 * f) +
                       0.45 * std::exp(-f * 7) * std::sin(Pi2 * 3.2 * f) +
                       0.25 * std::exp(-f * 9) * std::sin(Pi2 * 5.5 * f);
      m[size_t(k * MuestrasPorExplosion + i)] = float(fuerza * v);
    }
  }
  std::vector<float> ruido(static_cast<size_t>(n), 0.f);
  for (int i = 0; i < n; ++i) ruido[size_t(i)] = Blanco(i, 51);
  for (int pasada = 0; pasada < 2; ++pasada)  // circular smoothing keeps it periodic
    for (int i = 0; i < n; ++i)
      ruido[size_t(i)] = (ruido[size_t(i)] + ruido[size_t((i + 1) % n)] + ruido[size_t((i + 2) % n)]) / 3;
  double media = 0;
  for (int i = 0; i < n; ++i) media += m[size_t(i)] += 0.25f * ruido[size_t(i)];
  media /= n;
  float maximo = 1e-6f;
  for (float& v : m) maximo = std::max(maximo, std::abs(v -= float(media)));
  for (float& v : m) v *= 0.8f / maximo;  // no fades: it is a loop
  return m;
}

std::vector<float> Derrape() {
  // Tyre squeal: a few close tones warbling together over hissing rubber.
  auto m = Silencio(0.5);
  double f1 = 0, f2 = 0, f3 = 0;
  float filtro = 0;
  for (size_t i = 0; i < m.size(); ++i) {
    const double t = double(i) / Frecuencia;
    const double w = 1 + 0.03 * std::sin(Pi2 * 11 * t) + 0.015 * std::sin(Pi2 * 3.7 * t);
    f1 += Pi2 * 1180 * w / Frecuencia;
    f2 += Pi2 * 1710 * w * 1.004 / Frecuencia;
    f3 += Pi2 * 2390 * w / Frecuencia;
    filtro += 0.3f * (Blanco(int(i), 60) - filtro);
    const double env = std::min(t / 0.03, 1.0) * std::min((0.5 - t) / 0.15, 1.0);
    m[i] = float(env * (std::sin(f1) + 0.6 * std::sin(f2) + 0.3 * std::sin(f3) + 0.35 * filtro));
  }
  return Acabar(m, 0.7f);
}

std::vector<float> Golpe() {
  // A heavy thump that drops in pitch, a burst of crunching noise and the
  // ring of struck metal.
  auto m = Silencio(0.7);
  double fase = 0;
  float grave = 0;
  for (size_t i = 0; i < m.size(); ++i) {
    const double t = double(i) / Frecuencia;
    fase += Pi2 * (45 + 60 * std::exp(-t * 18)) / Frecuencia;
    grave += 0.08f * (Blanco(int(i), 70) - grave);
    m[i] = float(std::exp(-t * 9) * std::sin(fase) + 1.6 * std::exp(-t * 22) * grave +
                 0.3 * std::exp(-t * 40) * Blanco(int(i), 71));
  }
  const double metal[][2] = {{430, 0.3}, {1130, 0.2}, {1870, 0.15}, {2650, 0.1}, {3720, 0.06}};
  for (const auto& p : metal) Parcial(m, 0.005, p[0], p[1], 0.18);
  return Acabar(m, 0.9f);
}

std::vector<float> UltimaVuelta() {
  // The last-lap bell, rung three times.
  auto m = Silencio(2.0);
  const double partes[][3] = {{0.5, 0.35, 0.9}, {1, 1, 0.7}, {1.19, 0.45, 0.5}, {1.5, 0.35, 0.45},
                              {2.0, 0.3, 0.35}, {2.74, 0.2, 0.25}, {3.76, 0.1, 0.15}};
  for (double golpe : {0.0, 0.33, 0.66})
    for (const auto& p : partes) Parcial(m, golpe, 880 * p[0], p[1], p[2]);
  return Acabar(m);
}

std::vector<float> Victoria() {
  // A fanfare: a rising call that lands on a held major chord.
  auto m = Silencio(2.4);
  const double notas[][3] = {{0.00, 0.14, 392}, {0.15, 0.14, 523.3}, {0.30, 0.14, 659.3},
                             {0.45, 0.32, 784}, {0.80, 0.14, 659.3}, {0.95, 1.40, 784}};
  for (const auto& n : notas) Metal(m, n[0], n[1], n[2], 0.5);
  for (double f : {261.6, 329.6, 523.3}) Metal(m, 0.95, 1.40, f, 0.3);
  return Acabar(m);
}

std::vector<float> Record() {
  // A bright rising arpeggio that ends in a shimmering chord.
  auto m = Silencio(1.3);
  const double notas[] = {1046.5, 1318.5, 1568, 2093};
  for (int k = 0; k < 4; ++k) {
    Parcial(m, 0.09 * k, notas[k], 0.6, 0.25);
    Parcial(m, 0.09 * k, notas[k] * 2, 0.2, 0.12);
  }
  for (double f : notas) Parcial(m, 0.38, f * 1.002, 0.35, 0.45);
  return Acabar(m);
}

std::vector<float> Sirena() {
  // The start siren: a hooter that swells up to pitch, holds and falls away.
  auto m = Silencio(2.2);
  double fase = 0;
  for (size_t i = 0; i < m.size(); ++i) {
    const double t = double(i) / Frecuencia;
    const double f = 420 + 480 * Suave(0, 0.8f, float(t)) - 300 * Suave(1.5f, 2.2f, float(t));
    fase += Pi2 * f / Frecuencia;
    const double env = std::min(t / 0.05, 1.0) * (1 - Suave(1.6f, 2.2f, float(t)));
    double v = 0;
    for (int k = 1; k <= 7; k += 2) v += std::sin(fase * k) / k;  // hollow, hooter-like
    m[i] = float(env * v * (1 + 0.1 * std::sin(Pi2 * 7 * t)));
  }
  return Acabar(m, 0.75f);
}

void Poner16(std::string& s, uint16_t v) { s += char(v & 0xFF), s += char(v >> 8); }
void Poner32(std::string& s, uint32_t v) { Poner16(s, uint16_t(v & 0xFFFF)), Poner16(s, uint16_t(v >> 16)); }

}  // namespace

const std::vector<Sonido>& ListaSonidos() {
  static const std::vector<Sonido> lista = {
      {"Motor.wav", FrecuenciaMotor, Motor},       {"Derrape.wav", Frecuencia, Derrape},
      {"Golpe.wav", Frecuencia, Golpe},            {"UltimaVuelta.wav", Frecuencia, UltimaVuelta},
      {"Victoria.wav", Frecuencia, Victoria},      {"Record.wav", Frecuencia, Record},
      {"Sirena.wav", Frecuencia, Sirena},
  };
  return lista;
}

std::string CodificarWav(const std::vector<float>& muestras, int frecuencia) {
  const uint32_t datos = uint32_t(muestras.size() * 2);
  std::string s = "RIFF";
  Poner32(s, 36 + datos);
  s += "WAVEfmt ";
  Poner32(s, 16);
  Poner16(s, 1);  // PCM
  Poner16(s, 1);  // mono
  Poner32(s, uint32_t(frecuencia));
  Poner32(s, uint32_t(frecuencia) * 2);
  Poner16(s, 2);
  Poner16(s, 16);
  s += "data";
  Poner32(s, datos);
  for (float v : muestras) Poner16(s, uint16_t(int16_t(std::lround(Limitar(v, -1, 1) * 32767))));
  return s;
}

}  // namespace rodavia::datos
