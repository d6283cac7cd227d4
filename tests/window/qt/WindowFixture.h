#pragma once
#include <QApplication>
#include <memory>

#include "link/Umod07.h"
#include "support/RecordingMessages.h"
#include "support/ScriptedLine.h"
#include "support/TempDir.h"
#include "window/qt/Main.h"

namespace netsetup::testing {

// A window on a settings file in a fresh folder, with recorded messages and a scripted link.
struct WindowFixture {
  TempDir dir;
  std::string iniPath = dir.file("netsetup.ini");
  ScriptedFactory factory;
  CountingSleeper sleeper;
  Tmod07 link{factory, sleeper};
  RecordingMessages messages;
  std::unique_ptr<TMainFrm> window;

  TMainFrm& open(const std::string& iniBytes = {}, bool withFile = false) {
    if (withFile || !iniBytes.empty()) writeFile(iniPath, iniBytes);
    window = std::make_unique<TMainFrm>(link, messages, iniPath);
    return *window;
  }
};

}  // namespace netsetup::testing
