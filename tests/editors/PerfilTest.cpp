// The profile dialog driven through its controls, as a player would: the
// modal loop is replaced by a script that works the controls and answers.
#include "editors/Perfil.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <functional>
#include <memory>
#include <string>

#include "fakes/FakeEntorno.h"
#include "platform/Application.h"
#include "platform/IniFile.h"
#include "platform/Picture.h"
#include "platform/Text.h"
#include "race/Coche.h"

namespace rodavia::test {
namespace {

std::string Bmp(int ancho, int alto) {
  const auto bytes = EncodeBmp24(RgbImage(ancho, alto));
  return std::string(bytes.begin(), bytes.end());
}

class PerfilTest : public ::testing::Test {
 protected:
  ~PerfilTest() override { SetShowModal(nullptr); }

  // Runs the dialog for `nombre`; `guion` plays the player's part while it
  // is shown and sets ModalResult (or closes it) as the dialog would.
  // Each opening is a fresh dialog, as the main window makes it.
  int Mostrar(const std::string& nombre, std::function<void(TF_Perfil&)> guion) {
    SetShowModal([guion](TForm& f) {
      f.Visible = true;
      guion(static_cast<TF_Perfil&>(f));
      return f.Visible ? f.ModalResult : 0;
    });
    dialogo = std::make_unique<TF_Perfil>(entorno);
    dialogo->NombreJugador = nombre;
    return dialogo->Mostrar();
  }

  void Perfil(const std::string& nombre, const std::string& lineas) {
    entorno.carpeta.Write("Jugadores/" + nombre + ".ini", "[Perfil]\n" + lineas);
  }
  IniFile Leer(const std::string& nombre) {
    return IniFile(entorno.carpeta.path() / "Jugadores" / (nombre + ".ini"));
  }
  std::vector<std::string> Textos() const { return entorno.mensajes.Texts(); }

  // One live-test tick, 30 ms after the last.
  void Tick() { dialogo->t_controles.Idle(entorno.reloj.ticks += 30); }

