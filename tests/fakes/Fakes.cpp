#include "fakes/Fakes.h"

#include <fstream>
#include <random>
#include <sstream>

#include "platform/Files.h"

namespace rodavia::test {

FakeClock::FakeClock(double n, uint32_t t) : now(n), ticks(t) { SetClock(this); }
FakeClock::~FakeClock() { SetClock(nullptr); }

ScriptedMessages::ScriptedMessages() { SetMessages(this); }
ScriptedMessages::~ScriptedMessages() { SetMessages(nullptr); }

MsgResult ScriptedMessages::Ask(MsgKind kind, const std::string& text, MsgButtons buttons) {
  shown.push_back({kind, text, buttons});
  if (whileShown) whileShown();
  if (!answers.empty()) {
    MsgResult r = answers.front();
    answers.pop_front();
    return r;
  }
  switch (buttons) {
    case MsgButtons::YesNo: return MsgResult::Yes;
    case MsgButtons::RetryCancel: return MsgResult::Retry;
    default: return MsgResult::Ok;
  }
}

std::vector<std::string> ScriptedMessages::Texts() const {
  std::vector<std::string> t;
  for (auto& m : shown) t.push_back(m.text);
  return t;
}

std::unique_ptr<Wave> FakeSound::Load(const std::filesystem::path& path) {
  const std::string name = path.filename().string();
  if (missing.count(name) || (requireFile && !std::filesystem::exists(path))) return nullptr;
  loaded.push_back(name);
  auto& log = logs[name];
  if (!log) log = std::make_shared<FakeWaveLog>();
  return std::make_unique<FakeWave>(log);
}

std::unique_ptr<JoystickDevice> FakeInput::OpenJoystick(int id, bool forceFeedback) {
  if (id < 0 || id >= int(joysticks.size())) return nullptr;
  joysticks[id]->forceFeedback = forceFeedback;
  return std::make_unique<FakeJoystick>(joysticks[id]);
}

bool FakeDisplay::Initialize() {
  ++initializations;
  if (fullScreen && failFullScreen) return false;
  initialized = true;
  return true;
}

TempProgramFolder::TempProgramFolder() {
  std::random_device rd;
  path_ = std::filesystem::temp_directory_path() /
          ("rodavia-test-" + std::to_string(rd()) + std::to_string(rd()));
  std::filesystem::create_directories(path_);
  files::SetProgramFolder(path_);
}

TempProgramFolder::~TempProgramFolder() {
  std::error_code ec;
  std::filesystem::remove_all(path_, ec);
}

void TempProgramFolder::Write(const std::string& relative, const std::string& contents) const {
  const auto p = path_ / relative;
  std::filesystem::create_directories(p.parent_path());
  std::ofstream(p, std::ios::binary) << contents;
}

std::string TempProgramFolder::Read(const std::string& relative) const {
  std::ifstream in(path_ / relative, std::ios::binary);
  std::stringstream s;
  s << in.rdbuf();
  return s.str();
}

bool TempProgramFolder::Exists(const std::string& relative) const {
  return std::filesystem::exists(path_ / relative);
}

}  // namespace rodavia::test
