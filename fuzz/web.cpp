// The web module's functions (web/web_api.h), called natively as the page
// calls them; an input is one call (fuzz/web_calls.h). The page reads every
// reply as JSON, so each must be JSON: an answer, or {"error": ...}; an
// answer brings its words exactly when its options ask for them, as the
// Details do.
//
// A call that needs more memory than the module has aborts it
// ("Aborted(OOM)"), and the page starts a fresh one. The module had 16 MB in
// all before it held a plant (64 MB since), and a call of text from outside
// the page (a setup file or link, the name field), its arguments counted, is
// still held to half of those 16 MB natively, where a pointer takes twice the
// room. Measured: the page's calls of its files hold less than 0.1 MB; each of
// these held more and aborted the module at 16 MB: 150,000 nested lists in a
// setup (43 MB natively), a setup of 500,000 zeros (17 MB), a name of 1 MiB
// (9 MB).
// (The values and options are the page's own JSON, which it never nests.)
#include <array>
#include <atomic>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <functional>
#include <nlohmann/json.hpp>

#include "fuzz/fuzz_check.h"
#include "fuzz/web_calls.h"
#include "web/web_api.h"

// The sanitizer's allocator tells each allocation and release; without a
// sanitizer (a plain build's replay) memory is not counted.
extern "C" {
__attribute__((weak)) int __sanitizer_install_malloc_and_free_hooks(void (*)(const volatile void*, std::size_t),
                                                                    void (*)(const volatile void*));
__attribute__((weak)) std::size_t __sanitizer_get_allocated_size(const volatile void*);
}

