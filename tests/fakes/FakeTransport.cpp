#include "fakes/FakeTransport.h"

#include <algorithm>

namespace rodavia::test {

void FakeRed::Vanish(MemberId id) {
  for (auto& [port, session] : sessions_)
    for (FakeTransport* member : session.members)
      if (member->id_ == id) return Remove(member);
}

FakeRed::Session* FakeRed::Find(const std::string& host, uint16_t port) {
  auto it = sessions_.find(port);
  if (it == sessions_.end()) return nullptr;
  Session& session = it->second;
  return session.host.empty() || session.host == host ? &session : nullptr;
}

FakeRed::Session* FakeRed::SessionOf(const FakeTransport* member) {
  for (auto& [port, session] : sessions_)
    if (std::count(session.members.begin(), session.members.end(), member)) return &session;
  return nullptr;
}

void FakeRed::Remove(FakeTransport* member) {
  Session* session = SessionOf(member);
  if (!session) return;
  std::vector<FakeTransport*>& members = session->members;
  members.erase(std::find(members.begin(), members.end(), member));
  for (FakeTransport* other : std::vector(members))
    other->Deliver({TransportEvent::Kind::MemberLeft, member->Self(), {}});
  if (member->host_ && !members.empty() && !members.front()->host_) {
    members.front()->host_ = true;
    members.front()->Deliver({TransportEvent::Kind::HostGranted, {}, {}});
  }
  std::erase_if(sessions_, [](const auto& s) { return s.second.members.empty(); });
}

bool FakeTransport::Create(const std::string& host, uint16_t port, const std::string& session,
                           const std::string& member, std::string& error) {
  Close();
  if (red_.sessions_.contains(port)) {
    error = "Port " + std::to_string(port) + " is in use";
    return false;
  }
  const std::string anyHost = host == "0.0.0.0" ? "" : host;
  red_.sessions_[port] = {anyHost, session, {this}};
  id_ = red_.nextId_++;
  name_ = member;
  host_ = true;
  return true;
}

bool FakeTransport::Join(const std::string& host, uint16_t port, const std::string& session,
                         const std::string& member, std::string& error) {
  Close();
  FakeRed::Session* found = red_.Find(host, port);
  if (red_.failNextJoin_ || !found || found->name != session) {
    red_.failNextJoin_ = false;
    error = "Session '" + session + "' not found";
    return false;
  }
  id_ = red_.nextId_++;
  name_ = member;
  for (FakeTransport* other : found->members) initial_.push_back(other->Self());
  for (FakeTransport* other : std::vector(found->members))
    other->Deliver({TransportEvent::Kind::MemberJoined, Self(), {}});
  found->members.push_back(this);
  return true;
}

void FakeTransport::Close() {
  red_.Remove(this);
  id_ = 0;
  host_ = false;
  initial_.clear();
  events_.clear();
}

bool FakeTransport::Send(MemberId to, std::vector<uint8_t> data) {
  if (!IsOpen()) return false;
  FakeRed::Session* session = red_.SessionOf(this);
  if (!session) return true;  // vanished: lost on the way
  bool sent = false;
  for (FakeTransport* other : std::vector(session->members))
    if (other != this && (to == 0 || other->id_ == to)) {
      other->Deliver({TransportEvent::Kind::Message, Self(), data});
      sent = true;
    }
  return sent || to == 0;
}

bool FakeTransport::Poll(TransportEvent& event) {
  if (events_.empty()) return false;
  event = std::move(events_.front());
  events_.pop_front();
  return true;
}

void FakeTransport::Deliver(TransportEvent event) {
  events_.push_back(std::move(event));
  if (notify_) notify_();
}

}  // namespace rodavia::test
