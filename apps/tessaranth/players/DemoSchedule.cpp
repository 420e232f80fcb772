// SPDX-License-Identifier: GPL-2.0-or-later
#include "players/DemoSchedule.h"

namespace tessaranth::host {

namespace {

constexpr ScheduledAction actions[] = {
    {0, DemoAction::play},          {3000, DemoAction::next},        {6000, DemoAction::pause},
    {8000, DemoAction::play},       {10000, DemoAction::shuffleOn},  {11000, DemoAction::next},
    {14000, DemoAction::repeatOn},  {15000, DemoAction::stop},       {17000, DemoAction::play},
    {19000, DemoAction::next},      {21000, DemoAction::shuffleOff}, {22000, DemoAction::seekNearEnd},
    {26000, DemoAction::repeatOff}, {27000, DemoAction::next},
};

} // namespace

std::span<const ScheduledAction> demoSchedule() { return actions; }

} // namespace tessaranth::host
