#include <gtest/gtest.h>

#include "env/terminal_env.h"

namespace zelto {
namespace {

TEST(PortParser, AcceptedTexts) {
  const std::pair<std::string, std::uint16_t> cases[] = {
      {"1", 1}, {"65535", 65535}, {"+8080", 8080}, {"008080", 8080}, {"0", 0}, {std::string(26, '0') + "8080", 8080},
      {"+0065535", 65535},
  };
  for (const auto& [text, port] : cases) EXPECT_EQ(parse_port(text), port) << text;
}

TEST(PortParser, RefusedTexts) {
  const std::string refused[] = {"", "+", "-", "-1", "-0", " 8080", "8080 ", "80a", "65536", "99999", "++1", "+-1",
                                 "1e3", "0x1F", "8080\n", "\t1", "٨٠", "0000x", std::string(30, '9'), "4294967297", "18446744073709617152"};
  for (const std::string& text : refused) {
    EXPECT_FALSE(parse_port(text)) << text;
  }
}

}  // namespace
}  // namespace zelto
