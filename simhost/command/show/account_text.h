// The text of `simhost show` as it is told, gathered in room of its own
// and handed to the stream in pieces: a world of a hundred thousand
// vessels gives tens of megabytes in millions of short pieces, so adding
// one is a copy and a comparison, and the room made once is all the memory
// the account touches.
#pragma once

#include <memory>
#include <ostream>
#include <string_view>

#include "world/text.h"

namespace simhost::command {

class AccountText {
public:
  // What room() guarantees: a line of numbers and words, names aside.
  static constexpr size_t kRoom = 4096;

  explicit AccountText(std::ostream &out) : out_(out), text_(new char[kPiece + kRoom]) {}
  AccountText(const AccountText &) = delete;
  AccountText &operator=(const AccountText &) = delete;

  void add(std::string_view piece) {
    if (piece.size() > kPiece + kRoom - used_) {
      writeOut();
      if (piece.size() > kPiece) {
        out_.write(piece.data(), static_cast<std::streamsize>(piece.size()));
        return;
      }
    }
    text::copyPiece(text_.get() + used_, piece);
    used_ += piece.size();
  }
  void add(char c) {
    if (used_ == kPiece + kRoom) writeOut();
    text_[used_++] = c;
  }

  // At least kRoom bytes to write in, then took(their end).
  char *room() {
    if (used_ > kPiece) writeOut();
    return text_.get() + used_;
  }
  void took(const char *end) { used_ = static_cast<size_t>(end - text_.get()); }

  void writeOut() {
    out_.write(text_.get(), static_cast<std::streamsize>(used_));
    used_ = 0;
  }

private:
  static constexpr size_t kPiece = size_t{256} << 10;
  std::ostream &out_;
  std::unique_ptr<char[]> text_;
  size_t used_ = 0;
};

}  // namespace simhost::command
