// The in-process network that the game's tests run several machines on.
#include "fakes/FakeTransport.h"

#include <gtest/gtest.h>

namespace rodavia::test {
namespace {

using Kind = TransportEvent::Kind;

struct Machine {
  explicit Machine(FakeRed& red) : transport(red) {
    transport.SetNotify([this] { ++notified; });
  }
  std::vector<std::pair<Kind, std::string>> Events() {
    std::vector<std::pair<Kind, std::string>> seen;
    TransportEvent e;
    while (transport.Poll(e))
      seen.emplace_back(e.kind, e.kind == Kind::Message ? std::string(e.data.begin(), e.data.end())
                                                        : e.member.name);
    return seen;
  }
  FakeTransport transport;
  int notified = 0;
};

TEST(FakeTransport, SessionsJoinSendAndHandTheHostRoleOnInOrder) {
  FakeRed red;
  Machine ana(red), bea(red), cris(red);
  std::string error;
  ASSERT_TRUE(ana.transport.Create("0.0.0.0", 7000, "Rodavia", "Ana", error));
  EXPECT_FALSE(bea.transport.Join("10.0.0.1", 7000, "Otra", "Bea", error));
  EXPECT_EQ(error, "Session 'Otra' not found");
  red.FailNextJoin();
  EXPECT_FALSE(bea.transport.Join("10.0.0.1", 7000, "Rodavia", "Bea", error));
  ASSERT_TRUE(bea.transport.Join("10.0.0.1", 7000, "Rodavia", "Bea", error));
  ASSERT_TRUE(cris.transport.Join("10.0.0.1", 7000, "Rodavia", "Cris", error));
  EXPECT_EQ(cris.transport.LocalId(), 3u);
  ASSERT_EQ(cris.transport.InitialMembers().size(), 2u);
  EXPECT_EQ(cris.transport.InitialMembers()[1].name, "Bea");
  EXPECT_EQ(ana.Events(), (std::vector<std::pair<Kind, std::string>>{{Kind::MemberJoined, "Bea"},
                                                                      {Kind::MemberJoined, "Cris"}}));
  EXPECT_EQ(ana.notified, 2);
  bea.Events();

  EXPECT_TRUE(bea.transport.Send(0, {'h', 'o', 'l', 'a'}));
  EXPECT_TRUE(bea.transport.Send(3, {'t', 'u'}));
  EXPECT_FALSE(bea.transport.Send(9, {'x'}));
  EXPECT_TRUE(bea.Events().empty());
  EXPECT_EQ(cris.Events(), (std::vector<std::pair<Kind, std::string>>{{Kind::Message, "hola"},
                                                                       {Kind::Message, "tu"}}));

  ana.transport.Close();
  EXPECT_EQ(bea.Events(), (std::vector<std::pair<Kind, std::string>>{{Kind::MemberLeft, "Ana"},
                                                                      {Kind::HostGranted, ""}}));
  EXPECT_TRUE(bea.transport.IsHost());
  EXPECT_EQ(cris.Events(), (std::vector<std::pair<Kind, std::string>>{{Kind::MemberLeft, "Ana"}}));

  red.Vanish(bea.transport.LocalId());
  EXPECT_TRUE(bea.transport.Send(0, {'e', 'c', 'o'}));  // lost
  EXPECT_EQ(cris.Events(), (std::vector<std::pair<Kind, std::string>>{{Kind::MemberLeft, "Bea"},
                                                                       {Kind::HostGranted, ""}}));
  EXPECT_TRUE(cris.transport.IsHost());
}

}  // namespace
}  // namespace rodavia::test
