#include "cli/win32/OutputCodePage.h"

#include <gtest/gtest.h>

#include <vector>

namespace netsetup::cli {
namespace {

UINT consolePage = 437;
std::vector<UINT> pagesSet;
UINT WINAPI getPage() { return consolePage; }
BOOL WINAPI setPage(UINT page) {
  pagesSet.push_back(page);
  consolePage = page;
  return TRUE;
}

// Ctrl+C only asks the tool to stop, and its way out through main restores the page; after a
// closed console the process ends when the handler returns, so the handler restores it. Once.
TEST(OutputCodePage, IsPutBackOnceHoweverTheToolEnds) {
  OutputCodePage page(getPage, setPage);
  std::atomic<unsigned> interrupts{0};
  page.switchTo(CP_UTF8);
  EXPECT_TRUE(onConsoleEvent(CTRL_C_EVENT, page, interrupts));
  EXPECT_TRUE(onConsoleEvent(CTRL_BREAK_EVENT, page, interrupts));
  EXPECT_EQ(interrupts.load(), 2u);
  EXPECT_EQ(consolePage, UINT{CP_UTF8});
  page.restore();
  page.switchTo(CP_UTF8);
  EXPECT_FALSE(onConsoleEvent(CTRL_CLOSE_EVENT, page, interrupts));
  EXPECT_EQ(consolePage, 437u);
  page.restore();
  EXPECT_EQ(pagesSet, (std::vector<UINT>{CP_UTF8, 437, CP_UTF8, 437}));
}

}  // namespace
}  // namespace netsetup::cli
