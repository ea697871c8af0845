// The program as a process: an announcement that says stop shows the notice
// and ends with 0 before the window is shown; a window closed while a query
// waits lets the query finish and ends with 0.
#include <gtest/gtest.h>
#include <sys/wait.h>

#include <cstdio>
#include <cstdlib>
#include <string>

namespace {

struct DriverRun {
  int exitCode = -1;
  std::string output;
};

DriverRun RunDriver(const std::string& scenario) {
  setenv("QT_QPA_PLATFORM", "offscreen", 1);
  DriverRun run;
  FILE* pipe = popen((std::string(DSR_STARTUP_DRIVER) + " " + scenario).c_str(), "r");
  if (pipe == nullptr) return run;
  char buffer[512];
  while (std::fgets(buffer, sizeof buffer, pipe) != nullptr) run.output += buffer;
  const int status = pclose(pipe);
  run.exitCode = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
  return run;
}

TEST(Startup, StopAnnouncementShowsTheNoticeAndEndsWithoutTheWindow) {
  const DriverRun run = RunDriver("stop");
  EXPECT_EQ(run.exitCode, 0) << run.output;
  EXPECT_NE(run.output.find("message: \xE8\xAF\xB7\xE5\x8D\x87\xE7\xBA\xA7\xE5\x88\xB0\xE6\x96\xB0"
                            "\xE7\x89\x88\xE6\x9C\xAC\n"),  // 请升级到新版本
            std::string::npos)
      << run.output;
  EXPECT_EQ(run.output.find("window: shown"), std::string::npos) << run.output;
  EXPECT_NE(run.output.find("window-ever-shown: no"), std::string::npos) << run.output;
}

TEST(Startup, ClosingTheWindowDuringAQueryLetsItFinishAndEnds) {
  const DriverRun run = RunDriver("close-during-query");
  EXPECT_EQ(run.exitCode, 0) << run.output;
  EXPECT_NE(run.output.find("closed: yes\nlabel5: 4.8"), std::string::npos) << run.output;
  EXPECT_NE(run.output.find("visible-after-query: no"), std::string::npos) << run.output;
  EXPECT_EQ(run.output.find("message:"), std::string::npos) << run.output;
}

TEST(Startup, QtOptionsOnTheCommandLineDoNothing) {
  const DriverRun run = RunDriver("qt-options");
  EXPECT_EQ(run.exitCode, 0) << run.output;
  EXPECT_NE(run.output.find("direction: ltr\narguments: 1\n"), std::string::npos) << run.output;
}

}  // namespace
