// Local sockets: the runtime folder's rules (private, the user's, no link),
// socket files 0600, data both ways, the end of a peer's data, a peer of
// another user refused, a live server's name not taken over.

#include "platform/LocalSocket.h"
#include "platform/EventLoop.h"
#include "platform/tests/TempDir.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <memory>
#include <sys/stat.h>
#include <unistd.h>

namespace orv {
namespace {

// Points the runtime folder rules at a fresh folder for one test.
class TRuntimeEnv {
public:
    explicit TRuntimeEnv(const std::string &Xdg, const std::string &Tmp)
    {
        Save("XDG_RUNTIME_DIR", FXdg);
        Save("TMPDIR", FTmp);
        Set("XDG_RUNTIME_DIR", Xdg);
        Set("TMPDIR", Tmp);
    }
    ~TRuntimeEnv()
    {
        Set("XDG_RUNTIME_DIR", FXdg);
        Set("TMPDIR", FTmp);
    }

private:
    static void Save(const char *Name, std::string &Into)
    {
        const char *v = std::getenv(Name);
        Into = v ? v : "";
    }
    static void Set(const char *Name, const std::string &Value)
    {
        if (Value.empty())
            ::unsetenv(Name);
        else
            ::setenv(Name, Value.c_str(), 1);
    }
    std::string FXdg, FTmp;
};

unsigned ModeOf(const std::string &Path)
{
    struct stat st {};
    ::lstat(Path.c_str(), &st);
    return st.st_mode & 0777;
}

TEST(RuntimeFolder, FollowsTheFolderRules)
{
    test::TTempDir temp;
    const std::string base = temp.Path().substr(0, temp.Path().size() - 1);
    const std::string own = base + "/orvellan-" + std::to_string(::getuid());
    std::string error;
    {
        SCOPED_TRACE("without XDG_RUNTIME_DIR a 0700 folder is made under TMPDIR");
        TRuntimeEnv env("", base);
        EXPECT_EQ(RuntimeFolder(error), own) << error;
        EXPECT_EQ(ModeOf(own), 0700u);
    }
    {
        SCOPED_TRACE("a folder open to others is refused");
        ::chmod(own.c_str(), 0755);
        TRuntimeEnv env("", base);
        EXPECT_EQ(RuntimeFolder(error), "");
        EXPECT_NE(error.find("open to other users"), std::string::npos) << error;
        std::filesystem::remove(own);
    }
    {
        SCOPED_TRACE("a link in the folder's place is refused");
        std::filesystem::create_directory(base + "/elsewhere");
        ::chmod((base + "/elsewhere").c_str(), 0700);
        std::filesystem::create_directory_symlink(base + "/elsewhere", own);
        TRuntimeEnv env("", base);
        EXPECT_EQ(RuntimeFolder(error), "");
        EXPECT_NE(error.find("link"), std::string::npos) << error;
    }
    {
        SCOPED_TRACE("XDG_RUNTIME_DIR is taken when it is private");
        std::filesystem::create_directory(base + "/xdg");
        ::chmod((base + "/xdg").c_str(), 0700);
        TRuntimeEnv env(base + "/xdg", base);
        EXPECT_EQ(RuntimeFolder(error), base + "/xdg") << error;
        ::chmod((base + "/xdg").c_str(), 0770);
        EXPECT_EQ(RuntimeFolder(error), "");
    }
}

class LocalSocketTest : public ::testing::Test {
protected:
    LocalSocketTest()
    {
        ::chmod(Temp.Path().c_str(), 0700);
        Server.OnConnect = [this](int Id) { Connections.push_back(Id); };
        Server.OnData = [this](int Id, const uint8_t *Data, size_t Count) {
            Received[Id].append(reinterpret_cast<const char *>(Data), Count);
        };
        Server.OnDisconnect = [this](int Id) { Ended.push_back(Id); };
    }
    // Polls until Done or a bounded number of rounds have passed.
    template <class F> bool PollUntil(F Done)
    {
        for (int i = 0; i < 500 && !Done(); ++i) {
            Server.Poll();
            ::usleep(2000);
        }
        return Done();
    }

