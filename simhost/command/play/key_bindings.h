// The keyboard of `simhost play`: a key read from the terminal becomes the
// simulator's key (its DirectInput code and the modifiers held), which goes
// to the focus vessel first, as in the simulator; play's own bindings serve
// the keys the vessel leaves to the host.
//
// Letters, main-keyboard digits and the symbols of a US keyboard map to
// their keys, a character typed with shift (upper-case letters, "+", ":",
// "!") to its key with the left shift held, a control character to its
// letter with the left control held; arrows, function keys, Enter,
// Backspace and Escape to theirs.
#pragma once

#include "shared/key_chords.h"

namespace simhost::command {

// A terminal key: a character, or a curses key code such as KEY_UP. False
// when the key has no code of the simulator.
bool chordFromTerminalKey(int key, KeyChord &chord);

// What play does with a key the focus vessel did not consume. No digit is
// bound: a vessel may act on a digit and still leave it to the host.
enum class PlayBinding { None, Pause, WarpUp, WarpDown, NextFocus, CommandLine };
PlayBinding playBinding(int key);

// The next time acceleration up or down the ladder 0.1, 1, 10, 100, 1000,
// from wherever the command line set it; the ends stay where they are.
double nextWarp(double warp, bool up);

}  // namespace simhost::command
