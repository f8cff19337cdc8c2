// The mesh transport over real TCP on 127.0.0.1, several members in one
// process, each on a port the system picks.
#include "platform/AsioTransport.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <asio.hpp>
#include <chrono>
#include <fstream>
#include <functional>
#include <iostream>
#include <map>
#include <optional>
#include <thread>

#include <unistd.h>

#include "platform/DiscoveryProtocol.h"
#include "platform/MeshProtocol.h"

namespace rodavia {
namespace {

using namespace std::chrono_literals;
using asio::ip::tcp;
using asio::ip::udp;
using Kind = TransportEvent::Kind;
using SteadyClock = std::chrono::steady_clock;

const char* const kSession = "Rodavia";

// Polls `condition` until it holds or `limit` passes.
bool Eventually(const std::function<bool()>& condition,
                std::chrono::milliseconds limit = 3000ms) {
  const auto deadline = SteadyClock::now() + limit;
  while (!condition()) {
    if (SteadyClock::now() > deadline) return false;
    std::this_thread::sleep_for(2ms);
  }
  return true;
}

// One machine: its transport and every event it has polled.
struct Member {
  AsioTransport transport;
  std::vector<TransportEvent> events;

  void Create(const std::string& name) {
    std::string error;
    ASSERT_TRUE(transport.Create("127.0.0.1", 0, kSession, name, error)) << error;
  }
  // Callers assert on it: a failed join must stop the test there.
  [[nodiscard]] ::testing::AssertionResult Join(const Member& at, const std::string& name) {
    std::string error;
    bool taken = false;
    if (transport.Join("127.0.0.1", at.transport.ListeningPort(), kSession, name, error, taken))
      return ::testing::AssertionSuccess();
    return ::testing::AssertionFailure() << name << ": " << error;
  }
  std::vector<TransportEvent> Polled(Kind kind) {
    TransportEvent event;
    while (transport.Poll(event)) events.push_back(std::move(event));
    std::vector<TransportEvent> found;
    for (const TransportEvent& e : events)
      if (e.kind == kind) found.push_back(e);
    return found;
  }
  std::vector<std::string> Names(Kind kind) {
    std::vector<std::string> names;
    for (const TransportEvent& e : Polled(kind)) names.push_back(e.member.name);
    return names;
  }
};

std::vector<std::string> Names(const std::vector<TransportMember>& members) {
  std::vector<std::string> names;
  for (const TransportMember& m : members) names.push_back(m.name);
  return names;
}

std::vector<uint8_t> Bytes(const std::string& text) { return {text.begin(), text.end()}; }

// A plain socket to a member, speaking the wire protocol by hand.
struct RawPeer {
  asio::io_context io;
  tcp::socket socket{io};

