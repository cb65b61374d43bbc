#include "calculator/files/entry_table_json.h"

#include <gtest/gtest.h>

#include <set>

#include "calculator/entries.h"

namespace capacimo {
namespace {

TEST(EntryTableJson, EveryEntrySitsOnAPageAndHasAUniqueKey) {
    const auto table = entryTableObject();
    std::set<std::string> pages{"general"};
    for (const auto& page : table["pages"]) {
        pages.insert(page["id"].get<std::string>());
        if (page.contains("pages"))
            for (const auto& inner : page["pages"]) pages.insert(inner["id"].get<std::string>());
    }
    std::set<std::string> keys;
    ASSERT_EQ(table["entries"].size(), entryTable().size());
    for (const auto& entry : table["entries"]) {
        EXPECT_TRUE(pages.count(entry["page"].get<std::string>())) << entry.dump();
        EXPECT_TRUE(keys.insert(entry["key"].get<std::string>()).second) << entry.dump();
        if (entry.contains("items")) {
            EXPECT_EQ(entry["items"].size(), entry["max"].get<std::size_t>() + 1);
        }
    }
}

}  // namespace
}  // namespace capacimo
