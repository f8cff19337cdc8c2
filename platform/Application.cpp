#include "platform/Application.h"

#include "platform/WindowMessages.h"

namespace rodavia {

namespace {
std::function<void()>& Step() {
  static std::function<void()> step;
  return step;
}
std::function<int(TForm&)>& Modal() {
  static std::function<int(TForm&)> show;
  return show;
}
std::function<void()>& FrameRequest() {
  static std::function<void()> request;
  return request;
}
std::function<void(const std::string&)>& Opener() {
  static std::function<void(const std::string&)> open;
  return open;
}
}  // namespace

void EndProgram() { throw ProgramEnd{}; }

void ProcessMessages() {
  if (Step())
    Step()();
  else
    RunPostedWork();
}

void SetProcessMessages(std::function<void()> step) { Step() = std::move(step); }

void RequestFrame() {
  if (FrameRequest()) FrameRequest()();
}

void SetRequestFrame(std::function<void()> request) { FrameRequest() = std::move(request); }

int ShowModal(TForm& form) { return Modal() ? Modal()(form) : 0; }

void SetShowModal(std::function<int(TForm&)> show) { Modal() = std::move(show); }

void OpenAddress(const std::string& address) {
  if (Opener()) Opener()(address);
}

void SetOpenAddress(std::function<void(const std::string&)> open) { Opener() = std::move(open); }

}  // namespace rodavia