  explicit RawPeer(const Member& at) {
    socket.connect({asio::ip::make_address("127.0.0.1"), at.transport.ListeningPort()});
    socket.non_blocking(true);
  }
  void Write(const std::vector<uint8_t>& bytes) { asio::write(socket, asio::buffer(bytes)); }
  // Whether the member closed the connection within `limit`.
  bool ClosedWithin(std::chrono::milliseconds limit) {
    return Eventually(
        [&] {
          std::array<uint8_t, 4096> buffer;
          asio::error_code ec;
          socket.read_some(asio::buffer(buffer), ec);
          return ec && ec != asio::error::would_block;
        },
        limit);
  }
};

uint16_t UnusedPort() {
  asio::io_context io;
  tcp::acceptor acceptor(io, {asio::ip::make_address("127.0.0.1"), 0});
  return acceptor.local_endpoint().port();
}

TEST(AsioTransport, MembersJoinByNameAndEveryOneLearnsEveryOther) {
  Member ana, bea, cris;
  ana.Create("Ana");
  ASSERT_TRUE(bea.Join(ana, "Bea"));
  ASSERT_TRUE(cris.Join(bea, "Cris"));  // at a guest's address: redirected to the host

  EXPECT_TRUE(ana.transport.IsHost());
  EXPECT_FALSE(bea.transport.IsHost());
  EXPECT_FALSE(cris.transport.IsHost());
  EXPECT_TRUE(ana.transport.InitialMembers().empty());
  EXPECT_EQ(Names(bea.transport.InitialMembers()), (std::vector<std::string>{"Ana"}));
  EXPECT_EQ(Names(cris.transport.InitialMembers()), (std::vector<std::string>{"Ana", "Bea"}));
  EXPECT_EQ(cris.transport.InitialMembers()[0].id, ana.transport.LocalId());
  EXPECT_EQ(cris.transport.InitialMembers()[1].id, bea.transport.LocalId());

  ASSERT_TRUE(Eventually([&] {
    return ana.Polled(Kind::MemberJoined).size() == 2 && bea.Polled(Kind::MemberJoined).size() == 1;
  }));
  EXPECT_EQ(ana.Names(Kind::MemberJoined), (std::vector<std::string>{"Bea", "Cris"}));
  EXPECT_EQ(ana.Polled(Kind::MemberJoined)[0].member.id, bea.transport.LocalId());
  EXPECT_EQ(bea.Polled(Kind::MemberJoined)[0].member.id, cris.transport.LocalId());
  EXPECT_TRUE(cris.Polled(Kind::MemberJoined).empty());
  const std::set<MemberId> ids{ana.transport.LocalId(), bea.transport.LocalId(),
                               cris.transport.LocalId()};
  EXPECT_EQ(ids.size(), 3u);
  EXPECT_FALSE(ids.contains(0));

  // To one member: only that one gets it, with the sender named.
  ASSERT_TRUE(cris.transport.Send(ana.transport.LocalId(), Bytes("hola")));
  ASSERT_TRUE(Eventually([&] { return ana.Polled(Kind::Message).size() == 1; }));
  EXPECT_EQ(ana.Polled(Kind::Message)[0].data, Bytes("hola"));
  EXPECT_EQ(ana.Polled(Kind::Message)[0].member.id, cris.transport.LocalId());
  EXPECT_EQ(ana.Polled(Kind::Message)[0].member.name, "Cris");
  EXPECT_TRUE(bea.Polled(Kind::Message).empty());
  EXPECT_FALSE(cris.transport.Send(12345, Bytes("nadie")));
}

TEST(AsioTransport, JoinWithoutSuchSessionOrWithATakenNameFailsAndTheTransportCanJoinAfterwards) {
  Member ana, bea;
  ana.Create("Ana");
  std::string error;
  bool taken = false;
  // A taken name is refused before the joiner is a member: nobody sees it.
  EXPECT_FALSE(bea.transport.Join("127.0.0.1", ana.transport.ListeningPort(), kSession, "Ana", error, taken));
  EXPECT_TRUE(taken);
  EXPECT_EQ(error, "Member name 'Ana' is taken");
  EXPECT_FALSE(bea.transport.IsOpen());
  EXPECT_FALSE(bea.transport.Join("127.0.0.1", ana.transport.ListeningPort(), "Otra", "Bea", error, taken));
  EXPECT_EQ(error, "Session 'Otra' not found");
  EXPECT_FALSE(taken);
  EXPECT_FALSE(bea.transport.IsOpen());
  EXPECT_FALSE(bea.transport.Join("127.0.0.1", UnusedPort(), kSession, "Bea", error, taken));
  EXPECT_EQ(error, "Session 'Rodavia' not found");

  ASSERT_TRUE(bea.Join(ana, "Bea"));
  EXPECT_TRUE(bea.transport.IsOpen());
  EXPECT_EQ(Names(bea.transport.InitialMembers()), (std::vector<std::string>{"Ana"}));
  bea.transport.Close();
  ASSERT_TRUE(Eventually([&] { return ana.Names(Kind::MemberLeft).size() == 1; }));
  EXPECT_EQ(ana.Names(Kind::MemberJoined), (std::vector<std::string>{"Bea"})) << "only the admitted joiner";
  bea.Create("Bea");  // the same transport hosts now
  EXPECT_TRUE(bea.transport.IsHost());
}

TEST(AsioTransport, ConnectionsThatBreakTheProtocolAreClosedAndTheSessionGoesOn) {
  Member ana, bea;
  ana.Create("Ana");
  ASSERT_TRUE(bea.Join(ana, "Bea"));

  const std::vector<uint8_t> kind99{1, 0, 0, 0, 99};
  const std::vector<uint8_t> emptyFrame{0, 0, 0, 0, 6};
  const std::vector<uint8_t> oversized{0xff, 0xff, 0xff, 0x7f, 6};
  const std::vector<uint8_t> messageBeforeHello = mesh::EncodeFrame(mesh::Kind::Message, Bytes("x"));
  std::vector<uint8_t> shortHello = mesh::EncodeHello({kSession, "Eva", 7000});
  shortHello.pop_back();
  shortHello[0] -= 1;
  for (const auto& garbage : {kind99, emptyFrame, oversized, messageBeforeHello, shortHello}) {
    RawPeer peer(ana);
    peer.Write(garbage);
    EXPECT_TRUE(peer.ClosedWithin(1000ms));
  }
  RawPeer silent(bea);
  EXPECT_TRUE(silent.ClosedWithin(5000ms));

  ASSERT_TRUE(bea.transport.Send(0, Bytes("sigo")));
  ASSERT_TRUE(Eventually([&] { return ana.Polled(Kind::Message).size() == 1; }));
  EXPECT_EQ(ana.Names(Kind::MemberJoined), (std::vector<std::string>{"Bea"}));
  EXPECT_TRUE(ana.Polled(Kind::MemberLeft).empty());
  EXPECT_TRUE(bea.Polled(Kind::MemberLeft).empty());
}

size_t ResidentBytes() {
  std::ifstream statm("/proc/self/statm");
  size_t pages = 0, resident = 0;
  statm >> pages >> resident;
  return resident * size_t(sysconf(_SC_PAGESIZE));
}

// A member that floods while nobody polls: its unread messages never take
// more than kMaxBacklogBytes, it is cut off, and the others go on.
TEST(AsioTransport, AFloodingMemberIsCutOffOnceItsUnreadMessagesPassTheBound) {
  Member ana, bea;
  ana.Create("Ana");
  ASSERT_TRUE(bea.Join(ana, "Bea"));
  RawPeer flood(ana);
  flood.Write(mesh::EncodeHello({kSession, std::string(mesh::kMaxNameBytes, 'F'), 1}));
  ASSERT_TRUE(Eventually([&] { return ana.Polled(Kind::MemberJoined).size() == 2; }));

  const size_t before = ResidentBytes();
  const std::vector<uint8_t> chunk = mesh::EncodeFrame(mesh::Kind::Message, std::vector<uint8_t>(mesh::kMaxPayload, 'x'));
  flood.socket.non_blocking(false);
  size_t sent = 0;
  asio::error_code ec;
  while (!ec && sent < (250u << 20)) sent += asio::write(flood.socket, asio::buffer(chunk), ec);
  EXPECT_LT(sent, 250u << 20) << "the link was closed";
  std::cout << "flooded " << (sent >> 10) << " KiB; resident memory grew "
            << (long(ResidentBytes()) - long(before)) / 1024 << " KiB\n";

  ASSERT_TRUE(bea.transport.Send(0, Bytes("sigo")));
  ASSERT_TRUE(Eventually([&] { return ana.Names(Kind::MemberLeft).size() == 1; }));
  size_t polled = 0;
  for (const TransportEvent& e : ana.Polled(Kind::Message))
    if (e.member.name != "Bea") polled += e.data.size();
  EXPECT_LE(polled, kMaxBacklogBytes);
  EXPECT_TRUE(Eventually([&] {
    const auto names = ana.Names(Kind::Message);
    return !names.empty() && names.back() == "Bea";
  })) << "the others' messages still arrive";

  // A name longer than any the protocol carries is no hello at all.
  RawPeer longName(ana);
  longName.Write(mesh::EncodeHello({kSession, std::string(mesh::kMaxNameBytes + 1, 'L'), 1}));
  EXPECT_TRUE(longName.ClosedWithin(1000ms));
}

TEST(AsioTransport, AMemberThatFallsSilentIsRemovedWithinFiveSecondsAndAnIdleOneStays) {
  Member ana, bea;
  ana.Create("Ana");
  ASSERT_TRUE(bea.Join(ana, "Bea"));
  RawPeer mute(ana);
  mute.Write(mesh::EncodeHello({kSession, "Mudo", 1}));
  ASSERT_TRUE(Eventually([&] { return ana.Polled(Kind::MemberJoined).size() == 2; }));
  const auto silentSince = SteadyClock::now();

  ASSERT_TRUE(Eventually([&] { return !ana.Polled(Kind::MemberLeft).empty(); }, 5000ms));
  EXPECT_GT(SteadyClock::now() - silentSince, 3s);
  EXPECT_EQ(ana.Names(Kind::MemberLeft), (std::vector<std::string>{"Mudo"}));
  EXPECT_TRUE(bea.Polled(Kind::MemberLeft).empty());  // kept by its pings
}

// Each message holds its sender's number and its sequence number; sizes run
// from 5 bytes to the largest allowed.
std::vector<uint8_t> Numbered(uint8_t sender, uint32_t seq, size_t size) {
  std::vector<uint8_t> data(size, uint8_t(seq));
  data[0] = sender;
  for (int i = 0; i < 4; ++i) data[1 + i] = uint8_t(seq >> (8 * i));
  return data;
}

TEST(AsioTransport, AThousandMessagesToAllFromEachOfThreeArriveWholeAndInOrder) {
  constexpr uint32_t kCount = 1000;
  std::array<Member, 3> members;
  members[0].Create("Ana");
  ASSERT_TRUE(members[1].Join(members[0], "Bea"));
  ASSERT_TRUE(members[2].Join(members[0], "Cris"));
  // A member sends to those it knows: wait until everyone knows everyone.
  ASSERT_TRUE(Eventually([&] {
    return members[0].Polled(Kind::MemberJoined).size() == 2 &&
           members[1].Polled(Kind::MemberJoined).size() == 1;
  }));

  const auto size = [](uint32_t seq) {
    return seq == kCount - 1 ? mesh::kMaxPayload : 5 + seq % 300;
  };
  for (uint32_t seq = 0; seq < kCount; ++seq)
    for (uint8_t sender = 0; sender < 3; ++sender)
      ASSERT_TRUE(members[sender].transport.Send(0, Numbered(sender, seq, size(seq))));
  EXPECT_FALSE(members[0].transport.Send(0, std::vector<uint8_t>(mesh::kMaxPayload + 1)));

  for (uint8_t receiver = 0; receiver < 3; ++receiver) {
    Member& m = members[receiver];
    ASSERT_TRUE(Eventually([&] { return m.Polled(Kind::Message).size() == 2 * kCount; }, 10000ms));
    std::map<MemberId, uint32_t> next;
    for (const TransportEvent& e : m.Polled(Kind::Message)) {
      const uint8_t sender = e.data[0];
      ASSERT_NE(sender, receiver);
      ASSERT_EQ(e.member.id, members[sender].transport.LocalId());
      const uint32_t seq = next[e.member.id]++;
      ASSERT_EQ(e.data, Numbered(sender, seq, size(seq)));
    }
  }
}

// Sessions answer a query broadcast on loopback at the port players know,
// every member of them, and go on answering after the host has gone.
TEST(AsioTransport, EveryMemberOfAnOpenSessionAnswersDiscoveryQueries) {
  Member ana, bea, busca;
  ana.Create("Ana");
  const uint16_t port = ana.transport.ListeningPort();
  ASSERT_TRUE(bea.Join(ana, "Bea"));
  ana.transport.SetAnnouncement(Bytes("de Ana"));
  bea.transport.SetAnnouncement(Bytes("de Bea"));
  auto answered = [&](std::vector<std::string> expected) {
    std::vector<std::string> heard;
    return Eventually([&] {
      busca.transport.Query("127.255.255.255", port);
      std::this_thread::sleep_for(20ms);
      for (const FoundSession& f : busca.transport.Answers()) {
        heard.push_back(std::string(f.announcement.begin(), f.announcement.end()));
        EXPECT_EQ(f.address, "127.0.0.1");
        EXPECT_EQ(f.port, f.announcement == Bytes("de Ana") ? port : bea.transport.ListeningPort());
      }
      std::sort(heard.begin(), heard.end());
      heard.erase(std::unique(heard.begin(), heard.end()), heard.end());
      return heard == expected;
    });
  };
  EXPECT_TRUE(answered({"de Ana", "de Bea"}));

  // Anything but a query, or a query too small for the answer, gets nothing.
  asio::io_context io;
  udp::socket raro(io, udp::endpoint(udp::v4(), 0));
  raro.non_blocking(true);
  const udp::endpoint sesion(asio::ip::make_address("127.0.0.1"), port);
  raro.send_to(asio::buffer(Bytes("hola")), sesion);
  auto query = discovery::EncodeQuery();
  raro.send_to(asio::buffer(query.data(), 12), sesion);
  std::this_thread::sleep_for(100ms);
  std::array<uint8_t, 2048> buffer;
  udp::endpoint from;
  asio::error_code ec;
  raro.receive_from(asio::buffer(buffer), from, 0, ec);
  EXPECT_EQ(ec, asio::error::would_block);

  ana.transport.Close();
  ASSERT_TRUE(Eventually([&] { return bea.transport.IsHost(); }));
  EXPECT_TRUE(answered({"de Bea"}));
}

// The next whole frame the other end sends on `socket` within `limit`.
std::optional<mesh::Frame> ReadFrame(tcp::socket& socket, mesh::FrameReader& reader,
                                     std::chrono::milliseconds limit = 3000ms) {
  mesh::Frame frame;
  const bool read = Eventually(
      [&] {
        if (reader.Next(frame) == mesh::FrameReader::Status::Frame) return true;
        std::array<uint8_t, 4096> buffer;
        asio::error_code ec;
        const size_t size = socket.read_some(asio::buffer(buffer), ec);
        if (!ec) reader.Feed(buffer.data(), size);
        return false;
      },
      limit);
  return read ? std::optional(frame) : std::nullopt;
}

// Xavi stands for a member the old host welcomed just before it went: only
// Bea has its introduction. Cris, welcomed by Ana, which never heard of
// Xavi, still links to it and gets a seniority of its own.
TEST(AsioTransport, ANewcomerMeetsEveryMemberEvenOnesItsHostNeverHeardOf) {
  Member ana, bea, cris;
  ana.Create("Ana");
  ASSERT_TRUE(bea.Join(ana, "Bea"));
  asio::io_context io;
  tcp::acceptor xaviListens(io, {asio::ip::make_address("127.0.0.1"), 0});
  RawPeer xavi(bea);
  xavi.Write(mesh::EncodeIntro({kSession, 777, 3, "Xavi", xaviListens.local_endpoint().port()}));
  mesh::FrameReader reader;
  auto known = ReadFrame(xavi.socket, reader);
  ASSERT_TRUE(known);
  ASSERT_EQ(known->kind, mesh::Kind::Known);
  auto entries = mesh::ParseKnown(known->payload);
  ASSERT_TRUE(entries);
  ASSERT_EQ(entries->size(), 1u);
  EXPECT_EQ((*entries)[0].name, "Ana") << "Bea tells it of the members it knows";
  ASSERT_TRUE(Eventually([&] { return bea.Names(Kind::MemberJoined) == std::vector<std::string>{"Xavi"}; }));

  ASSERT_TRUE(cris.Join(ana, "Cris"));
  xaviListens.non_blocking(true);
  tcp::socket fromCris(io);
  ASSERT_TRUE(Eventually([&] {
    asio::error_code ec;
    xaviListens.accept(fromCris, ec);
    return !ec;
  }));
  fromCris.non_blocking(true);
  mesh::FrameReader crisReader;
  auto intro = ReadFrame(fromCris, crisReader);
  ASSERT_TRUE(intro);
  ASSERT_EQ(intro->kind, mesh::Kind::Intro);
  auto fields = mesh::ParseIntro(intro->payload);
  ASSERT_TRUE(fields);
  EXPECT_EQ(fields->name, "Cris");
  EXPECT_GT(fields->seniority, 3u) << "a seniority already given is never given again";
  ASSERT_TRUE(Eventually([&] { return cris.Names(Kind::MemberJoined) == std::vector<std::string>{"Xavi"}; }));

  // An introduction from a member older than the one it reaches is refused:
  // it would take the host role.
  RawPeer usurper(bea);
  usurper.Write(mesh::EncodeIntro({kSession, 888, 0, "Usurpador", 1}));
  EXPECT_TRUE(usurper.ClosedWithin(1000ms));
}

TEST(AsioTransport, TheHostRolePassesByJoiningOrderAndNewcomersFindTheNewHost) {
  std::array<Member, 6> m;  // joined in this order
  m[0].Create("Ana");
  ASSERT_TRUE(m[1].Join(m[0], "Bea"));
  ASSERT_TRUE(m[2].Join(m[0], "Cris"));
  ASSERT_TRUE(m[3].Join(m[1], "Dani"));

  const auto hostsAmong = [&](size_t first) {
    int hosts = 0, grants = 0;
    for (size_t i = first; i < m.size(); ++i) {
      hosts += m[i].transport.IsHost();
      grants += int(m[i].Polled(Kind::HostGranted).size());
    }
    return std::pair(hosts, grants);
  };
  const auto allSawLeave = [&](size_t first, size_t last, size_t leaves) {
    for (size_t i = first; i <= last; ++i)
      if (m[i].Polled(Kind::MemberLeft).size() != leaves) return false;
    return true;
  };

  m[0].transport.Close();
  // The bye, not keep-alive (4 s of silence), even on a loaded machine.
  ASSERT_TRUE(Eventually([&] { return allSawLeave(1, 3, 1); }, 2500ms));
  EXPECT_EQ(hostsAmong(1), std::pair(1, 1));
  EXPECT_TRUE(m[1].transport.IsHost());

  ASSERT_TRUE(m[4].Join(m[1], "Eva"));  // at the new host
  ASSERT_TRUE(m[5].Join(m[2], "Fede"));  // at a guest, redirected
  EXPECT_EQ(Names(m[4].transport.InitialMembers()), (std::vector<std::string>{"Bea", "Cris", "Dani"}));
  EXPECT_EQ(Names(m[5].transport.InitialMembers()),
            (std::vector<std::string>{"Bea", "Cris", "Dani", "Eva"}));
  ASSERT_TRUE(Eventually([&] { return m[2].Polled(Kind::MemberJoined).size() == 3; }));
  EXPECT_EQ(m[2].Names(Kind::MemberJoined), (std::vector<std::string>{"Dani", "Eva", "Fede"}));

  // The newcomers rank after the older members: Cris, not Eva, hosts next.
  m[1].transport.Close();
  ASSERT_TRUE(Eventually([&] { return allSawLeave(2, 3, 2) && allSawLeave(4, 5, 1); }, 2500ms));
  EXPECT_EQ(hostsAmong(2), std::pair(1, 1));
  EXPECT_TRUE(m[2].transport.IsHost());
}

}  // namespace
}  // namespace rodavia
