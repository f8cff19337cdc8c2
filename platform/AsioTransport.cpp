#include "platform/AsioTransport.h"

#include <algorithm>
#include <array>
#include <asio.hpp>
#include <asio/experimental/as_tuple.hpp>
#include <chrono>
#include <future>
#include <map>
#include <random>
#include <set>
#include <thread>
#include <tuple>

#include "platform/Application.h"
#include "platform/DiscoveryProtocol.h"
#include "platform/MeshProtocol.h"

namespace rodavia {

namespace {

using asio::ip::tcp;
using asio::ip::udp;
using SteadyClock = std::chrono::steady_clock;
using namespace std::chrono_literals;
using FramePtr = std::shared_ptr<const std::vector<uint8_t>>;

constexpr auto kConnectTimeout = 1500ms;  // the game retries a join three times
constexpr auto kAnswerTimeout = 3s;       // for the first frame of a new connection
constexpr auto kPingAfter = 1s;           // of sending nothing
constexpr auto kSilenceLimit = 4s;        // of hearing nothing: the member is gone
constexpr auto kTick = 250ms;
constexpr auto kLeaveTimeout = 1s;  // to send the byes when closing
constexpr size_t kMaxQueuedBytes = 4 << 20;
constexpr int kMaxRedirects = 3;
// A new host numbers newcomers this far above the highest seniority it has
// seen, so it never gives one that the old host gave a joiner it has not
// heard of yet.
constexpr uint32_t kSeniorityGap = 1 << 16;
// What a waiting message costs beyond its bytes, so a flood of tiny
// messages is bounded too.
constexpr size_t kEventCost = 128;

constexpr auto kNoThrow = asio::experimental::as_tuple(asio::use_awaitable);

FramePtr Share(std::vector<uint8_t> frame) {
  return std::make_shared<const std::vector<uint8_t>>(std::move(frame));
}

// One TCP connection: to a member, or accepted and waiting for its first frame.
struct Link {
  explicit Link(tcp::socket s) : socket(std::move(s)) {}

  tcp::socket socket;
  mesh::FrameReader reader;
  std::deque<FramePtr> outbox;
  size_t queuedBytes = 0;
  bool connected = false;
  bool writing = false;
  bool closing = false;  // close once the outbox is sent
  bool dropped = false;
  const SteadyClock::time_point opened = SteadyClock::now();
  SteadyClock::time_point lastHeard = SteadyClock::now();
  SteadyClock::time_point lastSent = SteadyClock::now();
  mesh::MemberEntry member;  // id 0 until the link belongs to a member
};
using LinkPtr = std::shared_ptr<Link>;

bool Senior(const mesh::MemberEntry& a, const mesh::MemberEntry& b) {
  return std::tie(a.seniority, a.id) < std::tie(b.seniority, b.id);
}

}  // namespace

// The sockets of one open session and the thread that runs them. Everything
// below runs on that thread, except the constructor, Listen, the Start*
// calls, Send and Stop, which the owner calls from the window thread.
class Mesh {
 public:
  Mesh(AsioTransport& owner, std::string session, std::string name)
      : owner_(owner), session_(std::move(session)), self_{0, 0, std::move(name), "", 0} {}
  ~Mesh() { Stop(); }

  bool Listen(const std::string& host, uint16_t port, std::string& error);
  // Answers discovery queries at the session's UDP port, shared with any
  // other member on this machine; nothing when the port cannot be had.
  void AnswerQueriesAt(uint16_t port);
  void StartAsCreator();
  // False when no session admits this member; `nameTaken` when the host
  // refused its name.
  bool StartJoining(const std::string& host, uint16_t port, bool& nameTaken);
  // Ends a join under way: it fails at once. Any thread.
  void Abort();
  void Send(MemberId to, FramePtr frame);
  // Says bye to every member and ends the thread.
  void Stop();

  MemberId LocalId() const { return self_.id; }
  uint16_t Port() const { return self_.port; }
  const std::vector<TransportMember>& InitialMembers() const { return initial_; }

