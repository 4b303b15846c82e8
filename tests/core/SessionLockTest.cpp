// The session lock and how the document honours it: one holder per bank across spellings
// and processes, reads without it, reopening and Save As, and a holder that dies.
#include "core/SessionLock.h"
#include "BankFixture.h"
#include "core/Messages.h"
#include "core/QuorvellineDoc.h"

#include <sys/wait.h>
#include <unistd.h>

using namespace kelvo;
using kelvo::test::ReadFileBytes;
using kelvo::test::TempFolder;

namespace {

std::filesystem::path NewBank(const TempFolder& dir, const std::string& name) {
    CQuorvellineDoc doc;
    EXPECT_TRUE(doc.OnNewDocument().ok());
    EXPECT_TRUE(doc.SaveAs(dir / name).ok());
    return dir / name;
}

} // namespace

TEST(SessionLock, OneHolderPerBankWhateverTheSpelling) {
    TempFolder dir;
    const auto bank = NewBank(dir, "банк.Kvb");
    SessionLock first;
    ASSERT_TRUE(first.Acquire(bank));
    EXPECT_TRUE(first.Holds());
    EXPECT_TRUE(first.Acquire(bank)); // its own bank again: kept, not refused by itself
    SessionLock second;
    EXPECT_FALSE(second.Acquire(dir.path() / "." / "банк.Kvb"));
    EXPECT_FALSE(second.Holds());
    std::filesystem::create_symlink(bank, dir / "link.Kvb");
    EXPECT_FALSE(second.Acquire(dir / "link.Kvb"));
    // Another bank is another lock; a released one is free again.
    EXPECT_TRUE(second.Acquire(NewBank(dir, "другой.Kvb")));
    first.Release();
    SessionLock third;
    EXPECT_TRUE(third.Acquire(bank));
    // Moving hands the lock over.
    SessionLock moved = std::move(third);
    EXPECT_TRUE(moved.Holds());
    EXPECT_FALSE(third.Holds());
    EXPECT_FALSE(first.Acquire(bank));
}

TEST(SessionLock, AHolderThatDiesLeavesTheBankFree) {
    TempFolder dir;
    const auto bank = NewBank(dir, "b.Kvb");
    int ready[2];
    ASSERT_EQ(pipe(ready), 0);
    const pid_t child = fork();
    ASSERT_GE(child, 0);
    if (child == 0) {
        SessionLock lock;
        const char ok = lock.Acquire(bank) && lock.Holds() ? 'y' : 'n';
        (void)!write(ready[1], &ok, 1);
        pause(); // killed while holding the lock
        _exit(0);
    }
    char ok = 0;
    ASSERT_EQ(read(ready[0], &ok, 1), 1);
    EXPECT_EQ(ok, 'y');
    SessionLock mine;
    EXPECT_FALSE(mine.Acquire(bank)); // held by the other process
    kill(child, SIGKILL);
    waitpid(child, nullptr, 0);
    EXPECT_TRUE(mine.Acquire(bank));
    EXPECT_TRUE(mine.Holds());
    close(ready[0]);
    close(ready[1]);
}

TEST(SessionLock, TheDocumentHoldsItsBankForChangingOnly) {
    TempFolder dir;
    const auto bank = NewBank(dir, "b.Kvb");
    CQuorvellineDoc window;
    ASSERT_TRUE(window.OnOpenDocument(bank).ok());
    EXPECT_TRUE(window.holdsLock());
    window.AddNode(TreeKind::Records, window.records().first(), "unsaved work");
    const std::string before = ReadFileBytes(bank);

    // Another document that wants to change the bank is refused with the message that
    // names it, and changes nothing.
    CQuorvellineDoc other;
    auto refused = other.OnOpenDocument(bank);
    ASSERT_FALSE(refused.ok());
    EXPECT_EQ(refused.error().messageId, msg::BankBusy);
    EXPECT_NE(refused.error().message.find(bank.string()), std::string::npos);
    EXPECT_EQ(refused.error().message.find("%"), std::string::npos);
    EXPECT_FALSE(other.hasFile());

    // Reading is allowed; saving what was read over the held bank is refused.
    CQuorvellineDoc reader;
    ASSERT_TRUE(reader.OnOpenDocument(bank, BankAccess::Read).ok());
    EXPECT_FALSE(reader.holdsLock());
    EXPECT_EQ(reader.records().size(), 1u);
    reader.AddNode(TreeKind::Records, reader.records().first(), "from the reader");
    auto saved = reader.Save();
    ASSERT_FALSE(saved.ok());
    EXPECT_EQ(saved.error().messageId, msg::BankBusy);
    EXPECT_EQ(ReadFileBytes(bank), before);

    // The holder saves as usual, reopens its own bank without refusing itself, and lets
    // the bank go when it starts a new one.
    ASSERT_TRUE(window.Save().ok());
    ASSERT_TRUE(window.OnOpenDocument(bank).ok());
    EXPECT_EQ(window.records().size(), 2u);
    ASSERT_TRUE(window.OnNewDocument().ok());
    EXPECT_FALSE(window.holdsLock());
    EXPECT_TRUE(other.OnOpenDocument(bank).ok());
}

TEST(SessionLock, SaveAsMovesTheLockToTheNewFile) {
    TempFolder dir;
    const auto first = NewBank(dir, "a.Kvb");
    const auto taken = NewBank(dir, "taken.Kvb");
    CQuorvellineDoc holder;
    ASSERT_TRUE(holder.OnOpenDocument(taken).ok());

    CQuorvellineDoc doc;
    ASSERT_TRUE(doc.OnOpenDocument(first).ok());
    const std::string takenBefore = ReadFileBytes(taken);
    auto refused = doc.SaveAs(taken);
    ASSERT_FALSE(refused.ok());
    EXPECT_EQ(refused.error().messageId, msg::BankBusy);
    EXPECT_EQ(ReadFileBytes(taken), takenBefore);
    EXPECT_EQ(doc.path(), first);

    ASSERT_TRUE(doc.SaveAs(dir / "b.Kvb").ok());
    SessionLock probe;
    EXPECT_TRUE(probe.Acquire(first)); // the old bank is free
    probe.Release();
    EXPECT_FALSE(probe.Acquire(dir / "b.Kvb"));
}
