#include <gtest/gtest.h>

#include "command/timeline.h"

namespace simhost::command {
namespace {

using nlohmann::json;

struct EventCase {
  const char *event;  // as the simulation reports it
  const char *text;   // the timeline's lines
};

TEST(TimelineFormat, EachEventKindReadsAsOneLine) {
  const EventCase cases[] = {
      {R"({"t":12.34,"sys":12.34,"kind":"created","name":"CARG01","class":"UCGO\\Cargos\\KVT_Ore_Cargo",
           "status":"landed","lon":2.10345671,"lat":0.6123456,"local":[-8.6,0.0,0.0],"empty_mass":4000})",
       "[   12.3 s] created  CARG01 (UCGO\\Cargos\\KVT_Ore_Cargo) landed at 2.1034567 E 0.6123456 N, "
       "(-8.6, 0.0, 0.0) m from Mill, empty mass 4000 kg\n"},
      {R"({"t":1,"kind":"created","name":"Probe","class":"Probe","status":"flight","lon":-33.5,"lat":-1.25,
           "local":[-0.01,2,100.04],"empty_mass":75.5})",
       "[    1.0 s] created  Probe (Probe) in flight at 33.5000000 W 1.2500000 S, (0.0, 2.0, 100.0) m from Mill, "
       "empty mass 75.5 kg\n"},
      {R"({"t":0,"kind":"deleted","name":"BoxB1"})", "[    0.0 s] deleted  BoxB1\n"},
      {R"({"t":3.05,"kind":"mass","name":"Mill","empty_mass":3000})", "[    3.0 s] mass     Mill empty mass 3000 kg\n"},
      {R"({"t":3.06,"kind":"mass","name":"Mill","empty_mass":3075.25})",
       "[    3.1 s] mass     Mill empty mass 3075.25 kg\n"},
      {R"({"t":5,"kind":"mesh","name":"Mill","index":1,"action":"visibility","mode":3})",
       "[    5.0 s] mesh     Mill mesh 1 visibility 3\n"},
      {R"({"t":5,"kind":"mesh","name":"Mill","index":0,"action":"added","mesh":"KVT_OREMILL_A"})",
       "[    5.0 s] mesh     Mill mesh 0 added KVT_OREMILL_A\n"},
      {R"({"t":5,"kind":"mesh","name":"Mill","index":2,"action":"shifted","offset":[0,-1.5,0]})",
       "[    5.0 s] mesh     Mill mesh 2 shifted by (0.00, -1.50, 0.00) m\n"},
      {R"({"t":5,"kind":"mesh","name":"Mill","index":25,"action":"deleted"})", "[    5.0 s] mesh     Mill mesh 25 deleted\n"},
      {R"({"t":12.3,"kind":"hud","lines":[{"x":5,"y":216,"text":"Ore cargo produced."}]})",
       "[   12.3 s] hud      y=216 \"Ore cargo produced.\"\n"},
      {R"({"t":12.3,"kind":"hud","lines":[{"x":5,"y":144,"text":"a"},{"x":5,"y":216,"text":"say \"hi\"\\now"}]})",
       "[   12.3 s] hud      y=144 \"a\"\n"
       "[   12.3 s] hud      y=216 \"say \\\"hi\\\"\\\\now\"\n"},
      {R"({"t":12.3,"kind":"hud","lines":[{"x":5,"y":10,"text":"a"},{"x":300,"y":10,"text":"b"}]})",
       "[   12.3 s] hud      x=5 y=10 \"a\"\n"
       "[   12.3 s] hud      x=300 y=10 \"b\"\n"},
      {R"({"t":27.3,"kind":"hud","lines":[]})", "[   27.3 s] hud      (clear)\n"},
      {R"({"t":1,"kind":"debug","text":"UCGO not installed"})", "[    1.0 s] debug    \"UCGO not installed\"\n"},
      {R"({"t":1,"kind":"debug","text":"two\nlines"})", "[    1.0 s] debug    \"two\\x0Alines\"\n"},
      {R"({"t":2,"kind":"debug","text":""})", "[    2.0 s] debug    (clear)\n"},
      {R"({"t":4,"kind":"key","code":46,"name":"C","shift":true,"ctrl":false,"result":1})",
       "[    4.0 s] key      shift+C -> 1\n"},
      {R"({"t":4,"kind":"key","code":5,"shift":false,"ctrl":false,"result":0})", "[    4.0 s] key      4 -> 0\n"},
      {R"({"t":2,"kind":"eva","vessel":"Mill","pos":[0,-1.25,6]})",
       "[    2.0 s] eva      crew member outside Mill at (0.0, -1.2, 6.0) m\n"},
      {R"({"t":2,"kind":"activate","vessel":"Mill","id":1})", "[    2.0 s] activate Mill area 1\n"},
      {R"({"t":2,"kind":"activate","vessel":"Mill","miss":true})", "[    2.0 s] activate Mill: nothing in reach\n"},
      {R"({"t":0,"kind":"airlock","vessel":"Mill","box":[-1,1,-2,0.5,4,6],"door":0,"aux":1,"free_seats":3})",
       "[    0.0 s] airlock  Mill x -1.0..1.0, y -2.0..0.5, z 4.0..6.0 m, door 0, aux 1, 3 free seats\n"},
      {R"({"t":0,"kind":"saved","file":"out.scn"})", "[    0.0 s] saved    out.scn\n"},
      {R"({"t":0,"kind":"loaded","file":"Scenarios/Demo.scn"})", "[    0.0 s] loaded   Scenarios/Demo.scn\n"},
      {R"({"t":0,"kind":"note","text":"UMmu.dll loaded"})", "[    0.0 s] note     UMmu.dll loaded\n"},
      {R"({"t":10,"kind":"script","line":4,"action":"key shift+C"})", "[   10.0 s] script   line 4: key shift+C\n"},
      {R"({"t":10,"kind":"error","line":5,"action":"delete BoxX","text":"no vessel BoxX"})",
       "[   10.0 s] error    line 5: delete BoxX: no vessel BoxX\n"},
      {R"({"t":0,"kind":"error","text":"scenario refused: x.scn:3: bad"})",
       "[    0.0 s] error    scenario refused: x.scn:3: bad\n"},
      {R"({"t":99999.96,"kind":"deleted","name":"A"})", "[100000.0 s] deleted  A\n"},
      {R"({"t":-0.01,"kind":"deleted","name":"A"})", "[    0.0 s] deleted  A\n"},
      {R"({"t":1,"kind":"sunrise","where":"Mill"})", "[    1.0 s] sunrise  {\"where\":\"Mill\"}\n"},
  };
  for (const EventCase &c : cases) {
    Timeline timeline;
    timeline.setFocusName("Mill");
    EXPECT_EQ(timeline.format(json::parse(c.event)), c.text) << c.event;
  }
}

