#include "hud_message.h"

#include <cstdio>
#include <cstring>

namespace {

// The one conversion a posted text may carry: the tank level in whole kg.
const char TankLevelConversion[] = "%.0f";
const int TankLevelConversionLength = sizeof(TankLevelConversion) - 1;

}  // namespace

HudMessage::HudMessage() : text{}, countdown(0.0) {}

void HudMessage::Post(const char *newText, double tankLevel) {
  // Built aside first: the text posted may be this line's own.
  char line[TextCapacity + 1];
  if (!newText) {
    line[0] = '\0';
  } else if (const char *conversion = std::strstr(newText, TankLevelConversion)) {
    std::size_t before = static_cast<std::size_t>(conversion - newText);
    int kept = before > static_cast<std::size_t>(TextCapacity) ? TextCapacity : static_cast<int>(before);
    std::snprintf(line, sizeof line, "%.*s%.0f%s", kept, newText, tankLevel,
                  conversion + TankLevelConversionLength);
  } else {
    std::snprintf(line, sizeof line, "%s", newText);
  }
  std::memcpy(text, line, std::strlen(line) + 1);
  countdown = DisplaySeconds;
}

void HudMessage::Clear() {
  text[0] = '\0';
  countdown = 0.0;
}

void HudMessage::Elapse(double simStep) {
  countdown -= simStep;
  if (countdown < 0.0) countdown = 0.0;
}
