// The calculator dialog's own words: the captions of its pages, the
// information page, its Reset button and where the Details' target starts.
// Its title is the model's name (kModelName); the entries' captions live with
// the entries (calculator/entries.h).
#pragma once

#include <array>
#include <string>

#include "calculator/entries.h"

namespace capacimo {

// The outer pages, in their order.
enum class DialogPage { Information, SignalAnalysis, ChannelSettings, GroupSettings };
inline constexpr std::array<DialogPage, 4> kDialogPages = {DialogPage::Information, DialogPage::SignalAnalysis,
                                                           DialogPage::ChannelSettings, DialogPage::GroupSettings};

std::string dialogPageCaption(DialogPage page);
// The page an entry is shown on has its caption beside the entries
// (pageCaption in calculator/entries.h).

// The ten lines of the information page, as they are (three end in a blank).
const std::array<const char*, 10>& informationLines();

// The retention target the Details start with: half a year, in weeks.
inline constexpr int kInitialTargetWeeks = 26;

inline constexpr const char* kResetCaption = "Reset";
inline constexpr const char* kResetHint = "Reset all settings to default values";

}  // namespace capacimo