TEST(TimelineFormat, NewVesselsAreMeasuredFromTheVesselInFocus) {
  Timeline timeline;
  const json created = json::parse(
      R"({"t":1,"kind":"created","name":"B","class":"C","status":"landed","lon":0,"lat":0,"local":[1,0,2],"empty_mass":1})");
  EXPECT_NE(timeline.format(created).find("(1.0, 0.0, 2.0) m from the focus vessel,"), std::string::npos);
  EXPECT_EQ(timeline.format(json::parse(R"({"t":1,"kind":"focus","name":"Lander"})")), "[    1.0 s] focus    Lander\n");
  EXPECT_NE(timeline.format(created).find("(1.0, 0.0, 2.0) m from Lander,"), std::string::npos);
}

TEST(TimelineFormat, RunHeaderAndSummaryTellWhatRanAndWhereItEnded) {
  Timeline timeline;
  std::string header = timeline.format(json::parse(
      R"({"t":0,"kind":"run","phase":"start","scenario":"Scenarios/Demo.scn","root":"/opt/tree","script":"Scenarios/Demo.script",
          "script_from":"beside","events":1,"until":45,"dt":0.1,"warp":1})"));
  EXPECT_EQ(header,
            "simhost: scenario Scenarios/Demo.scn on the simulator tree /opt/tree\n"
            "  script Scenarios/Demo.script (found beside the scenario), 1 event\n"
            "  runs until 45 s of simulation time, frames of 0.1 s of real time, time acceleration 1\n"
            "  each line: [simulation time] what happened\n");
  header = timeline.format(json::parse(
      R"({"t":0,"kind":"run","phase":"start","scenario":"a.scn","root":"t","script":null,"until":60,"dt":0.05,"warp":10})"));
  EXPECT_NE(header.find("\n  no script\n"), std::string::npos);
  EXPECT_NE(header.find("frames of 0.05 s of real time, time acceleration 10\n"), std::string::npos);

  EXPECT_EQ(timeline.format(json::parse(
                R"({"t":45.0,"kind":"run","phase":"end","status":"ok","frames":450,"vessels":["Mill","CARG01"]})")),
            "Finished at 45.0 s of simulation time after 450 frames; 2 vessels: Mill, CARG01\n");
  EXPECT_EQ(timeline.format(json::parse(R"({"t":0,"kind":"run","phase":"end","status":"failed","frames":1,"vessels":[]})")),
            "Failed at 0.0 s of simulation time after 1 frame; 0 vessels\n");
}

TEST(TimelineFormat, MalformedEventsDoNotThrow) {
  Timeline timeline;
  const char *events[] = {
      R"([1,2])",
      R"({"kind":"created"})",
      R"({"kind":"created","local":[1]})",
      R"({"kind":"hud","lines":"oops"})",
      R"({"kind":"hud","lines":[{"y":"x"}]})",
      R"({"kind":"key","code":"C","shift":"yes"})",
      R"({"kind":"mesh","offset":5})",
      R"({"kind":"airlock","box":[1,2]})",
      R"({"kind":"activate","miss":"no"})",
      R"({"kind":"run","phase":"end","vessels":[1]})",
      R"({"t":"soon"})",
  };
  for (const char *event : events) EXPECT_NO_THROW(timeline.format(json::parse(event))) << event;
}

}  // namespace
}  // namespace simhost::command
