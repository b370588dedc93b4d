// HudMessage: one line of text that the ore mill shows on the head-up
// display for a while after something posts to it.
//
// The vessel owns three of them (release, mill and status line). Whoever
// has news for the operator calls Post; the HUD drawing reads IsShown and
// Text and counts the line down by the simulation step with Elapse, so a
// line stays up for DisplaySeconds of simulation time after its last post.
// Nothing here fails: texts that do not fit are cut to the capacity.
#pragma once

class HudMessage {
public:
  // Longest text a line holds; one more byte keeps the terminator.
  static constexpr int TextCapacity = 255;
  // Seconds of simulation time a posted text stays up.
  static constexpr double DisplaySeconds = 15.0;

  HudMessage();

  // Replaces the text and shows it for DisplaySeconds. The one conversion
  // "%.0f" in the text, if any, is replaced by tankLevel rounded to whole
  // kilograms; every other character, '%' included, is shown as it stands,
  // so a text can never make the formatting read arguments it was not given.
  // A null text posts an empty line.
  void Post(const char *text, double tankLevel = 0.0);

  // Empty text, nothing shown.
  void Clear();

  // Counts the line down by one simulation step; it is never below zero.
  void Elapse(double simStep);

  bool IsShown() const { return countdown > 0.0; }
  const char *Text() const { return text; }
  double Countdown() const { return countdown; }

private:
  char text[TextCapacity + 1];
  double countdown;  // seconds of simulation time left
};
