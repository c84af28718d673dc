// Broadcasters and listeners: delivery order, and links that stay sound
// when either side goes away, even in the middle of a broadcast.
#include "framework/LBroadcaster.h"
#include "framework/LListener.h"

#include <gtest/gtest.h>

#include <functional>
#include <memory>
#include <string>

namespace {

class Listener : public LListener {
public:
    Listener(std::string name, std::string& log) : mName(std::move(name)), mLog(log) {}
    void OnMessage(MessageT message, void* parameter) override {
        mLog += mName + std::to_string(message) + " ";
        lastParameter = parameter;
        if (onMessage) onMessage(message);
    }
    std::function<void(MessageT)> onMessage;
    void* lastParameter = nullptr;

private:
    std::string mName;
    std::string& mLog;
};

}  // namespace

TEST(LBroadcaster, DeliversInAttachmentOrderToListeningListeners) {
    std::string log;
    LBroadcaster broadcaster;
    Listener a("a", log), b("b", log), c("c", log);
    for (Listener* l : {&b, &a, &c, &b}) broadcaster.Attach(l);  // b only once
    EXPECT_EQ(broadcaster.CountListeners(), 3);
    EXPECT_EQ(b.CountBroadcasters(), 1);
    a.StopListening();
    int value = 5;
    broadcaster.Broadcast(7, &value);
    EXPECT_EQ(log, "b7 c7 ");
    EXPECT_EQ(c.lastParameter, &value);
}

TEST(LBroadcaster, ChangesDuringABroadcast) {
    std::string log;
    LBroadcaster broadcaster;
    Listener a("a", log), b("b", log), c("c", log);
    auto d = std::make_unique<Listener>("d", log);
    for (Listener* l : {&a, &b, d.get(), &c}) broadcaster.Attach(l);
    b.onMessage = [&](MessageT) {
        broadcaster.Detach(&b);  // detaching itself does not stop the broadcast
        d.reset();               // a listener destroyed before its turn is skipped
    };
    broadcaster.Broadcast(1);
    EXPECT_EQ(log, "a1 b1 c1 ");
    EXPECT_FALSE(b.HasBroadcaster(&broadcaster));
    EXPECT_EQ(broadcaster.CountListeners(), 2);
}

TEST(LBroadcaster, DestroyedByAListenerMidBroadcast) {
    std::string log;
    auto broadcaster = std::make_unique<LBroadcaster>();
    Listener a("a", log), b("b", log);
    broadcaster->Attach(&a);
    broadcaster->Attach(&b);
    a.onMessage = [&](MessageT m) {
        if (m == 1) broadcaster.reset();
    };
    broadcaster->Broadcast(1);
    // a got 1, then both heard the broadcaster die; the broadcast stopped there.
    EXPECT_EQ(log, "a1 a" + std::to_string(msg_BroadcasterDied) + " b" + std::to_string(msg_BroadcasterDied) + " ");
    EXPECT_EQ(a.CountBroadcasters(), 0);
    EXPECT_EQ(b.CountBroadcasters(), 0);
}

TEST(LBroadcaster, DestructionTellsListeningListenersOnly) {
    std::string log;
    Listener a("a", log), b("b", log);
    void* address = nullptr;
    {
        LBroadcaster broadcaster;
        address = &broadcaster;
        broadcaster.Attach(&a);
        broadcaster.Attach(&b);
        b.StopListening();
    }
    EXPECT_EQ(log, "a202 ");
    EXPECT_EQ(a.lastParameter, address);
    EXPECT_EQ(b.CountBroadcasters(), 0);
    {
        LBroadcaster quiet;
        quiet.Attach(&a);
        quiet.StopBroadcasting();
    }
    EXPECT_EQ(log, "a202 ");
    EXPECT_EQ(a.CountBroadcasters(), 0);
}
