#include "platform/Controls.h"

#include <algorithm>

#include "platform/Application.h"
#include "platform/Files.h"

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
  std::string t = MaxLength > 0 && int(text.size()) > MaxLength ? text.substr(0, MaxLength) : text;
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

// The files of the folder in a list, "Abrir" and "Cancelar".
bool ChooseFromList(TOpenDialog& dialog) {
  TForm form("OpenDialog");
  form.Caption = "Abrir";
  form.ClientWidth = 320;
  form.ClientHeight = 300;
  auto& lista = form.Add<TListBox>("lb_ficheros", 8, 8, 304, 248);
  lista.Items = files::List(dialog.InitialDir, dialog.Mask);
  auto& abrir = form.Add<TButton>("bb_abrir", 148, 266, 78, 26);
  abrir.Caption = "Abrir";
  abrir.OnClick = [&] {
    if (lista.ItemIndex >= 0) form.ModalResult = mrOk;
  };
  auto& cancelar = form.Add<TButton>("bb_cancelar", 234, 266, 78, 26);
  cancelar.Caption = "Cancelar";
  cancelar.OnClick = [&] { form.ModalResult = mrCancel; };
  if (ShowModal(form) != mrOk || lista.ItemIndex < 0 || lista.ItemIndex >= int(lista.Items.size())) return false;
  dialog.FileName = dialog.InitialDir;
  dialog.FileName.append("/").append(lista.Items[size_t(lista.ItemIndex)]);
  return true;
}

}  // namespace

bool TOpenDialog::Execute() { return OpenDialogChooser() ? OpenDialogChooser()(*this) : ChooseFromList(*this); }

void SetOpenDialog(std::function<bool(TOpenDialog&)> choose) { OpenDialogChooser() = std::move(choose); }

}  // namespace rodavia
