// The Windows HUD surface (hud_surface.h): a real device context, an
// enhanced metafile in memory. The vessel draws into it with the real
// TextOutA; when the drawing ends the metafile's text records give what was
// drawn, where, in order.
#ifdef _WIN32

#include <windows.h>

#include <cstring>

#include "plugin/hud_surface.h"

namespace simhost {

namespace {

// What one text record drew, as TextOutA was given it: its characters up to
// the first zero, at its reference point.
std::string recordedText(const ENHMETARECORD *record) {
  const auto *textOut = reinterpret_cast<const EMREXTTEXTOUTA *>(record);
  const EMRTEXT &t = textOut->emrtext;
  const char *base = reinterpret_cast<const char *>(record);
  if (t.offString + t.nChars * (record->iType == EMR_EXTTEXTOUTW ? 2u : 1u) > record->nSize) return "";
  if (record->iType == EMR_EXTTEXTOUTA) {
    const char *chars = base + t.offString;
    return std::string(chars, strnlen(chars, t.nChars));
  }
  // Windows and Wine keep what TextOutA drew as wide characters.
  std::wstring wide(reinterpret_cast<const wchar_t *>(base + t.offString), t.nChars);
  wide.resize(wcsnlen(wide.c_str(), wide.size()));
  if (wide.empty()) return "";
  const int n = WideCharToMultiByte(CP_ACP, 0, wide.data(), static_cast<int>(wide.size()), nullptr, 0, nullptr, nullptr);
  std::string text(static_cast<size_t>(n > 0 ? n : 0), '\0');
  if (n > 0) WideCharToMultiByte(CP_ACP, 0, wide.data(), static_cast<int>(wide.size()), text.data(), n, nullptr, nullptr);
  return text;
}

int CALLBACK collectText(HDC, HANDLETABLE *, const ENHMETARECORD *record, int, LPARAM data) {
  if (record->iType == EMR_EXTTEXTOUTA || record->iType == EMR_EXTTEXTOUTW) {
    const auto *textOut = reinterpret_cast<const EMREXTTEXTOUTA *>(record);
    auto *lines = reinterpret_cast<std::vector<HudText> *>(data);
    lines->push_back({static_cast<int>(textOut->emrtext.ptlReference.x),
                      static_cast<int>(textOut->emrtext.ptlReference.y), recordedText(record)});
  }
  return 1;
}

}  // namespace

struct HudSurface::State {
  HDC dc = nullptr;  // while open
};

HudSurface::HudSurface() : state_(std::make_unique<State>()) {}
HudSurface::~HudSurface() { close(); }

HDC HudSurface::open() {
  close();
  state_->dc = CreateEnhMetaFileA(nullptr, nullptr, nullptr, nullptr);
  return state_->dc;
}

std::vector<HudText> HudSurface::close() {
  std::vector<HudText> drawn;
  if (!state_->dc) return drawn;
  HENHMETAFILE metafile = CloseEnhMetaFile(state_->dc);
  state_->dc = nullptr;
  if (!metafile) return drawn;
  EnumEnhMetaFile(nullptr, metafile, collectText, &drawn, nullptr);
  DeleteEnhMetaFile(metafile);
  return drawn;
}

bool HudSurface::isOpen(HDC hdc) const { return hdc && hdc == state_->dc; }

}  // namespace simhost

#endif  // _WIN32