namespace {

using capacimo::fuzz::check;
using Arguments = std::vector<std::string>;

constexpr std::int64_t kCallMemory = std::int64_t{8} << 20;

// The bytes allocated now, and the most since the last reset. What was
// allocated before counting began and is released later makes these less
// than the truth, even negative, but not the difference that is judged.
std::atomic<std::int64_t> held{0};
std::atomic<std::int64_t> mostHeld{0};

void allocated(const volatile void*, std::size_t size) {
    const std::int64_t now = held += static_cast<std::int64_t>(size);
    std::int64_t most = mostHeld;
    while (now > most && !mostHeld.compare_exchange_weak(most, now)) {
    }
}
void released(const volatile void* pointer) {
    held -= static_cast<std::int64_t>(__sanitizer_get_allocated_size(pointer));
}

bool countsMemory() {
    static const bool counts = __sanitizer_install_malloc_and_free_hooks && __sanitizer_get_allocated_size &&
                               __sanitizer_install_malloc_and_free_hooks(allocated, released) != 0;
    return counts;
}

struct Function {
    std::string_view name;
    std::size_t arity;
    std::function<std::string(const Arguments&)> call;
    bool fromOutside = false;  // given a text from outside the page
    bool text = false;         // answers a file's text, not JSON
};

// A place in the plant as the page passes it: a number.
int place(const std::string& text) { return static_cast<int>(std::strtol(text.c_str(), nullptr, 10)); }

const std::array<Function, 24>& functions() {
    using namespace capacimo::web;
    // The plant's calls share the module's one plant, which the inputs run
    // one after another build up; the runs keep it small (see below). A
    // plant file is as large as its plant: 10,000 recorders take some 40 MB
    // of the module's 64, so it is not held to the memory of other texts.
    static const std::array<Function, 24> table{{
        {"entries", 0, [](const Arguments&) { return entries(); }},
        {"defaults", 0, [](const Arguments&) { return defaults(); }},
        {"adjust", 2, [](const Arguments& a) { return adjust(a[0], a[1]); }},
        {"fromStore", 1, [](const Arguments& a) { return fromStore(a[0]); }},
        {"calculate", 2, [](const Arguments& a) { return calculate(a[0], a[1]); }, true},
        {"calculateValues", 2, [](const Arguments& a) { return calculateValues(a[0], a[1]); }},
        {"setupText", 2, [](const Arguments& a) { return setupText(a[0], a[1]); }, true},
        {"readSetup", 1, [](const Arguments& a) { return readSetup(a[0]); }, true},
        {"plantToday", 1, [](const Arguments& a) { return plantToday(a[0]); }},
        {"plantView", 0, [](const Arguments&) { return plantView(); }},
        {"plantAdd", 1, [](const Arguments& a) { return plantAdd(a[0]); }},
        {"plantEdit", 2, [](const Arguments& a) { return plantEdit(place(a[0]), a[1]); }},
        {"plantRecorder", 1, [](const Arguments& a) { return plantRecorder(place(a[0])); }},
        {"plantDuplicate", 1, [](const Arguments& a) { return plantDuplicate(place(a[0])); }},
        {"plantRemove", 1, [](const Arguments& a) { return plantRemove(place(a[0])); }},
        {"plantRestore", 1, [](const Arguments& a) { return plantRestore(a[0]); }},
        {"plantMargin", 1, [](const Arguments& a) { return plantMargin(a[0]); }},
        {"plantSort", 2, [](const Arguments& a) { return plantSort(a[0], a[1]); }},
        {"plantLoad", 2, [](const Arguments& a) { return plantLoad(a[0], a[1]); }},
        {"plantLoadRows", 2, [](const Arguments& a) { return plantLoadRows(a[0], a[1]); }},
        {"plantRowText", 1, [](const Arguments& a) { return plantRowText(place(a[0])); }},
        {"plantSetRow", 4,
         [](const Arguments& a) { return plantSetRow(place(a[0]), a[1], a[2], !a[3].empty() && a[3][0] == '1'); }},
        {"plantCsv", 0, [](const Arguments&) { return plantCsv(); }, false, true},
        {"plantCalendarText", 0, [](const Arguments&) { return plantCalendarText(); }, false, true},
    }};
    return table;
}

bool isJson(const std::string& text) { return nlohmann::json::accept(text); }

// A plant that grew beyond a few dozen recorders over the run is emptied, so
// that each call stays quick. Its file, written and read again, gives the same
// plant first.
void keepThePlantSmall() {
    using namespace capacimo::web;
    const nlohmann::json view = nlohmann::json::parse(plantView());
    if (view["rows"].size() <= 32) return;
    const std::string csv = plantCsv();
    const nlohmann::json again = nlohmann::json::parse(plantLoad(csv, std::to_string(view["margin"].get<int>())));
    check(plantCsv() == csv, "the plant's file reads back to the same file");
    plantLoad("name\n", "7");
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string_view text(reinterpret_cast<const char*>(data), size);
    const std::string_view name = capacimo::fuzz::webCallName(text);
    for (const Function& function : functions()) {
        if (function.name != name) continue;
        const bool counted = countsMemory();
        const std::int64_t before = held;
        mostHeld = before;
        const Arguments arguments = capacimo::fuzz::webCallArguments(text, function.arity);
        const std::string reply = function.call(arguments);
        if (counted && function.fromOutside && mostHeld - before > kCallMemory) {
            std::fprintf(stderr, "%s held %lld kB at once\n", function.name.data(),
                         static_cast<long long>((mostHeld - before) >> 10));
            check(false, "a call leaves the module's memory room");
        }
        // adjust() gives back values it cannot read as they came; setupText()
        // nothing for them.
        const bool unread = (name == "adjust" && reply == arguments[0]) || (name == "setupText" && reply.empty());
        check(unread || function.text || isJson(reply), "every reply is JSON");
        if (name.starts_with("plant")) keepThePlantSmall();
        if (name.starts_with("calculate") && !reply.starts_with("{\"error\"")) {
            const nlohmann::json options = nlohmann::json::parse(arguments[1]);
            check(nlohmann::json::parse(reply).contains("words") == options.value("words", false),
                  "an answer has its words when, and only when, they are asked for");
        }
    }
    return 0;
}
