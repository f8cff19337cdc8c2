#pragma once
// Window controls as small models: the windows of the game are forms made of
// these, a generic renderer draws them and feeds the player's input back, and
// tests drive them the same way. Setting a value from code fires the change
// handler when the value changes (trackbars, check boxes, radio groups, edits,
// spin edits); a combo box, as the game expects, does not fire on a change
// made from code.
#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "platform/Surface.h"

namespace rodavia {

// System colours, resolved by the renderer; any other value is 0x00BBGGRR.
constexpr uint32_t clDefault = 0x8000FFFF;
constexpr uint32_t clWindow = 0x80000005;
constexpr uint32_t clWindowText = 0x80000008;
constexpr uint32_t clBtnFace = 0x8000000F;
constexpr uint32_t clInfoBk = 0x80000018;
constexpr bool IsSystemColor(uint32_t c) { return (c & 0x80000000u) != 0; }

// What a modal window answers: ModalResult values.
constexpr int mrOk = 1;
constexpr int mrCancel = 2;

enum class ControlKind {
  Label, Button, SpeedButton, Edit, ComboBox, CheckBox, RadioGroup, TrackBar,
  ListBox, ListView, Image, ProgressBar, GroupBox, PageControl, TabSheet, SpinEdit
};

struct ShiftState {
  bool shift = false, alt = false, ctrl = false;
};

class TControl {
 public:
  TControl(ControlKind kind, std::string name) : kind_(kind), name_(std::move(name)) {}
  virtual ~TControl() = default;
  ControlKind Kind() const { return kind_; }
  const std::string& Name() const { return name_; }

  // Position relative to Parent (a group box or tab sheet) or to the form.
  int Left = 0, Top = 0, Width = 0, Height = 0;
  TControl* Parent = nullptr;
  bool Visible = true;
  bool Enabled = true;
  std::string Caption;
  std::string Hint;
  uint32_t Color = clDefault;      // background
  uint32_t FontColor = clDefault;
  int FontSize = 0;                // points; 0 = the window's default
  bool FontBold = false;
  bool FontUnderline = false;
  bool HandCursor = false;

  // OnEnter and OnExit: the control gains or loses the keyboard focus.
  std::function<void()> OnClick, OnDblClick, OnMouseEnter, OnMouseLeave, OnEnter, OnExit;

  // Whether the control and every parent are visible (or enabled).
  bool Showing() const;
  bool Usable() const;
  void SetBounds(int left, int top, int width, int height);

  // What a player's click does; the renderer calls it.
  virtual void Click() { if (OnClick) OnClick(); }

 private:
  ControlKind kind_;
  std::string name_;
};

class TLabel : public TControl {
 public:
  explicit TLabel(std::string name) : TControl(ControlKind::Label, std::move(name)) {}
  bool Transparent = true;
};

class TButton : public TControl {
 public:
  explicit TButton(std::string name) : TControl(ControlKind::Button, std::move(name)) {}
  enum class Glyph { None, Left, Right } Arrow = Glyph::None;
};

// A toggle button. In a group (GroupIndex > 0) exactly one is down unless
// AllowAllUp; with GroupIndex 0 and AllowAllUp it toggles on its own.
class TSpeedButton : public TControl {
 public:
  explicit TSpeedButton(std::string name) : TControl(ControlKind::SpeedButton, std::move(name)) {}
  int GroupIndex = 0;
  bool AllowAllUp = false;
  std::vector<TSpeedButton*> Group;  // other buttons of its group
  bool Down() const { return down_; }
  void SetDown(bool down);
  void Click() override;

 private:
  bool down_ = false;
};

class TEdit : public TControl {
 public:
  explicit TEdit(std::string name) : TControl(ControlKind::Edit, std::move(name)) {}
  int MaxLength = 0;  // characters; 0 = no limit
  bool ReadOnly = false;
  std::function<void()> OnChange;
  // The key handler may change or swallow (set to 0) a typed character.
  std::function<void(char& key)> OnKeyPress;
  // A key-capture edit: when set, the edit types nothing itself and the
  // handler receives the virtual-key code of every key pressed while the
  // edit has the focus, Tab excepted (it keeps moving the focus). Setting
  // key to 0 marks it handled.
  std::function<void(int& key, ShiftState shift)> OnKeyDown;
  const std::string& Text() const { return text_; }
  void SetText(const std::string& text);