 private:
  void StartThread();
  asio::awaitable<void> Accept();
  asio::awaitable<void> KeepAlive();
  asio::awaitable<void> AnswerQueries();
  asio::awaitable<bool> JoinAt(std::string host, uint16_t port);
  asio::awaitable<bool> Connect(LinkPtr link, const std::string& host, uint16_t port);
  asio::awaitable<bool> ReadFirst(LinkPtr link, mesh::Frame& frame);
  asio::awaitable<void> Dial(LinkPtr link);
  asio::awaitable<void> Serve(LinkPtr link);

  bool Handle(const LinkPtr& link, mesh::Frame& frame);
  bool HandleFirst(const LinkPtr& link, const mesh::Frame& frame);
  bool NameTaken(const std::string& name) const;
  void Learn(const std::vector<mesh::MemberEntry>& entries);
  void DialNew(const mesh::MemberEntry& entry, bool announce);
  void TellOthers(const LinkPtr& link, bool toldEveryone);
  void AnswerHello(const LinkPtr& link, const mesh::Hello& hello);
  bool Admit(const mesh::Welcome& welcome, const LinkPtr& hostLink);
  void Register(const LinkPtr& link, mesh::MemberEntry entry, bool announce);
  void Drop(const LinkPtr& link);
  void Tick();
  void Leave();

  void Queue(const LinkPtr& link, FramePtr frame);
  void WriteNext(const LinkPtr& link);
  void CloseAfterSending(const LinkPtr& link);

  const mesh::MemberEntry& Host() const;
  std::vector<mesh::MemberEntry> Entries(const LinkPtr& seenBy) const;
  std::vector<LinkPtr> Members() const;
  MemberId NewId();
  void PublishMembers();

  AsioTransport& owner_;
  const std::string session_;
  mesh::MemberEntry self_;
  bool host_ = false;
  bool leaving_ = false;
  bool nameTaken_ = false;  // the host answered NameTaken to this joiner
  bool aborted_ = false;    // the player cancelled the join
  LinkPtr joinLink_;        // the link a join is asking on
  uint32_t lastSeniority_ = 0;  // the highest seen; the host hands out the next
  std::vector<TransportMember> initial_;
  std::mt19937 random_{std::random_device{}()};