  FakeEntorno entorno;
  std::unique_ptr<TF_Perfil> dialogo = std::make_unique<TF_Perfil>(entorno);
};

TEST_F(PerfilTest, NuevoSinPerfilMuestraLosValoresPorDefecto) {
  entorno.carpeta.Write("Coches/Azul.bmp", Bmp(1296, 36));
  entorno.carpeta.Write("Coches/zeta.BMP", Bmp(1296, 36));
  entorno.carpeta.Write("Coches/notas.txt", "no");
  entorno.carpeta.Write("Sonidos/Bocina.WAV", "RIFF");
  dialogo->FormShow();

  EXPECT_EQ(dialogo->cb_coche.Items, (std::vector<std::string>{"azul.bmp", "f1-vanto-rojo.bmp", "zeta.bmp"}));
  EXPECT_EQ(dialogo->cb_coche.Text(), "f1-vanto-rojo.bmp");
  EXPECT_TRUE(dialogo->i_coche.Visible);
  EXPECT_EQ(dialogo->i_coche.Picture.width(), 1296);
  const std::vector<std::string> sonidos{"bocina.wav", "derrape.wav", "golpe.wav", "motor.wav"};
  EXPECT_EQ(dialogo->cb_motor.Items, sonidos);
  EXPECT_EQ(dialogo->cb_golpe.Items, sonidos);
  EXPECT_EQ(dialogo->cb_motor.Text(), "motor.wav");
  EXPECT_EQ(dialogo->cb_derrape.Text(), "derrape.wav");
  EXPECT_EQ(dialogo->cb_golpe.Text(), "golpe.wav");

  EXPECT_EQ(dialogo->e_nombre.Text(), "");
  EXPECT_TRUE(dialogo->e_nombre.Enabled);
  // A keyboard profile opens on "Teclado", though the form's own page is "Joystick".
  EXPECT_EQ(dialogo->pc_controles.ActivePage(), TF_Perfil::PaginaTeclado);
  EXPECT_TRUE(dialogo->CochePerfil->Entrada->TecladoActivo);
  EXPECT_FALSE(dialogo->CochePerfil->Entrada->JoystickActivo);
  // The arrow keys show as arrows, not as the characters of their codes.
  EXPECT_EQ(dialogo->e_acelerar.Text(), "↑");
  EXPECT_EQ(dialogo->e_frenar.Text(), "↓");
  EXPECT_EQ(dialogo->e_izquierda.Text(), "←");
  EXPECT_EQ(dialogo->e_derecha.Text(), "→");
  EXPECT_EQ(dialogo->tb_acelerar_pulsar.Position(), 32);
  EXPECT_EQ(dialogo->tb_derecha_soltar.Position(), 64);
  EXPECT_EQ(dialogo->tb_zm_ejex_min.Position(), 0);
  EXPECT_EQ(dialogo->tb_zm_ejez_max.Position(), 50);
  EXPECT_TRUE(dialogo->cb_analogico.Checked());
  EXPECT_FALSE(dialogo->cb_ejes.Checked());
  EXPECT_TRUE(dialogo->cb_ejes.Enabled);
  EXPECT_FALSE(dialogo->cb_ffb.Checked());
  EXPECT_EQ(dialogo->l_ace.Caption, "000");
  EXPECT_TRUE(dialogo->t_controles.Enabled());
  EXPECT_TRUE(Textos().empty());
}

TEST_F(PerfilTest, ModificarGuardaConElMismoNombreEnMinusculasYConservaLasOtrasSecciones) {
  entorno.carpeta.Write("Coches/Azul.bmp", Bmp(1296, 36));
  entorno.carpeta.Write("Jugadores/Ana.ini",
                        "[Perfil]\nImagenCoche=AZUL.bmp\nSonidoMotor=Golpe.wav\nTeclaAcelerar=186\nJoystick=1\n"
                        "[Perfil Circuito Monza]\nVecesJugadas=7\nClaveRara=x\n");
  const int resultado = Mostrar("Ana", [](TF_Perfil& d) {
    EXPECT_FALSE(d.e_nombre.Enabled);
    EXPECT_EQ(d.e_nombre.Color, clInfoBk);
    EXPECT_EQ(d.e_nombre.Text(), "Ana");
    EXPECT_EQ(d.cb_coche.Text(), "azul.bmp");
    EXPECT_EQ(d.cb_motor.Text(), "golpe.wav");
    EXPECT_EQ(d.e_acelerar.Text(), ";");  // 186: the key beside L
    EXPECT_EQ(d.pc_controles.ActivePage(), TF_Perfil::PaginaJoystick);
    d.bb_Grabar.Click();
  });

  EXPECT_EQ(resultado, mrOk);
  EXPECT_EQ(dialogo->NombreJugador, "Ana");
  EXPECT_EQ(dialogo->CochePerfil, nullptr);
  EXPECT_FALSE(dialogo->t_controles.Enabled());
  const IniFile ini = Leer("Ana");
  EXPECT_EQ(ini.ReadString("Perfil", "Nombre", "?"), "Ana");
  EXPECT_EQ(ini.ReadString("Perfil", "ImagenCoche", "?"), "azul.bmp");
  EXPECT_EQ(ini.ReadString("Perfil", "SonidoMotor", "?"), "golpe.wav");
  EXPECT_EQ(ini.ReadString("Perfil", "SonidoDerrape", "?"), "derrape.wav");
  EXPECT_EQ(ini.ReadString("Perfil", "SonigoGolpe", "?"), "golpe.wav");
  EXPECT_EQ(ini.ReadInteger("Perfil", "TeclaAcelerar", 0), 186);
  EXPECT_TRUE(ini.ReadBool("Perfil", "Joystick", false));
  EXPECT_EQ(ini.ReadInteger("Perfil Circuito Monza", "VecesJugadas", 0), 7);
  EXPECT_EQ(ini.ReadString("Perfil Circuito Monza", "ClaveRara", ""), "x");
}

TEST_F(PerfilTest, NuevoConNombreVacioOQueNoEsNombreDeFicheroAvisaYNoGraba) {
  Mostrar("", [](TF_Perfil& d) {
    d.bb_Grabar.Click();
    EXPECT_EQ(d.ModalResult, 0);
    d.e_nombre.SetText("../../x");
    d.bb_Grabar.Click();
    EXPECT_EQ(d.ModalResult, 0);
    d.e_nombre.SetText("Luis");
    d.bb_Grabar.Click();
  });
  EXPECT_EQ(Textos(), (std::vector<std::string>{
                          "Es preciso indicar el nombre del jugador.",
                          "El nombre del jugador no puede llevar \\ / : * ? \" < > | ni \"..\"."}));
  EXPECT_FALSE(std::filesystem::exists(entorno.carpeta.path().parent_path() / "x.ini"));
  EXPECT_EQ(dialogo->NombreJugador, "Luis");
  const IniFile ini = Leer("Luis");
  EXPECT_EQ(ini.ReadString("Perfil", "ImagenCoche", "?"), "f1-vanto-rojo.bmp");
  EXPECT_FALSE(ini.ReadBool("Perfil", "Joystick", true));
  EXPECT_EQ(ini.ReadInteger("Perfil", "TeclaDerecha", 0), 39);
  EXPECT_EQ(ini.ReadInteger("Perfil", "ZonaMuertaEjeXMax", -1), 0);
}

TEST_F(PerfilTest, SalirYLaCajaDeCierreNoEscribenNada) {
  Perfil("Ana", "PulsarAcelerar=20\n");
  const std::string antes = entorno.carpeta.Read("Jugadores/Ana.ini");
  const int salir = Mostrar("Ana", [](TF_Perfil& d) {
    TCoche& coche = *d.CochePerfil;
    d.tb_acelerar_pulsar.SetPosition(5);
    d.tb_zm_ejey_max.SetPosition(10);
    d.cb_analogico.SetChecked(false);
    d.pc_controles.SetActivePage(TF_Perfil::PaginaJoystick);
    d.cb_ffb.SetChecked(true);
    d.se_Joystick.SetValue(3);
    EXPECT_EQ(coche.PulsarAcelerar, 5);
    EXPECT_EQ(coche.ZonaMuertaEjeYMax, 40);
    EXPECT_TRUE(coche.Joystick);
    EXPECT_EQ(coche.Entrada->IDJoystick(), 3);

    d.bb_SalirClick();
    EXPECT_EQ(d.ModalResult, mrCancel);
    EXPECT_EQ(coche.PulsarAcelerar, 20);
    EXPECT_EQ(coche.ZonaMuertaEjeYMax, 0);
    EXPECT_TRUE(coche.JoystickAnalogico);
    EXPECT_FALSE(coche.Joystick);
    EXPECT_TRUE(coche.Entrada->TecladoActivo);
    EXPECT_FALSE(coche.Entrada->JoystickActivo);
    EXPECT_EQ(coche.Entrada->IDJoystick(), 0);
    EXPECT_FALSE(coche.Entrada->ForceFeedback());
  });
  EXPECT_EQ(salir, mrCancel);
  const int cerrar = Mostrar("Ana", [](TF_Perfil& d) {
    d.e_nombre.SetText("Otro");
    d.Close();
  });
  EXPECT_EQ(cerrar, mrCancel);
  EXPECT_EQ(entorno.carpeta.Read("Jugadores/Ana.ini"), antes);
  EXPECT_FALSE(entorno.carpeta.Exists("Jugadores/Otro.ini"));
}

// The third way of driving: the computer, at a level. Saving writes it and
// keeps the player's device; reopening shows it; "Salir" puts it back.
TEST_F(PerfilTest, PaginaOrdenadorGrabaElNivelYSalirLoDevuelve) {
  Perfil("Ana", "Joystick=1\n");
  Mostrar("Ana", [](TF_Perfil& d) {
    d.pc_controles.SetActivePage(TF_Perfil::PaginaOrdenador);
    EXPECT_FALSE(d.CochePerfil->Entrada->TecladoActivo);
    EXPECT_FALSE(d.CochePerfil->Entrada->JoystickActivo);
    d.se_nivel.SetValue(99);
    EXPECT_EQ(d.se_nivel.Value(), 10);
    d.se_nivel.SetValue(3);
    d.bb_Grabar.Click();
  });
  const IniFile ini = Leer("Ana");
  EXPECT_TRUE(ini.ReadBool("Perfil", "Ordenador", false));
  EXPECT_EQ(ini.ReadInteger("Perfil", "NivelOrdenador", 0), 3);
  EXPECT_TRUE(ini.ReadBool("Perfil", "Joystick", false));

  Mostrar("Ana", [](TF_Perfil& d) {
    EXPECT_EQ(d.pc_controles.ActivePage(), TF_Perfil::PaginaOrdenador);
    EXPECT_EQ(d.se_nivel.Value(), 3);
    d.pc_controles.SetActivePage(TF_Perfil::PaginaTeclado);
    d.se_nivel.SetValue(7);
    EXPECT_FALSE(d.CochePerfil->Ordenador);
    d.bb_SalirClick();
    EXPECT_TRUE(d.CochePerfil->Ordenador);
    EXPECT_EQ(d.CochePerfil->NivelOrdenador, 3);
    EXPECT_TRUE(d.CochePerfil->Joystick);
  });
}

TEST_F(PerfilTest, FlechasRecorrenLasImagenesSinDarLaVuelta) {
  entorno.carpeta.Write("Coches/a.bmp", Bmp(1296, 36));
  entorno.carpeta.Write("Coches/g.bmp", Bmp(100, 36));  // after f1-vanto-rojo.bmp
  dialogo->FormShow();
  ASSERT_EQ(dialogo->cb_coche.Text(), "f1-vanto-rojo.bmp");

  dialogo->bb_anterior.Click();
  EXPECT_EQ(dialogo->cb_coche.Text(), "a.bmp");
  dialogo->bb_anterior.Click();  // the first: nothing happens
  EXPECT_EQ(dialogo->cb_coche.ItemIndex(), 0);
  EXPECT_TRUE(dialogo->i_coche.Visible);
  EXPECT_TRUE(Textos().empty());

  dialogo->bb_siguiente.Click();
  dialogo->bb_siguiente.Click();  // the wrong-sized picture steps back
  EXPECT_EQ(Textos(), (std::vector<std::string>{"Las imágenes de los coches han de ser de 1296 x 36.\r"
                                                "La imagen ..\\Coches\\g.bmp no tiene dichas medidas."}));
  EXPECT_EQ(dialogo->cb_coche.Text(), "f1-vanto-rojo.bmp");
  EXPECT_EQ(dialogo->i_coche.Picture.width(), 1296);
  EXPECT_TRUE(dialogo->i_coche.Visible);

  entorno.mensajes.shown.clear();
  dialogo->cb_coche.SetItemIndex(2);
  dialogo->bb_siguiente.Click();  // the last: nothing happens
  EXPECT_EQ(dialogo->cb_coche.ItemIndex(), 2);
  EXPECT_TRUE(Textos().empty());
}

TEST_F(PerfilTest, ImagenDesaparecidaAlNavegarSeAvisaYQuedaOculta) {
  entorno.carpeta.Write("Coches/zz.bmp", "esto no es un bmp");
  dialogo->FormShow();
  dialogo->bb_siguiente.Click();
  EXPECT_EQ(Textos(), (std::vector<std::string>{"No se encuentra el fichero ..\\Coches\\zz.bmp"}));
  EXPECT_EQ(dialogo->cb_coche.Text(), "zz.bmp");
  EXPECT_FALSE(dialogo->i_coche.Visible);
}

// A picture the list cannot show (not named *.bmp) is reported, but the
// dialog still fills in the profile's sounds and controls, and saving keeps
// the profile's picture instead of writing blanks over it.
TEST_F(PerfilTest, ImagenFueraDeLaListaNoEstropeaElPerfilAlGrabar) {
  entorno.carpeta.Write("Coches/Rojo.dib", Bmp(1296, 36));
  Perfil("Ana", "ImagenCoche=Rojo.dib\nSonidoDerrape=Golpe.wav\nJoystick=0\nIDJoystick=2\nEjesSeparados=1\n");
  Mostrar("Ana", [](TF_Perfil& d) {
    EXPECT_EQ(d.pc_controles.ActivePage(), TF_Perfil::PaginaTeclado);
    EXPECT_EQ(d.cb_derrape.Text(), "golpe.wav");
    EXPECT_TRUE(d.t_controles.Enabled());
    d.bb_Grabar.Click();
  });
  EXPECT_EQ(Textos(), (std::vector<std::string>{"No se encuentra el fichero ..\\Coches\\"}));
  const IniFile ini = Leer("Ana");
  EXPECT_EQ(ini.ReadString("Perfil", "ImagenCoche", "?"), "Rojo.dib");
  EXPECT_EQ(ini.ReadString("Perfil", "SonidoDerrape", "?"), "golpe.wav");
  EXPECT_FALSE(ini.ReadBool("Perfil", "Joystick", true));
  EXPECT_EQ(ini.ReadInteger("Perfil", "IDJoystick", -1), 2);
  EXPECT_TRUE(ini.ReadBool("Perfil", "EjesSeparados", false));
  EXPECT_FALSE(ini.ReadBool("Perfil", "ForceFeedBack", true));
}

TEST_F(PerfilTest, CapturaDeTeclasPasaAlCocheAlMomentoYAvanzaElFoco) {
  dialogo->FormShow();
  TCoche& coche = *dialogo->CochePerfil;

  dialogo->e_acelerar.OnEnter();
  EXPECT_EQ(dialogo->e_acelerar.Color, 0x000000FFu);
  int tecla = 'W';
  dialogo->e_acelerar.OnKeyDown(tecla, {});
  EXPECT_EQ(tecla, 0);  // consumed: nothing is typed
  EXPECT_EQ(dialogo->e_acelerar.Text(), "W");
  EXPECT_EQ(dialogo->Focus, &dialogo->e_frenar);
  EXPECT_EQ(coche.TeclaAcelerar, 'W');
  EXPECT_EQ(coche.Entrada->Teclas[size_t(TDireccion::Arriba)], (std::array<int, 3>{'W', 'W', 'W'}));
  dialogo->e_acelerar.OnExit();
  EXPECT_EQ(dialogo->e_acelerar.Color, clWindow);

  for (TEdit* e : {&dialogo->e_frenar, &dialogo->e_izquierda}) {
    tecla = 'S';
    e->OnKeyDown(tecla, {});
  }
  EXPECT_EQ(dialogo->Focus, &dialogo->e_derecha);
  tecla = 39;  // right arrow
  dialogo->e_derecha.OnKeyDown(tecla, {});
  EXPECT_EQ(dialogo->e_derecha.Text(), "→");
  EXPECT_EQ(dialogo->Focus, &dialogo->bb_Grabar);
  EXPECT_EQ(coche.Entrada->Teclas[size_t(TDireccion::Izquierda)][2], 'S');

  // The live test answers the new key before anything is saved.
  entorno.entradas.keyboard.down = {'W'};
  Tick();
  EXPECT_EQ(dialogo->g_acelerar.Position, 32);
  entorno.entradas.keyboard.down = {38};
  Tick();
  EXPECT_EQ(dialogo->g_acelerar.Position, 0);
}

TEST_F(PerfilTest, PruebaEnVivoSubeYBajaLosMedidoresYSigueALaPagina) {
  Perfil("Ana", "PulsarAcelerar=50\nSoltarAcelerar=30\n");
  Mostrar("Ana", [this](TF_Perfil& d) {
    entorno.entradas.keyboard.down = {38, 37};
    Tick();
    EXPECT_EQ(d.g_acelerar.Position, 50);
    EXPECT_EQ(d.l_ace.Caption, "050");
    EXPECT_EQ(d.g_izquierda.Position, -32);
    EXPECT_EQ(d.l_izq.Caption, "032");
    Tick();
    Tick();
    EXPECT_EQ(d.g_acelerar.Position, 128);
    EXPECT_EQ(d.l_ace.Caption, "128");

    entorno.entradas.keyboard.down.clear();
    Tick();
    EXPECT_EQ(d.g_acelerar.Position, 98);

    // On the joystick page the keys no longer move the gauges; back on the
    // keyboard page they do again.
    entorno.entradas.keyboard.down = {38};
    d.pc_controles.SetActivePage(TF_Perfil::PaginaJoystick);
    d.cb_analogico.SetChecked(false);  // the joystick read as four directions
    Tick();
    EXPECT_EQ(d.g_acelerar.Position, 68);
    d.pc_controles.SetActivePage(TF_Perfil::PaginaTeclado);
    Tick();
    EXPECT_EQ(d.g_acelerar.Position, 118);
    d.bb_Grabar.Click();
  });
  EXPECT_FALSE(Leer("Ana").ReadBool("Perfil", "Joystick", true));
  EXPECT_FALSE(Leer("Ana").ReadBool("Perfil", "JoystickAnalogico", true));
}

// On the computer page the gauges follow the profile's driver racing the
// lobby's circuit from the grid: full throttle away, then braking and
// steering both ways round the bends, whatever keys are held.
TEST_F(PerfilTest, PaginaOrdenadorMueveLosMedidoresComoSuPilotoEnElCircuito) {
  const std::string orden = std::string(RODAVIA_DATOS) + " '" + entorno.carpeta.path().string() + "'";
  ASSERT_EQ(std::system(orden.c_str()), 0);
  entorno.circuito = std::make_unique<TCircuito>("Valverde");
  Perfil("Ana", "Ordenador=1\nNivelOrdenador=10\n");
  Mostrar("Ana", [this](TF_Perfil& d) {
    entorno.entradas.keyboard.down = {40};
    Tick();
    EXPECT_EQ(d.g_acelerar.Position, 128);
    EXPECT_EQ(d.g_frenar.Position, 0);
    int frenoMaximo = 0, izquierdaMaxima = 0, derechaMaxima = 0;
    for (int i = 0; i < 1000; ++i) {  // 30 s
      Tick();
      frenoMaximo = std::max(frenoMaximo, d.g_frenar.Position);
      izquierdaMaxima = std::max(izquierdaMaxima, -d.g_izquierda.Position);
      derechaMaxima = std::max(derechaMaxima, d.g_derecha.Position);
    }
    EXPECT_GT(frenoMaximo, 0);
    EXPECT_GT(izquierdaMaxima, 0);
    EXPECT_GT(derechaMaxima, 0);
    EXPECT_EQ(d.l_fre.Caption, ZeroPadded(d.g_frenar.Position, 3));
    EXPECT_FALSE(d.CochePerfil->Visible);  // the profile's own car stays off the lobby's circuit
    d.bb_SalirClick();
  });
}

TEST_F(PerfilTest, PaginaJoystickCasillasYZonasMuertas) {
  Perfil("Ana", "Joystick=1\nEjesSeparados=1\nForceFeedBack=1\nZonaMuertaEjeXMax=60\nPulsarFrenar=0\n");
  entorno.entradas.joysticks.push_back(std::make_shared<FakeJoystickState>());
  Mostrar("Ana", [](TF_Perfil& d) {
    TCoche& coche = *d.CochePerfil;
    EXPECT_TRUE(coche.Entrada->JoystickActivo);
    EXPECT_FALSE(coche.Entrada->TecladoActivo);
    EXPECT_TRUE(d.cb_ejes.Checked());
    EXPECT_TRUE(d.cb_ffb.Checked());
    // Out-of-range stored values: written back clamped, unless the clamped
    // value is where the bar already stood.
    EXPECT_EQ(d.tb_zm_ejex_max.Position(), 0);
    EXPECT_EQ(coche.ZonaMuertaEjeXMax, 50);
    EXPECT_EQ(d.tb_frenar_pulsar.Position(), 1);
    EXPECT_EQ(coche.PulsarFrenar, 0);

    d.cb_analogico.SetChecked(false);
    EXPECT_FALSE(d.cb_ejes.Checked());
    EXPECT_FALSE(d.cb_ejes.Enabled);
    EXPECT_FALSE(coche.EjesSeparados);
    EXPECT_FALSE(coche.JoystickAnalogico);
    d.cb_analogico.SetChecked(true);
    EXPECT_TRUE(d.cb_ejes.Enabled);
    EXPECT_FALSE(d.cb_ejes.Checked());
    EXPECT_TRUE(coche.JoystickAnalogico);

    d.tb_zm_ejez_max.SetPosition(0);
    EXPECT_EQ(coche.ZonaMuertaEjeZMax, 50);
    d.tb_zm_ejez_max.SetPosition(50);
    EXPECT_EQ(coche.ZonaMuertaEjeZMax, 0);
    d.tb_zm_ejey_min.SetPosition(12);
    EXPECT_EQ(coche.ZonaMuertaEjeYMin, 12);

    // Force feedback reaches the device at once, the car only on saving.
    d.cb_ffb.SetChecked(false);
    EXPECT_FALSE(coche.Entrada->ForceFeedback());
    EXPECT_TRUE(coche.ForceFeedBack);
    d.bb_Grabar.Click();
  });
  const IniFile ini = Leer("Ana");
  EXPECT_TRUE(ini.ReadBool("Perfil", "Joystick", false));
  EXPECT_FALSE(ini.ReadBool("Perfil", "ForceFeedBack", true));
  EXPECT_EQ(ini.ReadInteger("Perfil", "ZonaMuertaEjeXMax", -1), 50);
  EXPECT_EQ(ini.ReadInteger("Perfil", "ZonaMuertaEjeYMin", -1), 12);
  EXPECT_EQ(ini.ReadInteger("Perfil", "PulsarFrenar", -1), 0);
}

TEST_F(PerfilTest, IDJoystickFueraDeRangoSeRecorta) {
  for (const auto& [guardado, mostrado] : {std::pair{20, 15}, std::pair{-3, 0}, std::pair{7, 7}}) {
    SCOPED_TRACE(guardado);
    Perfil("Ana", "IDJoystick=" + std::to_string(guardado) + "\n");
    Mostrar("Ana", [mostrado](TF_Perfil& d) {
      EXPECT_EQ(d.se_Joystick.Value(), mostrado);
      EXPECT_EQ(d.CochePerfil->Entrada->IDJoystick(), mostrado);
      d.bb_Grabar.Click();
    });
    EXPECT_EQ(Leer("Ana").ReadInteger("Perfil", "IDJoystick", -99), mostrado);
  }
}

}  // namespace
}  // namespace rodavia::test