 private:
  std::string text_;
};

class TComboBox : public TControl {
 public:
  explicit TComboBox(std::string name) : TControl(ControlKind::ComboBox, std::move(name)) {}
  std::vector<std::string> Items;
  // A colour chooser: item i shows as a swatch of Swatches[i] (0x00BBGGRR)
  // instead of its name.
  std::vector<uint32_t> Swatches;
  std::function<void()> OnChange;  // fired only by the player's choice
  int ItemIndex() const { return index_; }
  void SetItemIndex(int index);
  std::string Text() const;
  void Clear() { Items.clear(); index_ = -1; }
  int IndexOf(const std::string& item) const;
  // A player's choice.
  void Choose(int index);

 private:
  int index_ = -1;
};

class TCheckBox : public TControl {
 public:
  explicit TCheckBox(std::string name) : TControl(ControlKind::CheckBox, std::move(name)) {}
  bool Checked() const { return checked_; }
  void SetChecked(bool checked);
  void Click() override { SetChecked(!checked_); }

 private:
  bool checked_ = false;
};

class TRadioGroup : public TControl {
 public:
  explicit TRadioGroup(std::string name) : TControl(ControlKind::RadioGroup, std::move(name)) {}
  std::vector<std::string> Items;
  int Columns = 1;
  int ItemIndex() const { return index_; }
  void SetItemIndex(int index);  // fires OnClick on a change

 private:
  int index_ = -1;
};

class TTrackBar : public TControl {
 public:
  explicit TTrackBar(std::string name) : TControl(ControlKind::TrackBar, std::move(name)) {}
  int Min = 0, Max = 10;
  std::function<void()> OnChange;
  int Position() const { return position_; }
  void SetPosition(int position);

 private:
  int position_ = 0;
};

class TSpinEdit : public TControl {
 public:
  explicit TSpinEdit(std::string name) : TControl(ControlKind::SpinEdit, std::move(name)) {}
  int MinValue = 0, MaxValue = 100;
  bool EditorEnabled = true;  // false: only the spin buttons change the value
  std::function<void()> OnChange;
  int Value() const { return value_; }
  void SetValue(int value);

 private:
  int value_ = 0;
};

class TListBox : public TControl {
 public:
  explicit TListBox(std::string name) : TControl(ControlKind::ListBox, std::move(name)) {}
  std::vector<std::string> Items;
  int ItemIndex = -1;
  // The colour of each line (the owner-drawn chat); empty = window text.
  std::function<uint32_t(const std::string& line)> ItemColor;
  bool ScrollToEnd = false;  // set by the owner; the renderer scrolls and clears it
};

struct TListItem {
  std::string Caption;
  int ImageIndex = -1;
  bool Checked = false;
};

class TListView : public TControl {
 public:
  explicit TListView(std::string name) : TControl(ControlKind::ListView, std::move(name)) {}
  enum class Style { Icon, SmallIcon } ViewStyle = Style::Icon;
  std::vector<TListItem> Items;
  std::vector<Surface16>* Images = nullptr;  // pictures shown by ImageIndex
  int ImagesVersion = 0;  // bumped by the owner whenever Images change
  bool Checkboxes = false;
  std::function<void(int item)> OnChange;
  int Selected() const { return selected_; }
  void Select(int item);  // fires OnChange on a change

