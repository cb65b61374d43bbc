#include "calculator/text/dialog_texts.h"

#include "calculator/text/vocabulary.h"

namespace capacimo {

std::string dialogPageCaption(DialogPage page) {
    switch (page) {
    case DialogPage::Information: return "Information";
    case DialogPage::SignalAnalysis: return pageCaption(EntryPage::SignalAnalysis);
    case DialogPage::ChannelSettings: return "Channel Settings";
    case DialogPage::GroupSettings: break;
    }
    return "Group settings";
}

const std::array<const char*, 10>& informationLines() {
    static const std::array<const char*, 10> lines = {
        "Important information:",
        "",
        "Normal operation (i.e. standard save cycle) is presumed when calculating the memory duration. Higher save ",
        "speeds, due to alarms or many event messages, can reduce the storage duration considerably!",
        "",
        "With regard to external storage media, third-party files, or the creation of screenshots, can also reduce "
        "the ",
        "duration of the memory. For this reason, read out the memory on time or change the external storage medium.",
        "",
        "Even if the (external) memory is not yet full, it is advisable to read out the data frequently or to back up "
        "the data on ",
        "the PC. The storage information for a USB stick is not displayed.",
    };
    return lines;
}

}  // namespace capacimo
