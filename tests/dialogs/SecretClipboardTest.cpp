// When a copied password is taken off the clipboard: after the delay, and only while the
// clipboard still holds it.
#include "dialogs/SecretClipboard.h"

#include <gtest/gtest.h>

namespace kelvo {
namespace {

using namespace std::chrono_literals;

class FakeClock : public MonotonicClock {
public:
    TimePoint Now() const override { return now; }
    TimePoint now{std::chrono::seconds(1000)};
};

TEST(SecretClipboardTimerTest, ClearsAfterTheDelayOnlyWhatItPlaced) {
    FakeClock clock;
    SecretClipboardTimer timer(clock);
    EXPECT_FALSE(timer.Pending());
    EXPECT_FALSE(timer.Remaining());
    EXPECT_FALSE(timer.ShouldClear("anything"));

    timer.Placed("s3cret");
    EXPECT_TRUE(timer.Pending());
    EXPECT_EQ(*timer.Remaining(), 20000ms);
    clock.now += 19999ms;
    EXPECT_EQ(*timer.Remaining(), 1ms);
    EXPECT_FALSE(timer.ShouldClear("s3cret")); // not yet
    EXPECT_TRUE(timer.Pending());
    clock.now += 1ms;
    EXPECT_EQ(*timer.Remaining(), 0ms);
    EXPECT_TRUE(timer.ShouldClear("s3cret"));
    EXPECT_FALSE(timer.Pending()); // asked once, then forgotten
    EXPECT_FALSE(timer.ShouldClear("s3cret"));

    // The user copied something else meanwhile: it stays, and the secret is forgotten.
    timer.Placed("s3cret");
    clock.now += 25s;
    EXPECT_FALSE(timer.ShouldClear("a note of the user"));
    EXPECT_FALSE(timer.Pending());
}

TEST(SecretClipboardTimerTest, ANewCopyRestartsTheTimeAndExitClearsAPendingSecret) {
    FakeClock clock;
    SecretClipboardTimer timer(clock);
    timer.Placed("first");
    clock.now += 15s;
    timer.Placed("second");
    clock.now += 15s; // 30 s after the first copy, 15 s after the second
    EXPECT_FALSE(timer.ShouldClear("second"));
    clock.now += 5s;
    EXPECT_TRUE(timer.ShouldClear("second"));

    // At exit a pending secret still on the clipboard goes at once, and only then.
    timer.Placed("third");
    EXPECT_FALSE(timer.ShouldClearNow("something else"));
    EXPECT_FALSE(timer.Pending());
    timer.Placed("third");
    EXPECT_TRUE(timer.ShouldClearNow("third"));
    EXPECT_FALSE(timer.ShouldClearNow("third"));
}

} // namespace
} // namespace kelvo
