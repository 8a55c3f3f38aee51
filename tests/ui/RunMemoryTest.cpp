#include <sys/resource.h>

#include <fstream>

#include <QCoreApplication>
#include <QProcess>

#include "tests/ui/DialogFixture.h"
#include "ui/DialogTexts.h"

namespace ravolin {
namespace {

constexpr char kChildVariable[] = "RAVOLIN_MEMORY_CHILD";

// Memory running out is tried in a child process of this test program, under an address-space limit, so
// the rest of the suite keeps its memory.
TEST(RunOutOfMemory, endsTheRunWithAWarningAndTheWindowGoesOn) {
#if defined(__SANITIZE_ADDRESS__)
    GTEST_SKIP() << "AddressSanitizer reserves far more address space than the limit allows";
#endif
    QProcess child;
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert(kChildVariable, "1");
    child.setProcessEnvironment(env);
    child.setProcessChannelMode(QProcess::MergedChannels);
    child.start(QCoreApplication::applicationFilePath(), {"--gtest_filter=RunOutOfMemoryChild.*"});
    ASSERT_TRUE(child.waitForFinished(100000));
    const std::string output = child.readAll().toStdString();
    EXPECT_EQ(child.exitStatus(), QProcess::NormalExit) << output;
    EXPECT_EQ(child.exitCode(), 0) << output;
    EXPECT_NE(output.find("[  PASSED  ] 1 test."), std::string::npos) << output;
}

class RunOutOfMemoryChild : public DialogFixture {};

TEST_F(RunOutOfMemoryChild, underAnAddressSpaceLimit) {
    if (!qEnvironmentVariableIsSet(kChildVariable)) GTEST_SKIP() << "runs as the child of RunOutOfMemory only";
    // 30,000 passes of 1,000 bytes: 30 MB, under the pane's limit, but not with 20 MB to spare while the
    // expansion grows its text.
    writeSettingsWithFont("Loop=30000\r\n", "[Edit]\r\nOrigin=" + std::string(1000, 'x') + "\r\n");
    createAndShow();
    dialog->SetDlgItemText(kIdOutput, "before");
    std::ifstream statm("/proc/self/statm");
    unsigned long long pages = 0;
    statm >> pages;
    const rlim_t limit = pages * 4096 + (20ull << 20);
    const rlimit address{limit, limit};
    ASSERT_EQ(setrlimit(RLIMIT_AS, &address), 0);

    messageBox.scriptAnswer(IDOK);
    runToEnd();
    ASSERT_EQ(messageBox.calls().size(), 1u);
    EXPECT_EQ(messageBox.calls()[0].text, kOutOfMemoryMessage);
    EXPECT_EQ(messageBox.calls()[0].caption, "警告");
    EXPECT_EQ(dialog->GetDlgItemText(kIdOutput), "before");
    EXPECT_TRUE(dialog->GetDlgItem(kIdExecute)->isEnabled());

    // The window goes on: a small run works.
    dialog->SetDlgItemText(kIdLoopCount, "2");
    dialog->SetDlgItemText(kIdTemplate, "ok");
    runToEnd();
    EXPECT_EQ(dialog->GetDlgItemText(kIdOutput), "ok\r\nok");
}

}  // namespace
}  // namespace ravolin