    test::TTempDir Temp;
    TRuntimeEnv Env{Temp.Path().substr(0, Temp.Path().size() - 1), ""};
    TTestEventLoop Loop;
    TEventLoopScope Scope{Loop};
    TLocalServer Server;
    std::vector<int> Connections;
    std::map<int, std::string> Received;
    std::vector<int> Ended;
};

TEST_F(LocalSocketTest, CarriesDataBothWaysInA0600Socket)
{
    std::string error;
    ASSERT_TRUE(Server.Listen("probe", error, 0)) << error;
    EXPECT_EQ(ModeOf(Server.Path()), 0600u);

    TLocalClient client;
    ASSERT_TRUE(client.Connect("probe", error)) << error;
    ASSERT_TRUE(client.Send("hello"));
    ASSERT_TRUE(PollUntil([&] { return Received[1] == "hello"; }));
    ASSERT_EQ(Connections, std::vector<int>{1});
    EXPECT_TRUE(Server.Send(1, "back", 4));
    EXPECT_EQ(client.Receive(2000), "back");

    client.FinishSending();
    ASSERT_TRUE(PollUntil([&] { return !Ended.empty(); }));
    EXPECT_EQ(Server.ConnectionCount(), 0);
    bool closed = false;
    client.Receive(2000, &closed);
    EXPECT_TRUE(closed);

    Server.Close();
    EXPECT_FALSE(std::filesystem::exists(Temp.File("probe")));
}

TEST_F(LocalSocketTest, ThePeerEndsAfterTheHandlerAnswered)
{
    std::string error;
    ASSERT_TRUE(Server.Listen("probe", error, 0)) << error;
    Server.OnDisconnect = [this](int Id) { Server.Send(Id, "late", 4); };
    TLocalClient client;
    ASSERT_TRUE(client.Connect("probe", error));
    client.Send("x");
    client.FinishSending();
    std::string got;
    for (int i = 0; i < 500 && got.empty(); ++i) {
        Server.Poll();
        got = client.Receive(2);
    }
    EXPECT_EQ(got, "late");
}

TEST_F(LocalSocketTest, RefusesAPeerOfAnotherUser)
{
    std::string error;
    ASSERT_TRUE(Server.Listen("probe", error, 0)) << error;
    Server.AllowedUid = ::getuid() + 1;
    TLocalClient client;
    ASSERT_TRUE(client.Connect("probe", error));
    client.Send("hello");
    ASSERT_TRUE(PollUntil([&] { return Server.RefusedPeers == 1; }));
    EXPECT_TRUE(Connections.empty());
    EXPECT_TRUE(Received.empty());
    bool closed = false;
    client.Receive(2000, &closed);
    EXPECT_TRUE(closed);
}

TEST_F(LocalSocketTest, ALiveServerKeepsItsNameAndAStaleSocketIsReplaced)
{
    std::string error;
    ASSERT_TRUE(Server.Listen("probe", error, 0)) << error;
    TLocalServer second;
    EXPECT_FALSE(second.Listen("probe", error, 0));
    EXPECT_NE(error.find("Another program serves"), std::string::npos) << error;

    Temp.Write("plain", "x");
    EXPECT_FALSE(second.Listen("plain", error, 0));
    EXPECT_FALSE(second.Listen("../probe", error, 0));

    // A socket file whose server is gone is taken over.
    const std::string path = Server.Path();
    Server.Close();
    TLocalServer third;
    ASSERT_TRUE(third.Listen("probe", error, 0)) << error;
    EXPECT_EQ(third.Path(), path);
}

TEST_F(LocalSocketTest, APeerThatReadsNothingIsDropped)
{
    std::string error;
    ASSERT_TRUE(Server.Listen("probe", error, 0)) << error;
    Server.SendWaitMs = 20;
    TLocalClient client;
    ASSERT_TRUE(client.Connect("probe", error));
    ASSERT_TRUE(PollUntil([&] { return !Connections.empty(); }));
    const std::string block(1 << 20, 'x');
    bool sent = true;
    for (int i = 0; i < 64 && sent; ++i)
        sent = Server.Send(1, block.data(), block.size());
    EXPECT_FALSE(sent);
    EXPECT_EQ(Server.ConnectionCount(), 0);
    EXPECT_EQ(Ended, std::vector<int>{1});
    EXPECT_FALSE(Server.Send(1, "x", 1));
}

TEST_F(LocalSocketTest, TheTimerServesTheServer)
{
    std::string error;
    ASSERT_TRUE(Server.Listen("probe", error, 20)) << error;
    TLocalClient client;
    ASSERT_TRUE(client.Connect("probe", error));
    client.Send("tick");
    for (int i = 0; i < 500 && Received[1] != "tick"; ++i) {
        Loop.Advance(20);
        ::usleep(2000);
    }
    EXPECT_EQ(Received[1], "tick");
}

// Peers past the cap get the busy reply and are closed at once; those held
// are dropped when their request has not come whole in time, unless their
// owner keeps them open between requests.
TEST_F(LocalSocketTest, HoldsAtMostTheCapAndDropsRequestsThatNeverComeWhole)
{
    std::string error;
    ASSERT_TRUE(Server.Listen("probe", error, 0)) << error;
    Server.MaxConnections = 3;
    Server.IdleTimeoutMs = 1000;
    Server.BusyReply = "busy";
    std::vector<int> timedOut;
    Server.OnTimeOut = [&](int Id) {
        timedOut.push_back(Id);
        Server.Send(Id, "late", 4);
    };
    std::vector<std::unique_ptr<TLocalClient>> clients;
    for (int i = 0; i < 5; ++i) {
        clients.push_back(std::make_unique<TLocalClient>());
        ASSERT_TRUE(clients.back()->Connect("probe", error)) << error;
    }
    ASSERT_TRUE(PollUntil([&] { return Server.BusyPeers == 2; }));
    EXPECT_EQ(Server.ConnectionCount(), 3);
    EXPECT_EQ(Connections, (std::vector<int>{1, 2, 3}));
    for (int i = 3; i < 5; ++i) {
        SCOPED_TRACE(i);
        bool closed = false;
        EXPECT_EQ(clients[size_t(i)]->Receive(2000, &closed), "busy");
        clients[size_t(i)]->Receive(2000, &closed);
        EXPECT_TRUE(closed);
    }

    Server.KeepOpen(2, true); // between requests: no clock
    struct TStep {
        int64_t AdvanceMs;
        std::vector<int> TimedOut;
    } steps[] = {{999, {}}, {1, {1, 3}}, {5000, {1, 3}}};
    for (const TStep &s : steps) {
        SCOPED_TRACE(s.AdvanceMs);
        Loop.Advance(s.AdvanceMs);
        Server.Poll();
        EXPECT_EQ(timedOut, s.TimedOut);
    }
    EXPECT_EQ(Server.ConnectionCount(), 1);
    EXPECT_EQ(Server.TimedOutPeers, 2);
    EXPECT_TRUE(Ended.empty()); // the time-out handler answered instead
    bool closed = false;
    EXPECT_EQ(clients[0]->Receive(2000, &closed), "late");
    clients[0]->Receive(2000, &closed);
    EXPECT_TRUE(closed);

    // Room again: a new peer is held, and a kept one let go starts its clock.
    TLocalClient fresh;
    ASSERT_TRUE(fresh.Connect("probe", error));
    ASSERT_TRUE(PollUntil([&] { return Connections.size() == 4; }));
    Server.KeepOpen(2, false);
    Loop.Advance(1000);
    Server.Poll();
    EXPECT_EQ(timedOut, (std::vector<int>{1, 3, 2, 4}));
    EXPECT_EQ(Server.ConnectionCount(), 0);
}

} // namespace
} // namespace orv
