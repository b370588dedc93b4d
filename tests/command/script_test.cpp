#include <gtest/gtest.h>

#include "shared/script.h"

namespace simhost::command {
namespace {

ScriptEvent parseOne(const std::string &line) {
  std::vector<ScriptEvent> events;
  std::vector<std::string> errors;
  EXPECT_TRUE(parseScript(line, "test.script", events, errors)) << line << ": " << (errors.empty() ? "" : errors[0]);
  EXPECT_EQ(events.size(), 1u) << line;
  return events.empty() ? ScriptEvent() : events[0];
}

TEST(ScriptParsing, EachVerbReadsItsArguments) {
  ScriptEvent e = parseOne("12.5 key shift+C");
  EXPECT_EQ(e.time, 12.5);
  EXPECT_EQ(e.verb, ScriptVerb::Key);
  EXPECT_EQ(e.key.code, 0x2Eu);
  EXPECT_TRUE(e.key.shift);
  EXPECT_FALSE(e.key.ctrl);
  EXPECT_EQ(e.action, "key shift+C");

  e = parseOne("12.5 key rshift+rctrl+C");
  EXPECT_EQ(e.key.code, 0x2Eu);
  EXPECT_FALSE(e.key.shift);
  EXPECT_TRUE(e.key.rshift);
  EXPECT_TRUE(e.key.rctrl);

  e = parseOne("0 focus Mill");
  EXPECT_EQ(e.verb, ScriptVerb::Focus);
  EXPECT_EQ(e.name, "Mill");

  e = parseOne("3 warp 10");
  EXPECT_EQ(e.verb, ScriptVerb::Warp);
  EXPECT_EQ(e.value, 10);

  e = parseOne("3 pause on");
  EXPECT_EQ(e.verb, ScriptVerb::Pause);
  EXPECT_TRUE(e.on);
  e = parseOne("3 hud off");
  EXPECT_EQ(e.verb, ScriptVerb::Hud);
  EXPECT_FALSE(e.on);

  e = parseOne("1 place BoxB1 UCGO\\Cargos\\BoxB Mill -8.5 +3 90");
  EXPECT_EQ(e.verb, ScriptVerb::Place);
  EXPECT_EQ(e.name, "BoxB1");
  EXPECT_EQ(e.className, "UCGO\\Cargos\\BoxB");
  EXPECT_EQ(e.near, "Mill");
  EXPECT_EQ(e.x, -8.5);
  EXPECT_EQ(e.z, 3);
  EXPECT_EQ(e.heading, 90);
  e = parseOne("1 place BoxB1 UCGO\\Cargos\\BoxB Mill 1 2");
  EXPECT_EQ(e.heading, 0);

  e = parseOne("2 delete BoxB1");
  EXPECT_EQ(e.verb, ScriptVerb::Delete);
  EXPECT_EQ(e.name, "BoxB1");
  e = parseOne("2 mass Mill 3000.5");
  EXPECT_EQ(e.verb, ScriptVerb::Mass);
  EXPECT_EQ(e.value, 3000.5);
  e = parseOne("2 attach Box Mill");
  EXPECT_EQ(e.verb, ScriptVerb::Attach);
  EXPECT_EQ(e.name, "Box");
  EXPECT_EQ(e.other, "Mill");
  e = parseOne("2 detach Box");
  EXPECT_EQ(e.verb, ScriptVerb::Detach);
  EXPECT_EQ(e.name, "Box");
  e = parseOne("2 afcmode Mill 0x7");
  EXPECT_EQ(e.verb, ScriptVerb::AfcMode);
  EXPECT_EQ(e.bits, 7u);
  e = parseOne("2 afcmode Mill 4294967295");
  EXPECT_EQ(e.bits, 0xFFFFFFFFu);
  e = parseOne("2 eva Mill 0 -1.5 +6.25");
  EXPECT_EQ(e.verb, ScriptVerb::Eva);
  EXPECT_EQ(e.name, "Mill");
  EXPECT_EQ(e.x, 0);
  EXPECT_EQ(e.y, -1.5);
  EXPECT_EQ(e.z, 6.25);
  e = parseOne("2 activate Mill");
  EXPECT_EQ(e.verb, ScriptVerb::Activate);
  EXPECT_EQ(e.name, "Mill");
  e = parseOne("2 save out/after.scn");
  EXPECT_EQ(e.verb, ScriptVerb::Save);
  EXPECT_EQ(e.file, "out/after.scn");
  e = parseOne(".5 stop");
  EXPECT_EQ(e.verb, ScriptVerb::Stop);
  EXPECT_EQ(e.time, 0.5);
}

TEST(ScriptParsing, CommentsBlankLinesAndLineEndingsAreSkippedButCounted) {
  const std::string text =
      "# the mill's first box\n"
      "\n"
      "   \t  \r\n"
      "1.0 key 7   # produce now\r\n"
      "\t2 key\tshift+C\n"
      "2 stop";  // at the same time as the one before, and no newline at the end
  std::vector<ScriptEvent> events;
  std::vector<std::string> errors;
  ASSERT_TRUE(parseScript(text, "a.script", events, errors));
  ASSERT_EQ(events.size(), 3u);
  EXPECT_EQ(events[0].line, 4);
  EXPECT_EQ(events[0].action, "key 7");
  EXPECT_EQ(events[1].line, 5);
  EXPECT_EQ(events[1].action, "key\tshift+C");
  EXPECT_EQ(events[2].line, 6);
  EXPECT_EQ(events[2].time, 2);
}

struct BadLine {
  const char *line;
  const char *message;
};

TEST(ScriptParsing, BadLinesAreRefusedWithFileLineAndReason) {
  const BadLine cases[] = {
      {"key C", "must start with a time in seconds"},
      {"-1 key C", "not \"-1\""},
      {"1e3 key C", "not \"1e3\""},
      {"inf key C", "not \"inf\""},
      {"nan stop", "not \"nan\""},
      {"1.2.3 stop", "not \"1.2.3\""},
      {". stop", "not \".\""},
      {"5", "a verb must follow the time"},
      {"5 # only a comment after the time", "a verb must follow the time"},
      {"5 jump Mill", "unknown verb \"jump\""},
      {"5 KEY C", "unknown verb \"KEY\""},
      {"5 key", "key takes [shift+][ctrl+][rshift+][rctrl+]KEY, not 0 arguments"},
      {"5 key lshift+C", "unknown key modifier \"lshift\" (use shift+, ctrl+, rshift+ or rctrl+)"},
      {"5 Fault clear", "(verbs: key, focus, warp, pause, hud, place, delete, mass, attach, detach, afcmode, eva, "
                        "activate, save, fault, stop)"},
      {"5 key shift+C 7", "not 2 arguments"},
      {"5 key alt+C", "unknown key modifier \"alt\""},
      {"5 key F13", "no key \"F13\""},
      {"5 focus", "focus takes VESSEL, not 0 arguments"},
      {"5 warp 0", "warp needs a time acceleration above 0"},
      {"5 warp -2", "not \"-2\""},
      {"5 warp fast", "not \"fast\""},
      {"5 pause yes", "pause needs on or off, not \"yes\""},
      {"5 hud ON", "hud needs on or off, not \"ON\""},
      {"5 place A B C 1", "place takes NAME CLASS NEAR X Z [HEADING], not 4 arguments"},
      {"5 place A B C 1 2 3 4", "not 7 arguments"},
      {"5 place A B C x 2", "for X, not \"x\""},
      {"5 place A B C 1 z", "for Z, not \"z\""},
      {"5 place A B C 1 2 east", "for HEADING, not \"east\""},
      {"5 delete", "delete takes NAME, not 0 arguments"},
      {"5 mass Mill", "mass takes NAME KG, not 1 argument"},
      {"5 mass Mill -5", "mass needs a number of kilograms >= 0, not \"-5\""},
      {"5 attach Box", "attach takes CHILD PARENT"},
      {"5 detach", "detach takes CHILD"},
      {"5 afcmode Mill 0x1FFFFFFFF", "afcmode needs BITS"},
      {"5 afcmode Mill 4294967296", "afcmode needs BITS"},
      {"5 afcmode Mill 7x", "afcmode needs BITS"},
      {"5 eva Mill 1 2", "eva takes VESSEL X Y Z, not 3 arguments"},
      {"5 eva Mill 1 2 up", "eva needs X Y Z in metres"},
      {"5 activate", "activate takes VESSEL, not 0 arguments"},
      {"5 activate Mill 1", "not 2 arguments"},
      {"5 save", "save takes FILE"},
      {"5 stop now", "stop takes no arguments, not 1 argument"},
  };
  for (const BadLine &c : cases) {
    std::string text = std::string("# header\n0 focus Mill\n") + c.line + "\n";
    std::vector<ScriptEvent> events;
    std::vector<std::string> errors;
    EXPECT_FALSE(parseScript(text, "dir/bad.script", events, errors)) << c.line;
    ASSERT_EQ(errors.size(), 1u) << c.line;
    EXPECT_EQ(errors[0].rfind("dir/bad.script:3: ", 0), 0u) << errors[0];
    EXPECT_NE(errors[0].find(c.message), std::string::npos) << c.line << " -> " << errors[0];
    EXPECT_TRUE(events.empty()) << "a refused script gives no events: " << c.line;
  }
}

TEST(ScriptParsing, EveryBadLineIsNamedInFileOrder) {
  std::vector<ScriptEvent> events;
  std::vector<std::string> errors;
  EXPECT_FALSE(parseScript("1 jump\n2 key C\n3 warp 0\n", "s", events, errors));
  ASSERT_EQ(errors.size(), 2u);
  EXPECT_EQ(errors[0].rfind("s:1: ", 0), 0u);
  EXPECT_EQ(errors[1].rfind("s:3: ", 0), 0u);
}

struct BackwardsCase {
  const char *text;
  const char *error;  // "" when the script is taken
};

TEST(ScriptParsing, TimesThatGoBackAreRefusedWithTheirLine) {
  const BackwardsCase cases[] = {
      {"1 key C\n1 key 7\n1.0 stop\n", ""},
      {"0 key C\n# x\n10 key 7\n\n9.5 stop\n", "s:5: the time 9.5 s comes before 10 s of line 3: a script's times may not go back"},
      {"5 key C\n2 key 7\n3 stop\n", "s:2: the time 2 s comes before 5 s of line 1"},
      {"5 key C\n2 key 7\n3 stop\n", "s:3: the time 3 s comes before 5 s of line 1"},
      {"5 key C\n6 jump\n2 stop\n", "s:3: the time 2 s comes before 5 s of line 1"},
  };
  for (const BackwardsCase &c : cases) {
    std::vector<ScriptEvent> events;
    std::vector<std::string> errors;
    const bool taken = parseScript(c.text, "s", events, errors);
    EXPECT_EQ(taken, *c.error == '\0') << c.text;
    if (taken) continue;
    bool told = false;
    for (const std::string &error : errors) told = told || error.rfind(c.error, 0) == 0;
    EXPECT_TRUE(told) << c.text << " -> " << (errors.empty() ? "" : errors.front());
  }
}

TEST(ScriptParsing, AnEmptyScriptHasNoEvents) {
  std::vector<ScriptEvent> events{ScriptEvent()};
  std::vector<std::string> errors;
  EXPECT_TRUE(parseScript("", "s", events, errors));
  EXPECT_TRUE(events.empty());
  EXPECT_TRUE(parseScript("# nothing\n\n", "s", events, errors));
  EXPECT_TRUE(events.empty());
}

}  // namespace
}  // namespace simhost::command
