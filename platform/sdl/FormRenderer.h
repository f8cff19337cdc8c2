#pragma once
// Draws any window of the game from its controls with Dear ImGui and feeds
// the player's input back into them. Handlers never run while a frame is
// being built: input becomes actions that RunActions performs after the
// frame, so a handler may open a message box or a modal window (a nested
// loop that draws frames of its own).
#include <functional>
#include <map>
#include <set>
#include <unordered_map>
#include <vector>

#include <imgui.h>

#include "platform/Controls.h"
#include "platform/sdl/Texture.h"
#include "platform/sdl/SdlDisplay.h"

namespace rodavia {

class FormRenderer {
 public:
  FormRenderer();
  ~FormRenderer();
  FormRenderer(const FormRenderer&) = delete;
  FormRenderer& operator=(const FormRenderer&) = delete;

  // A key going down, for the key-capture edits.
  struct PressedKey {
    int virtualKey;
    ShiftState shift;
  };

  // A pointer move, in window coordinates.
  struct MouseMove {
    int x, y;
    bool left;
  };

  // The main window over the screen area, without a title bar. `input`:
  // whether the player can use it (nothing modal over it). With
  // `barsOnly` the race covers it and only its visible progress bars (the
  // control bars) are drawn, over the race.
  void DrawMain(TForm& form, const ScreenArea& area, bool input, bool barsOnly);
  // A modal window, centred, titled with its caption, with a close box.
  // `appearing` on its first frame brings it to the front.
  // A Borderless one fills its client size in the middle of the screen.
  void DrawDialog(TForm& form, bool input, bool appearing);
  // A tool window floating above a modal window.
  void DrawTool(TForm& form, bool input, bool appearing);
  // Forgets what belongs to controls that were not drawn in this frame.
  void EndFrame();
  // Runs the handlers of the input gathered while drawing, in order.
  void RunActions();
  bool HasActions() const { return !actions_.empty(); }
  // Whether the keyboard focus is on its way to another control of the
  // window (moved from code, or kept by an edit after Enter): ImGui gives it
  // over the next frame or two; text typed meanwhile would be lost, and a
  // press of the mouse taken over.
  bool FocusArriving(const TForm* form) const;

 private:
  void DrawBorderless(TForm& form, bool input, bool appearing);
  void DrawControls(TForm& form, ImVec2 client, bool barsOnly);
  void DrawControl(TForm& form, TControl& c, ImVec2 min);
  void DrawLabel(TLabel& l, ImVec2 min);
  void DrawButton(TControl& b, ImVec2 min, bool down);
  void DrawEdit(TForm& form, TEdit& e, ImVec2 min);
  void CaptureKeys(TEdit& e);
  void TakeNavigationFocus();
  void DrawComboBox(TComboBox& cb, ImVec2 min);
  void DrawColorChooser(TComboBox& cb, ImVec2 min);
  void DrawCheckBox(TCheckBox& cb, ImVec2 min);
  void DrawRadioGroup(TRadioGroup& rg, ImVec2 min);
  void DrawTrackBar(TTrackBar& tb, ImVec2 min);
  void DrawSpinEdit(TSpinEdit& se, ImVec2 min);
  void DrawListBox(TListBox& lb, ImVec2 min);
  void DrawListView(TListView& lv, ImVec2 min);
  void DrawImage(TImage& im, ImVec2 min);
  void DrawPageControl(TPageControl& pc, ImVec2 min);
  void TrackHover(TControl& c, ImVec2 min);
  void Later(std::function<void()> action) { actions_.push_back(std::move(action)); }

  struct PictureCache {
    int version = -1;
    const void* pixels = nullptr;
    Texture texture;
  };
  struct ImageSetCache {
    int version = -1;
    const void* images = nullptr;
    std::vector<Texture> textures;
  };
  const Texture& Picture(const TImage& im);
  const std::vector<Texture>& Images(const TListView& lv);

  std::vector<std::function<void()>> actions_;
  // Keys pressed since the last frame, from SDL's event stream: a tap can
  // go down and up between two frames, which ImGui's key state misses.
  std::vector<PressedKey> keysPressed_;
  std::set<const TControl*> hovered_, hoveredNow_;
  std::set<const void*> drawn_;
  std::unordered_map<const TControl*, PictureCache> pictures_;
  std::unordered_map<const TControl*, ImageSetCache> imageSets_;
  std::map<const TForm*, const TControl*> focusShown_;  // the Focus last given to ImGui
  const TControl* focusFromCode_ = nullptr;             // moved from code: ImGui takes it this frame
  std::map<const TControl*, int> pageShown_;            // the tab last selected in ImGui
  bool input_ = true;
  bool focusAsked_ = false;     // an edit asked ImGui for the keyboard in this frame
  bool focusArriving_ = false;  // ... in the last frame: it takes it in the next
  std::vector<MouseMove> mouseMoves_;  // since the last frame
};

// A full-screen shade under the modal window of `layer` (1 = the first).
void DrawShade(int layer, bool appearing);

}  // namespace rodavia
