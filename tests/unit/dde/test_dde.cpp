// DDE over D-Bus: the servers' bus names, and (with the test server of
// tests/dde running) the wait for an acknowledgement.
#include <gtest/gtest.h>

#include <cstdlib>

#include "dde/dde.h"
#include "../qt_app.h"

namespace {

TEST(DdeNames, ApplicationsBecomeBusNames) {
  EXPECT_EQ(win::DdeServiceName("Editor"), "org.tilmor.dde.EDITOR");
  EXPECT_EQ(win::DdeServiceName("my app-2"), "org.tilmor.dde.MY_APP_2");
  EXPECT_EQ(win::DdeServiceName("  Excel "), "org.tilmor.dde.EXCEL");
  EXPECT_EQ(win::DdeServiceName("3D"), "org.tilmor.dde._3D");
  EXPECT_EQ(win::DdeServiceName("\xC4rger"), "org.tilmor.dde._RGER");
  EXPECT_EQ(win::DdeServiceName(""), "");
  EXPECT_EQ(win::DdeServiceName("   "), "");
}

TEST(DdeNames, NoConversationWithoutOne) {
  int pumps = 0;
  EXPECT_EQ(win::DdeExecute(12345, "x", 100, [](void* p) { ++*static_cast<int*>(p); }, &pumps), -1);
  EXPECT_EQ(pumps, 0);
  win::DdeTerminate(12345);  // nothing to end
}

// A server that takes 1.5 s to acknowledge (tests/dde/dde_test.sh starts it).
const char* SlowServer() { return std::getenv("TILMOR_DDE_APP"); }

TEST(DdeBus, PumpsWhileWaitingForTheAcknowledgement) {
  if (!SlowServer()) GTEST_SKIP() << "needs the slow server of tests/dde (dde_test.sh runs this)";
  EnsureTestApplication(true);
  uint32_t c = win::DdeConnect(SlowServer(), "System", 5000);
  ASSERT_NE(c, 0u);
  int pumps = 0;
  EXPECT_EQ(win::DdeExecute(c, "warte", 10000, [](void* p) { ++*static_cast<int*>(p); }, &pumps), 1);
  // Pumped every few milliseconds for 1.5 s.
  EXPECT_GT(pumps, 50);
  win::DdeTerminate(c);
}

TEST(DdeBus, UnknownServersAndTopicsGiveNoConversation) {
  if (!SlowServer()) GTEST_SKIP() << "needs the slow server of tests/dde (dde_test.sh runs this)";
  EnsureTestApplication(true);
  EXPECT_EQ(win::DdeConnect("GIBTESNICHT", "System", 5000), 0u);
  EXPECT_EQ(win::DdeConnect(SlowServer(), "Unbekannt", 5000), 0u);
}

}  // namespace
