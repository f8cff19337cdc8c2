#include "platform/Controls.h"

#include <algorithm>
#include <filesystem>

#include "platform/Application.h"
#include "platform/Files.h"
#include "platform/Text.h"

namespace rodavia {

bool TControl::Showing() const {
  for (const TControl* c = this; c; c = c->Parent)
    if (!c->Visible) return false;
  return true;
}

bool TControl::Usable() const {
  for (const TControl* c = this; c; c = c->Parent)
    if (!c->Enabled) return false;
  return Showing();
}

void TControl::SetBounds(int left, int top, int width, int height) {
  Left = left;
  Top = top;
  Width = width;
  Height = height;
}

void TSpeedButton::SetDown(bool down) {
  if (down == down_) return;
  down_ = down;
  if (down && GroupIndex > 0)
    for (TSpeedButton* other : Group)
      if (other != this) other->down_ = false;
}

void TSpeedButton::Click() {
  if (GroupIndex > 0 && !AllowAllUp)
    SetDown(true);
  else
    SetDown(!down_);
  TControl::Click();
}

void TEdit::SetText(const std::string& text) {
  std::string t = MaxLength > 0 ? Utf8Prefix(text, size_t(MaxLength)) : text;
  if (t == text_) return;
  text_ = std::move(t);
  if (OnChange) OnChange();
}

void TComboBox::SetItemIndex(int index) {
  index_ = index >= 0 && index < int(Items.size()) ? index : -1;
}

std::string TComboBox::Text() const { return index_ >= 0 ? Items[index_] : std::string(); }

int TComboBox::IndexOf(const std::string& item) const {
  auto it = std::find(Items.begin(), Items.end(), item);
  return it == Items.end() ? -1 : int(it - Items.begin());
}

void TComboBox::Choose(int index) {
  SetItemIndex(index);
  if (OnChange) OnChange();
}

void TCheckBox::SetChecked(bool checked) {
  if (checked == checked_) return;
  checked_ = checked;
  if (OnClick) OnClick();
}

void TRadioGroup::SetItemIndex(int index) {
  if (index < -1 || index >= int(Items.size()) || index == index_) return;
  index_ = index;
  if (OnClick) OnClick();
}

void TTrackBar::SetPosition(int position) {
  position = std::clamp(position, Min, Max);
  if (position == position_) return;
  position_ = position;
  if (OnChange) OnChange();
}

void TSpinEdit::SetValue(int value) {
  value = std::clamp(value, MinValue, MaxValue);
  if (value == value_) return;
  value_ = value;
  if (OnChange) OnChange();
}

void TListView::Select(int item) {
  if (item < -1 || item >= int(Items.size()) || item == selected_) return;
  selected_ = item;
  if (OnChange) OnChange(item);
}

void TPageControl::SetActivePage(int page) {
  if (page < 0 || page >= int(Pages.size()) || page == active_) return;
  active_ = page;
  for (size_t i = 0; i < Pages.size(); ++i) Pages[i]->Visible = int(i) == active_;
  if (OnChange) OnChange();
}

TControl* TForm::Find(const std::string& name) const {
  for (auto& c : controls_)
    if (c->Name() == name) return c.get();
  return nullptr;
}

namespace {
std::function<bool(TOpenDialog&)>& OpenDialogChooser() {
  static std::function<bool(TOpenDialog&)> choose;
  return choose;
}

// The subfolders of a folder, sorted without regard to case; hidden ones
// (".name") are left out.
std::vector<std::string> Subfolders(const std::filesystem::path& folder) {
  std::vector<std::string> names;
  std::error_code error;
  for (const auto& entry : std::filesystem::directory_iterator(folder, error)) {
    const std::string name = entry.path().filename().string();
    if (name.empty() || name[0] == '.' || !entry.is_directory(error)) continue;
    names.push_back(name);
  }
  std::sort(names.begin(), names.end(), files::LessNoCase);
  return names;
}

// A window to pick a file: the folder shown above its list, which holds
// "[..]" (the parent folder) and the subfolders in brackets, then the files
// that match the mask. Opening a folder, with "Abrir" or a double click,
// shows it; opening a file chooses it.
bool ChooseFromFolders(TOpenDialog& dialog) {
  TForm form("OpenDialog");
  form.Caption = "Abrir";
  form.ClientWidth = 420;
  form.ClientHeight = 340;
  auto& carpeta = form.Add<TLabel>("l_carpeta", 8, 8, 404, 18);
  auto& lista = form.Add<TListBox>("lb_ficheros", 8, 30, 404, 264);
  auto& tipo = form.Add<TLabel>("l_tipo", 8, 311, 200, 18);
  tipo.Caption = "Ficheros " + dialog.Mask;
  auto& abrir = form.Add<TButton>("bb_abrir", 250, 306, 78, 26);
  abrir.Caption = "Abrir";
  auto& cancelar = form.Add<TButton>("bb_cancelar", 334, 306, 78, 26);
  cancelar.Caption = "Cancelar";

  std::filesystem::path folder = files::Resolve(dialog.InitialDir).lexically_normal();
  size_t folders = 0;  // the first entries of the list are folders
  auto show = [&] {
    lista.Items.clear();
    if (folder.has_relative_path()) lista.Items.push_back("[..]");
    for (const std::string& name : Subfolders(folder)) lista.Items.push_back("[" + name + "]");
    folders = lista.Items.size();
    for (const std::string& name : files::List(folder.string(), dialog.Mask)) lista.Items.push_back(name);
    lista.ItemIndex = -1;
    carpeta.Caption = folder.string();
  };
  auto open = [&] {
    if (lista.ItemIndex < 0 || size_t(lista.ItemIndex) >= lista.Items.size()) return;
    const std::string& item = lista.Items[size_t(lista.ItemIndex)];
    if (size_t(lista.ItemIndex) >= folders) {
      dialog.FileName = (folder / item).string();
      form.ModalResult = mrOk;
      return;
    }
    folder = item == "[..]" ? folder.parent_path() : folder / item.substr(1, item.size() - 2);
    show();
  };
  abrir.OnClick = open;
  lista.OnDblClick = open;
  cancelar.OnClick = [&] { form.ModalResult = mrCancel; };
  show();
  return ShowModal(form) == mrOk;
}

}  // namespace

bool TOpenDialog::Execute() { return OpenDialogChooser() ? OpenDialogChooser()(*this) : ChooseFromFolders(*this); }

void SetOpenDialog(std::function<bool(TOpenDialog&)> choose) { OpenDialogChooser() = std::move(choose); }

}  // namespace rodavia
