#include "files/ship_place.h"

#include "world/text.h"

namespace simhost {

ShipPlace readShipPlace(const ScenarioBlock &block) {
  ShipPlace place;
  for (const ScenarioBlock::Line &line : block.lines) {
    // The key alone first: only a STATUS line needs its further words.
    const std::string_view key = text::firstWord(line.text);
    if (key.empty()) continue;
    const size_t afterKey = static_cast<size_t>(key.data() - line.text.data()) + key.size();
    auto rest = [&] { return text::trim(line.text.substr(afterKey)); };
    if (text::iequals(key, "STATUS")) {
      const text::FirstWords w(line.text);
      if (w.size() < 3) continue;
      // The mill's own "Status <stage>" shares the word.
      place.landed = text::iequals(w[1], "Landed");
      place.orbiting = text::iequals(w[1], "Orbiting");
      if (place.landed || place.orbiting) place.body = std::string(w[2]);
    } else if (text::iequals(key, "BASE")) {
      place.base = std::string(rest());
    } else if (text::iequals(key, "POS")) {
      place.hasPos = true;
    } else if (text::iequals(key, "ATTACHED")) {
      const std::string_view after = rest();
      const size_t comma = after.find(',');
      if (comma != std::string_view::npos) place.parent = std::string(text::trim(after.substr(comma + 1)));
    }
  }
  return place;
}

}  // namespace simhost
