// Receive sides fed 1 MB of noise without a reply's end: what they hold
// stays within MaxReplyBytes, a reply right after the noise is still taken
// and acted on, and a reply that fills the limit exactly is taken whole.

#include "links/ControllerQuorel.h"
#include "links/ControllerTRIO.h"
#include "links/LinkViews.h"
#include "links/LowLevel.h"
#include "links/LowLevelNew.h"
#include "links/LowLevelTRIO.h"
#include "links/ReplyLimit.h"
#include "platform/EventLoop.h"

#include <gtest/gtest.h>

#include <functional>
#include <memory>

namespace orv {
namespace {

const uint8_t *Bytes(const std::string &Text) {
    return reinterpret_cast<const uint8_t *>(Text.data());
}

// Printable noise with no frame byte, prompt, DC1, ")" or status letter in it.
std::string Noise(size_t Size) {
    static const char alphabet[] = "abcdefghijklmnopqrstuvw0123456789 #";
    std::string out(Size, ' ');
    uint32_t r = 12345;
    for (char &c : out) {
        r = r * 1103515245u + 12345u;
        c = alphabet[(r >> 16) % (sizeof(alphabet) - 1)];
    }
    return out;
}

// One receive side as the table drives it.
struct TSide {
    virtual ~TSide() = default;
    virtual void Feed(const std::string &Text) = 0;
    virtual size_t Pending() const = 0;
    // A reply giving X = 7 whose collected bytes number Length.
    virtual std::string Reply(size_t Length) const = 0;
    // The reply was acted on: the position read from it.
    virtual bool Acted() = 0;
};

// Queued framed controller: STX to ETX is collected, a check byte follows.
struct TQueuedSide : TSide {
    TControllerLowLevelNew C;
    void Feed(const std::string &Text) override { C.ReceiveData(Bytes(Text), int(Text.size())); }
    size_t Pending() const override { return C.PendingReplyBytes(); }
    std::string Reply(size_t Length) const override {
        std::string text = "zz7,8,9,1,1,1,";
        return frames::Reply(text + std::string(Length - 2 - text.size(), '0'));
    }
    bool Acted() override {
        int32_t x, y, z;
        return C.GetPosition(x, y, z) && x == 7 && y == 8;
    }
};

// Framed link: the text between STX and ETX is collected.
struct TFramedSide : TSide {
    TFramedSide() {
        W.Clock = [] { return int64_t(0); };
        W.ExpectReply(TLowLevel::rkRead, "ZZ", frames::ReadFrame("ZZ", 6, ""));
    }
    TLowLevel W;
    void Feed(const std::string &Text) override { W.ReceiveData(Bytes(Text), int(Text.size())); }
    size_t Pending() const override { return W.PendingReplyBytes(); }
    std::string Reply(size_t Length) const override {
        std::string text = "zz7,8,9,1,1,1,";
        return frames::Reply(text + std::string(Length - text.size(), '0'));
    }
    bool Acted() override { return W.ReplyState() == 1 && W.StatusInt(0) == 7; }
};

// Trio: characters up to the prompt, CR and LF left out.
struct TTrioSide : TSide {
    TControllerTRIO C;
    void Feed(const std::string &Text) override {
        C.Worker().ReceiveData(Bytes(Text), int(Text.size()));
    }
    size_t Pending() const override {
        return const_cast<TControllerTRIO &>(C).Worker().PendingReplyBytes();
    }
    std::string Reply(size_t Length) const override {
        std::string text = "TABLEVALUES(0,20,0)7,8,9,0,0,0";
        return "TABLEVALUES(0,20,0)\r\n7,8,9,0,0,0" + std::string(Length - text.size(), ' ') +
               "\r\n>";
    }
    bool Acted() override {
        int32_t x, y, z;
        return C.GetPosition(x, y, z) && x == 7 && y == 8;
    }
};

TEST(ReplyLimit, NoiseStaysWithinTheLimitAndTheNextReplyIsTaken) {
    TPlainEventLoop loop;
    TEventLoopScope scope(loop);
    struct {
        const char *Name;
        std::function<std::unique_ptr<TSide>()> Make;
    } sides[] = {
        {"queued", [] { return std::unique_ptr<TSide>(new TQueuedSide); }},
        {"framed", [] { return std::unique_ptr<TSide>(new TFramedSide); }},
        {"trio", [] { return std::unique_ptr<TSide>(new TTrioSide); }},
    };
    const std::string noise = Noise(1 << 20);
    for (const auto &s : sides) {
        SCOPED_TRACE(s.Name);
        {
            // In one piece and in small pieces, as a port hands them on.
            std::unique_ptr<TSide> side = s.Make();
            side->Feed(std::string(1, char(frames::STX)) + noise);
            EXPECT_LE(side->Pending(), MaxReplyBytes);
            for (size_t at = 0; at < noise.size(); at += 4000)
                side->Feed(noise.substr(at, 4000));
            EXPECT_LE(side->Pending(), MaxReplyBytes);
            side->Feed(side->Reply(40));
            EXPECT_TRUE(side->Acted());
        }
        {
            std::unique_ptr<TSide> side = s.Make();
            side->Feed(side->Reply(MaxReplyBytes));
            EXPECT_TRUE(side->Acted());
        }
    }
}

// The queued controller shows a dropped frame once in its debug window.
TEST(ReplyLimit, AnOverlongFrameIsShownOnceAndTheNextFrameIsTaken) {
    TPlainEventLoop loop;
    TEventLoopScope scope(loop);
    std::vector<std::string> received;
    struct TView : TLineDebugView {
        std::vector<std::string> *Received = nullptr;
        void AddSent(const std::string &) override {}
        void AddReceived(const std::string &Line) override { Received->push_back(Line); }
    };
    LinkViews().LineDebug = [&](const std::string &) {
        auto v = std::make_unique<TView>();
        v->Received = &received;
        return std::unique_ptr<TLineDebugView>(std::move(v));
    };
    {
        TControllerLowLevelNew c;
        TQueuedSide probe;
        std::string frame = std::string(1, char(frames::STX)) + Noise(MaxReplyBytes * 3);
        c.ReceiveData(Bytes(frame), int(frame.size()));
        EXPECT_EQ(received, std::vector<std::string>{"[OVERLONG]"});
        EXPECT_EQ(c.PendingReplyBytes(), 0u);
        // One byte past the limit drops a frame; the next one is taken.
        std::string over = probe.Reply(MaxReplyBytes + 1) + probe.Reply(40);
        c.ReceiveData(Bytes(over), int(over.size()));
        EXPECT_EQ(received.size(), 3u);
        EXPECT_EQ(received[1], "[OVERLONG]");
        int32_t x, y, z;
        EXPECT_TRUE(c.GetPosition(x, y, z));
        EXPECT_EQ(x, 7);
    }
    LinkViews().LineDebug = nullptr;
}

TEST(ReplyLimit, KeepReplyTailKeepsTheNewestBytes) {
    std::string b = Noise(MaxReplyBytes) + "ok";
    EXPECT_TRUE(KeepReplyTail(b));
    EXPECT_EQ(b.size(), MaxReplyBytes);
    EXPECT_EQ(b.substr(b.size() - 2), "ok");
    EXPECT_FALSE(KeepReplyTail(b));
    EXPECT_EQ(AfterLastEcho("junk xz? xz?x1y2z3", "xz?"), "xz?x1y2z3");
    EXPECT_EQ(AfterLastEcho("junk x1y2z3", "xz?"), "junk x1y2z3");
}

} // namespace
} // namespace orv
