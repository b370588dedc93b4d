#include <gtest/gtest.h>

#include "shared/timeline.h"

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
       "[    5.0 s] mesh     Mill mesh 1 visibility 3: always shown (external views and the cockpit)\n"},
      {R"({"t":5,"kind":"mesh","name":"Mill","index":1,"action":"visibility","mode":0})",
       "[    5.0 s] mesh     Mill mesh 1 visibility 0: never shown\n"},
      {R"({"t":5,"kind":"mesh","name":"Mill","index":1,"action":"visibility","mode":1})",
       "[    5.0 s] mesh     Mill mesh 1 visibility 1: shown in external views\n"},
      {R"({"t":5,"kind":"mesh","name":"Mill","index":1,"action":"visibility","mode":6})",
       "[    5.0 s] mesh     Mill mesh 1 visibility 6: shown in the cockpit and the virtual cockpit\n"},
      {R"({"t":5,"kind":"mesh","name":"Mill","index":1,"action":"visibility","mode":23})",
       "[    5.0 s] mesh     Mill mesh 1 visibility 23: always shown (external views, the cockpit, the virtual cockpit "
       "and other bits 0x10)\n"},
      {R"({"t":5,"kind":"mesh","name":"Mill","index":2,"action":"transform","mesh":"KVT_OREMILL_C","group":3,
           "transform":"rotate","axis":[0,1,0],"angle":1.5707963})",
       "[    5.0 s] mesh     Mill mesh 2 KVT_OREMILL_C: group 3 rotated by 90 deg (1.571 rad) about (0.00, 1.00, 0.00)\n"},
      {R"({"t":5,"kind":"mesh","name":"Mill","index":2,"action":"transform","mesh":"KVT_OREMILL_C","group":-1,
           "transform":"rotate"})",
       "[    5.0 s] mesh     Mill mesh 2 KVT_OREMILL_C: the whole mesh rotated\n"},
      {R"({"t":5,"kind":"mesh","name":"Mill","index":0,"action":"transform","mesh":"A","group":0,"transform":"translate"})",
       "[    5.0 s] mesh     Mill mesh 0 A: group 0 moved\n"},
      {R"({"t":5,"kind":"mesh","name":"Mill","index":0,"action":"added","mesh":"KVT_OREMILL_A"})",
       "[    5.0 s] mesh     Mill mesh 0 added KVT_OREMILL_A\n"},
      {R"({"t":5,"kind":"mesh","name":"Mill","index":2,"action":"shifted","offset":[0,-1.5,0]})",
       "[    5.0 s] mesh     Mill mesh 2 shifted by (0.00, -1.50, 0.00) m\n"},
      {R"({"t":5,"kind":"mesh","name":"Mill","index":25,"action":"deleted"})", "[    5.0 s] mesh     Mill mesh 25 deleted\n"},
      {R"({"t":12.3,"kind":"hud","lines":[{"x":5,"y":216,"text":"Ore cargo produced."}],"height":768})",
       "[   12.3 s] hud      row 18 (y=216 px) \"Ore cargo produced.\"\n"},
      {R"({"t":12.3,"kind":"hud","lines":[{"x":5,"y":216,"text":"b"},{"x":5,"y":144,"text":"say \"hi\"\\now"}],"height":768})",
       "[   12.3 s] hud      row 12 (y=144 px) \"say \\\"hi\\\"\\\\now\"\n"
       "[   12.3 s] hud      row 18 (y=216 px) \"b\"\n"},
      {R"({"t":12.3,"kind":"hud","lines":[{"x":5,"y":10,"text":"a"},{"x":300,"y":10,"text":"b"}],"height":600})",
       "[   12.3 s] hud      row 1 (x=5, y=10 px) \"a\"\n"
       "[   12.3 s] hud      row 1 (x=300, y=10 px) \"b\"\n"},
      {R"({"t":12.3,"kind":"hud","lines":[{"x":5,"y":0,"text":"a"},{"x":5,"y":0,"text":"b"}],"height":59})",
       "[   12.3 s] hud      y=0 px \"a\"\n"
       "[   12.3 s] hud      y=0 px \"b\"\n"},
      {R"({"t":12.3,"kind":"hud","lines":[{"x":5,"y":216,"text":"a"}]})", "[   12.3 s] hud      y=216 px \"a\"\n"},
      {R"({"t":27.3,"kind":"hud","lines":[]})", ""},
      {R"({"t":1,"kind":"debug","text":"UCGO not installed"})", "[    1.0 s] debug    \"UCGO not installed\"\n"},
      {R"({"t":1,"kind":"debug","text":"two\nlines"})", "[    1.0 s] debug    \"two\\x0Alines\"\n"},
      {R"({"t":2,"kind":"debug","text":""})", "[    2.0 s] debug    (clear)\n"},
      {R"({"t":4,"kind":"key","code":46,"name":"C","shift":true,"ctrl":false,"result":1})",
       "[    4.0 s] key      shift+C: consumed by Mill\n"},
      {R"({"t":4,"kind":"key","code":5,"shift":false,"ctrl":false,"result":0})",
       "[    4.0 s] key      4: not consumed by Mill, left to the simulator\n"},
      {R"({"t":4,"kind":"key","code":46,"shift":false,"ctrl":false,"rshift":true,"rctrl":true,"result":0,"up_result":0})",
       "[    4.0 s] key      rshift+rctrl+C: not consumed by Mill, left to the simulator\n"},
      {R"({"t":4,"kind":"key","code":46,"result":7,"up_result":1})",
       "[    4.0 s] key      C: Mill answered 7; its release answered 1\n"},
      {R"({"t":4,"kind":"key","code":46})", "[    4.0 s] key      C\n"},
      {R"({"t":2,"kind":"eva","vessel":"Mill","pos":[0,-1.25,6]})",
       "[    2.0 s] eva      crew member outside Mill at (0.0, -1.2, 6.0) m\n"},
      {R"({"t":2,"kind":"activate","vessel":"Mill","id":1})", "[    2.0 s] activate Mill area 1\n"},
      {R"({"t":2,"kind":"activate","vessel":"Mill","miss":true})", "[    2.0 s] activate Mill: nothing in reach\n"},
      {R"({"t":0,"kind":"airlock","vessel":"Mill","box":[-1,1,-2,0.5,4,6],"door":0,"aux":1,"free_seats":3})",
       "[    0.0 s] airlock  Mill x -1.0..1.0, y -2.0..0.5, z 4.0..6.0 m, door closed, 3 free seats, aux value 1\n"},
      {R"({"t":0,"kind":"airlock","vessel":"Mill","box":[-1,1,-2,0.5,4,6],"door":1,"aux":1000,"free_seats":1})",
       "[    0.0 s] airlock  Mill x -1.0..1.0, y -2.0..0.5, z 4.0..6.0 m, door open, 1 free seat, aux value 1000\n"},
      {R"({"t":0,"kind":"airlock","vessel":"Mill","door":2,"aux":0,"free_seats":0})",
       "[    0.0 s] airlock  Mill, door state 2, no free seat, aux value 0\n"},
      {R"({"t":0,"kind":"saved","file":"out.scn"})", "[    0.0 s] saved    out.scn\n"},
      {R"({"t":0,"kind":"loaded","file":"Scenarios/Demo.scn"})", "[    0.0 s] loaded   Scenarios/Demo.scn\n"},
      {R"({"t":0,"kind":"note","text":"UMmu.dll loaded"})", "[    0.0 s] note     UMmu.dll loaded\n"},
      {R"({"t":2,"kind":"story","line":6,"text":"The crew member walks out."})",
       "\n[    2.0 s] story    The crew member walks out.\n"},
      {R"({"t":0,"kind":"created","name":"Mill","class":"Calvane","status":"landed","lon":1,"lat":2,"local":[0,0,0],
           "empty_mass":2072})",
       "[    0.0 s] created  Mill (Calvane) landed at 1.0000000 E 2.0000000 N, the focus vessel, empty mass 2072 kg\n"},
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

