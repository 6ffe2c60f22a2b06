// "[Window]": where the main window was when the program last ended, its size and its tab.
// The section holds numbers only, so translations do not carry it; a fresh settings file has
// the keys empty, and the window then starts as it always did.
#pragma once

#include <optional>
#include <string>

namespace korv {

class IniFile;

constexpr const char* kWindowSection = "Window";

struct WindowPlace {
  // The window frame's top left corner and the size inside the frame, in the desktop's
  // device-independent pixels.
  int left = 0;
  int top = 0;
  int width = 0;
  int height = 0;
  int tab = 0;  // MainTab's page: 0 Receive, 1 Send, 2 Settings

  bool operator==(const WindowPlace& o) const {
    return left == o.left && top == o.top && width == o.width && height == o.height && tab == o.tab;
  }
};

// The stored place; nothing when a key is empty or not a whole number, or a size is not
// positive.
std::optional<WindowPlace> LoadWindowPlace(const IniFile& ini);
void StoreWindowPlace(IniFile& ini, const WindowPlace& place);
// Appends the section as a new settings file holds it: every key, empty.
void AppendWindowSection(std::string& out);

}  // namespace korv
