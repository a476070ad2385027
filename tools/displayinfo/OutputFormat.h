#pragma once
#include <string>
#include <vector>

#include "kvtcore/HostControl.h"

// The committed instances (and, for JSON, the plug-in's log) as text.
std::string RenderMof(const std::vector<NORNKVT20::TInstanceSnapshot>& instances);
std::string RenderJson(const std::vector<NORNKVT20::TInstanceSnapshot>& instances,
                       const std::vector<NORNKVT20::TLogLine>& log);

// "error", "warning", "info", "debug" (or "level N" for other numbers).
std::string LevelName(int level);
