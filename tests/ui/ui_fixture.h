// A main window on a fresh settings file in a temporary program folder, with scripted prompts
// and dialogs, for the window tests.
#pragma once

#include <gtest/gtest.h>

#include <QTemporaryDir>
#include <cstdlib>
#include <fstream>
#include <memory>
#include <sstream>
#include <string>

#include "core/key_store.h"
#include "core/settings.h"
#include "ui/f_dattr.h"
#include "scripted_prompts.h"
#include "test_support.h"

namespace korv {

using test::ReadFileBytes;
using test::WriteFileBytes;

class UiTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_TRUE(dir.isValid());
    folder = dir.path().toStdString() + "/";
    state.ProgramFolder = folder;
    state.ExecutableFolder = folder;
    state.IniFilePath = folder + kIniFileName;
    state.ScratchFilePath = folder + kScratchFileName;
    // Downloads keep their journal here, never in the data folder of whoever runs the tests.
    setenv("XDG_DATA_HOME", (folder + "data").c_str(), 1);
    ASSERT_TRUE(CreateIniFile(state));
    Reload();
  }

  // Loads the settings file again and builds a new main window on it.
  void Reload() {
    window.reset();
    AppState fresh;
    fresh.ProgramFolder = state.ProgramFolder;
    fresh.ExecutableFolder = state.ExecutableFolder;
    fresh.IniFilePath = state.IniFilePath;
    fresh.ScratchFilePath = state.ScratchFilePath;
    state = fresh;
    ASSERT_TRUE(LoadSettings(state, 0));
    ctx = std::make_unique<UiContext>(state, prompts, dialogs);
    ctx->now = [] {
      std::tm t{};
      t.tm_year = 2026 - 1900;
      t.tm_mon = 11;
      t.tm_mday = 7;
      t.tm_hour = 10;
      t.tm_min = 30;
      return t;
    };
    window = std::make_unique<F_DatTr>(*ctx);
    window->ApplySettings();
  }

  void SetKey(const std::string& section, const std::string& key, const std::string& value) {
    ASSERT_TRUE(WriteKey(state.IniFilePath, section, key, value));
  }

  std::string Path(const std::string& name) const { return folder + name; }

  QTemporaryDir dir;
  std::string folder;
  AppState state;
  ScriptedPrompts prompts;
  ScriptedDialogs dialogs;
  std::unique_ptr<UiContext> ctx;
  std::unique_ptr<F_DatTr> window;
};

}  // namespace korv