 private:
  int selected_ = -1;
};

class TImage : public TControl {
 public:
  explicit TImage(std::string name) : TControl(ControlKind::Image, std::move(name)) {}
  Surface16 Picture;
  // Bumped whenever the picture shown changes, so the renderer knows to upload it again.
  int PictureVersion = 0;
  void SetPicture(Surface16 picture) {
    Picture = std::move(picture);
    shared_ = nullptr;
    ++PictureVersion;
  }
  // Shows a picture owned elsewhere, which must outlive this control or be
  // replaced first, without a copy of its own.
  void ShowPicture(const Surface16& picture) {
    Picture = Surface16();
    shared_ = &picture;
    ++PictureVersion;
  }
  const Surface16& Shown() const { return shared_ ? *shared_ : Picture; }
  bool Stretch = false;       // scale the picture to the control
  bool Transparent = false;   // skip TransparentColor (565) when drawing
  uint16_t TransparentColor = 0;

 private:
  const Surface16* shared_ = nullptr;
};

class TProgressBar : public TControl {
 public:
  explicit TProgressBar(std::string name) : TControl(ControlKind::ProgressBar, std::move(name)) {}
  int Min = 0, Max = 100, Position = 0;
  bool Vertical = false;  // fills from the bottom
  uint32_t BarColor = clDefault;  // the filled part; clDefault = the accent colour
  // Color is the background of the unfilled part.
};

class TGroupBox : public TControl {
 public:
  explicit TGroupBox(std::string name) : TControl(ControlKind::GroupBox, std::move(name)) {}
};

class TTabSheet : public TControl {
 public:
  explicit TTabSheet(std::string name) : TControl(ControlKind::TabSheet, std::move(name)) {}
};

class TPageControl : public TControl {
 public:
  explicit TPageControl(std::string name) : TControl(ControlKind::PageControl, std::move(name)) {}
  std::vector<TTabSheet*> Pages;
  std::function<void()> OnChange;
  int ActivePage() const { return active_; }
  void SetActivePage(int page);

 private:
  int active_ = 0;
};

// A window: a caption, a client size and its controls, drawn in creation order.
class TForm {
 public:
  explicit TForm(std::string name) : name_(std::move(name)) {}
  virtual ~TForm() = default;
  TForm(const TForm&) = delete;
  TForm& operator=(const TForm&) = delete;

  const std::string& Name() const { return name_; }
  std::string Caption;
  int ClientWidth = 640, ClientHeight = 480;
  uint32_t Color = clBtnFace;
  bool Visible = false;
  bool KeyPreview = false;
  bool Borderless = false;
  int ModalResult = 0;  // set to close a modal window
  TControl* Focus = nullptr;  // the control that receives typed keys
  // The pointer moving over the window's client area (client coordinates),
  // with whether the left button is held.
  std::function<void(int x, int y, bool leftDown)> OnMouseMove;
  // A tool window that floats above this one, usable while this window is
  // shown modally, for as long as the tool window is Visible.
  TForm* Floating = nullptr;

  template <class T>
  T& Add(const std::string& name, int left, int top, int width, int height,
         TControl* parent = nullptr) {
    auto c = std::make_unique<T>(name);
    c->SetBounds(left, top, width, height);
    c->Parent = parent;
    T& ref = *c;
    controls_.push_back(std::move(c));
    return ref;
  }
  const std::vector<std::unique_ptr<TControl>>& Controls() const { return controls_; }
  TControl* Find(const std::string& name) const;

  // A key pressed while the window is in front (before the focused control
  // when KeyPreview is on).
  virtual void KeyDown(int key, ShiftState shift) { (void)key; (void)shift; }
  // The close box or a close from code; false keeps the window open.
  virtual bool CloseQuery() { return true; }
  // Closes the window: the main window ends the program when it closes.
  virtual void Close() {
    if (CloseQuery()) Visible = false;
  }

 private:
  std::string name_;
  std::vector<std::unique_ptr<TControl>> controls_;
};

// A file-open choice: the player picks one file matching Mask, starting in
// InitialDir and free to go to other folders. Without an installed chooser
// it is a modal window listing folders and files; tests install a scripted
// one.
class TOpenDialog {
 public:
  std::string InitialDir;  // a folder the program resolves
  std::string Mask = "*.*";
  std::string FileName;    // the chosen file, with its folder
  // True when a file was chosen (FileName then names it).
  bool Execute();
};
void SetOpenDialog(std::function<bool(TOpenDialog&)> choose);

}  // namespace rodavia
