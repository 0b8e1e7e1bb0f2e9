// Which handles the Java process inherits. Wine passes a child the standard
// handles of its STARTUPINFO even when the handle list leaves them out, and a
// list entry Windows refuses (null among them) makes Windows inherit nothing
// while Wine carries on: so this table, not a run under Wine, shows the list.
#include <gtest/gtest.h>
#include <windows.h>

#include <vector>

#include "inherited_handles.h"

namespace {

HANDLE handle(intptr_t value) { return reinterpret_cast<HANDLE>(value); }

std::vector<HANDLE> choose(HANDLE log, HANDLE input, bool input_inheritable) {
  HANDLE handles[kInheritedHandlesCapacity] = {};
  const size_t count = choose_inherited_handles(log, input, input_inheritable, handles);
  return std::vector<HANDLE>(handles, handles + count);
}

TEST(InheritedHandles, OnlyTheLogAndARealInheritableStandardInput) {
  const HANDLE log = handle(0x44);
  const HANDLE input = handle(0x1C);
  struct Case {
    const char* name;
    HANDLE log;
    HANDLE input;
    bool input_inheritable;
    std::vector<HANDLE> chosen;
  };
  const Case cases[] = {
      {"log and inheritable input", log, input, true, {log, input}},
      {"input not inheritable", log, input, false, {log}},
      {"input null", log, nullptr, true, {log}},
      {"input INVALID_HANDLE_VALUE", log, INVALID_HANDLE_VALUE, true, {log}},
      {"input the current thread's pseudo handle", log, GetCurrentThread(), true, {log}},
      {"input the current token's pseudo handle", log, handle(-4), true, {log}},
      {"input an old console pseudo handle", log, handle(0x3), true, {log}},
      {"input the log itself", log, log, true, {log}},
      {"log missing", INVALID_HANDLE_VALUE, input, true, {}},
      {"log null", nullptr, input, true, {}},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(choose(c.log, c.input, c.input_inheritable), c.chosen) << c.name;
  }
}

}  // namespace