struct HudStep {
  const char *lines;  // the "lines" of a hud event, as the simulation reports them
  const char *text;   // what the timeline tells of it
};

TEST(TimelineFormat, HudRowsAreToldWhenTheyChangeAppearOrGoAway) {
  const HudStep steps[] = {
      {R"([{"x":5,"y":252,"text":"Status: 0kg"}])", "[    1.0 s] hud      row 21 (y=252 px) \"Status: 0kg\"\n"},
      {R"([{"x":5,"y":216,"text":"Produced."},{"x":5,"y":252,"text":"Status: 0kg"}])",
       "[    1.0 s] hud      row 18 (y=216 px) \"Produced.\"\n"},
      {R"([{"x":5,"y":216,"text":"Produced."},{"x":5,"y":252,"text":"Status: 4000kg"}])",
       "[    1.0 s] hud      row 21 (y=252 px) \"Status: 4000kg\"\n"},
      {R"([{"x":5,"y":144,"text":"Released"},{"x":5,"y":252,"text":"Status: 4000kg"}])",
       "[    1.0 s] hud      row 12 (y=144 px) \"Released\"\n"
       "[    1.0 s] hud      row 18 (y=216 px) cleared\n"},
      {R"([{"x":5,"y":144,"text":"Released"},{"x":5,"y":252,"text":"Status: 4000kg"}])", ""},
      {R"([])",
       "[    1.0 s] hud      row 12 (y=144 px) cleared\n"
       "[    1.0 s] hud      row 21 (y=252 px) cleared\n"},
      {R"([{"x":5,"y":252,"text":"Status: 4000kg"}])", "[    1.0 s] hud      row 21 (y=252 px) \"Status: 4000kg\"\n"},
  };
  Timeline timeline;
  for (const HudStep &step : steps) {
    json event = {{"t", 1}, {"kind", "hud"}, {"height", 768}, {"lines", json::parse(step.lines)}};
    EXPECT_EQ(timeline.format(event), step.text) << step.lines;
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
            "  each line: [simulation time] what happened\n"
            "  the HUD's texts by row: row N is drawn at y = N x H/60 px of a HUD H px high\n");
  header = timeline.format(json::parse(
      R"({"t":0,"kind":"run","phase":"start","scenario":"a.scn","root":"t","script":null,"until":60,"dt":0.05,"warp":10})"));
  EXPECT_NE(header.find("\n  no script\n"), std::string::npos);
  EXPECT_NE(header.find("frames of 0.05 s of real time, time acceleration 10\n"), std::string::npos);

  EXPECT_EQ(timeline.format(json::parse(
                R"({"t":45.0,"kind":"run","phase":"end","status":"ok","frames":450,"vessels":["Mill","CARG01"]})")),
            "Finished at 45.0 s of simulation time after 450 frames; 2 vessels: Mill, CARG01\n");
  EXPECT_EQ(timeline.format(json::parse(R"({"t":0,"kind":"run","phase":"end","status":"failed","frames":1,"vessels":[]})")),
            "Failed at 0.0 s of simulation time after 1 frame; 0 vessels\n");

  // A world of many vessels is named by its first few.
  json many = {{"t", 86400}, {"kind", "run"}, {"phase", "end"}, {"status", "ok"}, {"frames", 864000}};
  many["vessels"] = json::array();
  for (int i = 0; i < 100000; ++i) many["vessels"].push_back("V" + std::to_string(i));
  EXPECT_EQ(timeline.format(many), "Finished at 86400.0 s of simulation time after 864 000 frames; 100 000 vessels: "
                                   "V0, V1, V2, V3, V4 and 99 995 more\n");
  many["vessels"] = {"A", "B", "C", "D", "E"};
  EXPECT_EQ(timeline.format(many),
            "Finished at 86400.0 s of simulation time after 864 000 frames; 5 vessels: A, B, C, D, E\n");
}

TEST(TimelineFormat, MalformedEventsDoNotThrow) {
  Timeline timeline;
  const char *events[] = {
      R"([1,2])",
      R"({"kind":"created"})",
      R"({"kind":"created","local":[1]})",
      R"({"kind":"hud","lines":"oops"})",
      R"({"kind":"hud","lines":[{"y":"x"}]})",
      R"({"kind":"hud","lines":[1,"a",null],"height":"tall"})",
      R"({"kind":"mesh","action":"visibility","mode":"all"})",
      R"({"kind":"mesh","action":"transform","axis":5,"angle":"x"})",
      R"({"kind":"story"})",
      R"({"kind":"hud","lines":[{"x":1e300,"y":-1e300,"text":"a"}],"height":1e300})",
      R"({"kind":"key","code":1e300,"result":-1e300})",
      R"({"kind":"run","phase":"end","frames":1e300,"vessels":[]})",
      R"({"kind":"airlock","door":1e300,"free_seats":-1e300})",
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
