#include "files/ship_place.h"

#include "world/text.h"

namespace simhost {

ShipPlace readShipPlace(const ScenarioBlock &block) {
  ShipPlace place;
  for (const ScenarioBlock::Line &line : block.lines) {
    const text::FirstWords w(line.text);
    if (w.empty()) continue;
    const std::string_view rest = text::trim(line.text.substr(w[0].size()));
    if (text::iequals(w[0], "STATUS") && w.size() >= 3) {
      // The mill's own "Status <stage>" shares the word.
      place.landed = text::iequals(w[1], "Landed");
      place.orbiting = text::iequals(w[1], "Orbiting");
      if (place.landed || place.orbiting) place.body = std::string(w[2]);
    } else if (text::iequals(w[0], "BASE")) {
      place.base = std::string(rest);
    } else if (text::iequals(w[0], "POS")) {
      place.hasPos = true;
    } else if (text::iequals(w[0], "ATTACHED")) {
      const size_t comma = rest.find(',');
      if (comma != std::string_view::npos) place.parent = std::string(text::trim(rest.substr(comma + 1)));
    }
  }
  return place;
}

}  // namespace simhost
