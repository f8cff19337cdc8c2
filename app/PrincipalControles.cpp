// The lobby's controls and their places on the 1024 x 768 window: the circuit
// on the left, the player and his setup in the middle, the race roster and the
// connection on the right, the chat along the bottom.
#include "app/Principal.h"

#include "platform/Application.h"

namespace rodavia {

namespace {
constexpr uint32_t kTitulo = RGBColor(255, 200, 40);

TEdit& CampoConEtiqueta(TForm& f, const std::string& nombre, const std::string& etiqueta, int x,
                        int y, int ancho) {
  TLabel& l = f.Add<TLabel>("l_" + nombre.substr(2), x, y + 3, 70, 18);
  l.Caption = etiqueta;
  TEdit& e = f.Add<TEdit>(nombre, x + 74, y, ancho - 74, 22);
  e.ReadOnly = true;
  e.Color = clInfoBk;
  return e;
}
// A team state's icon: a round light of that colour.
Surface16 IconoEstado(uint32_t color) {
  Surface16 icono(16, 16, To565(236, 233, 216));
  const uint16_t luz = ColorRefTo565(color), borde = To565(40, 40, 40);
  for (int y = 0; y < 16; ++y)
    for (int x = 0; x < 16; ++x) {
      const int d = (2 * x - 15) * (2 * x - 15) + (2 * y - 15) * (2 * y - 15);
      if (d <= 13 * 13) icono.setPixel(x, y, d >= 11 * 11 ? borde : luz);
    }
  return icono;
}
}  // namespace

void TF_Principal::CrearControles() {
  // Circuit.
  Add<TGroupBox>("gb_Circuito", 10, 8, 334, 520).Caption = "Circuito";
  cb_Circuito = &Add<TComboBox>("cb_Circuito", 22, 32, 310, 24);
  cb_Circuito->OnChange = [this] { cb_CircuitosClick(); };
  cb_Circuito->Color = clWindow;
  i_circuito = &Add<TImage>("i_circuito", 22, 62, 310, 232);
  i_circuito->Stretch = true;
  e_Nombre = &CampoConEtiqueta(*this, "e_Nombre", "Nombre", 22, 302, 310);
  e_Autor = &CampoConEtiqueta(*this, "e_Autor", "Autor", 22, 330, 310);
  e_Email = &CampoConEtiqueta(*this, "e_Email", "e-mail", 22, 358, 310);
  e_Record = &CampoConEtiqueta(*this, "e_Record", "Record", 22, 394, 310);
  e_AutorRecord = &CampoConEtiqueta(*this, "e_AutorRecord", "Por", 22, 422, 310);
  e_FechaRecord = &CampoConEtiqueta(*this, "e_FechaRecord", "Fecha", 22, 450, 310);
  Add<TLabel>("l_NumVueltas", 22, 493, 60, 18).Caption = "Vueltas";
  e_NumVueltas = &Add<TEdit>("e_NumVueltas", 96, 490, 40, 22);
  e_NumVueltas->MaxLength = 2;
  e_NumVueltas->OnExit = [this] { e_NumVueltasExit(); };
  cb_colisiones = &Add<TCheckBox>("cb_colisiones", 150, 490, 180, 22);
  cb_colisiones->Caption = "Colisiones entre coches";
  cb_colisiones->OnClick = [this] { cb_colisionesClick(); };

  // Player.
  Add<TGroupBox>("gb_Jugador", 352, 8, 330, 356).Caption = "Jugador";
  cb_Perfil = &Add<TComboBox>("cb_Perfil", 364, 40, 250, 24);
  cb_Perfil->OnChange = [this] { cb_PerfilChange(); };
  cb_Perfil->Color = clWindow;
  i_coche = &Add<TImage>("i_coche", 630, 34, 36, 36);
  i_coche->Transparent = true;
  bb_Crear = &Add<TButton>("bb_Crear", 364, 78, 98, 28);
  bb_Crear->Caption = "Nuevo";
  bb_Crear->OnClick = [this] { bb_CrearClick(); };
  bb_modificar = &Add<TButton>("bb_modificar", 468, 78, 98, 28);
  bb_modificar->Caption = "Modificar";
  bb_modificar->OnClick = [this] { bb_modificarClick(); };
  bb_Borrar = &Add<TButton>("bb_Borrar", 572, 78, 98, 28);
  bb_Borrar->Caption = "Borrar";
  bb_Borrar->OnClick = [this] { bb_BorrarClick(); };

  // The car setup for the chosen circuit.
  l_relacion = &Add<TLabel>("l_relacion", 364, 122, 306, 18);
  l_relacion->Caption = TextoRelacion(0);
  tb_relacion = &Add<TTrackBar>("tb_relacion", 364, 144, 306, 26);
  tb_relacion->Max = 10;
  tb_relacion->OnChange = [this] { tb_relacionChange(); };
  rg_Ruedas = &Add<TRadioGroup>("rg_Ruedas", 364, 180, 306, 52);
  rg_Ruedas->Caption = "Ruedas";
  rg_Ruedas->Items = {"Duras", "Medias", "Blandas"};
  rg_Ruedas->Columns = 3;
  rg_Ruedas->SetItemIndex(1);
  rg_Ruedas->OnClick = [this] { rg_RuedasClick(); };
  l_Gasolina = &Add<TLabel>("l_Gasolina", 364, 244, 306, 18);
  l_Gasolina->Caption = TextoGasolina(10);
  l_Gasolina->Enabled = false;
  tb_Gasolina = &Add<TTrackBar>("tb_Gasolina", 364, 266, 306, 26);
  tb_Gasolina->Min = 1;
  tb_Gasolina->Max = 10;
  tb_Gasolina->SetPosition(10);
  tb_Gasolina->Enabled = false;
  tb_Gasolina->OnChange = [this] { tb_GasolinaChange(); };

  bb_anyadir_a_partida = &Add<TButton>("bb_anyadir_a_partida", 364, 320, 306, 30);
  bb_anyadir_a_partida->Caption = "Añadir a la partida";
  bb_anyadir_a_partida->OnClick = [this] { bb_anyadir_a_partidaClick(); };

  // Race roster and connection.
  Add<TGroupBox>("gb_Partida", 690, 8, 324, 356).Caption = "Partida";
  sb_jugadores = &Add<TSpeedButton>("sb_jugadores", 702, 32, 148, 26);
  sb_jugadores->Caption = "Jugadores";
  sb_equipos = &Add<TSpeedButton>("sb_equipos", 854, 32, 148, 26);
  sb_equipos->Caption = "Equipos";
  for (TSpeedButton* b : {sb_jugadores, sb_equipos}) {
    b->GroupIndex = 1;
    b->Group = {sb_jugadores, sb_equipos};
  }
  sb_jugadores->SetDown(true);
  sb_jugadores->OnClick = [this] { sb_jugadoresClick(); };
  sb_equipos->OnClick = [this] { sb_equiposClick(); };
  lv_jugadores = &Add<TListView>("lv_jugadores", 702, 62, 300, 250);
  lv_jugadores->Images = &imagenesJugadores_;
  lv_jugadores->Checkboxes = true;
  lv_jugadores->OnChange = [this](int item) { lv_jugadoresChange(item); };
  lv_jugadores->OnDblClick = [this] { bb_InfoClick(); };
  bb_quitar_de_la_partida = &Add<TButton>("bb_quitar_de_la_partida", 702, 320, 148, 30);
  bb_quitar_de_la_partida->Caption = "Quitar";
  bb_quitar_de_la_partida->OnClick = [this] { bb_quitar_de_la_partidaClick(); };
  bb_Info = &Add<TButton>("bb_Info", 854, 320, 148, 30);
  bb_Info->Caption = "Info";
  bb_Info->OnClick = [this] { bb_InfoClick(); };
  Add<TGroupBox>("gb_Conexion", 690, 372, 324, 156).Caption = "Conexión";
  e_Equipo = &Add<TEdit>("e_Equipo", 776, 394, 226, 22);
  e_Equipo->MaxLength = 15;
  e_Equipo->Color = clWindow;
  Add<TLabel>("l_Equipo", 702, 397, 70, 18).Caption = "Equipo";
  e_IP = &Add<TEdit>("e_IP", 776, 422, 226, 22);
  e_IP->MaxLength = 21;
  e_IP->Enabled = false;
  e_IP->Color = clInfoBk;
  Add<TLabel>("l_IP", 702, 425, 70, 18).Caption = "Dirección";
  rg_conectar = &Add<TRadioGroup>("rg_conectar", 702, 450, 160, 70);
  rg_conectar->Items = {"Crear partida para", "Unirse"};
  rg_conectar->SetItemIndex(0);
  rg_conectar->OnClick = [this] { rg_conectarClick(); };
  bb_Conectar = &Add<TButton>("bb_Conectar", 870, 450, 132, 24);
  bb_Conectar->Caption = "Conectar";
  bb_Conectar->OnClick = [this] { bb_ConectarClick(); };
  bb_Desconectar = &Add<TButton>("bb_Desconectar", 870, 476, 132, 24);
  bb_Desconectar->Caption = "Desconectar";
  bb_Desconectar->Enabled = false;
  bb_Desconectar->OnClick = [this] { bb_DesconectarClick(); };
  l_conectar = &Add<TLabel>("l_conectar", 870, 502, 132, 18);
  l_conectar->Caption = "Desconectados";
  l_conectar->Transparent = false;
  l_conectar->FontColor = RGBColor(255, 0, 0);
  l_conectar->Color = RGBColor(128, 0, 0);
  // The sessions on the network, shown while "Unirse" is chosen.
  gb_Partidas = &Add<TGroupBox>("gb_Partidas", 352, 372, 330, 156);
  gb_Partidas->Caption = "Partidas en la red";
  gb_Partidas->Visible = false;
  lb_Partidas = &Add<TListBox>("lb_Partidas", 364, 394, 306, 124);
  lb_Partidas->Visible = false;
  lb_Partidas->OnClick = [this] { lb_PartidasClick(); };
  lb_Partidas->ItemColor = [](const std::string& linea) {
    return linea.find("(versión ") != std::string::npos ? RGBColor(128, 128, 128) : clWindowText;
  };
  iconosEstado_ = {IconoEstado(RGBColor(150, 150, 150)), IconoEstado(RGBColor(240, 200, 0)),
                   IconoEstado(RGBColor(0, 200, 0))};

  // Chat.
  l_Chat = &Add<TListBox>("l_Chat", 352, 540, 662, 158);
  l_Chat->ItemColor = [](const std::string& linea) -> uint32_t {
    if (linea.find("<Sistema>") != std::string::npos) return RGBColor(0, 0, 255);
    if (linea.find("<Info>") != std::string::npos) return RGBColor(0, 128, 0);
    if (linea.find("<Error>") != std::string::npos) return RGBColor(255, 0, 0);
    return clWindowText;
  };

  e_chat = &Add<TEdit>("e_chat", 352, 704, 560, 26);
  e_chat->MaxLength = 70;
  e_chat->Color = clWindow;
  e_chat->OnKeyPress = [this](char& tecla) {
    if (tecla == '\r') {
      tecla = 0;
      bb_Chat->Click();
    }
  };
  bb_Chat = &Add<TButton>("bb_Chat", 918, 702, 96, 30);
  bb_Chat->Caption = "Enviar";
  bb_Chat->OnClick = [this] { bb_ChatClick(); };

  // Start and leave.
  sb_jugar = &Add<TSpeedButton>("sb_jugar", 10, 540, 334, 64);
  sb_jugar->Caption = "Jugar";
  sb_jugar->AllowAllUp = true;
  sb_jugar->FontSize = 20;
  sb_jugar->FontBold = true;
  sb_jugar->OnClick = [this] { sb_jugarClick(); };
  sb_editar = &Add<TSpeedButton>("sb_editar", 10, 690, 168, 40);
  sb_editar->Caption = "Crear/Editar Circuito";
  sb_editar->OnClick = [this] { sb_editarClick(); };
  sb_salir = &Add<TSpeedButton>("sb_salir", 184, 690, 160, 40);
  sb_salir->Caption = "Salir";
  sb_salir->OnClick = [this] { sb_salirClick(); };

  // Footer.
  l_Version = &Add<TLabel>("l_Version", 12, 742, 200, 18);
  l_web = &Add<TLabel>("l_web", 352, 742, 300, 18);
  l_web->Caption = kPaginaWeb;
  l_web->Hint = "Ir a la página web del autor";
  l_email = &Add<TLabel>("l_email", 690, 742, 320, 18);
  l_email->Caption = kCorreo;
  l_email->Hint = "Enviar un e-mail al autor";
  for (TLabel* enlace : {l_web, l_email}) {
    enlace->FontColor = kTitulo;
    enlace->HandCursor = true;
    enlace->OnMouseEnter = [enlace] { enlace->FontUnderline = true; };
    enlace->OnMouseLeave = [enlace] { enlace->FontUnderline = false; };
  }
  l_web->OnClick = [] { OpenAddress(kPaginaWeb); };
  l_email->OnClick = [] { OpenAddress(std::string("mailto:") + kCorreo); };

  // The control levels, shown over the race when asked for.
  const std::pair<TProgressBar**, const char*> barras[] = {{&pb_izquierda, "pb_izquierda"},
                                                         {&pb_derecha, "pb_derecha"},
                                                         {&pb_acelerador, "pb_acelerador"},
                                                         {&pb_freno, "pb_freno"}};
  int x = 926;
  for (auto [barra, nombre] : barras) {
    *barra = &Add<TProgressBar>(nombre, x, 10, 18, 100);
    (*barra)->Max = 128;
    (*barra)->Vertical = true;
    (*barra)->Visible = false;
    x += 22;
  }
}

}  // namespace rodavia
