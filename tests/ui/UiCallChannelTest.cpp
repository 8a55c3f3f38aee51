#include "ui/UiCallChannel.h"

#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <future>
#include <memory>
#include <thread>

#include <QCoreApplication>
#include <QObject>
#include <QTest>

namespace ravolin {
namespace {

using namespace std::chrono_literals;

// A worker that makes one call and reports whether it ran.
std::future<bool> callFromWorker(const std::shared_ptr<UiCallChannel>& channel, std::function<void()> function) {
    return std::async(std::launch::async,
                      [channel, function = std::move(function)] { return channel->call(function); });
}

TEST(UiCallChannel, call_runsOnTheReceiversThreadWhileTheWorkerWaits) {
    QObject receiver;
    auto channel = std::make_shared<UiCallChannel>(&receiver);
    std::thread::id ranOn;
    std::future<bool> result = callFromWorker(channel, [&ranOn] { ranOn = std::this_thread::get_id(); });
    ASSERT_TRUE(QTest::qWaitFor([&] { return result.wait_for(0s) == std::future_status::ready; }, 10000));
    EXPECT_TRUE(result.get());
    EXPECT_EQ(ranOn, std::this_thread::get_id());
}

TEST(UiCallChannel, afterClose_callsReturnAtOnceWithoutRunning) {
    QObject receiver;
    auto channel = std::make_shared<UiCallChannel>(&receiver);
    channel->close();
    bool ran = false;
    EXPECT_FALSE(callFromWorker(channel, [&ran] { ran = true; }).get());
    bool read = false;
    EXPECT_FALSE(channel->whileOpen([&read] { read = true; }));
    QCoreApplication::processEvents();
    EXPECT_FALSE(ran);
    EXPECT_FALSE(read);
    EXPECT_FALSE(channel->isOpen());
}

TEST(UiCallChannel, closeWhileACallWaits_wakesTheWorkerAndTheCallNeverRuns) {
    QObject receiver;
    auto channel = std::make_shared<UiCallChannel>(&receiver);
    std::atomic<bool> ran = false;
    std::future<bool> result = callFromWorker(channel, [&ran] { ran = true; });
    ASSERT_TRUE(channel->waitForPendingCall(10s));
    channel->close();
    EXPECT_EQ(result.wait_for(10s), std::future_status::ready);
    EXPECT_FALSE(result.get());
    QCoreApplication::processEvents();  // the posted call is still queued: it must do nothing now
    EXPECT_FALSE(ran);
}

TEST(UiCallChannel, receiverDestroyedWithACallQueued_dropsTheCall) {
    auto receiver = std::make_unique<QObject>();
    auto channel = std::make_shared<UiCallChannel>(receiver.get());
    std::atomic<bool> ran = false;
    std::future<bool> result = callFromWorker(channel, [&ran] { ran = true; });
    ASSERT_TRUE(channel->waitForPendingCall(10s));
    // What a window does in its destructor, then dies.
    channel->close();
    receiver.reset();
    EXPECT_FALSE(result.get());
    QCoreApplication::processEvents();
    EXPECT_FALSE(ran);
    EXPECT_EQ(channel.use_count(), 1) << "the dropped call still holds the channel";
}

TEST(UiCallChannel, whileOpen_runsTheReadOnTheCallingThread) {
    QObject receiver;
    auto channel = std::make_shared<UiCallChannel>(&receiver);
    std::thread::id readOn;
    const bool open = std::async(std::launch::async, [&] {
                          return channel->whileOpen([&readOn] { readOn = std::this_thread::get_id(); });
                      }).get();
    EXPECT_TRUE(open);
    EXPECT_NE(readOn, std::this_thread::get_id());
}

}  // namespace
}  // namespace ravolin
