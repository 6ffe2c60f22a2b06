#include "core/window_place.h"

#include <charconv>

#include "core/key_store.h"

namespace korv {

namespace {

struct PlaceKey {
  const char* key;
  int WindowPlace::*value;
};

constexpr PlaceKey kPlaceKeys[] = {{"Left", &WindowPlace::left},
                                   {"Top", &WindowPlace::top},
                                   {"Width", &WindowPlace::width},
                                   {"Height", &WindowPlace::height},
                                   {"Tab", &WindowPlace::tab}};

std::optional<int> WholeNumber(const std::string& text) {
  int value = 0;
  const char* end = text.data() + text.size();
  const auto [stop, fault] = std::from_chars(text.data(), end, value);
  if (text.empty() || fault != std::errc() || stop != end) return std::nullopt;
  return value;
}

}  // namespace

std::optional<WindowPlace> LoadWindowPlace(const IniFile& ini) {
  WindowPlace place;
  for (const PlaceKey& k : kPlaceKeys) {
    const std::optional<int> value = WholeNumber(ini.Get(kWindowSection, k.key));
    if (!value) return std::nullopt;
    place.*k.value = *value;
  }
  if (place.width <= 0 || place.height <= 0) return std::nullopt;
  return place;
}

void StoreWindowPlace(IniFile& ini, const WindowPlace& place) {
  for (const PlaceKey& k : kPlaceKeys)
    ini.Set(kWindowSection, k.key, std::to_string(place.*k.value));
}

void AppendWindowSection(std::string& out) {
  out += std::string("\r\n[") + kWindowSection + "]\r\n";
  for (const PlaceKey& k : kPlaceKeys) out += std::string(k.key) + "=\r\n";
}

}  // namespace korv