  asio::io_context io_;
  tcp::acceptor acceptor_{io_};
  udp::socket discovery_{io_};
  asio::steady_timer ticker_{io_};
  std::map<MemberId, LinkPtr> members_;
  // Members that left: news of them that was on its way is stale.
  std::set<MemberId> gone_;
  std::set<LinkPtr> pending_;  // accepted, waiting for a hello or an introduction
  std::thread thread_;
  std::future<void> finished_;
};

bool Mesh::Listen(const std::string& host, uint16_t port, std::string& error) {
  asio::error_code ec;
  tcp::endpoint endpoint(tcp::v4(), port);
  if (!host.empty() && host != "0.0.0.0") {
    tcp::resolver resolver(io_);
    auto found = resolver.resolve(host, std::to_string(port), ec);
    if (!ec) endpoint = *found.begin();
  }
  if (!ec) acceptor_.open(endpoint.protocol(), ec);
  if (!ec) acceptor_.set_option(tcp::acceptor::reuse_address(true), ec);
  if (!ec) acceptor_.bind(endpoint, ec);
  if (!ec) acceptor_.listen(asio::socket_base::max_listen_connections, ec);
  if (ec) {
    error = "Cannot accept members at " + host + ":" + std::to_string(port) + ": " + ec.message();
    asio::error_code ignorado;
    acceptor_.close(ignorado);
    return false;
  }
  self_.port = acceptor_.local_endpoint().port();
  return true;
}

void Mesh::AnswerQueriesAt(uint16_t port) {
  asio::error_code ec;
  discovery_.open(udp::v4(), ec);
  if (!ec) discovery_.set_option(udp::socket::reuse_address(true), ec);
  if (!ec) discovery_.bind({asio::ip::address_v4::any(), port}, ec);
  if (ec) discovery_.close(ec);
}

// One datagram at a time, answered at once: no input makes memory grow.
asio::awaitable<void> Mesh::AnswerQueries() {
  std::array<uint8_t, 2048> query;
  udp::endpoint from;
  while (discovery_.is_open()) {
    auto [ec, size] = co_await discovery_.async_receive_from(asio::buffer(query), from, kNoThrow);
    if (leaving_ || ec == asio::error::operation_aborted) co_return;
    if (ec) continue;
    if (auto answer = discovery::AnswerTo(query.data(), size, self_.port, owner_.Announcement()))
      discovery_.send_to(asio::buffer(*answer), from, 0, ec);
  }
}

void Mesh::StartAsCreator() {
  self_.id = NewId();
  self_.seniority = lastSeniority_ = 1;
  host_ = true;
  PublishMembers();
  StartThread();
}

bool Mesh::StartJoining(const std::string& host, uint16_t port, bool& nameTaken) {
  StartThread();
  auto joined = asio::co_spawn(io_, JoinAt(host, port), asio::use_future);
  // The window goes on (drawing, the player's cancel) while the network answers.
  while (joined.wait_for(std::chrono::milliseconds(1)) != std::future_status::ready) ProcessMessages();
  const bool admitted = joined.get();
  nameTaken = nameTaken_;
  return admitted;
}

void Mesh::Abort() {
  asio::post(io_, [this] {
    aborted_ = true;
    if (joinLink_) Drop(joinLink_);
  });
}

void Mesh::StartThread() {
  asio::co_spawn(io_, Accept(), asio::detached);
  if (discovery_.is_open()) asio::co_spawn(io_, AnswerQueries(), asio::detached);
  asio::co_spawn(io_, KeepAlive(), asio::detached);
  std::packaged_task<void()> run([this] { io_.run(); });
  finished_ = run.get_future();
  thread_ = std::thread(std::move(run));
}

void Mesh::Send(MemberId to, FramePtr frame) {
  asio::post(io_, [this, to, frame = std::move(frame)] {
    if (to == 0) {
      for (const LinkPtr& link : Members()) Queue(link, frame);
    } else if (auto it = members_.find(to); it != members_.end()) {
      Queue(it->second, frame);
    }
  });
}

void Mesh::Stop() {
  if (!thread_.joinable()) return;
  asio::post(io_, [this] { Leave(); });
  finished_.wait_for(kLeaveTimeout);
  io_.stop();
  thread_.join();
}

void Mesh::Leave() {
  leaving_ = true;
  asio::error_code ignored;
  acceptor_.close(ignored);
  discovery_.close(ignored);
  ticker_.cancel();
  for (const LinkPtr& link : std::vector<LinkPtr>(pending_.begin(), pending_.end())) Drop(link);
  for (const LinkPtr& link : Members()) {
    Queue(link, Share(mesh::EncodeFrame(mesh::Kind::Bye)));
    CloseAfterSending(link);
  }
}

asio::awaitable<void> Mesh::Accept() {
  for (;;) {
    auto [ec, socket] = co_await acceptor_.async_accept(kNoThrow);
    if (leaving_) co_return;
    if (ec) {
      owner_.Push({TransportEvent::Kind::SessionLost, {}, {}});
      co_return;
    }
    socket.set_option(tcp::no_delay(true), ec);
    auto link = std::make_shared<Link>(std::move(socket));
    link->connected = true;
    pending_.insert(link);
    asio::co_spawn(io_, Serve(link), asio::detached);
  }
}

asio::awaitable<void> Mesh::KeepAlive() {
  for (;;) {
    ticker_.expires_after(kTick);
    auto [ec] = co_await ticker_.async_wait(kNoThrow);
    if (ec || leaving_) co_return;
    Tick();
  }
}

void Mesh::Tick() {
  const auto now = SteadyClock::now();
  for (const LinkPtr& link : std::vector<LinkPtr>(pending_.begin(), pending_.end()))
    if (now - link->opened > kAnswerTimeout) Drop(link);
  for (const LinkPtr& link : Members()) {
    if (now - link->lastHeard > kSilenceLimit)
      Drop(link);
    else if (now - link->lastSent >= kPingAfter)
      Queue(link, Share(mesh::EncodeFrame(mesh::Kind::Ping)));
  }
}

// Asks at host:port, following redirects to the host; on a welcome the
// session is joined and the other members are dialled.
asio::awaitable<bool> Mesh::JoinAt(std::string host, uint16_t port) {
  for (int hop = 0; hop <= kMaxRedirects && !aborted_; ++hop) {
    auto link = std::make_shared<Link>(tcp::socket(io_));
    joinLink_ = link;
    const bool connected = co_await Connect(link, host, port);
    if (!connected) co_return false;
    Queue(link, Share(mesh::EncodeHello({session_, self_.name, self_.port})));
    mesh::Frame answer;
    const bool answered = co_await ReadFirst(link, answer);
    if (!answered) co_return false;
    joinLink_.reset();
    if (answer.kind == mesh::Kind::Welcome) {
      auto welcome = mesh::ParseWelcome(answer.payload);
      co_return !aborted_ && welcome && Admit(*welcome, link);
    }
    Drop(link);
    if (answer.kind == mesh::Kind::NameTaken) {
      nameTaken_ = answer.payload.empty();
      co_return false;
    }
    auto redirect = answer.kind == mesh::Kind::Redirect ? mesh::ParseRedirect(answer.payload)
                                                        : std::nullopt;
    if (!redirect) co_return false;
    host = redirect->address;
    port = redirect->port;
  }
  co_return false;
}

// Connects the link, and starts sending what waits for it; false when
// host:port does not answer in time.
asio::awaitable<bool> Mesh::Connect(LinkPtr link, const std::string& host, uint16_t port) {
  tcp::resolver resolver(io_);
  asio::steady_timer timer(io_, kConnectTimeout);
  timer.async_wait([link, &resolver](asio::error_code ec) {
    if (ec) return;  // cancelled: the connection was made or failed first
    resolver.cancel();
    link->socket.close(ec);
  });
  auto [resolveError, found] = co_await resolver.async_resolve(host, std::to_string(port), kNoThrow);
  if (resolveError || link->dropped) co_return false;
  auto [ec, endpoint] = co_await asio::async_connect(link->socket, found, kNoThrow);
  if (ec || link->dropped) co_return false;
  link->socket.set_option(tcp::no_delay(true), ec);
  link->connected = true;
  link->lastHeard = SteadyClock::now();
  WriteNext(link);
  co_return true;
}

// The first frame of a link the joiner opened, within kAnswerTimeout.
asio::awaitable<bool> Mesh::ReadFirst(LinkPtr link, mesh::Frame& frame) {
  asio::steady_timer timer(io_, kAnswerTimeout);
  timer.async_wait([link](asio::error_code ec) {
    if (!ec) link->socket.close(ec);
  });
  std::array<uint8_t, 4096> buffer;
  for (;;) {
    const auto status = link->reader.Next(frame);
    if (status != mesh::FrameReader::Status::NeedMore)
      co_return status == mesh::FrameReader::Status::Frame;
    auto [ec, size] = co_await link->socket.async_read_some(asio::buffer(buffer), kNoThrow);
    if (ec) co_return false;
    link->reader.Feed(buffer.data(), size);
  }
}

bool Mesh::Admit(const mesh::Welcome& welcome, const LinkPtr& hostLink) {
  const bool hostListed = std::any_of(welcome.members.begin(), welcome.members.end(),
                                      [&](const auto& m) { return m.id == welcome.hostId; });
  if (!hostListed || welcome.hostId == welcome.yourId) return false;
  self_.id = welcome.yourId;
  self_.seniority = welcome.yourSeniority;
  lastSeniority_ = std::max(lastSeniority_, self_.seniority);
  std::vector<mesh::MemberEntry> entries = welcome.members;
  std::sort(entries.begin(), entries.end(), Senior);
  for (const mesh::MemberEntry& entry : entries) {
    if (entry.id == self_.id || members_.contains(entry.id)) continue;
    if (entry.id == welcome.hostId) {
      Register(hostLink, entry, false);
      asio::co_spawn(io_, Serve(hostLink), asio::detached);
    } else {
      DialNew(entry, false);
    }
    initial_.push_back({entry.id, entry.name});
  }
  return true;
}

// A newcomer introduces itself to an older member it was told of.
void Mesh::DialNew(const mesh::MemberEntry& entry, bool announce) {
  auto link = std::make_shared<Link>(tcp::socket(io_));
  Queue(link, Share(mesh::EncodeIntro({session_, self_.id, self_.seniority, self_.name, self_.port})));
  Register(link, entry, announce);
  asio::co_spawn(io_, Dial(link), asio::detached);
}

// Members another member knows of: this one links to those it did not know
// that are older than itself (a newer one links to it the same way), so a
// newcomer welcomed while the host role passed still meets every member.
void Mesh::Learn(const std::vector<mesh::MemberEntry>& entries) {
  for (const mesh::MemberEntry& entry : entries) {
    lastSeniority_ = std::max(lastSeniority_, entry.seniority);
    if (entry.id == self_.id || members_.contains(entry.id) || gone_.contains(entry.id) || NameTaken(entry.name))
      continue;
    if (Senior(entry, self_)) DialNew(entry, true);
  }
}

// Connects a link registered from the welcome; a member that cannot be
// reached is taken for gone.
asio::awaitable<void> Mesh::Dial(LinkPtr link) {
  const bool connected = co_await Connect(link, link->member.address, link->member.port);
  if (!connected) {
    Drop(link);
    co_return;
  }
  co_await Serve(link);
}

asio::awaitable<void> Mesh::Serve(LinkPtr link) {
  std::array<uint8_t, 16384> buffer;
  for (;;) {
    mesh::Frame frame;
    mesh::FrameReader::Status status;
    while ((status = link->reader.Next(frame)) == mesh::FrameReader::Status::Frame)
      if (!Handle(link, frame)) co_return;
    if (status == mesh::FrameReader::Status::Malformed) {
      Drop(link);
      co_return;
    }
    auto [ec, size] = co_await link->socket.async_read_some(asio::buffer(buffer), kNoThrow);
    if (ec || link->dropped) {
      Drop(link);
      co_return;
    }
    link->lastHeard = SteadyClock::now();
    link->reader.Feed(buffer.data(), size);
  }
}

// Whether to go on reading the link.
bool Mesh::Handle(const LinkPtr& link, mesh::Frame& frame) {
  if (link->member.id == 0) return HandleFirst(link, frame);
  switch (frame.kind) {
    case mesh::Kind::Message:
      // A member whose messages pile up unread is cut off, like one that
      // does not read what it is sent.
      if (owner_.Push({TransportEvent::Kind::Message, {link->member.id, link->member.name},
                       std::move(frame.payload)}))
        return true;
      break;
    case mesh::Kind::Ping:
      if (frame.payload.empty()) return true;
      break;
    case mesh::Kind::Known:
      if (auto entries = mesh::ParseKnown(frame.payload)) {
        Learn(*entries);
        return true;
      }
      break;
    default:  // a bye, or a frame that only belongs to a new connection
      break;
  }
  Drop(link);
  return false;
}

bool Mesh::HandleFirst(const LinkPtr& link, const mesh::Frame& frame) {
  if (frame.kind == mesh::Kind::Hello) {
    if (auto hello = mesh::ParseHello(frame.payload)) {
      AnswerHello(link, *hello);
      return link->member.id != 0;
    }
  } else if (frame.kind == mesh::Kind::Intro) {
    auto intro = mesh::ParseIntro(frame.payload);
    // Only a newer member introduces itself: an older one, or one claiming
    // to be, would take the host role from under the session.
    const bool newer = intro && Senior(self_, {intro->id, intro->seniority, "", "", 0});
    if (newer && intro->session == session_ && intro->id != self_.id && !members_.contains(intro->id) &&
        !NameTaken(intro->name)) {
      asio::error_code ec;
      const std::string address = link->socket.remote_endpoint(ec).address().to_string();
      Register(link, {intro->id, intro->seniority, intro->name, address, intro->port}, true);
      TellOthers(link, false);
      return true;
    }
  }
  Drop(link);
  return false;
}

void Mesh::AnswerHello(const LinkPtr& link, const mesh::Hello& hello) {
  if (hello.session != session_) {
    Queue(link, Share(mesh::EncodeFrame(mesh::Kind::NotFound)));
  } else if (!host_) {
    const mesh::MemberEntry& host = Host();
    Queue(link, Share(mesh::EncodeRedirect({host.address, host.port})));
  } else if (NameTaken(hello.name)) {
    Queue(link, Share(mesh::EncodeFrame(mesh::Kind::NameTaken)));
  } else {
    asio::error_code ec;
    const std::string address = link->socket.remote_endpoint(ec).address().to_string();
    const mesh::MemberEntry entry{NewId(), ++lastSeniority_, hello.name, address, hello.port};
    Queue(link, Share(mesh::EncodeWelcome({entry.id, entry.seniority, self_.id, Entries(link)})));
    Register(link, entry, true);
    TellOthers(link, true);
    return;
  }
  CloseAfterSending(link);
}

// A member that just introduced itself hears of every member this one knows
// (the welcome told it already when it came through this host), and every
// other member hears of it.
void Mesh::TellOthers(const LinkPtr& link, bool toldEveryone) {
  std::vector<mesh::MemberEntry> others;
  const auto about = Share(mesh::EncodeKnown({link->member}));
  for (const LinkPtr& other : Members()) {
    if (other == link) continue;
    others.push_back(other->member);
    Queue(other, about);
  }
  if (!toldEveryone && !others.empty()) Queue(link, Share(mesh::EncodeKnown(others)));
}

bool Mesh::NameTaken(const std::string& name) const {
  if (name == self_.name) return true;
  for (const auto& [id, link] : members_)
    if (link->member.name == name) return true;
  return false;
}

void Mesh::Register(const LinkPtr& link, mesh::MemberEntry entry, bool announce) {
  pending_.erase(link);
  lastSeniority_ = std::max(lastSeniority_, entry.seniority);
  link->member = std::move(entry);
  members_[link->member.id] = link;
  PublishMembers();
  if (announce)
    owner_.Push({TransportEvent::Kind::MemberJoined, {link->member.id, link->member.name}, {}});
}

// Closes the link; a member's leaves the session, and when it was the host
// the most senior member left takes the role.
void Mesh::Drop(const LinkPtr& link) {
  if (link->dropped) return;
  link->dropped = true;
  asio::error_code ignored;
  link->socket.close(ignored);
  pending_.erase(link);
  auto it = members_.find(link->member.id);
  if (it == members_.end() || it->second != link) return;
  members_.erase(it);
  gone_.insert(link->member.id);
  PublishMembers();
  if (leaving_) return;
  owner_.Push({TransportEvent::Kind::MemberLeft, {link->member.id, link->member.name}, {}});
  if (!host_ && Host().id == self_.id) {
    host_ = true;
    lastSeniority_ += kSeniorityGap;
    owner_.SetHost();
    owner_.Push({TransportEvent::Kind::HostGranted, {}, {}});
  }
}

void Mesh::Queue(const LinkPtr& link, FramePtr frame) {
  if (link->dropped) return;
  link->queuedBytes += frame->size();
  link->outbox.push_back(std::move(frame));
  link->lastSent = SteadyClock::now();
  if (link->queuedBytes > kMaxQueuedBytes)
    Drop(link);  // it has stopped reading
  else if (link->connected && !link->writing)
    WriteNext(link);
}

// Writes everything queued in one go.
void Mesh::WriteNext(const LinkPtr& link) {
  if (link->outbox.empty() || link->dropped) return;
  std::vector<asio::const_buffer> buffers;
  for (const FramePtr& frame : link->outbox) buffers.push_back(asio::buffer(*frame));
  link->writing = true;
  asio::async_write(link->socket, buffers,
                    [this, link, count = buffers.size()](asio::error_code ec, size_t) {
                      link->writing = false;
                      for (size_t i = 0; i < count; ++i) {
                        link->queuedBytes -= link->outbox.front()->size();
                        link->outbox.pop_front();
                      }
                      if (ec)
                        Drop(link);
                      else if (!link->outbox.empty())
                        WriteNext(link);
                      else if (link->closing)
                        Drop(link);
                    });
}

void Mesh::CloseAfterSending(const LinkPtr& link) {
  link->closing = true;
  if (!link->writing || !link->connected) Drop(link);
}

const mesh::MemberEntry& Mesh::Host() const {
  const mesh::MemberEntry* host = &self_;
  for (const auto& [id, link] : members_)
    if (Senior(link->member, *host)) host = &link->member;
  return *host;
}

// Every member as the welcome lists it: this one with the address the
// newcomer reached it at.
std::vector<mesh::MemberEntry> Mesh::Entries(const LinkPtr& seenBy) const {
  std::vector<mesh::MemberEntry> entries;
  asio::error_code ec;
  mesh::MemberEntry self = self_;
  self.address = seenBy->socket.local_endpoint(ec).address().to_string();
  entries.push_back(self);
  for (const auto& [id, link] : members_) entries.push_back(link->member);
  std::sort(entries.begin(), entries.end(), Senior);
  return entries;
}

std::vector<LinkPtr> Mesh::Members() const {
  std::vector<LinkPtr> links;
  for (const auto& [id, link] : members_) links.push_back(link);
  return links;
}

MemberId Mesh::NewId() {
  MemberId id;
  do id = random_();
  while (id == 0 || id == self_.id || members_.contains(id));
  return id;
}

void Mesh::PublishMembers() {
  std::vector<MemberId> ids;
  for (const auto& [id, link] : members_) ids.push_back(id);
  owner_.SetMembers(std::move(ids), Host().id);
}

// Asks for sessions from the window thread without ever waiting: a
// non-blocking UDP socket, opened at the first query.
class AsioTransport::Finder {
 public:
  void Query(const std::string& address, uint16_t port) {
    asio::error_code ec;
    const auto to = asio::ip::make_address_v4(address, ec);
    if (ec) return;
    if (!socket_.is_open()) {
      socket_.open(udp::v4(), ec);
      if (!ec) socket_.set_option(udp::socket::broadcast(true), ec);
      if (!ec) socket_.non_blocking(true, ec);
      if (ec) {
        socket_.close(ec);
        return;
      }
    }
    socket_.send_to(asio::buffer(discovery::EncodeQuery()), udp::endpoint(to, port), 0, ec);
  }
  std::vector<FoundSession> Answers() {
    std::vector<FoundSession> found;
    std::array<uint8_t, 2048> datagram;
    udp::endpoint from;
    asio::error_code ec;
    for (size_t read = 0; socket_.is_open() && read < kMaxAnswers; ++read) {
      const size_t size = socket_.receive_from(asio::buffer(datagram), from, 0, ec);
      if (ec == asio::error::would_block) break;
      if (ec) continue;  // an error datagram (port unreachable) says nothing
      if (auto answer = discovery::ParseAnswer(datagram.data(), size))
        found.push_back({from.address().to_string(), answer->port, std::move(answer->announcement)});
    }
    return found;
  }

 private:
  static constexpr size_t kMaxAnswers = 64;
  asio::io_context io_;
  udp::socket socket_{io_};
};

AsioTransport::AsioTransport() : finder_(std::make_unique<Finder>()) {}

AsioTransport::~AsioTransport() { Close(); }

bool AsioTransport::Create(const std::string& host, uint16_t port, const std::string& session,
                           const std::string& member, std::string& error) {
  bool nameTaken = false;
  return Open(true, host, port, session, member, error, nameTaken);
}

bool AsioTransport::Join(const std::string& host, uint16_t port, const std::string& session,
                         const std::string& member, std::string& error, bool& nameTaken) {
  return Open(false, host, port, session, member, error, nameTaken);
}

// A joiner takes members at the session's own port where it is free (on a
// network every machine then answers at the port players know, so a
// newcomer can join at any member after the host left), else at any port.
bool AsioTransport::ListenAsJoiner(Mesh& mesh, uint16_t port, std::string& error) {
  return mesh.Listen("", port, error) || mesh.Listen("", 0, error);
}

bool AsioTransport::Open(bool create, const std::string& host, uint16_t port,
                         const std::string& session, const std::string& member,
                         std::string& error, bool& nameTaken) {
  Close();
  nameTaken = false;
  if (session.empty() || member.empty() || session.size() > mesh::kMaxNameBytes ||
      member.size() > mesh::kMaxNameBytes) {
    error = "Session and member names take 1 to 255 bytes";
    return false;
  }
  auto mesh = std::make_unique<Mesh>(*this, session, member);
  host_ = create;
  if (create) {
    if (!mesh->Listen(host, port, error)) return false;
    mesh->AnswerQueriesAt(mesh->Port());
    mesh->StartAsCreator();
  } else {
    bool joined = ListenAsJoiner(*mesh, port, error);
    if (joined) {
      // Every member answers at the port players know, whichever its own.
      mesh->AnswerQueriesAt(port);
      {
        std::lock_guard lock(joinMutex_);
        joining_ = mesh.get();
      }
      joined = mesh->StartJoining(host, port, nameTaken);
      std::lock_guard lock(joinMutex_);
      joining_ = nullptr;
    }
    if (!joined) {
      mesh.reset();
      Forget();
      error = nameTaken ? "Member name '" + member + "' is taken" : "Session '" + session + "' not found";
      return false;
    }
  }
  localId_ = mesh->LocalId();
  initialMembers_ = mesh->InitialMembers();
  mesh_ = std::move(mesh);
  return true;
}

void AsioTransport::CancelJoin() {
  std::lock_guard lock(joinMutex_);
  if (joining_) joining_->Abort();
}

void AsioTransport::Close() {
  mesh_.reset();
  Forget();
}

void AsioTransport::Forget() {
  localId_ = 0;
  host_ = false;
  initialMembers_.clear();
  std::lock_guard lock(mutex_);
  events_.clear();
  members_.clear();
  backlog_.clear();
  hostId_ = 0;
  announcement_.clear();
}

bool AsioTransport::Send(MemberId to, std::vector<uint8_t> data) {
  if (!mesh_ || data.size() > mesh::kMaxPayload) return false;
  if (to != 0) {
    std::lock_guard lock(mutex_);
    if (std::find(members_.begin(), members_.end(), to) == members_.end()) return false;
  }
  mesh_->Send(to, Share(mesh::EncodeFrame(mesh::Kind::Message, data)));
  return true;
}

bool AsioTransport::Poll(TransportEvent& event) {
  std::lock_guard lock(mutex_);
  if (events_.empty()) return false;
  event = std::move(events_.front());
  events_.pop_front();
  if (event.kind == TransportEvent::Kind::Message) {
    auto waiting = backlog_.find(event.member.id);
    waiting->second -= event.data.size() + kEventCost;
    if (waiting->second == 0) backlog_.erase(waiting);
  }
  return true;
}

void AsioTransport::SetAnnouncement(std::vector<uint8_t> announcement) {
  std::lock_guard lock(mutex_);
  announcement_ = std::move(announcement);
}

std::vector<uint8_t> AsioTransport::Announcement() const {
  std::lock_guard lock(mutex_);
  return announcement_;
}

void AsioTransport::Query(const std::string& address, uint16_t port) { finder_->Query(address, port); }

std::vector<FoundSession> AsioTransport::Answers() { return finder_->Answers(); }

MemberId AsioTransport::HostId() const {
  std::lock_guard lock(mutex_);
  return hostId_;
}

void AsioTransport::SetNotify(std::function<void()> notify) {
  std::lock_guard lock(mutex_);
  notify_ = std::move(notify);
}

uint16_t AsioTransport::ListeningPort() const { return mesh_ ? mesh_->Port() : 0; }

bool AsioTransport::Push(TransportEvent event) {
  std::function<void()> notify;
  {
    std::lock_guard lock(mutex_);
    if (event.kind == TransportEvent::Kind::Message) {
      size_t& waiting = backlog_[event.member.id];
      if (waiting + event.data.size() + kEventCost > kMaxBacklogBytes) return false;
      waiting += event.data.size() + kEventCost;
    }
    events_.push_back(std::move(event));
    notify = notify_;
  }
  if (notify) notify();
  return true;
}

void AsioTransport::SetMembers(std::vector<MemberId> ids, MemberId hostId) {
  std::lock_guard lock(mutex_);
  members_ = std::move(ids);
  hostId_ = hostId;
}

}  // namespace rodavia
